// SPDX-License-Identifier: MIT
// What a screen reader learns of the face both programs share, read through QAccessible.
#include "clicklabel.h"
#include "face.h"
#include "filelistbox.h"
#include "picturebutton.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

class TestFaceAccessibility : public QObject
{
    Q_OBJECT

    QWidget m_window;
    face::Controls m_face;

    static QAccessibleInterface *accessible(QObject *object)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
        return iface && iface->isValid() ? iface : nullptr;
    }

private slots:
    void initTestCase()
    {
        m_face = face::build(&m_window);
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
    }

    void controlsHaveNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        const int button = QAccessible::Button;
        QTest::newRow("Command6") << "Command6"
                                  << "Vybrať knihu" << button;
        QTest::newRow("Command2") << "Command2"
                                  << "Vybrať list" << button;
        QTest::newRow("Command7") << "Command7"
                                  << "O dokumente" << button;
        QTest::newRow("Command1") << "Command1"
                                  << "Konfigurácia" << button;
        QTest::newRow("Command5") << "Command5"
                                  << "O programe" << button;
        QTest::newRow("Command3") << "Command3"
                                  << "Pomocník" << button;
        QTest::newRow("Command4") << "Command4"
                                  << "Odchod" << button;
        QTest::newRow("Praca") << "Praca"
                               << "Kontrolka" << button;
        QTest::newRow("Listy") << "Listy"
                               << "SpeedPanel" << int(QAccessible::List);
    }

    void controlsHaveNames()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        auto *widget = m_window.findChild<QWidget *>(control);
        QVERIFY(widget);
        QAccessibleInterface *iface = accessible(widget);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(int(iface->role()), role);
        // The toolbar's name is the tooltip the sighted user reads.
        if (!widget->toolTip().isEmpty())
            QCOMPARE(widget->toolTip(), name);
    }

    void everyPictureButtonIsNamed()
    {
        const auto buttons = m_window.findChildren<PictureButton *>();
        QCOMPARE(buttons.size(), 8);
        for (PictureButton *button : buttons) {
            QAccessibleInterface *iface = accessible(button);
            QVERIFY(iface);
            QVERIFY2(!iface->text(QAccessible::Name).isEmpty(), qPrintable(button->objectName()));
        }
    }

    void valuesAreLabelledByTheirCaptions_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Kniha") << "Kniha"
                               << "Kniha:";
        QTest::newRow("List") << "List"
                              << "List:";
    }

    void valuesAreLabelledByTheirCaptions()
    {
        QFETCH(QString, value);
        QFETCH(QString, caption);
        QAccessibleInterface *iface = accessible(m_window.findChild<QWidget *>(value));
        QVERIFY(iface);
        const auto labels = iface->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), caption);
        // The caption knows what it labels, too.
        QAccessibleInterface *label = labels.first().first;
        const auto labelled = label->relations(QAccessible::Labelled);
        QCOMPARE(labelled.size(), 1);
        QCOMPARE(labelled.first().first->object(), m_window.findChild<QObject *>(value));
    }

    void busyIndicatorTellsItsState()
    {
        QAccessibleInterface *iface = accessible(m_face.Praca);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Description), QString::fromUtf16(face::ready));
        QVERIFY(!iface->state().disabled);
        for (int round = 0; round < 2; ++round) {
            m_face.Praca->setEnabled(false);
            QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("zaneprázdnený"));
            QVERIFY(iface->state().disabled);
            QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Kontrolka"));
            m_face.Praca->setEnabled(true);
            QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("pripravený"));
            QVERIFY(!iface->state().disabled);
        }
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestFaceAccessibility test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_faceaccessibility.moc"
