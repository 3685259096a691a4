// formato: the packed layout of the binary files' records, declared once.
// The encoders (file_binari.cc) and the decoders (decodifica.cc) both walk
// these lists, so a field cannot be written in one order and read in another.
//
// Every field is little-endian and follows the previous one with no gap. Its
// width and signedness are those of the model member it names:
//   uint8_t      1 byte,  unsigned
//   int16_t      2 bytes, two's complement
//   int32_t      4 bytes, two's complement
//   std::string  a 16-bit unsigned length n, then n bytes (Windows-1252)
// The names handed to the visitor are the members' names exactly; tools that
// print a record use them as its keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "model/planimetria.h"
#include "model/scenario.h"

namespace tracciato {

// campi_cella: visits every field of a cell, in file order, as v(name, field).
// C is cella or const cella. Cell file record, 15 bytes:
//   offset  width  field            signedness
//        0      1  tipo_cella       unsigned
//        1      2  valore_a         signed
//        3      2  valore_b         signed
//        5      2  valore_c         signed
//        7      2  valore_d         signed
//        9      1  tempo_segnale    unsigned
//       10      1  segno_approccio  unsigned
//       11      1  tipo_montagna    unsigned
//       12      1  vel_limite       unsigned
//       13      1  pendenza_cella   unsigned
//       14      1  aderenza_cella   unsigned
template <class C, class V>
constexpr void campi_cella(C& c, V&& v) {
  static_assert(std::is_same_v<std::remove_const_t<C>, cella>);
  v("tipo_cella", c.tipo_cella);
  v("valore_a", c.valore_a);
  v("valore_b", c.valore_b);
  v("valore_c", c.valore_c);
  v("valore_d", c.valore_d);
  v("tempo_segnale", c.tempo_segnale);
  v("segno_approccio", c.segno_approccio);
  v("tipo_montagna", c.tipo_montagna);
  v("vel_limite", c.vel_limite);
  v("pendenza_cella", c.pendenza_cella);
  v("aderenza_cella", c.aderenza_cella);
}

// campi_voce: visits every field of a record table slot, in file order, as
// v(name, field). C is voce_tabella or const voce_tabella. Scenario file
// record, 34 + n bytes, where n is the length of testo:
//   offset  width  field        signedness
//        0      1  tipo_record  unsigned
//        1      4  valore1      signed
//        5      4  valore2      signed
//        9      4  valore3      signed
//       13      1  tipo2        unsigned
//       14  2 + n  testo        16-bit unsigned length n, then n bytes
//   16 + n      2  intero1      signed
//   18 + n      2  intero2      signed
//   20 + n      2  intero3      signed
//   22 + n      2  intero4      signed
//   24 + n      2  intero5      signed
//   26 + n      1  byte1        unsigned
//   27 + n      1  byte2        unsigned
//   28 + n      1  byte3        unsigned
//   29 + n      1  byte4        unsigned
//   30 + n      4  valore4      signed
template <class C, class V>
constexpr void campi_voce(C& t, V&& v) {
  static_assert(std::is_same_v<std::remove_const_t<C>, voce_tabella>);
  v("tipo_record", t.tipo_record);
  v("valore1", t.valore1);
  v("valore2", t.valore2);
  v("valore3", t.valore3);
  v("tipo2", t.tipo2);
  v("testo", t.testo);
  v("intero1", t.intero1);
  v("intero2", t.intero2);
  v("intero3", t.intero3);
  v("intero4", t.intero4);
  v("intero5", t.intero5);
  v("byte1", t.byte1);
  v("byte2", t.byte2);
  v("byte3", t.byte3);
  v("byte4", t.byte4);
  v("valore4", t.valore4);
}

// Bytes a field of type T takes in a file; a text counts its length only.
template <class T>
constexpr std::size_t byte_campo() {
  if constexpr (std::is_same_v<T, std::string>) {
    return 2;
  } else {
    static_assert(std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>,
                  "a record field must be uint8_t, int16_t, int32_t or std::string");
    return sizeof(T);
  }
}

// Bytes of one record without the characters of its texts.
constexpr std::size_t byte_fissi_cella() {
  cella c{};
  std::size_t n = 0;
  campi_cella(c, [&n](const char*, const auto& x) { n += byte_campo<std::remove_cvref_t<decltype(x)>>(); });
  return n;
}
constexpr std::size_t byte_fissi_voce() {
  voce_tabella t{};  // not const: g++ 12 refuses a const std::string here
  std::size_t n = 0;
  campi_voce(t, [&n](const char*, const auto& x) { n += byte_campo<std::remove_cvref_t<decltype(x)>>(); });
  return n;
}
static_assert(byte_fissi_cella() == 15);
// clang 14 cannot build libstdc++'s std::string in a constant expression (the
// fuzz build uses clang): there the check is left to g++.
#if !defined(__clang__)
static_assert(byte_fissi_voce() == 34);
#endif

// Track plan value, in the line data file:
//   offset  width  field
//        0      2  kind code, 16-bit unsigned: 0 empty, 2 16-bit integer, 5 double
//        2  0/2/8  value: nothing, a signed 16-bit integer, or an IEEE 754 double
// The kind codes are the values of tipo_voce.
inline constexpr std::size_t byte_tipo_valore = 2;
inline constexpr std::size_t byte_vuota = byte_tipo_valore;
inline constexpr std::size_t byte_intero = byte_tipo_valore + 2;
inline constexpr std::size_t byte_reale = byte_tipo_valore + 8;
static_assert(static_cast<uint16_t>(tipo_voce::vuota) == 0);
static_assert(static_cast<uint16_t>(tipo_voce::intero) == 2);
static_assert(static_cast<uint16_t>(tipo_voce::reale) == 5);

// True iff codice is one of the three kind codes.
constexpr bool tipo_valore_noto(uint16_t codice) {
  return codice == static_cast<uint16_t>(tipo_voce::vuota) || codice == static_cast<uint16_t>(tipo_voce::intero) ||
         codice == static_cast<uint16_t>(tipo_voce::reale);
}

// Bytes of one value of kind t, its kind code included.
constexpr std::size_t byte_valore(tipo_voce t) {
  return t == tipo_voce::reale ? byte_reale : t == tipo_voce::intero ? byte_intero : byte_vuota;
}

}  // namespace tracciato
