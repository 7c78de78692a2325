// SPDX-License-Identifier: MIT
#include "pagetext.h"

#include "charsetsniffer.h"

#include <QStringDecoder>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <mutex>

namespace {

bool isNamed(const xmlNode *node, const char *name)
{
    return node->name && xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

// Elements inside a word ("k<b>ôň</b>") must not split it; every other element does.
bool isInline(const xmlNode *node)
{
    static const char *const names[] = {"a",    "abbr", "b",     "bdi",  "bdo",    "big",    "cite",
                                        "code", "em",   "font",  "i",    "kbd",    "mark",   "q",
                                        "s",    "samp", "small", "span", "strike", "strong", "sub",
                                        "sup",  "tt",   "u",     "var"};
    for (const char *name : names) {
        if (isNamed(node, name))
            return true;
    }
    return false;
}

bool isSkipped(const xmlNode *node)
{
    return isNamed(node, "script") || isNamed(node, "style") || isNamed(node, "template") ||
           isNamed(node, "head") || isNamed(node, "object") || isNamed(node, "noembed");
}

void appendText(QString &out, const xmlChar *content)
{
    if (content)
        out += QString::fromUtf8(reinterpret_cast<const char *>(content));
}

void collect(const xmlNode *node, QString &body, QString &title)
{
    for (; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            appendText(body, node->content);
        } else if (node->type == XML_ELEMENT_NODE) {
            if (isNamed(node, "title")) {
                // A title inside the body (broken markup) still names the page.
                for (const xmlNode *child = node->children; child; child = child->next)
                    appendText(title, child->content);
                title += QLatin1Char(' ');
                continue;
            }
            if (isNamed(node, "head")) {
                collect(node->children, body, title);
                continue;
            }
            if (isSkipped(node))
                continue;
            const bool separate = !isInline(node);
            if (separate)
                body += QLatin1Char(' ');
            if (isNamed(node, "img")) {
                // A picture's alternative text is what a reader without the picture reads.
                if (xmlChar *alt = xmlGetProp(node, reinterpret_cast<const xmlChar *>("alt"))) {
                    appendText(body, alt);
                    xmlFree(alt);
                }
            }
            collect(node->children, body, title);
            if (separate)
                body += QLatin1Char(' ');
        }
    }
}

// Runs of white space and control characters become one space; the index's snippet markers
// are control characters and must never come from a page.
QString simplified(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool space = true;
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            if (!space)
                out += QLatin1Char(' ');
            space = true;
        } else {
            out += c;
            space = false;
        }
    }
    if (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    // One spelling of each letter, so that a page written with combining accents matches.
    return out.normalized(QString::NormalizationForm_C);
}

} // namespace

QString PageText::decode(const QByteArray &bytes)
{
    const QByteArray charset = CharsetSniffer::charsetFor(bytes);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    // The page names its charset (or starts with a byte order mark).
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) {
        const QByteArray declared = CharsetSniffer::declaredCharset(bytes);
        decoder = QStringDecoder(declared.constData());
    }
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1250");
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringConverter::Latin1);
    return decoder.decode(bytes);
}

PageText PageText::fromHtml(const QByteArray &bytes)
{
    QString text = decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QByteArray utf8 = text.toUtf8();
    PageText page;
    // The parser's globals must be set up once, before two threads parse at a time.
    static std::once_flag init;
    std::call_once(init, [] { xmlInitParser(); });
    if (utf8.isEmpty())
        return page;
    // The text is UTF-8 now, whatever the page declares.
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                        HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | HTML_PARSE_NOBLANKS;
    htmlDocPtr doc = htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8", options);
    if (!doc)
        return page;
    QString title;
    QString body;
    collect(xmlDocGetRootElement(doc) ? doc->children : nullptr, body, title);
    xmlFreeDoc(doc);
    page.title = simplified(title);
    page.body = simplified(body);
    return page;
}
