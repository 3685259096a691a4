// ispezione: shows what one binary file of a scenario holds, as a table for a
// person or as one JSON object for another tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

namespace tracciato {

enum class genere_binario {
  celle,        // the cell file, S_T.dat
  tabella,      // the scenario file (record table), S_T.sim
  planimetria,  // the line data file (track plan), S_linea.dat
};

// The kind a file name tells: "*_linea.dat" the plan, "*.sim" the table, any
// other "*.dat" the cells; nothing for any other name.
std::optional<genere_binario> genere_da_nome(const std::filesystem::path& file);
// The kind named by --kind: "plan", "table" or "cells"; nothing for any other word.
std::optional<genere_binario> genere_da_parola(std::string_view parola);

struct opzioni_ispezione {
  std::filesystem::path file;
  std::optional<genere_binario> genere;  // --kind; otherwise from the name
  bool json = false;
  std::optional<int64_t> da;  // --from: first row, slot or cell shown
  std::optional<int64_t> a;   // --to: last one shown (inclusive)
  bool non_zero = false;      // --nonzero: leave out cells and slots whose fields are all 0
};

// ispeziona: the whole content of one file (dati, named nome in the output)
// written to uscita as a table or, with o.json, as one JSON object:
//   cells: {"file", "kind": "cells", "bytes", "ultima_cella", "celle": [...]}
//   table: {"file", "kind": "table", "bytes", "slots", "tabella": [...]}
//   plan:  {"file", "kind": "plan", "bytes", "righe", "piano": [...]}
// Every record's keys are the model's member names and its values the raw
// stored ones. The file is decoded whole first: bytes that do not follow the
// layout throw errore_formato before anything is written.
void ispeziona(std::string_view dati, std::string_view nome, genere_binario g, const opzioni_ispezione& o,
               std::ostream& uscita);

// esegui_ispezione: reads o.file and prints what it holds on standard output.
// Returns uscita_ok, or uscita_fallita after a message on standard error
// naming the file (and the byte offset, for a malformed one).
int esegui_ispezione(const opzioni_ispezione& o);

}  // namespace tracciato
