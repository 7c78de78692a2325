// SPDX-License-Identifier: MIT
#include "messagepage.h"

namespace {

constexpr qsizetype MaxShownAddress = 300;

QString quoted(const QString &address)
{
    return QStringLiteral("„") + MessagePage::shownAddress(address).toHtmlEscaped() +
           QStringLiteral("“");
}

// body is already HTML; title is plain text.
QByteArray page(const QString &title, const QString &body)
{
    const QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"sk\"><head><meta charset=\"utf-8\">\n"
                       "<meta name=\"color-scheme\" content=\"light dark\">\n"
                       "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                       "style-src 'unsafe-inline'\">\n<title>") +
        title.toHtmlEscaped() +
        QStringLiteral("</title>\n<style>:root{color-scheme:light dark;}"
                       "body{font-family:sans-serif;margin:2em;}"
                       "h1{font-size:1.4em;}p{overflow-wrap:anywhere;}"
                       "@media (prefers-color-scheme: dark){body{background:#1e1e1e;"
                       "color:#e0e0e0;}a{color:#8ab4f8;}}</style>\n"
                       "</head><body>\n<h1>") +
        title.toHtmlEscaped() + QStringLiteral("</h1>\n") + body +
        QStringLiteral("\n</body></html>\n");
    return html.toUtf8();
}

QString paragraph(const QString &html)
{
    return QStringLiteral("<p>") + html + QStringLiteral("</p>");
}

} // namespace

QByteArray MessagePage::contentType()
{
    return QByteArrayLiteral("text/html; charset=utf-8");
}

QString MessagePage::shownAddress(const QString &address)
{
    QString shown;
    const qsizetype length = qMin(address.size(), MaxShownAddress);
    shown.reserve(length + 1);
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = address.at(i);
        if (c.unicode() < 0x20)
            shown += QChar(0x2400 + c.unicode()); // the Control Pictures block: ␀ ␉ ␊ ...
        else if (c.unicode() == 0x7F)
            shown += QChar(0x2421);
        else if (c.category() == QChar::Other_Control)
            shown += QChar(0xFFFD);
        else
            shown += c;
    }
    if (address.size() > MaxShownAddress)
        shown += QChar(0x2026);
    return shown;
}

QByteArray MessagePage::notFound(const QString &address)
{
    return page(QStringLiteral("Stránka sa nenašla"),
                paragraph(QStringLiteral("Stránku %1 sa nepodarilo nájsť.").arg(quoted(address))));
}

QByteArray MessagePage::folder(const QString &address, const QList<Link> &pages)
{
    QString body = paragraph(QStringLiteral("%1 je priečinok, nie stránka.").arg(quoted(address)));
    if (pages.isEmpty()) {
        body += paragraph(QStringLiteral("V tomto priečinku nie sú žiadne stránky."));
    } else {
        body += paragraph(QStringLiteral("Stránky v tomto priečinku:")) + QStringLiteral("\n<ul>");
        for (const Link &link : pages) {
            body += QStringLiteral("\n<li><a href=\"") +
                    QString::fromLatin1(link.url.toEncoded()).toHtmlEscaped() +
                    QStringLiteral("\">") + link.text.toHtmlEscaped() + QStringLiteral("</a></li>");
        }
        body += QStringLiteral("\n</ul>");
    }
    return page(QStringLiteral("Priečinok, nie stránka"), body);
}

QByteArray MessagePage::tooLarge(const QString &address)
{
    return page(
        QStringLiteral("Stránka je príliš veľká"),
        paragraph(
            QStringLiteral("Stránka %1 je príliš veľká na zobrazenie.").arg(quoted(address))));
}

QByteArray MessagePage::unreadable(const QString &address)
{
    return page(
        QStringLiteral("Stránku sa nepodarilo prečítať"),
        paragraph(QStringLiteral("Stránku %1 sa nepodarilo prečítať.").arg(quoted(address))));
}

QByteArray MessagePage::outside(const QString &address)
{
    return page(QStringLiteral("Stránka je mimo povoleného priečinka"),
                paragraph(QStringLiteral("Stránka %1 vedie mimo povoleného priečinka, a preto sa "
                                         "nezobrazí.")
                              .arg(quoted(address))));
}

QByteArray MessagePage::invalidAddress(const QString &address)
{
    if (address.isEmpty())
        return page(QStringLiteral("Neplatná adresa"),
                    paragraph(QStringLiteral("Nebola zadaná žiadna adresa.")));
    return page(QStringLiteral("Neplatná adresa"),
                paragraph(QStringLiteral("Adresu %1 nie je možné otvoriť.").arg(quoted(address))));
}

QByteArray MessagePage::notLoaded(const QString &address)
{
    return page(
        QStringLiteral("Stránku sa nepodarilo načítať"),
        paragraph(QStringLiteral("Stránku %1 sa nepodarilo načítať.").arg(quoted(address))));
}

QByteArray MessagePage::canceled()
{
    return page(QStringLiteral("Prechod na stránku bol zrušený"),
                paragraph(QStringLiteral("Prechod na stránku bol zrušený.")));
}
