// SPDX-License-Identifier: MIT
// The program's own book, carried inside the program and put into the library when the
// library lacks it, so a fresh installation opens on a real home page.
#pragma once

#include <QString>

namespace builtinbook {

// Creates the book's folder with its pages, and its marker, where they are missing.
// Never overwrites anything: a user's own copy wins. False, with a Slovak reason, when the
// library could not be written.
bool install(QString *error = nullptr);

} // namespace builtinbook
