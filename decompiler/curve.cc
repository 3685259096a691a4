#include "decompiler/curve.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "compactor/codifica.h"
#include "compactor/formato.h"
#include "loader/planimetria_linea.h"

namespace tracciato {
namespace {

// The curvature of step kind q: 0 straight, 1..6 a right-hand curve of that
// class, -1..-6 a left-hand one.
double curvatura(int q) { return q == 0 ? 0.0 : q > 0 ? curvature_classi[q - 1] : -curvature_classi[-q - 1]; }

constexpr int nessun_passo = 100;

bool uguali(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

}  // namespace

namespace {

// The plan as the recovery reads it: a decoded plan ...
struct vista_decodificata {
  const planimetria_t& p;
  int32_t righe() const { return p.righe(); }
  tipo_voce tipo(int32_t r, int c) const { return p.tipo(r, c); }
  double x(int32_t r) const { return p.valori()[r]; }
  double y(int32_t r) const { return p.valori()[p.righe() + r]; }
};

// ... or the file's bytes laid out as a compile writes them: per column two
// 16-bit integers, doubles up to the third last row, two empty rows.
struct vista_byte {
  std::string_view d;
  int32_t n;
  std::size_t colonna(int c) const { return c == 0 ? 0 : d.size() / 2; }
  std::size_t offset(int32_t r) const {
    return r < 2 ? static_cast<std::size_t>(r) * byte_intero
                 : 2 * byte_intero + static_cast<std::size_t>(r - 2) * byte_reale;
  }
  int32_t righe() const { return n; }
  tipo_voce tipo(int32_t r, int) const {
    return r < 2 ? tipo_voce::intero : r < n - 2 ? tipo_voce::reale : tipo_voce::vuota;
  }
  double valore(int32_t r, int c) const {
    const char* q = d.data() + colonna(c) + offset(r) + byte_tipo_valore;
    if (r < 2) return static_cast<int16_t>(da_le16(q));
    if (r >= n - 2) return 0.0;
    return std::bit_cast<double>(da_le64(q));
  }
  double x(int32_t r) const { return valore(r, 0); }
  double y(int32_t r) const { return valore(r, 1); }
};

template <class V>
std::vector<curva_r> recupera_curve_da(const V& p, int32_t massimo_inizio, std::vector<std::string>& avvisi) {
  std::vector<curva_r> curve;
  const int32_t righe = p.righe();
  if (righe < 3) {
    avvisi.push_back("the track plan has " + std::to_string(righe) + " rows: no curve can be recovered");
    return curve;
  }
  auto x = [&](int32_t r) { return p.x(r); };
  auto y = [&](int32_t r) { return p.y(r); };
  if (p.tipo(0, 0) != tipo_voce::intero || p.tipo(0, 1) != tipo_voce::intero || p.tipo(1, 0) != tipo_voce::intero ||
      p.tipo(1, 1) != tipo_voce::intero || x(0) != 0 || y(0) != 0 || x(1) != 0 || y(1) != 1)
    avvisi.push_back("the track plan does not start at (0, 0) heading along +y as a compiled plan does");

  // The last row drawn; every row after it must be empty.
  int32_t ultima = 1;
  while (ultima + 1 < righe && p.tipo(ultima + 1, 0) == tipo_voce::reale && p.tipo(ultima + 1, 1) == tipo_voce::reale)
    ++ultima;
  for (int32_t r = ultima + 1; r < righe; ++r)
    if (p.tipo(r, 0) != tipo_voce::vuota || p.tipo(r, 1) != tipo_voce::vuota) {
      avvisi.push_back("track plan row " + std::to_string(r) +
                       " holds a value after the drawn rows end: the plan was not drawn from curves");
      break;
    }

  // The step of every row; the step of the row before is tried first, then
  // straight, then the classes in order, so that a run stays one curve.
  std::vector<int8_t> passo(static_cast<std::size_t>(ultima) + 1, 0);
  int precedente = 0;
  int32_t spaiate = 0, prima_spaiata = -1;
  for (int32_t r = 2; r <= ultima; ++r) {
    const double dx = x(r - 1) - x(r - 2);
    const double dy = y(r - 1) - y(r - 2);
    auto prova = [&](int q) {
      const double k = curvatura(q);
      double nx, ny;
      if (k == 0.0) {
        nx = x(r - 1) + dx;
        ny = y(r - 1) + dy;
      } else {
        nx = (x(r - 1) + dx) + k * dy;
        ny = (y(r - 1) + dy) - k * dx;
      }
      return uguali(nx, x(r)) && uguali(ny, y(r));
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
    passo[static_cast<std::size_t>(r)] = static_cast<int8_t>(trovato);
    precedente = trovato;
  }
  if (spaiate > 0)
    avvisi.push_back(std::to_string(spaiate) + " track plan rows, the first row " + std::to_string(prima_spaiata) +
                     ", match neither a straight step nor a turning step of any of the six curve classes; they "
                     "are written as straight line");

  // Runs of one turning step are curves. A curve that follows the previous
  // one at once (or the plan's start) may begin anywhere up to its first row;
  // it begins where the previous one ended, or at 0.
  int32_t fine_precedente = 1;
  for (int32_t r = 2; r <= ultima;) {
    const int q = passo[static_cast<std::size_t>(r)];
    if (q == 0) {
      ++r;
      continue;
    }
    int32_t b = r;
    while (b + 1 <= ultima && passo[static_cast<std::size_t>(b) + 1] == q) ++b;
    int32_t inizio = r - 1;
    if (r == fine_precedente + 1) inizio = fine_precedente == 1 ? 0 : fine_precedente;
    if (inizio > massimo_inizio && r == fine_precedente + 1) inizio = massimo_inizio;
    if (inizio > massimo_inizio)
      avvisi.push_back("the curve that turns track plan rows " + std::to_string(r) + " to " + std::to_string(b) +
                       " starts beyond the last position the line file accepts");
    curve.push_back({inizio, b - inizio, q < 0, q < 0 ? -q : q});
    fine_precedente = b;
    r = b + 1;
  }
  // After the last curve the compile draws straight up to the third last row.
  const int32_t attesa = std::max(righe - 3, fine_precedente);
  if (ultima != attesa)
    avvisi.push_back("the track plan is drawn up to row " + std::to_string(ultima) + ", where a compile draws up to row " +
                     std::to_string(attesa));
  return curve;
}

}  // namespace

std::optional<std::string_view> piano_come_compilato(std::string_view dati) {
  // Per column 4 + 4 + 10 (n - 4) + 2 + 2 bytes for n rows.
  const std::size_t fisso = 2 * byte_intero + 2 * byte_vuota;
  if (dati.size() % 2 != 0 || dati.size() / 2 < fisso + 2 * byte_reale) return std::nullopt;
  const std::size_t colonna = dati.size() / 2;
  if ((colonna - fisso) % byte_reale != 0) return std::nullopt;
  const std::size_t n = (colonna - fisso) / byte_reale + 4;
  if (n > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
  for (std::size_t c = 0; c < 2; ++c) {
    const char* q = dati.data() + c * colonna;
    auto tipo = [&](std::size_t o) { return da_le16(q + o); };
    if (tipo(0) != 2 || tipo(byte_intero) != 2) return std::nullopt;
    std::size_t o = 2 * byte_intero;
    for (std::size_t r = 2; r + 2 < n; ++r, o += byte_reale)
      if (tipo(o) != 5) return std::nullopt;
    if (tipo(o) != 0 || tipo(o + byte_vuota) != 0) return std::nullopt;
  }
  return dati;
}

std::vector<curva_r> recupera_curve(const planimetria_t& p, int32_t massimo_inizio,
                                    std::vector<std::string>& avvisi) {
  return recupera_curve_da(vista_decodificata{p}, massimo_inizio, avvisi);
}

std::vector<curva_r> recupera_curve(std::string_view piano_compilato, int32_t massimo_inizio,
                                    std::vector<std::string>& avvisi) {
  const std::size_t colonna = piano_compilato.size() / 2;
  const auto n = static_cast<int32_t>((colonna - 2 * byte_intero - 2 * byte_vuota) / byte_reale + 4);
  return recupera_curve_da(vista_byte{piano_compilato, n}, massimo_inizio, avvisi);
}

}  // namespace tracciato
