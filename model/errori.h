// Fault numbers: the one table that gives every number its meaning.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tracciato {

// The fault numbers by name. Each one's meaning is in tabella_errori below.
enum numero_errore : int32_t {
  e_lunghezza_percorso = 1,
  e_progressiva_non_multipla = 2,
  e_ripetizione_inizio = 3,
  e_ripetizione_fine = 4,
  e_ripetizione_codici = 5,
  e_cartello_occupato = 6,
  e_abbattimento_occupato = 7,
  e_stazione_non_multipla = 8,
  e_lunghezza_stazione = 9,
  e_posti_stazioni = 10,
  e_codice_prima_segnale = 11,
  e_codice_prima_inizio = 12,
  e_codice_dentro = 13,
  e_oltre_griglia = 15,
  e_segnale_occupato = 16,
  e_avviso_occupato = 17,
  e_inizio_occupato = 18,
  e_fine_occupato = 19,
  e_preavviso_occupato = 20,
  e_indicatore_occupato = 21,
  e_stazioni_vicine = 22,
  e_stazione_iniziale = 24,
  e_lettura = 25,
  e_fuori_griglia = 26,
  e_troppe_montagne = 27,
  e_troppi_cartelli = 28,
  e_pendenza_fuori = 29,
  e_curva_oltre = 30,
  e_pendenze_disordine = 31,
  e_manca_linea = 101,
  e_manca_generale = 102,
  e_curva_classe = 103,
  e_timbro_occupato = 1250,
  e_codici_occupati = 1251,
};

struct voce_errore {
  int32_t numero;
  bool con_posizione;  // whether the fault records a route position
  std::string_view significato;
  std::string_view rimedio;  // what the author can do about it
};

// Every number the system records or stops with, its meaning and its hint.
// Fault 15's hint is completed from the scenario, with the last position
// allowed (rimedio_errore). Numbers 26 to 31 guard the
// model's fixed limits: the item is refused, nothing is written outside the
// cell grid, the track plan or the record table, and the load ends there.
inline constexpr voce_errore tabella_errori[] = {
    {e_lunghezza_percorso, false, "route length greater than 1000000 m",
     "give the route length in metres, at most 1000000"},
    {e_progressiva_non_multipla, false, "a chainage reference whose position or value is not a multiple of 50",
     "write the position and the value of every chainage reference as multiples of 50"},
    {e_ripetizione_inizio, false, "signal repetition start not a multiple of 50",
     "write the start as a multiple of 50"},
    {e_ripetizione_fine, false, "signal repetition end not a multiple of 50",
     "write the end as a multiple of 50; 0 means no section"},
    {e_ripetizione_codici, false, "signal repetition keyword names neither 4 nor 9 codes",
     "write `ripetizione segnali 4 codici` or `ripetizione segnali 9 codici`"},
    {e_cartello_occupato, true, "lineside sign on an occupied cell",
     "move the sign to a free 50 m cell"},
    {e_abbattimento_occupato, true, "code point record on an occupied cell",
     "move the code point to a free cell"},
    {e_stazione_non_multipla, true, "station position not a multiple of 50",
     "write the station position as a multiple of 50"},
    {e_lunghezza_stazione, true, "station length not a multiple of 100",
     "write the station length as a multiple of 100"},
    {e_posti_stazioni, false, "station slots exhausted: the stations would reach the lineside sign slots",
     "stations and signs together have 78 record slots: drop a station or a sign"},
    {e_codice_prima_segnale, true,
     "no free cell for a code point before a signal that precedes a slowdown warning board",
     "leave free cells for the code points around the slowdown: move the signals and boards near it"},
    {e_codice_prima_inizio, true, "no free cell in a code-point window before a slowdown start",
     "leave free cells for the code points around the slowdown: move the signals and boards near it"},
    {e_codice_dentro, true, "no free cell for a code point inside a slowdown or before the signal after it",
     "leave free cells for the code points around the slowdown: move the signals and boards near it"},
    {e_oltre_griglia, true, "item beyond the end of the cell grid",
     "check the position and the route length"},
    {e_segnale_occupato, true, "signal on an occupied cell",
     "move the signal to a free 50 m cell"},
    {e_avviso_occupato, true, "slowdown warning-board cell occupied",
     "move the slowdown, or what stands in its cells"},
    {e_inizio_occupato, true, "slowdown start cell occupied",
     "move the slowdown, or what stands in its cells"},
    {e_fine_occupato, true, "slowdown end cell occupied",
     "move the slowdown, or what stands in its cells"},
    {e_preavviso_occupato, true, "one of the four cells before a slowdown warning board occupied",
     "move the slowdown, or what stands in its cells"},
    {e_indicatore_occupato, true, "speed indicator board on an occupied cell",
     "move the board to a free 50 m cell"},
    {e_stazioni_vicine, true, "station starts less than 350 m after the end of the previous station",
     "leave at least 350 m between the end of the previous station and the start of this one"},
    {e_stazione_iniziale, false, "station too near the start of the line: its cell would be cell 1 or below",
     "place the station further from the start of the line"},
    {e_lettura, false, "the scenario files could not be read",
     "each record is one line with exactly its fields, all whole numbers"},
    {e_fuori_griglia, true, "item whose cells would fall outside the cell grid (a negative position, a negative "
                            "slowdown length, or an end beyond the grid)",
     "positions and lengths must not be negative, and the item's cells must lie inside the grid"},
    {e_troppe_montagne, true, "more than 80 tunnel records",
     "the line may have at most 80 tunnel records"},
    {e_troppi_cartelli, true, "more lineside signs than free record slots",
     "drop a sign: the record table has room for at most 80"},
    {e_pendenza_fuori, true, "gradient outside -100 to +155 per mille",
     "a gradient lies between -100 and +155 per mille"},
    {e_curva_oltre, true, "curve running past the last row of the track plan",
     "end the curve before the route length + 7000 m"},
    {e_pendenze_disordine, true, "gradient records out of order: the gradients would pass the last cell",
     "list gradients in increasing order of position"},
    {e_manca_linea, false, "the line file does not exist",
     "give the path of an existing line file"},
    {e_manca_generale, false, "the line file has no [generale] section",
     "begin the line file with a line \"[generale]\""},
    {e_curva_classe, false, "curve keyword without a class digit 1 to 6, or a track plan past 1000000 points",
     "write the curve keyword as `curvas<n>` or `curvad<n>`, n from 1 to 6"},
    {e_timbro_occupato, false, "reserved place of the format stamp already in use",
     "nothing may stand in cell 1 (positions 0 to 49): move the item at least 50 m on"},
    {e_codici_occupati, false, "reserved place of the competition codes already in use",
     "nothing may stand in cell 1 (positions 0 to 49): move the item at least 50 m on"},
};

// The entry for numero, or nullptr when the number is not in use.
const voce_errore* cerca_errore(int32_t numero);

// rimedio_errore: the hint for fault numero; empty for a number not in use.
// For fault 15 it names the last position allowed on a grid whose last cell
// is ultima (when there is one).
std::string rimedio_errore(int32_t numero, int32_t ultima);

// messaggio_arresto: what a run stopped by fault numero (1250, 1251) says
// on standard error: " Errore n. " followed by the number.
std::string messaggio_arresto(int32_t numero);

}  // namespace tracciato
