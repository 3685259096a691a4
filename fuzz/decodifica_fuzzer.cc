// Fuzz target: the decoders of the three binary files. Any bytes either are
// refused with errore_formato or decode to a model part that encodes back to
// exactly the same bytes; anything else (a crash, a sanitizer report, another
// exception, bytes that do not round-trip) is a fault.
//
// The input's first byte chooses the file; the rest is its content.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compactor/compattatore.h"
#include "compactor/decodifica.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t n) {
  using namespace tracciato;
  if (n == 0) return 0;
  const std::string_view file(reinterpret_cast<const char*>(dati + 1), n - 1);
  try {
    switch (dati[0] % 3) {
      case 0:
        if (codifica_celle(decodifica_celle(file, "S_T.dat")).vista() != file) __builtin_trap();
        break;
      case 1:
        if (codifica_tabella(decodifica_tabella(file, "S_T.sim")).vista() != file) __builtin_trap();
        break;
      default: {
        const planimetria_t p = decodifica_planimetria(file, "S_linea.dat");
        if (!p.allocata()) {
          if (!file.empty()) __builtin_trap();
        } else if (codifica_planimetria(p).vista() != file) {
          __builtin_trap();
        }
        break;
      }
    }
  } catch (const errore_formato&) {
  }
  return 0;
}
