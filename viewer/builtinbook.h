// SPDX-License-Identifier: MIT
// The program's own book, carried inside the program and put into the library when the
// library lacks it, so a fresh installation opens on a real home page.
#pragma once

#include <QString>

class QMessageBox;

namespace builtinbook {

// Creates the book's folder with its pages, and its marker, where they are missing.
// Never overwrites anything: a user's own copy wins. False, with a Slovak reason, when the
// library could not be written.
bool install(QString *error = nullptr);

// Installs the book and, when that fails, says why in a Slovak message box; the program
// then goes on without the book. False when it failed.
bool installOrSay();

// The message box installOrSay shows for error (not yet shown; the caller owns it).
QMessageBox *failureBox(const QString &error);

} // namespace builtinbook
