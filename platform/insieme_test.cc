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

#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;
using contenuti = std::map<std::string, std::string>;

contenuti leggi_tutto(const cartella_temporanea& d) {
  contenuti c;
  for (const auto& n : d.elenco()) c[n] = fs::is_directory(d / n) ? "(folder)" : test::leggi(d / n);
  return c;
}

// Writes the set a.dat, b.dat, c.dat ("new a", ...) into d, calling prima
// before each rename into place; in a child process, so that prima may kill
// it. Returns the child's end: its exit status, or 128 + the signal.
int scrivi_insieme(const cartella_temporanea& d, void (*prima)(std::size_t)) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    prima_di_rinominare = prima;
    try {
      insieme_file insieme(d.percorso());
      for (const char* n : {"a.dat", "b.dat", "c.dat"})
        test::scrivi(insieme.percorso(n), std::string("new ") + n[0]);
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

// b.dat has no old file: an undo must remove the new one it placed.
const contenuti vecchio = {{"a.dat", "old a"}, {"c.dat", "old c"}};
const contenuti nuovo = {{"a.dat", "new a"}, {"b.dat", "new b"}, {"c.dat", "new c"}};

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
         if (i == 2) throw std::system_error(EIO, std::generic_category(), "cannot replace c.dat");
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
    test::scrivi(d / "a.dat", "old a");
    test::scrivi(d / "c.dat", "old c");
    EXPECT_EQ(scrivi_insieme(d, c.prima), c.stato);
    if (c.poi) c.poi(privata(d));
    riprendi_insiemi(d.percorso());
    EXPECT_EQ(leggi_tutto(d), *c.atteso);
  }
}

TEST(Insieme, AFolderInTheWayIsRefusedBeforeAnythingMoves) {
  cartella_temporanea d;
  test::scrivi(d / "a.dat", "old a");
  fs::create_directory(d / "b.dat");
  test::scrivi(d / "b.dat" / "inside", "mine");
  EXPECT_EQ(scrivi_insieme(d, nullptr), 1);
  EXPECT_EQ(leggi_tutto(d), (contenuti{{"a.dat", "old a"}, {"b.dat", "(folder)"}}));
  EXPECT_EQ(test::leggi(d / "b.dat" / "inside"), "mine");
}

// A working folder that holds folders of its own (as earlier versions of the
// program left them) is removed whole all the same.
TEST(Insieme, AWorkingFolderWithFoldersInsideIsRemovedWhole) {
  cartella_temporanea d;
  test::scrivi(d / "a.dat", "old a");
  const fs::path p = d / (std::string(prefisso_privata) + "abc123");
  fs::create_directories(p / "vecchi");
  test::scrivi(p / "vecchi" / "a.dat", "old a");
  test::scrivi(p / "completo", "a.dat\n");
  riprendi_insiemi(d.percorso());
  EXPECT_EQ(leggi_tutto(d), (contenuti{{"a.dat", "old a"}}));
}

// A marker that names a file outside the folder was not written by a run:
// recovery removes the working folder and touches nothing else.
TEST(Insieme, AMarkerNamingAFileOutsideTheFolderIsNotFollowed) {
  cartella_temporanea fuori;
  const fs::path d = fuori / "uscita";
  fs::create_directory(d);
  test::scrivi(fuori / "mio.txt", "mine");
  const fs::path p = d / (std::string(prefisso_privata) + "abc123");
  fs::create_directory(p);
  test::scrivi(p / "annulla", "-../mio.txt\nfine\n");
  riprendi_insiemi(d);
  EXPECT_EQ(test::leggi(fuori / "mio.txt"), "mine");
  EXPECT_TRUE(fs::is_empty(d));
}

TEST(Insieme, NamesThatCouldMeetItsOwnFilesAreRefused) {
  cartella_temporanea d;
  insieme_file insieme(d.percorso());
  for (const char* n : {"", "completo", "annulla", "vecchio-0", "a/b", "a\nb", ".."})
    EXPECT_THROW(insieme.percorso(n), std::invalid_argument) << n;
}

}  // namespace
}  // namespace tracciato
