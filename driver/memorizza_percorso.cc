#include "driver/memorizza_percorso.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <system_error>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "driver/esecuzione.h"
#include "loader/memorizza_dati.h"
#include "model/errori.h"
#include "model/nomi_file.h"
#include "platform/file.h"
#include "platform/insieme.h"

namespace tracciato {

namespace fs = std::filesystem;

testo_sorgente leggi_sorgente(const fs::path& percorso, codifica_ingresso codifica) {
  testo_sorgente t;
  t.nome = percorso.string();
  std::string grezzo;
  try {
    grezzo = leggi_file(percorso);
  } catch (const std::runtime_error& e) {
    t.guasto = e.what();
    return t;
  }
  // Windows-1252 bytes are the loader's as they stand: kept, not copied.
  if (codifica == codifica_ingresso::windows_1252) {
    t.dati = std::move(grezzo);
    return t;
  }
  try {
    t.dati = in_windows_1252(grezzo, codifica);
  } catch (const std::runtime_error& e) {
    t.guasto = std::string(e.what()) + " (read as " + std::string(nome_codifica(codifica)) + ")";
    // The conversion names the place as "line L, column C: ": editors jump to it.
    int riga = 0, colonna = 0;
    if (std::sscanf(e.what(), "line %d, column %d:", &riga, &colonna) == 2 && riga > 0 && colonna > 0) {
      t.riga_guasto = riga;
      t.colonna_guasto = colonna;
    }
  }
  return t;
}

namespace {

bool con_guasti(const scenario& s) { return s.codice_errore != 0 || !s.guasti.empty(); }

// The set of binary files a run writes.
std::vector<file_scenario> file_dell_insieme(int32_t scrivi) {
  if (scrivi == 0) return {file_scenario::sim, file_scenario::celle_dat};
  return {file_scenario::linea_dat, file_scenario::sim, file_scenario::celle_dat};
}

}  // namespace

// The record table is encoded first: a text too long for its field stops the
// run before any file is touched. The track plan, by far the largest file,
// is streamed to its file as its rows are computed; a plan that was never
// built is not written at all.
std::vector<fs::path> scrivi_file_binari(const scenario& s, const fs::path& cartella,
                                         const std::vector<fs::path>& protetti, std::vector<std::string>* avvisi) {
  const byte_file tabella = codifica_tabella(s.tabella);
  insieme_file insieme(cartella, protetti);
  auto percorso = [&](file_scenario f) { return insieme.percorso(nome_file({}, s.nome_scenario, s.numero_treno, f).string()); };
  if (s.scrivi_linea != 0 && s.planimetria.allocata())
    scrivi_file_planimetria(s, percorso(file_scenario::linea_dat));
  crea_file(percorso(file_scenario::sim), tabella.vista());
  scrivi_file_celle(s.celle, percorso(file_scenario::celle_dat));
  // All three are whole: now they move into place together, once what
  // interrupted runs left is recovered.
  struct raccogli {  // the recovery's warnings, also when the commit throws
    insieme_file& i;
    std::vector<std::string>* avvisi;
    ~raccogli() {
      if (avvisi != nullptr) avvisi->insert(avvisi->end(), i.avvisi().begin(), i.avvisi().end());
    }
  } r{insieme, avvisi};
  return insieme.conferma();
}

std::vector<fs::path> memorizza_percorso(scenario& s, int32_t scrivi, const ingresso_percorso& ingresso,
                                         const fs::path& cartella, bool rigoroso,
                                         std::vector<std::string>* avvisi, std::vector<testo_sorgente>* letti) {
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
  // Read the two text files back, into the caller's place when it keeps them.
  std::vector<testo_sorgente> propri;
  std::vector<testo_sorgente>& testi = letti != nullptr ? *letti : propri;
  testi.clear();
  testi.reserve(2);
  testi.push_back(leggi_sorgente(ingresso.linea, ingresso.codifica));
  testi.push_back(leggi_sorgente(ingresso.treno, ingresso.codifica));
  const testo_sorgente& linea = testi[0];
  const testo_sorgente& treno = testi[1];

  // The compile in memory: the load, the code points, the reserved places
  // and the stamps (faults are recorded in s).
  compilazione c = compila_in_memoria(linea, treno, s.nome_scenario, s.numero_treno, scrivi);
  s = std::move(c.modello);

  // Delete them where the run does: the line file always; the train file once
  // the load got to it, or when a read failure ended the load.
  if (ingresso.cancella) {
    cancella_file(ingresso.linea);
    if (c.fine == fine_carico::treno || s.codice_errore == e_lettura) cancella_file(ingresso.treno);
  }

  // A load that ended before the route length left no grid; a reserved place
  // in use (1250, 1251) stops the run: no binary file is written.
  if (s.celle.size() < 2 || s.arresto != 0) return {};
  // With --strict a recorded fault replaces nothing: the previous set stands.
  if (rigoroso && con_guasti(s)) return {};
  // Encode the binary files and move them into place as one set.
  return scrivi_file_binari(s, cartella, {ingresso.linea, ingresso.treno}, avvisi);
}

esito_percorso esegui_percorso(scenario& s, int32_t scrivi, const ingresso_percorso& ingresso,
                               const fs::path& cartella, bool rigoroso) {
  esito_percorso esito;
  // The commit finishes or undoes what an interrupted run left in the
  // folder, the author's two files never touched by it.
  try {
    esito.scritti = memorizza_percorso(s, scrivi, ingresso, cartella, rigoroso, &esito.avvisi, &esito.testi);
  } catch (const std::runtime_error& e) {  // std::system_error among them
    esito.fallimento = e.what();
  }
  if (!esito.scritti.empty()) return esito;
  // Nothing written: the recovery is done here, so that what the report finds
  // in the folder is a whole set (a warning already given is not repeated).
  try {
    for (std::string& a : riprendi_insiemi(cartella, {ingresso.linea, ingresso.treno}))
      if (std::find(esito.avvisi.begin(), esito.avvisi.end(), a) == esito.avvisi.end())
        esito.avvisi.push_back(std::move(a));
  } catch (const std::system_error&) {  // a folder that cannot be opened: the run says so below
  }
  if (esito.fallimento.empty()) {
    if (s.arresto != 0) {
      esito.fallimento = messaggio_arresto(s.arresto);
    } else if (s.celle.size() >= 2 && rigoroso) {
      esito.trattenuto = true;
    } else {
      const voce_errore* v = cerca_errore(s.codice_errore);
      esito.fallimento = s.codice_errore != 0
                             ? "the line could not be loaded (fault " + std::to_string(s.codice_errore) +
                                   (v != nullptr ? ": " + std::string(v->significato) : std::string()) + ")"
                             : "the line file gave no route length, so there is no cell grid";
    }
  }
  for (file_scenario f : file_dell_insieme(scrivi)) {
    const fs::path p = nome_file(cartella, s.nome_scenario, s.numero_treno, f);
    std::error_code e;
    if (fs::exists(fs::symlink_status(p, e))) esito.rimasti.push_back(p);
  }
  return esito;
}

}  // namespace tracciato
