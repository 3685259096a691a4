#include "viewer/planimetria_sottile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tracciato {
namespace {

struct vettore {
  double x, y;
};
double vettoriale(vettore a, vettore b) { return a.x * b.y - a.y * b.x; }

// The cone pass, in the manner of a sleeve: from the last kept point A, every
// later point P at distance d > scarto allows the directions within
// asin(scarto / d) of A->P, a cone bounded by two vectors. The cones are
// intersected point by point; the point before the one whose own direction
// leaves the intersection (or empties it) is kept and becomes the new A. Each
// skipped point then lies within scarto of the line from A to the point kept
// after it. Two square roots per point and no trigonometry. The points come
// one at a time, as the first pass gives them, and the kept ones are added
// to v: nothing of the points in between is held.
class cono {
 public:
  cono(double scarto, std::vector<punto_piano>& v) : scarto_(scarto), v_(v) {}

  void aggiungi(const punto_piano& q) {
    if (!iniziato_) {
      ancora_ = ultimo_ = q;
      v_.push_back(q);
      iniziato_ = true;
      return;
    }
    for (int prova = 0; prova < 2; ++prova) {
      const vettore d{q.x - ancora_.x, q.y - ancora_.y};
      const double l = std::sqrt(d.x * d.x + d.y * d.y);
      if (l <= scarto_) {  // near A: on any line through A
        ultimo_ = q;
        return;
      }
      const double s = scarto_ / l, c = std::sqrt(1 - s * s);
      const vettore sx{c * d.x - s * d.y, s * d.x + c * d.y}, dx{c * d.x + s * d.y, -s * d.x + c * d.y};
      if (!con_cono_) {
        sinistra_ = sx, destra_ = dx, con_cono_ = true;
        ultimo_ = q;
        return;
      }
      const vettore ns = vettoriale(sinistra_, sx) < 0 ? sx : sinistra_;
      const vettore nd = vettoriale(destra_, dx) > 0 ? dx : destra_;
      if (vettoriale(nd, ns) >= 0 && vettoriale(nd, d) >= 0 && vettoriale(d, ns) >= 0) {
        sinistra_ = ns, destra_ = nd;
        ultimo_ = q;
        return;
      }
      // q cannot end the segment from A: keep the last point that could, and
      // measure q again from there.
      v_.push_back(ultimo_);
      ancora_ = ultimo_;
      con_cono_ = false;
    }
  }
  // The last point given is always kept.
  void chiudi() {
    if (iniziato_ && v_.back().metro != ultimo_.metro) v_.push_back(ultimo_);
  }

 private:
  double scarto_;
  std::vector<punto_piano>& v_;
  bool iniziato_ = false;
  punto_piano ancora_{}, ultimo_{};
  bool con_cono_ = false;
  vettore sinistra_{}, destra_{};
};

// Two doubles side by side (the compilers' vector extension).
using coppia = double __attribute__((vector_size(16)));

// Whether rows i+1..j-1 all lie within e of the chord from row i to row j
// (and between its ends): squared cross products only, no square root.
bool sulla_corda(const double* x, const double* y, int32_t i, int32_t j, double e) {
  const double dx = x[j] - x[i], dy = y[j] - y[i], l2 = dx * dx + dy * dy;
  if (!(l2 > 0)) return false;
  const double limite = e * e * l2;
  // Two rows at a time, each lane the same arithmetic as one row alone.
  int32_t r = i + 1;
  for (; r + 1 < j; r += 2) {
    coppia px, py;
    std::memcpy(&px, x + r, sizeof px);
    std::memcpy(&py, y + r, sizeof py);
    px -= x[i];
    py -= y[i];
    const coppia c = dx * py - dy * px, t = dx * px + dy * py;
    const auto fuori = (c * c > limite) | (t < 0) | (t > l2);
    if (fuori[0] | fuori[1]) return false;
  }
  for (; r < j; ++r) {
    const double px = x[r] - x[i], py = y[r] - y[i];
    const double c = dx * py - dy * px, t = dx * px + dy * py;
    if (c * c > limite || t < 0 || t > l2) return false;
  }
  return true;
}

}  // namespace

// Two passes, so that a million rows cost about what the compile that built
// them costs. First, runs of 32 rows (else 8, else single rows) whose rows all
// lie within a fifth of scarto of their chord shrink to the chord's ends:
// straights and wide curves collapse cheaply. Then the cone pass keeps the
// rest within the other four fifths. A row is within the fifth of its chord
// and the chord within four fifths of the polyline kept, since the chord's
// ends are consecutive points of the cone pass. Rows that are not filled
// split the plan; each filled stretch keeps its first and its last row.
std::vector<punto_piano> sfoltisci(const planimetria_t& p, double scarto) {
  const int32_t n = p.righe();
  const tipo_voce* tipi = p.tipi();
  const double* x = p.valori();
  const double* y = x + n;
  const double e = scarto / 5;
  std::vector<punto_piano> v;
  // The first empty entry of a column at or after row r, else n.
  static_assert(static_cast<int>(tipo_voce::vuota) == 0);
  auto vuota_da = [&](const tipo_voce* colonna, int32_t r) {
    const void* v = std::memchr(colonna + r, 0, static_cast<std::size_t>(n - r));
    return v == nullptr ? n : static_cast<int32_t>(static_cast<const tipo_voce*>(v) - colonna);
  };
  for (int32_t r = 0; r < n;) {
    if (tipi[r] == tipo_voce::vuota || tipi[n + r] == tipo_voce::vuota) {
      ++r;
      continue;
    }
    const int32_t fine = std::min(vuota_da(tipi, r), vuota_da(tipi + n, r)) - 1;
    // The filled stretch r..fine.
    cono secondo(scarto - e, v);
    for (int32_t i = r; i < fine;) {
      secondo.aggiungi({i, x[i], y[i]});
      int32_t passo = 1;
      for (int32_t k : {32, 8})
        if (i + k <= fine && sulla_corda(x, y, i, i + k, e)) {
          passo = k;
          break;
        }
      i += passo;
    }
    secondo.aggiungi({fine, x[fine], y[fine]});
    secondo.chiudi();
    r = fine + 1;
  }
  return v;
}

// The same passes over the rows as percorri_planimetria computes them, a
// window of them at a time: the rows of a drawn plan are one filled stretch,
// from row 0 to the row before riga_successiva().
std::vector<punto_piano> sfoltisci(const disegno_planimetria& d, double scarto) {
  if (!d.allocata() || !d.origine() || d.righe() < 2) return {};
  const int32_t fine = d.riga_successiva() - 1;
  const double e = scarto / 5;
  // Rows base..base + n - 1, computed straight into the window; the first
  // pass has reached row i.
  constexpr int32_t finestra = 8192;
  std::vector<double> x(finestra), y(finestra);
  x[0] = 0, y[0] = 0, x[1] = 0, y[1] = 1;
  int32_t base = 0, i = 0, n = 2;
  std::vector<punto_piano> v;
  cono secondo(scarto - e, v);
  // The first pass up to where its chords would reach past the window (to
  // the end once every row is in); the rows before i are then dropped.
  const auto avanza = [&](bool tutte) {
    const int32_t ultima = base + n - 1;
    while (i < fine && (tutte || i + 32 <= ultima)) {
      secondo.aggiungi({i, x[static_cast<std::size_t>(i - base)], y[static_cast<std::size_t>(i - base)]});
      int32_t passo = 1;
      for (int32_t k : {32, 8})
        if (i + k <= fine && sulla_corda(x.data(), y.data(), i - base, i - base + k, e)) {
          passo = k;
          break;
        }
      i += passo;
    }
    const int32_t via = i - base;
    std::copy(x.begin() + via, x.begin() + n, x.begin());
    std::copy(y.begin() + via, y.begin() + n, y.begin());
    n -= via;
    base = i;
  };
  percorri_righe(
      d,
      [&] {
        if (n == finestra) avanza(false);
        return finestra - n;
      },
      [&](double xr, double yr) {
        x[static_cast<std::size_t>(n)] = xr;
        y[static_cast<std::size_t>(n)] = yr;
        ++n;
      });
  avanza(true);
  secondo.aggiungi({fine, x[static_cast<std::size_t>(fine - base)], y[static_cast<std::size_t>(fine - base)]});
  secondo.chiudi();
  return v;
}

}  // namespace tracciato
