#include "lsp/servitore.h"

#include "checker/correzioni.h"

#include <algorithm>
#include <stdexcept>

#include "checker/controllo.h"
#include "checker/correzioni.h"
#include "lsp/aiuto.h"
#include "lsp/diagnosi.h"
#include "lsp/documento.h"
#include "lsp/trasporto.h"
#include "platform/file.h"
#include "platform/testo.h"
#include "sources/impaginazione.h"

namespace tracciato::lsp {

using nlohmann::json;

namespace {

// A request about a document that is not open.
class documento_assente : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Text the server sends must be valid UTF-8 JSON even when a client sent
// bytes that are not: they are replaced rather than refused.
std::string scrivi_json(const json& j) {
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

// No message of the protocol nests deeper than a few levels; a body of a
// million "[" would take the parser gigabytes to hold.
constexpr size_t profondita_massima = 64;

// Whether the JSON text corpo nests arrays and objects deeper than massimo,
// brackets within strings left aside.
bool troppo_profondo(std::string_view corpo, size_t massimo) {
  size_t profondita = 0;
  bool in_stringa = false;
  for (size_t i = 0; i < corpo.size(); ++i) {
    const char c = corpo[i];
    if (in_stringa) {
      if (c == '\\') ++i;
      else if (c == '"') in_stringa = false;
    } else if (c == '"') {
      in_stringa = true;
    } else if (c == '[' || c == '{') {
      if (++profondita > massimo) return true;
    } else if ((c == ']' || c == '}') && profondita > 0) {
      --profondita;
    }
  }
  return false;
}

}  // namespace

void servitore::ricevi(std::string_view corpo) {
  cartelle_.clear();
  if (troppo_profondo(corpo, profondita_massima))
    return errore(nullptr, errore_analisi,
                  "the message nests deeper than " + std::to_string(profondita_massima) + " levels");
  const json m = json::parse(corpo, nullptr, false);
  if (m.is_discarded()) return errore(nullptr, errore_analisi, "the message is not JSON");
  if (!m.is_object())
    return errore(nullptr, richiesta_non_valida, "a message must be a JSON object");
  const auto metodo = m.find("method");
  const auto id = m.find("id");
  const bool con_id = id != m.end() && (id->is_number_integer() || id->is_string());
  if (metodo == m.end() || !metodo->is_string()) {
    // A response to a request of ours (we send none), or nonsense.
    if (m.contains("result") || m.contains("error")) return;
    return errore(con_id ? *id : json(nullptr), richiesta_non_valida, "a message without a method");
  }
  if (id != m.end() && !con_id && !id->is_null())
    return errore(nullptr, richiesta_non_valida, "an id must be a number or a string");
  static const json vuoto = json::object();
  const auto p = m.find("params");
  const json& parametri = p == m.end() ? vuoto : *p;
  if (con_id)
    richiesta(*id, *metodo, parametri);
  else
    notifica(*metodo, parametri);
}

void servitore::malformato(const std::string& motivo) {
  errore(nullptr, errore_analisi, "unreadable message: " + motivo);
}

void servitore::richiesta(const json& id, const std::string& metodo, const json& parametri) {
  if (arrestato_) return errore(id, richiesta_non_valida, "the server has been shut down");
  if (!inizializzato_ && metodo != "initialize")
    return errore(id, non_inizializzato, "initialize must come first");
  try {
    if (metodo == "initialize") {
      inizializzato_ = true;
      // Snippets only for a client that says it takes them.
      static const json::json_pointer ps("/capabilities/textDocument/completion/completionItem/snippetSupport");
      snippet_ = parametri.contains(ps) && parametri.at(ps).is_boolean() && parametri.at(ps).get<bool>();
      return rispondi(
          id,
          {{"capabilities",
            {{"positionEncoding", "utf-16"},
             {"textDocumentSync",
              {{"openClose", true}, {"change", 1 /* Full */}, {"save", {{"includeText", false}}}}},
             {"hoverProvider", true},
             {"completionProvider", {{"triggerCharacters", json::array({"["})}}},
             {"documentSymbolProvider", true},
             {"documentFormattingProvider", true},
             {"codeActionProvider", {{"codeActionKinds", json::array({"quickfix"})}}}}},
           {"serverInfo", {{"name", "tracciato"}}}});
    }
    if (metodo == "shutdown") {
      arrestato_ = true;
      return rispondi(id, nullptr);
    }
    if (metodo == "textDocument/hover" || metodo == "textDocument/completion") {
      const documento& d = cerca(parametri);
      const int64_t riga = parametri.at("position").at("line").get<int64_t>();
      const int64_t colonna = parametri.at("position").at("character").get<int64_t>();
      if (metodo == "textDocument/completion")
        return rispondi(id, {{"isIncomplete", false},
                             {"items", completamento(d.dati, d.genere, riga, colonna, snippet_)}});
      std::string linea;
      if (d.genere == genere_file::linea)
        linea = d.dati;
      else if (const auto c = compagno(d))
        linea = testo_di(*c).value_or("");
      return rispondi(id, hover(d.dati, d.genere, linea, riga, colonna));
    }
    if (metodo == "textDocument/formatting") {
      // One edit for each line the layout changes; line ends stay as they are.
      const documento& d = cerca(parametri);
      json modifiche = json::array();
      if (d.genere == genere_file::ignoto) return rispondi(id, modifiche);
      const std::string fatto = impagina(d.dati, d.genere == genere_file::linea ? tipo_file::linea : tipo_file::treno);
      const auto prima = righe_di(d.dati), dopo = righe_di(fatto);
      for (size_t i = 0; i < prima.size() && i < dopo.size(); ++i)
        if (prima[i] != dopo[i])
          modifiche.push_back({{"range",
                                {{"start", {{"line", i}, {"character", 0}}},
                                 {"end", {{"line", i}, {"character", prima[i].size()}}}}},
                               {"newText", in_utf8(dopo[i])}});
      return rispondi(id, modifiche);
    }
    if (metodo == "textDocument/codeAction") {
      const documento& d = cerca(parametri);
      return rispondi(id, azioni(d, parametri));
    }
    if (metodo == "textDocument/documentSymbol") {
      const documento& d = cerca(parametri);
      return rispondi(id, simboli(d.dati, d.genere));
    }
    errore(id, metodo_sconosciuto, "no method " + metodo);
  } catch (const json::exception& e) {
    errore(id, parametri_non_validi, std::string("bad parameters: ") + e.what());
  } catch (const documento_assente& e) {
    errore(id, parametri_non_validi, e.what());
  } catch (const std::exception& e) {
    errore(id, errore_interno, std::string("internal error: ") + e.what());
  }
}

void servitore::notifica(const std::string& metodo, const json& parametri) {
  if (metodo == "exit") {
    finito_ = true;
    return;
  }
  if (!inizializzato_ || arrestato_) return;  // dropped, as the protocol asks
  try {
    if (metodo == "textDocument/didOpen") {
      apri(parametri);
    } else if (metodo == "textDocument/didChange") {
      const std::string uri = parametri.at("textDocument").at("uri").get<std::string>();
      const auto it = documenti_.find(uri);
      if (it == documenti_.end())
        throw documento_assente("change of a document that is not open: " + uri);
      // Full sync: the last change holds the whole text.
      const json& cambi = parametri.at("contentChanges");
      if (cambi.empty()) return;
      const json& ultimo = cambi.back();
      if (ultimo.contains("range"))
        throw std::invalid_argument("a ranged change: this server takes whole texts");
      it->second.dati = in_cp1252(ultimo.at("text").get<std::string>());
      it->second.versione = parametri["textDocument"].value("version", it->second.versione);
      it->second.genere = genere_di(it->second.dati, it->second.nome());
      aggiorna(uri);
    } else if (metodo == "textDocument/didSave") {
      // The files beside it may have changed on disk too.
      const std::string uri = parametri.at("textDocument").at("uri").get<std::string>();
      if (documenti_.count(uri)) aggiorna(uri);
    } else if (metodo == "textDocument/didClose") {
      chiudi(parametri.at("textDocument").at("uri").get<std::string>());
    }
    // initialized, $/cancelRequest, $/setTrace and any other notification: nothing to do.
  } catch (const std::exception& e) {
    registra("tracciato lsp: " + metodo + ": " + e.what());
  }
}

void servitore::apri(const json& parametri) {
  const json& td = parametri.at("textDocument");
  documento d;
  d.uri = td.at("uri").get<std::string>();
  d.percorso = percorso_di(d.uri);
  if (d.percorso) {
    d.cartella = d.percorso->parent_path().string();
    d.nome_file = d.percorso->filename().string();
  }
  d.dati = in_cp1252(td.at("text").get<std::string>());
  d.versione = td.value("version", int64_t{0});
  d.genere = genere_di(d.dati, d.nome());
  const std::string uri = d.uri;
  if (d.percorso) per_percorso_[*d.percorso] = uri;
  documenti_[uri] = std::move(d);
  aggiorna(uri);
}

void servitore::chiudi(const std::string& uri) {
  const auto it = documenti_.find(uri);
  if (it == documenti_.end()) return;
  const std::optional<std::filesystem::path> percorso = it->second.percorso;
  documenti_.erase(it);
  if (const auto q = percorso ? per_percorso_.find(*percorso) : per_percorso_.end();
      q != per_percorso_.end() && q->second == uri) {
    // Another uri of the same file may still be open.
    per_percorso_.erase(*percorso);
    for (const auto& [u, altro] : documenti_)
      if (altro.percorso == percorso) per_percorso_[*percorso] = u;
  }
  invia_({{"jsonrpc", "2.0"},
          {"method", "textDocument/publishDiagnostics"},
          {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
  // Its partners now see the file on disk in place of the buffer.
  if (percorso) per_ogni_compagno_di(*percorso, uri, [this](const documento& altro) { pubblica(altro); });
}

void servitore::aggiorna(const std::string& uri) {
  const documento& d = documenti_.at(uri);
  pubblica(d);
  if (d.percorso) per_ogni_compagno_di(*d.percorso, uri, [this](const documento& altro) { pubblica(altro); });
}

const file_cartella& servitore::elenco(const std::string& cartella) const {
  auto c = cartelle_.find(cartella);
  if (c == cartelle_.end()) c = cartelle_.emplace(cartella, elenca_cartella(cartella)).first;
  return c->second;
}

std::optional<std::filesystem::path> servitore::compagno(const documento& d) const {
  if (!d.percorso || d.genere == genere_file::ignoto) return std::nullopt;
  return cerca_compagno(*d.percorso, d.genere, elenco(d.cartella));
}

void servitore::per_ogni_compagno_di(const std::filesystem::path& percorso, const std::string& escluso,
                                     const std::function<void(const documento&)>& f) const {
  // A partner lies in the same folder, and is one of its files of the other
  // naming. Most documents are ruled out by their names alone, as cerca_compagno
  // pairs them: S_linea.txt with S_T-.txt, or else with the only file of the
  // other naming, which this one can be only when it has at most one more.
  const std::string cartella = percorso.parent_path().string();
  const std::string nome = percorso.filename().string();
  const file_cartella& e = elenco(cartella);
  const bool linea = std::binary_search(e.linee.begin(), e.linee.end(), nome);
  const bool treno = std::binary_search(e.treni.begin(), e.treni.end(), nome);
  if (!linea && !treno) return;  // no partner ever names a file that is not listed
  const bool ripiego = (linea ? e.linee : e.treni).size() <= 2;
  const auto finisce_con_linea = [](std::string_view n) {
    constexpr std::string_view fine = "_linea.txt";
    if (n.size() < fine.size()) return false;
    for (size_t i = 0; i < fine.size(); ++i)
      if (minuscola(static_cast<unsigned char>(n[n.size() - fine.size() + i])) != fine[i]) return false;
    return true;
  };
  for (const auto& [u, altro] : documenti_) {
    if (u == escluso || !altro.percorso || altro.cartella != cartella) continue;
    const std::string_view a = altro.nome_file;
    bool forse = ripiego;
    if (!forse && altro.genere == genere_file::linea && treno && finisce_con_linea(a))
      forse = nome.starts_with(a.substr(0, a.size() - 9));  // S_linea.txt takes S_T-.txt
    if (!forse && altro.genere == genere_file::treno && linea && nome.ends_with("_linea.txt"))
      forse = a.starts_with(std::string_view(nome).substr(0, nome.size() - 9));  // S_T-.txt takes S_linea.txt
    if (forse && compagno(altro) == percorso) f(altro);
  }
}

std::optional<std::string> servitore::testo_di(const std::filesystem::path& p) const {
  if (const auto u = per_percorso_.find(p); u != per_percorso_.end()) return documenti_.at(u->second).dati;
  try {
    return leggi_file(p);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<problema> servitore::problemi_di(const documento& d) const {
  if (d.genere == genere_file::ignoto) return {};
  std::optional<testo_sorgente> questo = testo_sorgente{d.nome(), d.dati, {}};
  std::optional<testo_sorgente> altro;
  if (const auto c = compagno(d))
    if (auto t = testo_di(*c)) altro = testo_sorgente{c->string(), std::move(*t), {}};
  const bool linea = d.genere == genere_file::linea;
  std::vector<problema> problemi = linea ? controlla(questo, altro) : controlla(altro, questo);
  const std::string nome = d.nome();
  // A problem of no file in particular belongs to the train file when
  // both are checked, as it comes from their meeting.
  std::erase_if(problemi, [&](const problema& p) { return !(p.file.empty() ? (!altro || !linea) : p.file == nome); });
  return problemi;
}

json servitore::azioni(const documento& d, const json& parametri) const {
  json lista = json::array();
  if (d.genere == genere_file::ignoto) return lista;
  const int64_t da = parametri.at("range").at("start").at("line").get<int64_t>();
  const int64_t a = parametri.at("range").at("end").at("line").get<int64_t>();
  const std::vector<std::string_view> righe = righe_di(d.dati);
  // A byte offset as the editor's line and column: one byte, one UTF-16 unit.
  const auto posizione = [&](size_t o) {
    if (o >= d.dati.size() && !d.dati.empty() && (d.dati.back() == '\n' || d.dati.back() == '\r'))
      return json{{"line", righe.size()}, {"character", 0}};
    size_t riga = 0;
    while (riga + 1 < righe.size() && static_cast<size_t>(righe[riga + 1].data() - d.dati.data()) <= o) ++riga;
    const size_t inizio = righe.empty() ? 0 : static_cast<size_t>(righe[riga].data() - d.dati.data());
    return json{{"line", riga}, {"character", o - inizio}};
  };
  const tipo_file file = d.genere == genere_file::linea ? tipo_file::linea : tipo_file::treno;
  for (const problema& p : problemi_di(d)) {
    if (p.riga - 1 < da || p.riga - 1 > a) continue;
    const std::vector<correzione> cc = correzioni(p, d.dati, file);
    if (cc.empty()) continue;
    const json diagnostica = diagnostiche({p}, d.dati, [](const problema&) { return true; });
    for (size_t i = 0; i < cc.size(); ++i) {
      json modifiche = json::array();
      for (const modifica& m : cc[i].modifiche)
        modifiche.push_back({{"range", {{"start", posizione(m.inizio)}, {"end", posizione(m.fine)}}},
                             {"newText", in_utf8(m.testo)}});
      lista.push_back({{"title", in_utf8(cc[i].titolo)},
                       {"kind", "quickfix"},
                       {"diagnostics", diagnostica},
                       {"isPreferred", i == 0},
                       {"edit", {{"changes", {{d.uri, std::move(modifiche)}}}}}});
    }
  }
  return lista;
}

void servitore::pubblica(const documento& d) {
  json lista = json::array();
  if (d.genere != genere_file::ignoto) lista = diagnostiche(problemi_di(d), d.dati, [](const problema&) { return true; });
  invia_({{"jsonrpc", "2.0"},
          {"method", "textDocument/publishDiagnostics"},
          {"params", {{"uri", d.uri}, {"version", d.versione}, {"diagnostics", std::move(lista)}}}});
}

const servitore::documento& servitore::cerca(const json& parametri) const {
  const std::string uri = parametri.at("textDocument").at("uri").get<std::string>();
  const auto it = documenti_.find(uri);
  if (it == documenti_.end()) throw documento_assente("document not open: " + uri);
  return it->second;
}

void servitore::rispondi(const json& id, json risultato) {
  invia_({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}});
}

void servitore::errore(const json& id, int codice, const std::string& messaggio) {
  invia_({{"jsonrpc", "2.0"},
          {"id", id},
          {"error", {{"code", codice}, {"message", come_utf8(messaggio)}}}});
}

void servitore::registra(const std::string& messaggio) {
  invia_({{"jsonrpc", "2.0"},
          {"method", "window/logMessage"},
          {"params", {{"type", 1 /* Error */}, {"message", come_utf8(messaggio)}}}});
}

int esegui_servitore(std::istream& in, const std::function<void(std::string_view)>& scrivi) {
  servitore s([&scrivi](const json& m) { scrivi(incornicia(scrivi_json(m))); });
  while (!s.finito()) {
    const lettura l = leggi_messaggio(in);
    if (l.esito == esito_lettura::fine) break;
    if (l.esito == esito_lettura::malformato)
      s.malformato(l.motivo);
    else
      s.ricevi(l.corpo);
  }
  return s.stato();
}

}  // namespace tracciato::lsp
