// The built-in run: the program's whole life when it is started without a
// command.
#include "driver/esecuzione.h"
#include "driver/memorizza_percorso.h"
#include "platform/cartella.h"
#include "sources/dati.h"

namespace tracciato {

const stadio stadi_scrittura[5] = {
    {"dati_linea", dati_linea, file_scenario::linea, "the line file, read back by the loader"},
    {"dati_treno", dati_treno, file_scenario::treno, "the train file, read back by the loader"},
    {"dati_note", dati_note, file_scenario::note, "the notes for the driver"},
    {"dati_rallentamenti", dati_rallentamenti, file_scenario::rallentamenti, "the slowdown order form"},
    {"dati_scheda", dati_scheda, file_scenario::scheda, "the timetable card"},
};

int esegui_incorporato(const std::filesystem::path& cartella, const opzioni_rapporto& rapporto) {
  scenario s;
  s.nome_scenario = nome_scenario_incorporato;
  s.numero_treno = numero_treno_incorporato;
  // The wait label stands while the run works.
  attendere();
  // The five text files of the scenario, in their fixed order.
  for (const stadio& st : stadi_scrittura) st.esegui(nome_file(cartella, s, st.file));
  // Read the line and train files back, delete them, compile, write the binaries.
  const ingresso_percorso ingresso{.linea = nome_file(cartella, s, file_scenario::linea),
                                   .treno = nome_file(cartella, s, file_scenario::treno),
                                   .cancella = true};
  const auto scritti = memorizza_percorso(s, 1, ingresso, cartella);
  return rapporta(s, scritti, rapporto);
}

}  // namespace tracciato
