// `tracciato lsp` as a process: on a stream of framed messages, and with a real
// client (Neovim, headless).
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

#include "lsp/trasporto.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato::test {
namespace {

// Runs `tracciato lsp` in cartella on ingresso; its exit status and standard output.
std::pair<int, std::string> lsp_su(const cartella_temporanea& t, const std::string& ingresso) {
  scrivi(t / "in", ingresso);
  const int stato = esegui_programma({TRACCIATO_EXE, {"lsp"}, t.percorso(), t / "out", t / "err", t / "in"});
  return {stato, leggi(t / "out")};
}

TEST(LspProcesso, StandardOutputHoldsFramedMessagesOnly) {
  cartella_temporanea t;
  std::string in;
  for (
      const char* m :
      {R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})",
       R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)"
       R"({"uri":"file:///nowhere/S_linea.txt","version":1,"text":"[generale]\r\nlunghezza percorso, x\r\n[fine]\r\n"}}})",
       "{oops", R"({"jsonrpc":"2.0","id":2,"method":"no/such"})",
       R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})", R"({"jsonrpc":"2.0","method":"exit"})"})
    in += lsp::incornicia(m);
  const auto [stato, uscita] = lsp_su(t, in);
  EXPECT_EQ(stato, 0);
  std::istringstream os(uscita);
  std::vector<std::string> corpi;
  for (auto l = lsp::leggi_messaggio(os); l.esito == lsp::esito_lettura::messaggio;
       l = lsp::leggi_messaggio(os))
    corpi.push_back(l.corpo);
  ASSERT_EQ(corpi.size(), 5u) << uscita;
  EXPECT_NE(corpi[1].find("publishDiagnostics"), std::string::npos) << corpi[1];
  EXPECT_NE(corpi[2].find("-32700"), std::string::npos) << corpi[2];
  EXPECT_NE(corpi[3].find("-32601"), std::string::npos) << corpi[3];
  EXPECT_TRUE(os.peek() == EOF) << "nothing but framed messages";

  // The end of the input ends the server; without a shutdown that is a failure.
  EXPECT_EQ(
      lsp_su(t, lsp::incornicia(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})"))
          .first,
      1);
}

TEST(LspNeovim, ShowsTheMistakeOfALineFile) {
  if (std::system("command -v nvim >/dev/null 2>&1") != 0) GTEST_SKIP() << "nvim is not installed";
  cartella_temporanea t;
  ASSERT_EQ(esegui_tracciato({"sources", "--dir", t.percorso().string()}, t.percorso()).stato, 0);
  const auto linea = t / "VessolantaC_OrmelaC_linea.txt";
  std::string testo = leggi(linea);
  const std::string giusto = "lunghezza percorso,    120000";
  const size_t dove = testo.find(giusto);
  ASSERT_NE(dove, std::string::npos);
  testo.replace(dove, giusto.size(), "lunghezza percorso,    12O000");  // a letter O for a zero
  scrivi(linea, testo);

  const auto uscita = t / "diagnostics.txt";
  const std::string comando =
      std::string("cd '") + t.percorso().string() + "' && TRACCIATO_EXE='" + TRACCIATO_EXE +
      "' TRACCIATO_FILE='" + linea.string() + "' TRACCIATO_OUT='" + uscita.string() +
      "' timeout 60 nvim --headless --clean -n -c 'luafile " TRACCIATO_SOURCE_DIR
      "/tests/lsp_nvim.lua' </dev/null >nvim.log 2>&1";
  const int stato = std::system(comando.c_str());
  ASSERT_EQ(stato, 0) << comando << "\n" << leggi(t / "nvim.log");
  const std::string d = leggi(uscita);
  EXPECT_EQ(d.rfind("1:23:25:tracciato:", 0), 0u) << d;  // at the field that does not read
  EXPECT_EQ(d.find("timeout"), std::string::npos) << d;
  std::cout << "Neovim showed: " << d;
}

// A real editor works a small line file through the real server: the
// diagnostic of a misspelt keyword with its code, its quick fix applied, the
// buffer formatted, and a completion inserted as plain text (neither editor
// here announces snippets). The editor never saves: the file stays as it was.
struct editore_reale {
  const char* nome;
  std::string presente;  // a shell test that the editor can run
  std::string comando;   // run in the folder, with the environment set
};

void lavora_in_editore(const editore_reale& e) {
  if (std::system((e.presente + " >/dev/null 2>&1").c_str()) != 0) GTEST_SKIP() << e.nome << " is not installed";
  cartella_temporanea t;
  const std::string testo = "[generale]\r\nlunghezza percorso,7000\r\n[pendenze]\r\npendenzza,0,3\r\npendenza,100,2\r\n[fine]\r\n";
  scrivi(t / "S_linea.txt", testo);
  const std::string comando = "cd '" + t.percorso().string() + "' && TRACCIATO_EXE='" TRACCIATO_EXE "' TRACCIATO_FILE='" +
                              (t / "S_linea.txt").string() + "' TRACCIATO_OUT='" + (t / "out").string() +
                              "' TRACCIATO_EDIT=W115 timeout 90 " + e.comando + " </dev/null >editor.log 2>&1";
  ASSERT_EQ(std::system(comando.c_str()), 0) << comando << "\n" << leggi(t / "editor.log");
  const std::string d = leggi(t / "out");
  EXPECT_NE(d.find("3:0:W115:"), std::string::npos) << d;
  const std::string b = leggi(t / "out.buffer");
  // The buffer after one step: from its "== name" line to the next step's.
  auto passo = [&](const std::string& nome) {
    const size_t a = b.find("== " + nome + "\n");
    if (a == std::string::npos) return std::string();
    return b.substr(a, b.find("\n== ", a) - a + 1);
  };
  EXPECT_NE(passo("fix").find("\npendenza,0,3\n"), std::string::npos) << b;
  EXPECT_NE(passo("format").find("\npendenza,   0,    3\npendenza,  100,   2\n"), std::string::npos) << b;
  const std::string c = passo("completion");
  EXPECT_NE(c.find("\npendenza, \n[fine]"), std::string::npos) << b;
  EXPECT_EQ(c.find("${"), std::string::npos) << b;
  EXPECT_EQ(leggi(t / "S_linea.txt"), testo);
}

TEST(EditoriReali, NeovimFixesFormatsAndCompletes) {
  lavora_in_editore({"nvim", "command -v nvim",
                     "nvim --headless --clean -n -c 'luafile " TRACCIATO_SOURCE_DIR "/tests/lsp_nvim.lua'"});
}

TEST(EditoriReali, EmacsWithEglotFixesFormatsAndCompletes) {
  lavora_in_editore({"emacs", "command -v emacs && (ls -d /usr/share/emacs/site-lisp/elpa/eglot-* || emacs --batch --eval \"(require 'eglot)\")",
                     "emacs --batch -Q -l " TRACCIATO_SOURCE_DIR "/tests/lsp_emacs.el"});
}

}  // namespace
}  // namespace tracciato::test
