// Test support: runs the real tracciato executable and collects what it says.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"

namespace tracciato::test {

struct esito_processo {
  int stato = -1;  // exit status
  std::string uscita;  // standard output
  std::string errori;  // standard error
};

// Runs TRACCIATO_EXE with argomenti (each quoted for the shell) in cartella.
inline esito_processo esegui_tracciato(const std::vector<std::string>& argomenti,
                                       const std::filesystem::path& cartella) {
  auto quota = [](const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  const auto out = cartella / ".stdout";
  const auto err = cartella / ".stderr";
  std::string comando = "cd " + quota(cartella.string()) + " && " + quota(TRACCIATO_EXE);
  for (const auto& a : argomenti) comando += " " + quota(a);
  comando += " >" + quota(out.string()) + " 2>" + quota(err.string()) + " </dev/null";
  esito_processo e;
  const int stato = std::system(comando.c_str());
  e.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
  e.uscita = leggi(out);
  e.errori = leggi(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return e;
}

}  // namespace tracciato::test
