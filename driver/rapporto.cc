// rapporta: the outcome of a run, as one summary line or one JSON object.
//
//   no fault
//   fault 12 at 4650 m: no free cell in a code-point window before a slowdown start
//   train file, line 57: fault 16 at 4700 m: signal on an occupied cell
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "driver/esecuzione.h"

namespace tracciato {
namespace {

bool ha_posizione(const scenario& s) {
  const voce_errore* voce = cerca_errore(s.codice_errore);
  return voce != nullptr && voce->con_posizione;
}

std::string messaggio(const scenario& s) {
  if (s.codice_errore == 0) return "no fault";
  std::string luogo;
  if (!s.origine.file.empty()) {
    luogo = s.origine.file;
    if (s.origine.riga > 0) luogo += ", line " + std::to_string(s.origine.riga);
    luogo += ": ";
  }
  std::string m = luogo + "fault " + std::to_string(s.codice_errore);
  if (ha_posizione(s)) m += " at " + std::to_string(s.posizione_errore) + " m";
  const voce_errore* voce = cerca_errore(s.codice_errore);
  m += ": ";
  m += voce != nullptr ? std::string(voce->significato) : std::string("unknown fault");
  // A read failure's detail names the same file and line again: said once.
  std::string_view dettaglio = s.dettaglio_errore;
  if (!luogo.empty() && dettaglio.starts_with(luogo)) dettaglio.remove_prefix(luogo.size());
  if (!dettaglio.empty()) m += " (" + std::string(dettaglio) + ")";
  return m;
}

}  // namespace

int rapporta(const scenario& s, const opzioni_rapporto& rapporto) {
  const std::string m = messaggio(s);
  if (rapporto.json) {
    nlohmann::json j;
    j["codice_errore"] = s.codice_errore;
    j["posizione_errore"] = ha_posizione(s) ? nlohmann::json(s.posizione_errore) : nlohmann::json(nullptr);
    j["message"] = m;
    j["file"] = s.origine.file.empty() ? nlohmann::json(nullptr) : nlohmann::json(s.origine.file);
    j["line"] = s.origine.riga > 0 ? nlohmann::json(s.origine.riga) : nlohmann::json(nullptr);
    auto scritti = nlohmann::json::array();
    for (const auto& p : s.file_scritti) scritti.push_back(p.string());
    j["files_written"] = scritti;
    // Texts from the scenario files are single-byte, not UTF-8: replace what
    // does not decode rather than fail at the very end of the run.
    std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    std::cout << m << "\n";
  }
  if (s.file_scritti.empty()) {
    std::cerr << "tracciato: no binary file was written: "
              << (s.codice_errore != 0 ? "the line could not be loaded"
                                  : "the line file gave no route length, so there is no cell grid") << "\n";
    return uscita_fallita;
  }
  if (rapporto.strict && s.codice_errore != 0) return uscita_errore_registrato;
  return uscita_ok;
}

}  // namespace tracciato
