// The studio's module: the compiler's own check, compile, page, hover and
// completion, for the page's script. Texts come in as bytes (Uint8Array) in
// Windows-1252, as the files hold them; names come in as JS strings (UTF-8
// here, as the command line's). Answers are JSON or HTML text (UTF-8) and,
// for the compile, the files' bytes.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "checker/controllo.h"
#include "checker/stampa.h"
#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "lsp/aiuto.h"
#include "lsp/diagnosi.h"
#include "model/errori.h"
#include "model/nomi_file.h"
#include "sources/dati.h"
#include "viewer/da_sorgenti.h"
#include "viewer/pagina.h"

namespace tracciato::studio {
namespace {

using emscripten::val;


// A Uint8Array's bytes, copied into the module's memory.
std::string byte(const val& v) {
  const size_t n = v["length"].as<size_t>();
  std::string s(n, '\0');
  val vista = val(emscripten::typed_memory_view(n, reinterpret_cast<uint8_t*>(s.data())));
  vista.call<void>("set", v);
  return s;
}

// A fresh Uint8Array holding dati.
val in_js(std::string_view dati) {
  val copia = val::global("Uint8Array").new_(dati.size());
  copia.call<void>("set", val(emscripten::typed_memory_view(dati.size(), reinterpret_cast<const uint8_t*>(dati.data()))));
  return copia;
}

std::optional<testo_sorgente> sorgente(const std::string& nome, const val& dati) {
  if (dati.isNull() || dati.isUndefined()) return std::nullopt;
  return testo_sorgente{nome, byte(dati), ""};
}

// check --json on the two texts: {"errors":E,"problems":[...],"warnings":W}.
std::string controlla_testi(const std::string& nome_linea, const val& linea, const std::string& nome_treno,
                            const val& treno) {
  return in_json(controlla(sorgente(nome_linea, linea), sorgente(nome_treno, treno)));
}

// The problems of both files as the editor's diagnostics (LSP's JSON,
// 0-based, each range to the end of its field): {"line": [...], "train":
// [...]}; a problem of neither file goes with the train file, as the
// language server puts it.
std::string diagnostiche_testi(const val& linea, const val& treno) {
  const testo_sorgente l{"linea", byte(linea), ""};
  const testo_sorgente t{"treno", byte(treno), ""};
  const auto problemi = controlla(l, t);
  const nlohmann::json d = {
      {"line", lsp::diagnostiche(problemi, l.dati, [&](const problema& p) { return p.file == l.nome; })},
      {"train", lsp::diagnostiche(problemi, t.dati,
                                  [&](const problema& p) { return p.file.empty() || p.file == t.nome; })}};
  return d.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Why a scenario name or train number cannot name the files, or empty: it
// must be a plain file name, as the compile command asks.
std::string nome_rifiutato(const std::string& valore, const char* campo) {
  if (valore.empty()) return std::string(campo) + " must not be empty";
  for (unsigned char c : valore)
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f)
      return std::string(campo) + " " + citato(valore) +
             " must be a plain name: it may not contain '/', '\\' or control characters";
  return "";
}

// The compile of the two texts into the three files, in memory, as the
// compile command writes them: none when the load left no cell grid or a
// reserved place stopped it. faults: each recorded fault with its place.
val compila_testi(const std::string& nome_linea, const val& linea, const std::string& nome_treno, const val& treno,
                  const std::string& nome, const std::string& numero) {
  val esito = val::object();
  val file = val::object();
  val guasti = val::array();
  std::string rifiuto = nome_rifiutato(nome, "the scenario name");
  if (rifiuto.empty()) rifiuto = nome_rifiutato(numero, "the train number");
  if (rifiuto.empty() && nome_file({}, nome, numero, file_scenario::celle_dat) ==
                             nome_file({}, nome, numero, file_scenario::linea_dat))
    rifiuto = "the train number " + citato(numero) + " would give the cell file the line data file's name";
  if (rifiuto.empty() && nome_file({}, nome, numero, file_scenario::celle_dat).string().size() > 255)
    rifiuto = "the scenario name and train number make a file name longer than 255 bytes";
  if (!rifiuto.empty()) {
    esito.set("error", rifiuto);
    esito.set("files", file);
    esito.set("faults", guasti);
    return esito;
  }
  try {
    const compilazione c = compila_in_memoria(testo_sorgente{nome_linea, byte(linea), ""},
                                              testo_sorgente{nome_treno, byte(treno), ""}, nome, numero, 1);
    const scenario& s = c.modello;
    for (const guasto& g : s.guasti) {
      val o = val::object();
      const voce_errore* v = cerca_errore(g.numero);
      o.set("code", g.numero);
      o.set("position", g.con_posizione ? val(g.posizione) : val::null());
      o.set("file", g.file);
      o.set("line", g.riga);
      o.set("column", g.colonna);
      o.set("message", per_terminale(v != nullptr ? std::string(v->significato) : "unknown fault"));
      guasti.call<void>("push", o);
    }
    if (s.celle.size() >= 2 && s.arresto == 0) {
      const auto nome_di = [&](file_scenario f) { return nome_file({}, nome, numero, f).string(); };
      const byte_file tabella = codifica_tabella(s.tabella);
      if (s.planimetria.allocata())
        file.set(nome_di(file_scenario::linea_dat), in_js(codifica_planimetria(calcola_planimetria(s)).vista()));
      file.set(nome_di(file_scenario::sim), in_js(tabella.vista()));
      file.set(nome_di(file_scenario::celle_dat), in_js(codifica_celle(s.celle).vista()));
    }
  } catch (const std::exception& e) {
    esito.set("error", std::string(e.what()));
  }
  esito.set("files", file);
  esito.set("faults", guasti);
  return esito;
}

// The page tracciato view draws from the two texts, whose files are named
// nome_linea and nome_treno (their paths, as the page cites a fault's file).
std::string disegna(const std::string& nome_linea, const val& linea, const std::string& nome_treno,
                    const val& treno, const std::string& nome, const std::string& numero) {
  const auto base = [](const std::string& n) { return n.substr(n.find_last_of("/\\") + 1); };
  return pagina_da_sorgenti(testo_sorgente{nome_linea, byte(linea), ""}, testo_sorgente{nome_treno, byte(treno), ""},
                            nome, numero,
                            "the sources " + base(nome_linea) + " and " + base(nome_treno) + " (compiled in memory)",
                            opzioni_marcia{});
}

// A name the record table cannot hold (no Windows-1252 form) gives a short
// page that says so, in place of the drawing.
std::string pagina_testi(const std::string& nome_linea, const val& linea, const std::string& nome_treno,
                         const val& treno, const std::string& nome, const std::string& numero) {
  try {
    return disegna(nome_linea, linea, nome_treno, treno, nome, numero);
  } catch (const std::exception& e) {
    std::string testo;
    for (char c : std::string(e.what())) {
      if (c == '<') testo += "&lt;";
      else if (c == '&') testo += "&amp;";
      else testo += c;
    }
    return "<!DOCTYPE html><meta charset=\"utf-8\"><p>No drawing: " + testo + "</p>";
  }
}

lsp::genere_file genere(bool di_treno) { return di_treno ? lsp::genere_file::treno : lsp::genere_file::linea; }

std::string hover_testo(const val& dati, bool di_treno, const val& linea, int riga, int colonna) {
  return lsp::hover(byte(dati), genere(di_treno), byte(linea), riga, colonna)
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string completamento_testo(const val& dati, bool di_treno, int riga, int colonna) {
  return lsp::completamento(byte(dati), genere(di_treno), riga, colonna, true)
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The built-in scenario's two files, as its writers write them.
val incorporato() {
  val o = val::object();
  o.set("line", in_js(testo_linea()));
  o.set("train", in_js(testo_treno()));
  return o;
}

}  // namespace

EMSCRIPTEN_BINDINGS(tracciato) {
  emscripten::function("check", &controlla_testi);
  emscripten::function("diagnostics", &diagnostiche_testi);
  emscripten::function("compile", &compila_testi);
  emscripten::function("page", &pagina_testi);
  emscripten::function("hover", &hover_testo);
  emscripten::function("completion", &completamento_testo);
  emscripten::function("builtin", &incorporato);
}

}  // namespace tracciato::studio
