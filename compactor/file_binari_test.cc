#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "compactor/compattatore.h"
#include "loader/memorizza_dati.h"
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

// The streamed file against the whole table encoded in memory, for plans
// left by every way a line load ends. The routes are long enough for each
// column to pass through its buffer several times.
TEST(ScriviFilePlanimetria, SameBytesAsTheWholeTableForEveryWayALoadEnds) {
  const auto linea = [](int32_t l, const std::string& successivi) {
    return "[generale]\r\nlunghezza percorso, " + std::to_string(l) + "\r\n[curve]\r\n" + successivi + "[fine]\r\n";
  };
  const std::string curve = "curvad4, 1000, 500\r\ncurvas1, 3000, 2500\r\ncurvad6, 4000, 200\r\n"  // overlapping
                            "curvas2, 2000, 100\r\n"                                           // out of order
                            "curvad3, 9000, -50\r\ncurvas5, 20000, 5\r\n";                     // negative length
  static const struct {
    const char* nome;
    int codice;
  } attese[] = {{"curves", 0}, {"straight, shortest route", 0}, {"two route lengths", 0},
                {"origin never set", 1}, {"read failure after curves", 25}, {"curve beyond the grid", 15},
                {"curve ending at row 999999", 0}, {"curve passing row 1000000", 103}};
  const std::string testi[] = {
      linea(40000, curve),
      linea(0, ""),
      "[generale]\r\nlunghezza percorso, 90000\r\nlunghezza percorso, 30000\r\n[curve]\r\n" + curve + "[fine]\r\n",
      "[generale]\r\nlunghezza percorso, 30000\r\nlunghezza percorso, 2000000\r\n[fine]\r\n",
      linea(30000, curve + "pendenza, 100, tre\r\n"),
      linea(30000, curve + "curvad2, 38000, 10\r\ncurvad2, 100, 10\r\n"),
      linea(1000000, "curvad4, 999000, 999\r\n"),
      linea(1000000, curve + "curvad4, 999000, 1000\r\n"),
  };
  for (std::size_t i = 0; i < std::size(attese); ++i) {
    SCOPED_TRACE(attese[i].nome);
    scenario s;
    s.nome_scenario = "S";
    s.numero_treno = "T";
    s.scrivi_linea = 1;
    memorizza_dati(s, testo_sorgente{"linea", testi[i], {}}, testo_sorgente{"treno", "[generale]\r\n", {}});
    ASSERT_EQ(s.codice_errore, attese[i].codice);
    ASSERT_TRUE(s.planimetria.allocata());
    cartella_temporanea dir;
    scrivi_file_planimetria(s, dir / "S_linea.dat");
    const std::string scritto = test::leggi(dir / "S_linea.dat");
    EXPECT_EQ(scritto.size(), dimensione_planimetria(s.planimetria));
    EXPECT_TRUE(scritto == codifica_planimetria(calcola_planimetria(s)).vista());
    EXPECT_EQ(dir.elenco(), std::vector<std::string>{"S_linea.dat"});
  }
}

// The y column starts at any offset: its first block, which ends where the
// file reaches a multiple of 64 KiB, may hold less than one value, or a
// value may pass its end. Routes whose y column starts just before, at and
// just after such a multiple.
TEST(ScriviFilePlanimetria, SameBytesWhereverTheYColumnStarts) {
  constexpr uint64_t blocco = 64 * 1024;
  const auto carica = [](scenario& s, int32_t l) {
    s.scrivi_linea = 1;
    memorizza_dati(s,
                   testo_sorgente{"linea", "[generale]\r\nlunghezza percorso, " + std::to_string(l) +
                                               "\r\n[curve]\r\ncurvad4, 100, 50\r\n[fine]\r\n", {}},
                   testo_sorgente{"treno", "[generale]\r\n", {}});
    return dimensione_planimetria(s.planimetria) / 2;  // where the y column starts
  };
  // A metre more moves the start by a few bytes: the route whose start falls
  // on a multiple, and those around it.
  scenario a, b;
  const uint64_t inizio = carica(a, 6000), passo = carica(b, 6001) - inizio;
  ASSERT_GT(passo, 0u);
  const auto vicina = static_cast<int32_t>(6000 + (blocco - inizio % blocco) / passo);
  std::set<uint64_t> resti;
  for (int32_t l = vicina - 3; l <= vicina + 3; ++l) {
    SCOPED_TRACE(l);
    scenario s;
    resti.insert(carica(s, l) % blocco);
    cartella_temporanea dir;
    scrivi_file_planimetria(s, dir / "S_linea.dat");
    EXPECT_TRUE(test::leggi(dir / "S_linea.dat") == codifica_planimetria(calcola_planimetria(s)).vista());
  }
  EXPECT_TRUE(std::any_of(resti.begin(), resti.end(), [](uint64_t r) { return r < 16; }));
  EXPECT_TRUE(std::any_of(resti.begin(), resti.end(), [&](uint64_t r) { return r > blocco - 16; }));
}

// The cell file written a block at a time holds the bytes of the whole
// encoding, for counts on and either side of a block's end.
TEST(ScriviFileCelle, BlocksMakeTheWholeEncoding) {
  for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{4096},
                              std::size_t{4097}, std::size_t{20141}}) {
    SCOPED_TRACE(n);
    std::vector<cella> celle(n);
    for (std::size_t i = 0; i < n; ++i) {
      cella& c = celle[i];
      c.tipo_cella = static_cast<uint8_t>(i % 7);
      c.valore_a = static_cast<int16_t>(i * 37);
      c.valore_b = static_cast<int16_t>(-static_cast<int32_t>(i % 1000));
      c.valore_d = static_cast<int16_t>(i >> 3);
      c.vel_limite = static_cast<uint8_t>(i % 251);
      c.pendenza_cella = static_cast<uint8_t>(100 + i % 13);
    }
    cartella_temporanea dir;
    scrivi_file_celle(celle, dir / "S_T.dat");
    EXPECT_TRUE(test::leggi(dir / "S_T.dat") == codifica_celle(celle).vista());
    EXPECT_EQ(dir.elenco(), std::vector<std::string>{"S_T.dat"});
  }
}

}  // namespace
}  // namespace tracciato
