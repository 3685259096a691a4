#include "lsp/servitore.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "lsp/aiuto.h"
#include "lsp/diagnosi.h"
#include "lsp/documento.h"
#include "lsp/trasporto.h"
#include "platform/uri.h"
#include "loader/memorizza_dati.h"
#include "model/regole.h"
#include "sources/dati.h"
#include "tests/cartella_temporanea.h"

namespace tracciato::lsp {
namespace {

using nlohmann::json;

// A server on strings: every message it sends lands in inviati.
class ServitoreTest : public ::testing::Test {
 protected:
  ServitoreTest() : s_([this](const json& m) { inviati.push_back(m); }) {}

  json chiedi(int id, const std::string& metodo, json parametri = json::object()) {
    inviati.clear();
    s_.ricevi(
        json{{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", parametri}}.dump());
    EXPECT_EQ(inviati.size(), 1u) << metodo;
    return inviati.empty() ? json() : inviati.back();
  }
  void notifica(const std::string& metodo, json parametri) {
    inviati.clear();
    s_.ricevi(json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", parametri}}.dump());
  }
  void inizia(bool snippet = true) {
    chiedi(1, "initialize",
           {{"capabilities",
             {{"textDocument", {{"completion", {{"completionItem", {{"snippetSupport", snippet}}}}}}}}}});
  }

  // The built-in line and train files in a folder of their own, named as the built-in run names
  // them.
  void incorporati() {
    dati_linea(linea_);
    dati_treno(treno_);
  }
  static std::string uri(const std::filesystem::path& p) { return uri_da_percorso(p); }
  void apri(const std::filesystem::path& p, const std::string& testo_utf8) {
    notifica(
        "textDocument/didOpen",
        {{"textDocument",
          {{"uri", uri(p)}, {"languageId", "tracciato"}, {"version", 1}, {"text", testo_utf8}}}});
  }
  void cambia(const std::filesystem::path& p, int versione, const std::string& testo_utf8) {
    notifica("textDocument/didChange", {{"textDocument", {{"uri", uri(p)}, {"version", versione}}},
                                        {"contentChanges", json::array({{{"text", testo_utf8}}})}});
  }
  // The diagnostics last published for p.
  json diagnostiche(const std::filesystem::path& p) const {
    for (auto it = inviati.rbegin(); it != inviati.rend(); ++it)
      if ((*it)["method"] == "textDocument/publishDiagnostics" && (*it)["params"]["uri"] == uri(p))
        return (*it)["params"]["diagnostics"];
    ADD_FAILURE() << "nothing published for " << p;
    return json();
  }
  json posizione(int riga, int colonna) { return {{"line", riga}, {"character", colonna}}; }
  // The errors among the diagnostics; the built-in files carry warnings of their own.
  static json errori(const json& d) {
    json e = json::array();
    for (const json& x : d)
      if (x["severity"] == 1) e.push_back(x);
    return e;
  }

  test::cartella_temporanea t_;
  std::filesystem::path linea_ = t_ / "VessolantaC_OrmelaC_linea.txt";
  std::filesystem::path treno_ = t_ / "VessolantaC_OrmelaC_4715-.txt";
  std::vector<json> inviati;
  servitore s_;
};

TEST_F(ServitoreTest, LifecycleAndTheCapabilitiesItHas) {
  EXPECT_EQ(chiedi(7, "textDocument/hover")["error"]["code"], non_inizializzato);
  const json r = chiedi(1, "initialize", {{"capabilities", json::object()}});
  EXPECT_EQ(r["id"], 1);
  const json& c = r["result"]["capabilities"];
  EXPECT_EQ(c["textDocumentSync"]["change"], 1);
  EXPECT_EQ(c["textDocumentSync"]["openClose"], true);
  EXPECT_EQ(c["hoverProvider"], true);
  EXPECT_TRUE(c["completionProvider"].is_object());
  EXPECT_EQ(c["documentSymbolProvider"], true);
  EXPECT_EQ(c["documentFormattingProvider"], true);
  EXPECT_EQ(c["codeActionProvider"]["codeActionKinds"], json::array({"quickfix"}));
  // Nothing it does not serve.
  for (const char* p : {"definitionProvider", "referencesProvider", "renameProvider", "semanticTokensProvider"})
    EXPECT_FALSE(c.contains(p)) << p;

  notifica("initialized", json::object());
  EXPECT_TRUE(inviati.empty());
  EXPECT_EQ(chiedi(2, "shutdown")["result"], nullptr);
  EXPECT_EQ(chiedi(3, "textDocument/hover")["error"]["code"], richiesta_non_valida);
  EXPECT_FALSE(s_.finito());
  notifica("exit", json());
  EXPECT_TRUE(s_.finito());
  EXPECT_EQ(s_.stato(), 0);
}

TEST_F(ServitoreTest, ExitWithoutShutdownFails) {
  inizia();
  notifica("exit", json());
  EXPECT_TRUE(s_.finito());
  EXPECT_EQ(s_.stato(), 1);
}

TEST_F(ServitoreTest, BadMessagesGetAnErrorAndTheServerGoesOn) {
  inizia();
  // Nested a million deep, as no message of the protocol is: refused unparsed.
  static const std::string profondo = std::string(1000000, '[') + std::string(1000000, ']');
  static const struct {
    const char* corpo;
    int codice;
    json id;
  } casi[] = {
      {"{\"jsonrpc\":\"2.0\",\"id\":4,\"method\":", errore_analisi, nullptr},
      {"[1,2]", richiesta_non_valida, nullptr},
      {"{\"jsonrpc\":\"2.0\",\"id\":5}", richiesta_non_valida, 5},
      {"{\"jsonrpc\":\"2.0\",\"id\":\"x\",\"method\":\"textDocument/definition\"}",
       metodo_sconosciuto, "x"},
      {"{\"jsonrpc\":\"2.0\",\"id\":6,\"method\":\"textDocument/"
       "hover\",\"params\":{\"textDocument\":7}}",
       parametri_non_validi, 6},
      {"{\"jsonrpc\":\"2.0\",\"id\":8,\"method\":\"textDocument/"
       "hover\",\"params\":{\"textDocument\":"
       "{\"uri\":\"file:///nowhere\"},\"position\":{\"line\":0,\"character\":0}}}",
       parametri_non_validi, 8},
      {profondo.c_str(), errore_analisi, nullptr},
  };
  for (const auto& c : casi) {
    inviati.clear();
    s_.ricevi(c.corpo);
    ASSERT_EQ(inviati.size(), 1u) << c.corpo;
    EXPECT_EQ(inviati[0]["error"]["code"], c.codice) << c.corpo;
    EXPECT_EQ(inviati[0]["id"], c.id) << c.corpo;
  }
  // Unknown notifications and responses get no answer.
  notifica("$/cancelRequest", {{"id", 3}});
  notifica("workspace/didChangeConfiguration", json::object());
  s_.ricevi("{\"jsonrpc\":\"2.0\",\"id\":9,\"result\":null}");
  EXPECT_TRUE(inviati.empty());
  EXPECT_EQ(chiedi(10, "shutdown")["result"], nullptr);
}

TEST(EseguiServitore, OnAStreamUntilTheInputEnds) {
  std::string in;
  for (const char* c : {R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})", "not json",
                        R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})"})
    in += incornicia(c);
  in += "Content-Length: 99\r\n\r\n{";  // cut short
  std::istringstream is(in);
  std::string out;
  EXPECT_EQ(esegui_servitore(is, [&out](std::string_view m) { out += m; }), 0);
  std::istringstream os(out);
  std::vector<json> risposte;
  for (lettura l = leggi_messaggio(os); l.esito == esito_lettura::messaggio;
       l = leggi_messaggio(os))
    risposte.push_back(json::parse(l.corpo));
  ASSERT_EQ(risposte.size(), 3u);
  EXPECT_EQ(risposte[0]["id"], 1);
  EXPECT_EQ(risposte[1]["error"]["code"], errore_analisi);
  EXPECT_EQ(risposte[2]["id"], 2);
  EXPECT_TRUE(os.eof() || os.peek() == EOF) << "nothing but framed messages";
}

TEST_F(ServitoreTest, DiagnosticsFollowEachChangeAndClearOnFixAndClose) {
  incorporati();
  inizia();
  const std::string buono = in_utf8(test::leggi(linea_));
  std::string guasto = buono;
  const std::string prima = "lunghezza percorso,    120000";
  guasto.replace(guasto.find(prima), prima.size(), "lunghezza percorso,    12O000");  // a letter O
  apri(linea_, guasto);
  const json d = errori(diagnostiche(linea_));
  ASSERT_EQ(d.size(), 1u) << d.dump();
  EXPECT_EQ(d[0]["code"], 25);
  EXPECT_EQ(d[0]["source"], "tracciato");
  EXPECT_EQ(d[0]["range"]["start"], posizione(1, 23));  // the field that does not read
  EXPECT_EQ(d[0]["range"]["end"], posizione(1, 29));

  cambia(linea_, 2, buono);
  EXPECT_EQ(errori(diagnostiche(linea_)), json::array());
  cambia(linea_, 3, guasto);
  EXPECT_EQ(errori(diagnostiche(linea_)).size(), 1u);
  notifica("textDocument/didClose", {{"textDocument", {{"uri", uri(linea_)}}}});
  EXPECT_EQ(diagnostiche(linea_), json::array());
}

TEST_F(ServitoreTest, ProblemsThatNeedBothFilesComeOnlyWithThePartner) {
  incorporati();
  inizia();
  std::string treno = in_utf8(test::leggi(treno_));
  const std::string primo = "segnale,    4700,";
  treno.replace(treno.find(primo), primo.size(),
                "segnale,    130000,");  // past the line's end + 6900 m
  apri(treno_, treno);
  const json d = errori(diagnostiche(treno_));
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0]["code"], 15) << d.dump();

  // Alone in its folder, the train file cannot know where the line ends.
  test::cartella_temporanea solo;
  const auto altrove = solo / "VessolantaC_OrmelaC_4715-.txt";
  test::scrivi(altrove, test::leggi(treno_));
  apri(altrove, treno);
  for (const json& x : diagnostiche(altrove)) EXPECT_NE(x["code"], 15) << x.dump();
}

TEST_F(ServitoreTest, ALineFileEditOpensTheTrainFilesDiagnosticsAgain) {
  incorporati();
  inizia();
  const std::string linea = in_utf8(test::leggi(linea_));
  const std::string treno = in_utf8(test::leggi(treno_));
  // Paired by the scenario's name, and paired as the only line file of its
  // folder, whatever its name.
  for (const char* nome : {"VessolantaC_OrmelaC_linea.txt", "altro_linea.txt"}) {
    SCOPED_TRACE(nome);
    test::cartella_temporanea c;
    const auto l = c / nome, t = c / "VessolantaC_OrmelaC_4715-.txt";
    test::scrivi(l, test::leggi(linea_));
    test::scrivi(t, test::leggi(treno_));
    apri(t, treno);
    apri(l, linea);
    EXPECT_EQ(errori(diagnostiche(t)), json::array());
    // A much shorter line puts the train's signals past its end.
    std::string corta = linea;
    const std::string lunghezza = "lunghezza percorso,    120000";
    corta.replace(corta.find(lunghezza), lunghezza.size(), "lunghezza percorso,    60000");
    cambia(l, 2, corta);
    const json d = errori(diagnostiche(t));
    ASSERT_FALSE(d.empty()) << "the open train file is checked again against the changed line";
    EXPECT_EQ(d[0]["code"], 15);
  }
}

// A file with a problem on each of thousands of lines: the first 999 are
// listed, and the last diagnostic sums up the rest where they begin.
TEST_F(ServitoreTest, AtMostAThousandDiagnosticsTheLastSummingUpTheRest) {
  inizia();
  std::string testo = "[generale]\r\nlunghezza percorso, 1000000\r\n[pendenze]\r\n";
  for (int i = 0; i < 3000; ++i) testo += "pendenza, " + std::to_string(i * 50) + ", 1, 9\r\n";
  const auto p = t_ / "molti_linea.txt";
  apri(p, testo);
  const json d = diagnostiche(p);
  ASSERT_EQ(d.size(), massime_diagnostiche);
  EXPECT_EQ(d[998]["range"]["start"]["line"], 1001);
  EXPECT_EQ(d[999]["range"]["start"]["line"], 1002);
  EXPECT_TRUE(d[999]["message"].get<std::string>().starts_with(
      "2001 more problems from this line on are not listed (0 errors, 2001 warnings)"))
      << d[999]["message"];
}

// Each change of a whole file is checked afresh: the built-in line file,
// sent again and again, stays free of errors. (How fast is the lsp
// benchmark's business, not a test's: a busy machine would fail it.)
TEST_F(ServitoreTest, DiagnosticsOfTheBuiltInFilesAfterEachChange) {
  incorporati();
  inizia();
  const std::string linea = in_utf8(test::leggi(linea_));
  apri(linea_, linea);
  for (int i = 0; i < 3; ++i) {
    cambia(linea_, 2 + i, linea);
    ASSERT_EQ(errori(diagnostiche(linea_)), json::array());
  }
}

TEST_F(ServitoreTest, HoverCompletionAndOutlineOnTheBuiltInTrainFile) {
  incorporati();
  inizia();
  const std::string testo = in_utf8(test::leggi(treno_));
  apri(treno_, testo);
  const auto righe = righe_di(testo);
  auto riga_di = [&](std::string_view inizio) {
    for (size_t i = 0; i < righe.size(); ++i)
      if (righe[i].substr(0, inizio.size()) == inizio) return static_cast<int>(i);
    ADD_FAILURE() << inizio;
    return 0;
  };
  auto testo_hover = [&](int riga, int colonna) {
    const json r =
        chiedi(20, "textDocument/hover",
               {{"textDocument", {{"uri", uri(treno_)}}}, {"position", posizione(riga, colonna)}});
    return r["result"].is_null() ? std::string()
                                 : r["result"]["contents"]["value"].get<std::string>();
  };
  const int segnale = riga_di("segnale,    4700,");
  EXPECT_TRUE(testo_hover(segnale, 13).starts_with(
      "field 1 of `segnale`: position, 4700 m (cell 95, 4750\u2013""4799 m; km 136+900)"))
      << testo_hover(segnale, 13);
  EXPECT_NE(testo_hover(segnale, 2).find("11 fields"), std::string::npos);
  EXPECT_NE(testo_hover(segnale, 2).find("`tempo`"), std::string::npos);
  const int ardolea = riga_di("stazione,   21650");
  EXPECT_EQ(testo_hover(ardolea, static_cast<int>(righe[ardolea].find("ARDOLEA")) + 2),
            "station **ARDOLEA**: 14:24:00 (stop value 50)");
  EXPECT_NE(testo_hover(ardolea, 13).find("; station cell"), std::string::npos);
  EXPECT_EQ(testo_hover(riga_di("[fine]"), 1), "");

  // Completion: the keywords of the line's section, in the keyword field only.
  auto etichette = [&](int riga, int colonna) {
    const json r =
        chiedi(21, "textDocument/completion",
               {{"textDocument", {{"uri", uri(treno_)}}}, {"position", posizione(riga, colonna)}});
    std::vector<std::string> v;
    for (const json& e : r["result"]["items"]) v.push_back(e["label"]);
    return std::pair(v, r["result"]["items"]);
  };
  const auto [nomi, elementi] = etichette(segnale, 3);
  EXPECT_EQ(nomi, std::vector<std::string>{"segnale"});  // the file has every header already
  ASSERT_EQ(elementi.size(), 1u);
  EXPECT_EQ(elementi[0]["textEdit"]["newText"],
            "segnale, ${1:position}, ${2:sx}, ${3:s1}, ${4:s2}, ${5:s3}, ${6:rapp}, ${7:dx}, ${8:d1}, "
            "${9:d2}, ${10:d3}, ${11:tempo}");
  EXPECT_EQ(elementi[0]["textEdit"]["range"]["start"], posizione(segnale, 0));
  EXPECT_EQ(elementi[0]["textEdit"]["range"]["end"], posizione(segnale, 3));
  EXPECT_TRUE(etichette(segnale, 13).first.empty());

  // The outline: sections, and the stations in theirs.
  const json s = chiedi(22, "textDocument/documentSymbol",
                        {{"textDocument", {{"uri", uri(treno_)}}}})["result"];
  std::vector<std::string> sezioni;
  for (const json& x : s) sezioni.push_back(x["name"]);
  EXPECT_EQ(sezioni,
            (std::vector<std::string>{"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]",
                                      "[rallentamenti]", "[segnali]", "[codici]", "[fine]"}));
  const json& stazioni = s[3]["children"];
  ASSERT_GE(stazioni.size(), 4u);
  EXPECT_EQ(stazioni[3]["name"], "ARDOLEA");
  EXPECT_EQ(stazioni[3]["detail"], "21650 m, 14:24:00");
}

TEST_F(ServitoreTest, FormattingEditsOnlyTheLinesItLaysOut) {
  inizia();
  const auto p = t_ / "S_linea.txt";
  apri(p, "[generale]\r\nlunghezza percorso,7000\r\n[pendenze]\r\npendenza,  0,    0\r\n[fine]\r\n");
  const json r = chiedi(40, "textDocument/formatting",
                        {{"textDocument", {{"uri", uri(p)}}}, {"options", {{"tabSize", 4}, {"insertSpaces", true}}}});
  ASSERT_EQ(r["result"].size(), 2u) << r;
  EXPECT_EQ(r["result"][0]["range"]["start"], posizione(1, 0));
  EXPECT_EQ(r["result"][0]["range"]["end"], posizione(1, 23));
  EXPECT_EQ(r["result"][0]["newText"], "lunghezza percorso,    7000");
  EXPECT_EQ(r["result"][1]["newText"], "pendenza,   0,    0");  // four blanks after a record at 0, as the writer has them
}

TEST_F(ServitoreTest, QuickFixesOfTheProblemsOnTheLinesAsked) {
  inizia();
  const auto p = t_ / "S_linea.txt";
  apri(p, "[generale]\r\nlunghezza percorso,7000\r\n[pendenze]\r\npendenzza,0,3\r\npendenza,  120, 2\r\n# note\r\n[fine]\r\n");
  auto azioni = [&](int da, int a) {
    return chiedi(50, "textDocument/codeAction",
                  {{"textDocument", {{"uri", uri(p)}}},
                   {"range", {{"start", posizione(da, 0)}, {"end", posizione(a, 0)}}},
                   {"context", {{"diagnostics", json::array()}}}})["result"];
  };
  const json r = azioni(3, 5);
  ASSERT_EQ(r.size(), 3u) << r;
  const struct {
    const char* codice;
    int riga, da, a, riga_fine;
    const char* nuovo;
  } attese[] = {{"W115", 3, 0, 9, 3, "pendenza"}, {"W203", 4, 11, 14, 4, "100"}, {"W111", 5, 0, 0, 6, ""}};
  for (size_t i = 0; i < 3; ++i) {
    const json& x = r[i];
    EXPECT_EQ(x["kind"], "quickfix");
    EXPECT_EQ(x["isPreferred"], true);
    EXPECT_EQ(x["diagnostics"][0]["code"], attese[i].codice) << x;
    const json& e = x["edit"]["changes"][uri(p)];
    ASSERT_EQ(e.size(), 1u) << x;
    EXPECT_EQ(e[0]["range"]["start"], posizione(attese[i].riga, attese[i].da)) << x;
    EXPECT_EQ(e[0]["range"]["end"], posizione(attese[i].riga_fine, attese[i].a)) << x;
    EXPECT_EQ(e[0]["newText"], attese[i].nuovo) << x;
  }
  EXPECT_EQ(azioni(0, 2), json::array());
  EXPECT_EQ(chiedi(51, "textDocument/codeAction", {{"textDocument", {{"uri", uri(t_ / "no.txt")}}}})["error"]["code"],
            parametri_non_validi);
}

TEST_F(ServitoreTest, HoverOnALineFileUsesItsOwnChainage) {
  incorporati();
  inizia();
  const std::string testo = in_utf8(test::leggi(linea_));
  apri(linea_, testo);
  const auto righe = righe_di(testo);
  int riga = -1;
  for (size_t i = 0; i < righe.size(); ++i)
    if (righe[i].substr(0, 26) == "cartello_indicatore,  8400") riga = static_cast<int>(i);
  ASSERT_GE(riga, 0);
  const json r =
      chiedi(30, "textDocument/hover",
             {{"textDocument", {{"uri", uri(linea_)}}}, {"position", posizione(riga, 23)}});
  const std::string atteso =
      "field 1 of `cartello_indicatore`: position, 8400 m (cell 169, 8450\u2013""8499 m; km 121+500)\n";
  EXPECT_EQ(r["result"]["contents"]["value"].get<std::string>().substr(0, atteso.size()), atteso);
  EXPECT_EQ(r["result"]["range"]["start"], posizione(riga, 22));
}

// What the hover says of a place is what the loader made of it: the chainage
// of every item (a flagged reference 100 m on) and every station's cell.
TEST(Chilometro, TheHoverAgreesWithTheLoader) {
  const std::string linea = testo_linea(), treno = testo_treno();
  scenario s;
  s.scrivi_linea = 0;
  memorizza_dati(s, {"linea", linea, ""}, {"treno", treno, ""});
  ASSERT_EQ(s.codice_errore, 0);
  for (const int64_t p : {0, 4700, 6300, 6350, 8400, 64500, 121250})
    EXPECT_EQ(chilometro(linea, p), testo_chilometrica(chilometrica(s, p))) << p;
  EXPECT_EQ(chilometro("[generale]\r\n", 100), "");

  int32_t posto = 1;
  for (const std::string_view r : righe_di(treno)) {
    const riga_record rr = analizza_riga(genere_file::treno, r);
    if (rr.schema == nullptr || rr.schema->genere != genere_voce::stazione) continue;
    const voce_tabella& v = s.tabella[static_cast<size_t>(posto++)];
    const std::string testo = testo_hover_campo(rr, 0, linea);
    if (v.tipo_record >= 25) {
      EXPECT_EQ(testo.find("station cell"), std::string::npos) << r;
      continue;
    }
    const int64_t cella = cella_di(v.valore2, -1);
    ASSERT_EQ(s.celle[static_cast<size_t>(cella)].tipo_cella, cella_stazione) << r;
    EXPECT_NE(testo.find("; station cell " + std::to_string(cella)), std::string::npos) << testo;
  }
  EXPECT_GT(posto, 5);
}

}  // namespace
}  // namespace tracciato::lsp
