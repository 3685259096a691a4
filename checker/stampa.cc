#include "checker/stampa.h"

#include <algorithm>
#include <tuple>
#include <nlohmann/json.hpp>

#include "platform/testo.h"

namespace tracciato {

namespace {

// A control character as a message shows it: "\x1b", "\x9b".
void metti_escape(std::string& s, char32_t c) {
  static constexpr char cifre[] = "0123456789abcdef";
  s += "\\x";
  s += cifre[(c >> 4) & 15];
  s += cifre[c & 15];
}

bool controllo(char32_t c) { return c < 0x20 || (c >= 0x7f && c < 0xa0); }

// 5000000 as "5,000,000".
std::string con_migliaia(size_t n) {
  std::string cifre = std::to_string(n);
  for (size_t i = cifre.size(); i > 3; i -= 3) cifre.insert(i - 3, ",");
  return cifre;
}

}  // namespace

std::string per_terminale(std::string_view t, size_t massimo) {
  std::string s;
  s.reserve(std::min(t.size(), massimo) + 8);
  size_t i = 0;
  for (size_t n = 0; i < t.size() && n < massimo; ++n) {
    char32_t c = static_cast<unsigned char>(t[i]);
    size_t lunghezza = 1;
    if (c >= 0x80) {
      std::tie(c, lunghezza) = decodifica_utf8(t, i);
      if (lunghezza == 0) {
        lunghezza = 1;
        c = carattere_1252(static_cast<unsigned char>(t[i]));
      }
    }
    if (controllo(c)) {
      metti_escape(s, c);
    } else if (lunghezza > 1) {
      s.append(t.substr(i, lunghezza));  // UTF-8 already
    } else if (c < 0x10000) {
      metti_utf8(s, c);
    }
    i += lunghezza;
  }
  if (i < t.size()) s += "…";
  return s;
}

std::string citato(std::string_view t) {
  constexpr size_t massimo = 60;
  const std::string q = "\"" + per_terminale(t, massimo) + "\"";
  return q.ends_with("…\"") && !t.ends_with("…") ? q + " (" + con_migliaia(t.size()) + " bytes)" : q;
}

std::string intestazione(const problema& p) {
  std::string s;
  if (!p.file.empty()) {
    s = per_terminale(p.file);
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
  s += per_terminale(p.messaggio);
  if (!p.sigla.empty()) s += " [" + p.sigla + "]";
  return s;
}

indice_righe::indice_righe(std::string_view testo) : testo_(testo) {
  inizi_.push_back(0);
  for (size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] != '\r' && testo[i] != '\n') continue;
    if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
    inizi_.push_back(i + 1);
  }
}

std::optional<std::string_view> indice_righe::riga(int32_t n) const {
  if (n < 1 || static_cast<size_t>(n) > inizi_.size()) return std::nullopt;
  const size_t i = inizi_[static_cast<size_t>(n - 1)];
  size_t fine = i;
  while (fine < testo_.size() && testo_[fine] != '\r' && testo_[fine] != '\n') ++fine;
  return testo_.substr(i, fine - i);
}

namespace {

std::string estratto_di(std::string_view r, int32_t colonna) {
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
  std::string s = "  " + avanti;
  std::string sotto = "  " + std::string(avanti.size(), ' ');
  // Tabs stay tabs so that the caret stands under its character; a control
  // byte is shown escaped, with as many blanks under it.
  for (size_t k = da; k < a; ++k) {
    const auto b = static_cast<unsigned char>(r[k]);
    const char32_t c = carattere_1252(b);
    const size_t prima_di = s.size();
    size_t larga = 1;
    if (b == '\t') {
      s += '\t';
    } else if (controllo(c)) {
      metti_escape(s, c);
      larga = s.size() - prima_di;
    } else {
      metti_utf8(s, c);
    }
    if (k < col) sotto += b == '\t' ? std::string(1, '\t') : std::string(larga, ' ');
  }
  s += (a < r.size() ? "...\n" : "\n");
  if (colonna < 1) return s;
  return s + sotto + "^\n";
}

}  // namespace

std::string estratto(const indice_righe& righe, int32_t riga, int32_t colonna) {
  const auto r = righe.riga(riga);
  return r ? estratto_di(*r, colonna) : "";
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
  return estratto_di(testo.substr(i, fine - i), colonna);
}

std::string riga_totali(const totali& t) {
  return std::to_string(t.errori) + (t.errori == 1 ? " error, " : " errors, ") + std::to_string(t.avvisi) +
         (t.avvisi == 1 ? " warning" : " warnings");
}

void stampa_problemi(std::ostream& out, const std::vector<problema>& problemi,
                     const std::map<std::string, std::string_view>& testi, size_t massimo) {
  // Each file's lines indexed once, when a problem first needs them.
  std::map<std::string, indice_righe> indici;
  size_t n = 0;
  for (const problema& p : problemi) {
    if (n++ == massimo) break;
    out << intestazione(p) << "\n";
    if (const auto t = testi.find(p.file); t != testi.end() && p.riga > 0) {
      auto i = indici.find(p.file);
      if (i == indici.end()) i = indici.emplace(p.file, indice_righe(t->second)).first;
      out << estratto(i->second, p.riga, p.colonna);
    }
    if (!p.suggerimento.empty()) out << "  hint: " << per_terminale(p.suggerimento) << "\n";
  }
  if (problemi.size() > massimo) out << "(" << problemi.size() - massimo << " more)\n";
  out << riga_totali(conta(problemi)) << "\n";
}

std::string in_json(const std::vector<problema>& problemi) {
  const auto o_null = [](const std::optional<int32_t>& v) { return v ? nlohmann::json(*v) : nlohmann::json(nullptr); };
  // One problem at a time into the text, as the whole object would print
  // (keys in order: errors, problems, warnings), so that a long list never
  // stands in memory as a tree of JSON values.
  const totali t = conta(problemi);
  std::string s = "{\"errors\":" + std::to_string(t.errori) + ",\"problems\":[";
  for (size_t i = 0; i < problemi.size(); ++i) {
    const problema& p = problemi[i];
    if (i > 0) s += ',';
    s += nlohmann::json{{"severity", p.livello == gravita::errore ? "error" : "warning"},
                        {"code", o_null(p.codice)},
                        {"id", p.sigla.empty() ? nlohmann::json(nullptr) : nlohmann::json(p.sigla)},
                        {"file", p.file},
                        {"line", p.riga},
                        {"column", p.colonna},
                        {"end_column", p.colonna_fine},
                        {"position", o_null(p.posizione)},
                        {"message", per_terminale(p.messaggio)},
                        {"hint", per_terminale(p.suggerimento)}}
             .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  return s + "],\"warnings\":" + std::to_string(t.avvisi) + "}";
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
