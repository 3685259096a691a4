// The author's documents against the built-in ones, made from the built-in
// scenario's own line and train files.
#include "documenti/documenti.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "loader/memorizza_dati.h"
#include "sources/dati.h"

namespace tracciato {
namespace {

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  size_t i = 0;
  for (size_t j; (j = testo.find("\r\n", i)) != std::string::npos; i = j + 2) r.push_back(testo.substr(i, j - i));
  EXPECT_EQ(i, testo.size()) << "bytes after the last line end";
  return r;
}

documenti_autore incorporati(const opzioni_documenti& o) {
  scenario s;
  s.nome_scenario = "VessolantaC_OrmelaC";
  s.numero_treno = "4715";
  memorizza_dati(s, {"linea", testo_linea(), ""}, {"treno", testo_treno(), ""});
  EXPECT_EQ(s.codice_errore, 0);
  return componi_documenti(s, testo_treno(), o);
}

opzioni_documenti come_incorporati() {
  opzioni_documenti o;
  o.numero_treno = "4715";
  o.regione = "ALTAVENNA";
  o.valido_dal = "14.12.2003";
  o.categoria = "R";
  o.composizione = "VS130 C";
  o.veicolo = "ALn 663";
  return o;
}

TEST(DocumentiAutore, Stampa) {
  const documenti_autore d = incorporati(come_incorporati());
  for (const auto& r : righe(d.scheda)) std::printf("%s\n", r.c_str());
  for (const auto& r : righe(d.rallentamenti)) std::printf("%s\n", r.c_str());
  for (const auto& a : d.avvisi) std::printf("W %s\n", a.c_str());
}

}  // namespace
}  // namespace tracciato
