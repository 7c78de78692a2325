// SPDX-License-Identifier: MIT
// Turns what a reader types into a full-text query that can never be a syntax error.
#pragma once

#include <QString>
#include <QStringList>

// Words must all occur; text in double quotes is a phrase; the last bare word is a prefix
// ("kap" finds "kapitola"), unless it is a single letter. Every token is quoted, so operators,
// stars, parentheses and stray quotes typed by the reader are plain text.
struct SearchQuery
{
    QString match;     // the full-text expression; empty when nothing searchable was typed
    QStringList terms; // the words and phrases as typed, for highlighting on the page

    bool isEmpty() const { return match.isEmpty(); }
    // The text to highlight on an opened page: the first word or phrase.
    QString highlight() const { return terms.value(0); }

    static SearchQuery parse(const QString &input);
    // The tokens the index sees in a piece of text: letters and digits, split at anything else.
    static QStringList tokens(const QString &text);
};
