#include "viewer/da_sorgenti.h"

#include "checker/controllo.h"
#include "compactor/compila.h"
#include "model/errori.h"
#include "platform/testo.h"
#include "viewer/pagina.h"

namespace tracciato {

scenario scenario_da_sorgenti(const testo_sorgente& linea, const testo_sorgente& treno, const std::string& nome,
                              const std::string& numero, std::vector<std::string>& note) {
  scenario s = compila_in_memoria(linea, treno, nome, numero, 1).modello;
  // A stop of the compile heads the page's faults as a note of its own,
  // rather than as the last fault of the list.
  if (s.arresto != 0) {
    s.guasti.pop_back();
    const voce_errore* v = cerca_errore(s.arresto);
    note.push_back("the compile stops with" + messaggio_arresto(s.arresto) + ": " +
                   std::string(v != nullptr ? v->significato : "") + "; no binary file would be written");
  }
  return s;
}

std::string pagina_da_sorgenti(const testo_sorgente& linea, const testo_sorgente& treno, const std::string& nome,
                               const std::string& numero, const std::string& origine, const opzioni_marcia& ritmi,
                               const std::vector<std::pair<std::string, std::string>>& documenti) {
  opzioni_pagina pagina;
  const scenario s = scenario_da_sorgenti(linea, treno, nome, numero, pagina.note);
  // The check's errors and warnings on the same texts, at the same rates.
  for (const problema& p : controlla(linea, treno, {ritmi.accelerazione, ritmi.frenatura})) {
    problema_pagina v;
    v.errore = p.livello == gravita::errore;
    if (!p.file.empty()) {
      v.luogo = p.file;
      if (p.riga > 0) v.luogo += ":" + std::to_string(p.riga);
      if (p.riga > 0 && p.colonna > 0) v.luogo += ":" + std::to_string(p.colonna);
    }
    v.posizione = p.posizione;
    v.testo = a_utf8(p.messaggio);
    if (p.codice) v.testo = "fault " + std::to_string(*p.codice) + ": " + v.testo;
    if (!p.sigla.empty()) v.testo += " [" + p.sigla + "]";
    if (!p.suggerimento.empty()) v.testo += "; " + a_utf8(p.suggerimento);
    pagina.problemi.push_back(std::move(v));
  }
  pagina.problemi_noti = true;
  pagina.origine = origine;
  pagina.documenti = documenti;
  pagina.ritmi = ritmi;
  pagina.corsa = marcia_piu_veloce(s, ritmi);
  return pagina_scenario(s, s.planimetria, pagina);
}

}  // namespace tracciato
