// The problems of a scenario's files as the editor's diagnostics.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "checker/controllo.h"

namespace tracciato::lsp {

// p as an LSP diagnostic of the file whose Windows-1252 text is dati: the
// 1-based line and column become 0-based, and the range runs to the end of the
// field that starts there (the whole line when the column is not known, the
// first line for a problem of the file as a whole). The hint follows the
// message on a line of its own; the fault number is the code.
nlohmann::json diagnostica(const problema& p, std::string_view dati);

}  // namespace tracciato::lsp
