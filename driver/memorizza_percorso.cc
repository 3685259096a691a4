#include "driver/memorizza_percorso.h"

#include <string>
#include <system_error>

#include "compactor/compattatore.h"
#include "driver/nomi_file.h"
#include "loader/memorizza_dati.h"
#include "model/errori.h"
#include "platform/file.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// A text file's bytes for the loader; a file that cannot be read carries the
// reason instead, and the loader records 25 if the load gets to it.
testo_sorgente leggi_sorgente(const fs::path& percorso) {
  testo_sorgente t;
  t.nome = percorso.string();
  try {
    t.dati = leggi_file(percorso);
  } catch (const std::system_error& e) {
    t.guasto = e.what();
  }
  return t;
}

}  // namespace

// The record table is encoded first: a text too long for its field stops the
// run before any file is touched. The track plan, by far the largest file,
// is streamed to its file as its rows are computed; a plan that was never
// built is not written at all.
std::vector<fs::path> scrivi_file_binari(const scenario& s, const fs::path& cartella) {
  const byte_file tabella = codifica_tabella(s.tabella);
  std::vector<fs::path> scritti;
  auto scrivi = [&](file_scenario f, std::string_view contenuto) {
    const fs::path percorso = nome_file(cartella, s, f);
    sostituisci_file(percorso, contenuto);
    scritti.push_back(percorso);
  };
  if (s.scrivi_linea != 0 && s.planimetria.allocata()) {
    const fs::path percorso = nome_file(cartella, s, file_scenario::linea_dat);
    scrivi_file_planimetria(s, percorso);
    scritti.push_back(percorso);
  }
  scrivi(file_scenario::sim, tabella.vista());
  scrivi(file_scenario::celle_dat, codifica_celle(s.celle).vista());
  return scritti;
}

std::vector<fs::path> memorizza_percorso(scenario& s, int32_t scrivi,
                                         const ingresso_percorso& ingresso, const fs::path& cartella) {
  // A fresh model: nothing of an earlier run survives but the two names.
  scenario nuovo;
  nuovo.nome_scenario = std::move(s.nome_scenario);
  nuovo.numero_treno = std::move(s.numero_treno);
  nuovo.scrivi_linea = scrivi;
  s = std::move(nuovo);

  // Without a line file nothing is read and nothing deleted.
  if (!esiste_file(ingresso.linea)) {
    registra_errore(s, e_manca_linea).file = ingresso.linea.string();
    return {};
  }
  // Read the two text files back.
  const testo_sorgente linea = leggi_sorgente(ingresso.linea);
  const testo_sorgente treno = leggi_sorgente(ingresso.treno);

  // Load the line, then the train (faults are recorded in s).
  const fine_carico fine = memorizza_dati(s, linea, treno);

  // Delete them where the run does: the line file always; the train file once
  // the load got to it, or when a read failure ended the load.
  if (ingresso.cancella) {
    cancella_file(ingresso.linea);
    if (fine == fine_carico::treno || s.codice_errore == e_lettura) cancella_file(ingresso.treno);
  }

  // A load that ended before the route length left no grid: nothing to compact.
  if (s.celle.size() < 2) return {};

  // Place the code points around slowdowns and the signals near them (11 to 13).
  compatta_celle(s);
  // Check the reserved places (1250, 1251), stamp the formats and the codes.
  timbra(s);
  // Encode and write the binary files.
  return scrivi_file_binari(s, cartella);
}

}  // namespace tracciato
