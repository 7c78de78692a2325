// SPDX-License-Identifier: MIT
#include "frmhlavne.h"

#include "clicklabel.h"
#include "filelistbox.h"
#include "picturebutton.h"

#include <QIcon>

namespace {

struct Explanation
{
    const char *control;
    const char16_t *text;
};

const char16_t welcome[] =
    u"Kliknite na tlačidlo o ktorom sa chcete niečo dozvedieť. Všeobecný postup je takýto: "
    u"Kliknete na tlačidlo prvé zľava, vyberiete zložku textov, kliknete na OK. V ľavom "
    u"SpeedPaneli si nájdete text ktorý si chcete čítať, alebo kliknete na druhé tlačidlo "
    u"zľava a text si vyhľadáte.";

const Explanation explanations[] = {
    {"Command1", u"Nastavíte úvodnú stránku. POZOR, môže to byť len PGX, alebo HTML dokument!"},
    {"Command2", u"Kliknutím sem vyberiete list - v prípade ak ste si zvyknuli na starší "
                 u"spôsob, alebo je pre vás SpeedPanel veľmi malý."},
    {"Command3",
     u"Ak neviete, že toto je k nápovede, akým epileptickým záchvatom ste na to klikli?????"},
    {"Command4", u"Tá ikonka pripomína odchod..."},
    {"Command5", u"Kliknutím sem sa zobrazia informácie o programe Tarvol Pagora"},
    {"Command6", u"Kliknutím sem vyberiete knihu - hneď prvý krok čo by ste mali urobiť"},
    {"Command7", u"V hlavnom okne sa vám zobrazia informácie o otvorenej knihe."},
    {"Kniha", u"Otvorená kniha"},
    {"Label1", u"Otvorená kniha"},
    {"Label2", u"Otvorený list"},
    {"List", u"Otvorený list"},
    {"Listy", u"Toto je SpeedPanel. Tu sú všetky listy vybranej knihy."},
    {"Praca", u"No, no! Nie ste veľmi zvedavý? Kliknite v okne Tarvol Pagora!"},
    {"Zobraz", u"Hlavné okno"},
};

} // namespace

frmHlavne::frmHlavne(QWidget *parent) : QWidget(parent), m_face(face::build(this))
{
    setWindowTitle(QString::fromUtf16(u"Tarvol Pagora NEW 1.0 Pomocník"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/otaznik.ico")));
    resize(face::clientSize());

    Zobraz = new ClickLabel(QString::fromUtf16(welcome), this);
    Zobraz->setObjectName(QStringLiteral("Zobraz"));
    Zobraz->setGeometry(face::paneRect());
    Zobraz->setTextFormat(Qt::PlainText);
    Zobraz->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Zobraz->setWordWrap(true);
    Zobraz->setFrameStyle(QFrame::Box | QFrame::Plain);
    // Keeps wrapped lines off the border.
    Zobraz->setMargin(2);

    const face::Controls &c = m_face;

    connect(c.Command1, &PictureButton::clicked, this, &frmHlavne::Command1_Click);
    connect(c.Command2, &PictureButton::clicked, this, &frmHlavne::Command2_Click);
    connect(c.Command3, &PictureButton::clicked, this, &frmHlavne::Command3_Click);
    connect(c.Command4, &PictureButton::clicked, this, &frmHlavne::Command4_Click);
    connect(c.Command5, &PictureButton::clicked, this, &frmHlavne::Command5_Click);
    connect(c.Command6, &PictureButton::clicked, this, &frmHlavne::Command6_Click);
    connect(c.Command7, &PictureButton::clicked, this, &frmHlavne::Command7_Click);
    connect(c.Praca, &PictureButton::clicked, this, &frmHlavne::Praca_Click);
    connect(c.Listy, &FileListBox::clicked, this, &frmHlavne::Listy_Click);
    connect(c.Kniha, &ClickLabel::clicked, this, &frmHlavne::Kniha_Click);
    connect(c.List, &ClickLabel::clicked, this, &frmHlavne::List_Click);
    connect(c.Label1, &ClickLabel::clicked, this, &frmHlavne::Label1_Click);
    connect(c.Label2, &ClickLabel::clicked, this, &frmHlavne::Label2_Click);
    connect(Zobraz, &ClickLabel::clicked, this, &frmHlavne::Zobraz_Click);

    setTabOrder(c.Praca, c.Command1);
    setTabOrder(c.Command1, c.Listy);
    setTabOrder(c.Listy, c.Command2);
    setTabOrder(c.Command2, c.Command3);
    setTabOrder(c.Command3, c.Command4);
    setTabOrder(c.Command4, c.Command5);
    setTabOrder(c.Command5, c.Command6);
    setTabOrder(c.Command6, c.Command7);
    // Taken when the window first becomes active.
    c.Praca->setFocus();
}

void frmHlavne::explain(const QWidget *control)
{
    for (const Explanation &e : explanations) {
        if (control->objectName() == QLatin1String(e.control)) {
            Zobraz->setText(QString::fromUtf16(e.text));
            return;
        }
    }
}

void frmHlavne::Command1_Click()
{
    explain(m_face.Command1);
}
void frmHlavne::Command2_Click()
{
    explain(m_face.Command2);
}
void frmHlavne::Command3_Click()
{
    explain(m_face.Command3);
}
void frmHlavne::Command4_Click()
{
    explain(m_face.Command4);
}
void frmHlavne::Command5_Click()
{
    explain(m_face.Command5);
}
void frmHlavne::Command6_Click()
{
    explain(m_face.Command6);
}
void frmHlavne::Command7_Click()
{
    explain(m_face.Command7);
}
void frmHlavne::Kniha_Click()
{
    explain(m_face.Kniha);
}
void frmHlavne::Label1_Click()
{
    explain(m_face.Label1);
}
void frmHlavne::Label2_Click()
{
    explain(m_face.Label2);
}
void frmHlavne::List_Click()
{
    explain(m_face.List);
}
void frmHlavne::Listy_Click()
{
    explain(m_face.Listy);
}
void frmHlavne::Praca_Click()
{
    explain(m_face.Praca);
}
void frmHlavne::Zobraz_Click()
{
    explain(Zobraz);
}
