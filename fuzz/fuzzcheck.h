// SPDX-License-Identifier: MIT
// A failed property is a finding: print it with the input and stop, so libFuzzer saves it.
#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

// The text with everything outside printable ASCII written as \uXXXX.
inline QByteArray fuzzShow(const QString &text)
{
    QByteArray shown;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            shown += char(c.unicode());
        else
            shown += "\\u" + QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
    }
    return shown;
}

#define FUZZ_CHECK(condition, text)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s\n  input: %s\n", #condition,                 \
                         fuzzShow(text).constData());                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
