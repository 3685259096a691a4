// The manual code points, told apart from those the compactor's walk places,
// and the order of stations and signals that their approach marks need.
#include <algorithm>
#include <functional>
#include <map>

#include "compactor/compattatore.h"
#include "decompiler/recupero.h"
#include "model/numeri.h"
#include "platform/avvio.h"

namespace tracciato {

// The walk places code points (kind 12, value 180) only on free cells and
// only lowers to 180 the value of those already there. So a code point of
// another value is a record's; one of 180 may be either, and where the walk
// and the file part, one of the code points of 180 near the first cell that
// differs was a record's, which the walk found taken and went round. Try
// each of them and keep the one after which the walk agrees the furthest,
// and on a tie, the one after which the fewest cells differ; then
// drop every record of 180 that the walk would place anyway, where the walk
// then records no fault.
void recupera_abbattimenti(recupero& r, treno_r& t) {
  const int32_t u = r.ultima();
  std::vector<bool> manuale(r.celle.size(), false);
  for (int32_t i = 0; i <= u; ++i)
    manuale[i] = r.celle[i].tipo_cella == cella_punto_codice && r.celle[i].valore_a != 180;
  // Every walk has the same grid, copied afresh from the file's cells.
  scenario s;
  riserva_popolata(s.celle, r.celle.size());
  // Walks with the records in manuale; returns the first cell whose code
  // point differs from the file, and how many do.
  auto cammina = [&]() {
    std::vector<cella> griglia = std::move(s.celle);
    s = scenario{};
    griglia.assign(r.celle.begin(), r.celle.end());
    s.celle = std::move(griglia);
    for (int32_t i = 0; i <= u; ++i)
      if (s.celle[i].tipo_cella == cella_punto_codice && !manuale[i]) s.celle[i].tipo_cella = 0, s.celle[i].valore_a = 0;
    compatta_celle(s);
    std::pair<int32_t, int32_t> d{-1, 0};
    for (int32_t i = 0; i <= u; ++i) {
      const cella &f = r.celle[i], &w = s.celle[i];
      if (f.tipo_cella != w.tipo_cella || f.valore_a != w.valore_a) {
        if (d.first < 0) d.first = i;
        ++d.second;
      }
    }
    return d;
  };
  // Agreeing further along the line is better; then fewer cells differing.
  auto meglio = [&](std::pair<int32_t, int32_t> a, std::pair<int32_t, int32_t> b) {
    const int32_t fa = a.second == 0 ? u + 1 : a.first, fb = b.second == 0 ? u + 1 : b.first;
    return fa != fb ? fa > fb : a.second < b.second;
  };
  // Far enough for the look-backs and the windows before a slowdown.
  constexpr int32_t raggio = 20;
  // Walks enough for any file a compile writes; a file made by hand with
  // thousands of code points that disagree is not searched for ever.
  int32_t passi = 4000;
  for (auto d = cammina(); d.second > 0 && passi > 0;) {
    int32_t scelta = -1;
    std::pair<int32_t, int32_t> dopo = d;
    for (int32_t i = std::max(0, d.first - raggio); i <= std::min(u, d.first + raggio) && passi > 0; ++i) {
      if (manuale[i] || r.celle[i].tipo_cella != cella_punto_codice) continue;
      manuale[i] = true;
      const auto prova = cammina();
      --passi;
      manuale[i] = false;
      if (meglio(prova, dopo)) scelta = i, dopo = prova;
    }
    if (scelta < 0) break;
    manuale[scelta] = true;
    d = dopo;
  }
  // What the walk still does not give back is a record's.
  for (bool cambiato = true; cambiato;) {
    cambiato = false;
    cammina();
    for (int32_t i = 0; i <= u; ++i) {
      const cella &f = r.celle[i], &w = s.celle[i];
      if (f.tipo_cella == cella_punto_codice && !manuale[i] &&
          (w.tipo_cella != cella_punto_codice || w.valore_a != f.valore_a))
        manuale[i] = cambiato = true;
    }
  }
  for (int32_t i = 0; i <= u && passi > 0; ++i) {
    if (!manuale[i] || r.celle[i].tipo_cella != cella_punto_codice || r.celle[i].valore_a != 180) continue;
    manuale[i] = false;
    --passi;
    if (cammina().second != 0 || !s.guasti.empty()) manuale[i] = true;
  }
  cammina();
  for (int32_t i = 0; i <= u; ++i) {
    const cella& c = r.celle[i];
    if (c.tipo_cella == cella_punto_codice && manuale[i]) {
      // A positive value makes a code point with that value (its low 16 bits).
      t.abbattimenti.push_back({i * 50, c.valore_a > 0 ? c.valore_a : c.valore_a + 65536});
    } else if (c.tipo_cella == cella_punto_codice_senza_valore) {
      t.abbattimenti.push_back({i * 50, 0});
    }
  }
  for (int32_t i = 0; i <= u; ++i)
    if (s.celle[i].tipo_cella != r.celle[i].tipo_cella || s.celle[i].valore_a != r.celle[i].valore_a) {
      r.avvisa("the compactor's code points do not come out as in the cell file, first at cell " + std::to_string(i));
      break;
    }
  if (!s.guasti.empty())
    r.avvisa("the compactor's walk over these cells records fault " + std::to_string(s.guasti.front().numero) +
             " at " + std::to_string(s.guasti.front().posizione) + " m" +
             (s.guasti.size() > 1 ? " and " + std::to_string(s.guasti.size() - 1) + " more" : std::string()) +
             ": the compile that wrote them recorded it too");
}

namespace {

// One approach mark an item writes: cell and value.
struct segno {
  int32_t cella;
  uint8_t valore;
};

}  // namespace

// Stations write their marks in slot order, signals theirs, and a later mark
// replaces an earlier one in the same cell. Where the file keeps one item's
// mark over another's, that item must come later. Stations come first and
// signals by position unless a mark says otherwise; an item that must
// precede a station is put just before it.
void ordina_segni(recupero& r, treno_r& t) {
  const std::size_t n_st = t.stazioni.size(), n = n_st + t.segnali.size();
  std::vector<std::vector<segno>> segni(n);
  for (std::size_t k = 0; k < n_st; ++k) {
    const voce_tabella& v = r.tabella[k + 1];
    if (v.tipo_record >= 25 || v.tipo_record == 5 || v.tipo_record == 6) continue;
    for (int j = 1; j <= 4; ++j) {
      const double q = v.valore2 / 50.0 - j - 1;
      if (q > 1 && arrotonda(q) <= r.ultima())
        segni[k].push_back({static_cast<int32_t>(arrotonda(q)), static_cast<uint8_t>(80 + j)});
    }
  }
  for (std::size_t i = 0; i < t.segnali.size(); ++i) {
    const segnale_r& s = t.segnali[i];
    const int64_t c = s.posizione / 50 + 1;
    const int64_t lato = int64_t{s.sx} * 3 + s.dx;
    for (int j = 1; j <= 4; ++j)
      if (c - 2 * j >= 0) segni[n_st + i].push_back({static_cast<int32_t>(c - 2 * j), basso8(lato * 10 + j)});
  }
  // Who marks each cell.
  std::map<int32_t, std::vector<std::pair<std::size_t, uint8_t>>> per_cella;
  for (std::size_t x = 0; x < n; ++x)
    for (const segno& g : segni[x]) per_cella[g.cella].push_back({x, g.valore});
  std::vector<std::vector<std::size_t>> prima(n);  // items that must come before each one
  int32_t senza_autore = -1;
  for (int32_t i = 0; i <= r.ultima(); ++i)
    if (r.celle[i].segno_approccio != 0 && !per_cella.count(i) && senza_autore < 0) senza_autore = i;
  for (const auto& [cella_i, chi] : per_cella) {
    const uint8_t finale = r.celle[cella_i].segno_approccio;
    // The winner: the last in the default order among those whose mark stayed.
    std::size_t vincitore = n;
    for (const auto& [x, valore] : chi)
      if (valore == finale && (vincitore == n || x > vincitore)) vincitore = x;
    if (vincitore == n) {
      if (senza_autore < 0) senza_autore = cella_i;
      continue;
    }
    for (const auto& [x, valore] : chi)
      if (valore != finale) prima[vincitore].push_back(x);
  }
  if (senza_autore >= 0)
    r.avvisa("the approach mark in cell " + std::to_string(senza_autore) + " is none that a station or signal writes there");

  // Depth first: each item after the items it needs, stations in slot order,
  // a signal under a station cell before that station.
  for (std::size_t k = 1; k < n_st; ++k) prima[k].push_back(k - 1);
  for (std::size_t i = 0; i < t.segnali.size(); ++i)
    if (t.segnali[i].sotto >= 0 && static_cast<std::size_t>(t.segnali[i].sotto) < n_st)
      prima[static_cast<std::size_t>(t.segnali[i].sotto)].push_back(n_st + i);
  std::vector<int> stato(n, 0);  // 0 not yet, 1 being placed, 2 placed
  bool ciclo = false;
  std::function<void(std::size_t)> metti = [&](std::size_t x) {
    if (stato[x] == 2) return;
    if (stato[x] == 1) {
      ciclo = true;
      return;
    }
    stato[x] = 1;
    std::sort(prima[x].begin(), prima[x].end());
    for (std::size_t y : prima[x]) metti(y);
    stato[x] = 2;
    t.ordine.push_back({x < n_st, x < n_st ? x : x - n_st});
  };
  for (std::size_t x = 0; x < n; ++x) metti(x);
  if (ciclo)
    r.avvisa("the approach marks ask for stations and signals in an order that is no order: some marks will differ");
}

}  // namespace tracciato
