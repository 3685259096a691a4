#include "decompiler/testo_1252.h"

#include <cstdint>

namespace tracciato {
namespace {

// The characters of 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t zona_80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void metti_utf8(std::string& o, char32_t c) {
  if (c < 0x80) {
    o += static_cast<char>(c);
  } else if (c < 0x800) {
    o += static_cast<char>(0xC0 | (c >> 6));
    o += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    o += static_cast<char>(0xE0 | (c >> 12));
    o += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    o += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string da_1252(std::string_view testo) {
  std::string o;
  o.reserve(testo.size());
  for (char ch : testo) {
    const auto b = static_cast<uint8_t>(ch);
    metti_utf8(o, b >= 0x80 && b < 0xA0 ? char32_t{zona_80[b - 0x80]} : char32_t{b});
  }
  return o;
}

}  // namespace tracciato
