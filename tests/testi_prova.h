// Test support for text files: their CR LF lines and their comma-separated fields.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace tracciato::test {

// The lines of a text, each of which must end in CR LF, with no stray line
// end inside one.
inline std::vector<std::string> righe_crlf(const std::string& testo, const std::string& nome = "text") {
  std::vector<std::string> righe;
  size_t inizio = 0;
  while (inizio < testo.size()) {
    const size_t fine = testo.find("\r\n", inizio);
    if (fine == std::string::npos) {
      ADD_FAILURE() << nome << ": last line has no CR LF";
      break;
    }
    righe.push_back(testo.substr(inizio, fine - inizio));
    inizio = fine + 2;
  }
  for (const auto& r : righe)
    EXPECT_EQ(r.find_first_of("\r\n"), std::string::npos) << nome << ": stray line end in " << r;
  return righe;
}

inline std::vector<std::string> righe_file(const std::filesystem::path& p) {
  return righe_crlf(leggi(p), p.filename().string());
}

// The comma-separated fields of a source line, keyword first, blanks around
// each removed.
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

}  // namespace tracciato::test
