// controlla: every problem of a scenario's line and train files at once, each
// at its place, with a way out. It loads from text and writes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "loader/memorizza_dati.h"

namespace tracciato {

enum class gravita { errore, avviso };

// One problem: where it stands, what is wrong, and what to do about it.
struct problema {
  gravita livello = gravita::errore;
  std::optional<int32_t> codice;     // the fault number, where the compile would record one
  std::string sigla;                 // a warning's own code, such as "W201" (docs/faults.md); empty for errors
  std::string file;                  // the file's display name
  int32_t riga = 0;                  // 1-based; 0 = the file as a whole
  int32_t colonna = 0;               // 1-based byte column of the field at fault; 0 = unknown
  int32_t colonna_fine = 0;          // the column just past that field (as the loader delimits it); 0 = unknown
  std::optional<int32_t> posizione;  // route position in metres, where it has one
  std::string messaggio;             // one sentence: what is wrong (Windows-1252, as the files)
  std::string suggerimento;          // what to do; may be empty
};

struct opzioni_controllo {
  double accelerazione = 0.5;  // m/s², for the least running times of the timetable
  double frenatura = 0.5;      // m/s²
};

// The problems of the two files, in file order (line file first, then the
// train file, then problems of neither), each file by line and column.
//
// Errors are the faults the compile records on the same texts, with the same
// numbers; where the compile stops at a fault, the check skips the record at
// fault and goes on, so every fault of both files is listed. Warnings are what
// the compile accepts silently but the author most likely did not mean.
//
// Either file may be absent: then only the problems that the other shows on
// its own are found (a train file is then checked against a line long enough
// for any of its positions). The texts are Windows-1252, as the loader reads
// them; testo_sorgente::guasto makes the file's problem a fault 25.
std::vector<problema> controlla(const std::optional<testo_sorgente>& linea,
                                const std::optional<testo_sorgente>& treno,
                                const opzioni_controllo& opzioni = {});

// How many warnings controlla lists for two texts that the compile loaded
// with no fault into compilato, without loading them again: the cheap pass
// a compile runs to say whether the check would warn.
int32_t conta_avvisi(const testo_sorgente& linea, const testo_sorgente& treno, const scenario& compilato);

// Counts of a list of problems.
struct totali {
  int32_t errori = 0;
  int32_t avvisi = 0;
};
totali conta(const std::vector<problema>& problemi);

}  // namespace tracciato
