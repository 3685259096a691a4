// Fuzz target: an arbitrary line file and train file through the loader, the
// walk, the stamps and the encoders (everything but the file writes). Any
// crash, sanitizer report or hang is a fault; recorded faults are not.
//
// The input is the line file, a NUL byte, then the train file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "compactor/compattatore.h"
#include "model/scenario.h"
#include "platform/file.h"

namespace {

const std::filesystem::path& cartella() {
  static const std::filesystem::path p = [] {
    auto d = std::filesystem::temp_directory_path() / ("tracciato-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, std::size_t n) {
  using namespace tracciato;
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t nul = tutto.find('\0');
  const std::string_view linea = tutto.substr(0, nul);
  const std::string_view treno = nul == std::string_view::npos ? std::string_view() : tutto.substr(nul + 1);

  scenario s(cartella());
  s.nome_scenario = "F";
  s.numero_treno = "1";
  sostituisci_file(s.nome_file(file_scenario::linea), linea);
  sostituisci_file(s.nome_file(file_scenario::treno), treno);
  s.scrivi_linea = 1;
  s.memorizza_dati();
  if (s.celle.size() < 2) return 0;
  compatta_celle(s);
  try {
    timbra(s);
  } catch (const arresto&) {
    return 0;
  }
  if (s.planimetria.allocata()) (void)codifica_planimetria(s.planimetria);
  (void)codifica_tabella(s.tabella);
  (void)codifica_celle(s.celle);
  return 0;
}
