// tracciato view: a scenario drawn as one HTML page, either from its two text
// files (loaded and compacted in memory, writing nothing but the page) or from
// the three binary files of a compile.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "loader/memorizza_dati.h"
#include "model/scenario.h"
#include "platform/testo.h"
#include "viewer/da_sorgenti.h"
#include "viewer/marcia.h"

namespace tracciato {

struct opzioni_view {
  // From the sources: both files given. From the binary files: cartella.
  std::filesystem::path linea;
  std::filesystem::path treno;
  std::filesystem::path cartella;
  std::string nome;    // scenario name S; from the sources it may be empty (taken from the file names)
  std::string numero;  // train number T; likewise
  std::filesystem::path uscita;  // empty: S_T.html in the current folder
  codifica_ingresso codifica = codifica_ingresso::windows_1252;  // how the sources are saved
  opzioni_marcia ritmi;  // the rates of the fastest run, as check assumes them
};

// scenario_da_binari: the record table and the cells decoded from the files
// of scenario nome, train numero in cartella, and into piano the track plan
// (when S_linea.dat exists; else piano is left empty). Throws std::system_error when the scenario file or the
// cell file cannot be read, errore_formato when a file's bytes do not follow
// its layout.
scenario scenario_da_binari(const std::filesystem::path& cartella, const std::string& nome,
                            const std::string& numero, planimetria_t& piano);

// The names a view from the sources takes when none is given: S from the line
// file "S_linea.txt", T from the train file "S_T-.txt".
std::string nome_da_file_linea(const std::filesystem::path& linea);
std::string numero_da_file_treno(const std::filesystem::path& treno, const std::string& nome);

// esegui_view: builds the page and writes it whole; prints where, and its size.
// Returns the exit status. Throws std::invalid_argument on a bad name,
// std::runtime_error (errore_formato, std::system_error among them) when a
// file cannot be read or decoded or the page cannot be written.
int esegui_view(const opzioni_view& opzioni);

}  // namespace tracciato
