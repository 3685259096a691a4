#include <iostream>

#include "driver/esecuzione.h"

namespace tracciato {

// The same five writers as the built-in run, into a folder of the author's
// choice and under the built-in names, so that the line and train files can
// be edited and handed to `tracciato compile`. Nothing is read back and no
// binary file is written; files of the same names are replaced whole.
int esegui_sources(const std::filesystem::path& cartella) {
  std::filesystem::create_directories(cartella);
  for (const stadio& st : stadi_scrittura) {
    const auto percorso = nome_file(cartella, nome_scenario_incorporato, numero_treno_incorporato, st.file);
    st.esegui(percorso);
    std::cout << percorso.string() << "\n";
  }
  return uscita_ok;
}

}  // namespace tracciato
