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
  std::string file;                  // the file's display name
  int32_t riga = 0;                  // 1-based; 0 = the file as a whole
  int32_t colonna = 0;               // 1-based byte column; 0 = unknown
  std::optional<int32_t> posizione;  // route position in metres, where it has one
  std::string messaggio;             // one sentence: what is wrong
  std::string suggerimento;          // what to do; may be empty
};

struct opzioni_controllo {
  double accelerazione = 0.5;  // m/s², for the least running times of the timetable
  double frenatura = 0.5;      // m/s²
};

// The problems of the two files, in file order (line file first). Either may
// be absent: then only the problems that one file shows on its own are found.
std::vector<problema> controlla(const std::optional<testo_sorgente>& linea,
                                const std::optional<testo_sorgente>& treno,
                                const opzioni_controllo& opzioni = {});

}  // namespace tracciato
