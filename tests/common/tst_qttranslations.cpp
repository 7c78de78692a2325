// SPDX-License-Identifier: MIT
#include "qttranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
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
