// SPDX-License-Identifier: MIT
#include "pageopener.h"

#include "browserpane.h"
#include "busybracket.h"
#include "clicklabel.h"
#include "drivemap.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "library.h"
#include "picturebutton.h"
#include "readingpages.h"

#include <QFileInfo>

namespace pageopener {

bool exists(const QString &book, const QString &page)
{
    if (book.isEmpty() || page.isEmpty() || book.contains(QLatin1Char('\\')) ||
        page.contains(QLatin1Char('\\')))
        return false;
    const QString folder = DriveMap::folderFor(library::bookFolder(book));
    if (folder.isEmpty())
        return false;
    const QString name = DriveMap::matchEntry(folder, page);
    return !name.isEmpty() && QFileInfo(folder + QLatin1Char('/') + name).isFile();
}

bool open(frmHlavne &main, const QString &book, const QString &page)
{
    if (!exists(book, page))
        return false;
    BusyBracket busy(main.Praca);
    main.Kniha->setText(book);
    FileListBox *listy = main.Listy;
    const QString folder = library::bookFolder(book);
    if (listy->path() != folder)
        listy->setPath(folder);
    const auto select = [listy](const QString &name) {
        for (int i = 0; i < listy->count(); ++i) {
            if (listy->item(i)->text() == name) {
                // Selecting by hand would count as a click and navigate a second time.
                const QSignalBlocker blocker(listy);
                listy->setCurrentRow(i);
                listy->scrollToItem(listy->item(i));
                return true;
            }
        }
        return false;
    };
    if (!select(page) && listy->isListing()) {
        // A huge book is still being listed: its entry is selected once the names are in.
        QObject::connect(
            listy, &FileListBox::listed, listy,
            [listy, folder, page, select] {
                if (listy->path() == folder && listy->fileName().isEmpty())
                    select(page);
            },
            Qt::SingleShotConnection);
    }
    main.Hlavne->Navigate(library::pagePath(book, page));
    main.List->setText(page);
    return true;
}

} // namespace pageopener
