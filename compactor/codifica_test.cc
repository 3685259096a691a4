#include "compactor/codifica.h"

#include <gtest/gtest.h>

namespace tracciato {
namespace {

std::string byte(std::initializer_list<int> b) {
  std::string r;
  for (int x : b) r.push_back(static_cast<char>(x));
  return r;
}

TEST(Codifica, LittleEndianByteByByte) {
  static const struct {
    const char* nome;
    void (*metti)(std::string&);
    std::string attesi;
  } casi[] = {
      {"8 bit 255", [](std::string& b) { metti8(b, 255); }, byte({0xff})},
      {"16 bit 5121", [](std::string& b) { metti16(b, 5121); }, byte({0x01, 0x14})},
      {"16 bit -2", [](std::string& b) { metti16(b, -2); }, byte({0xfe, 0xff})},
      {"32 bit 0x01020304", [](std::string& b) { metti32(b, 0x01020304); }, byte({4, 3, 2, 1})},
      {"32 bit -82875", [](std::string& b) { metti32(b, -82875); }, byte({0x45, 0xbc, 0xfe, 0xff})},
      {"32 bit minimum", [](std::string& b) { metti32(b, INT32_MIN); }, byte({0, 0, 0, 0x80})},
      {"double 1.0", [](std::string& b) { metti_reale(b, 1.0); }, byte({0, 0, 0, 0, 0, 0, 0xf0, 0x3f})},
      {"double -0.5", [](std::string& b) { metti_reale(b, -0.5); }, byte({0, 0, 0, 0, 0, 0, 0xe0, 0xbf})},
      {"text 4715", [](std::string& b) { metti_testo(b, "4715"); }, byte({4, 0, '4', '7', '1', '5'})},
      {"empty text", [](std::string& b) { metti_testo(b, ""); }, byte({0, 0})},
      {"text of 300 bytes", [](std::string& b) { metti_testo(b, std::string(300, '\xe8')); },
       byte({0x2c, 0x01}) + std::string(300, '\xe8')},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    std::string b = "x";  // appends after what is there
    c.metti(b);
    EXPECT_EQ(b, "x" + c.attesi);
  }
}

}  // namespace
}  // namespace tracciato
