// SPDX-License-Identifier: MIT
#include "face.h"

#include "clicklabel.h"
#include "filelistbox.h"
#include "picturebutton.h"
#include "twips.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace face {

const char16_t noBook[] = u"<žiadna>";
const char16_t noPage[] = u"<žiadny>";
const char16_t busy[] = u"zaneprázdnený";
const char16_t ready[] = u"pripravený";

void useDesignFont()
{
    // The layout was drawn for an 8-point interface font; larger default fonts cut off
    // "Kniha:" and long page names.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

QSize clientSize()
{
    return twips::size(11880, 8595);
}

QRect paneRect()
{
    return twips::rect(1800, 960, 9975, 6975);
}

namespace {

struct ButtonDesign
{
    PictureButton *Controls::*member;
    const char *name;
    int left;
    const char16_t *tooltip;
    const char *picture;
    std::optional<QColor> mask;
};

const QColor magenta(255, 0, 255);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);

// Left to right as the toolbar reads; squares of 735 twips, 840 twips apart.
const ButtonDesign toolbar[] = {
    {&Controls::Command6, "Command6", 120, u"Vybrať knihu", ":/pictures/vybrat_knihu.bmp", magenta},
    {&Controls::Command2, "Command2", 960, u"Vybrať list", ":/pictures/vybrat_list.bmp", green},
    {&Controls::Command7, "Command7", 1800, u"O dokumente", ":/pictures/o_dokumente.bmp", magenta},
    {&Controls::Command1, "Command1", 2640, u"Konfigurácia", ":/pictures/konfiguracia.ico",
     std::nullopt},
    {&Controls::Command5, "Command5", 3480, u"O programe", ":/pictures/o_programe.bmp", blue},
    {&Controls::Command3, "Command3", 4320, u"Pomocník", ":/pictures/pomocnik.bmp", magenta},
    {&Controls::Command4, "Command4", 5160, u"Odchod", ":/pictures/odchod.bmp", green},
};

// Screen readers hear the busy indicator's state: its picture alone shows it only to the eye.
class BusyStateText : public QObject
{
public:
    explicit BusyStateText(QWidget *indicator) : QObject(indicator) { update(indicator); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            update(static_cast<QWidget *>(watched));
        return false;
    }

private:
    static void update(QWidget *indicator)
    {
        indicator->setAccessibleDescription(indicator->isEnabled() ? QString::fromUtf16(ready)
                                                                   : QString::fromUtf16(busy));
    }
};

ClickLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &rect)
{
    auto *label = new ClickLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Page names such as "<žiadny>" or "<b>.PGX" are text, never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

Controls build(QWidget *parent)
{
    Controls c;

    c.Praca = new PictureButton(parent);
    c.Praca->setObjectName(QStringLiteral("Praca"));
    c.Praca->setGeometry(twips::rect(11040, 120, 735, 495));
    c.Praca->setPicture(QStringLiteral(":/pictures/praca.bmp"));
    c.Praca->setDisabledPicture(QStringLiteral(":/pictures/praca_zaneprazdneny.bmp"));
    c.Praca->setAccessibleName(QStringLiteral("Kontrolka"));
    c.Praca->installEventFilter(new BusyStateText(c.Praca));

    for (const ButtonDesign &design : toolbar) {
        auto *button = new PictureButton(parent);
        button->setObjectName(QLatin1String(design.name));
        button->setGeometry(twips::rect(design.left, 120, 735, 735));
        button->setToolTip(QString::fromUtf16(design.tooltip));
        // The tooltip is the button's name; screen readers have nothing else to say.
        button->setAccessibleName(QString::fromUtf16(design.tooltip));
        button->setPicture(QLatin1String(design.picture), design.mask);
        c.*design.member = button;
    }
    // Outside a dialog a push button ignores Enter unless it is an auto-default one.
    for (PictureButton *button : {c.Praca, c.Command1, c.Command2, c.Command3, c.Command4,
                                  c.Command5, c.Command6, c.Command7})
        button->setAutoDefault(true);

    c.Listy = new FileListBox(parent);
    c.Listy->setObjectName(QStringLiteral("Listy"));
    c.Listy->setGeometry(twips::rect(120, 960, 1575, 6915));
    c.Listy->setPattern(QStringLiteral("*.PGX"));
    c.Listy->setAccessibleName(QStringLiteral("SpeedPanel"));

    c.Label1 =
        makeLabel(parent, "Label1", QStringLiteral("Kniha:"), twips::rect(6000, 120, 495, 255));
    c.Label2 =
        makeLabel(parent, "Label2", QStringLiteral("List:"), twips::rect(6000, 480, 495, 255));
    c.Kniha =
        makeLabel(parent, "Kniha", QString::fromUtf16(noBook), twips::rect(6600, 120, 4335, 255));
    c.List =
        makeLabel(parent, "List", QString::fromUtf16(noPage), twips::rect(6600, 480, 4335, 255));
    // Read out as "Kniha: <žiadna>": each caption labels the value beside it.
    c.Label1->setBuddy(c.Kniha);
    c.Label2->setBuddy(c.List);
    return c;
}

} // namespace face
