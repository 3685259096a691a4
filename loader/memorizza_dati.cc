// memorizza_dati: the loader's entry. Reads the line file, then the train
// file, into the model; both files are deleted on every path but fault 101.
#include <exception>

#include "loader/campi.h"
#include "model/scenario.h"
#include "platform/file.h"

namespace tracciato {

void scenario::memorizza_dati() {
  // Formed before anything is read, so that the failure path needs nothing
  // that could fail.
  const auto linea = nome_file(file_scenario::linea);
  const auto treno = nome_file(file_scenario::treno);
  // The failure path: the readers hold no open file past their scope, so
  // only the two text files remain to be deleted (deleting never fails);
  // then fault 25, the position left as it was.
  auto fallimento = [&](const guasto_lettura* g, const char* motivo) noexcept {
    cancella_file(linea);
    cancella_file(treno);
    codice_errore = 25;
    try {
      origine = g ? origine_errore{g->file(), g->riga()} : origine_errore{};
      dettaglio_errore = motivo;
    } catch (...) {
      // Without memory for the words the number alone stands.
    }
  };
  try {
    tabella[posto_scenario].testo = nome_scenario;
    tabella[posto_linea].testo = numero_treno;
    int32_t posto_cartello = primo_posto_cartello;
    if (!carica_linea(posto_cartello)) return;
    carica_treno(posto_cartello);
  } catch (const guasto_lettura& g) {
    fallimento(&g, g.what());
  } catch (const std::exception& e) {
    fallimento(nullptr, e.what());
  } catch (...) {
    fallimento(nullptr, "unknown failure");
  }
}

}  // namespace tracciato
