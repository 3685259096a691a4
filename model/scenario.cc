#include "model/scenario.h"

namespace tracciato {

std::filesystem::path scenario::nome_file(file_scenario f) const {
  const std::string& s = nome_scenario;
  const std::string st = nome_scenario + "_" + numero_treno;
  std::string nome;
  switch (f) {
    case file_scenario::linea: nome = s + "_linea.txt"; break;
    case file_scenario::treno: nome = st + "-.txt"; break;
    case file_scenario::note: nome = st + "_note.txt"; break;
    case file_scenario::rallentamenti: nome = st + "_rallentamenti.txt"; break;
    case file_scenario::scheda: nome = st + "_scheda_treno.txt"; break;
    case file_scenario::linea_dat: nome = s + "_linea.dat"; break;
    case file_scenario::sim: nome = st + ".sim"; break;
    case file_scenario::celle_dat: nome = st + ".dat"; break;
  }
  return cartella / nome;
}

}  // namespace tracciato
