#include "loader/campi.h"

namespace tracciato {
namespace {

bool bianco(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string citazione(std::string_view campo) {
  constexpr size_t massimo = 40;
  if (campo.size() <= massimo) return std::string(campo);
  return std::string(campo.substr(0, massimo)) + "...";
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

std::string lettore_campi::leggi_testo() {
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
  return std::string(dati_.substr(inizio, fine - inizio));
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
    fallisci("expected a number, found \"" + citazione(dati_.substr(inizio, fine - inizio)) + "\"");
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

}  // namespace tracciato
