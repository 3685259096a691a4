// memorizza_percorso: a run from its two text files to the three binary files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "driver/esecuzione.h"
#include "loader/memorizza_dati.h"
#include "model/scenario.h"
#include "platform/testo.h"

namespace tracciato {

// Where a run reads its line file and its train file.
struct ingresso_percorso {
  std::filesystem::path linea;
  std::filesystem::path treno;
  bool cancella = false;  // the built-in run deletes its text files once they are read
  codifica_ingresso codifica = codifica_ingresso::windows_1252;  // how the two files are saved
};

// leggi_sorgente: a text file's bytes for the loader, in Windows-1252. A file
// that cannot be read, or that does not convert from its encoding, carries
// the reason instead, and the loader records 25 if the load gets to it.
testo_sorgente leggi_sorgente(const std::filesystem::path& percorso, codifica_ingresso codifica);

// memorizza_percorso: compiles the two text files in memory into s (which
// keeps only its two names from before; compila_in_memoria) and writes the
// binary files into cartella as one set: the line data file (only when
// scrivi is non-zero), the scenario file and the cell file. Returns the
// files written, in order; none when the load left no cell grid, when a
// reserved place in use stopped the compile (s.arresto: 1250, 1251), or when
// rigoroso and a fault was recorded (the previous set stands). Faults are
// recorded in s. Before its set moves into place it finishes or undoes what
// an interrupted run left in cartella (insieme_file does), never touching
// the two text files; the warnings of that recovery go to avvisi. The two
// texts as read (line, then train) are left in letti when given, so that
// what follows the compile need not read the files again. Throws
// std::runtime_error when a text of the record table is too long for its
// field (before any binary file is written), std::system_error when
// cartella cannot be used or a file cannot be written (then the previous
// set stands).
std::vector<std::filesystem::path> memorizza_percorso(scenario& s, int32_t scrivi,
                                                      const ingresso_percorso& ingresso,
                                                      const std::filesystem::path& cartella,
                                                      bool rigoroso = false,
                                                      std::vector<std::string>* avvisi = nullptr,
                                                      std::vector<testo_sorgente>* letti = nullptr);

// scrivi_file_binari: the binary files of s written into cartella as one set
// (platform/insieme.h): the line data file (only when s.scrivi_linea is
// non-zero and the plan was built), the scenario file and the cell file.
// Returns them in that order. The recovery of interrupted runs that comes
// first never touches a file of protetti (the run's inputs); its warnings go
// to avvisi when given. Throws std::runtime_error before any file is
// touched when a text of the record table is too long for its field,
// std::system_error when a file cannot be written; the previous set then
// stands whole.
std::vector<std::filesystem::path> scrivi_file_binari(const scenario& s,
                                                      const std::filesystem::path& cartella,
                                                      const std::vector<std::filesystem::path>& protetti = {},
                                                      std::vector<std::string>* avvisi = nullptr);

// esegui_percorso: memorizza_percorso, with its failures (1250 and 1251, a
// text too long, a file that cannot be written) as the outcome to report
// rather than thrown, and what stands in the folder when nothing was written.
// What an interrupted run left in the folder is finished or undone (by the
// commit, or, when nothing is written, before the report looks at the
// folder); a working folder that recovery leaves alone is a warning in the
// outcome.
esito_percorso esegui_percorso(scenario& s, int32_t scrivi, const ingresso_percorso& ingresso,
                               const std::filesystem::path& cartella, bool rigoroso);

}  // namespace tracciato
