// SPDX-License-Identifier: MIT
// The face that the viewer's main window and the helper's window share: seven picture
// buttons, the busy indicator, the page list and the book and page labels, each at its
// design place with its picture and tooltip. Described once, built for both programs.
#pragma once

#include <QRect>

class ClickLabel;
class FileListBox;
class PictureButton;
class QWidget;

namespace face {

// Sets the application's interface font to the size the windows were laid out for.
void useDesignFont();

// Client area of both windows at design (11880 x 8595 twips).
QSize clientSize();
// The rectangle that the viewer's browser pane and the helper's explanation label fill.
QRect paneRect();

// The no-book and no-page texts the labels start with.
extern const char16_t noBook[];
extern const char16_t noPage[];
// What screen readers hear of the busy indicator (`Praca`, named "Kontrolka").
extern const char16_t busy[];
extern const char16_t ready[];

struct Controls
{
    PictureButton *Praca = nullptr;
    PictureButton *Command1 = nullptr; // "Konfigurácia"
    PictureButton *Command2 = nullptr; // "Vybrať list"
    PictureButton *Command3 = nullptr; // "Pomocník"
    PictureButton *Command4 = nullptr; // "Odchod"
    PictureButton *Command5 = nullptr; // "O programe"
    PictureButton *Command6 = nullptr; // "Vybrať knihu"
    PictureButton *Command7 = nullptr; // "O dokumente"
    FileListBox *Listy = nullptr;
    ClickLabel *Label1 = nullptr; // "Kniha:"
    ClickLabel *Label2 = nullptr; // "List:"
    ClickLabel *Kniha = nullptr;
    ClickLabel *List = nullptr;
};

// Creates the controls as children of parent; object names are the control names.
Controls build(QWidget *parent);

} // namespace face
