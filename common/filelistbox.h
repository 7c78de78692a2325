// SPDX-License-Identifier: MIT
// A list of the files in one folder that match a pattern, as a file list box shows them.
#pragma once

#include <QFutureWatcher>
#include <QListWidget>
#include <memory>

class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);
    ~FileListBox() override;

    // The folder as given: a drive path ("C:\TARVOL\PAGORA") or a native folder.
    QString path() const { return m_path; }
    // Lists the folder; false when it does not exist (the list is then empty). A folder too
    // big to list within the listing budget is filled later; listed() says when.
    bool setPath(const QString &path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern);
    // The selected name without its folder, or the empty text.
    QString fileName() const;
    // Re-reads the folder; nothing is selected afterwards.
    void refresh();

    // How long setPath, setPattern and refresh wait for the names before they return with the
    // list still empty, in ms; 0 always fills the list later.
    static constexpr int defaultListingBudget = 100;
    void setListingBudget(int ms) { m_budget = ms; }
    int listingBudget() const { return m_budget; }
    // True while the names of the last listing are still on their way.
    bool isListing() const { return m_pending != 0; }

    // Sorted as text without regard to letter case: "10 X" comes before "2 Y". Names that no
    // address can carry (not valid in the file name encoding, or holding "\" or a control
    // character) are left out, and counted in *unshown.
    static QStringList listFiles(const QString &nativeFolder, const QString &pattern,
                                 int *unshown = nullptr);

    // How many matching names the last listing left out.
    int unshownCount() const { return m_unshown; }
    // The Slovak note the list carries as its tooltip when names were left out.
    static QString unshownNote(int count);

    // The whole name under a point of the viewport when the list's width cuts it off, then
    // the entry's own tooltip, if any; else the empty text.
    QString toolTipAt(const QPoint &viewportPos) const;

signals:
    // The user selected a name, by mouse or by keyboard.
    void clicked();
    // The list now holds the names of its folder, whether they came at once or later.
    void listed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    struct Names
    {
        quint64 generation = 0;
        QStringList names;
        int unshown = 0;
    };
    void fill(const Names &result);
    void namesArrived();

    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    QString m_folder; // native, empty when the path names no folder
    bool m_filling = false;
    bool m_pressOnSelected = false;
    int m_unshown = 0;
    int m_budget = defaultListingBudget;
    quint64 m_generation = 0;
    quint64 m_pending = 0; // the generation still being listed, 0 when none
    QFuture<Names> m_listing;
    QFutureWatcher<Names> m_watcher;
};
