// SPDX-License-Identifier: MIT
// The library's fixed names and the paths composed from them. Paths are joined as plain
// text, exactly as given: nothing is trimmed, checked or normalised here.
#pragma once

#include <QString>

namespace library {

inline const QString rootFolder = QStringLiteral("C:\\TARVOL\\PAGORA");
inline const QString rootPrefix = QStringLiteral("C:\\TARVOL\\PAGORA\\");
inline const QString pagePattern = QStringLiteral("*.PGX");
inline const QString bookPattern = QStringLiteral("*.BKX");
inline const QString openingPage = QStringLiteral("1 UVOD.PGX");
inline const QString aboutPage = QStringLiteral("2 O PROGRAME.PGX");
inline const QString builtinBook = QStringLiteral("TARVOL PAGORA");
inline const QString defaultHomePage =
    QStringLiteral("C:\\TARVOL\\PAGORA\\TARVOL PAGORA\\1 UVOD.PGX");
inline const QString programAboutPage =
    QStringLiteral("C:\\TARVOL\\PAGORA\\TARVOL PAGORA\\2 O PROGRAME.PGX");
inline const QString noBook = QStringLiteral("<žiadna>");
inline const QString noPage = QStringLiteral("<žiadny>");

inline QString bookFolder(const QString &book)
{
    return rootPrefix + book;
}

inline QString pagePath(const QString &book, const QString &page)
{
    return rootPrefix + book + QLatin1Char('\\') + page;
}

inline QString openingPagePath(const QString &book)
{
    return pagePath(book, openingPage);
}

inline QString aboutPagePath(const QString &book)
{
    return pagePath(book, aboutPage);
}

} // namespace library
