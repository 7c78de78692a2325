// SPDX-License-Identifier: MIT
// The searchable text of any bytes a page may hold: never a crash or a hang, never the
// index's snippet markers or other control characters, never a run of spaces.
#include "fuzzcheck.h"
#include "pagetext.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString shown = QString::fromLatin1(bytes.left(300));
    const PageText text = PageText::fromHtml(bytes);
    for (const QString *part : {&text.title, &text.body, &text.aside}) {
        for (const QChar c : *part)
            FUZZ_CHECK(c.category() != QChar::Other_Control, shown);
        FUZZ_CHECK(!part->contains(QLatin1String("  ")), shown);
        FUZZ_CHECK(!part->startsWith(QLatin1Char(' ')) && !part->endsWith(QLatin1Char(' ')), shown);
    }
    return 0;
}
