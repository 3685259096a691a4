// Fuzz target: the whole compile from text to bytes, in memory. An arbitrary
// line file and train file go through the loader, the walk, the stamps and
// the encoders, and each file's bytes are decoded back and must encode to
// the same bytes again. Any crash, sanitizer report, hang or mismatch is a
// fault; recorded faults are not.
//
// The input is the line file, a NUL byte, then the train file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "compactor/decodifica.h"
#include "model/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t n) {
  using namespace tracciato;
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t nul = tutto.find('\0');
  const std::string_view linea = tutto.substr(0, nul);
  const std::string_view treno =
      nul == std::string_view::npos ? std::string_view() : tutto.substr(nul + 1);

  const scenario s = compila_in_memoria(testo_sorgente{"linea", std::string(linea), {}},
                                        testo_sorgente{"treno", std::string(treno), {}}, "F", "1", 1)
                         .modello;
  for (const guasto& g : s.guasti)
    if (g.citazione.size() > 400 || g.dettaglio.size() > 400)
      __builtin_trap();  // messages stay bounded
  if (s.celle.size() < 2 || s.arresto != 0) return 0;
  // A small plan goes through the whole round trip. A long one (up to a
  // million rows, 20 MB) only has its rows computed: encoding and decoding it
  // whole would take most of the target's time and teach it nothing new.
  constexpr int32_t righe_giro_completo = 100000;
  if (s.planimetria.allocata() && s.planimetria.righe() <= righe_giro_completo) {
    const byte_file b = codifica_planimetria(calcola_planimetria(s));
    if (codifica_planimetria(decodifica_planimetria(b.vista(), "l")).vista() != b.vista())
      __builtin_trap();
  } else if (s.planimetria.allocata()) {
    double somma = 0;
    percorri_planimetria(s.planimetria, [&](const double* x, const double* y, int32_t n) {
      for (int32_t i = 0; i < n; ++i) somma += x[i] - y[i];
    });
    if (somma != somma && s.planimetria.righe() < 0) __builtin_trap();  // keeps the rows computed
  }
  const byte_file t = codifica_tabella(s.tabella);
  if (codifica_tabella(decodifica_tabella(t.vista(), "s")).vista() != t.vista()) __builtin_trap();
  const byte_file c = codifica_celle(s.celle);
  if (codifica_celle(decodifica_celle(c.vista(), "c")).vista() != c.vista()) __builtin_trap();
  return 0;
}
