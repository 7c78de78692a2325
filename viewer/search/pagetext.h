// SPDX-License-Identifier: MIT
// The searchable text of a page: its title and its body, as a reader sees them.
#pragma once

#include <QByteArray>
#include <QString>

struct PageText
{
    QString title;
    QString body;

    // Decodes the bytes with the pane's charset rule, then parses them with a real HTML
    // parser that forgives broken markup. Scripts, styles and comments are not text.
    static PageText fromHtml(const QByteArray &bytes);

    // The page's bytes as text, decoded exactly as the pane decodes them.
    static QString decode(const QByteArray &bytes);
};
