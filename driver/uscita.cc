#include "driver/uscita.h"

#include <iostream>
#include <string>

#include "checker/stampa.h"

namespace tracciato {
namespace {

bool stampato = false;

}  // namespace

void stampa_json(const nlohmann::json& j) {
  std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
  stampato = true;
}

bool json_stampato() { return stampato; }

int fallimento(std::string_view messaggio, int stato, bool json) {
  std::cerr << "tracciato: error: " << per_terminale(messaggio) << std::endl;
  if (json && !stampato) stampa_json({{"error", messaggio}, {"exit_status", stato}});
  return stato;
}

int errore_interno(std::string_view cosa, bool json) {
  return fallimento(
      "internal error: " + std::string(cosa) +
          ". This is a fault of tracciato itself, not of your files: please report it, "
          "with the command line and the input files",
      uscita_interna, json);
}

}  // namespace tracciato
