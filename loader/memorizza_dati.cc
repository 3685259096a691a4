#include "loader/memorizza_dati.h"

#include "loader/campi.h"
#include "model/errori.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

// The loader's one failure path: fault 25, the position left as it was.
void fallimento(scenario& s, const std::string& file, int32_t riga, int32_t colonna,
                const std::string& motivo) {
  guasto& g = registra_errore(s, e_lettura);
  g.file = file;
  g.riga = riga;
  g.colonna = colonna;
  g.dettaglio = motivo;
}

}  // namespace

fine_carico memorizza_dati(scenario& s, const testo_sorgente& linea, const testo_sorgente& treno) {
  // The names are UTF-8 like the file names they form; the record table keeps
  // them in the scenario's code page.
  s.tabella[posto_scenario].testo = da_utf8(s.nome_scenario);
  s.tabella[posto_linea].testo = da_utf8(s.numero_treno);
  int32_t posto_cartello = primo_posto_cartello;
  try {
    if (!linea.guasto.empty()) {
      fallimento(s, linea.nome, linea.riga_guasto, linea.colonna_guasto, linea.guasto);
      return fine_carico::linea;
    }
    if (!carica_linea(s, linea, posto_cartello)) return fine_carico::linea;
  } catch (const guasto_lettura& g) {
    fallimento(s, g.file(), g.riga(), g.colonna(), g.what());
    return fine_carico::linea;
  }
  try {
    if (!treno.guasto.empty())
      fallimento(s, treno.nome, treno.riga_guasto, treno.colonna_guasto, treno.guasto);
    else
      carica_treno(s, treno, posto_cartello);
  } catch (const guasto_lettura& g) {
    fallimento(s, g.file(), g.riga(), g.colonna(), g.what());
  }
  return fine_carico::treno;
}

}  // namespace tracciato
