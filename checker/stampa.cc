#include "checker/stampa.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/testo.h"

namespace tracciato {

std::string intestazione(const problema& p) {
  std::string s;
  if (!p.file.empty()) {
    s = p.file;
    if (p.riga > 0) {
      s += ":" + std::to_string(p.riga);
      if (p.colonna > 0) s += ":" + std::to_string(p.colonna);
    }
    s += ": ";
  }
  s += p.livello == gravita::errore ? "error: " : "warning: ";
  std::string dove;
  if (p.codice) dove = "fault " + std::to_string(*p.codice);
  if (p.posizione) dove += (dove.empty() ? "at " : " at ") + std::to_string(*p.posizione) + " m";
  if (!dove.empty()) s += dove + ": ";
  return s + a_utf8(p.messaggio);
}

std::string estratto(std::string_view testo, int32_t riga, int32_t colonna) {
  if (riga < 1) return "";
  size_t i = 0;
  for (int32_t n = 1; n < riga; ++n) {
    while (i < testo.size() && testo[i] != '\r' && testo[i] != '\n') ++i;
    if (i >= testo.size()) return "";
    i += (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ? 2 : 1;
  }
  size_t fine = i;
  while (fine < testo.size() && testo[fine] != '\r' && testo[fine] != '\n') ++fine;
  const std::string_view r = testo.substr(i, fine - i);
  // A long line is shown as the 100 bytes around the column, so that a huge
  // field never floods the report.
  constexpr size_t larghezza = 100, prima = 60;
  const size_t col = colonna > 0 ? static_cast<size_t>(colonna) - 1 : 0;
  size_t da = 0, a = r.size();
  if (r.size() > larghezza) {
    da = std::min(col > prima ? col - prima : 0, r.size() - larghezza);
    a = da + larghezza;
  }
  const std::string avanti = da > 0 ? "..." : "";
  std::string s = "  " + avanti + a_utf8(r.substr(da, a - da)) + (a < r.size() ? "..." : "") + "\n";
  if (colonna < 1) return s;
  std::string sotto = "  " + std::string(avanti.size(), ' ');
  // Tabs stay tabs so that the caret stands under its character.
  for (size_t k = da; k < col && k < a; ++k) sotto += r[k] == '\t' ? '\t' : ' ';
  return s + sotto + "^\n";
}

std::string riga_totali(const totali& t) {
  return std::to_string(t.errori) + (t.errori == 1 ? " error, " : " errors, ") + std::to_string(t.avvisi) +
         (t.avvisi == 1 ? " warning" : " warnings");
}

void stampa_problemi(std::ostream& out, const std::vector<problema>& problemi,
                     const std::map<std::string, std::string_view>& testi, size_t massimo) {
  size_t n = 0;
  for (const problema& p : problemi) {
    if (n++ == massimo) break;
    out << intestazione(p) << "\n";
    if (const auto t = testi.find(p.file); t != testi.end()) out << estratto(t->second, p.riga, p.colonna);
    if (!p.suggerimento.empty()) out << "  hint: " << a_utf8(p.suggerimento) << "\n";
  }
  if (problemi.size() > massimo) out << "(" << problemi.size() - massimo << " more)\n";
  out << riga_totali(conta(problemi)) << "\n";
}

std::string in_json(const std::vector<problema>& problemi) {
  const auto o_null = [](const std::optional<int32_t>& v) { return v ? nlohmann::json(*v) : nlohmann::json(nullptr); };
  auto lista = nlohmann::json::array();
  for (const problema& p : problemi)
    lista.push_back({{"severity", p.livello == gravita::errore ? "error" : "warning"},
                     {"code", o_null(p.codice)},
                     {"file", p.file},
                     {"line", p.riga},
                     {"column", p.colonna},
                     {"position", o_null(p.posizione)},
                     {"message", a_utf8(p.messaggio)},
                     {"hint", a_utf8(p.suggerimento)}});
  const totali t = conta(problemi);
  nlohmann::json j;
  j["problems"] = lista;
  j["errors"] = t.errori;
  j["warnings"] = t.avvisi;
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

int stato_controllo(const std::vector<problema>& problemi, bool strict) {
  const totali t = conta(problemi);
  if (t.errori > 0 || (strict && t.avvisi > 0)) return 2;
  return t.avvisi > 0 ? 1 : 0;
}

}  // namespace tracciato

namespace tracciato {

int riporta_controllo(std::ostream& out, const std::vector<problema>& problemi,
                      const std::vector<testo_sorgente>& testi, bool json, bool strict) {
  if (json) {
    out << in_json(problemi) << "\n";
  } else {
    std::map<std::string, std::string_view> mappa;
    for (const testo_sorgente& t : testi) mappa.emplace(t.nome, t.dati);
    stampa_problemi(out, problemi, mappa);
  }
  return stato_controllo(problemi, strict);
}

}  // namespace tracciato
