// A run killed while it moves its set into place, on every system: the
// program ends at once (no clean-up, as when it is killed) and the next run
// finishes or undoes what it left, in a folder and under names that are not
// ASCII.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/insieme.h"
#include "platform/percorso.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using contenuti = std::map<std::string, std::string>;

const char* const nomi[] = {"Più_linea.dat", "Più_T.sim", "Più_T.dat"};

contenuti leggi_tutto(const fs::path& d) {
  contenuti c;
  for (const auto& v : fs::directory_iterator(d))
    c[testo_percorso(v.path().filename())] = v.is_directory() ? "(folder)" : test::leggi(v.path());
  return c;
}

// The folder of the test. Where a death test's child runs the test again
// from its start in a process of its own (Windows), the child works in the
// parent's folder, named in the environment.
fs::path cartella_della_prova(std::optional<test::cartella_temporanea>& propria) {
  static std::string voce;
  if (const char* v = std::getenv("TRACCIATO_PROVA_CARTELLA"); v != nullptr && *v != '\0') return percorso_utf8(v);
  propria.emplace();
  voce = "TRACCIATO_PROVA_CARTELLA=" + testo_percorso(propria->percorso());
  ::putenv(voce.data());
  return propria->percorso();
}

// Writes the new set into d and moves it into place, ending the process
// with status 9 at once where morte says.
void scrivi_e_muori(const fs::path& d, void (*morte)(std::size_t)) {
  prima_di_rinominare = morte;
  insieme_file insieme(d);
  for (const char* n : nomi) test::scrivi(insieme.percorso(n), std::string("new ") + n);
  if (morte == nullptr) std::_Exit(9);  // before the set is whole
  insieme.conferma();
  std::_Exit(0);
}

TEST(InsiemeRipresa, AKilledRunIsFinishedOrUndoneByTheNext) {
  const contenuti vecchio = {{"Più_linea.dat", "old Più_linea.dat"}, {"Più_T.dat", "old Più_T.dat"}};
  const contenuti nuovo = {{"Più_linea.dat", "new Più_linea.dat"},
                           {"Più_T.sim", "new Più_T.sim"},
                           {"Più_T.dat", "new Più_T.dat"}};
  const struct {
    const char* nome;
    void (*morte)(std::size_t);
    const contenuti* atteso;
  } casi[] = {
      {"killed before the set was whole: the next run removes it", nullptr, &vecchio},
      {"killed between two renames: the next run finishes the move",
       [](std::size_t i) {
         if (i == 1) std::_Exit(9);
       },
       &nuovo},
  };
  std::optional<test::cartella_temporanea> propria;
  const fs::path radice = cartella_della_prova(propria);
  int k = 0;
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const fs::path d = radice / percorso_utf8("Città-" + std::to_string(k++));
    fs::create_directory(d);
    for (const auto& [n, v] : vecchio) test::scrivi(d / percorso_utf8(n), v);
    EXPECT_EXIT(scrivi_e_muori(d, c.morte), testing::ExitedWithCode(9), "");
    EXPECT_NE(leggi_tutto(d), vecchio) << "the killed run left its working folder";
    EXPECT_TRUE(riprendi_insiemi(d).empty());
    EXPECT_EQ(leggi_tutto(d), *c.atteso);
  }
  ::putenv(const_cast<char*>("TRACCIATO_PROVA_CARTELLA="));
}

}  // namespace
}  // namespace tracciato
