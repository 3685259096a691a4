// The author's slowdown order: the built-in form with one table row a
// slowdown, in running order. The table holds 26 rows; more slowdowns go on
// further pages, each the whole form down to its closing ruler, and the
// legend of the prescriptions follows the last.
#include <string>
#include <vector>

#include "documenti/documenti.h"
#include "documenti/interno.h"
#include "model/regole.h"
#include "platform/testo.h"
#include "sources/dati.h"

namespace tracciato {

std::string ordine_autore(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                          std::vector<std::string>& avvisi);

namespace {

constexpr size_t righe_pagina = 26;

std::string maiuscolo(std::string t) {
  for (char& c : t)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return t;
}

// The station the slowdown's start lies in, or the two it lies between.
std::string fra_le_stazioni(const treno_autore& t, int64_t p) {
  const auto& st = t.stazioni;
  if (st.empty()) return "";
  for (const stazione_autore& x : st)
    if (nella_stazione(x, p)) return x.nome;
  const stazione_autore* prima = nullptr;
  const stazione_autore* dopo = nullptr;
  for (const stazione_autore& x : st) {
    if (x.posizione <= p && (!prima || x.posizione >= prima->posizione)) prima = &x;
    if (x.posizione > p && (!dopo || x.posizione < dopo->posizione)) dopo = &x;
  }
  if (prima && dopo) return prima->nome + "-" + dopo->nome;
  return (prima ? prima : dopo)->nome;
}

}  // namespace

std::string ordine_autore(const scenario& s, const treno_autore& t, const opzioni_documenti& o,
                          std::vector<std::string>& avvisi) {
  disegno d(avvisi);
  using a = allinea;
  const std::string linea =
      t.stazioni.empty() ? "" : maiuscolo(t.stazioni.front().nome) + "-" + maiuscolo(t.stazioni.back().nome);
  const std::string vuota = " |   |                            |            |          |         |            |";
  const std::string righello = " |___|____________________________|____________|__________|_________|____________|";
  std::vector<std::string> r;
  const size_t n = t.rallentamenti.size();
  const size_t pagine = n == 0 ? 1 : (n + righe_pagina - 1) / righe_pagina;
  for (size_t pagina = 0; pagina < pagine; ++pagina) {
    r.insert(r.end(), {
                          "",
                          "                               Modulo M. 3",
                          "                           ORDINE DI RALLENTAMENTO",
                          " ________________________________________________________________________________",
                          "  Linea  " + linea,
                          "",
                          "  Si ordina al macchinista del treno " + o.numero_treno +
                              " di effettuare i seguenti rallentamenti",
                          "  _______________________________________________________________________________",
                          " |   |                            |Inizio dopo |          |         |            |",
                          " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
                          " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
                          righello,
                      });
    for (size_t k = pagina * righe_pagina; k < (pagina + 1) * righe_pagina; ++k) {
      if (k >= n) {
        r.push_back(vuota);
        continue;
      }
      const rallentamento_autore& x = t.rallentamenti[k];
      r.push_back(" |" + d.cella(std::to_string(k + 1), 3, a::centro, "the slowdown number") + "|" +
                  d.cella(fra_le_stazioni(t, x.inizio), 28, a::centro, "the station names") + "|" +
                  d.cella(chilometri(chilometrica(s, x.inizio), ','), 12, a::centro, "the kilometre stone") + "|" +
                  d.cella(std::to_string(x.velocita), 10, a::centro, "the speed") + "|" +
                  d.cella(std::to_string(x.lunghezza), 9, a::centro, "the length") + "|            |");
    }
    r.push_back(righello);
  }
  // The legend of the built-in order.
  for (std::string_view x : prescrizioni_rallentamenti()) r.emplace_back(x);
  return con_fine_riga(r);
}

}  // namespace tracciato
