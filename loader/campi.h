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

#include "loader/formato_testo.h"

namespace tracciato {

// A read failure: the loader turns it into fault 25. what() is the reason
// alone ("expected a number, found \"x\""); the place travels beside it.
class guasto_lettura : public std::runtime_error {
 public:
  guasto_lettura(std::string file, int32_t riga, int32_t colonna, const std::string& motivo)
      : std::runtime_error(motivo), file_(std::move(file)), riga_(riga), colonna_(colonna) {}
  const std::string& file() const { return file_; }
  int32_t riga() const { return riga_; }
  int32_t colonna() const { return colonna_; }

 private:
  std::string file_;
  int32_t riga_;
  int32_t colonna_;
};

// citazione: a field as a message quotes it, in double quotes and as UTF-8:
// at most 60 characters of it, so that a huge field never floods a message,
// then "…" and its length when it is longer; control bytes, NULs, '"' and
// '\\' escaped, so that the quote cannot cut or garble the message:
//   "7777777777…" (5,000,000 characters)
//   "a\x00b"
std::string citazione(std::string_view campo);

class lettore_campi {
 public:
  // nome names the file in messages (its path, or "line file"). The bytes
  // are not copied: they must outlive the reader.
  lettore_campi(std::string_view contenuto, std::string nome)
      : dati_(contenuto), nome_(std::move(nome)) {}
  lettore_campi(const char* contenuto, std::string nome)
      : lettore_campi(std::string_view(contenuto), std::move(nome)) {}
  lettore_campi(std::string&& contenuto, std::string nome) = delete;  // would not outlive the reader

  // True once every byte, including the delimiter after the last field, has
  // been consumed.
  bool fine_file() const { return pos_ >= dati_.size(); }

  // The next field as text. Throws guasto_lettura past the end of the file.
  std::string leggi_testo();
  // The same field as a view of the reader's bytes, with no copy: it lives
  // as long as the bytes do.
  std::string_view leggi_testo_vista();

  // The next field as a number of type T (uint8_t, int16_t or int32_t).
  template <class T>
  T leggi_numero() {
    const int64_t v = leggi_intero(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    return static_cast<T>(v);
  }

  // The next field as a number of the given width (not larghezza::testo).
  int32_t leggi_numero(larghezza l);

  // The next field's bytes and their offsets [inizio, fine) in the text,
  // delimited as a field of width l is, without reading its value: a number
  // ends at a blank too. For tools that show a field, whatever it holds.
  struct campo_grezzo {
    size_t inizio = 0;
    size_t fine = 0;
    std::string_view testo;
  };
  campo_grezzo leggi_grezzo(larghezza l);

  // Line and byte column (both 1-based) at which the last field read begins.
  int32_t riga() const { return riga_campo_; }
  int32_t colonna() const { return colonna_campo_; }
  const std::string& nome() const { return nome_; }

  [[noreturn]] void fallisci(const std::string& motivo) const {
    throw guasto_lettura(nome_, riga_campo_, colonna_campo_, motivo);
  }

 private:
  int64_t leggi_intero(int64_t minimo, int64_t massimo);
  void inizia_campo();  // skips blanks, fails at the end of the file
  bool a_fine_riga() const;
  void consuma_fine_riga();

  std::string_view dati_;
  std::string nome_;
  size_t pos_ = 0;
  size_t inizio_riga_ = 0;  // offset of the first byte of the line of pos_
  int32_t riga_ = 1;        // line of pos_
  int32_t riga_campo_ = 1;
  int32_t colonna_campo_ = 1;
};

// campi_voce: the fields of one record, read in order at the widths its
// format gives them. A reader may stop early (a fault ends the load); it
// never reads past the record's last field.
class campi_voce {
 public:
  campi_voce(lettore_campi& l, genere_voce g) : l_(l), f_(formato_di(g)) {}
  int32_t numero();     // the next field, a number
  std::string testo();  // the next field, a text

 private:
  const campo_formato& prossimo();
  lettore_campi& l_;
  const record_formato& f_;
  size_t i_ = 0;
};

}  // namespace tracciato
