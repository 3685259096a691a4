// correzioni: the exact fixes of the problems whose hint names one edit, as
// byte edits of the file's own text: the "did you mean" keyword, a position
// moved onto the 50 m grid where the compile places it, a decimal comma, a
// record moved into the section where it is read, a comment-looking line
// deleted. The editor offers them as quick fixes; `check --fix` applies them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/controllo.h"
#include "loader/formato_testo.h"

namespace tracciato {

// The bytes [inizio, fine) of the text replaced by testo (inizio == fine: inserted).
struct modifica {
  size_t inizio = 0;
  size_t fine = 0;
  std::string testo;
};

struct correzione {
  std::string titolo;               // what it does, for a menu: "write `curvas3`"
  std::vector<modifica> modifiche;  // in text order, not overlapping
};

// The fixes of problem p of the file testo (Windows-1252, as the checker read
// it), the one `check --fix` applies first. Empty when the hint has no exact
// fix, or the text no longer holds what the problem describes.
std::vector<correzione> correzioni(const problema& p, std::string_view testo, tipo_file file);

// testo with the first fix of each of problemi (those of this file) applied,
// in file order; a fix whose edits meet edits already taken is left for the
// next run. applicate: how many fixes were applied.
std::string correggi(std::string_view testo, tipo_file file, std::span<const problema> problemi,
                     int* applicate = nullptr);

// testo with the edits applied (in text order, not overlapping).
std::string applica(std::string_view testo, std::span<const modifica> modifiche);

}  // namespace tracciato
