#include "compactor/codifica.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

std::string byte(std::initializer_list<int> b) {
  std::string r;
  for (int x : b) r.push_back(static_cast<char>(x));
  return r;
}

TEST(Codificatore, LittleEndianByteByByte) {
  static const struct {
    const char* nome;
    void (*metti)(codificatore&);
    std::string attesi;
  } casi[] = {
      {"8 bit 255", [](codificatore& b) { b.metti8(255); }, byte({0xff})},
      {"16 bit 5121", [](codificatore& b) { b.metti16(5121); }, byte({0x01, 0x14})},
      {"16 bit -2", [](codificatore& b) { b.metti16(-2); }, byte({0xfe, 0xff})},
      {"32 bit 0x01020304", [](codificatore& b) { b.metti32(0x01020304); }, byte({4, 3, 2, 1})},
      {"32 bit -82875", [](codificatore& b) { b.metti32(-82875); }, byte({0x45, 0xbc, 0xfe, 0xff})},
      {"32 bit minimum", [](codificatore& b) { b.metti32(INT32_MIN); }, byte({0, 0, 0, 0x80})},
      {"double 1.0", [](codificatore& b) { b.metti_reale(1.0); }, byte({0, 0, 0, 0, 0, 0, 0xf0, 0x3f})},
      {"double -0.5", [](codificatore& b) { b.metti_reale(-0.5); }, byte({0, 0, 0, 0, 0, 0, 0xe0, 0xbf})},
      {"text 4715", [](codificatore& b) { b.metti_testo("4715"); }, byte({4, 0, '4', '7', '1', '5'})},
      {"empty text", [](codificatore& b) { b.metti_testo(""); }, byte({0, 0})},
      {"text of 300 bytes", [](codificatore& b) { b.metti_testo(std::string(300, '\xe8')); },
       byte({0x2c, 0x01}) + std::string(300, '\xe8')},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    codificatore b(1 + c.attesi.size());
    b.metti8('x');  // later values follow what is there
    c.metti(b);
    EXPECT_EQ(std::move(b).finisci().vista(), "x" + c.attesi);
  }
}

TEST(Codificatore, TheBufferMustEndExactlyFull) {
  codificatore corto(3);
  corto.metti16(1);
  EXPECT_THROW(corto.metti16(2), std::logic_error);  // nothing written past the end
  EXPECT_THROW(std::move(corto).finisci(), std::logic_error);

  codificatore testo(5);
  EXPECT_THROW(testo.metti_testo("4715"), std::logic_error);
}

}  // namespace
}  // namespace tracciato
