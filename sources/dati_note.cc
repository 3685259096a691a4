// dati_note: the scenario's notes for the driver: the route, its signalling,
// the simulated train and the day's duty, and the author's lines. Each
// paragraph is one line, however long. The texts are UTF-8 here and reach the
// file as Windows-1252, one byte per accented letter. The train number and
// the names are part of the text, not taken from numero_treno or
// nome_scenario.
#include <string_view>

#include "sources/dati.h"
#include "sources/scrivi_righe.h"

namespace tracciato {
namespace {

// Lines in order: region and line name, the route (two paragraphs), its four
// block sections in running order, the fidelity note, the simulated train,
// the duty (lead-in R 4712 to Pravello, then R 4715 to Ormela C.le), the
// composition, the connections at Ormela C.le, and the author. Blanks are part
// of the text: the last block section and the last connections line end in
// blanks, and the line before the author's holds a single blank.
constexpr std::string_view righe[] = {
    "        Regione Altavenna",
    "Linea Vessolanta C.le-Ormela C.le",
    "",
    "La linea, lunga 120 km, lascia Vessolanta C.le ed entra subito nella galleria più lunga (1750 m); dopo Pravello sale con pendenze fino al 28 per mille, per la galleria Rocca Bianca e Ardolea, fino alla galleria del Valico, prima di Selvareno; poi scende con pendenze fino al 31 per mille verso Campolese, passando accanto alla vecchia stazione di Tralbesa, oggi chiusa. Le gallerie sono 20 in tutto. Oltre Campolese il tracciato si distende nella valle e tocca Rovignano, San Levaro e Montecalvo, per poi correre veloce tra Castelnero, Terranova V. e Cervasca. Dal treno si vedono i boschi di castagni della prima parte, il ponte in ferro dopo Ardolea, il torrente Lessa, i vigneti della valle e le montagne all'orizzonte.",
    "Dopo Cervasca, al Deviatoio Gorvani, la linea si innesta sulla linea a doppio binario che scende dalla collina: da qui si percorre il binario di sinistra, con la velocità massima di 90 km/h, fino a Ormela C.le. L'ingresso in stazione avviene sui deviatoi a 60 km/h; il treno viene ricevuto su un binario tronco ed è necessario fermarsi con molta cura prima del paraurti.",
    "La linea da Vessolanta C.le a Pravello è esercitata con il blocco elettrico manuale.",
    "La linea da Pravello a Campolese è attrezzata con il blocco conta-assi e due posti di blocco intermedi.",
    "La linea da Campolese a Dev. Gorvani è esercitata con il blocco elettrico manuale tra stazioni.",
    "La linea da Dev. Gorvani a Ormela C.le, a doppio binario, è attrezzata con il blocco automatico a correnti fisse.  ",
    "La planimetria, il profilo altimetrico e la posizione di stazioni, passaggi a livello, segnali, gallerie e cartelli \"F\" sono quelli della linea reale.",
    "",
    "Treno Simulato:",
    "R 4715 Pravello-Ormela C.le.",
    "Turno di servizio: R 4712 Vessolanta C.le (p. 14.00) - Pravello (a. 14.07); R 4715 Pravello (p. 14.08) - Ormela C.le (a. 15.55).",
    "Il servizio inizia a Vessolanta C.le, dove si prende in consegna il treno R 4712 proveniente da Borgo Tessera e lo si conduce fino a Pravello.",
    "A Pravello il treno prosegue come R 4715: dopo la prova del freno si riparte di solito con qualche minuto di ritardo, che andrà recuperato lungo la linea sfruttando i margini di recupero indicati nella scheda treno; così si arriverà in orario a Ormela C.le.",
    "Composizione: 3 automotrici ALn 663 in comando multiplo, massa frenata 105%.",
    "A Ormela C.le il treno è in coincidenza con l'IC 586 per Marvesia (p. 16.05) e con il R 2291 per Vallenzo (p. 16.12), che però può attendere il 4715 al massimo cinque minuti;",
    "lì partono anche gli autobus per l'alta valle (p. 16.15). Ogni commento o segnalazione sarà gradito. Buon viaggio! ",
    " ",
    " Ettore Bassani",
    " Vessolanta ",
    " ettore.bassani@example.org",
    "riferimento fine del file",
};

}  // namespace

void dati_note(const std::filesystem::path& percorso) { scrivi_righe(percorso, righe); }
std::string testo_note() { return componi_righe(righe); }

}  // namespace tracciato
