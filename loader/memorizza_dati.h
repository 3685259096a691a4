// memorizza_dati: the loader's entry. Reads the line file and then the train
// file, each from its text in memory, into the model. The loader neither opens
// nor deletes a file: the caller hands it the bytes and decides what becomes of
// the files.
#pragma once

#include <cstdint>
#include <string>

#include "model/scenario.h"

namespace tracciato {

// One text file handed to the loader.
struct testo_sorgente {
  std::string nome;    // the name messages give the file (its path, as a rule)
  std::string dati;    // its bytes
  std::string guasto;  // non-empty: the file could not be read, and why (fault 25)
  int32_t riga_guasto = 0;     // where in the file it could not be read, when known
  int32_t colonna_guasto = 0;
};

// How far a load got.
enum class fine_carico {
  linea,  // it ended in the line half: the train file was not read
  treno,  // it went on to the train file
};

// Reads linea, then (unless the line half ends the load) treno into s, which
// must be fresh apart from its names and scrivi_linea. Every fault is
// recorded in s; a read failure (a field that does not read, a file that
// could not be read) is fault 25. The names are UTF-8, as in file names, and
// go into the record table in Windows-1252. REQUIRES: each name has a
// Windows-1252 form (std::runtime_error otherwise). Anything else thrown is a
// fault of the program itself and is not caught here.
fine_carico memorizza_dati(scenario& s, const testo_sorgente& linea, const testo_sorgente& treno);

// The two halves, for callers (tests among them) that drive them one by one.
// posto_cartello is the record slot for the next sign text, handed from the
// line half to the train half. carica_linea returns true when the train file
// is to be read next (no fault, or a 15 after a record beyond the grid).
// REQUIRES for carica_treno: s.celle holds the grid.
bool carica_linea(scenario& s, const testo_sorgente& linea, int32_t& posto_cartello);
void carica_treno(scenario& s, const testo_sorgente& treno, int32_t posto_cartello);

}  // namespace tracciato
