// codificatore: little-endian encoding by shifts into a byte buffer whose size
// is fixed in advance. The binary files are built from these alone, never from
// a struct or a host integer copied whole, so the bytes are the same on every
// machine. Every write is checked against the end of the buffer, and the
// buffer is handed over only when it is exactly full.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tracciato {

// Stores of one little-endian value at p; the caller owns the room.
inline void le16(char* p, uint16_t u) {
  p[0] = static_cast<char>(u & 0xff);
  p[1] = static_cast<char>(u >> 8);
}
inline void le32(char* p, uint32_t u) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xff);
}
inline void le64(char* p, uint64_t u) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((u >> (8 * i)) & 0xff);
}

// byte_file: the whole content of one file, encoded once and written once.
struct byte_file {
  std::unique_ptr<char[]> dati;
  std::size_t dimensione = 0;
  std::string_view vista() const { return {dati.get(), dimensione}; }
};

class codificatore {
 public:
  // The buffer is not cleared first: every byte of it is written exactly once.
  explicit codificatore(std::size_t dimensione)
      : b_(std::make_unique_for_overwrite<char[]>(dimensione)), dimensione_(dimensione) {}

  void metti8(uint8_t v) {
    char* p = spazio(1);
    p[0] = static_cast<char>(v);
  }
  void metti16(int16_t v) { le16(spazio(2), static_cast<uint16_t>(v)); }
  void metti32(int32_t v) { le32(spazio(4), static_cast<uint32_t>(v)); }
  // An IEEE 754 double, its 64 bits low byte first.
  void metti_reale(double v) { le64(spazio(8), std::bit_cast<uint64_t>(v)); }
  // A text field: a 16-bit length, then one byte per character.
  // REQUIRES: t.size() <= 65535 (the caller checks: the length has no more room).
  void metti_testo(std::string_view t) {
    metti16(static_cast<int16_t>(static_cast<uint16_t>(t.size())));
    t.copy(spazio(t.size()), t.size());
  }

  // The next n bytes, for a caller that fills a long run of values with the
  // stores above and checks its own bounds. Throws std::logic_error when they
  // would pass the end.
  char* riserva(std::size_t n) { return spazio(n); }

  // The whole buffer. Throws std::logic_error when it is not exactly full.
  byte_file finisci() && {
    if (pos_ != dimensione_) throw std::logic_error("encoding shorter than its computed size");
    return {std::move(b_), dimensione_};
  }

 private:
  char* spazio(std::size_t n) {
    if (n > dimensione_ - pos_) throw std::logic_error("encoding longer than its computed size");
    char* p = b_.get() + pos_;
    pos_ += n;
    return p;
  }

  std::unique_ptr<char[]> b_;
  std::size_t dimensione_;
  std::size_t pos_ = 0;
};

}  // namespace tracciato
