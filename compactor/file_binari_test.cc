#include <gtest/gtest.h>

#include "compactor/compattatore.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

using test::cartella_temporanea;

std::string byte(std::initializer_list<int> b) {
  std::string r;
  for (int x : b) r.push_back(static_cast<char>(x));
  return r;
}

TEST(CodificaTabella, RecordsArePackedInFieldOrder) {
  std::array<voce_tabella, posti_tabella> t{};
  EXPECT_EQ(codifica_tabella(t).vista(), std::string(87 * 34, '\0'));

  voce_tabella& v = t[1];
  v.tipo_record = 0x11;
  v.valore1 = 0x01020304;
  v.valore2 = -1;
  v.valore3 = 0x300;
  v.tipo2 = 0x22;
  v.testo = "4715";
  v.intero1 = 610;
  v.intero2 = -2;
  v.intero3 = 3;
  v.intero4 = 4;
  v.intero5 = 5;
  v.byte1 = 6;
  v.byte2 = 7;
  v.byte3 = 8;
  v.byte4 = 9;
  v.valore4 = 82875;
  const std::string b(codifica_tabella(t).vista());
  ASSERT_EQ(b.size(), 87 * 34 + 4u);
  EXPECT_EQ(b.substr(34, 38), byte({0x11, 4, 3, 2, 1, 0xff, 0xff, 0xff, 0xff, 0, 3, 0, 0, 0x22,  //
                                    4, 0, '4', '7', '1', '5',                                      //
                                    0x62, 0x02, 0xfe, 0xff, 3, 0, 4, 0, 5, 0,                      //
                                    6, 7, 8, 9, 0xbb, 0x43, 0x01, 0}));
  EXPECT_EQ(b.substr(72), std::string(85 * 34, '\0'));
}

TEST(CodificaTabella, ATextPastA16BitLengthIsRefused) {
  std::array<voce_tabella, posti_tabella> t{};
  t[80].testo = std::string(65535, 'a');
  EXPECT_EQ(codifica_tabella(t).dimensione, 87 * 34 + 65535u);
  t[80].testo += 'a';
  EXPECT_THROW(codifica_tabella(t), std::runtime_error);
}

TEST(CodificaCelle, FifteenBytesPerCell) {
  std::vector<cella> celle(2541);
  EXPECT_EQ(codifica_celle(celle).vista().size(), 38115u);

  celle[1] = {12, 5121, -3, 0x102, 4, 5, 6, 7, 8, 85, 100};
  const std::string b(codifica_celle(celle).vista());
  EXPECT_EQ(b.substr(15, 15), byte({12, 0x01, 0x14, 0xfd, 0xff, 2, 1, 4, 0, 5, 6, 7, 8, 85, 100}));
}

TEST(CodificaPlanimetria, EveryXThenEveryYEachWithItsKind) {
  // As the line reader fills it: rows 0 and 1 integers, the last two empty.
  planimetria_t p;
  p.alloca_righe(4);
  p.imposta_intero(0, 0, 0);
  p.imposta_intero(0, 1, 0);
  p.imposta_intero(1, 0, 0);
  p.imposta_intero(1, 1, 1);
  p.imposta_reale(2, 0, -0.5);
  p.imposta_reale(2, 1, 1.0);
  const std::string b(codifica_planimetria(p).vista());
  // 2 * (4 + 4 + 10 * (4 - 3) + 2 + 2) bytes
  ASSERT_EQ(b.size(), 44u);
  ASSERT_EQ(dimensione_planimetria(p), 44u);
  const std::string x = byte({2, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0xe0, 0xbf, 0, 0, 0, 0});
  const std::string y = byte({2, 0, 0, 0, 2, 0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0xf0, 0x3f, 0, 0, 0, 0});
  EXPECT_EQ(b, x + y);
}

}  // namespace
}  // namespace tracciato
