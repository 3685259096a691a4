#include "lsp/aiuto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tracciato::lsp {
namespace {

using nlohmann::json;

std::vector<std::string> etichette(const json& elementi) {
  std::vector<std::string> v;
  for (const json& e : elementi) v.push_back(e["label"]);
  return v;
}

// The place of "|" in testo is the cursor.
json completa(std::string testo, genere_file genere, bool snippet) {
  int64_t riga = 0, colonna = 0;
  const size_t c = testo.find('|');
  for (size_t i = 0; i < c; ++i) {
    ++colonna;
    if (testo[i] == '\n') ++riga, colonna = 0;
  }
  testo.erase(c, 1);
  return completamento(testo, genere, riga, colonna, snippet);
}

using V = std::vector<std::string>;

TEST(Completamento, OffersTheRecordsOfTheSectionAndTheHeadersThatMayFollow) {
  static const struct {
    const char* testo;
    genere_file genere;
    V attese;
  } casi[] = {
      // Before any header, only the start of the file.
      {"|", genere_file::linea, V{"[generale]"}},
      // A gradient section holds gradients; the sections after it may start.
      {"[generale]\n[pendenze]\npendenza,  0,  0\n|\n", genere_file::linea,
       V{"pendenza", "[montagne]", "[cartelli]", "[indicazioni]", "[fine]"}},
      // A header already in the file is not offered again.
      {"[generale]\n[pendenze]\n|\n[montagne]\n[fine]\n", genere_file::linea,
       V{"pendenza", "[cartelli]", "[indicazioni]"}},
      // The general section of the line file: its own records, no gradient.
      {"[generale]\nsf|\n", genere_file::linea,
       V{"lunghezza percorso", "progressiva chilometrica tre", "progressiva chilometrica due",
         "progressiva chilometrica uno", "sfondo uno", "sfondo due", "sfondo tre", "ripetizione segnali 4 codici",
         "ripetizione segnali 9 codici"}},
      // Typing a keyword offers no header ("staz" is no "[stazioni]").
      {"[generale]\n[stazioni]\nstaz|\n", genere_file::treno, V{"stazione"}},
      // Typing a header offers no record.
      {"[generale]\n[stazioni]\n[|\n", genere_file::treno,
       V{"[rallentamenti]", "[segnali]", "[codici]", "[fine]"}},
      // The train file's general section.
      {"[generale]\n|\n", genere_file::treno,
       V{"percentuale massa frenata", "numero vetture", "orologio", "sabbia", "[aderenze]", "[vel_limite]",
         "[stazioni]", "[rallentamenti]", "[segnali]", "[codici]", "[fine]"}},
      // Past the keyword field: nothing.
      {"[generale]\n[stazioni]\nstazione, |\n", genere_file::treno, V{}},
      // After the last header: nothing at all.
      {"[generale]\n[fine]\n|", genere_file::linea, V{}},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(etichette(completa(c.testo, c.genere, false)), c.attese) << c.testo;
  }
}

TEST(Completamento, SnippetsOnlyForAClientThatTakesThemWithTabStopsInOrder) {
  const std::string generale = "[generale]\n|\n";
  // Without snippets: plain text, every spelling, never a "$".
  const json semplici = completa(generale, genere_file::linea, false);
  V parole;
  for (const json& e : semplici) {
    EXPECT_EQ(e["insertTextFormat"], 1) << e;
    EXPECT_EQ(e["textEdit"]["newText"].get<std::string>().find('$'), std::string::npos) << e;
    parole.push_back(e["textEdit"]["newText"]);
  }
  EXPECT_NE(std::find(parole.begin(), parole.end(), "ripetizione segnali 9 codici, "), parole.end());

  // With snippets: tab stops 1, 2, 3… with none skipped.
  auto testo_di = [](const json& elementi, const std::string& etichetta) {
    for (const json& e : elementi)
      if (e["label"] == etichetta) return e["textEdit"]["newText"].get<std::string>();
    return std::string();
  };
  EXPECT_EQ(testo_di(completa(generale, genere_file::linea, true), "ripetizione segnali 4 codici"),
            "ripetizione segnali ${1|4,9|} codici, ${2:start}, ${3:end}");
  const json curve = completa("[generale]\n[curve]\n|\n", genere_file::linea, true);
  EXPECT_EQ(testo_di(curve, "curva"), "curva${1|d,s|}${2|1,2,3,4,5,6|}, ${3:start}, ${4:length}");
  const json curve_semplici = completa("[generale]\n[curve]\n|\n", genere_file::linea, false);
  EXPECT_EQ(testo_di(curve_semplici, "curvad6"), "curvad6, ");
}

}  // namespace
}  // namespace tracciato::lsp
