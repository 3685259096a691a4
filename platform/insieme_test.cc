// The set's move into place, where it goes wrong: a failed rename, and runs
// killed while moving or undoing. Whatever happens, the folder ends with the
// whole old set or the whole new set, and no working folder.
#include "platform/insieme.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;
using contenuti = std::map<std::string, std::string>;

// Every file of folder d with its contents; a folder inside as "(folder)".
contenuti leggi_tutto(const fs::path& d) {
  contenuti c;
  for (const auto& v : fs::directory_iterator(d))
    c[v.path().filename().string()] = v.is_directory() ? "(folder)" : test::leggi(v.path());
  return c;
}
contenuti leggi_tutto(const cartella_temporanea& d) { return leggi_tutto(d.percorso()); }

// The names of a set, in the order a run moves them.
const char* const nomi[] = {"S_linea.dat", "S_T.sim", "S_T.dat"};

// Writes the set ("new S_linea.dat", ...) into d, calling prima before each
// rename into place; in a child process, so that prima may kill
// it. Returns the child's end: its exit status, or 128 + the signal.
int scrivi_insieme(const cartella_temporanea& d, void (*prima)(std::size_t)) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    prima_di_rinominare = prima;
    try {
      insieme_file insieme(d.percorso());
      for (const char* n : nomi) test::scrivi(insieme.percorso(n), std::string("new ") + n);
      insieme.conferma();
    } catch (const std::system_error&) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  int stato = 0;
  ::waitpid(pid, &stato, 0);
  return WIFSIGNALED(stato) ? 128 + WTERMSIG(stato) : WEXITSTATUS(stato);
}

// The working folder an interrupted run left behind.
fs::path privata(const cartella_temporanea& d) {
  for (const auto& n : d.elenco())
    if (n.starts_with(prefisso_privata)) return d / n;
  ADD_FAILURE() << "no working folder";
  return {};
}

// S_T.sim has no old file: an undo must remove the new one it placed.
const contenuti vecchio = {{"S_linea.dat", "old S_linea.dat"}, {"S_T.dat", "old S_T.dat"}};
const contenuti nuovo = {
    {"S_linea.dat", "new S_linea.dat"}, {"S_T.sim", "new S_T.sim"}, {"S_T.dat", "new S_T.dat"}};

// The folder holding the old set.
void metti_vecchio(const cartella_temporanea& d) {
  for (const auto& [n, v] : vecchio) test::scrivi(d / n, v);
}

TEST(Insieme, EveryInterruptionEndsInOneWholeSet) {
  const struct {
    const char* nome;
    void (*prima)(std::size_t);
    int stato;
    std::function<void(const fs::path& privata)> poi;  // what else befell the working folder
    const contenuti* atteso;
  } casi[] = {
      {"all goes well", nullptr, 0, nullptr, &nuovo},
      {"the last rename fails: the two moved go back, the one with no old file goes",
       [](std::size_t i) {
         if (i == 2) throw std::system_error(EIO, std::generic_category(), "cannot replace S_T.dat");
       },
       1, nullptr, &vecchio},
      {"killed between two renames: the next run finishes the move",
       [](std::size_t i) {
         if (i == 2) ::raise(SIGKILL);
       },
       128 + SIGKILL, nullptr, &nuovo},
      {"killed while undoing: the next run finishes the undoing",
       [](std::size_t i) {
         if (i == 2) ::raise(SIGKILL);
       },
       128 + SIGKILL,
       [](const fs::path& p) {
         // As a run leaves it when killed just after it began to undo.
         fs::rename(p / "completo", p / "annulla");
       },
       &vecchio},
      {"killed with its marker cut short: nothing was moved, and nothing is",
       [](std::size_t i) {
         if (i == 0) ::raise(SIGKILL);
       },
       128 + SIGKILL,
       [](const fs::path& p) {
         const std::string m = test::leggi(p / "completo");
         test::scrivi(p / "completo", m.substr(0, m.size() - 3));
       },
       &vecchio},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    cartella_temporanea d;
    metti_vecchio(d);
    EXPECT_EQ(scrivi_insieme(d, c.prima), c.stato);
    if (c.poi) c.poi(privata(d));
    EXPECT_EQ(riprendi_insiemi(d.percorso()), std::vector<std::string>{});
    EXPECT_EQ(leggi_tutto(d), *c.atteso);
  }
}

// A run that dies in its move while another run works: the live run's
// commit finishes the dead one's move first, so that no later recovery can
// finish that older set over the newer one.
TEST(Insieme, ACommitFirstFinishesTheMoveOfARunThatDied) {
  cartella_temporanea d;
  metti_vecchio(d);
  insieme_file vivo(d.percorso());  // made before the other run dies
  EXPECT_EQ(scrivi_insieme(d, [](std::size_t i) {
              if (i == 1) ::raise(SIGKILL);
            }),
            128 + SIGKILL);
  for (const char* n : nomi) test::scrivi(vivo.percorso(n), std::string("live ") + n);
  vivo.conferma();
  EXPECT_EQ(vivo.avvisi(), std::vector<std::string>{});
  const contenuti vivi = {
      {"S_linea.dat", "live S_linea.dat"}, {"S_T.sim", "live S_T.sim"}, {"S_T.dat", "live S_T.dat"}};
  EXPECT_EQ(leggi_tutto(d), vivi);
  EXPECT_EQ(riprendi_insiemi(d.percorso()), std::vector<std::string>{});
  EXPECT_EQ(leggi_tutto(d), vivi);
}

TEST(Insieme, AFolderInTheWayIsRefusedBeforeAnythingMoves) {
  cartella_temporanea d;
  test::scrivi(d / "S_linea.dat", "old S_linea.dat");
  fs::create_directory(d / "S_T.sim");
  test::scrivi(d / "S_T.sim" / "inside", "mine");
  EXPECT_EQ(scrivi_insieme(d, nullptr), 1);
  EXPECT_EQ(leggi_tutto(d), (contenuti{{"S_linea.dat", "old S_linea.dat"}, {"S_T.sim", "(folder)"}}));
  EXPECT_EQ(test::leggi(d / "S_T.sim" / "inside"), "mine");
}

// A working folder that this program did not make in this very folder, or
// whose marker it did not write, is never followed: recovery moves, replaces
// and removes nothing by it, and names it in a warning. Nor does it touch a
// file that the caller reads.
TEST(Insieme, RecoveryLeavesAloneWhatItCannotProveItsOwn) {
  const std::string piantata = std::string(prefisso_privata) + "Ab12Cd";
  const struct {
    const char* nome;
    // Makes the case in d (which holds the old set) and gives the files the
    // caller reads.
    std::function<std::vector<fs::path>(const cartella_temporanea& d)> fai;
    const char* lasciata;  // the working folder left alone, by name ("" for the one a run made)
    const char* perche;
    contenuti atteso;  // beside the folder left alone
  } casi[] = {
      {"a hand-made folder whose undo removes files",
       [&](const cartella_temporanea& d) {
         fs::create_directory(d / piantata);
         test::scrivi(d / piantata / "annulla", "-S_linea.dat\n-notes.txt\nfine\n");
         test::scrivi(d / "notes.txt", "mine");
         return std::vector<fs::path>{};
       },
       "Ab12Cd", "tracciato did not make this folder",
       [] {
         contenuti c = vecchio;
         c["notes.txt"] = "mine";
         return c;
       }()},
      {"a hand-made folder whose move puts its own files in place, and its proof made up",
       [&](const cartella_temporanea& d) {
         fs::create_directory(d / piantata);
         test::scrivi(d / piantata / "firma", "0123456789abcdef\n");
         test::scrivi(d / piantata / "completo", "firma 0123456789abcdef\n+S_T.dat\nfine\n");
         test::scrivi(d / piantata / "S_T.dat", "planted");
         return std::vector<fs::path>{};
       },
       "Ab12Cd", "tracciato did not make this folder", vecchio},
      {"a folder as earlier versions of the program left it, with a folder inside",
       [&](const cartella_temporanea& d) {
         fs::create_directories(d / piantata / "vecchi");
         test::scrivi(d / piantata / "vecchi" / "S_T.dat", "older");
         test::scrivi(d / piantata / "completo", "S_T.dat\nfine\n");
         return std::vector<fs::path>{};
       },
       "Ab12Cd", "tracciato did not make this folder", vecchio},
      {"a copy of a killed run's folder: the run's own is finished, the copy is not",
       [&](const cartella_temporanea& d) {
         scrivi_insieme(d, [](std::size_t i) {
           if (i == 1) ::raise(SIGKILL);
         });
         fs::copy(privata(d), d / piantata, fs::copy_options::recursive);
         return std::vector<fs::path>{};
       },
       "Ab12Cd", "tracciato did not make this folder", nuovo},
      {"a killed run's marker edited afterwards",
       [&](const cartella_temporanea& d) {
         scrivi_insieme(d, [](std::size_t i) {
           if (i == 1) ::raise(SIGKILL);
         });
         const fs::path m = privata(d) / "completo";
         std::string t = test::leggi(m);
         t.replace(t.find("+S_T.dat"), 8, "-S_T.dat");  // an undo would now remove the old file
         test::scrivi(m, t);
         fs::rename(m, privata(d) / "annulla");
         return std::vector<fs::path>{};
       },
       "", "its marker \"annulla\" was not written by tracciato for this folder",
       {{"S_linea.dat", "new S_linea.dat"}, {"S_T.dat", "old S_T.dat"}}},
      {"a killed run whose move would replace a file the caller reads",
       [&](const cartella_temporanea& d) {
         scrivi_insieme(d, [](std::size_t i) {
           if (i == 1) ::raise(SIGKILL);
         });
         return std::vector<fs::path>{d / "S_T.dat"};
       },
       "", "would replace S_T.dat, which this run reads",
       {{"S_linea.dat", "new S_linea.dat"}, {"S_T.dat", "old S_T.dat"}}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    cartella_temporanea d;
    metti_vecchio(d);
    const std::vector<fs::path> protetti = c.fai(d);
    const fs::path lasciata = *c.lasciata != '\0' ? d / piantata : privata(d);
    const contenuti prima = leggi_tutto(lasciata);
    const auto avvisi = riprendi_insiemi(d.percorso(), protetti);
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_TRUE(avvisi[0].starts_with(lasciata.string() + ": warning: left alone")) << avvisi[0];
    EXPECT_NE(avvisi[0].find(c.perche), std::string::npos) << avvisi[0];
    contenuti atteso = c.atteso;
    atteso[lasciata.filename().string()] = "(folder)";
    EXPECT_EQ(leggi_tutto(d), atteso);
    EXPECT_EQ(leggi_tutto(lasciata), prima);
  }
}

TEST(Insieme, NamesThatCouldMeetItsOwnFilesAreRefused) {
  cartella_temporanea d;
  insieme_file insieme(d.percorso());
  for (const char* n : {"", "completo", "annulla", "firma", "vecchio-0", "a/b", "a\nb", ".."})
    EXPECT_THROW(insieme.percorso(n), std::invalid_argument) << n;
}

// Only the binary files of one scenario make a set, so that no marker can
// name anything else.
TEST(Insieme, OnlyTheFilesOfOneScenarioMakeASet) {
  using v = std::vector<std::string>;
  for (const v& n : {v{"S_linea.dat", "S_T.sim", "S_T.dat"}, v{"S_T.sim", "S_T.dat"},
                     v{"a_b_linea.dat", "a_b_c.sim", "a_b_c.dat"}})
    EXPECT_TRUE(insieme_scenario(n)) << n[0];
  for (const v& n : {v{"S_T.sim"}, v{"S_T.sim", "S_U.dat"}, v{"S_linea.dat", "R_T.sim", "R_T.dat"},
                     v{"S_linea.dat", "S_linea.sim", "S_linea.dat"}, v{"notes.txt", "S_T.sim", "S_T.dat"},
                     v{".sim", ".dat"}, v{"S_T.dat", "S_T.sim"}})
    EXPECT_FALSE(insieme_scenario(n)) << n[0] << " " << n[1];
  cartella_temporanea d;
  {
    insieme_file insieme(d.percorso());
    test::scrivi(insieme.percorso("notes.txt"), "x");
    EXPECT_THROW(insieme.conferma(), std::invalid_argument);
  }
  EXPECT_EQ(d.elenco(), v{});
}

}  // namespace
}  // namespace tracciato
