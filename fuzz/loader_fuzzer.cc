// Fuzz target: an arbitrary line file and train file through the loader, the
// walk, the stamps and the encoders, all in memory. Any crash, sanitizer
// report or hang is a fault; recorded faults are not.
//
// The input is the line file, a NUL byte, then the train file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compactor/compattatore.h"
#include "loader/memorizza_dati.h"
#include "model/errori.h"
#include "model/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t n) {
  using namespace tracciato;
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t nul = tutto.find('\0');
  const std::string_view linea = tutto.substr(0, nul);
  const std::string_view treno = nul == std::string_view::npos ? std::string_view() : tutto.substr(nul + 1);

  scenario s;
  s.nome_scenario = "F";
  s.numero_treno = "1";
  s.scrivi_linea = 1;
  memorizza_dati(s, testo_sorgente{"linea", std::string(linea), {}},
                 testo_sorgente{"treno", std::string(treno), {}});
  if (s.celle.size() < 2) return 0;
  compatta_celle(s);
  try {
    timbra(s);
  } catch (const arresto&) {
    return 0;
  }
  if (s.planimetria.allocata()) (void)codifica_planimetria(calcola_planimetria(s));
  (void)codifica_tabella(s.tabella);
  (void)codifica_celle(s.celle);
  return 0;
}
