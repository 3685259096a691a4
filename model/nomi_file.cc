#include "model/nomi_file.h"

#include <string>

#include "platform/percorso.h"

namespace tracciato {

std::filesystem::path nome_file(const std::filesystem::path& cartella, std::string_view nome,
                                std::string_view numero, file_scenario f) {
  const std::string n(nome);
  const std::string nt = n + "_" + std::string(numero);
  std::string file;
  switch (f) {
    case file_scenario::linea: file = n + "_linea.txt"; break;
    case file_scenario::treno: file = nt + "-.txt"; break;
    case file_scenario::note: file = nt + "_note.txt"; break;
    case file_scenario::rallentamenti: file = nt + "_rallentamenti.txt"; break;
    case file_scenario::scheda: file = nt + "_scheda_treno.txt"; break;
    case file_scenario::linea_dat: file = n + "_linea.dat"; break;
    case file_scenario::sim: file = nt + ".sim"; break;
    case file_scenario::celle_dat: file = nt + ".dat"; break;
  }
  return cartella / percorso_utf8(file);
}

}  // namespace tracciato
