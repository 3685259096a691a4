// What both documents read from the train file, and the cells they are
// drawn with. Internal to documenti/.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tracciato {

// A station record as the train file gives it.
struct stazione_autore {
  int32_t posizione = 0;
  int32_t tipo = 0;
  int32_t lunghezza = 0;
  bool terzo_flag = false;
  int32_t fermata = 0;  // the stop value: the dwell in seconds; 0 = no stop
  int64_t ora = -1;     // the scheduled time, s since midnight; -1 = none
  std::string nome;     // Windows-1252, without trailing blanks
};

// A slowdown record: start, speed (km/h), length (m).
struct rallentamento_autore {
  int32_t inizio = 0;
  int32_t velocita = 0;
  int32_t lunghezza = 0;
};

struct treno_autore {
  std::vector<stazione_autore> stazioni;                 // in file order
  std::vector<std::pair<int32_t, int32_t>> limiti;       // speed limit records: position, km/h
  std::vector<rallentamento_autore> rallentamenti;       // in running order (by start)
  int32_t massa_frenata = 0;
  int32_t vetture = 0;
};

// The complete records of the train file's text (Windows-1252).
treno_autore leggi_treno_autore(std::string_view treno);

// Whether position p lies within station st's extent, both ends included.
bool nella_stazione(const stazione_autore& st, int64_t p);

enum class allinea { sinistra, centro, destra };

// Cells of a box drawing. A text longer than its cell is cut at the cell and
// a warning says so: the box never grows.
class disegno {
 public:
  explicit disegno(std::vector<std::string>& avvisi) : avvisi_(avvisi) {}
  // t (Windows-1252) in a cell of w bytes; cosa names the cell in a warning.
  std::string cella(std::string_view t, size_t w, allinea a, std::string_view cosa);

 private:
  std::vector<std::string>& avvisi_;
};

// Metres of chainage as "119.450"; with virgola, "119,450".
std::string chilometri(int64_t metri, char separatore = '.');

// The lines joined, each followed by CR LF.
std::string con_fine_riga(const std::vector<std::string>& righe);

}  // namespace tracciato
