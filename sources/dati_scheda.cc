#include <string_view>

#include "model/scenario.h"
#include "sources/scrivi_righe.h"

namespace tracciato {
namespace {

constexpr std::string_view righe[] = {
    "riferimento fine del file",
};

}  // namespace

void scenario::dati_scheda() { scrivi_righe(nome_file(file_scenario::scheda), righe); }

}  // namespace tracciato
