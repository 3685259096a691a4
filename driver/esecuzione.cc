#include "driver/esecuzione.h"

#include "platform/cartella.h"

namespace tracciato {

int esegui_incorporato(const std::filesystem::path& cartella, const opzioni_rapporto& rapporto) {
  scenario s(cartella);
  s.nome_scenario = nome_scenario_incorporato;
  s.numero_treno = numero_treno_incorporato;
  attendere();
  for (const auto& st : stadi_scrittura) (s.*st.esegui)();
  s.memorizza_percorso(1);
  return rapporta(s, rapporto);
}

}  // namespace tracciato
