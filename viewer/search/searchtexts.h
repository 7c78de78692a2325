// SPDX-License-Identifier: MIT
// The search window's Slovak texts that depend on numbers.
#pragma once

#include <QString>

namespace searchtexts {

// "1 výsledok", "3 výsledky", "152 výsledkov"; "Nič sa nenašlo." for none. When fewer are
// shown than found, says so.
QString count(int total, int shown);
// "Indexujem 1 234 z 10 000 listov…"
QString progress(int done, int total);
// Numbers as Slovak readers write them: "10 000".
QString number(int n);

} // namespace searchtexts
