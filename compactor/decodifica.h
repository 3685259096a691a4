// The decoders of the three binary files: each reads a whole file's bytes
// back into the model part it was written from, by the same layouts as the
// encoders (formato.h), and refuses any byte that does not fit them.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "compactor/codifica.h"
#include "compactor/compattatore.h"
#include "model/planimetria.h"
#include "model/scenario.h"

namespace tracciato {

// Each takes the whole content of one file; nome_file names it in messages.
// Throws errore_formato, with the offset of the first byte at fault, when the
// content is not exactly a sequence of whole records.

// decodifica_celle: the cell file, 15 bytes per cell. An empty file gives no cells.
std::vector<cella> decodifica_celle(std::string_view dati, std::string_view nome_file);
// The same of a cell file of dimensione bytes that leggi reads, a block of
// cells at a time, with no copy of the whole file's bytes.
std::vector<cella> decodifica_celle(uint64_t dimensione, const lettura_parziale& leggi, std::string_view nome_file);

// decodifica_tabella: the scenario file, exactly the 87 record slots; fewer
// slots, or bytes after the last, are refused.
std::array<voce_tabella, posti_tabella> decodifica_tabella(std::string_view dati, std::string_view nome_file);

// decodifica_planimetria: the line data file, every x then every y, so the
// number of values must be even; the plan has half as many rows, each value
// keeping its kind. An empty file gives a plan that is not allocated.
planimetria_t decodifica_planimetria(std::string_view dati, std::string_view nome_file);

}  // namespace tracciato
