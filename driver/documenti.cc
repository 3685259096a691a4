#include "driver/documenti.h"

#include <memory>
#include <stdexcept>

#include "model/nomi_file.h"
#include "platform/file.h"
#include "platform/testo.h"

namespace tracciato {

namespace fs = std::filesystem;

opzioni_documenti opzioni_da_riga(const intestazione_documenti& i, const std::string& numero) {
  const auto in_1252 = [](const std::string& t, const char* opzione) {
    try {
      return da_utf8(t);
    } catch (const std::runtime_error&) {
      throw std::invalid_argument(std::string(opzione) + " \"" + t +
                                  "\" has a character that Windows-1252, the documents' code page, lacks");
    }
  };
  opzioni_documenti o;
  o.numero_treno = in_1252(numero, "--train-number");
  o.regione = in_1252(i.regione, "--region");
  o.valido_dal = i.valido_dal.empty() ? "" : data_validita(i.valido_dal);
  o.categoria = in_1252(i.categoria, "--category");
  o.composizione = in_1252(i.composizione, "--composition");
  o.veicolo = in_1252(i.veicolo, "--vehicle");
  return o;
}

std::vector<fs::path> scrivi_documenti(const scenario& s, const std::string& treno, const opzioni_documenti& o,
                                       const fs::path& cartella, const std::vector<fs::path>& protetti,
                                       std::vector<std::string>& avvisi) {
  const fs::path scheda = nome_file(cartella, s.nome_scenario, s.numero_treno, file_scenario::scheda);
  const fs::path ordine = nome_file(cartella, s.nome_scenario, s.numero_treno, file_scenario::rallentamenti);
  for (const fs::path& p : {scheda, ordine})
    for (const fs::path& ingresso : protetti) {
      std::error_code e;
      if (fs::exists(p, e) && fs::equivalent(p, ingresso, e))
        throw std::invalid_argument(ingresso.string() + " is one of your inputs and the name of a document (" +
                                    p.filename().string() + "); rename it or choose another --dir");
    }
  documenti_autore d = componi_documenti(s, treno, o);
  avvisi.insert(avvisi.end(), d.avvisi.begin(), d.avvisi.end());
  // Both whole beside their names before either is renamed into place.
  file_temporaneo a(scheda), b(ordine);
  a.scrivi(d.scheda, 0);
  b.scrivi(d.rallentamenti, 0);
  a.conferma();
  b.conferma();
  return {scheda, ordine};
}

}  // namespace tracciato
