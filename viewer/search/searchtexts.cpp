// SPDX-License-Identifier: MIT
#include "searchtexts.h"

#include <QLocale>

namespace searchtexts {

QString number(int n)
{
    return QLocale(QLocale::Slovak, QLocale::Slovakia).toString(n);
}

QString count(int total, int shown)
{
    if (total <= 0)
        return QStringLiteral("Nič sa nenašlo.");
    const QString noun = total == 1                 ? QStringLiteral("výsledok")
                         : total >= 2 && total <= 4 ? QStringLiteral("výsledky")
                                                    : QStringLiteral("výsledkov");
    QString text = number(total) + QLatin1Char(' ') + noun;
    if (shown < total)
        text += QStringLiteral(", zobrazených je prvých %1").arg(number(shown));
    return text;
}

QString progress(int done, int total)
{
    // Genitive after "z": "z 1 listu", "z 2 listov".
    return QStringLiteral("Indexujem %1 z %2 %3…")
        .arg(number(done), number(total),
             total == 1 ? QStringLiteral("listu") : QStringLiteral("listov"));
}

} // namespace searchtexts
