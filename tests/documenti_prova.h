// Test support for the driver's documents: write one into a fresh folder and
// read back its lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sources/dati.h"
#include "tests/cartella_temporanea.h"
#include "tests/testi_prova.h"

namespace tracciato::test {

enum class doc { note, rallentamenti, scheda };

struct documento {
  void (*scrivi)(const std::filesystem::path&);
  const char* suffisso;
};

inline const documento& di(doc d) {
  static const documento tutti[] = {
      {dati_note, "_note.txt"},
      {dati_rallentamenti, "_rallentamenti.txt"},
      {dati_scheda, "_scheda_treno.txt"},
  };
  return tutti[static_cast<int>(d)];
}

// Writes one document of the built-in scenario into a fresh folder and reads
// its lines back.
inline std::vector<std::string> scrivi_e_leggi(doc d, std::string numero = "4715") {
  cartella_temporanea cartella;
  const std::string nome = "VessolantaC_OrmelaC_" + numero + di(d).suffisso;
  di(d).scrivi(cartella / nome);
  EXPECT_EQ(cartella.elenco(), std::vector<std::string>{nome});
  return righe_file(cartella / nome);
}

// The built-in documents, written once per test program.
inline const std::vector<std::string>& righe_di(doc d) {
  static const std::vector<std::string> scritte[] = {
      scrivi_e_leggi(doc::note), scrivi_e_leggi(doc::rallentamenti), scrivi_e_leggi(doc::scheda)};
  return scritte[static_cast<int>(d)];
}

// The lines of a built-in source file (line or train file) as its writer
// makes it.
inline std::vector<std::string> righe_sorgente(void (*scrivi)(const std::filesystem::path&)) {
  cartella_temporanea cartella;
  scrivi(cartella / "sorgente.txt");
  return righe_file(cartella / "sorgente.txt");
}

// A time of day in minutes as the documents write it, "hh.mm".
inline std::string ora(int minuti) {
  char testo[16];
  std::snprintf(testo, sizeof testo, "%02d.%02d", minuti / 60, minuti % 60);
  return testo;
}

// --- the train file, as written ----------------------------------------------

struct stazione_treno {
  int posizione;
  int fermata;  // stop value: 0 passed, 1 origin, above 1 a stop
  int minuti;   // scheduled time in minutes since midnight, 0 = none
  std::string nome;
};

struct limite_treno {
  int posizione;
  int velocita;
};

struct treno_scritto {
  std::vector<stazione_treno> stazioni;
  std::vector<limite_treno> limiti;
};

// The train file as dati_treno writes it, read once.
inline const treno_scritto& treno() {
  static const treno_scritto t = [] {
    treno_scritto t;
    for (const auto& riga : righe_sorgente(dati_treno)) {
      const auto c = campi(riga);
      if (c[0] == "stazione" && c.size() == 18)
        t.stazioni.push_back({std::stoi(c[1]), std::stoi(c[13]), std::stoi(c[14]) * 60 + std::stoi(c[15]), c[17]});
      if (c[0] == "velocita" && c.size() == 3) t.limiti.push_back({std::stoi(c[1]), std::stoi(c[2])});
    }
    return t;
  }();
  return t;
}

}  // namespace tracciato::test
