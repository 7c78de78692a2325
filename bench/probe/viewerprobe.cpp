// SPDX-License-Identifier: MIT
// Linked into a copy of pagora's viewer library built from its own source: watches the real
// start-up and then drives the main window as a user would. It notes
//   handover   the intro's second tick to the home page painted in the main window's pane
//   pss_home   memory of pagora and its engine processes 2 s after the home page is shown
//   switch     a page chosen in the SpeedPanel to that page loaded and painted (repeated)
//   pss_after  memory after the switches
//   help_click the moment "Pomocník" is clicked (help itself notes when it is painted)
// Environment: PAGORA_PROBE_BOOK (a book of the library), PAGORA_PROBE_SWITCHES,
// PAGORA_PROBE_HELP (click "Pomocník" at the end), PAGORA_PROBE_SHOT (a picture file: the
// main window as the hand-over left it).
#include "browserpane.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "library.h"
#include "loadpaint.h"
#include "picturebutton.h"
#include "probe.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSet>

namespace {

class ViewerProbe : public QObject
{
public:
    explicit ViewerProbe(QObject *parent)
        : QObject(parent), m_waiter(new probe::LoadPaintWaiter(this))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer && !m_main)
            m_lastTimer = probe::now();
        if (auto *pane = qobject_cast<BrowserPane *>(watched); pane && !m_panes.contains(pane)) {
            m_panes.insert(pane);
            connect(pane, &BrowserPane::loadFinished, this, [this, pane] {
                m_loaded.insert(pane);
                if (m_main && m_main->Hlavne == pane)
                    m_waiter->loaded();
            });
        }
        // Shown on screen (it was prepared behind the intro) inside the tick that started last.
        if (!m_main && event->type() == QEvent::Show &&
            watched->objectName() == QLatin1String("frmHlavne")) {
            if (auto *main = qobject_cast<frmHlavne *>(watched);
                main && !main->testAttribute(Qt::WA_DontShowOnScreen)) {
                m_main = main;
                m_tick = m_lastTimer;
                m_waiter->arm(
                    main->Hlavne, [this](qint64 at) { handedOver(at); },
                    m_loaded.contains(main->Hlavne));
            }
        }
        return false;
    }

private:
    void handedOver(qint64 at)
    {
        probe::report("handover", at - m_tick);
        // To look at what the first frame showed.
        if (const QString shot = qEnvironmentVariable("PAGORA_PROBE_SHOT"); !shot.isEmpty())
            m_main->grab().save(shot);
        QTimer::singleShot(2000, this, [this] {
            probe::report("pss_home", probe::ownTreePssKb());
            startSwitches();
        });
    }

    void startSwitches()
    {
        const QString book = qEnvironmentVariable("PAGORA_PROBE_BOOK");
        m_switches = qEnvironmentVariableIntValue("PAGORA_PROBE_SWITCHES");
        if (!book.isEmpty() && m_switches > 0) {
            m_main->Kniha->setText(book);
            m_main->Listy->setPath(library::bookFolder(book));
            if (m_main->Listy->isListing()) {
                connect(
                    m_main->Listy, &FileListBox::listed, this, [this] { nextSwitch(); },
                    Qt::SingleShotConnection);
                return;
            }
        }
        nextSwitch();
    }

    void nextSwitch()
    {
        if (m_done >= m_switches || m_main->Listy->count() < 2) {
            QTimer::singleShot(500, this, [this] {
                probe::report("pss_after", probe::ownTreePssKb());
                clickHelp();
            });
            return;
        }
        const int row = m_done % m_main->Listy->count();
        m_started = probe::now();
        m_waiter->arm(m_main->Hlavne, [this](qint64 at) {
            probe::report("switch", at - m_started);
            ++m_done;
            nextSwitch();
        });
        // A selection is what a click or an arrow key makes; it runs Listy_Click at once.
        m_main->Listy->setCurrentRow(row);
    }

    void clickHelp()
    {
        if (qEnvironmentVariableIsSet("PAGORA_PROBE_HELP")) {
            qputenv("PAGORA_PROBE_EXIT", "1");
            probe::report("help_click", probe::now());
            m_main->Command3->click();
        }
        probe::report("done", 1);
        QTimer::singleShot(200, qApp, [] { QCoreApplication::exit(0); });
    }

    probe::LoadPaintWaiter *m_waiter;
    QSet<BrowserPane *> m_panes;
    QSet<BrowserPane *> m_loaded;
    QPointer<frmHlavne> m_main;
    qint64 m_lastTimer = 0;
    qint64 m_tick = 0;
    qint64 m_started = 0;
    int m_switches = 0;
    int m_done = 0;
};

void installViewerProbe()
{
    new ViewerProbe(qApp);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installViewerProbe)
