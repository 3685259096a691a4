// planimetria: the track plan, one (x, y) point per metre of line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tracciato {

// Each entry is a tagged number. The tag values are the kind codes that the
// line data file stores before each value.
enum class tipo_voce : uint8_t { vuota = 0, intero = 2, reale = 5 };

// Rows 0..ultima_riga, columns 0 (x) and 1 (y). Stored column by column, the
// order in which the line data file lists them. A 16-bit integer is held as a
// double, which represents it exactly.
class planimetria_t {
 public:
  // Allocates rows 0..ultima_riga, every entry empty; discards earlier contents.
  // (Not named alloca: <cstdlib> may define that as a macro.)
  void alloca_righe(int32_t ultima_riga);
  void libera();
  bool allocata() const { return righe_ > 0; }
  // Number of rows; rows are 0..righe() - 1.
  int32_t righe() const { return righe_; }

  // REQUIRES: 0 <= riga < righe(), colonna 0 or 1. An empty entry reads 0.
  tipo_voce tipo(int32_t riga, int colonna) const { return tipi_[indice(riga, colonna)]; }
  double valore(int32_t riga, int colonna) const {
    const std::size_t i = indice(riga, colonna);
    return tipi_[i] == tipo_voce::vuota ? 0.0 : valori_[i];
  }

  // Every entry in stored order (column 0, then column 1): 2 * righe() of them.
  std::size_t voci() const { return tipi_.size(); }
  const tipo_voce* tipi() const { return tipi_.data(); }
  // The value of entry i; meaningful only where tipi()[i] is not empty.
  const double* valori() const { return valori_.get(); }
  void imposta_intero(int32_t riga, int colonna, int16_t v) { metti(riga, colonna, tipo_voce::intero, v); }
  void imposta_reale(int32_t riga, int colonna, double v) { metti(riga, colonna, tipo_voce::reale, v); }

 private:
  std::size_t indice(int32_t riga, int colonna) const {
    return static_cast<std::size_t>(colonna) * static_cast<std::size_t>(righe_) + static_cast<std::size_t>(riga);
  }
  void metti(int32_t riga, int colonna, tipo_voce t, double v) {
    const std::size_t i = indice(riga, colonna);
    tipi_[i] = t;
    valori_[i] = v;
  }

  int32_t righe_ = 0;
  std::vector<tipo_voce> tipi_;
  // Not cleared on allocation: an entry's value is written with its tag.
  std::unique_ptr<double[]> valori_;
};

}  // namespace tracciato
