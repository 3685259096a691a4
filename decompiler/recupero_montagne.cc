// The tunnel records: each run of cells of one tunnel kind is a span, with
// markers when the run shows any. A span within 150 m of the previous one
// turns into kind 3, so where that must not happen the spans are moved apart
// inside their cells, or a span that marks no cell comes between. What the
// records give is checked by placing them as the loader does.
#include <algorithm>

#include "decompiler/recupero.h"
#include "loader/posa.h"

namespace tracciato {
namespace {

// The kind as a record writes it. Above 10 asks for markers and loses 10,
// and the cells keep the low 8 bits: so kind 0 with markers is written 266,
// and a kind above 10 without markers as itself less 256.
int32_t tipo_scritto(int32_t tipo, bool segni) {
  if (segni) return tipo + 10 > 10 ? tipo + 10 : tipo + 266;
  return tipo <= 10 ? tipo : tipo - 256;
}

struct giro {
  int32_t prima, ultima, tipo;  // cells and kind of a run
  bool segni;
};

// Appends a span of cells prima..ultima; when the 150 m rule would turn its
// kind into 3 against the previous span, ends that one later in its last
// cell and starts this one later in its first, or puts a span that marks no
// cell in between.
void aggiungi(std::vector<montagna_r>& m, int32_t prima, int32_t ultima, int32_t tipo, bool segni) {
  montagna_r n{prima * 50, (ultima + 1) * 50, tipo_scritto(tipo, segni)};
  const bool protetto = tipo == 3 || m.empty();
  if (!protetto && int64_t{n.inizio} - m.back().fine <= 150) {
    montagna_r& p = m.back();
    const bool spostabili = p.fine > p.inizio;  // not a span that marks nothing
    if (spostabili && int64_t{n.inizio + 24} - (p.fine - 24) > 150) {
      p.fine -= 24;  // still rounds to the same last cell
      n.inizio += 24;
    } else {
      m.push_back({0, std::min(0, n.inizio - 151), 0});
    }
  }
  m.push_back(n);
}

// Whether the spans, placed in order on a grid whose occupied cells are
// those of the file, give every cell's kind and every marker.
bool riproduce(const recupero& r, const std::vector<montagna_r>& m) {
  if (m.size() > static_cast<std::size_t>(massimo_montagne)) return false;
  scenario s;
  s.celle.resize(r.celle.size());
  for (std::size_t i = 0; i < s.celle.size(); ++i)
    if (!libera(r.celle[i])) s.celle[i].tipo_cella = r.celle[i].tipo_cella;
  for (montagna_r x : m) memo_montagna(s, x.inizio, x.fine, x.tipo);
  for (std::size_t i = 0; i < s.celle.size(); ++i) {
    if (s.celle[i].tipo_montagna != r.celle[i].tipo_montagna) return false;
    if (libera(r.celle[i]) && s.celle[i].tipo_cella != r.celle[i].tipo_cella) return false;
  }
  return s.guasti.empty();
}

}  // namespace

void recupera_montagne(recupero& r, linea_r& l) {
  std::vector<giro> giri;
  for (int32_t i = 0; i <= r.ultima(); ++i) {
    const cella& c = r.celle[i];
    if (c.tipo_montagna == 0) continue;
    if (giri.empty() || giri.back().ultima != i - 1 || giri.back().tipo != c.tipo_montagna)
      giri.push_back({i, i, c.tipo_montagna, false});
    giri.back().ultima = i;
    giri.back().segni |= c.tipo_cella == cella_segno_montagna;
  }
  // The simplest: one span per run.
  std::vector<montagna_r> m;
  for (const giro& g : giri) aggiungi(m, g.prima, g.ultima, g.tipo, g.segni);
  if (riproduce(r, m)) {
    l.montagne = std::move(m);
    return;
  }
  // Markers out of step with their runs (spans that overlapped): first one
  // span of kind 0 per chain of markers four cells apart, then the runs
  // without markers over them.
  std::vector<montagna_r> g;
  std::vector<bool> fatto(r.celle.size(), false);
  for (int32_t i = 3; i <= r.ultima(); ++i) {
    if (r.celle[i].tipo_cella != cella_segno_montagna || fatto[i]) continue;
    int32_t ultimo = i;
    fatto[i] = true;
    while (ultimo + 4 <= r.ultima() && r.celle[ultimo + 4].tipo_cella == cella_segno_montagna) {
      ultimo += 4;
      fatto[ultimo] = true;
    }
    aggiungi(g, i - 3, ultimo, 0, true);
  }
  for (const giro& x : giri) aggiungi(g, x.prima, x.ultima, x.tipo, false);
  if (riproduce(r, g)) {
    l.montagne = std::move(g);
    return;
  }
  r.avvisa("the tunnel kinds and markers of the cells are not those of any list of tunnel records tried; the "
           "tunnels are written one per run of cells");
  l.montagne = std::move(m);
}

}  // namespace tracciato
