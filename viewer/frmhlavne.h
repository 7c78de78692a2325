// SPDX-License-Identifier: MIT
// The reading window: toolbar, book and page labels, busy indicator, page list and the
// browser pane. The choose window writes its controls directly, so they are public.
#pragma once

#include "helperlauncher.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class BrowserPane;
class ClickLabel;
class FileListBox;
class PictureButton;
class ReadingAids;
class ReadingStore;
class SettingsStore;
class frmHladat;
class frmKonfig;
class frmVybrat;

class frmHlavne : public QWidget
{
    Q_OBJECT
public:
    // endProgram ends the whole program at once; the default quits the application.
    explicit frmHlavne(SettingsStore &settings, std::function<void()> endProgram = {},
                       QWidget *parent = nullptr);
    ~frmHlavne() override;

    // Before the window is shown: sends the pane to the start page as stored now, so that the
    // page is loaded by the time Show() puts the window on screen.
    void prepare();

    // Loads the window on its first call, then shows it.
    void Show();

    // The open choose and configuration windows, if any.
    frmVybrat *choose() const;
    frmKonfig *config() const;
    SettingsStore &settings() const { return m_settings; }
    // The reader's own state and the reading commands built on it.
    ReadingStore &reading() const { return *m_reading; }
    ReadingAids *readingAids() const { return m_readingAids; }
    void setHelperLauncher(const HelperLauncher &launcher) { m_launcher = launcher; }

    // Hides every window and leaves the event loop; no window handles its closing.
    static void quitApplication();

    // Called with the searched words after a search hit has opened its page.
    std::function<void(const QString &terms)> highlightTerms;
    // The search window, while it is open.
    frmHladat *librarySearch() const;

public slots:
    // Ctrl+Shift+F: the search over every book of the library.
    void openLibrarySearch();

public:
    PictureButton *Praca;
    BrowserPane *Hlavne;
    PictureButton *Command1;
    FileListBox *Listy;
    PictureButton *Command2;
    PictureButton *Command3;
    PictureButton *Command4;
    PictureButton *Command5;
    PictureButton *Command6;
    PictureButton *Command7;
    ClickLabel *List;
    ClickLabel *Kniha;
    ClickLabel *Label2;
    ClickLabel *Label1;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Listy_Click();
    void Praca_Click();

    void showChoose(bool bookMode);
    void makeReadyToShow();

    SettingsStore &m_settings;
    std::function<void()> m_endProgram;
    HelperLauncher m_launcher;
    QPointer<frmVybrat> m_choose;
    QPointer<frmKonfig> m_config;
    QPointer<frmHladat> m_search;
    ReadingStore *m_reading = nullptr;
    ReadingAids *m_readingAids = nullptr;
    std::optional<QString> m_preparedAddress; // where prepare() sent the pane
    bool m_loaded = false;
    bool m_ending = false;
};
