// SPDX-License-Identifier: MIT
// Prints the pane's page to a printer or a PDF file.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

class QPrinter;
class QWebEngineView;
class QWidget;

class PagePrinter : public QObject
{
    Q_OBJECT

public:
    explicit PagePrinter(QWebEngineView *view, QObject *parent = nullptr);

    // Opens Qt's print dialog (modeless; one at a time), prints what the pane shows when it
    // is accepted, and tells the user in Slovak when that failed.
    void printWithDialog(QWidget *parent);
    // The open print dialog, if any.
    QDialog *dialog() const { return m_dialog; }

    // Prints and waits until the engine is done; false, with the reason, when it failed.
    bool printTo(QPrinter *printer, QString *error = nullptr);

    bool isPrinting() const { return m_printing; }

private:
    QWebEngineView *m_view;
    QPointer<QDialog> m_dialog;
    bool m_printing = false;
};
