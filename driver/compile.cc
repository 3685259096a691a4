// esegui_compile: an author's own line and train files compiled into
// S_linea.dat, S_T.sim and S_T.dat.
//
// The author's files are read as they are and never changed; the only files
// written are the three binary files, each replaced whole.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "checker/controllo.h"
#include "driver/esecuzione.h"
#include "driver/memorizza_percorso.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// A name or number that could form a path outside the output folder (a
// separator or a NUL; every file name adds a fixed ending to it) or no name at
// all is refused before anything is written.
void verifica_nome(const std::string& valore, const char* opzione) {
  if (valore.empty()) throw std::invalid_argument(std::string(opzione) + " must not be empty");
  for (char c : valore)
    if (c == '/' || c == '\\' || c == '\0')
      throw std::invalid_argument(std::string(opzione) + " \"" + valore +
                                  "\" must be a plain name: it may not contain '/' or '\\'");
}

// An input that is one of the files the compile writes would be replaced.
void verifica_non_sostituito(const fs::path& autore, const fs::path& cartella, const scenario& s,
                             const char* opzione) {
  for (file_scenario f : {file_scenario::linea_dat, file_scenario::sim, file_scenario::celle_dat}) {
    std::error_code e;
    const fs::path nome = nome_file(cartella, s, f);
    if (fs::exists(nome, e) && fs::equivalent(autore, nome, e))
      throw std::invalid_argument(std::string(opzione) + " " + autore.string() +
                                  " is a file that the compile writes; rename it or choose another "
                                  "--dir");
  }
}

}  // namespace

int esegui_compile(const opzioni_compile& opzioni) {
  scenario s;
  s.nome_scenario = opzioni.nome;
  s.numero_treno = opzioni.numero;
  try {
    verifica_nome(opzioni.nome, "--name");
    verifica_nome(opzioni.numero, "--train-number");
    if (!fs::is_directory(opzioni.cartella))
      throw std::invalid_argument("the output folder " + opzioni.cartella.string() + " does not exist");
    verifica_non_sostituito(opzioni.linea, opzioni.cartella, s, "--line");
    verifica_non_sostituito(opzioni.treno, opzioni.cartella, s, "--train");
  } catch (const std::invalid_argument& e) {
    std::cerr << "tracciato compile: " << e.what() << "\n";
    return uscita_fallita;
  }
  const ingresso_percorso ingresso{
      .linea = opzioni.linea, .treno = opzioni.treno, .cancella = false, .codifica = opzioni.codifica};
  const auto scritti =
      memorizza_percorso(s, opzioni.senza_planimetria ? 0 : 1, ingresso, opzioni.cartella);
  if (s.guasti.empty() || opzioni.rapporto.json) return rapporta(s, scritti, opzioni.rapporto);

  // A fault: show its line, and whether the check finds more.
  seguito_rapporto seguito;
  seguito.testi = {leggi_sorgente(opzioni.linea, opzioni.codifica), leggi_sorgente(opzioni.treno, opzioni.codifica)};
  const auto problemi = controlla(seguito.testi[0], seguito.testi[1]);
  seguito.altri_problemi = std::max<int32_t>(0, static_cast<int32_t>(problemi.size()) - 1);
  return rapporta(s, scritti, opzioni.rapporto, &seguito);
}

}  // namespace tracciato
