// Fuzz target: the decompile round trip over generated scenarios. The input
// bytes pick the seed of a dense, valid scenario (tests/genera_scenari.h);
// one that compiles without a fault must decompile to texts that compile to
// the same bytes again, and decompile must call it exact.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "decompiler/decompila.h"
#include "model/scenario.h"
#include "tests/genera_scenari.h"

namespace {

using namespace tracciato;

std::optional<binari_scenario> compila_senza_guasti(const std::string& linea, const std::string& treno) {
  const scenario s =
      compila_in_memoria(testo_sorgente{"linea", linea, {}}, testo_sorgente{"treno", treno, {}}, "F", "1", 1).modello;
  if (s.celle.size() < 2 || s.arresto != 0 || !s.guasti.empty()) return std::nullopt;
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
  const auto prima = compila_senza_guasti(g.linea, g.treno);
  if (!prima) return 0;
  const sorgenti_recuperate r = decompila(*prima);
  const auto dopo = compila_senza_guasti(r.linea, r.treno);
  const bool uguale =
      dopo && dopo->sim == prima->sim && dopo->celle_dat == prima->celle_dat && dopo->linea_dat == prima->linea_dat;
  if (!uguale) __builtin_trap();
  if (!r.esatto || !r.differenze.empty()) __builtin_trap();  // and decompile knows it
  return 0;
}
