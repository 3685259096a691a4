#include "viewer/elementi.h"

#include "model/regole.h"

#include "model/luogo.h"
#include "platform/testo.h"

#include <cstdlib>
#include <optional>

namespace tracciato {
namespace {

// The text of record slot n, or nullptr when n is not a slot.
const voce_tabella* voce(const scenario& s, int32_t n) {
  return n >= 0 && n < posti_tabella ? &s.tabella[static_cast<std::size_t>(n)] : nullptr;
}

std::string kmh(int v) { return std::to_string(v) + " km/h"; }

// Integer division and remainder rounding down, so that odd stored values
// still come apart without a negative digit.
int div_giu(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int mod_giu(int a, int b) { return a - div_giu(a, b) * b; }

std::string lato_segnale(int tipo) {
  switch (tipo) {
    case 0: return "none";
    case 1: return "distant";
    case 2: return "home";
    default: return "type " + std::to_string(tipo);
  }
}

// A signal's cell values taken apart: valore_a..valore_c hold a left and a
// right digit each, valore_d the report value, the left and the right type.
elemento segnale(int32_t i, const cella& c) {
  const int rapp = div_giu(c.valore_d, 10);
  const int sx = mod_giu(c.valore_d, 10) / 3;
  const int dx = mod_giu(c.valore_d, 10) % 3;
  const int a = c.valore_a, b = c.valore_b, cc = c.valore_c;
  elemento e{tipo_elemento::segnale, i, i * 50, i * 50, 0, "", ""};
  const std::string tipo = sx == 2 ? "home signal" : sx == 1 ? "distant signal" : "signal of type " + std::to_string(sx);
  e.etichetta = sx == 2 ? "home" : sx == 1 ? "distant" : "signal";
  e.descrizione = tipo + ": left values " + std::to_string(div_giu(a, 10)) + ", " + std::to_string(div_giu(b, 10)) +
                  ", " + std::to_string(div_giu(cc, 10)) + "; right side " + lato_segnale(dx);
  if (dx != 0)
    e.descrizione += ", values " + std::to_string(mod_giu(a, 10)) + ", " + std::to_string(mod_giu(b, 10)) + ", " +
                     std::to_string(mod_giu(cc, 10));
  if (rapp != 0) e.descrizione += "; report value " + std::to_string(rapp);
  if (c.tempo_segnale != 0) e.descrizione += "; timing " + std::to_string(c.tempo_segnale);
  return e;
}

// A board: each value holds a left speed times 20 plus a right speed / 5.
elemento indicatore(int32_t i, const cella& c) {
  const int v[3] = {c.valore_a, c.valore_b, c.valore_c};
  std::string sinistra, destra;
  bool con_destra = false;
  for (int k = 0; k < 3; ++k) {
    sinistra += (k ? "/" : "") + std::to_string(div_giu(v[k], 20));
    destra += (k ? "/" : "") + std::to_string(mod_giu(v[k], 20) * 5);
    con_destra |= mod_giu(v[k], 20) != 0;
  }
  const int strisce_s = div_giu(c.valore_d, 10), strisce_d = mod_giu(c.valore_d, 10);
  auto strisce = [](int n) { return n == 1 ? std::string("1 stripe") : std::to_string(n) + " stripes"; };
  elemento e{tipo_elemento::indicatore, i, i * 50, i * 50, 0, sinistra, ""};
  e.descrizione = "board " + sinistra + " km/h";
  if (strisce_s != 0) e.descrizione += ", " + strisce(strisce_s);
  if (con_destra || strisce_d != 0) e.descrizione += "; right board " + destra + " km/h, " + strisce(strisce_d);
  return e;
}

elemento stazione(const scenario& s, int32_t i, const cella& c) {
  elemento e{tipo_elemento::stazione, i, i * 50, i * 50, 0, "", ""};
  const voce_tabella* v = c.valore_a >= 1 && c.valore_a < primo_posto_cartello + 1 ? voce(s, c.valore_a) : nullptr;
  if (v == nullptr) {
    e.etichetta = "?";
    e.descrizione = "station cell naming record slot " + std::to_string(c.valore_a) + ", which holds no station";
    return e;
  }
  e.inizio = v->valore1;
  e.fine = v->valore2;
  e.etichetta = a_utf8(v->testo);
  e.descrizione = "station " + e.etichetta + " (kind " + std::to_string(v->tipo_record) + ") at " +
                  testo_luogo(s, v->valore3, cella_voce::nessuna) + ", extent " + std::to_string(v->valore1) + " to " +
                  std::to_string(v->valore2) + " m";
  if (v->valore4 != 0) e.descrizione += ", time " + testo_orario(v->valore4);
  if (v->byte2 != 0) e.descrizione += ", stop value " + std::to_string(v->byte2);
  e.descrizione += "; station cell " + std::to_string(i);
  return e;
}

// A slowdown runs from its start cell to the first end cell after it; a
// start with no end cell after it (start and end in one cell) is one cell long.
elemento rallentamento(const scenario& s, int32_t i, const cella& c) {
  int32_t fine = i + 1;
  for (int32_t j = i + 1; j <= ultima_cella(s); ++j)
    if (s.celle[static_cast<std::size_t>(j)].tipo_cella == cella_fine_rallentamento) {
      fine = j;
      break;
    }
  elemento e{tipo_elemento::rallentamento, i, i * 50, fine * 50, c.valore_a, kmh(c.valore_a), ""};
  e.descrizione = "slowdown " + kmh(c.valore_a) + " from " + testo_luogo(s, e.inizio, cella_voce::propria) + " to " +
                  std::to_string(e.fine) + " m (" + std::to_string(e.fine - e.inizio) + " m)";
  if (c.valore_b != 0) e.descrizione += "; d_v " + std::to_string(c.valore_b);
  if (c.valore_c != 0) e.descrizione += "; f_tt " + std::to_string(c.valore_c);
  return e;
}

}  // namespace

std::string_view nome_elemento(tipo_elemento t) {
  switch (t) {
    case tipo_elemento::stazione: return "station";
    case tipo_elemento::segnale: return "signal";
    case tipo_elemento::indicatore: return "board";
    case tipo_elemento::cartello: return "sign";
    case tipo_elemento::rallentamento: return "slowdown";
    case tipo_elemento::punto_codice: return "code-point";
    case tipo_elemento::montagna: return "tunnel";
  }
  return "?";
}

std::vector<elemento> elementi_linea(const scenario& s) {
  std::vector<elemento> v;
  const int32_t n = static_cast<int32_t>(s.celle.size());
  for (int32_t i = 0; i < n; ++i) {
    const cella& c = s.celle[static_cast<std::size_t>(i)];
    // A tunnel is listed at its first cell, before whatever else stands there.
    if (c.tipo_montagna != 0 && (i == 0 || s.celle[static_cast<std::size_t>(i - 1)].tipo_montagna != c.tipo_montagna)) {
      int32_t j = i;
      while (j + 1 < n && s.celle[static_cast<std::size_t>(j + 1)].tipo_montagna == c.tipo_montagna) ++j;
      elemento e{tipo_elemento::montagna, i, i * 50, (j + 1) * 50, 0, "tunnel", ""};
      e.descrizione = "tunnel of kind " + std::to_string(c.tipo_montagna) + " from " + testo_luogo(s, e.inizio, cella_voce::propria) +
                      " to " + std::to_string(e.fine) + " m (" + std::to_string(e.fine - e.inizio) + " m)";
      v.push_back(std::move(e));
    }
    switch (c.tipo_cella) {
      case cella_segnale: v.push_back(segnale(i, c)); break;
      case cella_indicatore_v_max: v.push_back(indicatore(i, c)); break;
      case cella_stazione: v.push_back(stazione(s, i, c)); break;
      case cella_inizio_rallentamento: v.push_back(rallentamento(s, i, c)); break;
      case cella_cartello: {
        const voce_tabella* t = voce(s, c.valore_a);
        elemento e{tipo_elemento::cartello, i, i * 50, i * 50, 0, t ? a_utf8(t->testo) : "?", ""};
        e.descrizione = t ? "sign " + e.etichetta
                          : "sign naming record slot " + std::to_string(c.valore_a) + ", which is not a slot";
        v.push_back(std::move(e));
        break;
      }
      case cella_punto_codice:
      case cella_punto_codice_senza_valore: {
        const bool con_valore = c.tipo_cella == cella_punto_codice;
        elemento e{tipo_elemento::punto_codice, i, i * 50, i * 50, 0,
                   con_valore ? std::to_string(c.valore_a) : "-", ""};
        e.descrizione = con_valore ? "code point, value " + std::to_string(c.valore_a) : "code point without value";
        v.push_back(std::move(e));
        break;
      }
      default: break;
    }
  }
  // Every description ends with the item's place.
  for (elemento& e : v)
    if (e.tipo != tipo_elemento::rallentamento && e.tipo != tipo_elemento::montagna &&
        e.tipo != tipo_elemento::stazione)
      e.descrizione += "; at " + testo_luogo(s, e.inizio, cella_voce::propria);
  return v;
}


std::string testo_orario(int64_t secondi) {
  int64_t t = secondi % 86400;
  if (t < 0) t += 86400;
  auto due = [](int64_t x) { return std::string(x < 10 ? "0" : "") + std::to_string(x); };
  return due(t / 3600) + ":" + due(t / 60 % 60) + ":" + due(t % 60);
}


}  // namespace tracciato
