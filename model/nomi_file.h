// The names of a run's files: the folder, the scenario name S and, for the
// train's own files, the train number T.
#pragma once

#include <filesystem>
#include <string_view>

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

// Full path of file f of scenario nome, train numero, in cartella (an empty
// cartella gives the bare name).
std::filesystem::path nome_file(const std::filesystem::path& cartella, std::string_view nome,
                                std::string_view numero, file_scenario f);

}  // namespace tracciato
