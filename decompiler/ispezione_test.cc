#include "decompiler/ispezione.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <bit>
#include <limits>
#include <sstream>

#include "compactor/codifica.h"
#include "compactor/compattatore.h"
#include "compactor/formato.h"
#include "platform/testo.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

using nlohmann::json;

std::string ispeziona_in(std::string_view dati, genere_binario g, opzioni_ispezione o = {}) {
  std::ostringstream uscita;
  ispeziona(dati, "f", g, o, uscita);
  return uscita.str();
}

json come_json(std::string_view dati, genere_binario g, opzioni_ispezione o = {}) {
  o.json = true;
  return json::parse(ispeziona_in(dati, g, o));
}

// Cells with every field at an edge of its width.
std::vector<cella> celle_prova() {
  std::vector<cella> c(4);
  c[1] = {1, 5121, -1, std::numeric_limits<int16_t>::min(), 32767, 255, 34, 2, 14, 103, 100};
  c[3] = {14, 80, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  return c;
}

TEST(Ispezione, CellsJsonAgreesWithTheEncoderFieldByField) {
  const auto celle = celle_prova();
  const byte_file f = codifica_celle(celle);
  const json j = come_json(f.vista(), genere_binario::celle);
  EXPECT_EQ(j["kind"], "cells");
  EXPECT_EQ(j["bytes"], f.dimensione);
  EXPECT_EQ(j["ultima_cella"], 3);
  ASSERT_EQ(j["celle"].size(), 4u);
  for (std::size_t i = 0; i < celle.size(); ++i) {
    EXPECT_EQ(j["celle"][i]["cella"], i);
    std::size_t chiavi = 1;
    campi_cella(celle[i], [&](const char* nome, auto v) {
      EXPECT_EQ(j["celle"][i][nome], static_cast<int64_t>(v)) << nome << " of cell " << i;
      ++chiavi;
    });
    EXPECT_EQ(j["celle"][i].size(), chiavi);
  }
  // --from, --to and --nonzero choose the cells; the header keeps describing the file.
  opzioni_ispezione o;
  o.da = 1;
  o.a = 2;
  o.non_zero = true;
  const json parte = come_json(f.vista(), genere_binario::celle, o);
  ASSERT_EQ(parte["celle"].size(), 1u);
  EXPECT_EQ(parte["celle"][0]["cella"], 1);
  EXPECT_EQ(parte["ultima_cella"], 3);
}

TEST(Ispezione, TableJsonAgreesWithTheEncoderWithOffsetsAndUtf8Texts) {
  std::array<voce_tabella, posti_tabella> t{};
  t[1] = {11, -300, 300, 0, 1, "CITT\xC0 \x80 \x81", -2, 1, 4, 1, 1, 255, 50, 0, 1, 50400};
  t[80].testo = "(F)";
  t[86].testo = "4715";
  const byte_file f = codifica_tabella(t);
  const json j = come_json(f.vista(), genere_binario::tabella);
  EXPECT_EQ(j["kind"], "table");
  EXPECT_EQ(j["slots"], 87);
  ASSERT_EQ(j["tabella"].size(), 87u);
  std::size_t offset = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const json& v = j["tabella"][i];
    EXPECT_EQ(v["slot"], i);
    EXPECT_EQ(v["offset"], offset);
    offset += 34 + t[i].testo.size();
    campi_voce(t[i], [&]<class T>(const char* nome, const T& x) {
      if constexpr (std::is_same_v<T, std::string>)
        EXPECT_EQ(v[nome], a_utf8(x));
      else
        EXPECT_EQ(v[nome], static_cast<int64_t>(x)) << nome << " of slot " << i;
    });
  }
  EXPECT_EQ(j["tabella"][1]["testo"], "CITT\u00C0 \u20AC \u0081");
}

TEST(Ispezione, PlanJsonKeepsKindsAndEveryDoubleBit) {
  planimetria_t p;
  p.alloca_righe(4);
  p.imposta_intero(0, 0, 0);
  p.imposta_intero(0, 1, -7);
  const double reali[] = {0.1 + 0.2, -0.0, 1e300, 5e-324, -2.0, 126998.00000000001};
  p.imposta_reale(1, 0, reali[0]);
  p.imposta_reale(1, 1, reali[1]);
  p.imposta_reale(2, 0, reali[2]);
  p.imposta_reale(2, 1, reali[3]);
  p.imposta_reale(3, 0, reali[4]);
  p.imposta_reale(3, 1, reali[5]);
  const byte_file f = codifica_planimetria(p);
  const json j = come_json(f.vista(), genere_binario::planimetria);
  EXPECT_EQ(j["kind"], "plan");
  EXPECT_EQ(j["righe"], 5);
  const json& r = j["piano"];
  EXPECT_EQ(r[0]["kind_x"], "int16");
  EXPECT_EQ(r[0]["y"], -7);
  for (int i = 0; i < 6; ++i) {
    const json& v = r[1 + i / 2][i % 2 ? "y" : "x"];
    ASSERT_TRUE(v.is_number_float()) << v;
    EXPECT_EQ(std::bit_cast<uint64_t>(v.get<double>()), std::bit_cast<uint64_t>(reali[i])) << v;
  }
  EXPECT_TRUE(r[4]["x"].is_null());
  EXPECT_EQ(r[4]["kind_y"], "empty");
}

TEST(Ispezione, TextNamesKindsAndGivesUnits) {
  const std::string t = ispeziona_in(codifica_celle(celle_prova()).vista(), genere_binario::celle);
  EXPECT_NE(t.find("     1      50 m  1 signal"), std::string::npos) << t;
  EXPECT_NE(t.find("14 (70 km/h)"), std::string::npos);
  EXPECT_NE(t.find("103 (+3 \u2030)"), std::string::npos);
  EXPECT_NE(t.find("14 sign"), std::string::npos);
  std::array<voce_tabella, posti_tabella> tab{};
  tab[1].valore3 = 100;
  tab[80].testo = "(F)";
  const std::string s = ispeziona_in(codifica_tabella(tab).vista(), genere_binario::tabella);
  EXPECT_NE(s.find("station 1"), std::string::npos);
  EXPECT_NE(s.find("sign"), std::string::npos);
  EXPECT_NE(s.find("line: repetition, sand, clock"), std::string::npos);
}

TEST(Ispezione, MalformedFilesAreRefusedWithTheirOffsetAndNoOutput) {
  std::array<voce_tabella, posti_tabella> tab{};
  const std::string tabella(codifica_tabella(tab).vista());
  std::string testo_lungo = tabella;
  testo_lungo[14] = '\x10';  // slot 0's text is 16 bytes: it runs into the rest
  static const struct {
    std::string dati;
    genere_binario g;
    std::size_t offset;
  } casi[] = {
      {std::string(16, '\0'), genere_binario::celle, 15},                        // not whole cells
      {tabella.substr(0, tabella.size() - 3), genere_binario::tabella, 2954},    // truncated slot 86
      {tabella + "x", genere_binario::tabella, 2958},                            // bytes after slot 86
      {std::string("\x03\x00", 2), genere_binario::planimetria, 0},             // unknown kind
      {std::string("\x02\x00\x01", 3), genere_binario::planimetria, 2},         // truncated value
      {std::string("\x00\x00", 2), genere_binario::planimetria, 2},             // odd number of values
  };
  for (const auto& c : casi) {
    std::ostringstream uscita;
    for (bool json : {false, true}) {
      opzioni_ispezione o;
      o.json = json;
      try {
        ispeziona(c.dati, "f", c.g, o, uscita);
        ADD_FAILURE() << "accepted " << c.dati.size() << " bytes";
      } catch (const errore_formato& e) {
        EXPECT_EQ(e.posizione(), c.offset) << e.what();
      }
    }
    EXPECT_EQ(uscita.str(), "");
  }
  testo_lungo.resize(20);
  EXPECT_THROW(ispeziona_in(testo_lungo, genere_binario::tabella), errore_formato);
}

TEST(Ispezione, KindFromTheNameOrTheOption) {
  EXPECT_EQ(genere_da_nome("a/S_linea.dat"), genere_binario::planimetria);
  EXPECT_EQ(genere_da_nome("S_4715.sim"), genere_binario::tabella);
  EXPECT_EQ(genere_da_nome("S_4715.dat"), genere_binario::celle);
  EXPECT_EQ(genere_da_nome("S_linea.txt"), std::nullopt);
  EXPECT_EQ(genere_da_parola("plan"), genere_binario::planimetria);
  EXPECT_EQ(genere_da_parola("cell"), std::nullopt);
}

// A malformed file prints nothing that looks whole: in text nothing at all,
// with --json only the error object.
TEST(Ispezione, CommandLineRefusesAMalformedFileWithStatus2AndNoTable) {
  test::cartella_temporanea dir;
  test::scrivi(dir / "S_1.dat", std::string(20, '\0'));
  const auto t = test::esegui_tracciato({"inspect", "S_1.dat"}, dir.percorso());
  EXPECT_EQ(t.stato, 2);
  EXPECT_EQ(t.uscita, "");
  const auto e = test::esegui_tracciato({"inspect", "S_1.dat", "--json"}, dir.percorso());
  EXPECT_EQ(e.stato, 2);
  EXPECT_EQ(e.uscita,
            "{\"error\":\"S_1.dat: byte 15: the size 20 is not a whole number of 15-byte cells\",\"exit_status\":2}\n");
  EXPECT_EQ(e.errori, "tracciato: error: S_1.dat: byte 15: the size 20 is not a whole number of 15-byte cells\n");
  const auto k = test::esegui_tracciato({"inspect", "S_1.dat", "--kind", "plan"}, dir.percorso());
  EXPECT_EQ(k.stato, 0);
  EXPECT_NE(k.uscita.find("rows 0 to 4"), std::string::npos) << k.uscita;
}

}  // namespace
}  // namespace tracciato
