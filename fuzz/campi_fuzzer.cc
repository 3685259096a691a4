// Fuzz target: the field reader alone, reading any bytes as texts and numbers
// of each width in an order the input chooses. A crash, a sanitizer report, a
// hang, or a message that grows with the input is a fault; a read failure is
// not.
//
// The input's first byte says how many of the following bytes (up to 16) are
// the order of reads; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "loader/campi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t n) {
  using namespace tracciato;
  if (n == 0) return 0;
  const std::size_t quanti = std::min<std::size_t>(dati[0] % 17, n - 1);
  const std::string_view ordine(reinterpret_cast<const char*>(dati + 1), quanti);
  const std::string_view testo(reinterpret_cast<const char*>(dati + 1 + quanti), n - 1 - quanti);

  lettore_campi l(testo, "f");
  try {
    // Every read consumes at least one byte, so the file's size bounds the reads.
    for (std::size_t i = 0; i <= testo.size(); ++i) {
      const auto scelta =
          ordine.empty() ? 0 : static_cast<unsigned char>(ordine[i % ordine.size()]) % 4;
      switch (scelta) {
        case 0:
          (void)l.leggi_testo();
          break;
        case 1:
          (void)l.leggi_numero<uint8_t>();
          break;
        case 2:
          (void)l.leggi_numero<int16_t>();
          break;
        default:
          (void)l.leggi_numero<int32_t>();
          break;
      }
      if (l.riga() < 1 || l.colonna() < 1) __builtin_trap();
    }
    // A file this size cannot yield more fields than bytes.
    if (!l.fine_file()) __builtin_trap();
  } catch (const guasto_lettura& g) {
    // A message quotes a bounded part of the field, whatever its length.
    if (std::string_view(g.what()).size() > 400) __builtin_trap();
  }
  return 0;
}
