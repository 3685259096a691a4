// decompila: the passes of recupero.h over the decoded files, the two texts
// written from what they recover, and a compile of those texts to check them.
#include "decompiler/decompila.h"

#include <algorithm>
#include <iostream>

#include <nlohmann/json.hpp>
#include <system_error>

#include "compactor/compattatore.h"
#include "compactor/compila.h"
#include "compactor/decodifica.h"
#include "compactor/formato.h"
#include "decompiler/curve.h"
#include "decompiler/recupero.h"
#include "loader/memorizza_dati.h"
#include "model/errori.h"
#include "model/nomi_file.h"
#include "model/numeri.h"
#include "platform/file.h"
#include "platform/percorso.h"
#include "platform/testo.h"
#include "platform/uscita.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

// Takes the stamps and codes out of cell 1 and slot 85: no source writes
// them. They must be those a compile under these names writes.
void togli_timbri(recupero& r) {
  scenario s;
  s.tabella = r.tabella;
  s.tabella[posto_scenario].testo = r.nome_in_tabella();
  s.tabella[posto_linea].testo = r.numero_in_tabella();
  cella& prima = r.celle[1];
  voce_tabella& testata = r.tabella[posto_scenario];
  if (prima.valore_a != timbro_celle || testata.intero1 != timbro_tabella)
    r.avvisa("the format stamps are not 5121 (cell 1) and 610 (slot 85): these files were not written by this compiler");
  if (prima.valore_b != codice_gara_og(s) || testata.valore4 != codice_gara_st(s))
    r.avvisa("the competition codes in cell 1 and slot 85 are not those of scenario \"" + r.nome + "\" and train \"" +
             r.numero + "\"");
  prima.valore_a = prima.valore_b = 0;
  testata.intero1 = 0;
  testata.valore4 = 0;
}

// Every field of a record by name, its value as text.
template <class R>
std::vector<std::pair<std::string, std::string>> campi_di(const R& x) {
  std::vector<std::pair<std::string, std::string>> v;
  auto metti = [&]<class T>(const char* nome, const T& c) {
    if constexpr (std::is_same_v<T, std::string>)
      v.emplace_back(nome, "\"" + c + "\"");
    else
      v.emplace_back(nome, std::to_string(static_cast<int64_t>(c)));
  };
  if constexpr (std::is_same_v<R, cella>)
    campi_cella(x, metti);
  else
    campi_voce(x, metti);
  return v;
}

// Every record where what the texts compile to (a) differs from the file
// (b), field by field, one line each.
template <class R>
void differenze_di(const R* a, std::size_t na, const R* b, std::size_t nb, const char* genere,
                   std::vector<std::string>& fuori) {
  if (na != nb)
    fuori.push_back("it would have " + std::to_string(na) + " " + genere + "s, not " + std::to_string(nb));
  for (std::size_t i = 0; i < std::min(na, nb); ++i) {
    if (fuori.size() >= 1000) {  // enough to see what went wrong
      fuori.push_back("and more " + std::string(genere) + "s");
      return;
    }
    const auto x = campi_di(a[i]), y = campi_di(b[i]);
    std::string d;
    for (std::size_t k = 0; k < x.size(); ++k)
      if (x[k].second != y[k].second)
        d += (d.empty() ? "" : ", ") + x[k].first + " " + x[k].second + " for " + y[k].second;
    if (!d.empty()) fuori.push_back(std::string(genere) + " " + std::to_string(i) + ": " + d);
  }
}

// What the compile of the recovered texts gives against the files.
struct esito_verifica {
  bool celle_tabella = false;  // the cell file and the scenario file come out the same
  bool piano_confrontato = false;
  int64_t riga_piano = -1;  // the first plan row that comes out otherwise; -1 none
};

// A plan read where it lies whose recovery told nothing: its rows and the
// steps found between them (see disegna_righe).
struct piano_letto {
  int32_t righe = 0;
  std::vector<tratto_planimetria> tratti;
};

// Compiles the two texts in memory, drawing the plan when the set has one (so
// that a curve the loader refuses stops the load where the compile that
// writes the plan would stop), and compares with the files. The plan is
// compared only when confronta_piano (when its recovery already failed, the
// set is known to differ there): a plan read where it lies is the file's
// when it takes the file's steps from the same origin (disegna_righe); any
// other is computed and compared row by row against the file.
esito_verifica verifica(recupero& r, sorgenti_recuperate& s, const binari_in_lettura& b,
                        const std::array<voce_tabella, posti_tabella>& tabella, bool confronta_piano,
                        const std::optional<piano_letto>& letto) {
  esito_verifica v;
  const scenario c = compila_in_memoria(testo_sorgente{"recovered line file", s.linea, {}},
                                        testo_sorgente{"recovered train file", s.treno, {}}, r.nome, r.numero,
                                        b.linea_dat ? 1 : 0)
                         .modello;
  if (c.celle.size() < 2) {
    r.avvisa("the recovered line file gives no cell grid");
    s.differenze.push_back("every cell: the recovered line file gives no cell grid");
    return v;
  }
  if (c.arresto != 0) {
    r.avvisa("the recovered files stop the compile:" + messaggio_arresto(c.arresto));
    s.differenze.push_back("every cell: the recovered files stop the compile");
    return v;
  }
  for (const guasto& g : c.guasti)
    r.avvisa("the recovered files compile with fault " + std::to_string(g.numero) +
             (g.con_posizione ? " at " + std::to_string(g.posizione) + " m" : std::string()) +
             (g.riga > 0 ? " (" + g.file + ", line " + std::to_string(g.riga) + ")" : std::string()));
  const bool celle_uguali = stesse_celle(c.celle, b.celle_dat.dimensione, b.celle_dat.leggi);
  const bool tabella_uguale = codifica_tabella(c.tabella).vista() == b.sim;
  if (!celle_uguali) {
    // The file's cells decoded again, as they were before the recovery read them.
    const auto celle = decodifica_celle(b.celle_dat.dimensione, b.celle_dat.leggi,
                                        nome_file({}, b.nome, b.numero, file_scenario::celle_dat).string());
    differenze_di(c.celle.data(), c.celle.size(), celle.data(), celle.size(), "cell", s.differenze);
  }
  if (!tabella_uguale)
    differenze_di(c.tabella.data(), c.tabella.size(), tabella.data(), tabella.size(), "record slot", s.differenze);
  if (!s.differenze.empty())
    r.avvisa("compiling the recovered files does not give the same bytes: " + std::to_string(s.differenze.size()) +
             " cells or record slots differ, the first " + s.differenze.front());
  v.celle_tabella = celle_uguali && tabella_uguale;
  if (b.linea_dat && confronta_piano) {
    v.piano_confrontato = true;
    const bool stessi_passi = letto && disegna_righe(c.planimetria, letto->righe, letto->tratti);
    if (!stessi_passi) v.riga_piano = prima_riga_diversa(c.planimetria, b.linea_dat->dimensione, b.linea_dat->leggi);
  }
  return v;
}

std::vector<std::string> intestazione(const binari_in_lettura& b, bool linea,
                                      const std::vector<std::string>& inventati) {
  auto nome = [&](file_scenario f) { return nome_file({}, b.nome, b.numero, f).string(); };
  const std::string elenco = (b.linea_dat ? nome(file_scenario::linea_dat) + ", " : std::string()) +
                             nome(file_scenario::sim) + " and " + nome(file_scenario::celle_dat);
  std::vector<std::string> righe = {
      std::string("; ") + (linea ? "Line" : "Train") + " file recovered by tracciato decompile from the binary files",
      ";   " + elenco,
  };
  if (linea && !b.linea_dat) righe.push_back(";   (no track plan was given: the curves are not recovered)");
  if (inventati.empty()) {
    righe.push_back(";   Every item was recovered from what the files hold.");
  } else {
    righe.push_back(";   Made up where the files do not show it:");
    for (const auto& i : inventati) righe.push_back(";     " + i);
  }
  // Nothing before the section start may look like it.
  for (auto& r : righe)
    if (contiene_senza_caso(r, "generale")) r = std::string(1, ';');
  return righe;
}

}  // namespace

sorgenti_recuperate decompila(const binari_scenario& b) {
  binari_in_lettura v{b.nome, b.numero, std::nullopt, b.sim, {b.celle_dat.size(), lettura_in_memoria(b.celle_dat)}};
  if (b.linea_dat) v.linea_dat = file_a_pezzi{b.linea_dat->size(), lettura_in_memoria(*b.linea_dat)};
  return decompila(v);
}

sorgenti_recuperate decompila(const binari_in_lettura& b) {
  auto nome = [&](file_scenario f) { return nome_file({}, b.nome, b.numero, f).string(); };
  const auto tabella = decodifica_tabella(b.sim, nome(file_scenario::sim));
  auto celle = decodifica_celle(b.celle_dat.dimensione, b.celle_dat.leggi, nome(file_scenario::celle_dat));
  // A plan of the size and shape a compile writes is read where it lies, its
  // rows checked as they are read; any other is decoded (and its faults of
  // layout told) first, and so is one whose rows turn out not to be doubles.
  planimetria_t piano;
  std::optional<int32_t> righe_compilate;
  if (b.linea_dat) righe_compilate = forma_compilata(b.linea_dat->dimensione, b.linea_dat->leggi);
  auto decodifica = [&] {
    std::string tutto(b.linea_dat->dimensione, '\0');
    b.linea_dat->leggi(tutto.data(), tutto.size(), 0);
    piano = decodifica_planimetria(tutto, nome(file_scenario::linea_dat));
  };
  if (b.linea_dat && !righe_compilate) decodifica();

  recupero r;
  r.spiegata.assign(celle.size(), false);
  r.celle = std::move(celle);
  r.tabella = tabella;
  r.nome = b.nome;
  r.numero = b.numero;
  linea_r l;
  treno_r t;
  sorgenti_recuperate s;
  bool piano_esatto = !b.linea_dat;
  std::optional<piano_letto> letto;
  if (r.celle.size() < 3) {
    r.avvisa("the cell file has " + std::to_string(r.celle.size()) + " cells: no compile writes so few");
    s.avvisi = std::move(r.avvisi);
    return s;
  }
  togli_timbri(r);
  recupera_testata(r, l, t);
  const int64_t attese = static_cast<int64_t>(r.celle.size()) - 1;
  if (cella_di(int64_t{l.lunghezza} + 7000) != attese)
    r.avvisa("the route length " + std::to_string(l.lunghezza) + " m in slot 84 does not give the " +
             std::to_string(attese + 1) + " cells of the cell file");
  if (!b.linea_dat) {
    r.avvisa("no track plan (" + nome(file_scenario::linea_dat) +
             "): the curves cannot be recovered; the line file has none");
  } else {
    const int32_t massimo_inizio = 50 * r.ultima() - 100;
    std::vector<std::string> avvisi_curve;
    std::optional<curve_recuperate> curve;
    if (righe_compilate)
      curve = recupera_curve(b.linea_dat->dimensione, b.linea_dat->leggi, massimo_inizio, avvisi_curve);
    if (!curve && righe_compilate) decodifica();
    const int64_t righe_piano = curve ? int64_t{*righe_compilate} : int64_t{piano.righe()};
    if (!curve && !piano.allocata()) {
      r.avvisa("the track plan is empty: the curves cannot be recovered");
    } else {
      if (righe_piano != int64_t{l.lunghezza} + 7001)
        r.avvisa("the track plan has " + std::to_string(righe_piano) + " rows, not the " +
                 std::to_string(int64_t{l.lunghezza} + 7001) + " of the route length");
      const bool letto_dove_sta = curve.has_value();
      if (!curve) curve = recupera_curve(piano, massimo_inizio, avvisi_curve);
      l.curve = std::move(curve->curve);
      piano_esatto = avvisi_curve.empty() && righe_piano == int64_t{l.lunghezza} + 7001;
      if (letto_dove_sta && avvisi_curve.empty()) letto = piano_letto{*righe_compilate, std::move(curve->tratti)};
      for (auto& a : avvisi_curve) r.avvisa(std::move(a));
    }
  }
  recupera_serie(r, l, t);
  recupera_stazioni(r, t);
  recupera_segnali(r, t);
  recupera_rallentamenti(r, t);
  recupera_cartelli(r, l);
  recupera_indicatori(r, l);
  recupera_abbattimenti(r, t);
  recupera_montagne(r, l);
  ordina_segni(r, t);

  s.linea = testo_linea(l, intestazione(b, true, r.inventati));
  s.treno = testo_treno(t, intestazione(b, false, r.inventati));
  // The recovery's cells are done with: the compile that verifies the texts
  // takes their memory.
  std::vector<cella>().swap(r.celle);
  std::vector<bool>().swap(r.spiegata);
  const esito_verifica v = verifica(r, s, b, tabella, piano_esatto, letto);
  if (!piano_esatto) s.differenze.push_back("the track plan: its rows were not all recovered (see the warnings)");
  if (v.piano_confrontato && v.riga_piano >= 0) {
    s.differenze.push_back("track plan row " + std::to_string(v.riga_piano) +
                           ": compiling the recovered line file draws it otherwise");
    r.avvisa("compiling the recovered line file does not draw the same track plan: row " +
             std::to_string(v.riga_piano) + " differs");
  }
  // Exact only when every byte of the three files was seen to come out the same.
  s.esatto = v.celle_tabella && piano_esatto && (!b.linea_dat || (v.piano_confrontato && v.riga_piano < 0));
  s.inventati = std::move(r.inventati);
  s.avvisi = std::move(r.avvisi);
  return s;
}

int esegui_decompile(const opzioni_decompile& o) {
  auto percorso = [&](const fs::path& cartella, file_scenario f) { return nome_file(cartella, o.nome, o.numero, f); };
  // Failures go to the program's one report, before anything is written.
  auto rifiuta = [](const std::string& perche) -> int { throw std::runtime_error("decompile: " + perche); };
  for (const std::string* v : {&o.nome, &o.numero})
    if (v->empty() || v->find_first_of("/\\") != std::string::npos || v->find('\0') != std::string::npos)
      return rifiuta("--name and --train-number must be plain, non-empty names");
  const fs::path linea_txt = percorso(o.uscita, file_scenario::linea);
  const fs::path treno_txt = percorso(o.uscita, file_scenario::treno);
  // With the train number "linea" the cell file S_T.dat is named as the line
  // data file S_linea.dat: one file cannot be both.
  if (percorso(o.cartella, file_scenario::celle_dat) == percorso(o.cartella, file_scenario::linea_dat))
    return rifiuta("with train number \"" + o.numero + "\" the cell file and the line data file have the same name, " +
                   testo_percorso(percorso(o.cartella, file_scenario::celle_dat)));
  if (!o.forza)
    for (const fs::path& p : {linea_txt, treno_txt})
      if (esiste_file(p)) return rifiuta(testo_percorso(p) + " exists; give --force to replace it");

  // The plan, tens of MB on a long line, and the cells are read a block at a
  // time where they lie; the small scenario file is read whole.
  const fs::path piano = percorso(o.cartella, file_scenario::linea_dat);
  std::optional<file_in_lettura> piano_aperto;
  if (esiste_file(piano)) piano_aperto.emplace(piano);
  const std::string sim = leggi_file(percorso(o.cartella, file_scenario::sim));
  const file_in_lettura celle(percorso(o.cartella, file_scenario::celle_dat));
  auto a_pezzi = [](const file_in_lettura& f) {
    return file_a_pezzi{f.dimensione(), [&f](char* dove, std::size_t n, uint64_t posizione) { f.leggi(dove, n, posizione); }};
  };
  binari_in_lettura b{o.nome, o.numero, std::nullopt, sim, a_pezzi(celle)};
  if (piano_aperto) b.linea_dat = a_pezzi(*piano_aperto);
  const sorgenti_recuperate s = decompila(b);
  if (s.linea.empty()) {
    std::string perche;
    for (const auto& a : s.avvisi) perche += (perche.empty() ? "" : "; ") + a;
    return rifiuta(perche.empty() ? "nothing could be recovered" : perche);
  }
  // Like sources, decompile makes the folder its text files go into.
  std::error_code e;
  fs::create_directories(o.uscita, e);
  if (!fs::is_directory(o.uscita)) return rifiuta("the output folder " + testo_percorso(o.uscita) + " cannot be made");
  sostituisci_file(linea_txt, s.linea);
  sostituisci_file(treno_txt, s.treno);
  if (o.json) {
    nlohmann::json j = {{"files", {testo_percorso(linea_txt), testo_percorso(treno_txt)}},
                        {"exact", s.esatto},
                        {"differences", s.differenze},
                        {"made_up", s.inventati},
                        {"warnings", s.avvisi}};
    std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    std::cout << testo_percorso(linea_txt) << "\n" << testo_percorso(treno_txt) << "\n";
    for (const auto& a : s.avvisi) std::cerr << "tracciato decompile: warning: " << a << "\n";
    for (const auto& i : s.inventati) std::cerr << "tracciato decompile: note: made up: " << i << "\n";
    if (!s.esatto) {
      std::cerr << "tracciato decompile: note: compiling these files will not give the same bytes; what differs:\n";
      for (const auto& d : s.differenze) std::cerr << "  " << d << "\n";
    }
  }
  return !s.esatto || (o.strict && !s.avvisi.empty()) ? uscita_errore_registrato : uscita_ok;
}

}  // namespace tracciato
