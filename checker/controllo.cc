// controlla: the passes of the check, one after the other over one context.
#include "checker/controllo.h"

#include <algorithm>
#include <tuple>

#include "checker/interno.h"

namespace tracciato {

void contesto_controllo::aggiungi(gravita g, const vista& v, int32_t riga, int32_t colonna,
                                  std::optional<int32_t> posizione, std::string messaggio, std::string suggerimento) {
  problema p;
  p.livello = g;
  p.file = v.nome;
  p.riga = riga;
  p.colonna = colonna;
  p.posizione = posizione;
  p.messaggio = std::move(messaggio);
  p.suggerimento = std::move(suggerimento);
  problemi.push_back(std::move(p));
}

std::vector<problema> controlla(const std::optional<testo_sorgente>& linea,
                                const std::optional<testo_sorgente>& treno, const opzioni_controllo& opzioni) {
  contesto_controllo c;
  c.opzioni = opzioni;
  const testo_sorgente nessuno;
  const testo_sorgente& l = linea ? *linea : nessuno;
  const testo_sorgente& t = treno ? *treno : nessuno;

  // One line at a time, as the author wrote the files: unknown keywords,
  // fields missing or left over.
  std::vector<problema> righe;
  if (linea && linea->guasto.empty()) c.linea = leggi_vista(tipo_file::linea, l.nome, l.dati, righe);
  if (treno && treno->guasto.empty()) c.treno = leggi_vista(tipo_file::treno, t.nome, t.dati, righe);

  // The compile's own faults, every one of them.
  errori_del_carico(c, l, t, linea.has_value());

  // A line the compile reports an error at needs no warning about its fields too.
  for (problema& p : righe) {
    const bool coperto = std::any_of(c.problemi.begin(), c.problemi.end(), [&](const problema& e) {
      return e.livello == gravita::errore && e.file == p.file && e.riga == p.riga && p.riga > 0;
    });
    if (!coperto) c.problemi.push_back(std::move(p));
  }

  // What the values say, and whether the timetable can be run.
  avvisi_dei_valori(c);
  avvisi_orario(c);

  // In file order: the line file, the train file, then anything else; each by place.
  const auto ordine_file = [&](const problema& p) {
    if (linea && p.file == l.nome) return 0;
    if (treno && p.file == t.nome) return 1;
    return 2;
  };
  std::stable_sort(c.problemi.begin(), c.problemi.end(), [&](const problema& a, const problema& b) {
    return std::tuple(ordine_file(a), a.riga, a.colonna) < std::tuple(ordine_file(b), b.riga, b.colonna);
  });
  return std::move(c.problemi);
}

totali conta(const std::vector<problema>& problemi) {
  totali t;
  for (const problema& p : problemi) (p.livello == gravita::errore ? t.errori : t.avvisi) += 1;
  return t;
}

}  // namespace tracciato
