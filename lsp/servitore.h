// servitore: the language server of the line and train files. It takes one
// JSON-RPC message body at a time and answers through a callback, so that it
// runs on strings in tests and on standard input and output in `tracciato lsp`.
//
// It serves the lifecycle (initialize, initialized, shutdown, exit), full-sync
// documents (didOpen, didChange, didSave, didClose) with their diagnostics
// published after each change, hover, completion and document symbols. One
// thread; each message is handled to its end before the next is read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/controllo.h"
#include "lsp/documento.h"
#include "lsp/schema.h"

namespace tracciato::lsp {

// JSON-RPC and LSP error codes.
inline constexpr int errore_analisi = -32700;        // ParseError
inline constexpr int richiesta_non_valida = -32600;  // InvalidRequest
inline constexpr int metodo_sconosciuto = -32601;    // MethodNotFound
inline constexpr int parametri_non_validi = -32602;  // InvalidParams
inline constexpr int errore_interno = -32603;        // InternalError
inline constexpr int non_inizializzato = -32002;     // ServerNotInitialized

class servitore {
 public:
  using invio = std::function<void(const nlohmann::json&)>;

  // invia receives every message the server sends, in order.
  explicit servitore(invio invia) : invia_(std::move(invia)) {}

  // One message body. Whatever is wrong with the message is answered with a
  // JSON-RPC error (when it is a request) and the server goes on; only what
  // invia throws comes out.
  void ricevi(std::string_view corpo);

  // A message whose framing could not be read: answered with a ParseError.
  void malformato(const std::string& motivo);

  // True once exit was received; stato() is then the exit status: 0 after a
  // shutdown, 1 without one.
  bool finito() const { return finito_; }
  int stato() const { return arrestato_ ? 0 : 1; }

 private:
  struct documento {
    std::string uri;
    std::optional<std::filesystem::path> percorso;
    std::string cartella;   // the folder of percorso, where its partner lies
    std::string nome_file;  // the file name of percorso
    std::string dati;  // Windows-1252
    int64_t versione = 0;
    genere_file genere = genere_file::ignoto;
    std::string nome() const { return percorso ? percorso->string() : uri; }
  };

  void richiesta(const nlohmann::json& id, const std::string& metodo,
                 const nlohmann::json& parametri);
  void notifica(const std::string& metodo, const nlohmann::json& parametri);
  void rispondi(const nlohmann::json& id, nlohmann::json risultato);
  void errore(const nlohmann::json& id, int codice, const std::string& messaggio);
  void registra(const std::string& messaggio);  // window/logMessage

  void apri(const nlohmann::json& parametri);
  void aggiorna(
      const std::string& uri);  // diagnostics of uri and of every open document partnered with it
  void pubblica(const documento& d);
  // The problems of d's own text, checked with its partner's.
  std::vector<problema> problemi_di(const documento& d) const;
  // textDocument/codeAction: the exact fixes of the problems on the lines of the range.
  nlohmann::json azioni(const documento& d, const nlohmann::json& parametri) const;
  void chiudi(const std::string& uri);

  std::optional<std::filesystem::path> compagno(const documento& d) const;
  // The partner's text: the open document's, else the file's; nullopt when neither.
  std::optional<std::string> testo_di(const std::filesystem::path& p) const;
  const documento& cerca(const nlohmann::json& parametri) const;

  invio invia_;
  std::map<std::string, documento> documenti_;
  std::map<std::filesystem::path, std::string> per_percorso_;  // the uri of each open file
  // The folders listed while one message is handled; read again for the next.
  mutable std::map<std::string, file_cartella> cartelle_;
  const file_cartella& elenco(const std::string& cartella) const;
  // Every open document whose partner is the file at percorso, to each f.
  void per_ogni_compagno_di(const std::filesystem::path& percorso, const std::string& escluso,
                            const std::function<void(const documento&)>& f) const;
  bool inizializzato_ = false;
  bool arrestato_ = false;
  bool finito_ = false;
  bool snippet_ = false;  // the client takes snippets in completion items
};

// The server on a stream: reads framed messages from in until exit or the
// end of the input, and hands each framed reply to scrivi. Returns the exit
// status: 0 after shutdown, 1 when the input ended or exit came without one.
int esegui_servitore(std::istream& in, const std::function<void(std::string_view)>& scrivi);

}  // namespace tracciato::lsp
