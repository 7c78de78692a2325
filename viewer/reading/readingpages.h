// SPDX-License-Identifier: MIT
// Which library page an address names, and which page of the SpeedPanel comes next.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace readingpages {

struct LibraryPage
{
    QString book;
    QString page;
};

// "C:\TARVOL\PAGORA\KNIHA\3 X.PGX" as book and page; nullopt for anything else (a message
// page, a web page, a file outside the books).
std::optional<LibraryPage> fromAddress(const QString &address);

// The book whose folder the SpeedPanel lists, or the empty text.
QString bookOfFolder(const QString &folder);

enum class Turn { Moved, AtEnd, AtStart, NoPages };
struct TurnResult
{
    Turn turn;
    int row = -1;
};

// The neighbouring row in names (the SpeedPanel's order). The page shown is the entry named
// shown (exactly, then in any letter case), or else the selected row; with neither, "next"
// starts at the first page.
TurnResult neighbour(const QStringList &names, int selectedRow, const QString &shown, int step);

// The row of page in names, matched as Windows matches names; -1 when absent.
int rowOf(const QStringList &names, const QString &page);

} // namespace readingpages
