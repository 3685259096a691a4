#include <exception>

#include "loader/campi.h"
#include "model/scenario.h"
#include "platform/file.h"

namespace tracciato {

void scenario::memorizza_dati() {
  tabella[posto_scenario].testo = nome_scenario;
  tabella[posto_linea].testo = numero_treno;
  try {
    int32_t posto_cartello = primo_posto_cartello;
    if (!carica_linea(posto_cartello)) return;
    carica_treno(posto_cartello);
  } catch (const guasto_lettura& g) {
    // The failure path: the readers hold no open file past their scope, so
    // only the two text files remain to be deleted; deleting never fails.
    cancella_file(nome_file(file_scenario::linea));
    cancella_file(nome_file(file_scenario::treno));
    codice_errore = 25;
    origine = {g.file(), g.riga()};
    dettaglio_errore = g.what();
  } catch (const std::exception& e) {
    cancella_file(nome_file(file_scenario::linea));
    cancella_file(nome_file(file_scenario::treno));
    codice_errore = 25;
    origine = {};
    dettaglio_errore = e.what();
  }
}

}  // namespace tracciato
