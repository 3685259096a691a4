// How problems are shown: in the form compilers use, with the source line, a
// caret and the hint; or as one JSON object. Output is UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "checker/controllo.h"

namespace tracciato {

// "path:line:col: error: fault 16 at 3000 m: signal on an occupied cell"
std::string intestazione(const problema& p);

// estratto: line riga of testo (Windows-1252) and a caret under colonna, each
// indented by two blanks and ended by a line feed; empty when riga is not a
// line of testo.
std::string estratto(std::string_view testo, int32_t riga, int32_t colonna);

// Every problem with its excerpt (from testi, by file name) and hint, then
// the totals: "2 errors, 5 warnings".
void stampa_problemi(std::ostream& out, const std::vector<problema>& problemi,
                     const std::map<std::string, std::string_view>& testi, size_t massimo = SIZE_MAX);
std::string riga_totali(const totali& t);

// {"problems": [...], "errors": E, "warnings": W}
std::string in_json(const std::vector<problema>& problemi);

// 0 no problem, 1 warnings only, 2 any error; with strict a warning counts as an error.
int stato_controllo(const std::vector<problema>& problemi, bool strict);

}  // namespace tracciato

namespace tracciato {

// riporta_controllo: the problems of a check printed to out (text, or JSON
// when json), each excerpt taken from testi; returns the exit status.
int riporta_controllo(std::ostream& out, const std::vector<problema>& problemi,
                      const std::vector<testo_sorgente>& testi, bool json, bool strict);

}  // namespace tracciato
