// dati_rallentamenti: the slowdown order form handed to the driver of the
// train. The built-in service has no temporary slowdowns, so the form's table
// keeps all its rows empty, in agreement with the empty [rallentamenti]
// section of the train file. The train number and the line name are part of
// the printed form, not taken from numero_treno or nome_scenario.
#include <string_view>

#include "sources/dati.h"
#include "sources/scrivi_righe.h"

namespace tracciato {
namespace {

// The order, one text per line: heading, the 82-character table (cells of
// 3, 28, 12, 10, 9 and 12 between bars) with 26 blank rows, then the legend
// of the specific prescriptions in the order A, B, D, C.
constexpr std::string_view righe[] = {
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  VESSOLANTA C.LE-ORMELA C.LE",
    "",
    "  Si ordina al macchinista del treno 4715 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
    "riferimento fine del file",
};

}  // namespace

void dati_rallentamenti(const std::filesystem::path& percorso) { scrivi_righe(percorso, righe); }
std::string testo_rallentamenti() { return componi_righe(righe); }

// The legend: the seven lines before the end mark.
std::span<const std::string_view> prescrizioni_rallentamenti() {
  return std::span<const std::string_view>(righe).last(8).first(7);
}

}  // namespace tracciato
