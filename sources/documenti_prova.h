// Test support for the driver's documents: write one into a fresh folder and
// read back its lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/scenario.h"
#include "tests/cartella_temporanea.h"

namespace tracciato::test {

// The lines of a written text file, each of which must end in CR LF.
inline std::vector<std::string> righe_file(const std::filesystem::path& p) {
  const std::string byte = leggi(p);
  std::vector<std::string> righe;
  size_t inizio = 0;
  while (inizio < byte.size()) {
    const size_t fine = byte.find("\r\n", inizio);
    if (fine == std::string::npos) {
      ADD_FAILURE() << p.filename() << ": last line has no CR LF";
      break;
    }
    righe.push_back(byte.substr(inizio, fine - inizio));
    inizio = fine + 2;
  }
  for (const auto& r : righe)
    EXPECT_EQ(r.find_first_of("\r\n"), std::string::npos) << p.filename() << ": stray line end in " << r;
  return righe;
}

enum class doc { note, rallentamenti, scheda };

struct documento {
  void (scenario::*scrivi)();
  const char* suffisso;
};

inline const documento& di(doc d) {
  static const documento tutti[] = {
      {&scenario::dati_note, "_note.txt"},
      {&scenario::dati_rallentamenti, "_rallentamenti.txt"},
      {&scenario::dati_scheda, "_scheda_treno.txt"},
  };
  return tutti[static_cast<int>(d)];
}

// Writes one document of the built-in scenario into a fresh folder and reads
// its lines back.
inline std::vector<std::string> scrivi_e_leggi(doc d, std::string numero = "4715") {
  cartella_temporanea cartella;
  scenario s(cartella.percorso());
  s.nome_scenario = "VessolantaC_OrmelaC";
  s.numero_treno = numero;
  (s.*di(d).scrivi)();
  const std::string nome = "VessolantaC_OrmelaC_" + numero + di(d).suffisso;
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{nome});
  return righe_file(cartella / nome);
}

// The built-in documents, written once per test program.
inline const std::vector<std::string>& righe_di(doc d) {
  static const std::vector<std::string> scritte[] = {
      scrivi_e_leggi(doc::note), scrivi_e_leggi(doc::rallentamenti), scrivi_e_leggi(doc::scheda)};
  return scritte[static_cast<int>(d)];
}

}  // namespace tracciato::test
