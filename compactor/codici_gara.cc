// The format stamps and the two competition codes that travel to the
// simulator in the scenario file (slot 85) and the cell file (cell 1).
#include <string>
#include <string_view>

#include "compactor/compattatore.h"
#include "model/errori.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

// Fills a short code text up to the 25 characters the codes count.
inline constexpr std::string_view testo_riempitivo = "bbddffgghhllmmnnpprrssttvv";
inline constexpr std::size_t caratteri_codice = 25;

// The code text: train number then scenario name, lower-cased, followed by
// the filler.
std::string testo_codice(const scenario& s) {
  return in_minuscolo(s.tabella[posto_linea].testo + s.tabella[posto_scenario].testo) +
         std::string(testo_riempitivo);
}

// A reserved place in use: the compile stops with numero.
void ferma(scenario& s, int32_t numero) {
  registra_errore(s, numero);
  s.arresto = numero;
}

}  // namespace

// codice_gara_og: the sum of the codes of the first 25 characters.
int32_t codice_gara_og(const scenario& s) {
  const std::string testo = testo_codice(s);
  int32_t somma = 0;
  for (std::size_t i = 0; i < caratteri_codice; ++i) somma += static_cast<unsigned char>(testo[i]);
  return somma;
}

// codice_gara_st: the same sum with the i-th character weighted by i.
int32_t codice_gara_st(const scenario& s) {
  const std::string testo = testo_codice(s);
  int32_t somma = 0;
  for (std::size_t i = 0; i < caratteri_codice; ++i)
    somma += static_cast<int32_t>(i + 1) * static_cast<unsigned char>(testo[i]);
  return somma;
}

void timbra(scenario& s) {
  voce_tabella& testata = s.tabella[posto_scenario];
  cella& prima = s.celle[1];
  if (testata.intero1 != 0 || prima.valore_a != 0) return ferma(s, e_timbro_occupato);
  testata.intero1 = timbro_tabella;
  prima.valore_a = timbro_celle;
  if (testata.valore4 != 0 || prima.valore_b != 0) return ferma(s, e_codici_occupati);
  testata.valore4 = codice_gara_st(s);
  prima.valore_b = static_cast<int16_t>(codice_gara_og(s));
}

}  // namespace tracciato
