// esegui_compile: an author's own line and train files compiled into
// S_linea.dat, S_T.sim and S_T.dat.
//
// The author's files are read as they are and never changed; the only files
// written are the three binary files, replaced as one set.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

#include "checker/controllo.h"
#include "checker/stampa.h"
#include "driver/esecuzione.h"
#include "driver/memorizza_percorso.h"
#include "model/errori.h"
#include "platform/cartella.h"
#include "platform/file.h"
#include "platform/percorso.h"
#include "platform/testo.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// The places the check names for the faults the load cannot place itself: a
// record that lacks a field (the load fails only at the next line it reads
// into), fault 2 (at the chainage reference), 1250 and 1251 (at the item in
// cell 1). The check loads the same texts, so its errors with the same number
// come in the same order.
void luoghi_dal_controllo(scenario& s, const std::vector<problema>& problemi) {
  std::vector<bool> usato(problemi.size());
  for (guasto& g : s.guasti) {
    if (g.causa >= 0) continue;
    for (size_t i = 0; i < problemi.size(); ++i) {
      const problema& p = problemi[i];
      if (usato[i] || p.livello != gravita::errore || p.codice != g.numero) continue;
      if (!g.file.empty() && p.file != g.file) continue;
      usato[i] = true;
      const bool senza_luogo = g.file.empty() || g.riga <= 0;
      if (p.riga > 0 && (senza_luogo || g.numero == e_lettura)) {
        g.file = p.file;
        g.riga = p.riga;
        g.colonna = p.colonna;
        if (g.numero == e_lettura) g.dettaglio = p.messaggio;  // what the record lacks, in the check's words
      }
      break;
    }
  }
}

// A name or number that could form a path outside the output folder (a
// separator; every file name adds a fixed ending to it), that holds control
// characters, that has no Windows-1252 form for the record table, or no name
// at all is refused before anything is written.
void verifica_nome(const std::string& valore, const char* opzione) {
  if (valore.empty()) throw std::invalid_argument(std::string(opzione) + " must not be empty");
  const std::string quota = citato(valore);
  for (unsigned char c : valore)
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f)
      throw std::invalid_argument(std::string(opzione) + " " + quota +
                                  " must be a plain name: it may not contain '/', '\\' or control "
                                  "characters");
  try {
    (void)da_utf8(valore);
  } catch (const std::runtime_error&) {
    throw std::invalid_argument(std::string(opzione) + " " + quota +
                                " must be UTF-8 text whose every character exists in Windows-1252, the "
                                "code page the scenario file stores it in");
  }
}

// An input must be a regular, readable file of bounded size.
void verifica_ingresso(const fs::path& autore, const char* opzione) {
  try {
    verifica_leggibile(autore);
  } catch (const std::runtime_error& e) {
    throw std::invalid_argument(std::string(opzione) + ": " + e.what());
  }
}

// An input that is one of the files the compile writes would be replaced.
void verifica_non_sostituito(const fs::path& autore, const opzioni_compile& o, const char* opzione) {
  for (file_scenario f : {file_scenario::linea_dat, file_scenario::sim, file_scenario::celle_dat}) {
    std::error_code e;
    const fs::path nome = nome_file(o.cartella, o.nome, o.numero, f);
    if (fs::equivalent(autore, nome, e))  // false, with e set, when nome does not exist
      throw std::invalid_argument(std::string(opzione) + " " + autore.string() +
                                  " is a file that the compile writes; rename it or choose another "
                                  "--dir");
  }
}

// The texts the compile loaded; read here only when it read none.
std::vector<testo_sorgente>& testi_del_carico(esito_percorso& esito, const opzioni_compile& opzioni) {
  if (esito.testi.size() != 2)
    esito.testi = {leggi_sorgente(opzioni.linea, opzioni.codifica), leggi_sorgente(opzioni.treno, opzioni.codifica)};
  return esito.testi;
}

}  // namespace

int esegui_compile(const opzioni_compile& opzioni) {
  // Refused before anything is written.
  verifica_nome(opzioni.nome, "--name");
  verifica_nome(opzioni.numero, "--train-number");
  // Each file name must fit the file system's bound of 255 bytes.
  for (file_scenario f : {file_scenario::linea_dat, file_scenario::sim, file_scenario::celle_dat}) {
    const std::string nome = nome_file({}, opzioni.nome, opzioni.numero, f).string();
    if (nome.size() > 255)
      throw std::invalid_argument("--name and --train-number make the file name " + citato(nome) +
                                  "; a file name holds at most 255 bytes");
  }
  // The documents' header cells are checked before anything is written.
  const opzioni_documenti documenti =
      opzioni.documenti ? opzioni_da_riga(opzioni.intestazione, opzioni.numero) : opzioni_documenti{};
  verifica_cartella(opzioni.cartella);
  verifica_ingresso(opzioni.linea, "--line");
  verifica_ingresso(opzioni.treno, "--train");
  verifica_non_sostituito(opzioni.linea, opzioni, "--line");
  verifica_non_sostituito(opzioni.treno, opzioni, "--train");
  // The train number "linea" would name the cell file S_linea.dat, the line
  // data file's name: the second would overwrite the first.
  if (nome_file({}, opzioni.nome, opzioni.numero, file_scenario::celle_dat) ==
      nome_file({}, opzioni.nome, opzioni.numero, file_scenario::linea_dat))
    throw std::invalid_argument("--train-number " + citato(opzioni.numero) + " would name the cell file " +
                                nome_file({}, opzioni.nome, opzioni.numero, file_scenario::celle_dat).string() +
                                ", the name of the line data file; choose another train number");

  scenario s;
  s.nome_scenario = opzioni.nome;
  s.numero_treno = opzioni.numero;
  const ingresso_percorso ingresso{
      .linea = opzioni.linea, .treno = opzioni.treno, .cancella = false, .codifica = opzioni.codifica};
  esito_percorso esito =
      esegui_percorso(s, opzioni.senza_planimetria ? 0 : 1, ingresso, opzioni.cartella, opzioni.rapporto.strict);
  if (s.guasti.empty() && s.codice_errore == 0 && esito.fallimento.empty()) {
    // No fault: whether the check would still warn, from the texts as loaded.
    seguito_rapporto seguito;
    const std::vector<testo_sorgente>& testi = testi_del_carico(esito, opzioni);
    const testo_sorgente& treno = testi[1];
    seguito.avvisi_controllo = conta_avvisi(testi[0], treno, s);
    if (!opzioni.documenti) return rapporta(s, esito, opzioni.rapporto, &seguito);
    std::vector<std::string> avvisi;
    const auto scritti = scrivi_documenti(s, treno.dati, documenti, opzioni.cartella,
                                          {opzioni.linea, opzioni.treno}, avvisi);
    const int stato = rapporta(s, esito, opzioni.rapporto, &seguito);
    for (const std::string& a : avvisi) std::cerr << "tracciato: warning: " << a << "\n";
    if (!opzioni.rapporto.json)
      for (const auto& p : scritti) std::cout << "wrote " << testo_percorso(p) << "\n";
    return stato;
  }
  if (opzioni.documenti)
    std::cerr << "tracciato: warning: the documents were not written: they follow a train that compiles with no "
                 "fault\n";
  if (s.guasti.empty()) return rapporta(s, esito, opzioni.rapporto);

  // A fault: show its line, and whether the check finds more. The binary
  // files are already written, so the faults' places may be mended below.
  seguito_rapporto seguito;
  seguito.testi = std::move(testi_del_carico(esito, opzioni));
  const auto problemi = controlla(seguito.testi[0], seguito.testi[1]);
  luoghi_dal_controllo(s, problemi);
  if (opzioni.rapporto.json) return rapporta(s, esito, opzioni.rapporto);
  seguito.altri_problemi = std::max<int32_t>(0, static_cast<int32_t>(problemi.size()) - 1);
  return rapporta(s, esito, opzioni.rapporto, &seguito);
}

}  // namespace tracciato
