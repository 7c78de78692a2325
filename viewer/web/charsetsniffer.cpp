// SPDX-License-Identifier: MIT
#include "charsetsniffer.h"

#include <QByteArrayView>

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
    const QByteArray xml = charsetOfXmlDeclaration(text);
    if (!xml.isEmpty())
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
            if (!charset.isEmpty())
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

    const QByteArray declared = declaredCharset(page);
    if (!declared.isEmpty()) {
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
