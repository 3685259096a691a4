#include "lsp/aiuto.h"

#include "model/luogo.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "lsp/documento.h"
#include "checker/vista.h"
#include "loader/posa.h"
#include "model/luogo.h"
#include "model/numeri.h"
#include "model/regole.h"
#include "model/scenario.h"
#include "platform/testo.h"

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

std::string descrizione_campo(const campo_formato& c) {
  std::string s = "`" + std::string(c.nome) + "`";
  if (!c.unita.empty()) s += " [" + std::string(c.unita) + "]";
  s += ": " + std::string(c.significato);
  if (!c.intervallo.empty()) s += " (" + std::string(c.intervallo) + ")";
  return s;
}

std::string descrizione_record(const record_formato& r) {
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

namespace cs = campo_stazione;

// The cell a station marks: the cell before the end of its extent (kinds below 25).
std::optional<int64_t> cella_della_stazione(const riga_record& rr) {
  if (rr.campi.size() <= cs::flag3) return std::nullopt;
  const auto p = numero_di(rr.campi[cs::posizione].testo), tipo = numero_di(rr.campi[cs::tipo].testo);
  const auto l = numero_di(rr.campi[cs::lunghezza].testo), f3 = numero_di(rr.campi[cs::flag3].testo);
  if (!p || !tipo || !l || !f3 || !con_cella_stazione(*tipo)) return std::nullopt;
  return tracciato::cella_della_stazione(estensione_stazione(*tipo, *p, *l, *f3 != 0).fine);
}

}  // namespace

std::string testo_hover_campo(const riga_record& rr, size_t k, std::string_view dati_linea) {
  const campo_formato& c = rr.schema->campi[k];
  std::string s = "field " + std::to_string(k + 1) + " of `" + std::string(rr.schema->parola) +
                  "`: " + std::string(c.nome);
  const auto v = c.uso == uso_campo::testo ? std::nullopt : numero_di(rr.campi[k].testo);
  if (v) {
    if (c.uso == uso_campo::posizione) {
      // Named as every tool names a place; the cell is the item's, placed by its first field.
      const bool stazione = rr.schema->cella == cella_voce::stazione;
      s += ", " + testo_luogo(chilometrico(dati_linea), *v,
                              k == 0 && !stazione ? rr.schema->cella : cella_voce::nessuna);
      if (const std::optional<int64_t> cella = k == 0 && stazione ? cella_della_stazione(rr) : std::nullopt)
        s += "; station cell " + std::to_string(*cella);
    } else {
      s += ", " + std::to_string(*v) + (c.unita.empty() ? "" : " " + std::string(c.unita));
    }
  }
  s += "\n\n" + std::string(c.significato);
  if (!c.intervallo.empty()) s += "; range: " + std::string(c.intervallo);
  if (rr.schema->genere == genere_voce::stazione && c.uso == uso_campo::testo && rr.campi.size() > cs::secondi) {
    const auto h = numero_di(rr.campi[cs::ore].testo), m = numero_di(rr.campi[cs::minuti].testo),
               sec = numero_di(rr.campi[cs::secondi].testo), fermata = numero_di(rr.campi[cs::fermata].testo);
    s = "station **" + in_utf8(rr.campi[k].testo) + "**: ";
    if (h && m && sec && (*h || *m || *sec))
      s += orario(*h, *m, *sec);
    else
      s += "no scheduled time";
    if (fermata && *fermata) s += " (stop value " + std::to_string(*fermata) + ")";
  }
  return s;
}

namespace {

// The keyword as a snippet, where the keyword itself holds a choice, and the
// number of tab stops it takes.
std::pair<std::string, int> parola_snippet(std::string_view parola) {
  if (parola.substr(0, 5) == "curva") return {"curva${1|d,s|}${2|1,2,3,4,5,6|}", 2};
  if (parola.substr(0, 11) == "ripetizione") return {"ripetizione segnali ${1|4,9|} codici", 1};
  return {std::string(parola), 0};
}

// The records of the file that a section holds; every record of the file's
// later sections under a header the writer does not use.
bool nella_sezione(const record_formato& r, std::string_view sezione, tipo_file file) {
  // sezione is in lower case, as the headers of the table are.
  const auto note = intestazioni_file(file);
  if (std::find(note.begin(), note.end(), sezione) == note.end())
    return sezione_di(r.genere) != "[generale]";
  return sezione_di(r.genere) == sezione;
}

}  // namespace

std::string chilometro(std::string_view dati_linea, int64_t p) {
  const scenario s = chilometrico(dati_linea);
  bool usate = false;
  for (int k = posto_progressiva_tre; k <= posto_progressiva_uno; ++k) {
    const voce_tabella& t = s.tabella[static_cast<size_t>(k)];
    usate = usate || t.valore1 != 0 || t.valore2 != 0 || t.valore3 != 0;
  }
  if (!usate) return {};
  return testo_chilometrica(chilometrica(s, p));
}

scenario chilometrico(std::string_view dati_linea) {
  // The references as the loader leaves them: read into their slots, then
  // ordered, a flagged one 100 m on.
  std::vector<problema> scartati;
  const vista v = leggi_vista(tipo_file::linea, "", dati_linea, scartati);
  scenario s;
  for (const voce& x : v.voci) {
    const int posto = x.tipo == genere_voce::progressiva_tre   ? posto_progressiva_tre
                      : x.tipo == genere_voce::progressiva_due ? posto_progressiva_due
                      : x.tipo == genere_voce::progressiva_uno ? posto_progressiva_uno
                                                               : 0;
    if (posto == 0 || !x.completa()) continue;
    voce_tabella& t = s.tabella[static_cast<size_t>(posto)];
    t.valore1 = x.n(0);
    t.valore2 = x.n(1);
    t.valore3 = x.n(2);
  }
  progressive_ordina(s);
  return s;
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
      return {{"contents", markdown(testo_hover_campo(rr, k, dati_linea))},
              {"range", intervallo_lsp(riga, rr.campi[k].inizio, rr.campi[k].fine)}};
  return nullptr;
}

json completamento(std::string_view dati, genere_file genere, int64_t riga, int64_t colonna,
                  bool snippet) {
  json elementi = json::array();
  const auto righe = righe_di(dati);
  if (riga < 0 || riga >= static_cast<int64_t>(righe.size()) || colonna < 0) return elementi;
  const std::string_view r = righe[riga];
  const size_t col = std::min(static_cast<size_t>(colonna), r.size());
  const std::string_view prima = r.substr(0, col);
  if (prima.find(',') != std::string_view::npos) return elementi;  // past the keyword field
  size_t inizio = prima.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) inizio = col;
  const std::string_view scritto = prima.substr(inizio);
  const json sostituisci = intervallo_lsp(riga, inizio, col);

  // The section the line stands in, and the headers the file already has.
  std::string sezione;
  std::vector<std::string> presenti;
  for (size_t i = 0; i < righe.size(); ++i)
    if (const auto h = intestazione(righe[i])) {
      std::string t = "[" + std::string(*h) + "]";
      for (char& c : t) c = static_cast<char>(minuscola(static_cast<unsigned char>(c)));
      if (static_cast<int64_t>(i) < riga) sezione = t;
      presenti.push_back(std::move(t));
    }

  std::vector<tipo_file> file;
  if (genere != genere_file::treno) file.push_back(tipo_file::linea);
  if (genere != genere_file::linea) file.push_back(tipo_file::treno);

  // Records, in a section that holds some; never while a header is being typed.
  if (!sezione.empty() && !scritto.starts_with("[")) {
    for (const record_formato& rec : formato_testo()) {
      if (std::find(file.begin(), file.end(), rec.file) == file.end()) continue;
      if (!nella_sezione(rec, sezione, rec.file)) continue;
      auto aggiungi = [&](const std::string& etichetta, const std::string& testo, int formato) {
        elementi.push_back({{"label", etichetta},
                            {"kind", 14},  // Keyword
                            {"detail", rec.descrizione},
                            {"documentation", markdown(descrizione_record(rec))},
                            {"filterText", etichetta},
                            {"insertTextFormat", formato},
                            {"textEdit", {{"range", sostituisci}, {"newText", testo}}}});
      };
      if (snippet) {
        // Numbered tab stops in order: the keyword's choices first, then each field.
        auto [testo, n] = parola_snippet(rec.parola);
        for (const campo_formato& c : rec.campi)
          testo += ", ${" + std::to_string(++n) + ":" + std::string(c.nome) + "}";
        std::string etichetta(rec.parola);
        if (etichetta.starts_with("curva")) etichetta = "curva";
        aggiungi(etichetta, testo, 2 /* Snippet */);
        continue;
      }
      // Plain text: every spelling of the keyword, and the comma after it.
      for (std::string_view p : parole_del_file(rec.file))
        if (const riconosciuti v = riconosci_voci(rec.file, rec.generale, p); !v.empty() && v.front() == rec.genere)
          aggiungi(std::string(p), std::string(p) + ", ", 1 /* PlainText */);
    }
  }
  // Headers where a new section may start: after the one the line is in, in
  // the writer's order, and not in the file yet.
  if (!scritto.empty() && !scritto.starts_with("[")) return elementi;
  std::vector<std::string_view> offerte;
  for (const tipo_file f : file) {
    const auto h = intestazioni_file(f);
    const auto qui = std::find(h.begin(), h.end(), sezione);
    // Before any header only the first may start; after one the writer does not use, none.
    const auto da = sezione.empty() ? h.begin() : qui == h.end() ? h.end() : qui + 1;
    const auto a = sezione.empty() ? h.begin() + 1 : h.end();
    for (auto it = da; it < a; ++it)
      if (std::find(presenti.begin(), presenti.end(), *it) == presenti.end() &&
          std::find(offerte.begin(), offerte.end(), *it) == offerte.end())
        offerte.push_back(*it);
  }
  for (std::string_view h : offerte)
    elementi.push_back({{"label", h},
                        {"kind", 9},  // Module
                        {"detail", "section header"},
                        {"filterText", h},
                        {"insertTextFormat", 1},
                        {"textEdit", {{"range", sostituisci}, {"newText", h}}}});
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
    if (!rr.schema || rr.schema->genere != genere_voce::stazione || rr.campi.size() <= cs::nome ||
        sezioni.empty())
      continue;
    std::string dettaglio = std::string(rr.campi[cs::posizione].testo) + " m";
    const auto h = numero_di(rr.campi[cs::ore].testo), m = numero_di(rr.campi[cs::minuti].testo),
               s = numero_di(rr.campi[cs::secondi].testo);
    if (h && m && s && (*h || *m || *s)) dettaglio += ", " + orario(*h, *m, *s);
    sezioni.back()["children"].push_back(
        {{"name",
          rr.campi[cs::nome].testo.empty() ? "(no name)" : in_utf8(rr.campi[cs::nome].testo)},  // never empty
         {"detail", dettaglio},
         {"kind", 24},  // Event: a point of the timetable
         {"range", intervallo_lsp(riga, 0, righe[i].size())},
         {"selectionRange", intervallo_lsp(riga, rr.campi[cs::nome].inizio, rr.campi[cs::nome].fine)}});
  }
  chiudi(static_cast<int64_t>(righe.size()) - 1);
  return sezioni;
}

}  // namespace tracciato::lsp
