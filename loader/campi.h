// lettore_campi: reads a scenario text file as a stream of fields.
//
// A field ends at a comma or a line end (CR LF, LF or CR). Blanks before a
// field are skipped. A numeric field also ends at a blank, so
// "13     59   45" is three numbers and "0    ,0" is 0 and 0; an empty
// numeric field reads 0. A numeric field that holds anything but an optional
// sign and digits, or a value too large for the variable it is read into, is a
// failure; so is reading past the end of the file. Text fields keep inner
// blanks and lose trailing ones.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tracciato {

// A read failure: the loader turns it into fault 25. what() names the file,
// the line and the fault, as in "train file, line 7: number too large ...".
class guasto_lettura : public std::runtime_error {
 public:
  guasto_lettura(std::string file, int32_t riga, const std::string& motivo)
      : std::runtime_error(file + ", line " + std::to_string(riga) + ": " + motivo),
        file_(std::move(file)), riga_(riga) {}
  const std::string& file() const { return file_; }
  int32_t riga() const { return riga_; }

 private:
  std::string file_;
  int32_t riga_;
};

class lettore_campi {
 public:
  // nome names the file in messages ("line file", "train file").
  lettore_campi(std::string contenuto, std::string nome)
      : dati_(std::move(contenuto)), nome_(std::move(nome)) {}

  // True once every byte, including the delimiter after the last field, has
  // been consumed.
  bool fine_file() const { return pos_ >= dati_.size(); }

  // The next field as text. Throws guasto_lettura past the end of the file.
  std::string leggi_testo();

  // The next field as a number of type T (uint8_t, int16_t or int32_t).
  template <class T>
  T leggi_numero() {
    const int64_t v = leggi_intero(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    return static_cast<T>(v);
  }

  // Line (1-based) on which the last field read begins.
  int32_t riga() const { return riga_campo_; }
  const std::string& nome() const { return nome_; }

  [[noreturn]] void fallisci(const std::string& motivo) const {
    throw guasto_lettura(nome_, riga_campo_, motivo);
  }

 private:
  int64_t leggi_intero(int64_t minimo, int64_t massimo);
  void inizia_campo();  // skips blanks, fails at the end of the file
  bool a_fine_riga() const;
  void consuma_fine_riga();

  std::string dati_;
  std::string nome_;
  size_t pos_ = 0;
  int32_t riga_ = 1;  // line of pos_
  int32_t riga_campo_ = 1;
};

}  // namespace tracciato
