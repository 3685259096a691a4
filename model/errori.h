// Fault numbers: the one table that gives every number its meaning.
#pragma once

#include <cstdint>
#include <stdexcept>
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
};

// Every number the system records or stops with. Numbers 26 to 31 guard the
// model's fixed limits: the item is refused, nothing is written outside the
// cell grid, the track plan or the record table, and the load ends there.
inline constexpr voce_errore tabella_errori[] = {
    {e_lunghezza_percorso,false, "route length greater than 1000000 m"},
    {e_progressiva_non_multipla,false, "a chainage reference whose position or value is not a multiple of 50"},
    {e_ripetizione_inizio,false, "signal repetition start not a multiple of 50"},
    {e_ripetizione_fine,false, "signal repetition end not a multiple of 50"},
    {e_ripetizione_codici,false, "signal repetition keyword names neither 4 nor 9 codes"},
    {e_cartello_occupato,true, "lineside sign on an occupied cell"},
    {e_abbattimento_occupato,true, "code point record on an occupied cell"},
    {e_stazione_non_multipla,true, "station position not a multiple of 50"},
    {e_lunghezza_stazione,true, "station length not a multiple of 100"},
    {e_posti_stazioni,false, "station slots exhausted: the stations would reach the lineside sign slots"},
    {e_codice_prima_segnale,true, "no free cell for a code point before a signal that precedes a slowdown warning board"},
    {e_codice_prima_inizio,true, "no free cell in a code-point window before a slowdown start"},
    {e_codice_dentro,true, "no free cell for a code point inside a slowdown or before the signal after it"},
    {e_oltre_griglia,true, "item beyond the end of the cell grid"},
    {e_segnale_occupato,true, "signal on an occupied cell"},
    {e_avviso_occupato,true, "slowdown warning-board cell occupied"},
    {e_inizio_occupato,true, "slowdown start cell occupied"},
    {e_fine_occupato,true, "slowdown end cell occupied"},
    {e_preavviso_occupato,true, "one of the four cells before a slowdown warning board occupied"},
    {e_indicatore_occupato,true, "speed indicator board on an occupied cell"},
    {e_stazioni_vicine,true, "station starts less than 350 m after the end of the previous station"},
    {e_stazione_iniziale,false, "station too near the start of the line: its cell would be cell 1 or below"},
    {e_lettura,false, "the scenario files could not be read"},
    {e_fuori_griglia,true, "item whose cells would fall outside the cell grid (a negative position, a negative "
               "slowdown length, or an end beyond the grid)"},
    {e_troppe_montagne,true, "more than 80 tunnel records"},
    {e_troppi_cartelli,true, "more lineside signs than free record slots"},
    {e_pendenza_fuori,true, "gradient outside -100 to +155 per mille"},
    {e_curva_oltre,true, "curve running past the last row of the track plan"},
    {e_pendenze_disordine,true, "gradient records out of order: the gradients would pass the last cell"},
    {e_manca_linea,false, "the line file does not exist"},
    {e_manca_generale,false, "the line file has no [generale] section"},
    {e_curva_classe,false, "curve keyword without a class digit 1 to 6, or a track plan past 1000000 points"},
    {e_timbro_occupato,false, "reserved place of the format stamp already in use"},
    {e_codici_occupati,false, "reserved place of the competition codes already in use"},
};

// The entry for numero, or nullptr when the number is not in use.
const voce_errore* cerca_errore(int32_t numero);

// Thrown by errore(): the run stops at once and no binary file is written.
class arresto : public std::runtime_error {
 public:
  explicit arresto(int32_t numero)
      : std::runtime_error(" Errore n. " + std::to_string(numero)), numero_(numero) {}
  int32_t numero() const { return numero_; }

 private:
  int32_t numero_;
};

// errore: ends the run with the message " Errore n. " followed by a (the fault
// number in decimal digits). Never returns.
[[noreturn]] void errore(std::string_view a);

}  // namespace tracciato
