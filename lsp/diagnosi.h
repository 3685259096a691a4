// The problems of a scenario's files as the editor's diagnostics.
#pragma once

#include <cstddef>
#include <functional>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "checker/controllo.h"

namespace tracciato::lsp {

// p as an LSP diagnostic of the file whose Windows-1252 text has the lines
// righe (as righe_di splits them): the 1-based line and column become
// 0-based, and the range runs to the end of the field that starts there (the
// whole line when the column is not known, the first line for a problem of
// the file as a whole). The hint follows the message on a line of its own;
// the fault number is the code.
nlohmann::json diagnostica(const problema& p, const std::vector<std::string_view>& righe);

// The most diagnostics published for one document: an editor cannot show
// more to any use, and the list would grow with a hostile file.
inline constexpr std::size_t massime_diagnostiche = 1000;

// diagnostiche: the problems of the file whose Windows-1252 text is dati,
// those that mio accepts, as diagnostics; past massime_diagnostiche the last
// one says how many more there are and where the first of them stands.
nlohmann::json diagnostiche(const std::vector<problema>& problemi, std::string_view dati,
                            const std::function<bool(const problema&)>& mio);

}  // namespace tracciato::lsp
