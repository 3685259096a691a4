// The page of a scenario's two texts, as `view` draws it from the sources and
// the studio redraws it as the author types: the same page from the same texts.
#pragma once

#include <string>
#include <vector>

#include "loader/memorizza_dati.h"
#include "model/scenario.h"
#include "viewer/marcia.h"

namespace tracciato {

// scenario_da_sorgenti: what a compile of the two texts would hold, built in
// memory (compila_in_memoria): the load, the code points and the stamps.
// Faults are recorded in the result as in a compile, but for a stop of the
// compile (1250, 1251): its message goes into note, and the model stays as
// the stop left it.
scenario scenario_da_sorgenti(const testo_sorgente& linea, const testo_sorgente& treno, const std::string& nome,
                              const std::string& numero, std::vector<std::string>& note);

// The page of the two texts: the scenario compiled in memory, the check's
// errors and warnings at the rates of the fastest run, and that run. origine
// says in words where the texts came from.
std::string pagina_da_sorgenti(const testo_sorgente& linea, const testo_sorgente& treno, const std::string& nome,
                               const std::string& numero, const std::string& origine, const opzioni_marcia& ritmi,
                               const std::vector<std::pair<std::string, std::string>>& documenti = {});

}  // namespace tracciato
