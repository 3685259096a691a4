// impaginazione: a line or train file laid out as the built-in writer lays
// out its records (the blanks before each field, numbers right-aligned where
// the writer aligns them), every field's text kept as it stands.
#pragma once

#include <string>
#include <string_view>

#include "loader/formato_testo.h"

namespace tracciato {

// testo with each line that holds exactly one whole record re-spaced. Only
// blanks change, and a comma may take the place of blanks between two
// numbers: the reader meets the same fields with the same values, so the file
// compiles to the same bytes. Every other line (headers, partial records,
// lines the reader does not take as a record) and every line end stay as they
// are. impagina(impagina(t)) == impagina(t).
std::string impagina(std::string_view testo, tipo_file file);

}  // namespace tracciato
