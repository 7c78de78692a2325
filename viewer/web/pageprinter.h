// SPDX-License-Identifier: MIT
// Prints the pane's page to a printer or a PDF file.
#pragma once

#include <QObject>
#include <QString>

class QPrinter;
class QWebEngineView;
class QWidget;

class PagePrinter : public QObject
{
    Q_OBJECT

public:
    explicit PagePrinter(QWebEngineView *view, QObject *parent = nullptr);

    // Asks through Qt's print dialog, prints, and tells the user in Slovak when it failed.
    void printWithDialog(QWidget *parent);

    // Prints and waits until the engine is done; false, with the reason, when it failed.
    bool printTo(QPrinter *printer, QString *error = nullptr);

    bool isPrinting() const { return m_printing; }

private:
    QWebEngineView *m_view;
    bool m_printing = false;
};
