// SPDX-License-Identifier: MIT
#include "frmhlavne.h"

#include "browserpane.h"
#include "busybracket.h"
#include "clicklabel.h"
#include "face.h"
#include "filelistbox.h"
#include "frmhladat.h"
#include "frmkonfig.h"
#include "frmvybrat.h"
#include "library.h"
#include "pageschemehandler.h"
#include "paneactions.h"
#include "picturebutton.h"
#include "readingaids.h"
#include "readingstore.h"
#include "settingsstore.h"
#include "startpage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>

frmHlavne::frmHlavne(SettingsStore &settings, std::function<void()> endProgram, QWidget *parent)
    : QWidget(parent), m_settings(settings),
      m_endProgram(endProgram ? std::move(endProgram) : &frmHlavne::quitApplication),
      m_launcher(QCoreApplication::applicationDirPath())
{
    setObjectName(QStringLiteral("frmHlavne"));
    setWindowTitle(QStringLiteral("Tarvol Pagora NEW 1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/kniha_zatvorena.ico")));
    resize(face::clientSize());

    const face::Controls c = face::build(this);
    Praca = c.Praca;
    Command1 = c.Command1;
    Command2 = c.Command2;
    Command3 = c.Command3;
    Command4 = c.Command4;
    Command5 = c.Command5;
    Command6 = c.Command6;
    Command7 = c.Command7;
    Listy = c.Listy;
    List = c.List;
    Kniha = c.Kniha;
    Label2 = c.Label2;
    Label1 = c.Label1;

    Hlavne = new BrowserPane(this);
    Hlavne->setObjectName(QStringLiteral("Hlavne"));
    Hlavne->setGeometry(face::paneRect());

    // Design tab order; labels take no focus.
    const QList<QWidget *> tabOrder{Command7, Command6, Command5, Command4, Command3,
                                    Command2, Listy,    Command1, Hlavne,   Praca};
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    connect(Command1, &QPushButton::clicked, this, &frmHlavne::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmHlavne::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmHlavne::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmHlavne::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmHlavne::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmHlavne::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &frmHlavne::Command7_Click);
    connect(Listy, &FileListBox::clicked, this, &frmHlavne::Listy_Click);
    connect(Praca, &QPushButton::clicked, this, &frmHlavne::Praca_Click);

    // A window shortcut, so that it works while the pane has the focus too.
    auto *search = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")), this);
    search->setContext(Qt::WindowShortcut);
    connect(search, &QShortcut::activated, this, &frmHlavne::openLibrarySearch);
    connect(Hlavne, &BrowserPane::searchLibraryRequested, this, &frmHlavne::openLibrarySearch);
    // An opened search result shows its words as find in page would.
    highlightTerms = [this](const QString &terms) { Hlavne->findInPage(terms); };
    // Reading aids: the pane's keys work anywhere in the window, each command under the
    // busy indicator; the zoom is kept to the next start.
    Hlavne->actions()->setBracket([this](const std::function<void()> &command) {
        BusyBracket busy(Praca);
        command();
    });
    addActions(Hlavne->actions()->windowActions());
    // The reader's own state (zoom, places, bookmarks, history, night reading) has a file of
    // its own; a [View] group an older version left in the settings moves there.
    m_reading = new ReadingStore(ReadingStore::defaultFile(), this);
    m_reading->takeOverViewGroup(m_settings);
    m_readingAids = new ReadingAids(*this, *m_reading);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &frmHlavne::Command3_Click);
}

frmHlavne::~frmHlavne()
{
    // The secondary windows are top-level windows of their own; they go with this one.
    delete m_choose;
    delete m_config;
    delete m_search;
}

frmVybrat *frmHlavne::choose() const
{
    return m_choose && m_choose->isVisible() ? m_choose.data() : nullptr;
}

frmKonfig *frmHlavne::config() const
{
    return m_config && m_config->isVisible() ? m_config.data() : nullptr;
}

frmHladat *frmHlavne::librarySearch() const
{
    return m_search && m_search->isVisible() ? m_search.data() : nullptr;
}

void frmHlavne::openLibrarySearch()
{
    // One window, kept when closed, so that the words and the index stay ready.
    if (!m_search)
        m_search = new frmHladat(*this);
    m_search->Show();
}

void frmHlavne::prepare()
{
    if (m_loaded || m_preparedAddress)
        return;
    m_preparedAddress = chooseStartPage(m_settings).address;
    Hlavne->Navigate(*m_preparedAddress);
    makeReadyToShow();
    // Shown as far as Qt and the engine know, so that the page is rendered before the window
    // maps, yet nothing reaches the screen.
    setAttribute(Qt::WA_DontShowOnScreen);
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
}

void frmHlavne::makeReadyToShow()
{
    // Laid out at the size it will have once maximised, so that its first frame on screen is
    // the finished one rather than a small window that grows.
    if (!isMaximized()) {
        if (const QScreen *screen = this->screen())
            setGeometry(screen->availableGeometry());
    }
}

void frmHlavne::Show()
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    if (testAttribute(Qt::WA_DontShowOnScreen)) {
        hide();
        setAttribute(Qt::WA_DontShowOnScreen, false);
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    } else if (!isVisible()) {
        makeReadyToShow();
    }
    showMaximized();
    Command7->setFocus();
}

void frmHlavne::quitApplication()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

void frmHlavne::Form_Load()
{
    BusyBracket busy(Praca);
    const StartPage start = chooseStartPage(m_settings);
    // A prepared pane is on its way to this very address already; when the settings changed
    // since, what is stored now wins.
    if (m_preparedAddress != start.address)
        Hlavne->Navigate(start.address);
    if (start.pageCaption)
        List->setText(*start.pageCaption);
}

void frmHlavne::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_ending)
        Form_Unload();
}

void frmHlavne::Form_Unload()
{
    BusyBracket busy(Praca);
    busy.keepBusy();
    Command4_Click();
}

void frmHlavne::Command1_Click()
{
    BusyBracket busy(Praca);
    if (!m_config || !m_config->isVisible())
        m_config = new frmKonfig(m_settings, this);
    m_config->show();
    m_config->raise();
    m_config->activateWindow();
}

void frmHlavne::Command2_Click()
{
    BusyBracket busy(Praca);
    showChoose(false);
}

void frmHlavne::Command3_Click()
{
    BusyBracket busy(Praca);
    QString error;
    if (!m_launcher.start(QStringLiteral("Help"), &error)) {
        QMessageBox::warning(this, QStringLiteral("Pomocník"),
                             QStringLiteral("Pomocníka sa nepodarilo spustiť.\n\n") + error);
    }
}

void frmHlavne::Command4_Click()
{
    BusyBracket busy(Praca);
    busy.keepBusy();
    m_ending = true;
    // The program ends even when the setting cannot be written: nothing else is at stake.
    m_settings.write(SettingsStore::loadKey, SettingsStore::homepageKey);
    Hlavne->schemeHandler()->shutdown(); // pending page requests must not delay the exit
    m_endProgram();
}

void frmHlavne::Command5_Click()
{
    BusyBracket busy(Praca);
    Hlavne->Navigate(library::programAboutPage);
}

void frmHlavne::Command6_Click()
{
    BusyBracket busy(Praca);
    showChoose(true);
}

void frmHlavne::Command7_Click()
{
    BusyBracket busy(Praca);
    Hlavne->Navigate(library::aboutPagePath(Kniha->text()));
    List->setText(QStringLiteral("O programe.PGX"));
}

void frmHlavne::Listy_Click()
{
    BusyBracket busy(Praca);
    Hlavne->Navigate(library::pagePath(Kniha->text(), Listy->fileName()));
    List->setText(Listy->fileName());
}

void frmHlavne::Praca_Click()
{
    BusyBracket busy(Praca);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Kontrolka"),
                    QStringLiteral("Ak je nápis Tarvol prekrytý presýpacími hodinami, je Tarvol "
                                   "Pagora zaneprázdnený"),
                    QMessageBox::Ok, this);
    box.exec();
}

void frmHlavne::showChoose(bool bookMode)
{
    // A hidden window is one that has closed and waits to be deleted: it is gone.
    if (!m_choose || !m_choose->isVisible())
        m_choose = new frmVybrat(*this);
    m_choose->show();
    m_choose->raise();
    m_choose->activateWindow();
    m_choose->Kniha->setChecked(bookMode);
}
