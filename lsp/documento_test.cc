#include "lsp/documento.h"

#include <gtest/gtest.h>

#include "tests/cartella_temporanea.h"

namespace tracciato::lsp {
namespace {

TEST(Documento, CodePageConversionKeepsEditorColumns) {
  // "città €" and back; a character the code page lacks is one "?" per UTF-16 unit.
  EXPECT_EQ(in_cp1252("citt\xC3\xA0 \xE2\x82\xAC"), "citt\xE0 \x80");
  EXPECT_EQ(in_utf8("citt\xE0 \x80"), "citt\xC3\xA0 \xE2\x82\xAC");
  EXPECT_EQ(in_cp1252("a\xE2\x86\x92"
                      "b\xF0\x9F\x9A\x86"
                      "c"),
            "a?b??c");
  EXPECT_EQ(in_cp1252("\xE0x"), "\xE0x");  // not UTF-8: taken as it stands
  EXPECT_EQ(come_utf8("gi\xC3\xA0"), "gi\xC3\xA0");
  EXPECT_EQ(come_utf8("gi\xE0"), "gi\xC3\xA0");
}

TEST(Documento, LinesEndAsTheReaderEndsThem) {
  EXPECT_EQ(righe_di("a\r\nb\nc\rd"), (std::vector<std::string_view>{"a", "b", "c", "d"}));
  EXPECT_EQ(righe_di("a\r\n"), (std::vector<std::string_view>{"a"}));
  EXPECT_EQ(righe_di(""), (std::vector<std::string_view>{""}));
}

TEST(Documento, FileUriToPath) {
  EXPECT_EQ(percorso_di("file:///tmp/a%20b/S_linea.txt"),
            std::filesystem::path("/tmp/a b/S_linea.txt"));
  EXPECT_EQ(percorso_di("file://localhost/x"), std::filesystem::path("/x"));
  EXPECT_EQ(percorso_di("untitled:Untitled-1"), std::nullopt);
  // A share's URI (file://server/...) is the host's to map: platform/uri_test.cc.
}

TEST(Documento, KindByContentThenByName) {
  using enum genere_file;
  static const struct {
    const char* dati;
    const char* nome;
    genere_file atteso;
  } casi[] = {
      {"[generale]\r\nlunghezza percorso, 1000\r\n", "x.txt", linea},
      {"note\r\n[GENERALE]\r\n----\r\nnumero vetture, 3\r\n", "x.txt", treno},
      {"[generale]\r\nsabbia, 1\r\n", "S_linea.txt", treno},  // the content wins
      {"[generale]\r\n", "S_linea.txt", linea},
      {"", "/a/S_4715-.txt", treno},
      {"hello", "notes.txt", ignoto},
  };
  for (const auto& c : casi)
    EXPECT_EQ(genere_di(c.dati, c.nome), c.atteso) << c.dati << " " << c.nome;
}

TEST(Documento, PartnerByTheBuiltInNamingElseTheOnlyOne) {
  test::cartella_temporanea t;
  for (const char* n : {"S_linea.txt", "S_1-.txt", "Altra_linea.txt", "Q_9-.txt", "Q_8-.txt"})
    test::scrivi(t / n, "");
  using enum genere_file;
  EXPECT_EQ(cerca_compagno(t / "S_linea.txt", linea), t / "S_1-.txt");
  EXPECT_EQ(cerca_compagno(t / "S_1-.txt", treno), t / "S_linea.txt");
  EXPECT_EQ(cerca_compagno(t / "Q_9-.txt", treno),
            std::nullopt);  // two line files, neither Q_linea.txt
  EXPECT_EQ(cerca_compagno(t / "Altra_linea.txt", linea), std::nullopt);  // three train files
  EXPECT_EQ(cerca_compagno(t / "S_1-.txt", ignoto), std::nullopt);

  test::cartella_temporanea u;
  test::scrivi(u / "mia_linea.txt", "");
  test::scrivi(u / "servizio-.txt", "");
  EXPECT_EQ(cerca_compagno(u / "servizio-.txt", treno), u / "mia_linea.txt");
  EXPECT_EQ(cerca_compagno(u / "mia_linea.txt", linea), u / "servizio-.txt");
}

TEST(Documento, ARecordLineSplitsAsTheReaderSplitsIt) {
  const riga_record o = analizza_riga(genere_file::treno, "orologio,    13   59  45 ");
  ASSERT_NE(o.schema, nullptr);
  EXPECT_EQ(o.schema->parola, "orologio");
  ASSERT_EQ(o.campi.size(), 3u);
  EXPECT_EQ(o.campi[1].testo, "59");
  EXPECT_EQ(o.campi[1].inizio, 18u);

  const riga_record b = analizza_riga(genere_file::linea, "indicatori_vmax,  9000,  70,,  0 ,X");
  ASSERT_EQ(b.campi.size(), 5u);
  EXPECT_EQ(b.campi[2].testo, "");  // an empty field between two commas
  EXPECT_EQ(b.campi[3].testo, "0");
  EXPECT_EQ(b.campi[4].testo, "X");

  const riga_record s = analizza_riga(
      genere_file::treno, "stazione, 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15, NOVALE-ARDOLEA  ");
  ASSERT_EQ(s.campi.size(), 17u);
  EXPECT_EQ(s.campi[16].testo, "NOVALE-ARDOLEA");

  EXPECT_EQ(analizza_riga(genere_file::treno, "--- segnale ---, 1").schema,
            nullptr);  // dash fields are passed over
  EXPECT_EQ(analizza_riga(genere_file::linea, "[pendenze]").schema, nullptr);
  EXPECT_EQ(intestazione("  [stazioni] "), "stazioni");
  EXPECT_EQ(intestazione("segnale, 1"), std::nullopt);
}

}  // namespace
}  // namespace tracciato::lsp
