#include "compactor/compila.h"

#include "compactor/compattatore.h"

namespace tracciato {

compilazione compila_in_memoria(const testo_sorgente& linea, const testo_sorgente& treno, const std::string& nome,
                                const std::string& numero, int32_t scrivi_linea) {
  compilazione c;
  scenario& s = c.modello;
  s.nome_scenario = nome;
  s.numero_treno = numero;
  s.scrivi_linea = scrivi_linea;
  // Load the line, then the train (faults are recorded in s).
  c.fine = memorizza_dati(s, linea, treno);
  c.guasti_carico = s.guasti.size();
  // A load that ended before the route length left no grid: nothing to compact.
  if (s.celle.size() < 2) return c;
  // Place the code points around slowdowns and the signals near them (11 to 13).
  compatta_celle(s);
  // Check the reserved places (1250, 1251), stamp the formats and the codes.
  timbra(s);
  return c;
}

}  // namespace tracciato
