// progressive_ordina: puts the three chainage references (record slots 81, 82
// and 83, read from the "tre", "due" and "uno" lines) into their fixed order,
// and adds 100 m to the chainage value of every reference flagged with 1.
#include <array>
#include <cstdint>
#include <utility>

#include "loader/posa.h"

namespace tracciato {
namespace {

// One chainage reference: from route position inizio the chainage reads
// valore; flag is 0 or 1.
struct progressiva {
  int32_t inizio = 0;
  int32_t valore = 0;
  int32_t flag = 0;
};

}  // namespace

void progressive_ordina(scenario& s) {
  // r[0], r[1], r[2] are the references of slots 81, 82, 83.
  std::array<progressiva, 3> r;
  for (int i = 0; i < 3; ++i) {
    const voce_tabella& v = s.tabella[posto_progressiva_tre + i];
    r[i] = {v.valore1, v.valore2, v.valore3};
  }
  const progressiva nulla{};
  std::array<progressiva, 3> ordine;

  // The starts are summed wide, so three large starts never wrap round to 0.
  const int64_t somma = static_cast<int64_t>(r[0].inizio) + r[1].inizio + r[2].inizio;
  if (somma != 0) {
    // Greatest start first. Of the other two, the greater start comes second,
    // and on equal starts the one from the higher slot. A greatest start that
    // two references share leaves no order: every reference is cleared.
    int primo = -1;
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3;
      const int k = (i + 2) % 3;
      if (r[i].inizio > r[j].inizio && r[i].inizio > r[k].inizio) primo = i;
    }
    if (primo < 0) {
      ordine = {nulla, nulla, nulla};
    } else {
      int alto = primo == 2 ? 1 : 2;  // the higher of the two remaining slots
      int basso = 3 - primo - alto;
      if (r[basso].inizio > r[alto].inizio) std::swap(alto, basso);
      ordine = {r[primo], r[alto], r[basso]};
    }
  } else if (r[2].valore > 0) {
    ordine = {r[2], r[1], r[0]};
  } else if (r[1].valore > 0) {
    ordine = {r[1], r[0], r[2]};
  } else if (r[0].valore > 0) {
    ordine = r;
  } else {
    ordine = {nulla, nulla, nulla};
  }

  for (int i = 0; i < 3; ++i) {
    voce_tabella& v = s.tabella[posto_progressiva_tre + i];
    v.valore1 = ordine[i].inizio;
    // A flagged reference reads 100 m further on, whether or not it moved.
    v.valore2 = ordine[i].flag == 1
                    ? static_cast<int32_t>(static_cast<int64_t>(ordine[i].valore) + 100)
                    : ordine[i].valore;
    v.valore3 = ordine[i].flag;
  }
}

}  // namespace tracciato
