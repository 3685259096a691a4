// leggi_vista: the records of a file as their lines hold them, with their
// numbers in one array of the view and their texts in the file's bytes.
#include "checker/vista.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tracciato {
namespace {

std::vector<int32_t> in_vettore(std::span<const int32_t> s) { return {s.begin(), s.end()}; }

std::vector<int32_t> colonne(const vista& v, const voce& x) {
  std::vector<int32_t> c;
  for (size_t i = 0; i < x.numeri.size(); ++i) c.push_back(v.colonna_numero(x, i));
  return c;
}

// Numbers apart by blanks need more room than the commas promise: the array
// grows while the file is read, and every record must still see its own
// numbers, also after the view is moved; so must the records around a field
// that does not read and a record started by a surplus field. The columns,
// read again from the line, are those of the first reading.
TEST(Vista, RecordsKeepTheirNumbersWhileTheArrayGrows) {
  std::string testo = "[generale]\r\n";
  for (int i = 100; i < 400; ++i)
    testo += "orologio," + std::to_string(i) + " " + std::to_string(i + 1) + "   " + std::to_string(i + 2) + "\r\n";
  testo += "[stazioni]\r\n"
           "stazione, 5000, 12, 400, 0, 0, 0, 1,1,0, 4,1,1, 50, 8, 5, 0, BORGO  , segnale\r\n"
           "[segnali]\r\n"
           "segnale, 7000, 2, x\r\n"
           "sabbia,\r\n"
           "[fine]\r\n";
  std::vector<problema> avvisi;
  vista letta = leggi_vista(tipo_file::treno, "t", testo, avvisi);
  const vista v = std::move(letta);

  ASSERT_EQ(v.voci.size(), 304u);
  for (int i = 100; i < 400; ++i) {
    const voce& x = v.voci[static_cast<size_t>(i - 100)];
    SCOPED_TRACE(i);
    EXPECT_EQ(x.tipo, genere_voce::orologio);
    EXPECT_EQ(x.parola, "orologio");
    EXPECT_EQ(in_vettore(x.numeri), (std::vector<int32_t>{i, i + 1, i + 2}));
    EXPECT_EQ(colonne(v, x), (std::vector<int32_t>{10, 14, 20}));
    EXPECT_TRUE(x.completa());
  }

  const voce& stazione = v.voci[300];
  EXPECT_EQ(stazione.numeri.size(), 16u);
  EXPECT_EQ(stazione.n(0), 5000);
  EXPECT_EQ(stazione.n(12), 50);
  EXPECT_EQ(stazione.n(14), 5);
  EXPECT_EQ(colonne(v, stazione).front(), 11);
  EXPECT_EQ(colonne(v, stazione).back(), 59);
  EXPECT_EQ(stazione.testo, "BORGO");  // without its trailing blanks
  EXPECT_EQ(stazione.colonna_testo, 62);
  ASSERT_EQ(stazione.in_piu().size(), 1u);
  EXPECT_EQ(stazione.in_piu()[0], std::make_pair(int32_t{71}, std::string_view("segnale")));

  const voce& aggiunta = v.voci[301];  // started by the station's surplus field
  EXPECT_EQ(aggiunta.tipo, genere_voce::segnale);
  EXPECT_EQ(aggiunta.riga, stazione.riga);
  EXPECT_EQ(aggiunta.colonna, 71);
  EXPECT_TRUE(aggiunta.numeri.empty());
  EXPECT_EQ(v.colonna_numero(aggiunta, 0), 71);  // no number: the keyword's column
  EXPECT_EQ(aggiunta.mancanti, 11);
  EXPECT_EQ(aggiunta.campo_in_piu_di(), "stazione");

  const voce& segnale = v.voci[302];  // its third field does not read
  EXPECT_EQ(in_vettore(segnale.numeri), (std::vector<int32_t>{7000, 2}));
  EXPECT_EQ(colonne(v, segnale), (std::vector<int32_t>{10, 16}));
  EXPECT_EQ(v.colonna_numero(segnale, 2), 1);
  EXPECT_EQ(segnale.campo_illeggibile(), "x");
  EXPECT_EQ(segnale.colonna_illeggibile(), 19);
  EXPECT_FALSE(segnale.completa());

  const voce& sabbia = v.voci[303];  // an empty field before the line end reads 0
  EXPECT_EQ(in_vettore(sabbia.numeri), std::vector<int32_t>{0});
  EXPECT_EQ(colonne(v, sabbia), std::vector<int32_t>{8});
}

}  // namespace
}  // namespace tracciato
