// Test support for the driver's documents: write one into a fresh folder and
// read back its lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
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

// The lines of a built-in source file (line or train file) as its writer
// makes it.
inline std::vector<std::string> righe_sorgente(void (scenario::*scrivi)(), file_scenario file) {
  cartella_temporanea cartella;
  scenario s(cartella.percorso());
  s.nome_scenario = "VessolantaC_OrmelaC";
  s.numero_treno = "4715";
  (s.*scrivi)();
  return righe_file(s.nome_file(file));
}

// The comma-separated fields of a source line, blanks around them removed.
inline std::vector<std::string> campi(const std::string& riga) {
  std::vector<std::string> c;
  std::stringstream ss(riga);
  for (std::string campo; std::getline(ss, campo, ',');) {
    const size_t a = campo.find_first_not_of(' ');
    const size_t b = campo.find_last_not_of(' ');
    c.push_back(a == std::string::npos ? "" : campo.substr(a, b - a + 1));
  }
  return c;
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
    for (const auto& riga : righe_sorgente(&scenario::dati_treno, file_scenario::treno)) {
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
