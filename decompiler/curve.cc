#include "decompiler/curve.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <limits>
#include <optional>
#include <string_view>

#include "compactor/codifica.h"
#include "compactor/formato.h"
#include "loader/planimetria_linea.h"
#include "platform/avvio.h"

namespace tracciato {
namespace {

// The curvature of step kind q: 0 straight, 1..6 a right-hand curve of that
// class, -1..-6 a left-hand one.
double curvatura(int q) { return q == 0 ? 0.0 : q > 0 ? curvature_classi[q - 1] : -curvature_classi[-q - 1]; }

constexpr int nessun_passo = 100;

bool uguali(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// Whether v is the straight step from v2 and v1, bit for bit.
bool dritta(double v2, double v1, double v) { return uguali(v1 + (v1 - v2), v); }

}  // namespace

namespace {

// The plan as the recovery reads it: a decoded plan ...
struct vista_decodificata {
  const planimetria_t& p;
  int32_t righe() const { return p.righe(); }
  tipo_voce tipo(int32_t r, int c) const { return p.tipo(r, c); }
  double x(int32_t r) const { return p.valori()[r]; }
  double y(int32_t r) const { return p.valori()[p.righe() + r]; }
  // The last row drawn: every row up to it holds two doubles.
  int32_t ultima_disegnata() const {
    int32_t ultima = 1;
    while (ultima + 1 < righe() && tipo(ultima + 1, 0) == tipo_voce::reale && tipo(ultima + 1, 1) == tipo_voce::reale)
      ++ultima;
    return ultima;
  }
  // Row r's x and y. REQUIRES: 2 <= r <= ultima_disegnata().
  bool riga(int32_t r, double& xr, double& yr) const {
    xr = x(r), yr = y(r);
    return true;
  }
  // See vista_blocchi::passa_retti.
  int32_t passa_retti(int32_t r, int32_t ultima, double& x2, double& y2, double& x1, double& y1) const {
    const int32_t da = r;
    for (; r <= ultima && dritta(x2, x1, x(r)) && dritta(y2, y1, y(r)); ++r) x2 = x1, y2 = y1, x1 = x(r), y1 = y(r);
    return r - da;
  }
};

// The two rows carried: the one before the last, and the last.
struct punti {
  double x2, y2, x1, y1;
};

// How many of the n rows at qx and qy (10 bytes each) are two doubles that
// go straight on from the rows carried in p; p moves on to the last of them.
// A function of its own, whose values all stay in registers: one test of
// all four (the two kinds and the two steps) per row.
[[gnu::noinline]] int32_t retti_in_blocco(const char* qx, const char* qy, int32_t n, punti& p) {
  constexpr auto reale = static_cast<uint16_t>(tipo_voce::reale);
  double a2 = p.x2, b2 = p.y2, a1 = p.x1, b1 = p.y1;
  int32_t i = 0;
  for (; i < n; ++i, qx += byte_reale, qy += byte_reale) {
    const double xr = std::bit_cast<double>(da_le64(qx + byte_tipo_valore));
    const double yr = std::bit_cast<double>(da_le64(qy + byte_tipo_valore));
    const uint64_t diverso = (da_le16(qx) ^ reale) | (da_le16(qy) ^ reale) |
                             (std::bit_cast<uint64_t>(a1 + (a1 - a2)) ^ std::bit_cast<uint64_t>(xr)) |
                             (std::bit_cast<uint64_t>(b1 + (b1 - b2)) ^ std::bit_cast<uint64_t>(yr));
    if (diverso != 0) break;
    a2 = a1, b2 = b1, a1 = xr, b1 = yr;
  }
  p = {a2, b2, a1, b1};
  return i;
}

// ... or a file of forma_compilata, read a block of rows at a time: per
// column two 16-bit integers, doubles up to the third last row, two empty
// rows. Whether the doubles are doubles is seen as each row is read. Rows 2
// on are read in order only.
class vista_blocchi {
 public:
  vista_blocchi(uint64_t dimensione, const lettura_parziale& leggi, int32_t n)
      : leggi_(leggi),
        colonna_(dimensione / 2),
        n_(n),
        bx_(std::make_unique_for_overwrite<char[]>(righe_blocco * byte_reale)),
        by_(std::make_unique_for_overwrite<char[]>(righe_blocco * byte_reale)) {
    popola_memoria(bx_.get(), righe_blocco * byte_reale);
    popola_memoria(by_.get(), righe_blocco * byte_reale);
    leggi_(origine_[0], 2 * byte_intero, 0);
    leggi_(origine_[1], 2 * byte_intero, colonna_);
  }
  int32_t righe() const { return n_; }
  tipo_voce tipo(int32_t r, int) const {
    return r < 2 ? tipo_voce::intero : r < n_ - 2 ? tipo_voce::reale : tipo_voce::vuota;
  }
  // Rows 0 and 1 only.
  double x(int32_t r) const { return static_cast<int16_t>(da_le16(origine_[0] + r * byte_intero + byte_tipo_valore)); }
  double y(int32_t r) const { return static_cast<int16_t>(da_le16(origine_[1] + r * byte_intero + byte_tipo_valore)); }
  int32_t ultima_disegnata() const { return n_ - 3; }
  // Row r's x and y; false when either entry is not a double.
  // REQUIRES: 2 <= r <= ultima_disegnata(), r the row asked before or the
  // one after it.
  bool riga(int32_t r, double& xr, double& yr) {
    if (r >= da_ + quante_) carica(r);
    const std::size_t i = static_cast<std::size_t>(r - da_) * byte_reale;
    const char* qx = bx_.get() + i;
    const char* qy = by_.get() + i;
    constexpr auto reale = static_cast<uint16_t>(tipo_voce::reale);
    xr = std::bit_cast<double>(da_le64(qx + byte_tipo_valore));
    yr = std::bit_cast<double>(da_le64(qy + byte_tipo_valore));
    return ((da_le16(qx) ^ reale) | (da_le16(qy) ^ reale)) == 0;
  }
  // How many rows from r on (r as for riga) are two doubles that go straight
  // on from the two rows carried, (x2, y2) and (x1, y1), up to ultima: those
  // rows are passed, the two carried moved on to the last of them. Most rows
  // of a plan are such, and this loop over the buffers is all they cost.
  int32_t passa_retti(int32_t r, int32_t ultima, double& x2, double& y2, double& x1, double& y1) {
    const int32_t da = r;
    punti p{x2, y2, x1, y1};
    while (r <= ultima) {
      if (r >= da_ + quante_) carica(r);
      const int32_t fine = std::min(ultima + 1, da_ + quante_);
      const std::size_t i = static_cast<std::size_t>(r - da_) * byte_reale;
      const int32_t n = retti_in_blocco(bx_.get() + i, by_.get() + i, fine - r, p);
      r += n;
      if (r < fine || n == 0) break;
    }
    x2 = p.x2, y2 = p.y2, x1 = p.x1, y1 = p.y1;
    return r - da;
  }

 private:
  // 64 KiB of each column at a time, which stays in the cache while it is read.
  static constexpr int32_t righe_blocco = 6400;

  void carica(int32_t r) {
    da_ = r;
    quante_ = std::min(righe_blocco, n_ - 2 - r);
    const uint64_t o = 2 * byte_intero + static_cast<uint64_t>(r - 2) * byte_reale;
    const std::size_t m = static_cast<std::size_t>(quante_) * byte_reale;
    leggi_(bx_.get(), m, o);
    leggi_(by_.get(), m, colonna_ + o);
  }

  const lettura_parziale& leggi_;
  uint64_t colonna_;
  int32_t n_;
  char origine_[2][2 * byte_intero];
  std::unique_ptr<char[]> bx_, by_;
  int32_t da_ = 0, quante_ = 0;  // the rows in the buffers
};

// The curves of a plan, in one pass over its rows. Nothing is told in
// avvisi_fuori unless every row could be read (see vista_blocchi::riga).
template <class V>
std::optional<curve_recuperate> recupera_curve_da(V& p, int32_t massimo_inizio,
                                                  std::vector<std::string>& avvisi_fuori) {
  curve_recuperate esito;
  std::vector<curva_r>& curve = esito.curve;
  const int32_t righe = p.righe();
  if (righe < 3) {
    avvisi_fuori.push_back("the track plan has " + std::to_string(righe) + " rows: no curve can be recovered");
    return esito;
  }
  std::vector<std::string> avvisi;
  auto x = [&](int32_t r) { return p.x(r); };
  auto y = [&](int32_t r) { return p.y(r); };
  if (p.tipo(0, 0) != tipo_voce::intero || p.tipo(0, 1) != tipo_voce::intero || p.tipo(1, 0) != tipo_voce::intero ||
      p.tipo(1, 1) != tipo_voce::intero || x(0) != 0 || y(0) != 0 || x(1) != 0 || y(1) != 1)
    avvisi.push_back("the track plan does not start at (0, 0) heading along +y as a compiled plan does");

  // The last row drawn; every row after it must be empty.
  const int32_t ultima = p.ultima_disegnata();
  for (int32_t r = ultima + 1; r < righe; ++r)
    if (p.tipo(r, 0) != tipo_voce::vuota || p.tipo(r, 1) != tipo_voce::vuota) {
      avvisi.push_back("track plan row " + std::to_string(r) +
                       " holds a value after the drawn rows end: the plan was not drawn from curves");
      break;
    }

  // The step of every row; the step of the row before is tried first, then
  // straight, then the classes in order, so that a run stays one curve. A
  // run of one turning step is a curve, closed when the step changes. A
  // curve that follows the previous one at once (or the plan's start) may
  // begin anywhere up to its first row; it begins where the previous one
  // ended, or at 0.
  std::vector<std::string> oltre;  // told after the rows that match no step
  int32_t fine_precedente = 1;
  int corsa = 0;          // the turning step of the run in course; 0 none
  int32_t da = 0;         // its first row
  auto chiudi = [&](int32_t b) {
    const int32_t r = da;
    const int q = corsa;
    int32_t inizio = r - 1;
    if (r == fine_precedente + 1) inizio = fine_precedente == 1 ? 0 : fine_precedente;
    if (inizio > massimo_inizio && r == fine_precedente + 1) inizio = massimo_inizio;
    if (inizio > massimo_inizio)
      oltre.push_back("the curve that turns track plan rows " + std::to_string(r) + " to " + std::to_string(b) +
                      " starts beyond the last position the line file accepts");
    curve.push_back({inizio, b - inizio, q < 0, q < 0 ? -q : q});
    fine_precedente = b;
  };
  int precedente = 0;
  int32_t spaiate = 0, prima_spaiata = -1;
  int tratto = nessun_passo;  // the step of the stretch in course
  // The two rows before, carried from row to row.
  double x2 = x(0), y2 = y(0), x1 = x(1), y1 = y(1);
  for (int32_t r = 2; r <= ultima; ++r) {
    // A straight stretch in course (and so the run and the step before it
    // straight too): the rows that go on straight change nothing but the two
    // rows carried.
    if (tratto == 0) {
      r += p.passa_retti(r, ultima, x2, y2, x1, y1);
      if (r > ultima) break;
    }
    double xr, yr;
    if (!p.riga(r, xr, yr)) return std::nullopt;
    const double dx = x1 - x2;
    const double dy = y1 - y2;
    auto prova = [&](int q) {
      const double k = curvatura(q);
      double nx, ny;
      if (k == 0.0) {
        nx = x1 + dx;
        ny = y1 + dy;
      } else {
        nx = (x1 + dx) + k * dy;
        ny = (y1 + dy) - k * dx;
      }
      return uguali(nx, xr) && uguali(ny, yr);
    };
    int trovato = nessun_passo;
    if (prova(precedente)) {
      trovato = precedente;
    } else {
      for (int q : {0, 1, -1, 2, -2, 3, -3, 4, -4, 5, -5, 6, -6})
        if (q != precedente && prova(q)) {
          trovato = q;
          break;
        }
    }
    if (trovato == nessun_passo) {
      if (spaiate++ == 0) prima_spaiata = r;
      trovato = 0;
    }
    if (trovato != corsa) {
      if (corsa != 0) chiudi(r - 1);
      corsa = trovato;
      da = r;
    }
    if (trovato != tratto) {
      if (tratto != nessun_passo) esito.tratti.push_back({r - 1, curvatura(tratto)});
      tratto = trovato;
    }
    precedente = trovato;
    x2 = x1, y2 = y1, x1 = xr, y1 = yr;
  }
  if (corsa != 0) chiudi(ultima);
  if (tratto != nessun_passo) esito.tratti.push_back({ultima, curvatura(tratto)});
  if (spaiate > 0)
    avvisi.push_back(std::to_string(spaiate) + " track plan rows, the first row " + std::to_string(prima_spaiata) +
                     ", match neither a straight step nor a turning step of any of the six curve classes; they "
                     "are written as straight line");
  for (auto& o : oltre) avvisi.push_back(std::move(o));
  // After the last curve the compile draws straight up to the third last row.
  const int32_t attesa = std::max(righe - 3, fine_precedente);
  if (ultima != attesa)
    avvisi.push_back("the track plan is drawn up to row " + std::to_string(ultima) + ", where a compile draws up to row " +
                     std::to_string(attesa));
  for (auto& a : avvisi) avvisi_fuori.push_back(std::move(a));
  return esito;
}

}  // namespace

std::optional<int32_t> forma_compilata(uint64_t dimensione, const lettura_parziale& leggi) {
  // Per column 4 + 4 + 10 (n - 4) + 2 + 2 bytes for n rows.
  const uint64_t fisso = 2 * byte_intero + 2 * byte_vuota;
  if (dimensione % 2 != 0 || dimensione / 2 < fisso + 2 * byte_reale) return std::nullopt;
  const uint64_t colonna = dimensione / 2;
  if ((colonna - fisso) % byte_reale != 0) return std::nullopt;
  const uint64_t n = (colonna - fisso) / byte_reale + 4;
  if (n > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
  for (uint64_t c = 0; c < 2; ++c) {
    char inizio[2 * byte_intero], fine[2 * byte_vuota];
    leggi(inizio, sizeof inizio, c * colonna);
    leggi(fine, sizeof fine, (c + 1) * colonna - sizeof fine);
    if (da_le16(inizio) != 2 || da_le16(inizio + byte_intero) != 2) return std::nullopt;
    if (da_le16(fine) != 0 || da_le16(fine + byte_vuota) != 0) return std::nullopt;
  }
  return static_cast<int32_t>(n);
}

std::optional<int32_t> forma_compilata(std::string_view dati) {
  return forma_compilata(dati.size(), lettura_in_memoria(dati));
}

curve_recuperate recupera_curve(const planimetria_t& p, int32_t massimo_inizio, std::vector<std::string>& avvisi) {
  vista_decodificata v{p};
  return *recupera_curve_da(v, massimo_inizio, avvisi);
}

std::optional<curve_recuperate> recupera_curve(uint64_t dimensione, const lettura_parziale& leggi,
                                               int32_t massimo_inizio, std::vector<std::string>& avvisi) {
  const std::optional<int32_t> n = forma_compilata(dimensione, leggi);
  if (!n) return std::nullopt;
  vista_blocchi v(dimensione, leggi, *n);
  return recupera_curve_da(v, massimo_inizio, avvisi);
}

std::optional<curve_recuperate> recupera_curve(std::string_view dati, int32_t massimo_inizio,
                                               std::vector<std::string>& avvisi) {
  return recupera_curve(dati.size(), lettura_in_memoria(dati), massimo_inizio, avvisi);
}

// The file's rows 0 and 1 are the origin's integers, its rows 2 to n - 3
// doubles, its last two rows empty (forma_compilata, and each row read); with
// nothing told, its origin is (0, 0), (0, 1) and each of its rows 2 on is one
// step of its stretch's k, bit for bit, by the arithmetic of percorri_righe,
// which starts from the same origin. Rows drawn by the same steps from the
// same origin are then the same, row by row; the kinds and so the sizes are
// the same too. Stretches compare whole: a disegno_planimetria never holds
// two stretches of the same k one after the other, nor do the tratti found.
bool disegna_righe(const disegno_planimetria& d, int32_t n, const std::vector<tratto_planimetria>& tratti) {
  if (!d.allocata() || !d.origine() || d.righe() != n || d.riga_successiva() != n - 2) return false;
  const auto& suoi = d.tratti();
  if (suoi.size() != tratti.size()) return false;
  for (std::size_t i = 0; i < tratti.size(); ++i)
    if (suoi[i].ultima != tratti[i].ultima || !uguali(suoi[i].k, tratti[i].k)) return false;
  return true;
}

}  // namespace tracciato
