// The author's timetable card and slowdown order, written beside the binary
// files: by `tracciato documents` and by `compile --documents`.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "documenti/documenti.h"
#include "model/scenario.h"

namespace tracciato {

// The header cells given on the command line, as typed (UTF-8).
struct intestazione_documenti {
  std::string regione, valido_dal, categoria, composizione, veicolo;
};

// The options in Windows-1252 for numero, --valid-from as dd.mm.yyyy.
// Throws std::invalid_argument, naming the option, for a text without a
// Windows-1252 form or a date that is none.
opzioni_documenti opzioni_da_riga(const intestazione_documenti& i, const std::string& numero);

// scrivi_documenti: makes both documents for s (loaded from treno's text
// with no fault) and writes S_T_scheda_treno.txt and S_T_rallentamenti.txt
// into cartella. Both are made whole in memory, then each goes into a new
// file beside its name, and the two are renamed into place, one after the
// other, only once both are written: a failure to make or write either
// leaves the old documents as they were (only a failure of the second
// rename itself leaves a new card beside an old order). Refuses
// (std::invalid_argument, before anything is written) to write over a file
// of protetti, the author's inputs. Returns the paths written; the warnings
// of the making go to avvisi (UTF-8).
std::vector<std::filesystem::path> scrivi_documenti(const scenario& s, const std::string& treno,
                                                    const opzioni_documenti& o, const std::filesystem::path& cartella,
                                                    const std::vector<std::filesystem::path>& protetti,
                                                    std::vector<std::string>& avvisi);

}  // namespace tracciato
