// SPDX-License-Identifier: MIT
// The charset announced for a page: only the values the engine understands, never text that
// could break the Content-Type header, and UTF-8 only for bytes that really are UTF-8.
#include "charsetsniffer.h"
#include "fuzzcheck.h"
#include "pageresolver.h"

#include <QStringDecoder>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString shown = QString::fromLatin1(bytes.left(300));

    const QByteArray charset = CharsetSniffer::charsetFor(bytes);
    FUZZ_CHECK(charset.isEmpty() || charset == "utf-8" || charset == "windows-1250" ||
                   charset == "utf-16le" || charset == "utf-16be",
               shown);
    // UTF-16 only for a start whose every other byte is zero.
    if (charset.startsWith("utf-16"))
        FUZZ_CHECK(bytes.size() >= 4 &&
                       bytes.left(1024).count('\0') * 2 >= bytes.left(1024).size() * 9 / 10,
                   shown);

    const bool valid = CharsetSniffer::isValidUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    FUZZ_CHECK(valid == !decoder.hasError(), shown);
    if (charset == "utf-8")
        FUZZ_CHECK(valid, shown);

    const QByteArray declared = CharsetSniffer::declaredCharset(bytes);
    FUZZ_CHECK(declared == declared.toLower(), shown);

    // The first line names the file, the rest is its content.
    const qsizetype newline = bytes.indexOf('\n');
    if (newline >= 0 && newline < 256) {
        const QString name = QString::fromUtf8(bytes.left(newline));
        const QByteArray type = PageResolver::contentTypeFor(name, bytes.mid(newline + 1));
        FUZZ_CHECK(!type.isEmpty(), shown);
        for (const char c : type)
            FUZZ_CHECK(c >= 0x20 && c < 0x7F, shown);
        const QString lower = name.toLower();
        if (lower.endsWith(QLatin1String(".pgx")) || lower.endsWith(QLatin1String(".htm")) ||
            lower.endsWith(QLatin1String(".html")))
            FUZZ_CHECK(type.startsWith("text/html"), shown);
    }
    return 0;
}
