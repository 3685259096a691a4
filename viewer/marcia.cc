#include "viewer/marcia.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "platform/testo.h"
#include "viewer/elementi.h"

namespace tracciato {
namespace {

constexpr int64_t passo_calcolo = 10;  // m between the speeds computed

struct fermata {
  int32_t posizione;
  int64_t ora;
  bool ferma;
  std::string nome;
};

// The stations with a scheduled time, in record order, their times carried past midnight.
std::vector<fermata> fermate(const scenario& s) {
  std::vector<fermata> v;
  int64_t giorno = 0, prima = -1;
  for (int k : posti_stazione(s)) {
    const voce_tabella& t = s.tabella[static_cast<std::size_t>(k)];
    if (t.valore4 <= 0) continue;
    if (t.valore4 + giorno < prima) giorno += 86400;
    prima = t.valore4 + giorno;
    v.push_back({t.valore3, prima, t.byte2 != 0, a_utf8(t.testo)});
  }
  return v;
}

}  // namespace

std::vector<int> posti_stazione(const scenario& s) {
  std::set<int> cartelli;
  for (const cella& c : s.celle)
    if (c.tipo_cella == cella_cartello) cartelli.insert(c.valore_a);
  std::vector<int> v;
  for (int k = 1; k < primo_posto_cartello + 1 && !cartelli.contains(k); ++k) {
    const voce_tabella& t = s.tabella[static_cast<std::size_t>(k)];
    if (t.tipo_record == 0 && t.valore1 == 0 && t.valore2 == 0 && t.valore3 == 0 && t.valore4 == 0 && t.testo.empty())
      break;
    v.push_back(k);
  }
  return v;
}

std::vector<double> limiti_al_metro(const scenario& s) {
  std::vector<double> limite(s.celle.size() * 50);
  for (std::size_t i = 0; i < limite.size(); ++i) limite[i] = s.celle[i / 50].vel_limite * 5 / 3.6;
  for (const elemento& e : elementi_linea(s)) {
    if (e.tipo != tipo_elemento::rallentamento || e.valore <= 0) continue;
    const double v = e.valore / 3.6;
    for (int64_t p = std::max(0, e.inizio); p < e.fine && p < std::ssize(limite); ++p)
      if (limite[static_cast<std::size_t>(p)] <= 0 || limite[static_cast<std::size_t>(p)] > v)
        limite[static_cast<std::size_t>(p)] = v;
  }
  return limite;
}

namespace {

// The speeds every passo_calcolo metres from a to b (the last step may be
// shorter): each no more than the limit, reached from the one before at acc
// and braking to the one after at fren.
std::vector<double> velocita_tratto(const std::vector<double>& limite, int64_t a, int64_t b, bool da_fermo,
                                    bool a_fermo, double acc, double fren) {
  const std::size_t n = static_cast<std::size_t>((b - a + passo_calcolo - 1) / passo_calcolo);
  std::vector<double> v(n + 1);
  for (std::size_t i = 0; i <= n; ++i) {
    const int64_t p = std::min<int64_t>(a + static_cast<int64_t>(i) * passo_calcolo, b);
    const double l = p >= 0 && static_cast<std::size_t>(p) < limite.size() ? limite[static_cast<std::size_t>(p)] : 0;
    v[i] = l > 0 ? l : 1e9;
  }
  if (da_fermo) v[0] = 0;
  if (a_fermo) v[n] = 0;
  for (std::size_t i = 0; i < n; ++i) v[i + 1] = std::min(v[i + 1], std::sqrt(v[i] * v[i] + 2 * acc * passo_calcolo));
  for (std::size_t i = n; i > 0; --i) v[i - 1] = std::min(v[i - 1], std::sqrt(v[i] * v[i] + 2 * fren * passo_calcolo));
  return v;
}

double tempo_passo(double v0, double v1, double dx) { return v0 + v1 > 0 ? 2 * dx / (v0 + v1) : 0; }

}  // namespace

double tempo_minimo_tratto(const std::vector<double>& limite, int64_t a, int64_t b, bool da_fermo, bool a_fermo,
                           double acc, double fren) {
  const std::vector<double> v = velocita_tratto(limite, a, b, da_fermo, a_fermo, acc, fren);
  double t = 0;
  for (std::size_t i = 0; i + 1 < v.size(); ++i)
    t += tempo_passo(v[i], v[i + 1],
                     static_cast<double>(std::min<int64_t>(passo_calcolo, b - a - static_cast<int64_t>(i) * passo_calcolo)));
  return t;
}

std::vector<double> tempi_tratto(const std::vector<double>& limite, int64_t a, int64_t b, bool da_fermo, bool a_fermo,
                                 double acc, double fren) {
  const std::vector<double> v = velocita_tratto(limite, a, b, da_fermo, a_fermo, acc, fren);
  std::vector<double> t(v.size());
  for (std::size_t i = 0; i + 1 < v.size(); ++i)
    t[i + 1] = t[i] + tempo_passo(v[i], v[i + 1],
                                  static_cast<double>(std::min<int64_t>(passo_calcolo, b - a - static_cast<int64_t>(i) * passo_calcolo)));
  return t;
}

marcia marcia_piu_veloce(const scenario& s, const opzioni_marcia& o, int32_t passo) {
  marcia m;
  const std::vector<fermata> f = fermate(s);
  if (f.size() < 2 || s.celle.empty()) return m;
  const std::vector<double> limite = limiti_al_metro(s);

  // Consecutive timed stations, as the check compares them.
  for (std::size_t i = 1; i < f.size(); ++i) {
    const fermata &x = f[i - 1], &y = f[i];
    if (y.posizione <= x.posizione || x.posizione < 0 || static_cast<std::size_t>(y.posizione) >= limite.size())
      continue;
    tratto_orario t{x.posizione, y.posizione, x.ora, y.ora, 0, x.nome, y.nome};
    t.minimo = tempo_minimo_tratto(limite, x.posizione, y.posizione, x.ferma || i == 1, y.ferma || i + 1 == f.size(),
                                   o.accelerazione, o.frenatura);
    m.tratti.push_back(std::move(t));
  }

  // The run: from stop to stop, each leg from rest to rest, the stations
  // passed without a stop run through at speed. Stations out of order along
  // the route end the run.
  std::vector<std::size_t> soste{0};
  for (std::size_t i = 1; i < f.size(); ++i) {
    if (f[i].posizione <= f[soste.back()].posizione || static_cast<std::size_t>(f[i].posizione) >= limite.size()) break;
    if (f[i].ferma || i + 1 == f.size()) soste.push_back(i);
  }
  if (f[0].posizione < 0 || soste.size() < 2) return m;
  double t = static_cast<double>(f[0].ora);
  for (std::size_t k = 1; k < soste.size(); ++k) {
    const int64_t a = f[soste[k - 1]].posizione, b = f[soste[k]].posizione;
    const std::vector<double> v = velocita_tratto(limite, a, b, true, true, o.accelerazione, o.frenatura);
    // The leg before ended with the arrival here; the departure follows the dwell.
    if (k > 1) t += o.sosta;
    const int64_t ogni = std::max<int64_t>(1, passo / passo_calcolo);
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (i > 0)
        t += tempo_passo(v[i - 1], v[i],
                         static_cast<double>(std::min<int64_t>(passo_calcolo, b - a - static_cast<int64_t>(i - 1) * passo_calcolo)));
      // Every passo metres, and wherever the speed turns from rising to falling or back.
      const bool svolta = i > 0 && i + 1 < v.size() && (v[i] - v[i - 1]) * (v[i + 1] - v[i]) <= 0 &&
                          (v[i] != v[i - 1] || v[i + 1] != v[i]);
      if (i % static_cast<std::size_t>(ogni) == 0 || i + 1 == v.size() || svolta)
        m.punti.push_back({static_cast<int32_t>(std::min<int64_t>(a + static_cast<int64_t>(i) * passo_calcolo, b)),
                           v[i] * 3.6, t});
    }
  }
  return m;
}

}  // namespace tracciato
