// compila_in_memoria: the whole compile of a line file and a train file into
// the model, in memory: the load, the walk that places the code points, the
// reserved places and the stamps. It writes no file. The run, view, decompile
// and check all build their model through it, so that each sees what the
// others see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "loader/memorizza_dati.h"
#include "model/scenario.h"

namespace tracciato {

struct compilazione {
  scenario modello;
  fine_carico fine = fine_carico::linea;  // how far the load got
  // modello.guasti[0, guasti_carico) are the load's faults; those after
  // them are the walk's (11 to 13) and the stop (1250, 1251).
  std::size_t guasti_carico = 0;
};

// Loads linea, then treno, under scenario name nome and train number numero
// (with scrivi_linea non-zero the track plan is drawn too). When the load
// left a cell grid, places the code points and stamps the formats and the
// codes. A reserved place in use is recorded in modello.arresto (and as the
// last fault): no binary file may then be written. Throws
// std::runtime_error when a name has no Windows-1252 form.
compilazione compila_in_memoria(const testo_sorgente& linea, const testo_sorgente& treno, const std::string& nome,
                                const std::string& numero, int32_t scrivi_linea);

}  // namespace tracciato
