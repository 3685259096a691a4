#include "lsp/trasporto.h"

#include <algorithm>
#include <charconv>

#include "platform/testo.h"

namespace tracciato::lsp {
namespace {

// One header line without its line end; false at the end of the input.
bool leggi_riga(std::istream& in, std::string& riga) {
  riga.clear();
  if (!std::getline(in, riga)) return false;
  if (!riga.empty() && riga.back() == '\r') riga.pop_back();
  return true;
}

}  // namespace

lettura leggi_messaggio(std::istream& in) {
  lettura l;
  std::string riga;
  // Blank lines between messages are tolerated: a header block starts at the
  // first non-empty line.
  do {
    if (!leggi_riga(in, riga)) return l;
  } while (riga.empty());

  bool con_lunghezza = false;
  bool lunghezza_valida = false;
  unsigned long long lunghezza = 0;
  std::string motivo;
  while (!riga.empty()) {
    const size_t due_punti = riga.find(':');
    if (due_punti == std::string::npos) {
      if (motivo.empty()) motivo = "header line without a colon: \"" + riga.substr(0, 40) + "\"";
    } else if (in_minuscolo(std::string_view(riga).substr(0, due_punti)) == "content-length") {
      std::string_view v = std::string_view(riga).substr(due_punti + 1);
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
      const auto r = std::from_chars(v.data(), v.data() + v.size(), lunghezza);
      con_lunghezza = true;
      lunghezza_valida = r.ec == std::errc() && r.ptr == v.data() + v.size() && !v.empty();
      if (!lunghezza_valida && motivo.empty()) motivo = "Content-Length is not a number";
    }
    if (!leggi_riga(in, riga)) return lettura{};
  }
  if (!con_lunghezza) {
    l.esito = esito_lettura::malformato;
    l.motivo = motivo.empty() ? "header block without Content-Length" : motivo;
    return l;
  }
  if (!lunghezza_valida) {
    l.esito = esito_lettura::malformato;
    l.motivo = motivo;
    return l;
  }
  if (lunghezza > corpo_massimo) {
    // Skipped unread, so that the stream stays in step with the sender.
    for (unsigned long long resto = lunghezza; resto > 0;) {
      const auto passo =
          static_cast<std::streamsize>(std::min<unsigned long long>(resto, 1u << 20));
      in.ignore(passo);
      if (in.gcount() != passo) return lettura{};
      resto -= static_cast<unsigned long long>(passo);
    }
    l.esito = esito_lettura::malformato;
    l.motivo = "message of " + std::to_string(lunghezza) + " bytes is too large";
    return l;
  }
  l.corpo.resize(lunghezza);
  in.read(l.corpo.data(), static_cast<std::streamsize>(lunghezza));
  if (static_cast<unsigned long long>(in.gcount()) != lunghezza) return lettura{};
  if (!motivo.empty()) {
    l.esito = esito_lettura::malformato;
    l.motivo = motivo;
    l.corpo.clear();
    return l;
  }
  l.esito = esito_lettura::messaggio;
  return l;
}

std::string incornicia(std::string_view corpo) {
  std::string s = "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n";
  s += corpo;
  return s;
}

}  // namespace tracciato::lsp
