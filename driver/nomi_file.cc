#include "driver/nomi_file.h"

#include <stdexcept>
#include <string>

namespace tracciato {

std::filesystem::path nome_file(const std::filesystem::path& cartella, const scenario& s,
                                file_scenario f) {
  const std::string& n = s.nome_scenario;
  const std::string nt = s.nome_scenario + "_" + s.numero_treno;
  std::string nome;
  switch (f) {
    case file_scenario::linea: nome = n + "_linea.txt"; break;
    case file_scenario::treno: nome = nt + "-.txt"; break;
    case file_scenario::note: nome = nt + "_note.txt"; break;
    case file_scenario::rallentamenti: nome = nt + "_rallentamenti.txt"; break;
    case file_scenario::scheda: nome = nt + "_scheda_treno.txt"; break;
    case file_scenario::linea_dat: nome = n + "_linea.dat"; break;
    case file_scenario::sim: nome = nt + ".sim"; break;
    case file_scenario::celle_dat: nome = nt + ".dat"; break;
  }
  return cartella / nome;
}

namespace fs = std::filesystem;

void verifica_cartella(const fs::path& cartella) {
  std::error_code e;
  const auto stato = fs::status(cartella, e);
  if (!fs::exists(stato))
    throw std::invalid_argument("the output folder " + cartella.string() + " does not exist");
  if (!fs::is_directory(stato))
    throw std::invalid_argument("the output folder " + cartella.string() + " is not a folder");
}

}  // namespace tracciato
