// SPDX-License-Identifier: MIT
#include "charsetsniffer.h"

#include <QByteArrayView>

#include <algorithm>
#include <iterator>

namespace {

// Blink always looks at this much of a page for a declaration.
constexpr qsizetype PrescanBytes = 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool startsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView word)
{
    if (at + word.size() > text.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (lower(text[at + i]) != word[i])
            return false;
    }
    return true;
}

QByteArray trimmedLower(QByteArray value)
{
    value = value.trimmed().toLower();
    return value;
}

// The value after "charset" inside a content attribute: charset=x, charset = "x".
QByteArray charsetFromContent(const QByteArray &content)
{
    const QByteArray low = content.toLower();
    qsizetype at = low.indexOf("charset");
    while (at >= 0) {
        qsizetype i = at + 7;
        while (i < low.size() && isSpace(low[i]))
            ++i;
        if (i < low.size() && low[i] == '=') {
            ++i;
            while (i < low.size() && isSpace(low[i]))
                ++i;
            if (i >= low.size())
                return {};
            const char quote = low[i];
            if (quote == '"' || quote == '\'') {
                const qsizetype end = low.indexOf(quote, i + 1);
                return end < 0 ? QByteArray() : trimmedLower(low.mid(i + 1, end - i - 1));
            }
            qsizetype end = i;
            while (end < low.size() && !isSpace(low[end]) && low[end] != ';')
                ++end;
            return trimmedLower(low.mid(i, end - i));
        }
        at = low.indexOf("charset", at + 7);
    }
    return {};
}

struct Attribute
{
    QByteArray name;
    QByteArray value;
};

// Reads one attribute of a tag starting at pos; pos ends after it. False at the tag's end.
bool nextAttribute(QByteArrayView text, qsizetype &pos, Attribute &attribute)
{
    while (pos < text.size() && (isSpace(text[pos]) || text[pos] == '/'))
        ++pos;
    if (pos >= text.size() || text[pos] == '>')
        return false;
    attribute = {};
    while (pos < text.size() && !isSpace(text[pos]) && text[pos] != '=' && text[pos] != '>' &&
           text[pos] != '/')
        attribute.name += lower(text[pos++]);
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    if (pos >= text.size() || text[pos] != '=')
        return true;
    ++pos;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    if (pos >= text.size())
        return true;
    const char quote = text[pos];
    if (quote == '"' || quote == '\'') {
        ++pos;
        while (pos < text.size() && text[pos] != quote)
            attribute.value += text[pos++];
        if (pos < text.size())
            ++pos;
    } else {
        while (pos < text.size() && !isSpace(text[pos]) && text[pos] != '>')
            attribute.value += text[pos++];
    }
    return true;
}

QByteArray charsetOfMeta(QByteArrayView text, qsizetype &pos)
{
    QByteArray charset;
    QByteArray content;
    bool contentType = false;
    Attribute attribute;
    while (nextAttribute(text, pos, attribute)) {
        if (attribute.name == "charset" && charset.isEmpty())
            charset = trimmedLower(attribute.value);
        else if (attribute.name == "http-equiv")
            contentType = trimmedLower(attribute.value) == "content-type";
        else if (attribute.name == "content")
            content = attribute.value;
    }
    if (!charset.isEmpty())
        return charset;
    return contentType ? charsetFromContent(content) : QByteArray();
}

QByteArray charsetOfXmlDeclaration(QByteArrayView text)
{
    if (!startsWithNoCase(text, 0, "<?xml"))
        return {};
    const qsizetype end = QByteArray(text.data(), text.size()).indexOf("?>");
    if (end < 0)
        return {};
    qsizetype pos = 5;
    Attribute attribute;
    const QByteArrayView declaration = text.first(end);
    while (nextAttribute(declaration, pos, attribute)) {
        if (attribute.name == "encoding")
            return trimmedLower(attribute.value);
    }
    return {};
}

// The labels browsers know (the WHATWG encoding list). The engine ignores any other
// declaration, so a page declaring one is treated as declaring nothing.
bool isKnownLabel(const QByteArray &label)
{
    static const char *const labels[] = {
        "866",
        "ansi_x3.4-1968",
        "arabic",
        "ascii",
        "asmo-708",
        "big5",
        "big5-hkscs",
        "chinese",
        "cn-big5",
        "cp1250",
        "cp1251",
        "cp1252",
        "cp1253",
        "cp1254",
        "cp1255",
        "cp1256",
        "cp1257",
        "cp1258",
        "cp819",
        "cp866",
        "csbig5",
        "cseuckr",
        "cseucpkdfmtjapanese",
        "csgb2312",
        "csibm866",
        "csiso2022jp",
        "csiso2022kr",
        "csiso58gb231280",
        "csiso88596e",
        "csiso88596i",
        "csiso88598e",
        "csiso88598i",
        "csisolatin1",
        "csisolatin2",
        "csisolatin3",
        "csisolatin4",
        "csisolatin5",
        "csisolatin6",
        "csisolatin9",
        "csisolatinarabic",
        "csisolatincyrillic",
        "csisolatingreek",
        "csisolatinhebrew",
        "cskoi8r",
        "csksc56011987",
        "csmacintosh",
        "csshiftjis",
        "csunicode",
        "cyrillic",
        "dos-874",
        "ecma-114",
        "ecma-118",
        "elot_928",
        "euc-jp",
        "euc-kr",
        "gb18030",
        "gb2312",
        "gb_2312",
        "gb_2312-80",
        "gbk",
        "greek",
        "greek8",
        "hebrew",
        "hz-gb-2312",
        "ibm819",
        "ibm866",
        "iso-10646-ucs-2",
        "iso-2022-cn",
        "iso-2022-cn-ext",
        "iso-2022-jp",
        "iso-2022-kr",
        "iso-8859-1",
        "iso-8859-10",
        "iso-8859-11",
        "iso-8859-13",
        "iso-8859-14",
        "iso-8859-15",
        "iso-8859-16",
        "iso-8859-2",
        "iso-8859-3",
        "iso-8859-4",
        "iso-8859-5",
        "iso-8859-6",
        "iso-8859-6-e",
        "iso-8859-6-i",
        "iso-8859-7",
        "iso-8859-8",
        "iso-8859-8-e",
        "iso-8859-8-i",
        "iso-8859-9",
        "iso-ir-100",
        "iso-ir-101",
        "iso-ir-109",
        "iso-ir-110",
        "iso-ir-126",
        "iso-ir-127",
        "iso-ir-138",
        "iso-ir-144",
        "iso-ir-148",
        "iso-ir-149",
        "iso-ir-157",
        "iso-ir-58",
        "iso8859-1",
        "iso8859-10",
        "iso8859-11",
        "iso8859-13",
        "iso8859-14",
        "iso8859-15",
        "iso8859-2",
        "iso8859-3",
        "iso8859-4",
        "iso8859-5",
        "iso8859-6",
        "iso8859-7",
        "iso8859-8",
        "iso8859-9",
        "iso88591",
        "iso885910",
        "iso885911",
        "iso885913",
        "iso885914",
        "iso885915",
        "iso88592",
        "iso88593",
        "iso88594",
        "iso88595",
        "iso88596",
        "iso88597",
        "iso88598",
        "iso88599",
        "iso_8859-1",
        "iso_8859-15",
        "iso_8859-1:1987",
        "iso_8859-2",
        "iso_8859-2:1987",
        "iso_8859-3",
        "iso_8859-3:1988",
        "iso_8859-4",
        "iso_8859-4:1988",
        "iso_8859-5",
        "iso_8859-5:1988",
        "iso_8859-6",
        "iso_8859-6:1987",
        "iso_8859-7",
        "iso_8859-7:1987",
        "iso_8859-8",
        "iso_8859-8:1988",
        "iso_8859-9",
        "iso_8859-9:1989",
        "koi",
        "koi8",
        "koi8-r",
        "koi8-ru",
        "koi8-u",
        "koi8_r",
        "korean",
        "ks_c_5601-1987",
        "ks_c_5601-1989",
        "ksc5601",
        "ksc_5601",
        "l1",
        "l2",
        "l3",
        "l4",
        "l5",
        "l6",
        "l9",
        "latin1",
        "latin2",
        "latin3",
        "latin4",
        "latin5",
        "latin6",
        "logical",
        "mac",
        "macintosh",
        "ms932",
        "ms_kanji",
        "replacement",
        "shift-jis",
        "shift_jis",
        "sjis",
        "sun_eu_greek",
        "tis-620",
        "ucs-2",
        "unicode",
        "unicode-1-1-utf-8",
        "unicode11utf8",
        "unicode20utf8",
        "unicodefeff",
        "unicodefffe",
        "us-ascii",
        "utf-16",
        "utf-16be",
        "utf-16le",
        "utf-8",
        "utf8",
        "visual",
        "windows-1250",
        "windows-1251",
        "windows-1252",
        "windows-1253",
        "windows-1254",
        "windows-1255",
        "windows-1256",
        "windows-1257",
        "windows-1258",
        "windows-31j",
        "windows-874",
        "windows-949",
        "x-cp1250",
        "x-cp1251",
        "x-cp1252",
        "x-cp1253",
        "x-cp1254",
        "x-cp1255",
        "x-cp1256",
        "x-cp1257",
        "x-cp1258",
        "x-euc-jp",
        "x-gbk",
        "x-mac-cyrillic",
        "x-mac-roman",
        "x-mac-ukrainian",
        "x-sjis",
        "x-unicode20utf8",
        "x-user-defined",
        "x-x-big5",
    };
    const auto end = std::end(labels);
    const auto it = std::lower_bound(std::begin(labels), end, label,
                                     [](const char *a, const QByteArray &b) { return b > a; });
    return it != end && label == *it;
}

bool isIso88592(const QByteArray &label)
{
    static const char *const labels[] = {"iso-8859-2",      "iso8859-2",  "iso88592", "iso_8859-2",
                                         "iso_8859-2:1987", "iso-ir-101", "latin2",   "l2",
                                         "csisolatin2"};
    for (const char *known : labels) {
        if (label == known)
            return true;
    }
    return false;
}

// Š Ť Ž š ť ž in Windows-1250; control codes in ISO-8859-2, so their presence gives it away.
bool hasWindows1250Letters(const QByteArray &page)
{
    for (const char c : page) {
        switch (static_cast<unsigned char>(c)) {
        case 0x8A:
        case 0x8D:
        case 0x8E:
        case 0x9A:
        case 0x9D:
        case 0x9E:
            return true;
        default:
            break;
        }
    }
    return false;
}

// A page in UTF-16 without a byte order mark: markup is ASCII, so every other byte of its
// beginning is zero. Text in any single-byte charset or UTF-8 holds no zero bytes.
QByteArray utf16WithoutMark(const QByteArray &page)
{
    const qsizetype n = std::min<qsizetype>(page.size(), PrescanBytes) & ~qsizetype(1);
    if (n < 4)
        return {};
    int zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        zeroEven += page.at(i) == 0;
        zeroOdd += page.at(i + 1) == 0;
    }
    const int pairs = int(n / 2);
    if (zeroOdd * 10 >= pairs * 9 && zeroEven == 0)
        return QByteArrayLiteral("utf-16le");
    if (zeroEven * 10 >= pairs * 9 && zeroOdd == 0)
        return QByteArrayLiteral("utf-16be");
    return {};
}

} // namespace

bool CharsetSniffer::isValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned int min = 0;
        unsigned int value = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            min = 0x80;
            value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            min = 0x800;
            value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            min = 0x10000;
            value = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= n)
            return false; // cut off at the end
        for (int k = 1; k <= more; ++k) {
            const unsigned char next = p[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

QByteArray CharsetSniffer::declaredCharset(const QByteArray &page)
{
    const QByteArrayView text = QByteArrayView(page).first(qMin(page.size(), PrescanBytes));
    // An unknown label counts as none, and the prescan goes on, as the engine's does.
    const QByteArray xml = charsetOfXmlDeclaration(text);
    if (isKnownLabel(xml))
        return xml;

    qsizetype pos = 0;
    while (pos < text.size()) {
        if (text[pos] != '<') {
            ++pos;
            continue;
        }
        if (startsWithNoCase(text, pos, "<!--")) {
            const qsizetype end = QByteArray(text.data(), text.size()).indexOf("-->", pos + 4);
            if (end < 0)
                return {};
            pos = end + 3;
            continue;
        }
        if (startsWithNoCase(text, pos, "<meta") && pos + 5 < text.size() &&
            (isSpace(text[pos + 5]) || text[pos + 5] == '/')) {
            pos += 5;
            const QByteArray charset = charsetOfMeta(text, pos);
            if (isKnownLabel(charset))
                return charset;
            continue;
        }
        ++pos;
    }
    return {};
}

QByteArray CharsetSniffer::charsetFor(const QByteArray &page)
{
    if (page.startsWith("\xEF\xBB\xBF") || page.startsWith("\xFF\xFE") ||
        page.startsWith("\xFE\xFF"))
        return {};
    // The engine would read every byte as a letter, and no declaration can say UTF-16.
    const QByteArray utf16 = utf16WithoutMark(page);
    if (!utf16.isEmpty())
        return utf16;

    const QByteArray declared = declaredCharset(page);
    if (!declared.isEmpty() && isKnownLabel(declared)) {
        if (isIso88592(declared) && hasWindows1250Letters(page))
            return QByteArrayLiteral("windows-1250");
        return {};
    }

    bool multiByte = false;
    for (const char c : page) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            multiByte = true;
            break;
        }
    }
    if (multiByte && isValidUtf8(page))
        return QByteArrayLiteral("utf-8");
    return QByteArrayLiteral("windows-1250");
}
