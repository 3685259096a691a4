// Fault numbers: the one table that gives every number its meaning.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tracciato {

struct voce_errore {
  int32_t numero;
  bool con_posizione;  // whether the fault records a route position
  std::string_view significato;
};

// Every number the system records or stops with. Numbers 26 to 31 guard the
// model's fixed limits: the item is refused, nothing is written outside the
// cell grid, the track plan or the record table, and the load ends there.
inline constexpr voce_errore tabella_errori[] = {
    {1, false, "route length greater than 1000000 m"},
    {2, false, "a chainage reference whose position or value is not a multiple of 50"},
    {3, false, "signal repetition start not a multiple of 50"},
    {4, false, "signal repetition end not a multiple of 50"},
    {5, false, "signal repetition keyword names neither 4 nor 9 codes"},
    {6, true, "lineside sign on an occupied cell"},
    {7, true, "code point record on an occupied cell"},
    {8, true, "station position not a multiple of 50"},
    {9, true, "station length not a multiple of 100"},
    {10, false, "station slots exhausted: the stations would reach the lineside sign slots"},
    {11, true, "no free cell for a code point before a signal that precedes a slowdown warning board"},
    {12, true, "no free cell in a code-point window before a slowdown start"},
    {13, true, "no free cell for a code point inside a slowdown or before the signal after it"},
    {15, true, "item beyond the end of the cell grid"},
    {16, true, "signal on an occupied cell"},
    {17, true, "slowdown warning-board cell occupied"},
    {18, true, "slowdown start cell occupied"},
    {19, true, "slowdown end cell occupied"},
    {20, true, "one of the four cells before a slowdown warning board occupied"},
    {21, true, "speed indicator board on an occupied cell"},
    {22, true, "station starts less than 350 m after the end of the previous station"},
    {24, false, "station too near the start of the line: its cell would be cell 1 or below"},
    {25, false, "the scenario files could not be read"},
    {26, true, "item whose cells would fall outside the cell grid (a negative position, a negative "
               "slowdown length, or an end beyond the grid)"},
    {27, true, "more than 80 tunnel records"},
    {28, true, "more lineside signs than free record slots"},
    {29, true, "gradient outside -100 to +155 per mille"},
    {30, true, "curve running past the last row of the track plan"},
    {31, true, "gradient records out of order: the gradients would pass the last cell"},
    {101, false, "the line file does not exist"},
    {102, false, "the line file has no [generale] section"},
    {103, false, "curve keyword without a class digit 1 to 6, or a track plan past 1000000 points"},
    {1250, false, "reserved place of the format stamp already in use"},
    {1251, false, "reserved place of the competition codes already in use"},
};

// The entry for numero, or nullptr when the number is not in use.
const voce_errore* cerca_errore(int32_t numero);

// Where a recorded fault came from: which text file and which line of it.
// file is empty when the fault did not come from a text file.
struct origine_errore {
  std::string file;  // "line file" or "train file"
  int32_t riga = 0;  // 1-based; 0 = unknown
};

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
