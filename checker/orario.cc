// The timetable: clock and station times within a day and increasing along
// the run, and each scheduled time between two timed stations no shorter than
// the least running time the speed limits allow.
#include <algorithm>
#include <cmath>
#include <utility>

#include "checker/interno.h"
#include "model/numeri.h"

namespace tracciato {
namespace {

std::string ora(int64_t s) {
  char b[32];
  std::snprintf(b, sizeof b, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  return b;
}

bool fuori_giorno(int32_t h, int32_t m, int32_t s) {
  return h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59;
}

struct fermata {
  const voce* v;
  int64_t posizione;
  int64_t tempo;  // seconds since midnight
  bool ferma;     // the train stops there
};

// The least time from a to b (a < b, metres) under the speed limit of each
// metre (m/s; 0 = none known), starting and ending at rest where asked.
double tempo_minimo(const std::vector<double>& limite, int64_t a, int64_t b, bool da_fermo, bool a_fermo,
                    double acc, double fren) {
  constexpr int64_t passo = 10;
  const size_t n = static_cast<size_t>((b - a + passo - 1) / passo);
  std::vector<double> v(n + 1);
  const auto lim = [&](size_t i) {
    const int64_t p = std::min<int64_t>(a + static_cast<int64_t>(i) * passo, b);
    const double l = static_cast<size_t>(p) < limite.size() ? limite[static_cast<size_t>(p)] : 0;
    return l > 0 ? l : 1e9;
  };
  for (size_t i = 0; i <= n; ++i) v[i] = lim(i);
  if (da_fermo) v[0] = 0;
  if (a_fermo) v[n] = 0;
  for (size_t i = 0; i < n; ++i) v[i + 1] = std::min(v[i + 1], std::sqrt(v[i] * v[i] + 2 * acc * passo));
  for (size_t i = n; i > 0; --i) v[i - 1] = std::min(v[i - 1], std::sqrt(v[i] * v[i] + 2 * fren * passo));
  double t = 0;
  for (size_t i = 0; i < n; ++i) {
    const double dx = std::min<int64_t>(passo, b - a - static_cast<int64_t>(i) * passo);
    t += 2 * dx / (v[i] + v[i + 1]);
  }
  return t;
}

}  // namespace

std::string durata(double secondi) {
  const int64_t s = static_cast<int64_t>(std::ceil(secondi));
  if (s < 60) return std::to_string(s) + " s";
  return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
}

void avvisi_orario(contesto_controllo& c) {
  if (!c.treno) return;
  const vista& t = *c.treno;
  std::vector<fermata> orario;
  for (const voce& x : t.voci) {
    if (x.tipo == genere_voce::orologio && x.numeri.size() == 3 && fuori_giorno(x.n(0), x.n(1), x.n(2)))
      c.aggiungi(gravita::avviso, "W301", t, x.riga, x.colonna, std::nullopt,
                 "the clock " + std::to_string(x.n(0)) + ":" + std::to_string(x.n(1)) + ":" + std::to_string(x.n(2)) +
                     " is no time of day",
                 "give hours 0 to 23, minutes and seconds 0 to 59");
    if (x.tipo != genere_voce::stazione || !x.completa()) continue;
    const int32_t h = x.n(13), m = x.n(14), s = x.n(15);
    if (h == 0 && m == 0 && s == 0) continue;  // no scheduled time
    if (fuori_giorno(h, m, s)) {
      c.aggiungi(gravita::avviso, "W302", t, x.riga, t.colonna_numero(x, 13), x.n(0),
                 "the time " + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s) +
                     " of " + std::string(x.testo) + " is no time of day",
                 "give hours 0 to 23, minutes and seconds 0 to 59");
      continue;
    }
    orario.push_back({&x, x.n(0), (int64_t{h} * 60 + m) * 60 + s, x.n(12) != 0});
  }
  for (size_t i = 1; i < orario.size(); ++i)
    if (orario[i].tempo <= orario[i - 1].tempo)
      c.aggiungi(gravita::avviso, "W303", t, orario[i].v->riga, orario[i].v->colonna, orario[i].posizione,
                 "the time " + ora(orario[i].tempo) + " of " + std::string(orario[i].v->testo) + " is not after " +
                     ora(orario[i - 1].tempo) + " of " + std::string(orario[i - 1].v->testo),
                 "times must increase along the run");

  // The speed limit of every metre: the line's, and the slowdowns'.
  const scenario& s = c.modello();
  if (s.celle.empty() || orario.size() < 2) return;
  std::vector<double> limite(s.celle.size() * 50);
  for (size_t i = 0; i < limite.size(); ++i) limite[i] = s.celle[i / 50].vel_limite * 5 / 3.6;
  // Each metre under slowdowns takes the lowest of their speeds: the
  // slowdowns from the slowest on, each metre set once, the metres already
  // set skipped over, so that overlapping slowdowns cost no more than the line.
  std::vector<const voce*> rallentamenti;
  for (const voce& x : t.voci)
    if (x.tipo == genere_voce::rallentamento && x.completa() && x.n(0) >= 0 && x.n(1) > 0 && x.n(2) > 0)
      rallentamenti.push_back(&x);
  std::stable_sort(rallentamenti.begin(), rallentamenti.end(),
                   [](const voce* a, const voce* b) { return a->n(1) < b->n(1); });
  std::vector<size_t> libero(limite.size() + 1);  // the first metre not yet set, from each on
  for (size_t i = 0; i < libero.size(); ++i) libero[i] = i;
  const auto primo_libero = [&](size_t p) {
    size_t r = p;
    while (libero[r] != r) r = libero[r];
    while (libero[p] != r) p = std::exchange(libero[p], r);
    return r;
  };
  for (const voce* x : rallentamenti) {
    const double v = x->n(1) / 3.6;
    const size_t fine = static_cast<size_t>(std::min<int64_t>(int64_t{x->n(0)} + x->n(2), std::ssize(limite) - 1));
    if (static_cast<size_t>(x->n(0)) >= limite.size()) continue;
    for (size_t p = primo_libero(static_cast<size_t>(x->n(0))); p <= fine; p = primo_libero(p + 1)) {
      if (limite[p] <= 0 || limite[p] > v) limite[p] = v;
      libero[p] = p + 1;
    }
  }
  for (size_t i = 1; i < orario.size(); ++i) {
    const fermata& a = orario[i - 1];
    const fermata& b = orario[i];
    // A station beyond the grid is a fault of the compile, and no run.
    if (b.tempo <= a.tempo || b.posizione <= a.posizione || a.posizione < 0 ||
        static_cast<size_t>(b.posizione) >= limite.size())
      continue;
    const double minimo = tempo_minimo(limite, a.posizione, b.posizione, a.ferma || i == 1,
                                       b.ferma || i + 1 == orario.size(), c.opzioni.accelerazione, c.opzioni.frenatura);
    const double previsto = static_cast<double>(b.tempo - a.tempo);
    if (previsto + 0.5 >= minimo) continue;
    char acc[64];
    std::snprintf(acc, sizeof acc, "%g m/s\xB2 accelerating, %g m/s\xB2 braking", c.opzioni.accelerazione,
                  c.opzioni.frenatura);
    c.aggiungi(gravita::avviso, "W304", t, b.v->riga, b.v->colonna, b.posizione,
               "the timetable gives " + durata(previsto) + " from " + std::string(a.v->testo) + " (" + ora(a.tempo) + ") to " +
                   std::string(b.v->testo) + " (" + ora(b.tempo) + "), but the speed limits allow no less than " +
                   durata(minimo) + " (" + acc + ")",
               "allow at least " + durata(minimo) + ", or check the speed limits between " + std::to_string(a.posizione) +
                   " and " + std::to_string(b.posizione) + " m; --acceleration and --braking set the rates assumed");
  }
}

}  // namespace tracciato
