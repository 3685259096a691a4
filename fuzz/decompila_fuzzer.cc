// Fuzz target: the decompile round trip over generated scenarios. The first
// eight input bytes pick the seed of a dense, valid scenario
// (tests/genera_scenari.h); one that compiles without a fault must decompile
// to texts that compile to the same bytes again, and decompile must call it
// exact. Further bytes, three at a time (which file, where, what), edit the
// cell or scenario file as a hand might: decompile must then neither crash
// nor call exact what is not.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "compactor/compattatore.h"
#include "compactor/codifica.h"
#include "compactor/compila.h"
#include "decompiler/decompila.h"
#include "model/scenario.h"
#include "tests/genera_scenari.h"

namespace {

using namespace tracciato;

// The files a compile writes; with senza_guasti, only when it records no
// fault at all.
std::optional<binari_scenario> compila(const std::string& linea, const std::string& treno, bool senza_guasti) {
  const scenario s =
      compila_in_memoria(testo_sorgente{"linea", linea, {}}, testo_sorgente{"treno", treno, {}}, "F", "1", 1).modello;
  if (s.celle.size() < 2 || s.arresto != 0 || (senza_guasti && !s.guasti.empty())) return std::nullopt;
  binari_scenario b{"F", "1", std::nullopt, std::string(codifica_tabella(s.tabella).vista()),
                    std::string(codifica_celle(s.celle).vista())};
  if (s.planimetria.allocata()) b.linea_dat = std::string(codifica_planimetria(calcola_planimetria(s.planimetria)).vista());
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t n) {
  uint64_t seme = 0;
  for (std::size_t i = 0; i < n && i < 8; ++i) seme |= uint64_t{dati[i]} << (8 * i);
  const test::scenario_generato g = test::genera_scenario(seme);
  auto prima = compila(g.linea, g.treno, true);
  if (!prima) return 0;
  bool modificato = false;
  for (std::size_t i = 8; i + 3 <= n; i += 3) {
    std::string& f = dati[i] % 2 == 0 ? prima->celle_dat : prima->sim;
    if (f.empty()) continue;
    f[(std::size_t{dati[i]} / 2 * 256 + dati[i + 1]) % f.size()] = static_cast<char>(dati[i + 2]);
    modificato = true;
  }
  sorgenti_recuperate r;
  try {
    r = decompila(*prima);
  } catch (const errore_formato&) {
    return 0;  // an edit that breaks the file's layout is refused, as it should be
  }
  const auto dopo = compila(r.linea, r.treno, !modificato);
  const bool uguale =
      dopo && dopo->sim == prima->sim && dopo->celle_dat == prima->celle_dat && dopo->linea_dat == prima->linea_dat;
  if (r.esatto != uguale) __builtin_trap();  // decompile knows whether it is exact
  if (modificato) return 0;
  if (!uguale) __builtin_trap();
  if (!r.differenze.empty()) __builtin_trap();
  return 0;
}
