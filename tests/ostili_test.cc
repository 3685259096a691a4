// Hostile cases, one table: each row does something unkind to a folder that
// holds a set of binary files from an earlier run, and states what must hold
// afterwards: the exit status (or the signal), a part of the message, and the
// files in the folder with their contents, the earlier set whole or the new
// set whole, and nothing else left behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>
#include <vector>

#include "driver/memorizza_percorso.h"
#include "platform/insieme.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;

const fs::path fixtures = TRACCIATO_FIXTURES;
const std::vector<std::string> set = {"S_T.dat", "S_T.sim", "S_linea.dat"};

// The new set: a clean compile of the fixtures, made once.
const std::map<std::string, std::string>& nuovo_insieme() {
  static const auto insieme = [] {
    cartella_temporanea d;
    test::esegui_tracciato(
        {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
         (fixtures / "treno.txt").string(), "--name", "S", "--train-number", "T"},
        d.percorso());
    std::map<std::string, std::string> m;
    for (const auto& n : set) m[n] = test::leggi(d / n);
    return m;
  }();
  return insieme;
}

struct ambiente {
  cartella_temporanea dir;       // the output folder, holding the earlier set
  cartella_temporanea ingressi;  // the author's files
  ambiente() {
    for (const auto& n : set) test::scrivi(dir / n, "earlier " + n);
  }
  // A compile of line and train (paths) as S and T into dir, run from ingressi.
  test::esito_processo compile(const fs::path& linea, const fs::path& treno,
                               std::vector<std::string> altri = {}) {
    std::vector<std::string> a = {"compile",
                                  "--line",
                                  linea.string(),
                                  "--train",
                                  treno.string(),
                                  "--name",
                                  "S",
                                  "--train-number",
                                  "T",
                                  "--dir",
                                  dir.percorso().string()};
    a.insert(a.end(), altri.begin(), altri.end());
    return test::esegui_tracciato(a, ingressi.percorso());
  }
  test::esito_processo compile_buono(std::vector<std::string> altri = {}) {
    return compile(fixtures / "linea.txt", fixtures / "treno.txt", std::move(altri));
  }
};

// A piece of the program run in a child process, which may die by a signal.
// Returns the exit status, or 128 + the signal, as a shell shows it.
int in_un_figlio(const std::function<void()>& corpo) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    try {
      corpo();
    } catch (...) {
      ::_exit(99);
    }
    ::_exit(0);
  }
  int stato = 0;
  ::waitpid(pid, &stato, 0);
  return WIFSIGNALED(stato) ? 128 + WTERMSIG(stato) : WEXITSTATUS(stato);
}

// The compile of the fixtures into dir, in this process.
void compila_qui(ambiente& a) {
  scenario s;
  s.nome_scenario = "S";
  s.numero_treno = "T";
  const ingresso_percorso in{
      .linea = fixtures / "linea.txt", .treno = fixtures / "treno.txt", .cancella = false};
  memorizza_percorso(s, 1, in, a.dir.percorso());
}

enum class dopo { vecchio, nuovo, scritto };  // scritto: a new set, not the fixtures' own

// Whether t (UTF-8) holds a control character other than a tab or a line
// feed: C0, DEL, or C1 (U+0080 to U+009F).
bool con_controlli(const std::string& t) {
  for (size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7f) return true;
    if (c == 0xc2 && i + 1 < t.size() && static_cast<unsigned char>(t[i + 1]) < 0xa0) return true;
  }
  return false;
}

// The train fixture with its station's name replaced by nome.
std::string treno_con_nome(const std::string& nome) {
  std::string t = test::leggi(fixtures / "treno.txt");
  return t.replace(t.find("PARTENZA"), 8, nome);
}

// Every file under d (names relative to it) with its bytes.
std::map<std::string, std::string> istantanea(const fs::path& d) {
  std::map<std::string, std::string> m;
  for (const auto& v : fs::recursive_directory_iterator(d))
    if (v.is_regular_file()) m[fs::relative(v.path(), d).string()] = test::leggi(v.path());
  return m;
}

// An author's folder as an archive may unpack it: the line and train files,
// notes, and a hidden folder named like a run's working folder, with marker
// (its text) and the files piantati beside it. A compile of the author's two
// files into that folder must touch none of them and write the whole set.
test::esito_processo con_cartella_piantata(ambiente& a, const char* marker, const std::string& testo,
                                           const std::map<std::string, std::string>& piantati) {
  const fs::path d = a.ingressi / "mk1";
  const fs::path p = d / ".tracciato-Ab12Cd";
  fs::create_directories(p);
  fs::copy_file(fixtures / "linea.txt", d / "Mio_linea.txt");
  fs::copy_file(fixtures / "treno.txt", d / "Mio_T-.txt");
  test::scrivi(d / "notes.txt", "x");
  test::scrivi(p / marker, testo);
  for (const auto& [n, v] : piantati) test::scrivi(p / n, v);
  const auto prima = istantanea(d);
  auto e = test::esegui_tracciato({"compile", "--line", (d / "Mio_linea.txt").string(), "--train",
                                   (d / "Mio_T-.txt").string(), "--name", "S", "--train-number", "T",
                                   "--dir", d.string()},
                                  a.ingressi.percorso());
  auto dopo = istantanea(d);
  for (const auto& n : set) {
    if (dopo[n] != nuovo_insieme().at(n)) return {-1, "", n + " is not the new set's"};
    dopo.erase(n);
  }
  if (dopo != prima) return {-1, "", "a file of the author's folder was touched"};
  return e;
}

TEST(Ostili, EveryCaseLeavesAWholeSetAndNothingElse) {
  const std::string numero_enorme(5000000, '7');
  const std::string di_controllo = "\x1b]0;x\x07\x1b[2J\x7f\x9d";  // a title, a clear screen, DEL, a C1 OSC
  const struct caso {
    const char* nome;
    std::function<test::esito_processo(ambiente&)> fai;
    int stato;
    const char* messaggio;  // in standard error
    dopo insieme;
  } casi[] = {
      {"a folder as input",
       [](ambiente& a) { return a.compile(a.ingressi.percorso(), fixtures / "treno.txt"); }, 2,
       "tracciato: error: --line: cannot read", dopo::vecchio},
      {"a FIFO as input, with no writer",
       [](ambiente& a) {
         ::mkfifo((a.ingressi / "fifo").c_str(), 0600);
         return a.compile(fixtures / "linea.txt", a.ingressi / "fifo");
       },
       2, "it is not a regular file", dopo::vecchio},
      {"a device as input",
       [](ambiente& a) { return a.compile("/dev/zero", fixtures / "treno.txt"); }, 2,
       "it is not a regular file", dopo::vecchio},
      {"a missing input",
       [](ambiente& a) { return a.compile(a.ingressi / "nowhere.txt", fixtures / "treno.txt"); }, 2,
       "--line: cannot open", dopo::vecchio},
      {"an input over 64 MiB",
       [](ambiente& a) {
         std::filesystem::copy_file(fixtures / "linea.txt", a.ingressi / "grande.txt");
         std::filesystem::resize_file(a.ingressi / "grande.txt", (std::uintmax_t{64} << 20) + 1);
         return a.compile(a.ingressi / "grande.txt", fixtures / "treno.txt");
       },
       2, "it is over 64 MiB", dopo::vecchio},
      {"an over-long number is quoted in part, with its length",
       [&numero_enorme](ambiente& a) {
         test::scrivi(a.ingressi / "l.txt",
                      "[generale]\r\nlunghezza percorso, " + numero_enorme + "\r\n");
         return a.compile(a.ingressi / "l.txt", fixtures / "treno.txt");
       },
       2, "no binary file was written: the line could not be loaded (fault 25", dopo::vecchio},
      {"a huge number",
       [](ambiente& a) {
         test::scrivi(a.ingressi / "l.txt",
                      "[generale]\r\nlunghezza percorso, 99999999999999999999999\r\n");
         return a.compile(a.ingressi / "l.txt", fixtures / "treno.txt");
       },
       2, "the earlier S_linea.dat, S_T.sim and S_T.dat are still in the folder", dopo::vecchio},
      {"NUL bytes in the train file: a recorded fault, the set written",
       [](ambiente& a) {
         test::scrivi(a.ingressi / "t.txt",
                      std::string("[generale]\r\nsabbia, 1\0x\r\n[fine]\r\n", 25));
         return a.compile(fixtures / "linea.txt", a.ingressi / "t.txt");
       },
       1, "", dopo::scritto},
      {"a recorded fault with --strict replaces nothing",
       [](ambiente& a) {
         return a.compile(fixtures / "linea.txt", fixtures / "treno_segnale_doppio.txt",
                          {"--strict"});
       },
       1, "--strict: a fault was recorded, so no binary file was replaced", dopo::vecchio},
      {"a name that leaves the folder",
       [](ambiente& a) {
         return test::esegui_tracciato(
             {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
              (fixtures / "treno.txt").string(), "--name", "../S", "--train-number", "T", "--dir",
              a.dir.percorso().string()},
             a.ingressi.percorso());
       },
       2, "must be a plain name", dopo::vecchio},
      {"a --name too long for a file name is refused before anything is written",
       [](ambiente& a) {
         return test::esegui_tracciato(
             {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
              (fixtures / "treno.txt").string(), "--name", std::string(300, 'n'), "--train-number", "T",
              "--dir", a.dir.percorso().string()},
             a.ingressi.percorso());
       },
       2, "a file name holds at most 255 bytes", dopo::vecchio},
      {"control bytes in a file: the excerpt of the compile shows them escaped",
       [&di_controllo](ambiente& a) {
         test::scrivi(a.ingressi / "l.txt", "[generale]\r\nlunghezza percorso, 1" + di_controllo + "\r\n");
         return a.compile(a.ingressi / "l.txt", fixtures / "treno.txt");
       },
       2, "  lunghezza percorso, 1\\x1b]0;x\\x07\\x1b[2J\\x7f\\x9d\n", dopo::vecchio},
      {"control bytes in a file: check and its hint show them escaped",
       [&di_controllo](ambiente& a) {
         test::scrivi(a.ingressi / "t.txt", treno_con_nome("A" + di_controllo + ",B"));
         auto e = test::esegui_tracciato(
             {"check", "--line", (fixtures / "linea.txt").string(), "--train", "t.txt"}, a.ingressi.percorso());
         if (e.uscita.find("\"A\\x1b]0;x\\x07\\x1b[2J\\x7f\\x9d\" is kept") == std::string::npos) e.stato = -1;
         e.errori = e.uscita;
         return e;
       },
       1, "write \"A\\x1b]0;x\\x07\\x1b[2J\\x7f\\x9d B\"", dopo::vecchio},
      {"a station name of 10,000 characters cut at a comma: the warning quotes a part",
       [](ambiente& a) {
         test::scrivi(a.ingressi / "t.txt", treno_con_nome(std::string(10000, 'N') + ",B"));
         auto e = test::esegui_tracciato(
             {"check", "--line", (fixtures / "linea.txt").string(), "--train", "t.txt"}, a.ingressi.percorso());
         e.errori = e.uscita;
         return e;
       },
       1, "(10,000 characters) is kept", dopo::vecchio},
      {"a station name over 65,535 bytes: an error of check, a refusal of the compile",
       [](ambiente& a) {
         test::scrivi(a.ingressi / "t.txt", treno_con_nome(std::string(70000, 'N')));
         const auto c = test::esegui_tracciato(
             {"check", "--line", (fixtures / "linea.txt").string(), "--train", "t.txt", "--json"},
             a.ingressi.percorso());
         if (c.stato != 2 || nlohmann::json::parse(c.uscita)["errors"] != 1) return c;
         return a.compile(fixtures / "linea.txt", a.ingressi / "t.txt");
       },
       2, "the scenario file holds at most 65535", dopo::vecchio},
      {"a name with no Windows-1252 form",
       [](ambiente& a) {
         return test::esegui_tracciato(
             {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
              (fixtures / "treno.txt").string(), "--name", "S", "--train-number", "\xce\xa9",
              "--dir", a.dir.percorso().string()},
             a.ingressi.percorso());
       },
       2, "Windows-1252", dopo::vecchio},
      {"--dir naming a regular file",
       [](ambiente& a) {
         return test::esegui_tracciato(
             {"compile", "--line", (fixtures / "linea.txt").string(), "--train",
              (fixtures / "treno.txt").string(), "--name", "S", "--train-number", "T", "--dir",
              (fixtures / "linea.txt").string()},
             a.ingressi.percorso());
       },
       2, "is not a folder", dopo::vecchio},
      {"usage errors of the command line",
       [](ambiente& a) {
         for (const auto& args : std::vector<std::vector<std::string>>{
                  {"--frobnicate"}, {"compile", "--name", "S"}, {"--dir"}, {"compile", "--json"}}) {
           const auto e = test::esegui_tracciato(args, a.dir.percorso());
           if (e.stato != 2 || !e.errori.starts_with("tracciato: error: ")) return e;
         }
         return test::esito_processo{2, "", "tracciato: error: all four"};
       },
       2, "tracciato: error: all four", dopo::vecchio},
      {"a rename that fails: the target is a folder",
       [](ambiente& a) {
         fs::remove(a.dir / "S_T.sim");
         fs::create_directory(a.dir / "S_T.sim");
         auto e = a.compile_buono();
         fs::remove(a.dir / "S_T.sim");
         test::scrivi(a.dir / "S_T.sim", "earlier S_T.sim");
         return e;
       },
       2, "cannot replace", dopo::vecchio},
      {"a rename that fails midway: what was moved goes back",
       [](ambiente& a) {
         prima_di_rinominare = [](std::size_t i) {
           if (i == 2)
             throw std::system_error(EIO, std::generic_category(), "cannot replace S_T.dat");
         };
         test::esito_processo e{0, "", ""};
         try {
           compila_qui(a);
         } catch (const std::system_error& x) {
           e = {2, "", x.what()};
         }
         prima_di_rinominare = nullptr;
         return e;
       },
       2, "cannot replace S_T.dat", dopo::vecchio},
      {"a kill between two renames: the next run finishes them",
       [](ambiente& a) {
         const int stato = in_un_figlio([&a] {
           prima_di_rinominare = [](std::size_t i) {
             if (i == 1) ::raise(SIGKILL);
           };
           compila_qui(a);
         });
         // Killed with the line data file moved and the other two not yet.
         if (test::leggi(a.dir / "S_T.sim") != "earlier S_T.sim" ||
             test::leggi(a.dir / "S_linea.dat") == "earlier S_linea.dat")
           return test::esito_processo{-1, "", "not killed between the renames"};
         riprendi_insiemi(a.dir.percorso());
         return test::esito_processo{stato, "", ""};
       },
       128 + SIGKILL, "", dopo::nuovo},
      {"a kill before the set is complete: the next run removes it",
       [](ambiente& a) {
         const int stato = in_un_figlio([&a] {
           insieme_file insieme(a.dir.percorso());
           test::scrivi(insieme.percorso("S_T.sim"), "half");
           ::raise(SIGKILL);
         });
         riprendi_insiemi(a.dir.percorso());
         return test::esito_processo{stato, "", ""};
       },
       128 + SIGKILL, "", dopo::vecchio},
      {"a hidden folder planted where the output goes, whose undo would remove the author's files",
       [](ambiente& a) {
         return con_cartella_piantata(a, "annulla", "-Mio_linea.txt\n-notes.txt\n-Mio_T-.txt\nfine\n",
                                      {});
       },
       0, "mk1/.tracciato-Ab12Cd: warning: left alone: tracciato did not make this folder",
       dopo::vecchio},
      {"a hidden folder planted where the output goes, whose move would put its own files in place",
       [](ambiente& a) {
         return con_cartella_piantata(a, "completo", "+Mio_T-.txt\n+S_T.dat\nfine\n",
                                      {{"Mio_T-.txt", "planted"}, {"S_T.dat", "planted"}});
       },
       0, "mk1/.tracciato-Ab12Cd: warning: left alone: tracciato did not make this folder",
       dopo::vecchio},
      {"view: a train file whose path is not UTF-8 is named escaped in the page",
       [](ambiente& a) {
         fs::copy_file(fixtures / "treno.txt", a.ingressi / "tr\xE9no-.txt");
         auto e = test::esegui_tracciato({"view", "--line", (fixtures / "linea.txt").string(), "--train",
                                          "tr\xE9no-.txt", "--train-number", "T", "-o", "pagina.html"},
                                         a.ingressi.percorso());
         if (e.stato == 0 && test::leggi(a.ingressi / "pagina.html").find("tr\\xE9no-.txt") == std::string::npos)
           return test::esito_processo{-1, "", "the page does not name the train file"};
         return e;
       },
       0, "", dopo::vecchio},
      {"view: a folder whose path is not UTF-8 is named escaped in the page",
       [](ambiente& a) {
         const fs::path d = a.ingressi / "usc\xEEta";
         fs::create_directory(d);
         for (const auto& n : set) test::scrivi(d / n, nuovo_insieme().at(n));
         auto e = test::esegui_tracciato({"view", "--dir", d.string(), "--name", "S", "--train-number", "T",
                                          "-o", "pagina.html"},
                                         a.ingressi.percorso());
         if (e.stato == 0 && test::leggi(a.ingressi / "pagina.html").find("usc\\xEEta") == std::string::npos)
           return test::esito_processo{-1, "", "the page does not name the folder"};
         return e;
       },
       0, "", dopo::vecchio},
      {"view: a FIFO, or a link to a device, as the line data file is refused",
       [](ambiente& a) {
         const fs::path d = a.ingressi.percorso();
         for (const auto& n : set) test::scrivi(d / n, nuovo_insieme().at(n));
         fs::remove(d / "S_linea.dat");
         ::mkfifo((d / "S_linea.dat").c_str(), 0600);
         auto e = test::esegui_tracciato(
             {"view", "--dir", d.string(), "--name", "S", "--train-number", "T", "-o", "pagina.html"}, d);
         fs::remove(d / "S_linea.dat");
         fs::create_symlink("/dev/null", d / "S_linea.dat");
         const auto f = test::esegui_tracciato(
             {"view", "--dir", d.string(), "--name", "S", "--train-number", "T", "-o", "pagina.html"}, d);
         if (f.stato != e.stato || f.errori.find("S_linea.dat") == std::string::npos ||
             fs::exists(d / "pagina.html"))
           return test::esito_processo{-1, "", "the device: " + f.errori};
         return e;
       },
       2, "S_linea.dat: it is not a regular file", dopo::vecchio},
      {"SIGTERM mid-run removes the working folder and ends by the signal",
       [](ambiente& a) {
         return test::esito_processo{in_un_figlio([&a] {
                                       pulizia_ai_segnali();
                                       insieme_file insieme(a.dir.percorso());
                                       test::scrivi(insieme.percorso("S_T.sim"), "half");
                                       ::raise(SIGTERM);
                                     }),
                                     "", ""};
       },
       128 + SIGTERM, "", dopo::vecchio},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    ambiente a;
    const auto e = c.fai(a);
    EXPECT_EQ(e.stato, c.stato) << e.errori;
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
    EXPECT_LT(e.errori.size() + e.uscita.size(), 2000u) << "a message that grows with the input";
    // No byte of an input reaches the terminal as a control character.
    EXPECT_FALSE(con_controlli(e.errori)) << e.errori;
    EXPECT_FALSE(con_controlli(e.uscita)) << e.uscita;
    EXPECT_EQ(a.dir.elenco(), set);  // no working folder, no temporary file left
    for (const auto& n : set) {
      const std::string v = test::leggi(a.dir / n);
      if (c.insieme == dopo::vecchio) {
        EXPECT_EQ(v, "earlier " + n) << n;
      } else if (c.insieme == dopo::nuovo) {
        EXPECT_EQ(v, nuovo_insieme().at(n)) << n;
      } else {
        EXPECT_NE(v, "earlier " + n) << n;
      }
    }
  }
}

// The quote of an over-long field: its first characters and its length.
TEST(Ostili, AnOverLongFieldIsQuotedWithItsLength) {
  ambiente a;
  test::scrivi(a.ingressi / "l.txt",
               "[generale]\r\nlunghezza percorso, " + std::string(5000000, '7') + "x\r\n");
  const auto e = a.compile(a.ingressi / "l.txt", fixtures / "treno.txt", {"--json"});
  EXPECT_EQ(e.stato, 2);
  const auto j = nlohmann::json::parse(e.uscita);
  EXPECT_NE(j["message"].get<std::string>().find("found \"" + std::string(60, '7') +
                                                 "…\" (5,000,001 characters)"),
            std::string::npos)
      << j["message"];
  EXPECT_NE(j["error"], nullptr);
}

// The built-in run never overwrites an author's edit of its text files,
// unless told to.
TEST(Ostili, TheBuiltInRunOverEditedSources) {
  cartella_temporanea d;
  ASSERT_EQ(test::esegui_tracciato({"sources", "--dir", d.percorso().string()}, d.percorso()).stato,
            0);
  const fs::path linea = d / "VessolantaC_OrmelaC_linea.txt";
  const std::string modificata = test::leggi(linea) + "; an edit\r\n";
  test::scrivi(linea, modificata);
  const auto prima = d.elenco();

  auto e = test::esegui_tracciato({"--dir", d.percorso().string(), "--json"}, d.percorso());
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find("tracciato: error: " + linea.string() + " differs"), std::string::npos)
      << e.errori;
  EXPECT_NE(e.errori.find("--force"), std::string::npos);
  EXPECT_NE(nlohmann::json::parse(e.uscita)["error"], nullptr);
  EXPECT_EQ(test::leggi(linea), modificata);
  EXPECT_EQ(d.elenco(), prima);

  // Unedited files of those names are no obstacle, and are not written again;
  // --force replaces edits.
  const fs::path note = d / "VessolantaC_OrmelaC_4715_note.txt";
  struct stat prima_note;
  ASSERT_EQ(::stat(note.c_str(), &prima_note), 0);
  e = test::esegui_tracciato({"--dir", d.percorso().string(), "--force"}, d.percorso());
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_FALSE(fs::exists(linea));  // read back and deleted, as the run does
  struct stat dopo_note;
  ASSERT_EQ(::stat(note.c_str(), &dopo_note), 0);
  EXPECT_EQ(dopo_note.st_ino, prima_note.st_ino) << "an unedited file was written again";
}

}  // namespace
}  // namespace tracciato
