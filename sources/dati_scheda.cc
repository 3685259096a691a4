// dati_scheda: the driver's timetable card, two sheets drawn with underscores
// and bars in fixed columns. The first sheet is the lead-in train R 4712 from
// VESSOLANTA C. to PRAVELLO; the second is train 4715 from PRAVELLO, where
// the driver takes it over, to ORMELA C.LE. Widths count file bytes: the
// degree sign and the accented letters are one Windows-1252 byte each, two in
// this UTF-8 source.
//
// The card tells the same run as the train file: every station of the train
// file from PRAVELLO on has its row, with the train file's time (departure at
// a stop, one minute after the arrival; arrival at the terminus) and a passing
// time where the train file has none; speeds are the train file's limits.
// A speed change at or near a station (PRAVELLO, COSTAGNA, Tralbesa, SAN
// LEVARO, CASTELNERO, GAVINELLA, CERVASCA) stands on that station's row;
// the others on a kilometre-stone row of their own. Kilometres are chainage:
// 132.200 at VESSOLANTA C. and, from PRAVELLO (route position 6350, km 119.450)
// on, growing metre for metre with the route position.
#include <string_view>

#include "sources/dati.h"
#include "sources/scrivi_righe.h"

namespace tracciato {
namespace {

// Point rows: "  |" then cells of 5 (speed), 5 (second speed), 33 (kilometre
// and place, split 8+1+24 on the first sheet and 10+1+22 on the second), 15
// (times), 3 (recovery), 6 (right-track speed) and 19 (symbols), each closed
// by a bar.
constexpr std::string_view righe[] = {
    "",
    "",
    "  ___________________      ___________________                           _______________________",
    " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |",
    " |     ALTAVENNA     |    |        4712       |      Scheda n° 2/3      |        VS130 C        |",
    " |___________________|    |___________________|                         |          105%         |",
    " | Validità          |    | Termine Scheda    |    Da: VESSOLANTA C.    |_______________________|",
    " | Dal: 14.12.2003   |    |      PRAVELLO     |     A: PRAVELLO          ",
    " |___________________|    |___________________|                          _______________________",
    "  ______________________ _____________________                          | Int. alla Sigla |     |",
    " | Classificazione      | Massa Bloccata      |                         |     ALn 663     |     | ",
    " |           R          |         3ALn        |                         |    1001-1180    |     | ",
    " |______________________|_____________________|                         |_________________|_____|",
    "",
    "   ____________________________________________________________________________________________",
    "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
    "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
    "  |_____|_____|_________________________________|_______________|___|______|___|___________|___|",
    "  |  70 |  70 |132.200 |   VESSOLANTA C.........| 13.52   14.00 |   |  /   |                   |",
    "  |     |     |119.450 |  °PRAVELLO.............| 14.07   14.08 |   |  /   |         3         |",
    "  |_____|_____|_________________________________|_______________|___|______|___________________|",
    "",
    " Treno R 4712 da Borgo Tessera (p. 12.41) e Lanzerio (p. 13.17), a Vessolanta C.le 13.52",
    "(*) 3: a Pravello il treno prosegue come R 4715, previa prova del freno",
    ".................................................................................",
    "",
    "",
    "  ___________________      ___________________                           _______________________",
    " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |",
    " |     ALTAVENNA     |    |        4715       |      Scheda n° 2/2      |        VS130 C        |",
    " |___________________|    |___________________|                         |          105%         |",
    " | Validità          |    | Termine Scheda    |    Da: PRAVELLO         |_______________________|",
    " | Dal: 14.12.2003   |    |    ORMELA C.LE    |     A: ORMELA C.LE       ",
    " |___________________|    |___________________|                          _______________________",
    "  ______________________ _____________________                          | Int. alla Sigla |     |",
    " | Classificazione      | Massa Bloccata      |                         |     ALn 663     |     | ",
    " |           R          |         3ALn        |                         |    1001-1180    |     | ",
    " |______________________|_____________________|                         |_________________|_____|",
    "   ____________________________________________________________________________________________",
    "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
    "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
    "  |_____|_____|_________________________________|_______________|___|______|___|___________|___|",
    "  | 100 | 100 |119.450   |   PRAVELLO...........| 14.07   14.08 |   |  /   |                   |",
    "  |  90 |  90 |          |  Cippo Km.124,700    |               |   |  /   |                   |",
    "  |     |     |126.100   |   MIRCETO            |     14.15     |   |  /   |                   |",
    "  | 105 | 105 |          |  Cippo Km.127,300    |               |   |  /   |                   |",
    "  |  80 |  80 |          |  Cippo Km.132,950    |               |   |  /   |                   |",
    "  |     |     |134.750   |   ARDOLEA............| 14.23   14.24 |1.0|  /   |                   |",
    "  |  95 |  95 |          |  Cippo Km.136,200    |               |   |  /   |                   |",
    "  |  70 |  70 |140.500   |   COSTAGNA           |     14.29     |   |  /   |                   |",
    "  |     |     |145.900   |   SELVARENO..........| 14.34   14.35 |1.0|  /   |         1         |",
    "  |  80 |  80 |150.100   |   Tralbesa           |               |   |  /   |                   |",
    "  |  55 |  55 |          |  Cippo Km.155,700    |               |   |  /   |                   |",
    "  |     |     |157.800   |   VALDORSO           |     14.47     |   |  /   |                   |",
    "  |  75 |  75 |          |  Cippo Km.160,300    |               |   |  /   |                   |",
    "  |     |     |163.400   |   CAMPOLESE..........| 14.53   14.54 |1.5|  /   |                   |",
    "  |  90 |  90 |          |  Cippo Km.166,900    |               |   |  /   |                   |",
    "  |     |     |169.000   |   FORNASCO           |     14.59     |   |  /   |                   |",
    "  |  70 |  70 |          |  Cippo Km.173,200    |               |   |  /   |                   |",
    "  |     |     |174.300   |   ROVIGNANO..........| 15.04   15.05 |1.0|  /   |                   |",
    "  |  95 |  95 |179.700   |   SAN LEVARO.........| 15.11   15.12 |1.0|  /   |                   |",
    "  |     |     |186.000   |   BRUSSENA           |     15.17     |   |  /   |                   |",
    "  | 110 | 110 |          |  Cippo Km.187,400    |               |   |  /   |                   |",
    "  |     |     |191.600   |   MONTECALVO.........| 15.21   15.22 |1.5|  /   |         1         |",
    "  |  85 |  85 |          |  Cippo Km.195,700    |               |   |  /   |                   |",
    "  |     |     |197.400   |   PIEVE ALMA         |     15.27     |   |  /   |                   |",
    "  | 115 | 115 |202.900   |   CASTELNERO.........| 15.32   15.33 |1.0|  /   |         1         |",
    "  |     |     |208.500   |   LOSSARO            |     15.37     |   |  /   |                   |",
    "  | 100 | 100 |          |  Cippo Km.211,800    |               |   |  /   |                   |",
    "  |     |     |214.000   |   TERRANOVA V........| 15.41   15.42 |1.5|  /   |                   |",
    "  | 120 | 120 |219.300   |   GAVINELLA          |     15.45     |   |  /   |                   |",
    "  |     |     |224.700   |   ORTEZZANO          |     15.49     |   |  /   |                   |",
    "  | 130 | 130 |          |  Cippo Km.227,050    |               |   |  /   |                   |",
    "  |  90 |  90 |230.700   |   CERVASCA           |     15.53     |   |  /   |                   |",
    "  |     |     |232.900 \\||   Dev. Gorvani       |     15.54     |   |  90  |                   |",
    "  |     |     |234.350 |||   ORMELA C.LE........| 15.55         |2.0|  60  |                   |",
    "  |_____|_____|_________________________________|_______________|___|______|___________________|",
    "riferimento fine del file",
};

}  // namespace

void dati_scheda(const std::filesystem::path& percorso) { scrivi_righe(percorso, righe); }
std::string testo_scheda() { return componi_righe(righe); }

}  // namespace tracciato
