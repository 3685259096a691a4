#include "viewer/pagina.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "model/errori.h"
#include "model/luogo.h"
#include "platform/testo.h"
#include "viewer/elementi.h"
#include "viewer/planimetria_sottile.h"
#include "viewer/risorse_pagina.h"

namespace tracciato {
namespace {

using json = nlohmann::json;

std::string escape_html(std::string_view t) {
  std::string o;
  o.reserve(t.size());
  for (char c : t) {
    switch (c) {
      case '&': o += "&amp;"; break;
      case '<': o += "&lt;"; break;
      case '>': o += "&gt;"; break;
      case '"': o += "&quot;"; break;
      default: o += c;
    }
  }
  return o;
}

// One fault in words, as the summary line gives it.
std::string riga_guasto(const guasto& g) {
  std::string m;
  if (!g.file.empty()) {
    m = g.file;  // a path: UTF-8 already
    if (g.riga > 0) m += ":" + std::to_string(g.riga);
    m += ": ";
  }
  m += "fault " + std::to_string(g.numero);
  if (g.con_posizione) m += " at " + std::to_string(g.posizione) + " m";
  const voce_errore* v = cerca_errore(g.numero);
  m += ": " + std::string(v ? v->significato : "unknown fault");
  if (!g.dettaglio.empty()) m += " (" + a_utf8(g.dettaglio) + ")";
  return m;
}

// The page's data: the members of one JSON object by name, each value written
// out already, in the order of their names. The long arrays of numbers are
// written directly; the rest goes through the JSON library.
using dati = std::map<std::string, std::string>;

template <class T>
std::string in_json(const T& valore) {
  return json(valore).dump();
}

void aggiungi_numero(std::string& o, int64_t n) {
  char b[24];
  o.append(b, std::to_chars(b, b + sizeof b, n).ptr);
}

// [a,b,c,...] of the values f(x) for the elements x of v.
template <class V, class F>
std::string lista_numeri(const V& v, F f) {
  std::string o = "[";
  o.reserve(v.size() * 8 + 2);
  for (const auto& x : v) {
    if (o.size() > 1) o += ',';
    aggiungi_numero(o, f(x));
  }
  o += ']';
  return o;
}

// A JSON string of UTF-8 text, escaped as the JSON library escapes it.
void aggiungi_testo(std::string& o, std::string_view t) {
  o += '"';
  for (char c : t) {
    switch (c) {
      case '"': o += "\\\""; break;
      case '\\': o += "\\\\"; break;
      case '\b': o += "\\b"; break;
      case '\f': o += "\\f"; break;
      case '\n': o += "\\n"; break;
      case '\r': o += "\\r"; break;
      case '\t': o += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char b[8];
          std::snprintf(b, sizeof b, "\\u%04x", static_cast<unsigned>(c));
          o += b;
        } else {
          o += c;
        }
    }
  }
  o += '"';
}

// Runs of equal values over cells 0..ultima: cell, value, cell, value, ...
template <class F>
std::string serie(const scenario& s, int32_t ultima, F valore) {
  std::string v = "[";
  int prima = 0;
  for (int32_t i = 0; i <= ultima; ++i) {
    const int x = valore(s.celle[static_cast<std::size_t>(i)]);
    if (i == 0 || x != prima) {
      if (i > 0) v += ',';
      aggiungi_numero(v, i);
      v += ',';
      aggiungi_numero(v, x);
      prima = x;
    }
  }
  v += ']';
  return v;
}

// The station records: position, time (s, 0 = none), stop value, extent
// start and end, name, kind, the record in words.
json stazioni(const scenario& s) {
  json v = json::array();
  for (int k : posti_stazione(s)) {
    const voce_tabella& t = s.tabella[static_cast<std::size_t>(k)];
    const std::string nome = a_utf8(t.testo);
    std::string d = (t.tipo_record >= 25 ? "point " : "station ") + nome + " (kind " + std::to_string(t.tipo_record) +
                    ") at " + testo_luogo(s, t.valore3, cella_voce::nessuna) + ", extent " + std::to_string(t.valore1) + " to " +
                    std::to_string(t.valore2) + " m";
    if (t.valore4 != 0) d += ", time " + testo_orario(t.valore4);
    if (t.byte2 != 0) d += ", stop value " + std::to_string(t.byte2);
    d += "; record " + std::to_string(k);
    v.push_back(json::array({t.valore3, t.valore4, t.byte2, t.valore1, t.valore2, nome, t.tipo_record, d}));
  }
  return v;
}

dati dati_pagina(const scenario& s, const std::vector<punto_piano>& piano, const opzioni_pagina& o,
                std::string& sommario) {
  dati d;
  d["nome"] = in_json(a_utf8(s.nome_scenario));
  d["treno"] = in_json(a_utf8(s.numero_treno));
  d["lunghezza"] = std::to_string(s.tabella[posto_treno].valore2);
  const int32_t ultima = ultima_cella(s);
  d["celle"] = std::to_string(ultima + 1);

  // Chainage references in use: position, chainage.
  json rif = json::array();
  for (int k = posto_progressiva_tre; k <= posto_progressiva_uno; ++k) {
    const voce_tabella& r = s.tabella[static_cast<std::size_t>(k)];
    if (r.valore1 != 0 || r.valore2 != 0 || r.valore3 != 0) rif.push_back(json::array({r.valore1, r.valore2}));
  }
  d["rif"] = rif.dump();

  // Speed, gradient and adhesion of every cell up to the third last: the
  // last three cells never receive them.
  const int32_t fino = ultima - 3;
  d["vel"] = serie(s, fino, [](const cella& c) { return c.vel_limite * 5; });
  d["pend"] = serie(s, fino, [](const cella& c) { return c.pendenza_cella - 100; });
  d["ader"] = serie(s, fino, [](const cella& c) { return int(c.aderenza_cella); });

  // Items; then the cells that other views draw but the item list leaves
  // out: slowdown warning boards and pre-warning cells.
  std::string el = "[";
  for (const elemento& e : elementi_linea(s)) {
    if (el.size() > 1) el += ',';
    el += '[';
    aggiungi_testo(el, nome_elemento(e.tipo));
    for (const int32_t n : {e.cella, e.inizio, e.fine, e.valore}) {
      el += ',';
      aggiungi_numero(el, n);
    }
    el += ',';
    aggiungi_testo(el, e.etichetta);
    el += ',';
    aggiungi_testo(el, e.descrizione);
    el += ']';
  }
  el += ']';
  d["el"] = std::move(el);
  json avvisi = json::array();
  for (int32_t i = 0; i <= ultima; ++i) {
    const cella& c = s.celle[static_cast<std::size_t>(i)];
    if (c.tipo_cella == cella_avviso_rallentamento)
      avvisi.push_back(json::array({i, c.valore_a, "slowdown warning board " + std::to_string(c.valore_a) +
                                                       " km/h; at " + testo_luogo(s, i * 50, cella_voce::propria)}));
    else if (c.tipo_cella == cella_preavviso)
      avvisi.push_back(json::array({i, -1, "pre-warning cell " + std::to_string(c.valore_a) + "; at " +
                                               testo_luogo(s, i * 50, cella_voce::propria)}));
  }
  d["avvisi"] = avvisi.dump();
  // Board stripes (cell, left, right) and tunnel marks (cell, value, words).
  json strisce = json::array(), segni = json::array();
  for (int32_t i = 0; i <= ultima; ++i) {
    const cella& c = s.celle[static_cast<std::size_t>(i)];
    const int sx = c.valore_d >= 0 ? c.valore_d / 10 : 0, dx = c.valore_d >= 0 ? c.valore_d % 10 : 0;
    if (c.tipo_cella == cella_indicatore_v_max && (sx != 0 || dx != 0)) strisce.push_back(json::array({i, sx, dx}));
    else if (c.tipo_cella == cella_segno_montagna)
      segni.push_back(json::array({i, c.valore_a, "tunnel mark, value " + std::to_string(c.valore_a) + "; at " +
                                                     testo_luogo(s, i * 50, cella_voce::propria)}));
  }
  d["strisce"] = strisce.dump();
  d["segni"] = segni.dump();

  // The track plan; decimetres are ample for drawing.
  if (piano.size() >= 2) {
    d["piano"] = "{\"m\":" + lista_numeri(piano, [](const punto_piano& p) { return p.metro; }) +
                 ",\"x\":" + lista_numeri(piano, [](const punto_piano& p) { return std::llround(p.x * 10); }) +
                 ",\"y\":" + lista_numeri(piano, [](const punto_piano& p) { return std::llround(p.y * 10); }) + "}";
  } else {
    d["piano"] = "null";
  }

  // The train: its clock at the start, its stations, and the fastest path
  // when one was computed.
  const voce_tabella& linea = s.tabella[posto_linea];
  d["orologio"] = std::to_string((linea.intero3 * 60 + linea.intero4) * 60 + linea.intero5);
  d["stazioni"] = stazioni(s).dump();
  // The fastest run: position, km/h to a tenth, seconds to a tenth.
  const auto decimo = [](double x) { return std::nearbyint(x * 10) / 10; };
  json corsa = json::array();
  for (const punto_marcia& p : o.corsa.punti)
    corsa.push_back(json::array({p.posizione, decimo(p.velocita), decimo(p.secondi)}));
  d["corsa"] = corsa.dump();
  json tratti = json::array();
  for (const tratto_orario& t : o.corsa.tratti)
    tratti.push_back(json::array({t.da, t.a, t.ora_da, t.ora_a, decimo(t.minimo), t.impossibile() ? 1 : 0, t.nome_da, t.nome_a}));
  d["tratti"] = tratti.dump();
  char ritmi[96];
  std::snprintf(ritmi, sizeof ritmi, "%g m/s\u00b2 accelerating, %g m/s\u00b2 braking, %g s at each stop",
                o.ritmi.accelerazione, o.ritmi.frenatura, o.ritmi.sosta);
  d["ritmi"] = in_json(ritmi);

  // The check's problems: error or not, place, position (or null), words.
  if (o.problemi_noti) {
    json pr = json::array();
    for (const problema_pagina& p : o.problemi)
      pr.push_back(json::array({p.errore ? 1 : 0, p.luogo, p.posizione ? json(*p.posizione) : json(nullptr), p.testo}));
    d["problemi"] = pr.dump();
  } else {
    d["problemi"] = "null";
  }

  // Faults.
  json guasti = json::array();
  for (const std::string& n : o.note) guasti.push_back(n);
  for (const guasto& g : s.guasti) guasti.push_back(riga_guasto(g));
  if (!o.guasti_noti)
    sommario = "faults are not kept in the binary files";
  else if (guasti.empty())
    sommario = "no fault";
  else {
    sommario = guasti[0].get<std::string>();
    if (guasti.size() > 1)
      sommario += "; " + std::to_string(guasti.size() - 1) + (guasti.size() == 2 ? " more fault followed" : " more faults followed");
  }
  d["guasti"] = guasti.dump();
  d["origine"] = in_json(o.origine);
  return d;
}

std::string chilometri(int64_t m) {
  char b[32];
  std::snprintf(b, sizeof b, "%.3f", static_cast<double>(m) / 1000);
  return b;
}

}  // namespace

std::string pagina_scenario(const scenario& s, const planimetria_t& piano, const opzioni_pagina& opzioni) {
  return pagina_scenario(s, sfoltisci(piano, opzioni.scarto_planimetria), opzioni);
}

std::string pagina_scenario(const scenario& s, const disegno_planimetria& piano, const opzioni_pagina& opzioni) {
  return pagina_scenario(s, sfoltisci(piano, opzioni.scarto_planimetria), opzioni);
}

std::string pagina_scenario(const scenario& s, const std::vector<punto_piano>& piano, const opzioni_pagina& opzioni) {
  std::string sommario;
  const dati d = dati_pagina(s, piano, opzioni, sommario);
  // One JSON object. Inside a script element "</" must not occur; '<'
  // appears only within strings.
  std::string sicuri = "{";
  for (const auto& [nome, valore] : d) {
    if (sicuri.size() > 1) sicuri += ',';
    sicuri += '"';
    sicuri += nome;
    sicuri += "\":";
    for (std::size_t i = 0;;) {
      const std::size_t j = valore.find('<', i);
      sicuri.append(valore, i, j == std::string::npos ? std::string::npos : j - i);
      if (j == std::string::npos) break;
      sicuri += "\\u003c";
      i = j + 1;
    }
  }
  sicuri += '}';

  const std::string nome = escape_html(a_utf8(s.nome_scenario));
  const std::string treno = escape_html(a_utf8(s.numero_treno));
  std::string p;
  p.reserve(sicuri.size() + 40000);
  p += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
  p += nome + " \xC2\xB7 train " + treno;
  p += "</title>\n<style>\n";
  p += stile_pagina;
  p += "</style>\n</head>\n<body>\n<header>\n<h1>";
  p += nome + " <span class=\"treno\">train " + treno + "</span></h1>\n<p class=\"sommario\">";
  p += "route " + chilometri(s.tabella[posto_treno].valore2) + " km \xC2\xB7 " +
       std::to_string(s.celle.size()) + " cells \xC2\xB7 from " + escape_html(opzioni.origine) +
       " \xC2\xB7 <span id=\"guasti\" class=\"" + (!opzioni.guasti_noti ? "tenue" : sommario == "no fault" ? "ok" : "guasto") + "\">" +
       escape_html(sommario) + "</span></p>\n";
  if (!opzioni.documenti.empty()) {
    p += "<p class=\"documenti\">documents:";
    for (size_t i = 0; i < opzioni.documenti.size(); ++i)
      p += std::string(i > 0 ? " \xC2\xB7" : "") + " <a href=\"" + escape_html(opzioni.documenti[i].second) + "\">" +
           escape_html(opzioni.documenti[i].first) + "</a>";
    p += "</p>\n";
  }
  p += corpo_pagina;
  p += "<script id=\"dati\" type=\"application/json\">";
  p += sicuri;
  p += "</script>\n<script>\n";
  p += script_pagina;
  p += "</script>\n</body>\n</html>\n";
  return p;
}

}  // namespace tracciato
