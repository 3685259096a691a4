// The text format is declared once: every keyword finds the same record in
// the loader's dispatch, the checker's line view and the language server,
// and the documents an author or a tool reads (the format guide, the editor
// grammar, the fuzzing dictionary) name every keyword with its fields.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "checker/vista.h"
#include "loader/formato_testo.h"
#include "lsp/documento.h"
#include "tests/processo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;
const fs::path sorgenti = TRACCIATO_SOURCE_DIR;

// The record each spelling of a keyword belongs to, by its written form.
const record_formato& record_della_parola(std::string_view w) {
  for (const record_formato& r : formato_testo())
    if (r.parola == w) return r;
  if (w.starts_with("curva")) return formato_di(genere_voce::curva);
  if (w.starts_with("ripetizione")) return formato_di(genere_voce::ripetizione);
  throw std::logic_error("no record is written " + std::string(w));
}

// A whole record line: the keyword, then 0 for each number and X for a text.
std::string riga_intera(std::string_view parola, const record_formato& r) {
  std::string s(parola);
  for (const campo_formato& c : r.campi) s += c.tipo == larghezza::testo ? ", X" : ", 0";
  return s;
}

TEST(FormatoTesto, EveryKeywordFindsTheSameRecordInEveryReader) {
  for (const tipo_file file : {tipo_file::linea, tipo_file::treno}) {
    for (const std::string_view w : parole_del_file(file)) {
      SCOPED_TRACE(std::string(w));
      const record_formato& r = record_della_parola(w);
      ASSERT_EQ(r.file, file);
      // The loader's dispatch.
      const riconosciuti t = riconosci_voci(file, r.generale, w);
      ASSERT_EQ(t.size(), 1);
      EXPECT_EQ(t.front(), r.genere);
      // The checker's line view, in the record's own section.
      const std::string riga = riga_intera(w, r);
      const std::string sezione(sezione_di(r.genere));
      const bool propria = sezione != "[generale]";
      const std::string testo = file == tipo_file::linea && !r.generale
                                    ? "[generale]\r\nlunghezza percorso, 1000\r\n" + sezione + "\r\n" + riga +
                                          "\r\n[fine]\r\n"
                                    : "[generale]\r\n" + (propria ? sezione + "\r\n" : "") + riga + "\r\n[fine]\r\n";
      std::vector<problema> avvisi;
      const vista v = leggi_vista(file, "f", testo, avvisi);
      const voce* x = v.voce_alla_riga(file == tipo_file::linea && !r.generale ? 4 : propria ? 3 : 2);
      ASSERT_NE(x, nullptr);
      EXPECT_EQ(x->tipo, r.genere);
      EXPECT_TRUE(x->completa());
      EXPECT_TRUE(x->in_piu().empty());
      EXPECT_TRUE(avvisi.empty()) << avvisi.front().messaggio;
      // The language server.
      const lsp::riga_record rr =
          lsp::analizza_riga(file == tipo_file::linea ? lsp::genere_file::linea : lsp::genere_file::treno, riga);
      ASSERT_NE(rr.schema, nullptr);
      EXPECT_EQ(rr.schema->genere, r.genere);
      EXPECT_EQ(rr.campi.size(), r.campi.size());
      // A keyword is never taken for a misspelling of another.
      EXPECT_EQ(suggerisci(file, w), w);
    }
  }
}

// The lines of a text.
std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> v;
  std::istringstream in(testo);
  for (std::string r; std::getline(in, r);) v.push_back(r.substr(0, r.find_last_not_of("\r") + 1));
  return v;
}

TEST(FormatoTesto, TheFormatGuideGivesEveryRecordItsFields) {
  const std::vector<std::string> guida = righe(test::leggi(sorgenti / "docs" / "format.md"));
  for (const record_formato& r : formato_testo()) {
    SCOPED_TRACE(std::string(r.parola));
    const std::string parola = r.genere == genere_voce::curva ? "curvas<n>" : std::string(r.parola);
    // The keyword tables end each row with the number of fields.
    const std::regex conteggio("^\\|.*`" + std::regex_replace(parola, std::regex(R"([<>])"), R"(\$&)") +
                               "`.*\\|\\s*(\\d+)\\s*\\|$");
    bool nominata = false;
    for (const std::string& riga : guida) {
      nominata = nominata || riga.find("`" + parola + "`") != std::string::npos;
      std::smatch m;
      if (std::regex_match(riga, m, conteggio)) {
        EXPECT_EQ(std::stoul(m[1].str()), r.campi.size()) << riga;
      }
    }
    EXPECT_TRUE(nominata) << "docs/format.md never names `" << parola << "`";
  }
  // Every example record in the guide (an indented line that starts a record)
  // reads as a whole record: no field missing, none left over.
  int esempi = 0;
  for (const std::string& riga : guida) {
    if (!riga.starts_with("    ") || riga.starts_with("     ")) continue;
    const std::string corpo = riga.substr(4);
    for (const tipo_file file : {tipo_file::linea, tipo_file::treno}) {
      const bool generale = file == tipo_file::linea && riconosci_voci(file, false, corpo).empty();
      const riconosciuti t = riconosci_voci(file, generale, corpo.substr(0, corpo.find(',')));
      if (t.empty() || corpo.find(',') == std::string::npos) continue;
      const std::string testo = generale || file == tipo_file::treno
                                    ? "[generale]\r\n" + corpo + "\r\n[fine]\r\n"
                                    : "[generale]\r\n[curve]\r\n" + corpo + "\r\n[fine]\r\n";
      std::vector<problema> avvisi;
      const vista v = leggi_vista(file, "docs/format.md", testo, avvisi);
      ASSERT_EQ(v.voci.size(), 1u) << riga;
      EXPECT_TRUE(v.voci[0].completa() && v.voci[0].in_piu().empty()) << "docs/format.md: " << riga;
      ++esempi;
    }
  }
  EXPECT_GT(esempi, 15);
}

TEST(FormatoTesto, TheEditorGrammarAndTheFuzzingDictionaryKnowEveryKeyword) {
  const std::string grammatica = test::leggi(sorgenti / "editors" / "tracciato.tmLanguage.json");
  // The record rules' keyword fields, as the grammar writes them: with and without regard to case.
  const std::regex regola_record(R"re("begin": "(\(\?i\))?\^\\\\s\*\((.*)\)\\\\s\*\(\?=,\|\$\)")re");
  std::string alternative[2];  // [0] with regard to case, [1] without
  for (auto it = std::sregex_iterator(grammatica.begin(), grammatica.end(), regola_record); it != std::sregex_iterator(); ++it) {
    std::string& a = alternative[(*it)[1].matched ? 1 : 0];
    a += (a.empty() ? "" : "|") + std::regex_replace((*it)[2].str(), std::regex(R"(\\\\)"), R"(\)");
  }
  ASSERT_FALSE(alternative[1].empty()) << "the grammar has no record rule";
  const std::regex esatta("^(" + alternative[0] + ")$"), senza_caso("^(" + alternative[1] + ")$", std::regex::icase);
  auto regola = [&](const std::string& w) { return std::regex_match(w, esatta) || std::regex_match(w, senza_caso); };

  const std::string dizionario = test::leggi(sorgenti / "fuzz" / "parole.dict");
  for (const tipo_file file : {tipo_file::linea, tipo_file::treno})
    for (const std::string_view w : parole_del_file(file))
      EXPECT_TRUE(regola(std::string(w))) << "the grammar does not colour `" << w << "`";
  // The reader tests some words with their case, and takes any field that holds the words.
  EXPECT_FALSE(regola("SFONDO UNO"));
  EXPECT_TRUE(regola("stazione di testa"));
  for (const record_formato& r : formato_testo()) {
    bool trovata = false;
    for (const std::string& riga : righe(dizionario))
      if (riga.size() > 2 && riga.front() == '"') {
        const std::string voce = riga.substr(1, riga.find_last_of('"') - 1);
        const riconosciuti t = riconosci_voci(r.file, r.generale, voce.substr(0, voce.find(',')));
        trovata = trovata || (!t.empty() && t.front() == r.genere);
      }
    EXPECT_TRUE(trovata) << "fuzz/parole.dict has no keyword of `" << r.parola << "`";
  }
}

}  // namespace
}  // namespace tracciato
