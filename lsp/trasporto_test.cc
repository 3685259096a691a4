#include "lsp/trasporto.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tracciato::lsp {
namespace {

struct atteso {
  esito_lettura esito;
  std::string corpo;
};

TEST(Trasporto, ReadsEachMessageOfAStreamAndStaysInStepAfterABadHeader) {
  static const struct {
    const char* nome;
    std::string ingresso;
    std::vector<atteso> attesi;
  } casi[] = {
      {"two messages back to back",
       "Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]",
       {{esito_lettura::messaggio, "{}"}, {esito_lettura::messaggio, "[1]"}}},
      {"other headers, any case, bare LF",
       "content-length:  4 \nContent-Type: application/vscode-jsonrpc; charset=utf-8\n\nnull",
       {{esito_lettura::messaggio, "null"}}},
      {"no Content-Length: refused, the next one read",
       "Content-Type: x\r\n\r\nContent-Length: 2\r\n\r\n{}",
       {{esito_lettura::malformato, ""}, {esito_lettura::messaggio, "{}"}}},
      {"a length that is no number",
       "Content-Length: 1x\r\n\r\nContent-Length: 2\r\n\r\n{}",
       {{esito_lettura::malformato, ""}, {esito_lettura::messaggio, "{}"}}},
      {"a header line without a colon: its body is skipped",
       "Content-Length: 2\r\ngarbage\r\n\r\n{}Content-Length: 2\r\n\r\n[]",
       {{esito_lettura::malformato, ""}, {esito_lettura::messaggio, "[]"}}},
      {"a body cut short ends the input", "Content-Length: 10\r\n\r\n{}", {}},
      {"headers cut short end the input", "Content-Length: 10\r\n", {}},
  };
  for (const auto& c : casi) {
    std::istringstream in(c.ingresso);
    for (const atteso& a : c.attesi) {
      const lettura l = leggi_messaggio(in);
      EXPECT_EQ(l.esito, a.esito) << c.nome;
      if (a.esito == esito_lettura::messaggio) {
        EXPECT_EQ(l.corpo, a.corpo) << c.nome;
      } else if (a.esito == esito_lettura::malformato) {
        EXPECT_FALSE(l.motivo.empty()) << c.nome;
      }
    }
    EXPECT_EQ(leggi_messaggio(in).esito, esito_lettura::fine) << c.nome;
  }
}

TEST(Trasporto, FramesWhatItReads) {
  const std::string corpo = "{\"a\":\"perch\xC3\xA9\"}";  // the length counts bytes
  const std::string m = incornicia(corpo);
  EXPECT_EQ(m, "Content-Length: 15\r\n\r\n" + corpo);
  std::istringstream in(m);
  EXPECT_EQ(leggi_messaggio(in).corpo, corpo);
}

}  // namespace
}  // namespace tracciato::lsp
