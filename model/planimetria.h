// planimetria: the track plan, one (x, y) point per metre of line. The loader
// keeps it as drawn (disegno_planimetria: the origin and the stretches of
// steps); the rows themselves are computed from that on demand, by
// percorri_righe alone, either streamed or into a planimetria_t.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tracciato {

// Each entry is a tagged number. The tag values are the kind codes that the
// line data file stores before each value.
enum class tipo_voce : uint8_t { vuota = 0, intero = 2, reale = 5 };

// Rows 0..ultima_riga, columns 0 (x) and 1 (y). Stored column by column, the
// order in which the line data file lists them. A 16-bit integer is held as a
// double, which represents it exactly.
class planimetria_t {
 public:
  // Allocates rows 0..ultima_riga, every entry empty; discards earlier contents.
  // (Not named alloca: <cstdlib> may define that as a macro.)
  void alloca_righe(int32_t ultima_riga);
  void libera();
  bool allocata() const { return righe_ > 0; }
  // Number of rows; rows are 0..righe() - 1.
  int32_t righe() const { return righe_; }

  // REQUIRES: 0 <= riga < righe(), colonna 0 or 1. An empty entry reads 0.
  tipo_voce tipo(int32_t riga, int colonna) const { return tipi_[indice(riga, colonna)]; }
  double valore(int32_t riga, int colonna) const {
    const std::size_t i = indice(riga, colonna);
    return tipi_[i] == tipo_voce::vuota ? 0.0 : valori_[i];
  }

  // Every entry in stored order (column 0, then column 1): 2 * righe() of them.
  std::size_t voci() const { return tipi_.size(); }
  const tipo_voce* tipi() const { return tipi_.data(); }
  // The value of entry i; meaningful only where tipi()[i] is not empty.
  const double* valori() const { return valori_.get(); }
  void imposta_intero(int32_t riga, int colonna, int16_t v) { metti(riga, colonna, tipo_voce::intero, v); }
  void imposta_reale(int32_t riga, int colonna, double v) { metti(riga, colonna, tipo_voce::reale, v); }

 private:
  std::size_t indice(int32_t riga, int colonna) const {
    return static_cast<std::size_t>(colonna) * static_cast<std::size_t>(righe_) + static_cast<std::size_t>(riga);
  }
  void metti(int32_t riga, int colonna, tipo_voce t, double v) {
    const std::size_t i = indice(riga, colonna);
    tipi_[i] = t;
    valori_[i] = v;
  }

  int32_t righe_ = 0;
  std::vector<tipo_voce> tipi_;
  // Not cleared on allocation: an entry's value is written with its tag.
  std::unique_ptr<double[]> valori_;
};

// tratto_planimetria: a stretch of the plan, the rows from the one after the
// previous stretch's last (row 2 for the first) up to ultima, each one step
// of curvature k from the two rows before it; k = 0 is a straight step.
struct tratto_planimetria {
  int32_t ultima;
  double k;
};

// disegno_planimetria: the plan as the line file draws it. Rows 0..righe() - 1
// exist once allocated; rows 0 and 1 hold the origin as 16-bit integers once
// it is set; rows 2 up to riga_successiva() - 1 hold doubles, computed by the
// stretches in order; every later row is empty. Memory is independent of the
// route length: a few bytes per stretch.
class disegno_planimetria {
 public:
  // Rows 0..ultima_riga, every entry empty; discards origin and stretches.
  void alloca_righe(int32_t ultima_riga);
  void libera() { *this = {}; }
  bool allocata() const { return righe_ > 0; }
  int32_t righe() const { return righe_; }

  // Rows 0 and 1 = (0, 0) and (0, 1): the plan starts at the origin with a
  // first metre along +y. REQUIRES: allocata().
  void imposta_origine();
  bool origine() const { return origine_; }

  // The next row a stretch fills.
  int32_t riga_successiva() const { return riga_successiva_; }
  // Rows riga_successiva() up to ultima get steps of curvature k. A stretch
  // with the same k as the one before it lengthens that one (the steps are
  // the same). Throws std::logic_error unless origine() and
  // riga_successiva() <= ultima < righe().
  void aggiungi_tratto(int32_t ultima, double k);
  const std::vector<tratto_planimetria>& tratti() const { return tratti_; }

  // The kind of row riga's entries (the same in both columns).
  // REQUIRES: 0 <= riga < righe().
  tipo_voce tipo(int32_t riga) const {
    if (riga < 2) return origine_ ? tipo_voce::intero : tipo_voce::vuota;
    return riga < riga_successiva_ ? tipo_voce::reale : tipo_voce::vuota;
  }

 private:
  int32_t righe_ = 0;
  bool origine_ = false;
  int32_t riga_successiva_ = 2;
  std::vector<tratto_planimetria> tratti_;
};

namespace dettaglio_planimetria {

// A finite double as n * 2^e, n odd; n = 0 for a zero.
struct multiplo_due {
  int64_t n;
  int e;
};
inline multiplo_due scomponi(double v) {
  const uint64_t b = std::bit_cast<uint64_t>(v);
  const int esponente = static_cast<int>((b >> 52) & 0x7ff);
  uint64_t m = b & ((uint64_t{1} << 52) - 1);
  int e = -1074;  // a subnormal's
  if (esponente != 0) m |= uint64_t{1} << 52, e = esponente - 1075;
  if (m == 0) return {0, 0};
  const int z = std::countr_zero(m);
  const int64_t n = static_cast<int64_t>(m >> z);
  return {(b >> 63) != 0 ? -n : n, e + z};
}

// How many of the next m values v + j * d (j = 1, 2, ...) of a coordinate
// along a straight are exact, with every j * d: then each is exactly what
// the straight step gives from the two before it. v and d are whole
// multiples a and b of some power of two u (the finer of their last places);
// v + j * d = (a + j * b) * u, and a whole multiple of u is a double when
// it is less than 2^53 times u. Its steps differ by b * u = d exactly, so
// the next step is d again, and so on. 0 when nothing is proven: an infinite
// or NaN value, and a step of -0 (-0 + -0 is -0, where the next step, +0,
// would give +0).
inline int32_t passi_esatti(double v, double d, int32_t m) {
  constexpr int64_t limite = (int64_t{1} << 53) - 1;
  if (!std::isfinite(v) || !std::isfinite(d) || (d == 0.0 && std::signbit(d))) return 0;
  const multiplo_due sv = scomponi(v), sd = scomponi(d);
  if (sd.n == 0) return m;  // v + 0 is v at every row
  const int e = sv.n == 0 ? sd.e : std::min(sv.e, sd.e);
  // a and b, refused when they are too wide for the rows to be doubles.
  auto a_multiplo = [&](multiplo_due x, int64_t& r) {
    const int spostamento = x.e - e;
    const uint64_t modulo = static_cast<uint64_t>(x.n < 0 ? -x.n : x.n);
    if (x.n != 0 && std::bit_width(modulo) + spostamento > 53) return false;
    r = x.n == 0 ? 0 : x.n * (int64_t{1} << spostamento);
    return true;
  };
  int64_t a = 0, b = 0;
  if (!a_multiplo(sv, a) || !a_multiplo(sd, b)) return 0;
  // |j * b| <= limite and |a + j * b| <= limite; a + j * b moves the way of b.
  const int64_t passo = b < 0 ? -b : b;
  const int64_t verso = b < 0 ? -a : a;
  const int64_t j = std::min(limite / passo, (limite - verso) / passo);
  return static_cast<int32_t>(std::clamp<int64_t>(j, 0, m));
}

// The arithmetic of the rows that both traversals below share, each value
// as written, left to right: the line data file holds them bit for bit.

// One turning step of curvature k from (x2, y2) and (x1, y1).
inline void passo_curvo(double x2, double y2, double x1, double y1, double k, double& x, double& y) {
  const double dx = x1 - x2;
  const double dy = y1 - y2;
  x = (x1 + dx) + k * dy;
  y = (y1 + dy) - k * dx;
}

// Row j (from 1) of a straight run proven exact from (x1, y1) with steps dx,
// dy (passi_esatti), j held as a double.
inline double passo_esatto(double v1, double passi, double d) { return v1 + passi * d; }

// The two rows carried after a run of k >= 2 proven exact rows.
inline void dopo_retti(int32_t k, double dx, double dy, double& x2, double& y2, double& x1, double& y1) {
  const double penultimi = static_cast<double>(k - 1), ultimi = static_cast<double>(k);
  x2 = passo_esatto(x1, penultimi, dx), y2 = passo_esatto(y1, penultimi, dy);
  x1 = passo_esatto(x1, ultimi, dx), y1 = passo_esatto(y1, ultimi, dy);
}

// m rows of a straight stretch after (x2, y2) and (x1, y1), which it moves on.
// Each row of a straight stretch waits on the one before it, two additions
// deep; yet along a straight the step soon stops changing: once the values
// are whole multiples of their last places, each addition is exact and row
// j is x1 + j * dx, which needs no row before it. Where that is proven
// (passi_esatti) the rows are computed so, side by side; elsewhere (the
// first rows after a curve, and where a coordinate's last place grows) one
// row at a time as written.
template <class F>
void passi_retti(int32_t m, double& x2, double& y2, double& x1, double& y1, F& riga) {
  while (m > 0) {
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    const int32_t k = std::min(passi_esatti(x1, dx, m), passi_esatti(y1, dy, m));
    if (k < 2) {
      const double x = x1 + dx;
      const double y = y1 + dy;
      riga(x, y);
      x2 = x1, y2 = y1, x1 = x, y1 = y;
      --m;
      continue;
    }
    // The count of steps is kept as a double (exact, and no conversion from
    // an integer that would wait on the row before), two rows at a time.
    double passi = 1.0;
    int32_t j = 0;
    for (; j + 2 <= k; j += 2, passi += 2.0) {
      const double seguente = passi + 1.0;
      riga(passo_esatto(x1, passi, dx), passo_esatto(y1, passi, dy));
      riga(passo_esatto(x1, seguente, dx), passo_esatto(y1, seguente, dy));
    }
    if (j < k) riga(passo_esatto(x1, passi, dx), passo_esatto(y1, passi, dy));
    dopo_retti(k, dx, dy, x2, y2, x1, y1);
    m -= k;
  }
}

}  // namespace dettaglio_planimetria

// percorri_righe: rows 2 up to d.riga_successiva() - 1, in order: calls
// riga(x, y) with each row's x and y, as the row is computed, so that whoever
// encodes them puts them straight where they go. Before each run of rows it
// asks spazio() how many rows the receiver takes before it must be asked
// again (at least 1), so that the rows of a run go with no other call.
// Each row comes from the two before it: dx = x(r-1) - x(r-2),
// dy = y(r-1) - y(r-2), x(r) = (x(r-1) + dx) + k * dy,
// y(r) = (y(r-1) + dy) - k * dx; a straight step (k = 0) is x(r-1) + dx,
// y(r-1) + dy. Positive k turns clockwise (to the right). The step is not
// normalised: each turning step is longer by sqrt(1 + k * k), as drawn.
// Every value is computed exactly as written, left to right, since the line
// data file holds them bit for bit (a straight stretch's rows are computed
// as x1 + j * dx where that is proven to be the same, bit for bit:
// passi_retti); the arithmetic is that of dettaglio_planimetria.
template <class S, class F>
void percorri_righe(const disegno_planimetria& d, S&& spazio, F&& riga) {
  // Rows 0 and 1, and after them the two previous points, travel in registers.
  double x2 = 0.0, y2 = 0.0, x1 = 0.0, y1 = 1.0;
  int32_t r = 2;
  for (const tratto_planimetria& t : d.tratti()) {
    const double k = t.k;
    while (r <= t.ultima) {
      // As many rows as the stretch and the receiver have room for; the test
      // of k stands outside the loops, which leaves each loop's arithmetic plain.
      const int32_t m = std::min<int32_t>(t.ultima - r + 1, std::max<int32_t>(1, spazio()));
      if (k == 0.0) {
        dettaglio_planimetria::passi_retti(m, x2, y2, x1, y1, riga);
      } else {
        // Copies of the two rows carried, which stay in registers: the rows
        // are stored through char pointers, which may alias any double
        // whose address is taken, as those above are.
        double a2 = x2, b2 = y2, a1 = x1, b1 = y1;
        for (int32_t i = 0; i < m; ++i) {
          double x, y;
          dettaglio_planimetria::passo_curvo(a2, b2, a1, b1, k, x, y);
          riga(x, y);
          a2 = a1, b2 = b1, a1 = x, b1 = y;
        }
        x2 = a2, y2 = b2, x1 = a1, y1 = b1;
      }
      r += m;
    }
  }
}

// riempi_righe: the rows of percorri_righe, bit for bit, for a receiver that
// holds them in windows and takes a window's rows in any order: finestra()
// gives how many rows the next window holds (at least 1); metti(i, x, y)
// puts row i of the window (from 0); fatte(n) ends the window with its first
// n rows put (n is less than what it holds only at the plan's end).
// Each turning row waits on the row before it, three operations deep; a
// straight run proven exact (see passi_retti) waits on nothing once its
// first row is known. So such a run's rows are put while the next turning
// rows are computed, a few after each one, filling the wait; what is left of
// them is put before another run takes their place or the window ends.
template <class S, class F, class N>
void riempi_righe(const disegno_planimetria& d, S&& finestra, F&& metti, N&& fatte) {
  // A straight run whose rows are still to be put: row i of the window is
  // x1 + passi * dx, and so on, for the next n rows.
  struct in_sospeso {
    int32_t i = 0, n = 0;
    double x1 = 0.0, dx = 0.0, y1 = 0.0, dy = 0.0, passi = 1.0;
    // Puts the next two rows (one, when one is left). REQUIRES: n > 0. The
    // step counts go two by two, as in passi_retti, so that neither waits
    // on the other.
    void due(F& metti) {
      using dettaglio_planimetria::passo_esatto;
      const double seguente = passi + 1.0;
      metti(i, passo_esatto(x1, passi, dx), passo_esatto(y1, passi, dy));
      if (n > 1) metti(i + 1, passo_esatto(x1, seguente, dx), passo_esatto(y1, seguente, dy));
      const int32_t fatti = std::min(n, 2);
      i += fatti, n -= fatti, passi += 2.0;
    }
    void tutte(F& metti) {
      while (n > 0) due(metti);
    }
  };
  double x2 = 0.0, y2 = 0.0, x1 = 0.0, y1 = 1.0;
  int32_t r = 2;
  auto t = d.tratti().begin();
  const auto fine = d.tratti().end();
  while (t != fine && r > t->ultima) ++t;
  while (t != fine) {
    const int32_t spazio = std::max<int32_t>(1, finestra());
    int32_t i = 0;
    in_sospeso s;
    while (i < spazio && t != fine) {
      const double k = t->k;
      const int32_t m = std::min(t->ultima - r + 1, spazio - i);
      if (k == 0.0) {
        for (int32_t resto = m; resto > 0;) {
          const double dx = x1 - x2;
          const double dy = y1 - y2;
          const int32_t esatti =
              std::min(dettaglio_planimetria::passi_esatti(x1, dx, resto), dettaglio_planimetria::passi_esatti(y1, dy, resto));
          if (esatti < 2) {
            const double x = x1 + dx;
            const double y = y1 + dy;
            metti(i, x, y);
            x2 = x1, y2 = y1, x1 = x, y1 = y;
            ++i, --resto;
            continue;
          }
          s.tutte(metti);
          s = {i, esatti, x1, dx, y1, dy, 1.0};
          dettaglio_planimetria::dopo_retti(esatti, dx, dy, x2, y2, x1, y1);
          i += esatti, resto -= esatti;
        }
      } else {
        for (int32_t j = 0; j < m; ++j) {
          double x, y;
          dettaglio_planimetria::passo_curvo(x2, y2, x1, y1, k, x, y);
          metti(i + j, x, y);
          x2 = x1, y2 = y1, x1 = x, y1 = y;
          if (s.n > 0) s.due(metti);
        }
        i += m;
      }
      r += m;
      while (t != fine && r > t->ultima) ++t;
    }
    s.tutte(metti);
    fatte(i);
  }
}

// Rows that percorri_planimetria hands over at a time.
inline constexpr int32_t righe_blocco = 512;

// percorri_planimetria: the rows of percorri_righe in blocks: calls
// blocco(x, y, n) with the x and y of the next n rows (1 <= n <=
// righe_blocco; the arrays are valid during the call only).
template <class F>
void percorri_planimetria(const disegno_planimetria& d, F&& blocco) {
  double xs[righe_blocco], ys[righe_blocco];
  int32_t n = 0;
  percorri_righe(
      d,
      [&] {
        if (n == righe_blocco) {
          blocco(static_cast<const double*>(xs), static_cast<const double*>(ys), n);
          n = 0;
        }
        return righe_blocco - n;
      },
      [&](double x, double y) { xs[n] = x, ys[n] = y, ++n; });
  if (n > 0) blocco(static_cast<const double*>(xs), static_cast<const double*>(ys), n);
}

// calcola_planimetria: every row of the plan in memory, for whoever needs
// the rows themselves (16 bytes and 2 tags per metre). An unallocated plan
// gives an unallocated table.
planimetria_t calcola_planimetria(const disegno_planimetria& d);

}  // namespace tracciato
