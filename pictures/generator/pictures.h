// SPDX-License-Identifier: MIT
// Every picture the programs use, drawn at canvas::scale().
#pragma once

#include <QImage>

namespace pictures {

// Toolbar buttons (on their mask colour).
QImage vybratKnihu();
QImage vybratList();
QImage oDokumente();
QImage konfiguracia();
QImage oPrograme();
QImage pomocnik();
QImage odchod();
// Busy indicator, idle and busy.
QImage praca();
QImage pracaZaneprazdneny();
// The intro window's picture.
QImage uvod();
// Window icons; the open book and the question mark are also the desktop's icons.
QImage knihaOtvorena();
QImage knihaZatvorena();
QImage otaznik();
// The desktop's icons at size pixels: drawn for 16 and 24, the window icons scaled above.
QImage knihaOtvorenaIcon(int size);
QImage otaznikIcon(int size);

} // namespace pictures
