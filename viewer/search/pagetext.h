// SPDX-License-Identifier: MIT
// The searchable text of a page: its title and its body, as a reader sees them.
#pragma once

#include <QByteArray>
#include <QString>

struct PageText
{
    QString title;
    QString body;
    QString aside; // navigation, banner, footer: text every page of a book tends to repeat

    // Decodes the bytes with the pane's charset rule, then parses them with a real HTML
    // parser that forgives broken markup. Scripts, styles and comments are not text.
    // Only the page's bytes and its text are held whole: it is decoded and parsed in pieces.
    static PageText fromHtml(const QByteArray &bytes);

    // The page's bytes as text, decoded exactly as the pane decodes them.
    static QString decode(const QByteArray &bytes);
};
