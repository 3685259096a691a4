// The built-in run: the program's whole life when it is started without a
// command.
#include <iterator>
#include <stdexcept>
#include <string>

#include "driver/esecuzione.h"
#include "driver/memorizza_percorso.h"
#include "platform/cartella.h"
#include "platform/file.h"
#include "sources/dati.h"

namespace tracciato {

namespace fs = std::filesystem;

const stadio stadi_scrittura[5] = {
    {"dati_linea", dati_linea, testo_linea, file_scenario::linea, "the line file, read back by the loader"},
    {"dati_treno", dati_treno, testo_treno, file_scenario::treno, "the train file, read back by the loader"},
    {"dati_note", dati_note, testo_note, file_scenario::note, "the notes for the driver"},
    {"dati_rallentamenti", dati_rallentamenti, testo_rallentamenti, file_scenario::rallentamenti, "the slowdown order form"},
    {"dati_scheda", dati_scheda, testo_scheda, file_scenario::scheda, "the timetable card"},
};

namespace {

// The five text files of the scenario, in their fixed order. One that
// already holds exactly the bytes the run would write stays as it is. One
// that differs may be an author's edit (`tracciato sources` invites them):
// without forza the run stops before it writes anything. The files are
// derived text, so a run stopped between two of them loses nothing: each is
// written whole, and a later run finds the written ones equal to its own.
void scrivi_testi(const fs::path& cartella, bool forza) {
  auto percorso_di = [&](const stadio& st) {
    return nome_file(cartella, nome_scenario_incorporato, numero_treno_incorporato, st.file);
  };
  constexpr std::size_t quanti = std::size(stadi_scrittura);
  std::string testi[quanti];
  bool da_scrivere[quanti];
  for (std::size_t i = 0; i < quanti; ++i) {
    const fs::path percorso = percorso_di(stadi_scrittura[i]);
    testi[i] = stadi_scrittura[i].testo();
    std::error_code e;
    const bool presente = fs::exists(fs::symlink_status(percorso, e));
    da_scrivere[i] = !presente || !esiste_file(percorso) || leggi_file(percorso) != testi[i];
    if (presente && da_scrivere[i] && !forza)
      throw std::runtime_error(percorso.string() +
                               " differs from the built-in text the run would write over it (an edit of "
                               "yours?), so nothing was written. Choose another --dir, or give --force "
                               "to replace it");
  }
  for (std::size_t i = 0; i < quanti; ++i)
    if (da_scrivere[i]) sostituisci_file(percorso_di(stadi_scrittura[i]), testi[i]);
}

}  // namespace

int esegui_incorporato(const fs::path& cartella, const opzioni_rapporto& rapporto, bool forza) {
  // The wait label stands while the run works.
  attendere();
  verifica_cartella(cartella);
  // The five text files, unless that would overwrite an author's edit.
  scrivi_testi(cartella, forza);
  // Read the line and train files back, delete them, compile, write the binaries.
  const ingresso_percorso ingresso{
      .linea = nome_file(cartella, nome_scenario_incorporato, numero_treno_incorporato, file_scenario::linea),
      .treno = nome_file(cartella, nome_scenario_incorporato, numero_treno_incorporato, file_scenario::treno),
      .cancella = true};
  scenario s;
  s.nome_scenario = nome_scenario_incorporato;
  s.numero_treno = numero_treno_incorporato;
  const esito_percorso esito = esegui_percorso(s, 1, ingresso, cartella, rapporto.strict);
  return rapporta(s, esito, rapporto);
}

}  // namespace tracciato
