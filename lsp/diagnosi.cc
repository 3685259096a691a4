#include "lsp/diagnosi.h"

#include <algorithm>

#include "lsp/documento.h"

namespace tracciato::lsp {

nlohmann::json diagnostica(const problema& p, std::string_view dati) {
  const auto righe = righe_di(dati);
  const size_t riga =
      std::min<size_t>(p.riga > 0 ? static_cast<size_t>(p.riga - 1) : 0, righe.size() - 1);
  const std::string_view r = righe[riga];
  size_t inizio =
      p.colonna > 0 ? std::min<size_t>(static_cast<size_t>(p.colonna - 1), r.size()) : 0;
  size_t fine = r.size();
  if (p.colonna > 0)
    fine = std::min(r.find(',', inizio), r.size());
  else
    inizio = std::min(r.find_first_not_of(" \t"), r.size());
  while (fine > inizio && (r[fine - 1] == ' ' || r[fine - 1] == '\t')) --fine;

  std::string messaggio = come_utf8(p.messaggio);
  if (!p.suggerimento.empty()) messaggio += "\n" + come_utf8(p.suggerimento);
  nlohmann::json d = {{"range",
                       {{"start", {{"line", riga}, {"character", inizio}}},
                        {"end", {{"line", riga}, {"character", fine}}}}},
                      {"severity", p.livello == gravita::errore ? 1 : 2},
                      {"source", "tracciato"},
                      {"message", messaggio}};
  if (p.codice) d["code"] = *p.codice;
  return d;
}

}  // namespace tracciato::lsp
