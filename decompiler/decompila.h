// decompila: the line file and the train file recovered from a scenario's
// three binary files, such that compiling them under the same scenario name
// and train number writes the same bytes again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compactor/compattatore.h"

namespace tracciato {

// The binary files of one compile, as bytes.
struct binari_scenario {
  std::string nome;    // scenario name S
  std::string numero;  // train number T
  std::optional<std::string> linea_dat;  // S_linea.dat; none after a compile with --no-plan
  std::string sim;                       // S_T.sim
  std::string celle_dat;                 // S_T.dat
};

// A file read a piece at a time where it lies.
struct file_a_pezzi {
  uint64_t dimensione = 0;
  lettura_parziale leggi;
};

// The same files with the plan (tens of MB on a long line) and the cells read
// a piece at a time where they lie, never held whole; the scenario file as
// bytes.
struct binari_in_lettura {
  std::string nome;
  std::string numero;
  std::optional<file_a_pezzi> linea_dat;
  std::string_view sim;
  file_a_pezzi celle_dat;
};

struct sorgenti_recuperate {
  std::string linea;  // S_linea.txt, Windows-1252 with CR LF
  std::string treno;  // S_T-.txt
  // What could not be recovered exactly, in words; empty when a compile of
  // the two texts gives the same bytes (checked by compiling them, with the
  // plan when there is one: the cell and scenario files byte for byte, the
  // plan by the steps that draw its rows or else row by row).
  std::vector<std::string> avvisi;
  // The cells and record slots that a compile of the two texts writes
  // differently, one line each ("cell 7: valore_b 0 for 1300"); empty when
  // it writes the same cell file and scenario file.
  std::vector<std::string> differenze;
  // Items the texts hold that the files show only in part, and that were
  // made up where nothing shows them (a sign's position under a station).
  std::vector<std::string> inventati;
  // True only when a compile of the two texts gives every file byte for byte.
  bool esatto = false;
};

// Throws errore_formato when a file's bytes do not follow its layout.
sorgenti_recuperate decompila(const binari_scenario& b);
sorgenti_recuperate decompila(const binari_in_lettura& b);

struct opzioni_decompile {
  std::filesystem::path cartella;        // --dir: where the binary files are
  std::string nome;                      // --name
  std::string numero;                    // --train-number
  std::filesystem::path uscita = ".";    // --out
  bool forza = false;                    // --force: replace existing text files
  bool strict = false;                   // exit 1 on any warning, not only on an inexact set
  bool json = false;                     // --json: the outcome as one JSON object on standard output
};

// esegui_decompile: reads D/S_linea.dat (when present), D/S_T.sim and
// D/S_T.dat and writes O/S_linea.txt and O/S_T-.txt; refuses to replace an
// existing file without forza. Warnings go to standard error, the files
// written to standard output (or all of it as one JSON object). Returns 0
// only when a compile of the written texts gives the same bytes, else 1
// with the cells and slots that differ listed.
int esegui_decompile(const opzioni_decompile& o);

}  // namespace tracciato
