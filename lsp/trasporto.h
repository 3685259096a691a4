// The framing of the language server's messages: each is a header block
// ("Content-Length: N", other headers ignored) closed by an empty line, then
// exactly N bytes of JSON. Header lines end in CR LF; a bare LF is accepted.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace tracciato::lsp {

// A body larger than this is refused (and skipped) rather than held in memory.
inline constexpr std::size_t corpo_massimo = 64u << 20;

enum class esito_lettura {
  messaggio,   // corpo holds one whole body
  malformato,  // the header block made no sense; motivo says why. The stream
               // stands after it (and after the body, when its length was known),
               // so the next message can still be read.
  fine,        // the input ended (also in the middle of a message)
};

struct lettura {
  esito_lettura esito = esito_lettura::fine;
  std::string corpo;
  std::string motivo;
};

// The next message of in.
lettura leggi_messaggio(std::istream& in);

// corpo framed for sending: its header block, then corpo itself.
std::string incornicia(std::string_view corpo);

}  // namespace tracciato::lsp
