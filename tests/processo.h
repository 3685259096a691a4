// Test support: runs the real tracciato executable and collects what it says.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/processo.h"
#include "tests/cartella_temporanea.h"

namespace tracciato::test {

struct esito_processo {
  int stato = -1;  // exit status
  std::string uscita;  // standard output
  std::string errori;  // standard error
};

// Runs TRACCIATO_EXE with argomenti (passed as they are, no shell between)
// in cartella.
inline esito_processo esegui_tracciato(const std::vector<std::string>& argomenti,
                                       const std::filesystem::path& cartella) {
  const auto out = cartella / ".stdout";
  const auto err = cartella / ".stderr";
  esito_processo e;
  e.stato = esegui_programma({TRACCIATO_EXE, argomenti, cartella, out, err});
  e.uscita = leggi(out);
  e.errori = leggi(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return e;
}

}  // namespace tracciato::test
