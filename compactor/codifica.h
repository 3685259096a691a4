// Little-endian encoding by shifts into a byte buffer. The binary files are
// built from these alone: never a struct or a host integer copied whole, so the
// bytes are the same on every machine.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace tracciato {

inline void metti8(std::string& b, uint8_t v) { b.push_back(static_cast<char>(v)); }

inline void metti16(std::string& b, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  b.push_back(static_cast<char>(u & 0xff));
  b.push_back(static_cast<char>(u >> 8));
}

inline void metti32(std::string& b, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int i = 0; i < 32; i += 8) b.push_back(static_cast<char>((u >> i) & 0xff));
}

// An IEEE 754 double, its 64 bits low byte first.
inline void metti_reale(std::string& b, double v) {
  const auto u = std::bit_cast<uint64_t>(v);
  for (int i = 0; i < 64; i += 8) b.push_back(static_cast<char>((u >> i) & 0xff));
}

// A text field: a 16-bit length, then one byte per character.
// REQUIRES: t.size() <= 65535 (the caller checks, the length has no more room).
inline void metti_testo(std::string& b, std::string_view t) {
  metti16(b, static_cast<int16_t>(static_cast<uint16_t>(t.size())));
  b.append(t);
}

}  // namespace tracciato
