// SPDX-License-Identifier: MIT
#include "pagetext.h"

#include "charsetsniffer.h"

#include <QStringDecoder>
#include <algorithm>
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <mutex>
#include <vector>

namespace {

bool isNamed(const xmlChar *element, const char *name)
{
    return element && xmlStrcasecmp(element, reinterpret_cast<const xmlChar *>(name)) == 0;
}

// Elements inside a word ("k<b>ôň</b>") must not split it; every other element does.
bool isInline(const xmlChar *node)
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

bool isSkipped(const xmlChar *node)
{
    return isNamed(node, "script") || isNamed(node, "style") || isNamed(node, "template") ||
           isNamed(node, "object") || isNamed(node, "noembed");
}

// Runs of white space and control characters become one space as the text comes, so a page
// of blank lines costs nothing; the index's snippet markers are control characters and must
// never come from a page.
struct Text
{
    QString text;
    bool space = true; // the text ends with a space, or is empty

    void add(QStringView piece)
    {
        for (const QChar c : piece) {
            if (c.isSpace() || c.category() == QChar::Other_Control) {
                if (!space)
                    text += QLatin1Char(' ');
                space = true;
            } else {
                text += c;
                space = false;
            }
        }
    }
    void separate() { add(u" "); }
    // One spelling of each letter, so that a page written with combining accents matches.
    QString done()
    {
        if (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text.normalized(QString::NormalizationForm_C);
    }
};

// What the parser reports, gathered as it goes: no document tree is built, so a big page
// costs its text, not a tree many times its size.
struct Collector
{
    Text title;
    Text body;
    Text aside;
    int skipped = 0; // depth inside a script, style or other element that is not text
    int inTitle = 0;
    int inAside = 0;   // inside the page's navigation, banner or footer
    int inSection = 0; // inside an article or section, whose header is its own text
    enum Opened : char { Plain, Aside, Section };
    std::vector<char> open; // what each open element began

    Text &text() { return inAside > 0 ? aside : body; }
};

// The parts of a page that every page of a book repeats: its navigation, its banner and
// footer, boxes beside the text. They are searched, but weigh little.
bool isAside(const xmlChar *node, const xmlChar **attributes, bool inSection)
{
    if (isNamed(node, "nav") || isNamed(node, "aside"))
        return true;
    if (!inSection && (isNamed(node, "header") || isNamed(node, "footer")))
        return true;
    for (const xmlChar **a = attributes; a && a[0]; a += 2) {
        if (xmlStrcasecmp(a[0], reinterpret_cast<const xmlChar *>("role")) != 0 || !a[1])
            continue;
        for (const char *role : {"navigation", "banner", "contentinfo", "search", "complementary"})
            if (isNamed(a[1], role))
                return true;
    }
    return false;
}

void append(Text &out, const xmlChar *text, int length)
{
    out.add(QString::fromUtf8(reinterpret_cast<const char *>(text), length));
}

void onStart(void *context, const xmlChar *name, const xmlChar **attributes)
{
    auto *c = static_cast<Collector *>(context);
    const xmlChar *node = name;
    if (c->skipped > 0 || isSkipped(node)) {
        ++c->skipped;
        return;
    }
    if (isNamed(node, "title")) {
        ++c->inTitle;
        return;
    }
    Collector::Opened opened = Collector::Plain;
    if (isAside(node, attributes, c->inSection > 0)) {
        opened = Collector::Aside;
        ++c->inAside;
    } else if (isNamed(node, "article") || isNamed(node, "section") || isNamed(node, "main")) {
        opened = Collector::Section;
        ++c->inSection;
    }
    c->open.push_back(opened);
    if (isInline(node))
        return;
    c->text().separate();
    if (isNamed(node, "img") && attributes) {
        // A picture's alternative text is what a reader without the picture reads.
        for (const xmlChar **a = attributes; a[0]; a += 2) {
            if (xmlStrcasecmp(a[0], reinterpret_cast<const xmlChar *>("alt")) == 0 && a[1])
                append(c->text(), a[1], xmlStrlen(a[1]));
        }
    }
}

void onEnd(void *context, const xmlChar *name)
{
    auto *c = static_cast<Collector *>(context);
    if (c->skipped > 0) {
        --c->skipped;
        return;
    }
    const xmlChar *node = name;
    if (isNamed(node, "title")) {
        // A title inside the body (broken markup) still names the page.
        if (c->inTitle > 0 && --c->inTitle == 0)
            c->title.separate();
        return;
    }
    if (!isInline(node))
        c->text().separate();
    if (c->open.empty())
        return;
    const char opened = c->open.back();
    c->open.pop_back();
    if (opened == Collector::Aside)
        --c->inAside;
    else if (opened == Collector::Section)
        --c->inSection;
}

void onText(void *context, const xmlChar *text, int length)
{
    auto *c = static_cast<Collector *>(context);
    if (c->skipped == 0)
        append(c->inTitle > 0 ? c->title : c->text(), text, length);
}

QStringDecoder decoderFor(const QByteArray &bytes)
{
    const QByteArray charset = CharsetSniffer::charsetFor(bytes);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder;
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
    return decoder;
}

} // namespace

QString PageText::decode(const QByteArray &bytes)
{
    QStringDecoder decoder = decoderFor(bytes);
    return decoder.decode(bytes);
}

PageText PageText::fromHtml(const QByteArray &bytes)
{
    PageText page;
    // The parser's globals must be set up once, before two threads parse at a time.
    static std::once_flag init;
    std::call_once(init, [] { xmlInitParser(); });
    if (bytes.isEmpty())
        return page;

    xmlSAXHandler sax{};
    sax.startElement = onStart;
    sax.endElement = onEnd;
    sax.characters = onText;
    sax.ignorableWhitespace = onText;
    sax.cdataBlock = onText;
    Collector collector;
    // The text is UTF-8 now, whatever the page declares.
    htmlParserCtxtPtr parser =
        htmlCreatePushParserCtxt(&sax, &collector, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
    if (!parser)
        return page;
    htmlCtxtUseOptions(parser, HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                   HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC);
    // Decoded and parsed a piece at a time: only the page's bytes and its text are held whole.
    QStringDecoder decoder = decoderFor(bytes);
    constexpr qsizetype piece = 256 * 1024;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        QString text = decoder.decode(
            QByteArrayView(bytes.constData() + at, std::min(piece, bytes.size() - at)));
        if (at == 0 && text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        // The parser keeps whatever follows a zero character unread until the end; zeros are
        // no text anyway.
        text.remove(QChar(0));
        const QByteArray utf8 = text.toUtf8();
        htmlParseChunk(parser, utf8.constData(), int(utf8.size()), 0);
    }
    htmlParseChunk(parser, nullptr, 0, 1);
    htmlFreeParserCtxt(parser);
    page.title = collector.title.done();
    page.body = collector.body.done();
    page.aside = collector.aside.done();
    return page;
}
