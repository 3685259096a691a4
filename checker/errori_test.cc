// The checker's pass over the compile's own faults: the compile run again and
// again, each time with the records at fault so far left out.
#include <gtest/gtest.h>

#include <string>

#include "checker/controllo.h"
#include "model/errori.h"
#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

const std::filesystem::path fixtures = TRACCIATO_FIXTURES;

testo_sorgente leggi_fixture(const std::string& nome) { return {nome, test::leggi(fixtures / nome), ""}; }

// A signal at 0 m stands in cell 1: the stamps find their place in use, and
// the check says so at the signal, with the table's hint.
TEST(ErroriDelCarico, AReservedPlaceInUseAtTheItemInCell1) {
  const auto problemi = controlla(leggi_fixture("linea.txt"), leggi_fixture("treno_segnale_a_zero.txt"));
  ASSERT_EQ(problemi.size(), 1u);
  const problema& p = problemi[0];
  EXPECT_EQ(p.livello, gravita::errore);
  EXPECT_EQ(p.codice, e_timbro_occupato);
  EXPECT_EQ(p.file, "treno_segnale_a_zero.txt");
  EXPECT_EQ(p.riga, 15);
  EXPECT_EQ(p.posizione, 0);
  EXPECT_EQ(p.messaggio, "reserved place of the format stamp already in use: the compile stops and writes no file");
  EXPECT_EQ(p.suggerimento, cerca_errore(e_timbro_occupato)->rimedio);
}

// Each unreadable record stops the load, so each takes one more compile to
// get past: with more of them than the check compiles, it says where it
// stopped instead of ending the list silently.
TEST(ErroriDelCarico, SaysWhenItStopsCompilingAgain) {
  static const struct {
    int righe_illeggibili;
    bool fermato;
  } casi[] = {{5, false}, {1200, true}};
  const testo_sorgente linea = leggi_fixture("linea.txt");
  for (const auto& c : casi) {
    SCOPED_TRACE(c.righe_illeggibili);
    testo_sorgente treno = leggi_fixture("treno.txt");
    std::string segnali;
    for (int i = 0; i < c.righe_illeggibili; ++i) segnali += "segnale, x, 1, 3, 4, 0, 0, 0, 0,0,0, 0\r\n";
    treno.dati.insert(treno.dati.find("[codici]"), segnali);
    const auto problemi = controlla(linea, treno);
    int illeggibili = 0;
    bool detto = false;
    for (const problema& p : problemi) {
      illeggibili += p.codice == e_lettura ? 1 : 0;
      if (p.messaggio.starts_with("the check stopped looking for faults after")) {
        detto = true;
        EXPECT_EQ(p.livello, gravita::avviso);
      }
    }
    EXPECT_EQ(detto, c.fermato);
    if (c.fermato)
      EXPECT_LT(illeggibili, c.righe_illeggibili);
    else
      EXPECT_EQ(illeggibili, c.righe_illeggibili);
  }
}

}  // namespace
}  // namespace tracciato
