// check and the compile agree on every input: on single mistakes made in the
// built-in scenario, the first fault the compile records is the first error
// check lists, with the same number and route position, and a compile with
// no fault is a check with no error.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "checker/controllo.h"
#include "compactor/compila.h"
#include "model/errori.h"
#include "sources/dati.h"

namespace tracciato {
namespace {

struct esito_compile {
  std::optional<int32_t> numero;  // the first fault, if any
  std::optional<int32_t> posizione;
};

esito_compile compila(const std::string& linea, const std::string& treno) {
  const compilazione c = compila_in_memoria({"linea", linea, ""}, {"treno", treno, ""}, "S", "1", 1);
  if (c.modello.guasti.empty()) return {};
  const guasto& g = c.modello.guasti.front();
  return {g.numero, g.con_posizione ? std::optional(g.posizione) : std::nullopt};
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> v;
  for (size_t a = 0, b; (b = testo.find("\r\n", a)) != std::string::npos; a = b + 2) v.push_back(testo.substr(a, b - a));
  return v;
}

std::string unisci(const std::vector<std::string>& v) {
  std::string o;
  for (const auto& r : v) o += r + "\r\n";
  return o;
}

// One mistake an author makes: a line dropped or doubled, a number changed,
// a field dropped, a keyword misspelt.
std::string uno_sbaglio(const std::string& testo, std::mt19937& caso) {
  std::vector<std::string> v = righe(testo);
  const size_t i = 2 + caso() % (v.size() - 3);
  std::string& r = v[i];
  switch (caso() % 5) {
    case 0: v.erase(v.begin() + static_cast<long>(i)); break;
    case 1: v.insert(v.begin() + static_cast<long>(i), r); break;
    case 2: {
      const size_t virgola = r.rfind(',');
      if (virgola != std::string::npos) r.erase(virgola);
      break;
    }
    case 3: {
      const size_t k = r.find_first_of("0123456789");
      if (k != std::string::npos) r.insert(k, std::to_string(caso() % 10));
      break;
    }
    default:
      if (r.size() > 3) std::swap(r[1], r[2]);
  }
  return unisci(v);
}

TEST(CheckECompile, TheFirstErrorIsTheCompilesFirstFault) {
  const std::string linea = testo_linea(), treno = testo_treno();
  std::mt19937 caso(20261210);
  int con_guasto = 0;
  for (int n = 0; n < 160; ++n) {
    const bool in_linea = n % 2 == 0;
    const std::string l = in_linea ? uno_sbaglio(linea, caso) : linea;
    const std::string t = in_linea ? treno : uno_sbaglio(treno, caso);
    const esito_compile c = compila(l, t);
    const std::vector<problema> p = controlla(testo_sorgente{"linea", l, ""}, testo_sorgente{"treno", t, ""});
    const problema* primo = nullptr;
    for (const problema& x : p)
      if (x.livello == gravita::errore && (primo == nullptr)) primo = &x;
    SCOPED_TRACE("mutant " + std::to_string(n) + (in_linea ? " of the line file" : " of the train file"));
    if (!c.numero) {
      EXPECT_EQ(primo, nullptr) << "check: " << primo->messaggio;
      continue;
    }
    ++con_guasto;
    ASSERT_NE(primo, nullptr) << "the compile records fault " << *c.numero;
    EXPECT_EQ(primo->codice, c.numero) << primo->messaggio;
    EXPECT_EQ(primo->posizione, c.posizione) << primo->messaggio;
  }
  EXPECT_GT(con_guasto, 20);
}

}  // namespace
}  // namespace tracciato
