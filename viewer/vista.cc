#include "viewer/vista.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <limits>
#include <stdexcept>

#include "checker/controllo.h"
#include "compactor/compila.h"
#include "compactor/decodifica.h"
#include "model/errori.h"
#include "model/nomi_file.h"
#include "platform/file.h"
#include "platform/percorso.h"
#include "platform/uscita.h"
#include "platform/testo.h"
#include "viewer/da_sorgenti.h"
#include "viewer/pagina.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

bool finisce_con(const std::string& s, std::string_view coda) {
  return s.size() >= coda.size() && s.compare(s.size() - coda.size(), coda.size(), coda) == 0;
}

// A name that would put the page outside the current folder is refused, and
// so is one the record table cannot hold (a default taken from a file name
// that is not UTF-8, for one).
void verifica_nome(const std::string& valore, const char* opzione) {
  if (valore.empty()) throw std::invalid_argument(std::string(opzione) + " must not be empty");
  if (valore.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
    throw std::invalid_argument(std::string(opzione) + " \"" + leggibile(valore) +
                                "\" must be a plain name without '/' or '\\'");
  try {
    (void)da_utf8(valore);
  } catch (const std::runtime_error&) {
    throw std::invalid_argument(std::string(opzione) + " \"" + leggibile(valore) +
                                "\" must be UTF-8 text whose every character exists in Windows-1252 (a value "
                                "taken from a file's name may not be): give " + opzione);
  }
}

}  // namespace

scenario scenario_da_binari(const fs::path& cartella, const std::string& nome, const std::string& numero,
                            planimetria_t& piano) {
  scenario s;
  s.nome_scenario = nome;
  s.numero_treno = numero;
  const fs::path sim = nome_file(cartella, nome, numero, file_scenario::sim);
  const fs::path celle = nome_file(cartella, nome, numero, file_scenario::celle_dat);
  const fs::path linea = nome_file(cartella, nome, numero, file_scenario::linea_dat);
  s.tabella = decodifica_tabella(leggi_file(sim), sim.string());
  s.celle = decodifica_celle(leggi_file(celle), celle.string());
  piano = planimetria_t{};
  // No line data file: a set written without the plan. Anything else of that
  // name (a FIFO, a device, a folder) is read, and refused as what it is.
  std::error_code e;
  if (fs::exists(fs::symlink_status(linea, e))) {
    piano = decodifica_planimetria(leggi_file(linea), linea.string());
    s.scrivi_linea = 1;
  }
  // A route length no compile writes (a damaged or crafted file) must not
  // overflow on its way.
  s.lunghezza_estesa = static_cast<int32_t>(
      std::min<int64_t>(int64_t{s.tabella[posto_treno].valore2} + 7000, std::numeric_limits<int32_t>::max()));
  return s;
}

std::string nome_da_file_linea(const fs::path& linea) {
  std::string n = linea.stem().string();
  if (finisce_con(n, "_linea") && n.size() > 6) n.resize(n.size() - 6);
  return n;
}

std::string numero_da_file_treno(const fs::path& treno, const std::string& nome) {
  std::string n = treno.stem().string();
  if (finisce_con(n, "-") && n.size() > 1) n.pop_back();
  if (n.size() > nome.size() + 1 && n.compare(0, nome.size() + 1, nome + "_") == 0) n.erase(0, nome.size() + 1);
  return n;
}

namespace {

// The timetable card and slowdown order of the scenario in cartella, when
// there, each linked from the page at pagina by a relative path.
std::vector<std::pair<std::string, std::string>> documenti_presenti(const fs::path& cartella, const std::string& nome,
                                                                     const std::string& numero, const fs::path& pagina) {
  std::vector<std::pair<std::string, std::string>> v;
  for (const auto& [cosa, f] : {std::pair{"timetable card", file_scenario::scheda},
                                {"slowdown order", file_scenario::rallentamenti}}) {
    const fs::path p = nome_file(cartella, nome, numero, f);
    std::error_code e;
    if (!fs::is_regular_file(p, e)) continue;
    fs::path da = fs::absolute(pagina, e).parent_path();
    fs::path rel = fs::absolute(p, e).lexically_normal().lexically_relative(da.lexically_normal());
    if (rel.empty()) rel = fs::absolute(p, e);
    std::string href;
    for (unsigned char c : rel.generic_string()) {
      if (std::isalnum(c) || std::strchr("-._~/", c) != nullptr) {
        href += static_cast<char>(c);
      } else {
        char b[4];
        std::snprintf(b, sizeof b, "%%%02X", c);
        href += b;
      }
    }
    v.emplace_back(cosa, href);
  }
  return v;
}

}  // namespace

int esegui_view(const opzioni_view& o) {
  const bool da_sorgenti = !o.linea.empty();
  std::string nome = o.nome, numero = o.numero;
  if (da_sorgenti && nome.empty()) nome = nome_da_file_linea(o.linea);
  if (da_sorgenti && numero.empty()) numero = numero_da_file_treno(o.treno, nome);
  verifica_nome(nome, "--name");
  verifica_nome(numero, "--train-number");

  const fs::path uscita = o.uscita.empty() ? percorso_utf8(nome + "_" + numero + ".html") : o.uscita;
  std::string html;
  if (da_sorgenti) {
    // A character without a Windows-1252 form is refused at its place.
    auto leggi = [&](const fs::path& p) {
      try {
        return in_windows_1252(leggi_file(p), o.codifica);
      } catch (const std::system_error&) {
        throw;
      } catch (const std::runtime_error& e) {
        throw std::runtime_error(p.string() + ": " + e.what());
      }
    };
    // A path is bytes: the page shows it as text, escaped where it is not UTF-8.
    const testo_sorgente linea{leggibile(o.linea.string()), leggi(o.linea), ""};
    const testo_sorgente treno{leggibile(o.treno.string()), leggi(o.treno), ""};
    html = pagina_da_sorgenti(linea, treno, nome, numero,
                              "the sources " + leggibile(o.linea.filename().string()) + " and " +
                                  leggibile(o.treno.filename().string()) + " (compiled in memory)",
                              o.ritmi, documenti_presenti(o.linea.parent_path(), nome, numero, uscita));
  } else {
    opzioni_pagina pagina;
    planimetria_t piano;
    const scenario s = scenario_da_binari(o.cartella, nome, numero, piano);
    pagina.origine = "the binary files in " + leggibile(o.cartella.string());
    pagina.guasti_noti = false;
    pagina.ritmi = o.ritmi;
    pagina.documenti = documenti_presenti(o.cartella, nome, numero, uscita);
    pagina.corsa = marcia_piu_veloce(s, o.ritmi);
    html = pagina_scenario(s, piano, pagina);
  }
  sostituisci_file(uscita, html);
  std::cout << "wrote " << uscita.string() << " (" << html.size() << " bytes)\n";
  return uscita_ok;
}

}  // namespace tracciato
