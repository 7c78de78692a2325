// SPDX-License-Identifier: MIT
// picturegen: draws every picture the programs compile in, so that the artwork is ours and
// can be redrawn at any time. Everything is plain QPainter work on QImage, no fonts and no
// randomness, so that the same source always gives the same bytes.
#include "canvas.h"
#include "pictures.h"
#include "writers.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

struct Picture
{
    const char *file;
    QImage (*draw)();
    bool doubled;            // also drawn at 2x for screens that scale the interface
    bool screenRows = false; // 32-bit rows the viewer draws in place
};

const Picture pictureList[] = {
    {"vybrat_knihu.bmp", pictures::vybratKnihu, true},
    {"vybrat_list.bmp", pictures::vybratList, true},
    {"o_dokumente.bmp", pictures::oDokumente, true},
    {"konfiguracia.ico", pictures::konfiguracia, true},
    {"o_programe.bmp", pictures::oPrograme, true},
    {"pomocnik.bmp", pictures::pomocnik, true},
    {"odchod.bmp", pictures::odchod, true},
    {"praca.bmp", pictures::praca, true},
    {"praca_zaneprazdneny.bmp", pictures::pracaZaneprazdneny, true},
    {"uvod.bmp", pictures::uvod, false, true},
    {"kniha_otvorena.ico", pictures::knihaOtvorena, true},
    {"kniha_zatvorena.ico", pictures::knihaZatvorena, true},
    {"otaznik.ico", pictures::otaznik, true},
};

// The desktop's icons: the open book for the viewer, the question mark for the helper.
struct DesktopIcon
{
    const char *file;
    QImage (*draw)(int size);
};
const DesktopIcon desktopIcons[] = {
    {"sk.tarvol.Pagora.png", pictures::knihaOtvorenaIcon},
    {"sk.tarvol.Pagora.Pomocnik.png", pictures::otaznikIcon},
};
// 24: what desktops show in their menus.
const int iconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool write(const QImage &image, const QString &path, bool screenRows = false)
{
    bool ok = false;
    if (screenRows)
        ok = writers::writeBmp32(image, path);
    else if (path.endsWith(QLatin1String(".ico")))
        ok = writers::writeIco(image, path);
    else if (path.endsWith(QLatin1String(".png")))
        ok = writers::writePng(image, path);
    else
        ok = writers::writeBmp(image, path);
    if (!ok)
        err() << QString::fromUtf8("Súbor %1 sa nedá zapísať.\n").arg(path);
    return ok;
}

QString at2x(const QString &file)
{
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    return file.left(dot) + QLatin1String("@2x") + file.mid(dot);
}

bool makeFolder(const QString &folder)
{
    if (QDir().mkpath(folder))
        return true;
    err() << QString::fromUtf8("Priečinok %1 sa nedá vytvoriť.\n").arg(folder);
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Painting on QImage needs no screen and no platform plugin.
    QCoreApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        err() << QString::fromUtf8(
            "Použitie: picturegen <priečinok obrázkov> [<priečinok ikon>]\n"
            "Nakreslí obrázky programu do prvého priečinka a ikony pracovného prostredia\n"
            "(podpriečinky 16 až 256) do druhého.\n");
        return 2;
    }
    int failures = 0;
    const QDir folder(args.at(1));
    if (!makeFolder(folder.path()))
        return 1;
    for (const Picture &picture : pictureList) {
        canvas::setScale(1);
        failures += !write(picture.draw(), folder.filePath(QLatin1String(picture.file)),
                           picture.screenRows);
        if (picture.doubled) {
            canvas::setScale(2);
            failures += !write(picture.draw(), folder.filePath(at2x(picture.file)));
        }
    }
    if (args.size() == 3) {
        for (const int size : iconSizes) {
            const QDir icons(QDir(args.at(2)).filePath(QString::number(size)));
            if (!makeFolder(icons.path()))
                return 1;
            for (const DesktopIcon &icon : desktopIcons)
                failures += !write(icon.draw(size), icons.filePath(QLatin1String(icon.file)));
        }
    }
    err().flush();
    return failures == 0 ? 0 : 1;
}
