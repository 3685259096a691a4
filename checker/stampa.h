// How problems are shown: in the form compilers use, with the source line, a
// caret and the hint; or as one JSON object. Output is UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "checker/controllo.h"

namespace tracciato {

// per_terminale: a text of a message as UTF-8 that cannot drive a terminal.
// UTF-8 sequences are kept and any other byte is read as Windows-1252 (the
// files' code page), so that a message may hold both; control characters
// (C0, DEL and C1) are written as "\x1b". With massimo, at most that many
// characters are kept, then "…".
std::string per_terminale(std::string_view testo, size_t massimo = SIZE_MAX);

// citato: a text of an argument or a file quoted in a message: in double
// quotes, through per_terminale, at most 60 characters of it, then "…" and
// its length: "aaaaaaaa…" (310 bytes).
std::string citato(std::string_view testo);

// "path:line:col: error: fault 16 at 3000 m: signal on an occupied cell"
std::string intestazione(const problema& p);

// indice_righe: where each line of a text starts (lines end at CR LF, LF or
// a lone CR, as the reader splits them), so that an excerpt costs its own
// line only. The text must outlive the index.
class indice_righe {
 public:
  explicit indice_righe(std::string_view testo);
  // Line n (1-based) without its line end; nullopt past the last line.
  std::optional<std::string_view> riga(int32_t n) const;

 private:
  std::string_view testo_;
  std::vector<size_t> inizi_;
};

// estratto: line riga of testo (Windows-1252) and a caret under colonna, each
// indented by two blanks and ended by a line feed; empty when riga is not a
// line of testo. A long line is cut to the 100 bytes around the column, and
// control bytes are shown escaped ("\x1b"), the caret still under its byte.
std::string estratto(std::string_view testo, int32_t riga, int32_t colonna);
std::string estratto(const indice_righe& righe, int32_t riga, int32_t colonna);

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
