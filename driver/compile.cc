// esegui_compile: an author's own line and train files compiled into
// S_linea.dat, S_T.sim and S_T.dat.
//
// The author's files are never changed, and neither is any other file in the
// output folder: the run works in a private folder made inside it, where the
// loader reads and deletes its working copies of the two text files. Only
// the binary files written there are then renamed into the output folder.
#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "driver/esecuzione.h"
#include "platform/file.h"

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
void verifica_non_sostituito(const fs::path& autore, const scenario& s, const char* opzione) {
  for (file_scenario f : {file_scenario::linea_dat, file_scenario::sim, file_scenario::celle_dat}) {
    std::error_code e;
    const fs::path nome = s.nome_file(f);
    if (fs::exists(nome, e) && fs::equivalent(autore, nome, e))
      throw std::invalid_argument(std::string(opzione) + " " + autore.string() +
                                  " is a file that the compile writes; rename it or choose another "
                                  "--dir");
  }
}

// A private folder inside the output folder, removed with all it holds.
class cartella_lavoro {
 public:
  explicit cartella_lavoro(const fs::path& dentro) {
    std::string modello = (dentro / ".tracciato-XXXXXX").string();
    std::vector<char> nome(modello.begin(), modello.end());
    nome.push_back('\0');
    if (::mkdtemp(nome.data()) == nullptr)
      throw std::system_error(errno, std::generic_category(),
                              "cannot make a working folder in " + dentro.string());
    percorso_ = nome.data();
  }
  ~cartella_lavoro() {
    std::error_code e;
    fs::remove_all(percorso_, e);
  }
  cartella_lavoro(const cartella_lavoro&) = delete;
  cartella_lavoro& operator=(const cartella_lavoro&) = delete;
  const fs::path& percorso() const { return percorso_; }

 private:
  fs::path percorso_;
};

}  // namespace

int esegui_compile(const opzioni_compile& opzioni) {
  scenario destinazione(opzioni.cartella);
  destinazione.nome_scenario = opzioni.nome;
  destinazione.numero_treno = opzioni.numero;
  try {
    verifica_nome(opzioni.nome, "--name");
    verifica_nome(opzioni.numero, "--train-number");
    if (!fs::is_directory(opzioni.cartella))
      throw std::invalid_argument("the output folder " + opzioni.cartella.string() + " does not exist");
    verifica_non_sostituito(opzioni.linea, destinazione, "--line");
    verifica_non_sostituito(opzioni.treno, destinazione, "--train");
  } catch (const std::invalid_argument& e) {
    std::cerr << "tracciato compile: " << e.what() << "\n";
    return uscita_fallita;
  }

  const cartella_lavoro lavoro(opzioni.cartella);
  scenario s(lavoro.percorso());
  s.nome_scenario = opzioni.nome;
  s.numero_treno = opzioni.numero;
  fs::copy_file(opzioni.linea, s.nome_file(file_scenario::linea));
  fs::copy_file(opzioni.treno, s.nome_file(file_scenario::treno));

  s.memorizza_percorso(opzioni.senza_planimetria ? 0 : 1);

  // Each binary file is complete before it is moved; a rename within one
  // folder tree replaces an older file of that name at once.
  for (fs::path& scritto : s.file_scritti) {
    const fs::path finale = opzioni.cartella / scritto.filename();
    fs::rename(scritto, finale);
    scritto = finale;
  }
  return rapporta(s, opzioni.rapporto);
}

}  // namespace tracciato
