// SPDX-License-Identifier: MIT
#include "pageprinter.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

namespace {

const QString title = QStringLiteral("Tlačiť");

// A file name from the page's title, without what a file name cannot hold.
QString fileNameFor(const QString &pageTitle)
{
    QString name = pageTitle.simplified();
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.remove(QChar(0));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("stránka");
    return name.left(100) + QStringLiteral(".pdf");
}

} // namespace

PagePrinter::PagePrinter(QWebEngineView *view, QObject *parent) : QObject(parent), m_view(view) {}

void PagePrinter::printWithDialog(QWidget *parent)
{
    if (m_printing)
        return; // the engine prints one page at a time
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(m_view->title());
    // Without a printer the dialog offers only a PDF file: propose one in the home folder.
    if (QPrinterInfo::availablePrinters().isEmpty())
        printer->setOutputFileName(QDir::home().filePath(fileNameFor(m_view->title())));
    // Modeless like every window but a message box: the page stays readable meanwhile.
    auto *dialog = new QPrintDialog(printer.get(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setWindowTitle(title);
    const QPointer<QWidget> owner(parent);
    connect(dialog, &QDialog::accepted, this, [this, printer, owner] {
        QString error;
        if (!printTo(printer.get(), &error))
            QMessageBox::warning(owner, title, error);
    });
    m_dialog = dialog;
    dialog->show();
}

bool PagePrinter::printTo(QPrinter *printer, QString *error)
{
    if (m_printing) {
        if (error)
            *error = QStringLiteral("Tlačí sa iná stránka. Skúste to znova o chvíľu.");
        return false;
    }
    const QString file = printer->outputFileName();
    if (!file.isEmpty()) {
        const QFileInfo folder(QFileInfo(file).absolutePath());
        if (!folder.isDir() || !folder.isWritable()) {
            if (error)
                *error = QStringLiteral("Súbor %1 sa nedá zapísať: priečinok %2 neexistuje "
                                        "alebo doň nemožno písať.")
                             .arg(QDir::toNativeSeparators(file),
                                  QDir::toNativeSeparators(folder.filePath()));
            return false;
        }
    }

    m_printing = true;
    bool ok = false;
    QString reason;
    auto loop = std::make_shared<QEventLoop>();
    // A renderer that goes away while printing never reports.
    const auto gone = connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, loop.get(),
                              [loop] { loop->quit(); });
    if (printer->outputFormat() == QPrinter::PdfFormat && !file.isEmpty()) {
        // print() would paint the pages as pictures: a large file without its text. The
        // engine's own PDF keeps the text, to search and copy.
        std::weak_ptr<QEventLoop> waiting = loop;
        m_view->page()->printToPdf(
            [&, waiting](const QByteArray &pdf) {
                if (waiting.expired())
                    return; // the renderer went away and the wait is over
                QSaveFile out(file);
                ok = !pdf.isEmpty() && out.open(QIODevice::WriteOnly) &&
                     out.write(pdf) == pdf.size() && out.commit();
                if (!pdf.isEmpty() && !ok)
                    reason = out.errorString();
                loop->quit();
            },
            printer->pageLayout(), printer->pageRanges());
        loop->exec();
    } else {
        const auto done =
            connect(m_view, &QWebEngineView::printFinished, loop.get(), [&](bool success) {
                ok = success;
                loop->quit();
            });
        m_view->print(printer);
        loop->exec();
        disconnect(done);
    }
    disconnect(gone);
    m_printing = false;

    if (!ok && error) {
        *error = file.isEmpty() ? QStringLiteral("Stránku sa nepodarilo vytlačiť.")
                                : QStringLiteral("Stránku sa nepodarilo uložiť do súboru %1.")
                                      .arg(QDir::toNativeSeparators(file));
        if (!reason.isEmpty())
            *error += QStringLiteral("\n\n") + reason;
    }
    return ok;
}
