// The names of a run's files: the program folder, the scenario name S and,
// for the train's own files, the train number T.
#pragma once

#include <filesystem>

#include "model/scenario.h"

namespace tracciato {

enum class file_scenario {
  linea,          // S_linea.txt, line file (text)
  treno,          // S_T-.txt, train file (text)
  note,           // S_T_note.txt
  rallentamenti,  // S_T_rallentamenti.txt
  scheda,         // S_T_scheda_treno.txt
  linea_dat,      // S_linea.dat, the track plan
  sim,            // S_T.sim, the record table
  celle_dat,      // S_T.dat, the cell grid
};

// Full path of one of the run's files in cartella.
std::filesystem::path nome_file(const std::filesystem::path& cartella, const scenario& s,
                                file_scenario f);

// verifica_cartella: throws std::invalid_argument unless cartella is an
// existing folder, saying which of the two it is not.
void verifica_cartella(const std::filesystem::path& cartella);

}  // namespace tracciato
