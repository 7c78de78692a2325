// SPDX-License-Identifier: MIT
#include "frmuvod.h"

#include "twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &rect)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QFont titleFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(36);
    font.setWeight(QFont::Normal);
    return font;
}

void colour(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace

frmUvod::frmUvod(std::function<void()> showMain)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_showMain(std::move(showMain)),
      m_picture(QStringLiteral(":/pictures/uvod.bmp"))
{
    setObjectName(QStringLiteral("frmUvod"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/kniha_otvorena.ico")));
    // Never drawn (no caption bar), but what task lists and window managers read.
    setWindowTitle(QStringLiteral("Tarvol Pagora NEW 1.0"));
    setFixedSize(twips::size(8670, 6540));

    Label1 = makeLabel(this, "Label1", QStringLiteral("Tarvol Pagora"),
                       twips::rect(240, 1440, 3855, 1575));
    Label1->setFont(titleFont());
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);
    colour(Label1, QColor(0, 0, 255));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::rect(1920, 3000, 480, 480));
    Image1->setPixmap(QIcon(QStringLiteral(":/pictures/kniha_otvorena.ico")).pixmap(32, 32));

    Label2 =
        makeLabel(this, "Label2", QStringLiteral("New 1.00"), twips::rect(240, 3600, 3975, 735));
    Label2->setFont(titleFont());
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->setWordWrap(true);
    colour(Label2, QColor(255, 0, 0));

    Label3 = makeLabel(this, "Label3", QStringLiteral("1"), twips::rect(120, 6000, 255, 255));
    Label4 = makeLabel(this, "Label4", QStringLiteral("2"), twips::rect(8280, 6120, 135, 255));

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Timer1.setInterval(1500);
    connect(&Timer1, &QTimer::timeout, this, &frmUvod::Timer1_Timer);
    Timer1.start();
    connect(&Timer2, &QTimer::timeout, this, &frmUvod::Timer2_Timer);
}

void frmUvod::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_picture.draw(painter, QPoint(0, 0));
    if (!m_painted) {
        m_painted = true;
        emit firstPainted();
    }
}

void frmUvod::Timer1_Timer()
{
    Label2->setText(QStringLiteral("Nahráva sa..."));
    // Over this window only, not the whole application.
    setCursor(Qt::WaitCursor);
    Timer2.setInterval(1000);
    Timer2.start();
    Timer1.stop();
}

void frmUvod::closeEvent(QCloseEvent *event)
{
    if (m_handedOver)
        event->accept();
    else
        event->ignore();
}

void frmUvod::Timer2_Timer()
{
    Timer2.stop();
    m_showMain();
    m_handedOver = true;
    close();
}
