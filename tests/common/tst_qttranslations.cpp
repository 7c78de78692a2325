// SPDX-License-Identifier: MIT
#include "qttranslations.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

class TestQtTranslations : public QObject
{
    Q_OBJECT

    static QStringList menuTexts()
    {
        QLineEdit edit(QStringLiteral("text"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                texts << action->text().section(QLatin1Char('\t'), 0, 0);
        return texts;
    }

    // What the print dialog shows: its labels, buttons and the choices of its lists.
    static QStringList printDialogTexts()
    {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        QStringList texts;
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            texts << label->text().remove(QLatin1Char('&'));
        for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
            texts << button->text().remove(QLatin1Char('&'));
        for (const QComboBox *box : dialog.findChildren<QComboBox *>())
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        return texts;
    }

private slots:
    void missingCataloguesLeaveQtEnglish()
    {
        QTemporaryDir empty;
        QCOMPARE(qttranslations::install(QLocale(QLocale::Slovak), empty.path()), 0);
        QCOMPARE(
            QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
            QStringLiteral("Cancel"));
        QVERIFY(menuTexts().contains(QStringLiteral("&Undo")));
    }

    void slovakCataloguesAreFound()
    {
        // qtbase_sk.qm: Debian's qt6-translations-l10n; there is no Slovak engine catalogue.
        QVERIFY(qttranslations::install() >= 1);
    }

    void standardTextsSpeakSlovak_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("slovak");
        const auto row = [](const char *name, const char *where, const char *english,
                            const char *slovak) {
            QTest::newRow(name) << QString::fromUtf8(where) << QString::fromUtf8(english)
                                << QString::fromUtf8(slovak);
        };
        row("text box menu: undo", "menu", "&Undo", "&Späť");
        row("text box menu: paste", "menu", "&Paste", "V&ložiť");
        row("text box menu: select all", "menu", "Select All", "Vybrať všetko");
        // Qt 6 looks these up under another context than the catalogue holds them.
        row("button box: cancel", "buttons", "Cancel", "Zrušiť");
        row("button box: close", "buttons", "Close", "Zavrieť");
        // Missing from the catalogue: the program's own texts stand in.
        row("print dialog: page range", "print", "Pages", "Strany");
        row("print dialog: page set", "print", "Page Set:", "Výber strán:");
        row("print dialog: all pages", "print", "All Pages", "Všetky strany");
        row("print dialog: odd pages", "print", "Odd Pages", "Nepárne strany");
        row("print dialog: two-sided", "print", "Long side binding", "Väzba na dlhšej strane");
        row("print dialog: copies, from Qt's catalogue", "print", "Copies:", "Kópie:");
    }

    void standardTextsSpeakSlovak()
    {
        QFETCH(QString, where);
        QFETCH(QString, english);
        QFETCH(QString, slovak);
        if (where == QLatin1String("menu")) {
            const QStringList texts = menuTexts();
            QVERIFY2(texts.contains(slovak), qPrintable(texts.join(QStringLiteral(" | "))));
            QVERIFY(!texts.contains(english));
            return;
        }
        if (where == QLatin1String("print")) {
            const QStringList texts = printDialogTexts();
            QVERIFY2(texts.contains(slovak), qPrintable(texts.join(QStringLiteral(" | "))));
            QVERIFY(!texts.contains(english));
            return;
        }
        const auto which =
            english == QLatin1String("Cancel") ? QDialogButtonBox::Cancel : QDialogButtonBox::Close;
        QDialogButtonBox box(which);
        QCOMPARE(box.button(which)->text(), slovak);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestQtTranslations test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_qttranslations.moc"
