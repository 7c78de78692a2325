// SPDX-License-Identifier: MIT
#include "builtinbook.h"

#include "drivemap.h"
#include "library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <memory>

namespace builtinbook {

namespace {

const QString resourceRoot = QStringLiteral(":/builtin/");

// The native folder of a drive path: the existing one in any letter case, else the path
// as spelled, under the deepest folder that exists.
QString nativeFor(const QString &address)
{
    const auto parsed = DriveMap::parse(address);
    QString path = DriveMap::driveRoot(parsed->drive);
    for (const QString &component : parsed->components) {
        const QString match = DriveMap::matchEntry(path, component);
        path += QLatin1Char('/') + (match.isEmpty() ? component : match);
    }
    return path;
}

bool copyResource(const QString &resource, const QString &target, QString *error)
{
    if (QFileInfo::exists(target))
        return true;
    if (QFile::copy(resource, target)) {
        // Resources are read-only; the user's copy should be editable.
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
        return true;
    }
    if (error)
        *error = QStringLiteral("Súbor %1 sa nepodarilo vytvoriť.").arg(target);
    return false;
}

} // namespace

bool install(QString *error)
{
    const QString root = nativeFor(library::rootFolder);
    if (!QDir().mkpath(root)) {
        if (error) {
            *error = QStringLiteral("Priečinok knižnice %1 (%2) sa nepodarilo vytvoriť.")
                         .arg(library::rootFolder, root);
            // The usual cause, worth naming: something else already sits there.
            QString part = root;
            while (!part.isEmpty() && !QFileInfo::exists(part))
                part = QFileInfo(part).path();
            if (QFileInfo(part).exists() && !QFileInfo(part).isDir())
                *error += QStringLiteral(" Na mieste priečinka je súbor %1.").arg(part);
        }
        return false;
    }

    bool ok = true;
    const QString marker = library::builtinBook + QStringLiteral(".BKX");
    if (DriveMap::matchEntry(root, marker).isEmpty())
        ok = copyResource(resourceRoot + marker, root + QLatin1Char('/') + marker, error) && ok;

    if (!DriveMap::matchEntry(root, library::builtinBook).isEmpty())
        return ok; // the user's own copy, complete or not, is theirs

    const QString book = root + QLatin1Char('/') + library::builtinBook;
    if (!QDir().mkpath(book)) {
        if (error)
            *error = QStringLiteral("Priečinok %1 sa nepodarilo vytvoriť.").arg(book);
        return false;
    }
    const QDir pages(resourceRoot + library::builtinBook);
    for (const QString &page : pages.entryList(QDir::Files))
        ok = copyResource(pages.filePath(page), book + QLatin1Char('/') + page, error) && ok;
    return ok;
}

QMessageBox *failureBox(const QString &error)
{
    auto *box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Knižnica"),
        error + QStringLiteral("\n\nProgram pracuje ďalej bez svojej vstavanej knihy."),
        QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    return box;
}

bool installOrSay()
{
    QString error;
    if (install(&error))
        return true;
    qWarning("%s", qPrintable(error));
    std::unique_ptr<QMessageBox> box(failureBox(error));
    box->exec();
    return false;
}

} // namespace builtinbook
