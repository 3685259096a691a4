// The text sources recovered from binary files, record by record, and the
// writer that lays them out as the built-in line and train files are laid out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tracciato {

// Line file records.
struct curva_r {
  int32_t inizio = 0;
  int32_t lunghezza = 0;
  bool sinistra = false;  // side letter s (left) or d (right)
  int classe = 1;         // 1 to 6
};
struct montagna_r {
  int32_t inizio = 0, fine = 0, tipo = 0;  // tipo as written: above 10 asks for markers
};
struct indicatore_r {
  int32_t posizione = 0;
  int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0, vad = 0, vbd = 0, vcd = 0, strisced = 0;
};
struct cartello_r {
  int32_t posizione = 0;
  std::string testo;  // Windows-1252
};
// A value that holds from a position on: gradient, speed limit, adhesion.
struct da_posizione_r {
  int32_t posizione = 0, valore = 0;
};
struct progressiva_r {
  int32_t posizione = 0, valore = 0, flag = 0;
};

struct linea_r {
  int32_t lunghezza = 0;
  progressiva_r uno, due, tre;
  int32_t sfondo_uno = 0, sfondo_due = 0, sfondo_tre = 0;
  int32_t ripetizione_inizio = 0, ripetizione_fine = 0;
  int codici = 4;  // 4 or 9
  std::vector<curva_r> curve;
  std::vector<da_posizione_r> pendenze;
  std::vector<montagna_r> montagne;
  std::vector<indicatore_r> indicatori;
  std::vector<cartello_r> cartelli;  // in file order: the first takes slot 80
};

// Train file records.
struct stazione_r {
  int32_t posizione = 0, tipo = 0, lunghezza = 0;
  int32_t flag1 = 0, flag2 = 0, flag3 = 0;             // tipo2, byte4, byte3
  int32_t gruppo1[3] = {0, 0, 0};                       // intero1, intero2, byte1
  int32_t gruppo2[3] = {0, 0, 0};                       // intero3, intero4, intero5
  int32_t fermata = 0;                                  // byte2
  int32_t ore = 0, minuti = 0, secondi = 0;
  std::string nome;  // Windows-1252
};
// sotto: for an item a cell of which a station took over, that station's
// index in slot order (the item must be read before it; of several such
// stations, the first); otherwise -1.
struct segnale_r {
  int32_t posizione = 0, sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0, tempo = 0;
  int32_t sotto = -1;
};
struct rallentamento_r {
  int32_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
  int32_t sotto = -1;
};
struct abbattimento_r {
  int32_t posizione = 0, valore = 0;
};

// One station or signal in the order the train file lists them: their
// approach marks overwrite each other in that order.
struct voce_ordine_r {
  bool stazione = false;
  std::size_t indice = 0;
};

struct treno_r {
  int32_t vetture = 0, massa = 0, sabbia = 0, ore = 0, minuti = 0, secondi = 0;
  std::vector<da_posizione_r> aderenze, velocita;
  std::vector<stazione_r> stazioni;  // in slot order
  std::vector<segnale_r> segnali;
  std::vector<rallentamento_r> rallentamenti;
  std::vector<abbattimento_r> abbattimenti;
  std::vector<voce_ordine_r> ordine;  // every station and signal, in file order
};

// The text files, Windows-1252 with CR LF. intestazione is written first, one
// line per entry, before "[generale]" (where both readers ignore it).
std::string testo_linea(const linea_r& l, const std::vector<std::string>& intestazione);
std::string testo_treno(const treno_r& t, const std::vector<std::string>& intestazione);

}  // namespace tracciato
