#include "lsp/diagnosi.h"

#include <algorithm>

#include "checker/stampa.h"
#include "lsp/documento.h"

namespace tracciato::lsp {

nlohmann::json diagnostica(const problema& p, const std::vector<std::string_view>& righe) {
  const size_t riga =
      std::min<size_t>(p.riga > 0 ? static_cast<size_t>(p.riga - 1) : 0, righe.size() - 1);
  const std::string_view r = righe[riga];
  size_t inizio =
      p.colonna > 0 ? std::min<size_t>(static_cast<size_t>(p.colonna - 1), r.size()) : 0;
  size_t fine = r.size();
  if (p.colonna > 0 && p.colonna_fine > p.colonna)
    fine = std::min(static_cast<size_t>(p.colonna_fine - 1), r.size());  // the field at fault
  else if (p.colonna > 0)
    fine = std::min(r.find(',', inizio), r.size());
  else
    inizio = std::min(r.find_first_not_of(" \t"), r.size());
  while (fine > inizio && (r[fine - 1] == ' ' || r[fine - 1] == '\t')) --fine;

  // Messages mix the files' Windows-1252 with quotes already in UTF-8.
  std::string messaggio = per_terminale(p.messaggio);
  if (!p.suggerimento.empty()) messaggio += "\n" + per_terminale(p.suggerimento);
  nlohmann::json d = {{"range",
                       {{"start", {{"line", riga}, {"character", inizio}}},
                        {"end", {{"line", riga}, {"character", fine}}}}},
                      {"severity", p.livello == gravita::errore ? 1 : 2},
                      {"source", "tracciato"},
                      {"message", messaggio}};
  if (p.codice) d["code"] = *p.codice;
  if (!p.sigla.empty()) d["code"] = p.sigla;
  return d;
}

nlohmann::json diagnostiche(const std::vector<problema>& problemi, std::string_view dati,
                            const std::function<bool(const problema&)>& mio) {
  nlohmann::json lista = nlohmann::json::array();
  const std::vector<std::string_view> righe = righe_di(dati);
  size_t tenuti = 0, errori = 0, avvisi = 0;
  const problema* primo_escluso = nullptr;
  for (const problema& p : problemi) {
    if (!mio(p)) continue;
    if (tenuti + 1 < massime_diagnostiche) {
      lista.push_back(diagnostica(p, righe));
      ++tenuti;
      continue;
    }
    if (primo_escluso == nullptr) primo_escluso = &p;
    (p.livello == gravita::errore ? errori : avvisi) += 1;
  }
  if (primo_escluso == nullptr) return lista;
  if (errori + avvisi == 1) {
    lista.push_back(diagnostica(*primo_escluso, righe));
    return lista;
  }
  // The last place says what is left unlisted, at the first problem left out.
  problema resto;
  resto.livello = errori > 0 ? gravita::errore : gravita::avviso;
  resto.riga = primo_escluso->riga;
  resto.messaggio = std::to_string(errori + avvisi) + " more problems from this line on are not listed (" +
                    std::to_string(errori) + (errori == 1 ? " error, " : " errors, ") + std::to_string(avvisi) +
                    (avvisi == 1 ? " warning)" : " warnings)");
  resto.suggerimento = "mend the problems listed, or run tracciato check for the whole list";
  lista.push_back(diagnostica(resto, righe));
  return lista;
}

}  // namespace tracciato::lsp
