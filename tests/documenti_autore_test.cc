// The author's documents stay true to the program: every fault number has its
// entry in docs/faults.md, the example scenario in examples/ compiles and
// checks cleanly, and the manual page tells every option.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/errori.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
using test::cartella_temporanea;

const fs::path sorgenti = TRACCIATO_SOURCE_DIR;

// The numbers of the "## Fault N" headings of docs/faults.md.
std::set<int32_t> numeri_documentati() {
  const std::string testo = test::leggi(sorgenti / "docs" / "faults.md");
  std::set<int32_t> numeri;
  std::istringstream righe(testo);
  const std::regex titolo(R"(^## Fault (\d+)\s*$)");
  std::smatch m;
  for (std::string riga; std::getline(righe, riga);)
    if (std::regex_match(riga, m, titolo)) numeri.insert(std::stoi(m[1].str()));
  return numeri;
}

TEST(DocumentiAutore, EveryFaultNumberHasItsEntryAndNoOtherNumberHasOne) {
  std::set<int32_t> tabella;
  for (const voce_errore& v : tabella_errori) tabella.insert(v.numero);
  const std::set<int32_t> documentati = numeri_documentati();
  for (int32_t n : tabella) EXPECT_TRUE(documentati.count(n)) << "docs/faults.md lacks \"## Fault " << n << "\"";
  for (int32_t n : documentati) EXPECT_TRUE(tabella.count(n)) << "docs/faults.md documents fault " << n << ", which the fault table does not have";
}

// The example's text files are as the built-in ones are written: plain ASCII
// (so the same in Windows-1252) with CR LF after every line.
TEST(DocumentiAutore, ExampleFilesArePlainTextWithCrLf) {
  for (const char* nome : {"Valmarena_linea.txt", "Valmarena_2231-.txt"}) {
    const std::string testo = test::leggi(sorgenti / "examples" / nome);
    ASSERT_FALSE(testo.empty()) << nome;
    EXPECT_TRUE(testo.ends_with("[fine]\r\n")) << nome;
    for (size_t i = 0; i < testo.size(); ++i) {
      const auto c = static_cast<unsigned char>(testo[i]);
      ASSERT_LT(c, 0x80) << nome << " byte " << i;
      if (c == '\n') {
        ASSERT_TRUE(i > 0 && testo[i - 1] == '\r') << nome << " byte " << i;
      }
      if (c == '\r') {
        ASSERT_TRUE(i + 1 < testo.size() && testo[i + 1] == '\n') << nome << " byte " << i;
      }
    }
  }
}

TEST(DocumentiAutore, ExampleCompilesWithNoFault) {
  cartella_temporanea dir;
  cartella_temporanea lavoro;
  const fs::path esempi = sorgenti / "examples";
  const test::esito_processo e = test::esegui_tracciato(
      {"compile", "--line", (esempi / "Valmarena_linea.txt").string(), "--train",
       (esempi / "Valmarena_2231-.txt").string(), "--name", "Valmarena", "--train-number", "2231",
       "--dir", dir.percorso().string()},
      lavoro.percorso());
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "no fault\n") << e.errori;
  EXPECT_EQ(dir.elenco(), (std::vector<std::string>{"Valmarena_2231.dat", "Valmarena_2231.sim",
                                                    "Valmarena_linea.dat"}));
  // 32000 m of line: cells 0 to 780.
  EXPECT_EQ(test::leggi(dir / "Valmarena_2231.dat").size(), 781u * 15);

  // And the check finds nothing to say about it.
  const fs::path esempi_linea = esempi / "Valmarena_linea.txt", esempi_treno = esempi / "Valmarena_2231-.txt";
  const test::esito_processo c = test::esegui_tracciato(
      {"check", "--line", esempi_linea.string(), "--train", esempi_treno.string()}, lavoro.percorso());
  EXPECT_EQ(c.stato, 0) << c.uscita;
  EXPECT_EQ(c.uscita, "0 errors, 0 warnings\n");
}

// The manual page names every command and every option that --help lists,
// and renders without a warning.
TEST(DocumentiAutore, ManualPageCoversEveryOption) {
  const std::string pagina = test::leggi(sorgenti / "docs" / "tracciato.1");
  cartella_temporanea lavoro;
  const std::regex opzione(R"((^|[ ,])(--?[a-z][a-z0-9-]*))");
  for (const char* comando : {"", "compile", "sources", "check", "watch", "view", "inspect", "decompile", "lsp", "documents"}) {
    std::vector<std::string> argomenti;
    if (*comando) argomenti.push_back(comando);
    argomenti.push_back("--help");
    const test::esito_processo e = test::esegui_tracciato(argomenti, lavoro.percorso());
    ASSERT_EQ(e.stato, 0) << comando;
    if (*comando) {
      EXPECT_NE(pagina.find(std::string(".B ") + comando), std::string::npos) << comando;
    }
    std::istringstream righe(e.uscita);
    for (std::string riga; std::getline(righe, riga);) {
      std::smatch m;
      if (!std::regex_search(riga, m, opzione) || !riga.starts_with("  ")) continue;
      std::string nome = m[2];
      if (nome == "-h" || nome == "--help") continue;
      // roff writes each hyphen of an option as \-.
      std::string in_roff;
      for (char c : nome) in_roff += c == '-' ? std::string("\\-") : std::string(1, c);
      EXPECT_NE(pagina.find(in_roff), std::string::npos) << comando << " " << nome;
    }
  }
  if (std::system("command -v groff >/dev/null 2>&1") != 0) GTEST_SKIP() << "groff is not installed";
  const fs::path avvisi = lavoro / "avvisi.txt";
  const std::string comando = "groff -man -ww -z '" + (sorgenti / "docs" / "tracciato.1").string() + "' 2>'" +
                              avvisi.string() + "'";
  EXPECT_EQ(std::system(comando.c_str()), 0);
  EXPECT_EQ(test::leggi(avvisi), "");
}

}  // namespace
}  // namespace tracciato
