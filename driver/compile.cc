// esegui_compile: an author's own line and train files compiled into
// S_linea.dat, S_T.sim and S_T.dat. The author's files are never changed: they
// are copied to the working names in the output folder, and the loader reads
// and deletes those copies, as it does the built-in run's text files.
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "driver/esecuzione.h"
#include "platform/file.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// A name or number that could form a path outside the output folder (a
// separator, a NUL) or no name at all is refused before anything is written.
void verifica_nome(const std::string& valore, const char* opzione) {
  if (valore.empty()) throw std::invalid_argument(std::string(opzione) + " must not be empty");
  for (char c : valore)
    if (c == '/' || c == '\\' || c == '\0')
      throw std::invalid_argument(std::string(opzione) + " \"" + valore +
                                  "\" must be a plain name: it may not contain '/' or '\\'");
}

// The names the compile writes or deletes must never reach the author's own file.
void verifica_non_toccato(const fs::path& autore, const scenario& s, const char* opzione) {
  for (file_scenario f : {file_scenario::linea, file_scenario::treno, file_scenario::linea_dat,
                          file_scenario::sim, file_scenario::celle_dat}) {
    std::error_code e;
    const fs::path nome = s.nome_file(f);
    if (fs::exists(nome, e) && fs::equivalent(autore, nome, e))
      throw std::invalid_argument(std::string(opzione) + " " + autore.string() +
                                  " is a file that the compile replaces or deletes; rename it or "
                                  "choose another --dir");
  }
}

}  // namespace

int esegui_compile(const opzioni_compile& opzioni) {
  try {
    verifica_nome(opzioni.nome, "--name");
    verifica_nome(opzioni.numero, "--train-number");
    if (!fs::is_directory(opzioni.cartella))
      throw std::invalid_argument("the output folder " + opzioni.cartella.string() + " does not exist");
  } catch (const std::invalid_argument& e) {
    std::cerr << "tracciato compile: " << e.what() << "\n";
    return uscita_fallita;
  }

  scenario s(opzioni.cartella);
  s.nome_scenario = opzioni.nome;
  s.numero_treno = opzioni.numero;
  const fs::path copia_linea = s.nome_file(file_scenario::linea);
  const fs::path copia_treno = s.nome_file(file_scenario::treno);
  try {
    verifica_non_toccato(opzioni.linea, s, "--line");
    verifica_non_toccato(opzioni.treno, s, "--train");
  } catch (const std::invalid_argument& e) {
    std::cerr << "tracciato compile: " << e.what() << "\n";
    return uscita_fallita;
  }

  // The loader deletes a copy only on the paths it takes; whatever the outcome,
  // no working copy outlives the compile.
  struct copie_di_lavoro {
    fs::path linea, treno;
    ~copie_di_lavoro() {
      cancella_file(linea);
      cancella_file(treno);
    }
  } copie{copia_linea, copia_treno};
  // Plain copies, not replaced through a temporary: they live only for the
  // load, and a failed copy stops the compile before anything reads it.
  fs::copy_file(opzioni.linea, copia_linea, fs::copy_options::overwrite_existing);
  fs::copy_file(opzioni.treno, copia_treno, fs::copy_options::overwrite_existing);

  s.memorizza_percorso(opzioni.senza_planimetria ? 0 : 1);
  return rapporta(s, opzioni.rapporto);
}

}  // namespace tracciato
