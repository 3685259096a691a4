// The route compactor's stages after the load: the walk that places code
// points, the reserved-place checks with the stamps and codes, and the
// encoders of the three binary files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "compactor/codifica.h"
#include "model/scenario.h"

namespace tracciato {

// compatta_celle: the single walk over cells 1 to ultima_cella(s) - 2 that places
// code points (type 12, value 180) before slowdown warning boards, before and
// inside slowdowns and before the first signal after a slowdown, recording
// faults 11, 12 and 13. Never reads or writes past the last cell: cells past
// it count as neither free nor a signal.
// REQUIRES: s.celle holds at least two cells.
void compatta_celle(scenario& s);

int32_t codice_gara_og(const scenario& s);  // plain competition code, 0..6375
int32_t codice_gara_st(const scenario& s);  // position-weighted competition code, 0..82875

// The format stamps every file of this compiler carries: slot 85's intero1
// and cell 1's valore_a.
inline constexpr int16_t timbro_tabella = 610;
inline constexpr int16_t timbro_celle = 5121;

// timbra: the checks 1250 and 1251, the format stamps and the two
// competition codes. A reserved place already in use stops the stamping
// there: its fault is recorded, as s.arresto too, and no binary file may be
// written.
// REQUIRES: s.celle holds at least two cells.
void timbra(scenario& s);

// scrivi_file_planimetria: the line data file of s.planimetria, complete, as
// the new file percorso (which must not exist yet). The rows are computed as
// they are encoded and never held whole: x and y each go through a small
// buffer written at its column's offset whenever it fills. Throws
// std::system_error when the file cannot be written, and then leaves no file.
// REQUIRES: s.planimetria.allocata().
void scrivi_file_planimetria(const scenario& s, const std::filesystem::path& percorso);

// scrivi_file_celle: the cell file of celle, as the new file percorso (which
// must not exist yet), encoded and written a block of cells at a time; its
// bytes are those of codifica_celle. Throws std::system_error when the file
// cannot be written, and then leaves no file.
void scrivi_file_celle(const std::vector<cella>& celle, const std::filesystem::path& percorso);

// The three encoders into memory. Each returns the whole file's bytes; the
// size is known before encoding and checked after it. codifica_planimetria
// serves a plan whose rows are held whole (a decoded line data file, or
// calcola_planimetria's); its bytes are those scrivi_file_planimetria writes.
byte_file codifica_planimetria(const planimetria_t& p);
byte_file codifica_tabella(const std::array<voce_tabella, posti_tabella>& tabella);
byte_file codifica_celle(const std::vector<cella>& celle);

// stesse_celle: whether dati is exactly what codifica_celle(celle) gives,
// encoded and compared a block of cells at a time, with no buffer of the
// whole file's size.
bool stesse_celle(const std::vector<cella>& celle, std::string_view dati);

// lettura_parziale: exactly n bytes of a file from byte posizione on, into
// dove; throws when it cannot. A long file is so streamed through a small
// buffer rather than held whole.
using lettura_parziale = std::function<void(char* dove, std::size_t n, uint64_t posizione)>;
// The reads of bytes in memory, which must outlive it. A read past their end
// throws std::logic_error.
lettura_parziale lettura_in_memoria(std::string_view dati);

// Cells a cell file is written, read or compared in at a time: 60 KiB.
inline constexpr std::size_t celle_blocco = 4096;

// stesse_celle of a cell file of dimensione bytes that leggi reads, a block
// at a time.
bool stesse_celle(const std::vector<cella>& celle, uint64_t dimensione, const lettura_parziale& leggi);

// prima_riga_diversa: the first row of the plan drawn by d whose x or y entry
// in the line data file of dimensione bytes that leggi reads is not what
// scrivi_file_planimetria writes for it; -1 when the file holds exactly the
// bytes it writes. The rows are computed as the writer computes them and
// compared against the file a block at a time as they come, so no second
// copy of a long plan is made. A file of another size differs from row 0 on:
// its y column does not start where the writer starts it.
int64_t prima_riga_diversa(const disegno_planimetria& d, uint64_t dimensione, const lettura_parziale& leggi);
// The same against bytes in memory.
int64_t prima_riga_diversa(const disegno_planimetria& d, std::string_view dati);


// Exact sizes of the encodings.
std::size_t dimensione_planimetria(const planimetria_t& p);
std::size_t dimensione_planimetria(const disegno_planimetria& d);
std::size_t dimensione_tabella(const std::array<voce_tabella, posti_tabella>& tabella);
inline constexpr std::size_t byte_per_cella = 15;
inline constexpr std::size_t byte_voce_vuota = 34;


}  // namespace tracciato
