// SPDX-License-Identifier: MIT
#include "searchquery.h"

namespace {

// What the index's tokenizer keeps as part of a word: letters, digits, private use, and
// the accents that belong to a letter.
bool isWordChar(QChar c)
{
    if (c.isLetterOrNumber())
        return true;
    switch (c.category()) {
    case QChar::Other_PrivateUse:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return c.isSurrogate();
    }
}

QString quoted(const QStringList &tokens)
{
    // Tokens hold no quote characters (they are not word characters), so this is safe.
    return QLatin1Char('"') + tokens.join(QLatin1Char(' ')) + QLatin1Char('"');
}

} // namespace

QStringList SearchQuery::tokens(const QString &text)
{
    const QString normal = text.normalized(QString::NormalizationForm_C);
    QStringList out;
    QString word;
    for (const QChar c : normal) {
        if (isWordChar(c)) {
            word += c;
        } else if (!word.isEmpty()) {
            out += word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        out += word;
    return out;
}

SearchQuery SearchQuery::parse(const QString &input)
{
    struct Item
    {
        QStringList tokens;
        QString typed;
        bool phrase;
    };
    QList<Item> items;
    // Typographic quotes count as quotes too: Slovak keyboards and pasted text use them.
    QString text = input;
    for (const QChar q :
         {QChar(0x201C), QChar(0x201D), QChar(0x201E), QChar(0x00AB), QChar(0x00BB)})
        text.replace(q, QLatin1Char('"'));

    const QStringList pieces = text.split(QLatin1Char('"'));
    for (int i = 0; i < pieces.size(); ++i) {
        const bool inQuotes = i % 2 == 1;
        if (inQuotes) {
            const QStringList t = tokens(pieces.at(i));
            if (!t.isEmpty())
                items.append({t, t.join(QLatin1Char(' ')), true});
        } else {
            for (const QString &word : pieces.at(i).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const QStringList t = tokens(word);
                // "kôň-ľad" is one word to the reader; the index sees two adjacent tokens.
                if (!t.isEmpty())
                    items.append({t, t.join(QLatin1Char(' ')), false});
            }
        }
    }

    SearchQuery query;
    // A last piece outside quotes that is still being typed is the prefix; an open quote
    // (odd count) is a phrase still being typed, whose last word is a prefix too.
    const bool lastOpen = !text.trimmed().endsWith(QLatin1Char('"')) || pieces.size() % 2 == 0;
    QStringList parts;
    for (int i = 0; i < items.size(); ++i) {
        QString part = quoted(items.at(i).tokens);
        // One letter as a prefix would match nearly every page, slowly; it stays a word.
        const QStringList &t = items.at(i).tokens;
        if (i == items.size() - 1 && lastOpen && t.last().size() > 1)
            part += QLatin1Char('*');
        parts += part;
        query.terms += items.at(i).typed;
    }
    query.match = parts.join(QLatin1Char(' '));
    return query;
}
