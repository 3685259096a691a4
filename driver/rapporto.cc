// rapporta: the outcome of a run, as one summary line or one JSON object.
//
// The summary names the first fault at its own place, in the form editors
// jump to, and how many followed; the further faults go to standard error:
//
//   no fault
//   fault 12 at 4650 m: no free cell in a code-point window before a slowdown start
//   mio/Mio_linea.txt:57:1: error: fault 15 at 125000 m: item beyond the end of the cell grid; 1 more fault followed
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "checker/stampa.h"
#include "driver/esecuzione.h"
#include "model/errori.h"

namespace tracciato {
namespace {

// The place of a fault as editors read it: "file:line:col: ", or "file: ".
std::string luogo(const guasto& g) {
  if (g.file.empty()) return "";
  std::string l = per_terminale(g.file);
  if (g.riga > 0) {
    l += ":" + std::to_string(g.riga);
    if (g.colonna > 0) l += ":" + std::to_string(g.colonna);
  }
  return l + ": ";
}

// The fault in words, without its place.
std::string descrizione(const scenario& s, const guasto& g) {
  std::string m = "fault " + std::to_string(g.numero);
  if (g.con_posizione) m += " at " + std::to_string(g.posizione) + " m";
  if (g.causa >= 0 && static_cast<size_t>(g.causa) < s.guasti.size()) {
    const guasto& prima = s.guasti[static_cast<size_t>(g.causa)];
    const std::string dove = luogo(prima);
    return m + ": the load stops at this item because of the earlier fault " +
           std::to_string(prima.numero) +
           (dove.empty() ? "" : " (" + dove.substr(0, dove.size() - 2) + ")");
  }
  const voce_errore* voce = cerca_errore(g.numero);
  m += ": ";
  m += voce != nullptr ? std::string(voce->significato) : std::string("unknown fault");
  if (!g.dettaglio.empty()) m += " (" + g.dettaglio + ")";
  return m;
}

// One fault as a line of its own: a consequence of an earlier fault is a note.
std::string riga_guasto(const scenario& s, const guasto& g) {
  const std::string dove = luogo(g);
  const char* gravita = g.causa >= 0 ? "note: " : "error: ";
  return dove + (dove.empty() ? "" : gravita) + descrizione(s, g);
}

std::string sommario(const scenario& s) {
  if (s.codice_errore == 0 && s.guasti.empty()) return "no fault";
  if (s.guasti.empty()) {
    // A fault set without its entry: the number alone stands.
    guasto solo;
    solo.numero = s.codice_errore;
    return riga_guasto(s, solo);
  }
  std::string m = riga_guasto(s, s.guasti.front());
  const size_t altri = s.guasti.size() - 1;
  if (altri == 1) m += "; 1 more fault followed";
  if (altri > 1) m += "; " + std::to_string(altri) + " more faults followed";
  return m;
}

bool ha_posizione(const scenario& s) {
  const voce_errore* voce = cerca_errore(s.codice_errore);
  return voce != nullptr && voce->con_posizione;
}

template <class T>
nlohmann::json o_null(bool c, const T& v) {
  return c ? nlohmann::json(v) : nlohmann::json(nullptr);
}

// What stands in the folder when a run wrote nothing.
std::string cosa_resta(const std::vector<std::filesystem::path>& rimasti) {
  if (rimasti.empty()) return "no earlier binary file of these names is in the folder";
  std::string m = "the earlier ";
  for (size_t i = 0; i < rimasti.size(); ++i) {
    if (i > 0) m += i + 1 == rimasti.size() ? " and " : ", ";
    m += rimasti[i].filename().string();
  }
  return m + (rimasti.size() == 1 ? " is" : " are") + " still in the folder, unchanged";
}

nlohmann::json elenco(const std::vector<std::filesystem::path>& file) {
  auto j = nlohmann::json::array();
  for (const auto& p : file) j.push_back(p.string());
  return j;
}

}  // namespace

int rapporta(const scenario& s, const esito_percorso& esito, const opzioni_rapporto& rapporto,
             const seguito_rapporto* seguito) {
  const bool guasti = s.codice_errore != 0 || !s.guasti.empty();
  const int stato = !esito.fallimento.empty() ? uscita_fallita
                    : guasti                  ? uscita_errore_registrato
                                              : uscita_ok;
  // A run that wrote nothing without a fault says why, never "no fault".
  const bool senza_guasti = s.codice_errore == 0 && s.guasti.empty();
  const std::string m =
      senza_guasti && !esito.fallimento.empty() ? "no binary file was written: " + esito.fallimento : sommario(s);
  const std::string rimasti = cosa_resta(esito.rimasti);
  for (const std::string& a : esito.avvisi) std::cerr << a << "\n";
  if (rapporto.json) {
    const guasto* primo = s.guasti.empty() ? nullptr : &s.guasti.front();
    nlohmann::json j;
    j["codice_errore"] = s.codice_errore;
    j["posizione_errore"] = o_null(ha_posizione(s), s.posizione_errore);
    j["message"] = m;
    j["file"] = o_null(primo != nullptr && !primo->file.empty(), primo ? primo->file : "");
    j["line"] = o_null(primo != nullptr && primo->riga > 0, primo ? primo->riga : 0);
    j["files_written"] = elenco(esito.scritti);
    j["files_kept"] = elenco(esito.rimasti);
    j["warnings"] = esito.avvisi;
    auto guasti_json = nlohmann::json::array();
    for (const guasto& g : s.guasti) {
      guasti_json.push_back({{"code", g.numero},
                             {"position", o_null(g.con_posizione, g.posizione)},
                             {"file", o_null(!g.file.empty(), g.file)},
                             {"line", o_null(g.riga > 0, g.riga)},
                             {"column", o_null(g.colonna > 0, g.colonna)},
                             {"message", descrizione(s, g)},
                             {"caused_by", o_null(g.causa >= 0, g.causa)}});
    }
    j["faults"] = guasti_json;
    j["error"] = o_null(!esito.fallimento.empty(), "no binary file was written: " + esito.fallimento);
    if (seguito != nullptr && seguito->avvisi_controllo >= 0) j["check_warnings"] = seguito->avvisi_controllo;
    j["exit_status"] = stato;
    stampa_json(j);
  } else {
    if (!senza_guasti || esito.fallimento.empty()) std::cout << m << "\n";
    if (seguito != nullptr && seguito->avvisi_controllo > 0)
      std::cout << seguito->avvisi_controllo << (seguito->avvisi_controllo == 1 ? " warning" : " warnings")
                << ": run tracciato check\n";
    if (seguito != nullptr && !s.guasti.empty()) {
      const guasto& primo = s.guasti.front();
      for (const testo_sorgente& t : seguito->testi)
        if (t.nome == primo.file && primo.riga > 0) {
          std::cout.flush();
          std::cerr << estratto(t.dati, primo.riga, primo.colonna);
          break;
        }
    }
    for (size_t i = 1; i < s.guasti.size(); ++i) std::cerr << riga_guasto(s, s.guasti[i]) << "\n";
    if (seguito != nullptr && seguito->altri_problemi > 0)
      std::cerr << seguito->altri_problemi << (seguito->altri_problemi == 1 ? " more problem" : " more problems")
                << ": run tracciato check\n";
  }
  if (!esito.fallimento.empty())
    return fallimento("no binary file was written: " + esito.fallimento + "; " + rimasti, uscita_fallita,
                      rapporto.json);
  if (esito.trattenuto)
    std::cerr << "tracciato: note: --strict: a fault was recorded, so no binary file was replaced; "
              << rimasti << "\n";
  return stato;
}

}  // namespace tracciato
