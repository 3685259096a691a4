// End to end: tracciato check and watch, and what the compile adds after its
// summary line, on the files in tests/fixtures.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <thread>

#include "platform/processo.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;

const fs::path fixtures = TRACCIATO_FIXTURES;

test::esito_processo check(const std::string& linea, const std::string& treno, std::vector<std::string> altri = {}) {
  cartella_temporanea dir;
  std::vector<std::string> args = {"check", "--line", (fixtures / linea).string(), "--train",
                                   (fixtures / treno).string()};
  args.insert(args.end(), altri.begin(), altri.end());
  return test::esegui_tracciato(args, dir.percorso());
}

TEST(Check, ExitStatusAndTotals) {
  test::esito_processo e = check("linea.txt", "treno.txt");
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "0 errors, 0 warnings\n");

  e = check("sbagli_linea.txt", "sbagli_treno.txt");
  EXPECT_EQ(e.stato, 2) << e.errori;
  const std::string linea = (fixtures / "sbagli_linea.txt").string();
  // The form editors jump to, the source line, a caret under the column, the hint.
  // The position field at fault, and the record that took the cell first.
  EXPECT_NE(e.uscita.find(linea + ":25:22: error: fault 6 at 3000 m: lineside sign on an occupied cell: cell 61 "
                                  "(3050 to 3099 m) already holds a speed indicator board (" + linea + " line 22)\n"
                                  "  cartello_indicatore, 3000, (F)\n"
                                  "                       ^\n"
                                  "  hint: move the sign to a free 50 m cell\n"),
            std::string::npos)
      << e.uscita;
  EXPECT_TRUE(e.uscita.ends_with(" warnings\n")) << e.uscita;
  EXPECT_TRUE(e.uscita.find("\n5 errors, ") != std::string::npos) << e.uscita;

  // Warnings only: 1, and 2 with --strict. The built-in scenario has no error.
  cartella_temporanea dir;
  ASSERT_EQ(test::esegui_tracciato({"sources", "--dir", "."}, dir.percorso()).stato, 0);
  const std::vector<std::string> incorporato = {"check", "--line", "VessolantaC_OrmelaC_linea.txt", "--train",
                                                "VessolantaC_OrmelaC_4715-.txt"};
  e = test::esegui_tracciato(incorporato, dir.percorso());
  EXPECT_EQ(e.stato, 1) << e.uscita;
  EXPECT_TRUE(e.uscita.find("\n0 errors, ") != std::string::npos) << e.uscita;
  auto strict = incorporato;
  strict.push_back("--strict");
  EXPECT_EQ(test::esegui_tracciato(strict, dir.percorso()).stato, 2);

  // Each warning ends with its code, and --allow leaves that code out: the
  // built-in scenario's four are all items in the run-out past the end.
  EXPECT_NE(e.uscita.find("in the 7000 m run-out beyond it [W204]\n"), std::string::npos) << e.uscita;
  auto permesso = incorporato;
  permesso.insert(permesso.end(), {"--allow", "W204", "--allow", "W229"});
  e = test::esegui_tracciato(permesso, dir.percorso());
  EXPECT_EQ(e.stato, 0) << e.uscita;
  EXPECT_EQ(e.uscita, "0 errors, 0 warnings\n");
  for (const char* sbagliato : {"204", "w204", "W20", "E25"}) {
    auto s = incorporato;
    s.insert(s.end(), {"--allow", sbagliato});
    e = test::esegui_tracciato(s, dir.percorso());
    EXPECT_EQ(e.stato, 2) << sbagliato;
    EXPECT_NE(e.errori.find("W and three digits"), std::string::npos) << e.errori;
  }
}

TEST(Check, Json) {
  const test::esito_processo e = check("sbagli_linea.txt", "sbagli_treno.txt", {"--json"});
  EXPECT_EQ(e.stato, 2);
  const auto j = nlohmann::json::parse(e.uscita);
  EXPECT_EQ(j["errors"], 5);
  EXPECT_EQ(j["problems"].size(), static_cast<size_t>(j["errors"].get<int>() + j["warnings"].get<int>()));
  const auto& primo = j["problems"][0];
  for (const char* k : {"severity", "code", "file", "line", "column", "position", "message", "hint"})
    EXPECT_TRUE(primo.contains(k)) << k;
  EXPECT_EQ(primo["severity"], "warning");
  EXPECT_TRUE(primo["code"].is_null());
  EXPECT_EQ(primo["line"], 11);
  // A warning has its own code; an error has its fault number and none.
  for (const auto& p : j["problems"])
    EXPECT_EQ(p["id"].is_string(), p["severity"] == "warning") << p.dump();
  // Each problem at a field spans that field: its start column and the one just past it.
  for (const auto& p : j["problems"]) {
    if (p["column"].get<int>() > 0) {
      EXPECT_GT(p["end_column"].get<int>(), p["column"].get<int>()) << p.dump();
    }
  }
  const auto campo = [&](int riga) {
    for (const auto& p : j["problems"])
      if (p["line"] == riga && p["file"].get<std::string>().ends_with("sbagli_treno.txt")) return p;
    return nlohmann::json();
  };
  // "percentuale massa frenata, 900": the value, not the keyword.
  const auto massa = campo(3);
  ASSERT_FALSE(massa.is_null());
  EXPECT_EQ(massa["column"], 28);
  EXPECT_EQ(massa["end_column"], 31);
}

// Faults the load records without a record of its own (2, 1250) and a record
// that lacks a field: the compile names the place the check names.
TEST(Check, CompileNamesThePlaceOfEveryFault) {
  cartella_temporanea dir;
  std::string linea = test::leggi(fixtures / "linea.txt"), treno = test::leggi(fixtures / "treno.txt");
  linea.replace(linea.find("uno,   0,"), 9, "uno,  10,");
  test::scrivi(dir / "l.txt", linea);
  test::scrivi(dir / "t.txt", treno);
  const std::vector<std::string> compile = {"compile", "--line", "l.txt", "--train", "t.txt", "--name", "S",
                                            "--train-number", "T"};
  auto e = test::esegui_tracciato(compile, dir.percorso());
  EXPECT_TRUE(e.uscita.starts_with("l.txt:3:1: error: fault 2")) << e.uscita;
  auto con_json = compile;
  con_json.push_back("--json");
  e = test::esegui_tracciato(con_json, dir.percorso());
  auto j = nlohmann::json::parse(e.uscita);
  EXPECT_EQ(j["file"], "l.txt");
  EXPECT_EQ(j["line"], 3);

  test::scrivi(dir / "l.txt", test::leggi(fixtures / "linea.txt"));
  treno.insert(treno.rfind("[fine]"), "rallentamento, 0, 30, 1000, 0, 0, 0\r\n");
  test::scrivi(dir / "t.txt", treno);
  e = test::esegui_tracciato(compile, dir.percorso());
  EXPECT_TRUE(e.uscita.starts_with("t.txt:18:1: error: fault 1250")) << e.uscita;
}

// A warning code a user reads on screen can be looked up: docs/faults.md
// lists every code the checker gives, and no code it no longer gives.
TEST(Check, EveryWarningCodeIsDocumented) {
  const fs::path radice = TRACCIATO_SOURCE_DIR;
  const std::regex sigla("\"(W[0-9]{3})\""), riga_doc("\\| (W[0-9]{3}) \\|");
  std::set<std::string> nel_codice, nei_documenti;
  for (const auto& f : fs::directory_iterator(radice / "checker")) {
    const std::string nome = f.path().filename().string();
    if (!nome.ends_with(".cc") || nome.ends_with("_test.cc")) continue;
    const std::string testo = test::leggi(f.path());
    for (std::sregex_iterator i(testo.begin(), testo.end(), sigla), fine; i != fine; ++i) nel_codice.insert((*i)[1]);
  }
  const std::string doc = test::leggi(radice / "docs" / "faults.md");
  for (std::sregex_iterator i(doc.begin(), doc.end(), riga_doc), fine; i != fine; ++i) nei_documenti.insert((*i)[1]);
  EXPECT_FALSE(nel_codice.empty());
  EXPECT_EQ(nel_codice, nei_documenti);
}

TEST(Check, Utf8InputIsConvertedOrNamesTheLine) {
  cartella_temporanea dir;
  std::string treno = test::leggi(fixtures / "treno.txt");
  treno.replace(treno.find("PARTENZA"), 8, "Citt\xC3\xA0");
  test::scrivi(dir / "t.txt", treno);
  const std::string linea = (fixtures / "linea.txt").string();
  auto e = test::esegui_tracciato({"check", "--line", linea, "--train", "t.txt"}, dir.percorso());
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.uscita.find("--input-encoding utf-8"), std::string::npos);
  e = test::esegui_tracciato({"check", "--line", linea, "--train", "t.txt", "--input-encoding", "utf-8"},
                             dir.percorso());
  EXPECT_EQ(e.stato, 0) << e.uscita;
  // The compile stores the converted name: one byte for the accented letter.
  e = test::esegui_tracciato({"compile", "--line", linea, "--train", "t.txt", "--name", "S", "--train-number", "T",
                              "--input-encoding", "utf-8"},
                             dir.percorso());
  EXPECT_EQ(e.uscita, "no fault\n");
  EXPECT_NE(test::leggi(dir / "S_T.sim").find("Citt\xE0"), std::string::npos);

  treno.replace(treno.find("Citt"), 4, "\xE4\xB8\xAD");
  test::scrivi(dir / "t.txt", treno);
  e = test::esegui_tracciato({"compile", "--line", linea, "--train", "t.txt", "--name", "S", "--train-number", "T",
                              "--input-encoding", "utf-8"},
                             dir.percorso());
  EXPECT_NE(e.uscita.find("fault 25"), std::string::npos) << e.uscita;
  EXPECT_NE(e.uscita.find("line 11, column 71: U+4E2D has no Windows-1252 form"), std::string::npos) << e.uscita;
  EXPECT_TRUE(e.uscita.starts_with("t.txt:11:71: error: fault 25")) << e.uscita;
  e = test::esegui_tracciato({"check", "--line", linea, "--train", "t.txt", "--input-encoding", "utf-8"},
                             dir.percorso());
  EXPECT_TRUE(e.uscita.starts_with("t.txt:11:71: error: fault 25")) << e.uscita;
}

// The compile's summary line is unchanged; after it come the first fault's
// source line with a caret and how many more problems the check finds.
TEST(Check, FixWritesACorrectedCopyAndTheInputOnlyInPlace) {
  cartella_temporanea t;
  // LF line ends, and a UTF-8 file with its byte-order mark read as UTF-8: both stay so.
  const std::string prima = "[generale]\nlunghezza percorso,7000\n[pendenze]\npendenzza,0,3\n# pi\xC3\xB9\n[fine]\n";
  const std::string dopo = "[generale]\nlunghezza percorso,7000\n[pendenze]\npendenza,0,3\n[fine]\n";
  test::scrivi(t / "S_linea.txt", prima);

  auto e = test::esegui_tracciato({"check", "--line", "S_linea.txt", "--fix", "-o", "giusto.txt"}, t.percorso());
  EXPECT_EQ(e.stato, 1) << e.errori;  // the problems of the file as it was: warnings
  EXPECT_NE(e.uscita.find("[W115]"), std::string::npos) << e.uscita;
  EXPECT_NE(e.errori.find("wrote giusto.txt (2 fixes)"), std::string::npos) << e.errori;
  EXPECT_EQ(test::leggi(t / "giusto.txt"), dopo);
  EXPECT_EQ(test::leggi(t / "S_linea.txt"), prima);

  // Never over the input without --in-place; -o and --in-place only with --fix.
  for (const std::vector<std::string>& a :
       {std::vector<std::string>{"check", "--line", "S_linea.txt", "--fix", "-o", "./S_linea.txt"},
        {"check", "--line", "S_linea.txt", "--fix"},
        {"check", "--line", "S_linea.txt", "--in-place"},
        {"check", "--line", "S_linea.txt", "--train", "S_linea.txt", "--fix", "-o", "x.txt"}}) {
    e = test::esegui_tracciato(a, t.percorso());
    EXPECT_EQ(e.stato, 2) << a.back() << e.errori;
    EXPECT_EQ(test::leggi(t / "S_linea.txt"), prima);
  }
  EXPECT_FALSE(fs::exists(t / "x.txt"));

  test::scrivi(t / "S_linea.txt", "\xEF\xBB\xBF" + prima);
  e = test::esegui_tracciato({"check", "--line", "S_linea.txt", "--fix", "--in-place", "--input-encoding", "utf-8"},
                             t.percorso());
  EXPECT_EQ(test::leggi(t / "S_linea.txt"), "\xEF\xBB\xBF" + dopo) << e.errori;
}

TEST(Check, CompileShowsTheFirstFaultAndPointsToCheck) {
  cartella_temporanea dir;
  const std::string linea = (fixtures / "sbagli_linea.txt").string();
  const auto e = test::esegui_tracciato({"compile", "--line", linea, "--train", (fixtures / "sbagli_treno.txt").string(),
                                         "--name", "S", "--train-number", "T"},
                                        dir.percorso());
  EXPECT_EQ(e.stato, 1);  // a recorded fault
  // The fault at the record that lacks a field, as the check names it, not
  // at the next line the load read into.
  EXPECT_EQ(e.uscita, linea + ":16:1: error: fault 25: the scenario files could not be read (the `pendenza` record "
                              "lacks 1 of its 2 fields, so the compile reads on into line 17 and fails there: "
                              "expected a number, found \"pendenza\")\n");
  EXPECT_TRUE(e.errori.starts_with("  pendenza, 4000\n  ^\n")) << e.errori;
  EXPECT_TRUE(e.errori.ends_with(" more problems: run tracciato check\n")) << e.errori;
}

// tracciato watch of l.txt and t.txt in dir, in the background.
avvio_programma avvio_watch(const cartella_temporanea& dir, const fs::path& uscita, const fs::path& errori) {
  return {TRACCIATO_EXE,
          {"watch", "--line", "l.txt", "--train", "t.txt", "--name", "S", "--train-number", "T", "--no-plan",
           "--documents"},
          dir.percorso(),
          uscita,
          errori};
}

// Whether the watch writing to uscita has shown giri rounds, within ten
// seconds.
bool attendi_giri(const fs::path& uscita, size_t giri) {
  for (int i = 0; i < 200; ++i) {
    const std::string s = fs::exists(uscita) ? test::leggi(uscita) : "";
    size_t n = 0;
    for (size_t p = s.find("(Ctrl-C ends)"); p != std::string::npos; p = s.find("(Ctrl-C ends)", p + 1)) ++n;
    if (n >= giri) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// Runs watch in the background until SIGINT; saves the train file by rename
// in between, as editors do.
TEST(Watch, CompilesAgainAfterASaveByRenameAndEndsOnSigint) {
  cartella_temporanea dir;
  fs::copy_file(fixtures / "linea.txt", dir / "l.txt");
  fs::copy_file(fixtures / "treno.txt", dir / "t.txt");
  const fs::path uscita = dir / "watch.out";
  programma_in_corso watch(avvio_watch(dir, uscita, dir / "watch.err"));
  const auto attendi = [&](size_t giri) { return attendi_giri(uscita, giri); };
  EXPECT_TRUE(attendi(1));
  // Each clean compile writes the documents too, as compile --documents does.
  EXPECT_TRUE(fs::exists(dir / "S_T_scheda_treno.txt") && fs::exists(dir / "S_T_rallentamenti.txt"));
  std::string treno = test::leggi(dir / "t.txt");
  treno.insert(treno.rfind("[fine]"), "segnale, 3000, 1, 3, 4, 0, 0, 0, 0,0,0, 0\r\n");
  test::scrivi(dir / "t.txt.nuovo", treno);
  fs::rename(dir / "t.txt.nuovo", dir / "t.txt");
  EXPECT_TRUE(attendi(2));
  // A second save by rename: the watch still follows the new file.
  test::scrivi(dir / "t.txt.nuovo", test::leggi(fixtures / "treno.txt"));
  fs::rename(dir / "t.txt.nuovo", dir / "t.txt");
  EXPECT_TRUE(attendi(3));
  // Where Ctrl-C cannot be sent to it alone (Windows), the watch is ended by
  // force as the test ends.
  if (watch.interrompi()) {
    EXPECT_EQ(watch.attendi(), 0);
  }
  const std::string s = test::leggi(uscita);
  EXPECT_NE(s.find("fault 16 at 3000 m"), std::string::npos) << s;
  EXPECT_NE(s.find("1 error, "), std::string::npos) << s;
}

// A save that leaves an input the compile cannot read is reported like a
// fault in the text, and the watch goes on to the next save.
TEST(Watch, AnUnreadableSaveIsReportedAndTheWatchGoesOn) {
  cartella_temporanea dir;
  fs::copy_file(fixtures / "linea.txt", dir / "l.txt");
  fs::copy_file(fixtures / "treno.txt", dir / "t.txt");
  const fs::path uscita = dir / "watch.out", errori = dir / "watch.err";
  programma_in_corso watch(avvio_watch(dir, uscita, errori));
  size_t giri = 1;
  const auto attendi = [&] { return attendi_giri(uscita, giri); };
  ASSERT_TRUE(attendi());
  // Each save moves what nuovo makes of t.txt.nuovo over t.txt, as editors save.
  const fs::path nuovo = dir / "t.txt.nuovo";
  // FIFOs and /dev/zero are POSIX's (Windows has neither).
  const bool posix = crea_fifo(dir / "prova.fifo");
  const struct {
    const char* nome;
    std::function<bool()> fai;  // false: the case cannot be made on this system
    const char* messaggio;      // in standard error
  } salvataggi[] = {
      {"a FIFO", [&] { return crea_fifo(nuovo); }, "it is not a regular file"},
      {"a symbolic link to /dev/zero", [&] { return posix && (fs::create_symlink("/dev/zero", nuovo), true); },
       "it is not a regular file"},
      {"a folder", [&] { fs::remove(dir / "t.txt"); return fs::create_directory(nuovo); }, "--train: cannot read"},
      {"a file over 64 MiB",
       [&] {
         fs::remove(dir / "t.txt");
         test::scrivi(nuovo, test::leggi(fixtures / "treno.txt"));
         fs::resize_file(nuovo, (std::uintmax_t{64} << 20) + 1);
         return true;
       },
       "it is over 64 MiB"},
      {"the good file again",
       [&] { fs::remove(dir / "t.txt"); return fs::copy_file(fixtures / "treno.txt", nuovo); }, ""},
  };
  for (const auto& s : salvataggi) {
    SCOPED_TRACE(s.nome);
    if (!s.fai()) continue;
    fs::rename(nuovo, dir / "t.txt");
    ++giri;
    ASSERT_TRUE(attendi());
    EXPECT_NE(test::leggi(errori).find(s.messaggio), std::string::npos) << test::leggi(errori);
  }
  if (watch.interrompi()) {
    EXPECT_EQ(watch.attendi(), 0);
  }
  EXPECT_TRUE(test::leggi(uscita).ends_with("0 errors, 0 warnings\nwatching l.txt and t.txt (Ctrl-C ends)\n"))
      << test::leggi(uscita);
}

}  // namespace
}  // namespace tracciato
