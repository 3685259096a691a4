#include "checker/documenti_confronto.h"

#include <algorithm>

#include "documenti/documenti.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

std::vector<std::string> righe_di(const std::string& t) {
  std::vector<std::string> r;
  size_t i = 0;
  while (i < t.size()) {
    size_t j = t.find('\n', i);
    if (j == std::string::npos) j = t.size();
    std::string riga = t.substr(i, j - i);
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    r.push_back(std::move(riga));
    i = j + 1;
  }
  return r;
}

std::string tolto(std::string t) {
  while (!t.empty() && (t.back() == ' ' || t.back() == '.')) t.pop_back();
  const size_t a = t.find_first_not_of(' ');
  return a == std::string::npos ? "" : t.substr(a);
}

// The rows a document compares, with their line numbers (1-based): in the
// card the rows with a kilometre (stations), as the kilometre-to-times
// columns; in the order the filled table rows up to the prescriptions.
struct riga_confronto {
  int32_t numero;
  std::string testo;
};

std::vector<riga_confronto> righe_scheda(const std::string& t) {
  std::vector<riga_confronto> r;
  const auto righe = righe_di(t);
  for (size_t i = 0; i < righe.size(); ++i) {
    const std::string& x = righe[i];
    // "  |" speed "|" speed "|" kilometre (10) "|" place (22) "|" times (15) "|" ...
    if (x.size() < 65 || !x.starts_with("  |") || x[14] != '|' || x[48] != '|' || x[64] != '|') continue;
    const char c = x[15];
    if (!(c == '-' || (c >= '0' && c <= '9'))) continue;
    r.push_back({static_cast<int32_t>(i + 1), x.substr(15, 49)});
  }
  return r;
}

std::vector<riga_confronto> righe_ordine(const std::string& t) {
  std::vector<riga_confronto> r;
  const auto righe = righe_di(t);
  for (size_t i = 0; i < righe.size(); ++i) {
    const std::string& x = righe[i];
    if (x.size() < 69 || !x.starts_with(" |") || x[5] != '|' || x[68] != '|') continue;
    const std::string n = tolto(x.substr(2, 3));
    if (n.empty() || !std::all_of(n.begin(), n.end(), [](char k) { return k >= '0' && k <= '9'; })) continue;
    r.push_back({static_cast<int32_t>(i + 1), x.substr(0, 69)});
  }
  return r;
}

// "ARDOLEA 14.23 14.24" from a card row's columns, for a message.
std::string in_parole_scheda(const std::string& c) {
  std::string t = tolto(c.substr(0, 10)) + " " + tolto(c.substr(11, 22)) + " " + tolto(c.substr(34, 15));
  return a_utf8(tolto(t));
}

std::string in_parole_ordine(const std::string& c) {
  std::string t;
  for (const auto& [a, n] : {std::pair{2, 3}, {6, 28}, {35, 12}, {48, 10}, {59, 9}}) t += tolto(c.substr(a, n)) + "; ";
  return a_utf8(t.substr(0, t.size() - 2));
}

void confronta(std::vector<problema>& p, const documento_trovato& d, const char* sigla, const char* cosa,
               const std::vector<riga_confronto>& attese, const std::vector<riga_confronto>& trovate,
               std::string (*parole)(const std::string&)) {
  const auto avviso = [&](int32_t riga, std::string m) {
    problema x;
    x.livello = gravita::avviso;
    x.sigla = sigla;
    x.file = d.nome;
    x.riga = riga;
    x.colonna = riga > 0 ? 1 : 0;
    x.messaggio = std::move(m);
    x.suggerimento = "write the documents again with tracciato documents (or compile --documents)";
    p.push_back(std::move(x));
  };
  const size_t n = std::min(attese.size(), trovate.size());
  for (size_t i = 0; i < n; ++i)
    if (attese[i].testo != trovate[i].testo)
      avviso(trovate[i].numero, std::string(cosa) + " " + std::to_string(i + 1) + " reads \"" +
                                    parole(trovate[i].testo) + "\"; the train file gives \"" +
                                    parole(attese[i].testo) + "\"");
  if (trovate.size() > n)
    avviso(trovate[n].numero, "the document has " + std::to_string(trovate.size()) + " " + cosa + " rows; the train file gives " +
                                  std::to_string(attese.size()));
  if (attese.size() > n)
    avviso(0, "the document has " + std::to_string(trovate.size()) + " " + cosa + " rows; the train file gives " +
                  std::to_string(attese.size()) + ", the first missing \"" + parole(attese[n].testo) + "\"");
}

}  // namespace

std::vector<problema> confronta_documenti(const scenario& s, const std::string& treno,
                                          const std::optional<documento_trovato>& scheda,
                                          const std::optional<documento_trovato>& ordine) {
  std::vector<problema> p;
  if (!scheda && !ordine) return p;
  opzioni_documenti o;
  o.numero_treno = s.numero_treno;
  const documenti_autore d = componi_documenti(s, treno, o);
  if (scheda)
    confronta(p, *scheda, "W501", "station", righe_scheda(d.scheda), righe_scheda(scheda->dati), in_parole_scheda);
  if (ordine)
    confronta(p, *ordine, "W502", "slowdown", righe_ordine(d.rallentamenti), righe_ordine(ordine->dati),
              in_parole_ordine);
  return p;
}

}  // namespace tracciato
