// End to end: the real executable compiles the small line and train files in
// tests/fixtures.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;

const fs::path fixtures = TRACCIATO_FIXTURES;

using esito = test::esito_processo;

// Runs tracciato with args from the folder uscite.
esito esegui(const cartella_temporanea& uscite, const std::vector<std::string>& args) {
  return test::esegui_tracciato(args, uscite.percorso());
}

// A compile of the fixture files line and train into dir as S and T.
struct compilazione {
  cartella_temporanea dir;
  cartella_temporanea uscite;
  esito esegui_compile(const std::string& linea, const std::string& treno, std::vector<std::string> altri = {}) {
    std::vector<std::string> args = {"compile", "--line", (fixtures / linea).string(), "--train",
                                     (fixtures / treno).string(), "--name", "S", "--train-number", "T",
                                     "--dir", dir.percorso().string()};
    args.insert(args.end(), altri.begin(), altri.end());
    return esegui(uscite, args);
  }
};

// tipo_cella and valore_a of cell i in a cell file.
std::pair<int, int> cella_in(const std::string& dat, int i) {
  const auto b = [&](int k) { return static_cast<unsigned char>(dat.at(i * 15 + k)); };
  return {b(0), static_cast<int16_t>(b(1) | b(2) << 8)};
}

TEST(Compile, WritesTheThreeFilesAndLeavesTheInputsAsTheyWere) {
  const std::string linea = test::leggi(fixtures / "linea.txt");
  const std::string treno = test::leggi(fixtures / "treno.txt");
  compilazione c;
  test::scrivi(c.dir / "S_T.dat", std::string(100000, 'x'));  // stale and longer
  const esito e = c.esegui_compile("linea.txt", "treno.txt");
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "no fault\n");
  EXPECT_EQ(c.dir.elenco(), (std::vector<std::string>{"S_T.dat", "S_T.sim", "S_linea.dat"}));
  EXPECT_EQ(test::leggi(fixtures / "linea.txt"), linea);
  EXPECT_EQ(test::leggi(fixtures / "treno.txt"), treno);

  // 10000 m of line: 17000 m with the tail, cells 0 to 340, plan rows 0 to 17000.
  const std::string dat = test::leggi(c.dir / "S_T.dat");
  ASSERT_EQ(dat.size(), 341u * 15);
  EXPECT_EQ(test::leggi(c.dir / "S_linea.dat").size(), 2u * (4 + 4 + 10 * (17000 - 3) + 2 + 2));
  // Record table: the texts S, T, PARTENZA and (F).
  EXPECT_EQ(test::leggi(c.dir / "S_T.sim").size(), 87u * 34 + 1 + 1 + 8 + 3);
  EXPECT_EQ(cella_in(dat, 1).second, 5121);

  // Slowdown from 5000 m: board in cell 77, start 101, end 121; signals in
  // cells 61 and 127. Code points: before the signal behind the board (60),
  // the three windows (96, 90, 83), inside (109, 117), before the signal
  // after the end (126).
  std::vector<int> codici;
  for (int i = 0; i < 341; ++i)
    if (cella_in(dat, i).first == 12) {
      codici.push_back(i);
      EXPECT_EQ(cella_in(dat, i).second, 180) << i;
    }
  EXPECT_EQ(codici, (std::vector<int>{60, 83, 90, 96, 109, 117, 126}));
}

TEST(Compile, NoPlanLeavesOutTheLineDataFile) {
  compilazione c;
  const esito e = c.esegui_compile("linea.txt", "treno.txt", {"--no-plan"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(c.dir.elenco(), (std::vector<std::string>{"S_T.dat", "S_T.sim"}));
}

TEST(Compile, ARecordedFaultNamesItsFileAndLineAndStillWritesWithStatus1) {
  compilazione c;
  esito e = c.esegui_compile("linea.txt", "treno_segnale_doppio.txt");
  EXPECT_EQ(e.stato, 1) << e.errori;
  const std::string treno = (fixtures / "treno_segnale_doppio.txt").string();
  EXPECT_EQ(e.uscita, treno + ":16:1: error: fault 16 at 3000 m: signal on an occupied cell\n");
  EXPECT_EQ(c.dir.elenco().size(), 3u);

  e = c.esegui_compile("linea.txt", "treno_segnale_doppio.txt", {"--json"});
  EXPECT_EQ(e.stato, 1);
  const auto j = nlohmann::json::parse(e.uscita);
  EXPECT_EQ(j["codice_errore"], 16);
  EXPECT_EQ(j["posizione_errore"], 3000);
  EXPECT_EQ(j["message"], treno + ":16:1: error: fault 16 at 3000 m: signal on an occupied cell");
  EXPECT_EQ(j["file"], treno);
  EXPECT_EQ(j["line"], 16);
  EXPECT_EQ(j["files_written"],
            (nlohmann::json{(c.dir / "S_linea.dat").string(), (c.dir / "S_T.sim").string(),
                            (c.dir / "S_T.dat").string()}));
}

// --json, --strict and --dir apply wherever they are written.
TEST(Compile, OptionsBeforeTheCommandApplyToIt) {
  compilazione c;
  const std::vector<std::string> resto = {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
                                          (fixtures / "treno_segnale_doppio.txt").string(), "--name", "S",
                                          "--train-number", "T"};
  auto con = [&](std::vector<std::string> prima) {
    prima.insert(prima.end(), resto.begin(), resto.end());
    return esegui(c.uscite, prima);
  };
  EXPECT_EQ(con({"--strict", "--dir", c.dir.percorso().string()}).stato, 1);
  EXPECT_TRUE(c.dir.elenco().empty());  // with --strict a fault replaces nothing
  const esito e = con({"--json", "--dir", c.dir.percorso().string()});
  EXPECT_EQ(nlohmann::json::parse(e.uscita)["codice_errore"], 16);
  // A folder before the command and another after it: which one is meant?
  std::vector<std::string> doppia = {"--dir", c.uscite.percorso().string()};
  doppia.insert(doppia.end(), resto.begin(), resto.end());
  doppia.insert(doppia.end(), {"--dir", c.dir.percorso().string()});
  const esito e2 = esegui(c.uscite, doppia);
  EXPECT_EQ(e2.stato, 2);
  EXPECT_NE(e2.errori.find("--dir is given twice"), std::string::npos) << e2.errori;
}

TEST(Compile, WritesIntoTheCurrentFolderByDefault) {
  cartella_temporanea dir;
  const esito e = test::esegui_tracciato({"compile", "--line", (fixtures / "linea.txt").string(), "--train",
                                          (fixtures / "treno.txt").string(), "--name", "S", "--train-number",
                                          "T", "--no-plan"},
                                         dir.percorso());
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(dir.elenco(), (std::vector<std::string>{"S_T.dat", "S_T.sim"}));
}

TEST(Compile, JsonOfACleanRun) {
  compilazione c;
  const esito e = c.esegui_compile("linea.txt", "treno.txt", {"--json", "--no-plan"});
  EXPECT_EQ(e.stato, 0);
  const auto j = nlohmann::json::parse(e.uscita);
  EXPECT_EQ(j["codice_errore"], 0);
  EXPECT_TRUE(j["posizione_errore"].is_null());
  EXPECT_EQ(j["message"], "no fault");
  EXPECT_TRUE(j["file"].is_null());
  EXPECT_TRUE(j["line"].is_null());
  EXPECT_EQ(j["files_written"].size(), 2u);
}

// A compile with no fault still says when the check would warn, in text and in JSON.
TEST(Compile, NoFaultCountsTheWarningsOfTheCheck) {
  compilazione c;
  cartella_temporanea testi;
  std::string treno = test::leggi(fixtures / "treno.txt");
  treno.insert(treno.find("[stazioni]"), "velocita, 9000, 999\r\n");
  treno.insert(treno.find("[aderenze]"), "numero vetture, 500\r\n");
  test::scrivi(testi / "treno.txt", treno);
  for (const bool json : {false, true}) {
    std::vector<std::string> args = {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
                                     (testi / "treno.txt").string(), "--name", "S", "--train-number", "T",
                                     "--dir", c.dir.percorso().string()};
    if (json) args.push_back("--json");
    const esito e = esegui(c.uscite, args);
    EXPECT_EQ(e.stato, 0) << e.errori;
    if (json)
      EXPECT_EQ(nlohmann::json::parse(e.uscita)["check_warnings"], 2);
    else
      EXPECT_EQ(e.uscita, "no fault\n2 warnings: run tracciato check\n");
  }
  EXPECT_EQ(nlohmann::json::parse(c.esegui_compile("linea.txt", "treno.txt", {"--json"}).uscita)["check_warnings"],
            0);
}

TEST(Compile, ASignalAtPositionZeroStopsWith1250AndWritesNothing) {
  compilazione c;
  const esito e = c.esegui_compile("linea.txt", "treno_segnale_a_zero.txt");
  EXPECT_EQ(e.stato, 2);
  // The item in cell 1, at its place as the check names it.
  EXPECT_NE(e.uscita.find("treno_segnale_a_zero.txt:"), std::string::npos) << e.uscita;
  EXPECT_EQ(e.errori,
            "  segnale,     0, 1, 3, 4, 0, 0, 0, 0,0,0, 0\n  ^\n"
            "tracciato: error: no binary file was written:  Errore n. 1250; no earlier binary file of these names "
            "is in the folder\n");
  EXPECT_TRUE(c.dir.elenco().empty());
}

TEST(Compile, NoGridNoBinaryFile) {
  compilazione c;
  const esito e = c.esegui_compile("linea_senza_generale.txt", "treno.txt", {"--json"});
  EXPECT_EQ(e.stato, 2);
  const auto j = nlohmann::json::parse(e.uscita);
  EXPECT_EQ(j["codice_errore"], 102);
  EXPECT_EQ(j["message"], (fixtures / "linea_senza_generale.txt").string() +
                              ": error: fault 102: the line file has no [generale] section");
  EXPECT_TRUE(j["files_written"].empty());
  EXPECT_NE(e.errori.find("no binary file was written"), std::string::npos);
  EXPECT_TRUE(c.dir.elenco().empty());
}

TEST(Compile, RefusesNamesThatAreEmptyOrLeaveTheFolder) {
  static const struct {
    const char* nome;
    const char* numero;
    const char* motivo;
  } casi[] = {{"", "T", "must"},       {"S", "", "must"},       {"../S", "T", "must"},
              {"S", "a/b", "must"},    {"/tmp/S", "T", "must"}, {"S", "..\\T", "must"},
              // the cell file S_linea.dat would overwrite the line data file
              {"S", "linea", "choose another train number"}};
  for (const auto& caso : casi) {
    SCOPED_TRACE(std::string(caso.nome) + " " + caso.numero);
    cartella_temporanea dir, uscite;
    const esito e = esegui(uscite, {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
                                    (fixtures / "treno.txt").string(), "--name", caso.nome, "--train-number",
                                    caso.numero, "--dir", dir.percorso().string()});
    EXPECT_EQ(e.stato, 2);
    EXPECT_NE(e.errori.find(caso.motivo), std::string::npos) << e.errori;
    EXPECT_TRUE(dir.elenco().empty());
  }
}

TEST(Compile, OtherFilesInTheFolderAreNeverTouched) {
  // Files that bear the built-in run's names of the text files, even the
  // inputs themselves, stay as they were.
  compilazione c;
  fs::copy_file(fixtures / "linea.txt", c.dir / "S_linea.txt");
  test::scrivi(c.dir / "S_T-.txt", "the author's notes");
  const esito e = esegui(c.uscite, {"compile", "--line", (c.dir / "S_linea.txt").string(), "--train",
                                    (fixtures / "treno.txt").string(), "--name", "S", "--train-number", "T",
                                    "--dir", c.dir.percorso().string()});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(test::leggi(c.dir / "S_linea.txt"), test::leggi(fixtures / "linea.txt"));
  EXPECT_EQ(test::leggi(c.dir / "S_T-.txt"), "the author's notes");
  EXPECT_EQ(c.dir.elenco(), (std::vector<std::string>{"S_T-.txt", "S_T.dat", "S_T.sim", "S_linea.dat",
                                                      "S_linea.txt"}));
}

TEST(Compile, RefusesAnInputThatItWouldReplace) {
  compilazione c;
  fs::copy_file(fixtures / "treno.txt", c.dir / "S_T.dat");
  const esito e = esegui(c.uscite, {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
                                    (c.dir / "S_T.dat").string(), "--name", "S", "--train-number", "T",
                                    "--dir", c.dir.percorso().string()});
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find("is a file that the compile writes"), std::string::npos) << e.errori;
  EXPECT_EQ(test::leggi(c.dir / "S_T.dat"), test::leggi(fixtures / "treno.txt"));
  EXPECT_EQ(c.dir.elenco(), std::vector<std::string>{"S_T.dat"});
}

}  // namespace
}  // namespace tracciato
