// codificatore: little-endian encoding by shifts into a byte buffer whose size
// is fixed in advance. The binary files are built from these alone, never from
// a struct or a host integer copied whole, so the bytes are the same on every
// machine. Every write is checked against the end of the buffer, and the
// buffer is handed over only when it is exactly full.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tracciato {

class codificatore {
 public:
  explicit codificatore(std::size_t dimensione) : b_(dimensione, '\0') {}

  void metti8(uint8_t v) {
    char* p = spazio(1);
    p[0] = static_cast<char>(v);
  }
  void metti16(int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    char* p = spazio(2);
    p[0] = static_cast<char>(u & 0xff);
    p[1] = static_cast<char>(u >> 8);
  }
  void metti32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    char* p = spazio(4);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xff);
  }
  // An IEEE 754 double, its 64 bits low byte first.
  void metti_reale(double v) {
    const auto u = std::bit_cast<uint64_t>(v);
    char* p = spazio(8);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xff);
  }
  // A text field: a 16-bit length, then one byte per character.
  // REQUIRES: t.size() <= 65535 (the caller checks: the length has no more room).
  void metti_testo(std::string_view t) {
    metti16(static_cast<int16_t>(static_cast<uint16_t>(t.size())));
    t.copy(spazio(t.size()), t.size());
  }

  // The whole buffer. Throws std::logic_error when it is not exactly full.
  std::string finisci() && {
    if (pos_ != b_.size()) throw std::logic_error("encoding shorter than its computed size");
    return std::move(b_);
  }

 private:
  // The next n bytes, or std::logic_error when they would pass the end.
  char* spazio(std::size_t n) {
    if (n > b_.size() - pos_) throw std::logic_error("encoding longer than its computed size");
    char* p = b_.data() + pos_;
    pos_ += n;
    return p;
  }

  std::string b_;
  std::size_t pos_ = 0;
};

}  // namespace tracciato
