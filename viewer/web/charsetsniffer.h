// SPDX-License-Identifier: MIT
// Picks the charset to announce for a page, since the engine guesses badly on its own.
#pragma once

#include <QByteArray>

// Old books mix undeclared Windows-1250 pages with newer UTF-8 ones. The engine never
// detects UTF-8 on its own for our scheme, so the server has to decide from the bytes.
class CharsetSniffer
{
public:
    // The charset parameter for the reply's Content-Type; empty when the page itself says it
    // (byte order mark or a declaration the engine will honour). UTF-16 without a byte order
    // mark is told by the zero bytes of its markup.
    static QByteArray charsetFor(const QByteArray &page);

    // The charset a page declares in its first 1024 bytes (lower case), or empty; labels
    // the engine does not know are passed over.
    static QByteArray declaredCharset(const QByteArray &page);

    // True for well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
    static bool isValidUtf8(const QByteArray &bytes);
};
