// SPDX-License-Identifier: MIT
// The library search window: a text box, the count and the hits; a hit opens its page in
// the main window as the SpeedPanel would.
#pragma once

#include "searchquery.h"

#include <QWidget>

class LibrarySearch;
class QLabel;
class QLineEdit;
class QListView;
class SearchResultModel;
class frmHlavne;

class frmHladat : public QWidget
{
    Q_OBJECT
public:
    // cacheFolder empty: the user's cache folder.
    explicit frmHladat(frmHlavne &main, const QString &cacheFolder = {});
    ~frmHladat() override;

    // Shows the window and brings the index up to date (again).
    void Show();
    // Opens the hit in the given row; false when there is none or its page is gone.
    bool openResult(int row);
    LibrarySearch *librarySearch() const { return m_search; }

    QLineEdit *Text1;
    QLabel *Label1; // the count, "Nič sa nenašlo." or why nothing can be searched
    QLabel *Label2; // indexing progress
    QListView *List1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Text1_Change();
    // keepChoice: the same words searched again, the chosen hit stays chosen.
    void runSearch(bool keepChoice);
    void showProgress(int done, int total);
    void refreshed();

    frmHlavne &m_main;
    QString m_cacheFolder;
    QString m_libraryFolder;
    LibrarySearch *m_search = nullptr;
    SearchResultModel *m_model;
    SearchQuery m_query;
    bool m_pending = false; // the index was busy; search again at its next step
};
