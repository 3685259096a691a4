// A first controlla: the faults the compile records, as problems.
#include "checker/controllo.h"

#include "model/errori.h"

namespace tracciato {

std::vector<problema> controlla(const std::optional<testo_sorgente>& linea,
                                const std::optional<testo_sorgente>& treno,
                                const opzioni_controllo&) {
  std::vector<problema> problemi;
  if (!linea) return problemi;
  scenario s;
  s.nome_scenario = "S";
  s.numero_treno = "T";
  memorizza_dati(s, *linea, treno ? *treno : testo_sorgente{});
  for (const guasto& g : s.guasti) {
    problema p;
    p.codice = g.numero;
    p.file = g.file;
    p.riga = g.riga;
    p.colonna = g.colonna;
    if (g.con_posizione) p.posizione = g.posizione;
    const voce_errore* voce = cerca_errore(g.numero);
    p.messaggio = voce ? std::string(voce->significato) : "unknown fault";
    problemi.push_back(std::move(p));
  }
  return problemi;
}

}  // namespace tracciato
