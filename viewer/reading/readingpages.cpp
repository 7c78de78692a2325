// SPDX-License-Identifier: MIT
#include "readingpages.h"

#include "library.h"

namespace readingpages {

std::optional<LibraryPage> fromAddress(const QString &address)
{
    if (!address.startsWith(library::rootPrefix, Qt::CaseInsensitive))
        return std::nullopt;
    const QString rest = address.mid(library::rootPrefix.size());
    const qsizetype slash = rest.indexOf(QLatin1Char('\\'));
    if (slash <= 0 || slash == rest.size() - 1 || rest.indexOf(QLatin1Char('\\'), slash + 1) >= 0)
        return std::nullopt;
    return LibraryPage{rest.left(slash), rest.mid(slash + 1)};
}

QString bookOfFolder(const QString &folder)
{
    if (!folder.startsWith(library::rootPrefix, Qt::CaseInsensitive))
        return {};
    const QString book = folder.mid(library::rootPrefix.size());
    return book.contains(QLatin1Char('\\')) ? QString() : book;
}

int rowOf(const QStringList &names, const QString &page)
{
    if (page.isEmpty())
        return -1;
    const int exact = int(names.indexOf(page));
    if (exact >= 0)
        return exact;
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(page, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

TurnResult neighbour(const QStringList &names, int selectedRow, const QString &shown, int step)
{
    if (names.isEmpty())
        return {Turn::NoPages};
    int current = rowOf(names, shown);
    if (current < 0 && selectedRow < names.size())
        current = selectedRow;
    if (current < 0)
        return step > 0 ? TurnResult{Turn::Moved, 0} : TurnResult{Turn::AtStart};
    const int next = current + step;
    if (next >= names.size())
        return {Turn::AtEnd, current};
    if (next < 0)
        return {Turn::AtStart, current};
    return {Turn::Moved, next};
}

} // namespace readingpages
