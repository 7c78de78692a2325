// SPDX-License-Identifier: MIT
// Finds text in the shown page regardless of letter case and diacritics ("kon" finds
// "kôň"), highlights every match and moves between them.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QWebEnginePage;

// The engine's own findText matches diacritics exactly, so the work is done by a script in
// a world of its own, out of the page scripts' reach: it folds the text of the page and the
// query alike (canonical decomposition, no combining marks, lower case) and wraps each
// match in a highlight element.
class FindController : public QObject
{
    Q_OBJECT

public:
    explicit FindController(QWebEnginePage *page, QObject *parent = nullptr);

    // Highlights every match of text and makes the first one current; the empty text
    // clears. The result arrives through resultChanged.
    void find(const QString &text);
    void next();
    void previous();
    // Removes every highlight; the text is kept for the next find.
    void clear();

    QString text() const { return m_text; }
    int current() const { return m_current; } // 1-based, 0 when nothing matches
    int total() const { return m_total; }

    // The script that the controller runs, for the folding rule's own tests.
    static QString script();

signals:
    void resultChanged(int current, int total);

private:
    void run(const QString &call);
    void dispatch();

    QPointer<QWebEnginePage> m_page;
    QStringList m_queue;      // calls waiting for the one in the page to come back
    QElapsedTimer m_inFlight; // running while a call is in the page
    QString m_text;
    int m_current = 0;
    int m_total = 0;
    quint64 m_serial = 0;
};
