// codificatore: little-endian encoding into a byte buffer whose size is fixed
// in advance. The binary files are built from these alone, never from a struct
// copied whole or a host integer in the host's byte order, so the bytes are
// the same on every machine. Every write is checked against the end of the buffer, and the
// buffer is handed over only when it is exactly full.
//
// decodificatore: the matching reads, each checked against the end of the
// bytes it was given; a read past the end throws errore_formato.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tracciato {

// Stores of one little-endian value at p; the caller owns the room. On a
// little-endian machine the value's own bytes are already in that order and
// go in one copy (the track plan has two million values: byte by byte, the
// compiler sometimes vectorises the shifts into far slower code); elsewhere
// they are taken by shifts. The bytes are the same either way.
inline void le16(char* p, uint16_t u) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &u, 2);
  } else {
    p[0] = static_cast<char>(u & 0xff);
    p[1] = static_cast<char>(u >> 8);
  }
}
inline void le32(char* p, uint32_t u) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &u, 4);
  } else {
    le16(p, static_cast<uint16_t>(u & 0xffff));
    le16(p + 2, static_cast<uint16_t>(u >> 16));
  }
}
inline void le64(char* p, uint64_t u) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &u, 8);
  } else {
    le32(p, static_cast<uint32_t>(u & 0xffffffff));
    le32(p + 4, static_cast<uint32_t>(u >> 32));
  }
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

// errore_formato: a binary file whose bytes do not follow its layout. what() is
// "<file>: byte <offset>: <what is wrong>".
class errore_formato : public std::runtime_error {
 public:
  errore_formato(std::string_view nome_file, std::size_t posizione, std::string_view messaggio)
      : std::runtime_error(std::string(nome_file) + ": byte " + std::to_string(posizione) + ": " +
                           std::string(messaggio)),
        nome_file_(nome_file),
        posizione_(posizione) {}

  const std::string& nome_file() const { return nome_file_; }
  // Offset from the start of the file of the field or record at fault.
  std::size_t posizione() const { return posizione_; }

 private:
  std::string nome_file_;
  std::size_t posizione_;
};

// Loads of one little-endian value from p; the caller has checked the room.
inline uint16_t da_le16(const char* p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}
inline uint32_t da_le32(const char* p) {
  const auto b = [p](int i) { return static_cast<uint32_t>(static_cast<unsigned char>(p[i])); };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}
inline uint64_t da_le64(const char* p) {
  return static_cast<uint64_t>(da_le32(p)) | static_cast<uint64_t>(da_le32(p + 4)) << 32;
}

class decodificatore {
 public:
  // dati must outlive the decoder and the texts it hands out; nome_file is
  // only for messages.
  decodificatore(std::string_view dati, std::string_view nome_file) : dati_(dati), nome_file_(nome_file) {}

  // Names the record being read, for the message of a read past the end
  // ("slot 86 ends early: ..."). genere must outlive the decoder.
  void record(std::string_view genere, std::size_t indice) {
    genere_ = genere;
    indice_ = indice;
  }

  // Each read names its field (campo) for the message of a read past the end.
  uint8_t prendi8(std::string_view campo) { return static_cast<uint8_t>(*spazio(1, campo)); }
  int16_t prendi16(std::string_view campo) { return static_cast<int16_t>(da_le16(spazio(2, campo))); }
  uint16_t prendi16_senza_segno(std::string_view campo) { return da_le16(spazio(2, campo)); }
  int32_t prendi32(std::string_view campo) { return static_cast<int32_t>(da_le32(spazio(4, campo))); }
  double prendi_reale(std::string_view campo) { return std::bit_cast<double>(da_le64(spazio(8, campo))); }
  // A text field: a 16-bit length, then that many bytes. The view points into
  // the decoder's bytes. Throws when the length reaches past the end, with the
  // offset of the length.
  std::string_view prendi_testo(std::string_view campo) {
    const std::size_t inizio = pos_;
    const std::size_t n = prendi16_senza_segno(campo);
    if (n > resto())
      errore(inizio, record_in_parole() + " ends early: " + std::string(campo) + " is " + byte_in_parole(n) +
                         " long, " + byte_in_parole(resto()) + " left");
    return {spazio(n, campo), n};
  }

  // Offset of the next byte to read.
  std::size_t posizione() const { return pos_; }
  std::size_t resto() const { return dati_.size() - pos_; }
  bool finito() const { return pos_ == dati_.size(); }
  std::size_t dimensione() const { return dati_.size(); }

  // Throws errore_formato for this file at byte posizione.
  [[noreturn]] void errore(std::size_t posizione, std::string_view messaggio) const {
    throw errore_formato(nome_file_, posizione, messaggio);
  }

  // "1 byte", "4 bytes".
  static std::string byte_in_parole(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

 private:
  std::string record_in_parole() const {
    return genere_.empty() ? std::string("the file") : std::string(genere_) + " " + std::to_string(indice_);
  }
  const char* spazio(std::size_t n, std::string_view campo) {
    if (n > resto())
      errore(pos_, record_in_parole() + " ends early: " + std::string(campo) + " needs " + byte_in_parole(n) + ", " +
                       byte_in_parole(resto()) + " left");
    const char* p = dati_.data() + pos_;
    pos_ += n;
    return p;
  }

  std::string_view dati_;
  std::string_view nome_file_;
  std::string_view genere_;
  std::size_t indice_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace tracciato
