// decompila: the line file and the train file recovered from a scenario's
// three binary files, such that compiling them under the same scenario name
// and train number writes the same bytes again.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tracciato {

// The binary files of one compile, as bytes.
struct binari_scenario {
  std::string nome;    // scenario name S
  std::string numero;  // train number T
  std::optional<std::string> linea_dat;  // S_linea.dat; none after a compile with --no-plan
  std::string sim;                       // S_T.sim
  std::string celle_dat;                 // S_T.dat
};

struct sorgenti_recuperate {
  std::string linea;  // S_linea.txt, Windows-1252 with CR LF
  std::string treno;  // S_T-.txt
  // What could not be recovered exactly, in words; empty when a compile of
  // the two texts gives the same bytes (checked for the record table and the
  // cells by compiling them, for the plan row by row).
  std::vector<std::string> avvisi;
};

// Throws errore_formato when a file's bytes do not follow its layout.
sorgenti_recuperate decompila(const binari_scenario& b);

struct opzioni_decompile {
  std::filesystem::path cartella;        // --dir: where the binary files are
  std::string nome;                      // --name
  std::string numero;                    // --train-number
  std::filesystem::path uscita = ".";    // --out
  bool forza = false;                    // --force: replace existing text files
  bool strict = false;                   // exit 1 when anything was not recovered exactly
};

// esegui_decompile: reads D/S_linea.dat (when present), D/S_T.sim and
// D/S_T.dat and writes O/S_linea.txt and O/S_T-.txt; refuses to replace an
// existing file without forza. Warnings go to standard error, the files
// written to standard output. Returns an exit status (driver/esecuzione.h).
int esegui_decompile(const opzioni_decompile& o);

}  // namespace tracciato
