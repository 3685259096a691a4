// The writers of the built-in scenario's five text files. Each builds its line
// table and writes it to percorso with scrivi_righe, replacing the file whole.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>
#include <string>

namespace tracciato {

void dati_linea(const std::filesystem::path& percorso);          // the line file
void dati_treno(const std::filesystem::path& percorso);          // the train file
void dati_note(const std::filesystem::path& percorso);           // the notes for the driver
void dati_rallentamenti(const std::filesystem::path& percorso);  // the slowdown order form
void dati_scheda(const std::filesystem::path& percorso);         // the timetable card

// The bytes each writer writes.
std::string testo_linea();
std::string testo_treno();
std::string testo_note();
std::string testo_rallentamenti();
std::string testo_scheda();

// The legend of the specific prescriptions that closes the slowdown order
// form, one text per line; the orders of authors' scenarios end with it too.
std::span<const std::string_view> prescrizioni_rallentamenti();

}  // namespace tracciato
