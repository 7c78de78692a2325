// SPDX-License-Identifier: MIT
// The floor for a window on screen: nothing but a window of the intro's size. Built twice,
// once linked against the web engine's libraries as well (and never using them).
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(578, 436);
    window.show();
    return app.exec();
}
