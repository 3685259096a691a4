#include "lsp/aiuto.h"

#include <charconv>
#include <optional>
#include <string>

#include "lsp/documento.h"
#include "model/numeri.h"

namespace tracciato::lsp {
namespace {

using nlohmann::json;

// A number field's value as the reader takes it: empty is 0, a leading "+" is
// allowed; nullopt for anything that does not read.
std::optional<int64_t> numero_di(std::string_view t) {
  if (t.empty()) return 0;
  if (t.front() == '+') t.remove_prefix(1);
  int64_t v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
  return v;
}

json posizione_lsp(int64_t riga, int64_t colonna) {
  return {{"line", riga}, {"character", colonna}};
}

json intervallo_lsp(int64_t riga, size_t inizio, size_t fine) {
  return {{"start", posizione_lsp(riga, static_cast<int64_t>(inizio))},
          {"end", posizione_lsp(riga, static_cast<int64_t>(fine))}};
}

json markdown(const std::string& testo) { return {{"kind", "markdown"}, {"value", testo}}; }

std::string descrizione_campo(const campo_record& c) {
  std::string s = "`" + std::string(c.nome) + "`";
  if (!c.unita.empty()) s += " [" + std::string(c.unita) + "]";
  s += ": " + std::string(c.significato);
  if (!c.intervallo.empty()) s += " (" + std::string(c.intervallo) + ")";
  return s;
}

std::string descrizione_record(const record_schema& r) {
  std::string s = "**" + std::string(r.parola) + "**: " + std::string(r.descrizione) + ", " +
                  std::to_string(r.campi.size()) + (r.campi.size() == 1 ? " field\n" : " fields\n");
  for (size_t i = 0; i < r.campi.size(); ++i)
    s += "\n" + std::to_string(i + 1) + ". " + descrizione_campo(r.campi[i]);
  return s;
}

std::string orario(int64_t h, int64_t m, int64_t s) {
  auto due = [](int64_t v) { return (v >= 0 && v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(h) + ":" + due(m) + ":" + due(s);
}

// The cell a station marks: the cell before the end of its extent (kinds below 25).
std::optional<int64_t> cella_stazione(const riga_record& rr) {
  if (rr.campi.size() < 6) return std::nullopt;
  const auto p = numero_di(rr.campi[0].testo), tipo = numero_di(rr.campi[1].testo);
  const auto l = numero_di(rr.campi[2].testo), f3 = numero_di(rr.campi[5].testo);
  if (!p || !tipo || !l || !f3 || *tipo >= 25) return std::nullopt;
  int64_t fine;
  if (*tipo == 5 || *tipo == 6)
    fine = *p + 150;
  else if (*tipo == 7 || *tipo == 8)
    fine = *p + *l;
  else
    fine = *p + *l / 2 + (*f3 != 0 ? 50 : 0);
  return arrotonda(static_cast<double>(fine) / 50 - 1);
}

std::string testo_campo(const riga_record& rr, size_t k, std::string_view dati_linea) {
  const campo_record& c = rr.schema->campi[k];
  std::string s = "field " + std::to_string(k + 1) + " of `" + std::string(rr.schema->parola) +
                  "`: " + std::string(c.nome);
  const auto v = c.tipo == tipo_campo::testo ? std::nullopt : numero_di(rr.campi[k].testo);
  if (v) {
    s += ", " + std::to_string(*v) + (c.unita.empty() ? "" : " " + std::string(c.unita));
    if (c.tipo == tipo_campo::posizione) {
      const bool stazione = rr.schema->parola == "stazione";
      std::optional<int64_t> cella;
      if (stazione)
        cella = cella_stazione(rr);
      else if (c.scarto != senza_cella)
        cella = cella_di(*v, c.scarto);
      if (cella)
        s += std::string(stazione ? " = station cell " : " = cell ") + std::to_string(*cella);
      const std::string km = chilometro(dati_linea, *v);
      if (!km.empty()) s += ", km " + km;
    }
  }
  s += "\n\n" + std::string(c.significato);
  if (!c.intervallo.empty()) s += "; range: " + std::string(c.intervallo);
  if (rr.schema->parola == "stazione" && c.tipo == tipo_campo::testo && rr.campi.size() >= 16) {
    const auto h = numero_di(rr.campi[13].testo), m = numero_di(rr.campi[14].testo),
               sec = numero_di(rr.campi[15].testo), fermata = numero_di(rr.campi[12].testo);
    s = "station **" + in_utf8(rr.campi[k].testo) + "**: ";
    if (h && m && sec && (*h || *m || *sec))
      s += orario(*h, *m, *sec);
    else
      s += "no scheduled time";
    if (fermata && *fermata) s += " (stop value " + std::to_string(*fermata) + ")";
  }
  return s;
}

constexpr std::string_view intestazioni_linea[] = {
    "[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::string_view intestazioni_treno[] = {"[generale]", "[aderenze]",      "[vel_limite]",
                                                   "[stazioni]", "[rallentamenti]", "[segnali]",
                                                   "[codici]",   "[fine]"};

// The keyword as a snippet, where the keyword itself holds a choice.
std::string parola_snippet(std::string_view parola) {
  if (parola.substr(0, 5) == "curva") return "curva${1|d,s|}${2|1,2,3,4,5,6|}";
  if (parola.substr(0, 11) == "ripetizione") return "ripetizione segnali ${1|4,9|} codici";
  return std::string(parola);
}

}  // namespace

std::string chilometro(std::string_view dati_linea, int64_t p) {
  // The reference with the greatest start at or before p; one with start and
  // value both 0 is an unused reference.
  std::optional<std::pair<int64_t, int64_t>> migliore;
  for (std::string_view r : righe_di(dati_linea)) {
    const riga_record rr = analizza_riga(genere_file::linea, r);
    if (!rr.schema || rr.schema->parola.substr(0, 11) != "progressiva" || rr.campi.size() < 2)
      continue;
    const auto inizio = numero_di(rr.campi[0].testo), valore = numero_di(rr.campi[1].testo);
    if (!inizio || !valore || (*inizio == 0 && *valore == 0) || *inizio > p) continue;
    if (!migliore || *inizio > migliore->first) migliore = std::pair(*inizio, *valore);
  }
  if (!migliore) return {};
  const int64_t v = migliore->second + (p - migliore->first);
  const int64_t a = v < 0 ? -v : v;
  const std::string metri = std::to_string(a % 1000);
  return (v < 0 ? "-" : "") + std::to_string(a / 1000) + "." + std::string(3 - metri.size(), '0') +
         metri;
}

json hover(std::string_view dati, genere_file genere, std::string_view dati_linea, int64_t riga,
           int64_t colonna) {
  const auto righe = righe_di(dati);
  if (riga < 0 || riga >= static_cast<int64_t>(righe.size()) || colonna < 0) return nullptr;
  const riga_record rr = analizza_riga(genere, righe[riga]);
  if (!rr.schema) return nullptr;
  const auto col = static_cast<size_t>(colonna);
  auto dentro = [col](const campo_riga& c) { return col >= c.inizio && col <= c.fine; };
  if (dentro(rr.parola))
    return {{"contents", markdown(descrizione_record(*rr.schema))},
            {"range", intervallo_lsp(riga, rr.parola.inizio, rr.parola.fine)}};
  for (size_t k = 0; k < rr.campi.size(); ++k)
    if (dentro(rr.campi[k]))
      return {{"contents", markdown(testo_campo(rr, k, dati_linea))},
              {"range", intervallo_lsp(riga, rr.campi[k].inizio, rr.campi[k].fine)}};
  return nullptr;
}

json completamento(std::string_view dati, genere_file genere, int64_t riga, int64_t colonna) {
  json elementi = json::array();
  const auto righe = righe_di(dati);
  if (riga < 0 || riga >= static_cast<int64_t>(righe.size()) || colonna < 0) return elementi;
  const std::string_view r = righe[riga];
  const size_t col = std::min(static_cast<size_t>(colonna), r.size());
  const std::string_view prima = r.substr(0, col);
  if (prima.find(',') != std::string_view::npos) return elementi;  // past the keyword field
  size_t inizio = prima.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) inizio = col;
  const json sostituisci = intervallo_lsp(riga, inizio, col);

  for (const record_schema& rec : tutti_i_record()) {
    if (genere != genere_file::ignoto && rec.file != genere) continue;
    std::string snippet = parola_snippet(rec.parola);
    int n = snippet == rec.parola ? 1 : 3;
    for (const campo_record& c : rec.campi)
      snippet += ", ${" + std::to_string(n++) + ":" + std::string(c.nome) + "}";
    std::string etichetta(rec.parola);
    if (etichetta.substr(0, 5) == "curva") etichetta = "curva";
    elementi.push_back({{"label", etichetta},
                        {"kind", 14},  // Keyword
                        {"detail", rec.descrizione},
                        {"documentation", markdown(descrizione_record(rec))},
                        {"filterText", etichetta},
                        {"insertTextFormat", 2},  // Snippet
                        {"textEdit", {{"range", sostituisci}, {"newText", snippet}}}});
  }
  auto aggiungi = [&](std::span<const std::string_view> v) {
    for (std::string_view h : v) {
      bool presente = false;
      for (const json& e : elementi) presente = presente || e["label"] == h;
      if (presente) continue;
      elementi.push_back({{"label", h},
                          {"kind", 9},  // Module
                          {"detail", "section header"},
                          {"filterText", h},
                          {"insertTextFormat", 1},
                          {"textEdit", {{"range", sostituisci}, {"newText", h}}}});
    }
  };
  if (genere != genere_file::treno) aggiungi(intestazioni_linea);
  if (genere != genere_file::linea) aggiungi(intestazioni_treno);
  return elementi;
}

json simboli(std::string_view dati, genere_file genere) {
  json sezioni = json::array();
  const auto righe = righe_di(dati);
  auto chiudi = [&](int64_t ultima) {
    if (sezioni.empty()) return;
    json& s = sezioni.back();
    const int64_t da = s["range"]["start"]["line"];
    int64_t a = ultima;
    while (a > da && righe[a].find_first_not_of(" \t") == std::string_view::npos) --a;
    s["range"]["end"] = posizione_lsp(a, static_cast<int64_t>(righe[a].size()));
  };
  for (size_t i = 0; i < righe.size(); ++i) {
    const auto riga = static_cast<int64_t>(i);
    if (const auto nome = intestazione(righe[i])) {
      chiudi(riga - 1);
      const json r = intervallo_lsp(riga, 0, righe[i].size());
      sezioni.push_back({{"name", "[" + in_utf8(*nome) + "]"},
                         {"kind", 3},  // Namespace
                         {"range", r},
                         {"selectionRange", r},
                         {"children", json::array()}});
      continue;
    }
    const riga_record rr = analizza_riga(genere, righe[i]);
    if (!rr.schema || rr.schema->parola != "stazione" || rr.campi.size() < 17 || sezioni.empty())
      continue;
    std::string dettaglio = std::string(rr.campi[0].testo) + " m";
    const auto h = numero_di(rr.campi[13].testo), m = numero_di(rr.campi[14].testo),
               s = numero_di(rr.campi[15].testo);
    if (h && m && s && (*h || *m || *s)) dettaglio += ", " + orario(*h, *m, *s);
    sezioni.back()["children"].push_back(
        {{"name",
          rr.campi[16].testo.empty() ? "(no name)" : in_utf8(rr.campi[16].testo)},  // never empty
         {"detail", dettaglio},
         {"kind", 24},  // Event: a point of the timetable
         {"range", intervallo_lsp(riga, 0, righe[i].size())},
         {"selectionRange", intervallo_lsp(riga, rr.campi[16].inizio, rr.campi[16].fine)}});
  }
  chiudi(static_cast<int64_t>(righe.size()) - 1);
  return sezioni;
}

}  // namespace tracciato::lsp
