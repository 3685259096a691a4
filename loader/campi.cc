#include "loader/campi.h"

namespace tracciato {
namespace {

bool bianco(char c) { return c == ' ' || c == '\t'; }

// The Unicode code points of Windows-1252's 0x80..0x9F; 0 where the code
// page has no character.
constexpr char16_t da_80_a_9f[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// One byte of a Windows-1252 field as a quote shows it.
std::string carattere_citato(unsigned char c) {
  static constexpr char cifre[] = "0123456789abcdef";
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\r': return "\\r";
    case '\n': return "\\n";
    default: break;
  }
  if (c >= 0x20 && c < 0x7f) return std::string(1, static_cast<char>(c));
  const char32_t u = c < 0x80 ? 0 : c < 0xa0 ? da_80_a_9f[c - 0x80] : c;
  if (u == 0) return std::string("\\x") + cifre[c >> 4] + cifre[c & 15];
  std::string r;
  if (u < 0x800) {
    r += static_cast<char>(0xc0 | (u >> 6));
  } else {
    r += static_cast<char>(0xe0 | (u >> 12));
    r += static_cast<char>(0x80 | ((u >> 6) & 0x3f));
  }
  r += static_cast<char>(0x80 | (u & 0x3f));
  return r;
}

// 5000000 as "5,000,000".
std::string con_migliaia(size_t n) {
  std::string cifre = std::to_string(n);
  for (size_t i = cifre.size(); i > 3; i -= 3) cifre.insert(i - 3, ",");
  return cifre;
}

}  // namespace

std::string citazione(std::string_view campo) {
  constexpr size_t massimo = 60;
  std::string q = "\"";
  for (unsigned char c : campo.substr(0, massimo)) q += carattere_citato(c);
  if (campo.size() <= massimo) return q + "\"";
  return q + "…\" (" + con_migliaia(campo.size()) + " characters)";
}

bool lettore_campi::a_fine_riga() const {
  return pos_ < dati_.size() && (dati_[pos_] == '\r' || dati_[pos_] == '\n');
}

void lettore_campi::consuma_fine_riga() {
  if (dati_[pos_] == '\r' && pos_ + 1 < dati_.size() && dati_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++riga_;
  inizio_riga_ = pos_;
}

void lettore_campi::inizia_campo() {
  // Past the end, the fault belongs to the line of the last field read.
  if (fine_file()) fallisci("a field is missing: the end of the file comes first");
  while (pos_ < dati_.size() && bianco(dati_[pos_])) ++pos_;
  riga_campo_ = riga_;
  colonna_campo_ = static_cast<int32_t>(pos_ - inizio_riga_ + 1);
}

std::string lettore_campi::leggi_testo() { return std::string(leggi_testo_vista()); }

std::string_view lettore_campi::leggi_testo_vista() {
  inizia_campo();
  const size_t inizio = pos_;
  while (pos_ < dati_.size() && dati_[pos_] != ',' && !a_fine_riga()) ++pos_;
  size_t fine = pos_;
  while (fine > inizio && bianco(dati_[fine - 1])) --fine;
  if (pos_ < dati_.size()) {
    if (dati_[pos_] == ',')
      ++pos_;
    else
      consuma_fine_riga();
  }
  return dati_.substr(inizio, fine - inizio);
}

int64_t lettore_campi::leggi_intero(int64_t minimo, int64_t massimo) {
  inizia_campo();
  const size_t inizio = pos_;
  bool negativo = false;
  if (pos_ < dati_.size() && (dati_[pos_] == '-' || dati_[pos_] == '+')) {
    negativo = dati_[pos_] == '-';
    ++pos_;
  }
  const size_t cifre = pos_;
  int64_t valore = 0;
  bool troppo_grande = false;
  while (pos_ < dati_.size() && dati_[pos_] >= '0' && dati_[pos_] <= '9') {
    valore = valore * 10 + (dati_[pos_] - '0');
    if (valore > (int64_t{1} << 40)) troppo_grande = true, valore = int64_t{1} << 40;
    ++pos_;
  }
  auto non_numero = [&] {
    size_t fine = inizio;
    while (fine < dati_.size() && dati_[fine] != ',' && dati_[fine] != '\r' && dati_[fine] != '\n')
      ++fine;
    while (fine > inizio && bianco(dati_[fine - 1])) --fine;
    fallisci("expected a number, found " + citazione(dati_.substr(inizio, fine - inizio)));
  };
  if (pos_ == cifre && pos_ != inizio) non_numero();  // a sign without digits

  // The number ends at a blank, a comma or a line end; blanks may stand before the comma.
  const size_t dopo = pos_;
  while (pos_ < dati_.size() && bianco(dati_[pos_])) ++pos_;
  if (pos_ < dati_.size()) {
    if (dati_[pos_] == ',') {
      ++pos_;
    } else if (a_fine_riga()) {
      consuma_fine_riga();
    } else if (pos_ == dopo) {
      non_numero();
    }
    // else: a blank ended the number and the next field follows on the same line.
  }
  if (negativo) valore = -valore;
  if (troppo_grande || valore < minimo || valore > massimo)
    fallisci("number " + citazione(dati_.substr(inizio, dopo - inizio)) + " does not fit its field (" +
             std::to_string(minimo) + " to " + std::to_string(massimo) + ")");
  return valore;
}

int32_t lettore_campi::leggi_numero(larghezza l) {
  switch (l) {
    case larghezza::u8: return leggi_numero<uint8_t>();
    case larghezza::i16: return leggi_numero<int16_t>();
    case larghezza::i32: return leggi_numero<int32_t>();
    case larghezza::testo: break;
  }
  throw std::logic_error("leggi_numero: a text field is no number");
}

lettore_campi::campo_grezzo lettore_campi::leggi_grezzo(larghezza l) {
  if (l == larghezza::testo) {
    inizia_campo();
    const size_t inizio = pos_;
    const std::string_view t = leggi_testo_vista();
    return {inizio, inizio + t.size(), t};
  }
  inizia_campo();
  const size_t inizio = pos_;
  while (pos_ < dati_.size() && !bianco(dati_[pos_]) && dati_[pos_] != ',' && !a_fine_riga()) ++pos_;
  const size_t fine = pos_;
  // As after a number: blanks, then the comma or the line end that ends it.
  while (pos_ < dati_.size() && bianco(dati_[pos_])) ++pos_;
  if (pos_ < dati_.size()) {
    if (dati_[pos_] == ',')
      ++pos_;
    else if (a_fine_riga())
      consuma_fine_riga();
  }
  return {inizio, fine, dati_.substr(inizio, fine - inizio)};
}

const campo_formato& campi_voce::prossimo() {
  if (i_ >= f_.campi.size())
    throw std::logic_error("campi_voce: `" + std::string(f_.parola) + "` has no further field");
  return f_.campi[i_++];
}

int32_t campi_voce::numero() { return l_.leggi_numero(prossimo().tipo); }

std::string campi_voce::testo() {
  if (prossimo().tipo != larghezza::testo)
    throw std::logic_error("campi_voce: a field of `" + std::string(f_.parola) + "` is no text");
  return l_.leggi_testo();
}

}  // namespace tracciato
