// controlla: the passes of the check, one after the other over one context.
#include "checker/controllo.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "checker/interno.h"
#include "compactor/compattatore.h"
#include "loader/campi.h"

namespace tracciato {

void contesto_controllo::aggiungi(gravita g, const char* sigla, const vista& v, int32_t riga, int32_t colonna,
                                  std::optional<int32_t> posizione, std::string messaggio, std::string suggerimento) {
  problema p;
  p.livello = g;
  p.sigla = sigla;
  p.file = v.nome;
  p.riga = riga;
  p.colonna = colonna;
  p.posizione = posizione;
  p.messaggio = std::move(messaggio);
  p.suggerimento = std::move(suggerimento);
  problemi.push_back(std::move(p));
}

namespace {

// Where the field that starts at column colonna of line riga ends, as the
// loader's own reader delimits it: a number ends at a blank too, a keyword or
// text at the comma or the line end, without its trailing blanks.
int32_t fine_campo(const vista& v, int32_t riga, int32_t colonna) {
  const std::string_view r = v.riga(riga);
  if (colonna < 1 || static_cast<size_t>(colonna) > r.size()) return 0;
  const std::string_view resto = r.substr(static_cast<size_t>(colonna - 1));
  const char c = resto.front();
  const bool numero = (c >= '0' && c <= '9') || c == '-' || c == '+';
  lettore_campi l(resto, v.nome);
  try {
    const lettore_campi::campo_grezzo g = l.leggi_grezzo(numero ? larghezza::i32 : larghezza::testo);
    return colonna + static_cast<int32_t>(std::max(g.fine, size_t{1}));
  } catch (const guasto_lettura&) {
    return 0;
  }
}

// Every problem at a field gets the field's end too.
void fini_dei_campi(contesto_controllo& c) {
  for (problema& p : c.problemi) {
    if (p.riga < 1 || p.colonna < 1 || p.colonna_fine > 0) continue;
    for (const std::optional<vista>* v : {&c.linea, &c.treno})
      if (*v && (*v)->nome == p.file) {
        p.colonna_fine = fine_campo(**v, p.riga, p.colonna);
        break;
      }
  }
}

// The largest file the check reads line by line.
constexpr size_t massimo_per_riga = size_t{8} << 20;
}  // namespace

int giri_del_carico(size_t byte) {
  constexpr size_t bilancio = size_t{8} << 20;  // bytes all the loads together may read
  return static_cast<int>(std::clamp<size_t>(bilancio / std::max<size_t>(byte, 1), 1, 1000));
}

namespace {

// The texts the scenario file cannot hold: the compile refuses them and
// writes no file, so the check reports each at its record.
void testi_troppo_lunghi(contesto_controllo& c) {
  try {
    (void)codifica_tabella(c.finale.tabella);
    return;
  } catch (const std::runtime_error& e) {
    bool trovato = false;
    for (const std::optional<vista>* v : {&c.linea, &c.treno}) {
      if (!*v) continue;
      for (const voce& x : (*v)->voci)
        if (x.testo.size() > 0xffff) {
          const std::optional<int32_t> posizione = x.numeri.empty() ? std::nullopt : std::optional(x.n(0));
          c.aggiungi(gravita::errore, "", **v, x.riga, x.colonna_testo, posizione,
                     "this text is " + std::to_string(x.testo.size()) +
                         " characters long; the scenario file holds at most 65535, so the compile stops and "
                         "writes no file",
                     "shorten the name to at most 65535 characters");
          trovato = true;
        }
    }
    if (!trovato) {
      problema p;
      p.messaggio = std::string(e.what()) + ": the compile stops and writes no file";
      c.problemi.push_back(std::move(p));
    }
  }
}

}  // namespace

namespace {

// One line at a time, as the author wrote the files: unknown keywords,
// fields missing or left over. A file far beyond any real route (a line
// file of 1000 km is a few hundred kB) gets no such view, which takes many
// times the file's size: only the compile's faults are looked for in it.
std::vector<problema> viste(contesto_controllo& c, const testo_sorgente* linea, const testo_sorgente* treno) {
  std::vector<problema> righe;
  const auto vista_di = [&](const testo_sorgente* f, tipo_file tipo, std::optional<vista>& v) {
    if (!f || !f->guasto.empty()) return;
    if (f->dati.size() <= massimo_per_riga) {
      v = leggi_vista(tipo, f->nome, f->dati, righe);
      return;
    }
    problema p;
    p.livello = gravita::avviso;
    p.sigla = "W401";
    p.file = f->nome;
    p.messaggio = "this file is " + std::to_string((f->dati.size() + (size_t{1} << 20) - 1) >> 20) +
                  " MiB, far beyond any real route: it is checked only for the faults the compile records, "
                  "not line by line, and only up to the first fault that stops the load";
    p.suggerimento = "check that this is the right file: the line and train files of a 1000 km route are a few "
                     "hundred kB";
    c.problemi.push_back(std::move(p));
  };
  vista_di(linea, tipo_file::linea, c.linea);
  vista_di(treno, tipo_file::treno, c.treno);
  return righe;
}

}  // namespace

std::vector<problema> controlla(const std::optional<testo_sorgente>& linea,
                                const std::optional<testo_sorgente>& treno, const opzioni_controllo& opzioni) {
  contesto_controllo c;
  c.opzioni = opzioni;
  const testo_sorgente nessuno;
  const testo_sorgente& l = linea ? *linea : nessuno;
  const testo_sorgente& t = treno ? *treno : nessuno;
  std::vector<problema> righe = viste(c, linea ? &*linea : nullptr, treno ? &*treno : nullptr);

  // The compile's own faults, every one of them.
  errori_del_carico(c, l, t, linea.has_value());
  if (c.carico_interrotto) {
    problema p;
    p.livello = gravita::avviso;
    p.sigla = "W402";
    p.messaggio = "the check stopped looking for faults after " + std::to_string(c.giri) +
                  " faults that each stop the load: the records after the last of them were not checked for faults";
    p.suggerimento = "mend these faults and check again";
    c.problemi.push_back(std::move(p));
  }
  testi_troppo_lunghi(c);

  // A line the compile reports an error at needs no warning about its fields too.
  std::set<std::pair<std::string, int32_t>> con_errore;
  for (const problema& e : c.problemi)
    if (e.livello == gravita::errore && e.riga > 0) con_errore.emplace(e.file, e.riga);
  for (problema& p : righe)
    if (p.riga < 1 || !con_errore.count({p.file, p.riga})) c.problemi.push_back(std::move(p));

  // What the values say, and whether the timetable can be run.
  avvisi_dei_valori(c);
  avvisi_orario(c);
  // Files swapped: the warning that says so, not the hundred consequences.
  if (c.scambiati)
    std::erase_if(c.problemi, [](const problema& p) { return p.riga > 0; });
  // A route length far too short (kilometres for metres): the items past it
  // follow from it; the first of them stands for the rest.
  const auto corta = std::find_if(c.problemi.begin(), c.problemi.end(),
                                  [](const problema& p) { return p.sigla == "W209"; });
  if (corta != c.problemi.end()) {
    bool primo = true;
    size_t tolti = 0;
    std::erase_if(c.problemi, [&](const problema& p) {
      const bool conseguenza = p.codice == 15 || p.sigla == "W204" || p.sigla == "W205" || p.sigla == "W231" ||
                               p.sigla == "W236" || p.sigla == "W403";
      if (!conseguenza || (primo && p.codice == 15)) {
        primo = primo && p.codice != 15;
        return false;
      }
      ++tolti;
      return true;
    });
    for (problema& p : c.problemi)
      if (p.sigla == "W209" && tolti > 0)
        p.messaggio += " (" + std::to_string(tolti) + " further problems that follow from it are not listed)";
  }
  fini_dei_campi(c);

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

int32_t conta_avvisi(const testo_sorgente& linea, const testo_sorgente& treno, const scenario& compilato) {
  contesto_controllo c;
  // The views point into the caller's texts, and the passes read the
  // caller's model: nothing is copied.
  std::vector<problema> righe = viste(c, &linea, &treno);
  c.compilato = &compilato;
  avvisi_dei_valori(c);
  avvisi_orario(c);
  return static_cast<int32_t>(righe.size()) + conta(c.problemi).avvisi;
}

totali conta(const std::vector<problema>& problemi) {
  totali t;
  for (const problema& p : problemi) (p.livello == gravita::errore ? t.errori : t.avvisi) += 1;
  return t;
}

}  // namespace tracciato
