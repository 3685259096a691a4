#include "compactor/decodifica.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <tuple>

#include "compactor/compattatore.h"
#include "compactor/formato.h"

namespace tracciato {
namespace {

// Every member, named here rather than taken from the field lists, so that a
// field the lists leave out shows as a difference.
auto membri(const cella& c) {
  return std::tie(c.tipo_cella, c.valore_a, c.valore_b, c.valore_c, c.valore_d, c.tempo_segnale, c.segno_approccio,
                  c.tipo_montagna, c.vel_limite, c.pendenza_cella, c.aderenza_cella);
}
auto membri(const voce_tabella& v) {
  return std::tie(v.tipo_record, v.valore1, v.valore2, v.valore3, v.tipo2, v.testo, v.intero1, v.intero2, v.intero3,
                  v.intero4, v.intero5, v.byte1, v.byte2, v.byte3, v.byte4, v.valore4);
}

TEST(Decodifica, CellsComeBackFieldByField) {
  std::vector<cella> celle(3);
  celle[1] = {12, 5121, -3, INT16_MIN, INT16_MAX, 5, 255, 7, 8, 85, 100};
  celle[2] = {255, -1, 0x102, -32767, 4, 0x80, 1, 2, 3, 4, 5};
  const byte_file b = codifica_celle(celle);
  const std::vector<cella> lette = decodifica_celle(b.vista(), "S_4715.dat");
  ASSERT_EQ(lette.size(), celle.size());
  for (std::size_t i = 0; i < celle.size(); ++i) EXPECT_EQ(membri(lette[i]), membri(celle[i])) << "cell " << i;
  EXPECT_TRUE(decodifica_celle("", "S_4715.dat").empty());
}

// Read a block of cells at a time where the file lies: the same cells as the
// whole file's bytes give, across the blocks' edges; the same refusal of a
// size that is no whole number of cells; the comparison with a grid fails on
// one byte changed anywhere.
TEST(Decodifica, CellsReadInPiecesAreTheWholeFilesCells) {
  std::vector<cella> celle(9000);
  for (std::size_t i = 0; i < celle.size(); ++i)
    celle[i] = {static_cast<uint8_t>(i), static_cast<int16_t>(i * 7), -1, 0, static_cast<int16_t>(i), 1, 2, 3,
                static_cast<uint8_t>(i >> 8), 100, 85};
  const std::string dati(codifica_celle(celle).vista());
  const std::vector<cella> intere = decodifica_celle(dati, "S_T.dat");
  const std::vector<cella> a_pezzi = decodifica_celle(dati.size(), lettura_in_memoria(dati), "S_T.dat");
  ASSERT_EQ(a_pezzi.size(), intere.size());
  for (std::size_t i = 0; i < intere.size(); ++i) ASSERT_EQ(membri(a_pezzi[i]), membri(intere[i])) << "cell " << i;

  const std::string corto = dati.substr(0, dati.size() - 4);
  std::string atteso, avuto;
  try {
    decodifica_celle(corto, "S_T.dat");
  } catch (const errore_formato& e) {
    atteso = e.what();
  }
  try {
    decodifica_celle(corto.size(), lettura_in_memoria(corto), "S_T.dat");
  } catch (const errore_formato& e) {
    avuto = e.what();
  }
  EXPECT_FALSE(atteso.empty());
  EXPECT_EQ(avuto, atteso);

  EXPECT_TRUE(stesse_celle(celle, dati.size(), lettura_in_memoria(dati)));
  EXPECT_FALSE(stesse_celle(celle, corto.size(), lettura_in_memoria(corto)));
  for (std::size_t o : {std::size_t{0}, std::size_t{61439}, std::size_t{61440}, dati.size() - 1}) {
    std::string f = dati;
    f[o] = static_cast<char>(f[o] ^ 1);
    EXPECT_FALSE(stesse_celle(celle, f.size(), lettura_in_memoria(f))) << "byte " << o;
  }
}

TEST(Decodifica, RecordTableComesBackFieldByField) {
  std::array<voce_tabella, posti_tabella> t{};
  t[1] = {0x81, INT32_MIN, -1, 0x01020304, 0xff, "Stazione \xe8 \x80\xff", 610, -2, INT16_MIN, INT16_MAX, 5,
          6, 0x80, 8, 255, 82875};
  t[80].testo = std::string(40000, '\xe8');  // a length past 0x7fff is unsigned
  t[85] = {0, -82875, 2, 3, 0, "VessolantaC_OrmelaC", 610, 0, 0, 0, 0, 0, 0, 0, 0, 82875};
  const byte_file b = codifica_tabella(t);
  const auto letta = decodifica_tabella(b.vista(), "S_4715.sim");
  for (std::size_t i = 0; i < t.size(); ++i) EXPECT_EQ(membri(letta[i]), membri(t[i])) << "slot " << i;
  EXPECT_EQ(byte_fissi_voce(), byte_voce_vuota);
}

TEST(Decodifica, TrackPlanKeepsEveryKindAndEveryBit) {
  planimetria_t p;
  p.alloca_righe(4);
  p.imposta_intero(0, 0, 0);
  p.imposta_intero(0, 1, -32768);
  p.imposta_intero(1, 0, 32767);
  p.imposta_intero(1, 1, 1);
  p.imposta_reale(2, 0, -0.0);
  p.imposta_reale(2, 1, 1e300);
  p.imposta_reale(3, 0, std::nextafter(1.0, 2.0));
  p.imposta_reale(3, 1, -123.456);
  // row 4 stays empty
  const byte_file b = codifica_planimetria(p);
  const planimetria_t letta = decodifica_planimetria(b.vista(), "S_linea.dat");
  ASSERT_EQ(letta.righe(), 5);
  for (int32_t r = 0; r < 5; ++r)
    for (int c = 0; c < 2; ++c) {
      SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
      EXPECT_EQ(letta.tipo(r, c), p.tipo(r, c));
      EXPECT_EQ(std::bit_cast<uint64_t>(letta.valore(r, c)), std::bit_cast<uint64_t>(p.valore(r, c)));
    }
  EXPECT_EQ(letta.tipo(4, 1), tipo_voce::vuota);
  EXPECT_EQ(codifica_planimetria(letta).vista(), b.vista());
  EXPECT_FALSE(decodifica_planimetria("", "S_linea.dat").allocata());
}

std::string byte(std::initializer_list<int> b) {
  std::string r;
  for (int x : b) r.push_back(static_cast<char>(x));
  return r;
}

TEST(Decodifica, MalformedFilesNameTheFileAndTheByte) {
  const std::string tabella_vuota(87 * 34, '\0');
  std::string testo_lungo = tabella_vuota;
  testo_lungo[14] = testo_lungo[15] = '\xff';  // slot 0's text claims 65535 bytes
  using decodifica = void (*)(std::string_view, std::string_view);
  const decodifica celle = [](std::string_view d, std::string_view n) { decodifica_celle(d, n); };
  const decodifica tabella = [](std::string_view d, std::string_view n) { decodifica_tabella(d, n); };
  const decodifica piano = [](std::string_view d, std::string_view n) { decodifica_planimetria(d, n); };
  static const struct {
    decodifica funzione;
    const char* nome;
    std::string dati;
    std::size_t posizione;
    const char* messaggio;
  } casi[] = {
      {celle, "S_4715.dat", std::string(31, '\0'), 30,
       "S_4715.dat: byte 30: the size 31 is not a whole number of 15-byte cells"},
      {tabella, "S_4715.sim", tabella_vuota.substr(0, 87 * 34 - 3), 2954,
       "S_4715.sim: byte 2954: slot 86 ends early: valore4 needs 4 bytes, 1 byte left"},
      {tabella, "S_4715.sim", testo_lungo, 14,
       "S_4715.sim: byte 14: slot 0 ends early: testo is 65535 bytes long, 2942 bytes left"},
      {tabella, "S_4715.sim", tabella_vuota.substr(0, 86 * 34), 2924,
       "S_4715.sim: byte 2924: the file ends after 86 of the 87 record slots"},
      {tabella, "S_4715.sim", tabella_vuota + byte({0, 0}), 2958,
       "S_4715.sim: byte 2958: 2 bytes follow the last record slot, 86"},
      {piano, "S_linea.dat", byte({2, 0, 1, 0, 3, 0}), 4, "S_linea.dat: byte 4: value 1 has the unknown kind 3"},
      {piano, "S_linea.dat", byte({5, 0, 1, 2, 3}), 2,
       "S_linea.dat: byte 2: value 0 ends early: its double needs 8 bytes, 3 bytes left"},
      {piano, "S_linea.dat", byte({0, 0, 5}), 2,
       "S_linea.dat: byte 2: value 1 ends early: the kind code needs 2 bytes, 1 byte left"},
      {piano, "S_linea.dat", byte({0, 0, 2, 0, 1, 0, 0, 0}), 8,
       "S_linea.dat: byte 8: an odd number of values (3) cannot be every x and then every y"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.messaggio);
    try {
      c.funzione(c.dati, c.nome);
      ADD_FAILURE() << "accepted";
    } catch (const errore_formato& e) {
      EXPECT_STREQ(e.what(), c.messaggio);
      EXPECT_EQ(e.posizione(), c.posizione);
      EXPECT_EQ(e.nome_file(), c.nome);
    }
  }
}

}  // namespace
}  // namespace tracciato
