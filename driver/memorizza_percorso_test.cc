// A run from two text files to the binary files: which files it reads,
// deletes and writes, and the faults it lists.
#include "driver/memorizza_percorso.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "compactor/compattatore.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;

const std::string linea_buona =
    "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\npendenza, 0, 2\r\n[fine]\r\n";
const std::string treno_buono = "[generale]\r\nnumero vetture, 3\r\n[fine]\r\n";

scenario con_nomi() {
  scenario s;
  s.nome_scenario = "S";
  s.numero_treno = "T";
  return s;
}

// The built-in run's rule: the line file is deleted whenever it was read; the
// train file once the load got to it, or when a read failure ended the load.
// Without a line file nothing is read and nothing deleted.
TEST(MemorizzaPercorso, DeletesTheTextFilesWhereTheRunDoes) {
  static const struct {
    const char* nome;
    std::optional<std::string> linea, treno;
    int32_t codice;
    bool resta_linea, resta_treno;
    size_t scritti;
  } casi[] = {
      {"clean", linea_buona, treno_buono, 0, false, false, 3},
      {"no line file", std::nullopt, treno_buono, 101, false, true, 0},
      {"no [generale]", "a,b\r\n", treno_buono, 102, false, true, 0},
      {"line fault ends the load", "[generale]\r\nlunghezza percorso, 2000000\r\n[fine]\r\n", treno_buono, 1,
       false, true, 0},
      {"line read failure", "[generale]\r\nlunghezza percorso, 10km\r\n[fine]\r\n", treno_buono, 25, false,
       false, 0},
      {"no train file", linea_buona, std::nullopt, 25, false, false, 3},
      {"train read failure", linea_buona, "[generale]\r\nsabbia, molta\r\n[fine]\r\n", 25, false, false, 3},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    cartella_temporanea dir;
    const ingresso_percorso in{.linea = dir / "S_linea.txt", .treno = dir / "S_T-.txt", .cancella = true};
    if (c.linea) test::scrivi(in.linea, *c.linea);
    if (c.treno) test::scrivi(in.treno, *c.treno);
    scenario s = con_nomi();
    const auto scritti = memorizza_percorso(s, 1, in, dir.percorso());
    EXPECT_EQ(s.codice_errore, c.codice);
    EXPECT_EQ(fs::exists(in.linea), c.resta_linea);
    EXPECT_EQ(fs::exists(in.treno), c.resta_treno && c.treno.has_value());
    EXPECT_EQ(scritti.size(), c.scritti);
  }
}

// compile reads the author's files as they are and leaves them.
TEST(MemorizzaPercorso, WithoutDeletionTheInputsStay) {
  cartella_temporanea dir;
  const ingresso_percorso in{.linea = dir / "l.txt", .treno = dir / "t.txt", .cancella = false};
  test::scrivi(in.linea, linea_buona);
  test::scrivi(in.treno, treno_buono);
  scenario s = con_nomi();
  EXPECT_EQ(memorizza_percorso(s, 0, in, dir.percorso()).size(), 2u);
  EXPECT_EQ(test::leggi(in.linea), linea_buona);
  EXPECT_EQ(test::leggi(in.treno), treno_buono);
  EXPECT_EQ(dir.elenco(), (std::vector<std::string>{"S_T.dat", "S_T.sim", "l.txt", "t.txt"}));
}

// Every fault is kept in order with its own file and line; the last number
// and position stay what the format says. A board past the end in the line
// file is listed at its line-file line, and the train load that stops at its
// first signal because of it points back at it.
TEST(MemorizzaPercorso, FaultsAreListedAtTheirOwnPlaces) {
  cartella_temporanea dir;
  const ingresso_percorso in{.linea = dir / "l.txt", .treno = dir / "t.txt", .cancella = false};
  test::scrivi(in.linea,
               "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\n  cartello_indicatore, 16950, (A)\r\n[fine]\r\n");
  test::scrivi(in.treno, "[generale]\r\nnumero vetture, 3\r\nsegnale, 4700, 1, 3, 4, 0, 0, 0, 0,0,0, 0\r\n[fine]\r\n");
  scenario s = con_nomi();
  memorizza_percorso(s, 1, in, dir.percorso());
  EXPECT_EQ(s.codice_errore, 15);
  EXPECT_EQ(s.posizione_errore, 4700);
  ASSERT_EQ(s.guasti.size(), 2u);
  const guasto& a = s.guasti[0];
  EXPECT_EQ(a.numero, 15);
  EXPECT_EQ(a.posizione, 16950);
  EXPECT_EQ(a.file, in.linea.string());
  EXPECT_EQ(a.riga, 4);
  EXPECT_EQ(a.colonna, 3);
  EXPECT_EQ(a.citazione, "\"cartello_indicatore\"");
  EXPECT_EQ(a.causa, -1);
  const guasto& b = s.guasti[1];
  EXPECT_EQ(b.numero, 15);
  EXPECT_EQ(b.posizione, 4700);
  EXPECT_EQ(b.file, in.treno.string());
  EXPECT_EQ(b.riga, 3);
  EXPECT_EQ(b.causa, 0);
}

// A run keeps nothing of an earlier one but the names.
TEST(MemorizzaPercorso, StartsFromAFreshModel) {
  cartella_temporanea dir;
  const ingresso_percorso in{.linea = dir / "l.txt", .treno = dir / "t.txt", .cancella = false};
  test::scrivi(in.linea, linea_buona);
  test::scrivi(in.treno, treno_buono);
  scenario s = con_nomi();
  s.codice_errore = 12;
  registra_errore(s, 12, 50);
  s.numero_montagne = 5;
  s.tabella[7].testo = "old";
  s.celle.assign(3, cella{});
  memorizza_percorso(s, 1, in, dir.percorso());
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_TRUE(s.guasti.empty());
  EXPECT_EQ(s.numero_montagne, 0);
  EXPECT_EQ(s.tabella[7].testo, "");
  EXPECT_EQ(s.nome_scenario, "S");
  EXPECT_EQ(ultima_cella(s), 340);
}

scenario pronto() {
  scenario s = con_nomi();
  s.celle.assign(4, cella{});
  s.planimetria.alloca_righe(10);
  return s;
}

TEST(ScriviFileBinari, ReplacesStaleFilesWholeAndListsThemInOrder) {
  cartella_temporanea dir;
  for (const char* n : {"S_linea.dat", "S_T.sim", "S_T.dat"}) test::scrivi(dir / n, std::string(100000, 'x'));
  scenario s = pronto();
  s.scrivi_linea = 1;
  const auto scritti = scrivi_file_binari(s, dir.percorso());
  // Rows 0 to 10 of a plan whose load ended before its origin: all empty.
  EXPECT_EQ(test::leggi(dir / "S_linea.dat"), std::string(2 * 11 * 2, '\0'));
  EXPECT_EQ(test::leggi(dir / "S_T.sim"), std::string(87 * 34, '\0'));
  EXPECT_EQ(test::leggi(dir / "S_T.dat"), std::string(60, '\0'));
  EXPECT_EQ(scritti, (std::vector<fs::path>{dir / "S_linea.dat", dir / "S_T.sim", dir / "S_T.dat"}));
  EXPECT_EQ(dir.elenco(), (std::vector<std::string>{"S_T.dat", "S_T.sim", "S_linea.dat"}));
}

TEST(ScriviFileBinari, WithoutTheSwitchAnOldLineDataFileStays) {
  cartella_temporanea dir;
  test::scrivi(dir / "S_linea.dat", "old");
  scenario s = pronto();
  s.scrivi_linea = 0;
  const auto scritti = scrivi_file_binari(s, dir.percorso());
  EXPECT_EQ(test::leggi(dir / "S_linea.dat"), "old");
  EXPECT_EQ(scritti, (std::vector<fs::path>{dir / "S_T.sim", dir / "S_T.dat"}));
}

TEST(ScriviFileBinari, ATooLongTextWritesNothing) {
  cartella_temporanea dir;
  scenario s = pronto();
  s.scrivi_linea = 1;
  s.tabella[80].testo = std::string(70000, 'a');
  EXPECT_THROW(scrivi_file_binari(s, dir.percorso()), std::runtime_error);
  EXPECT_TRUE(dir.elenco().empty());
}

}  // namespace
}  // namespace tracciato
