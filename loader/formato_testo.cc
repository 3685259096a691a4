#include "loader/formato_testo.h"

#include <stdexcept>

#include "platform/testo.h"

namespace tracciato {
namespace {

using enum larghezza;
using U = uso_campo;

// The fields of each record. A position field's cell is its record's.
constexpr campo_formato f_lunghezza[] = {
    {"length", i32, U::numero, "m", "0 to 1000000",
     "length of the line from its start; the cell grid and the track plan reach 7000 m beyond it",
     "slot 84 valore2; the size of the cell grid and the track plan"},
};
constexpr campo_formato f_progressiva[] = {
    {"position", i32, U::numero, "m", "a multiple of 50", "route position from which the chainage reference applies",
     "valore1 of the reference's slot (81 tre, 82 due, 83 uno)"},
    {"chainage", i32, U::numero, "m", "a multiple of 50", "the line's chainage (kilometre-post reading) at that position",
     "valore2 of the reference's slot"},
    {"flag", i32, U::numero, "", "0 or 1", "1 adds 100 m to the chainage once the references are ordered",
     "valore3 of the reference's slot"},
};
constexpr campo_formato f_sfondo_uno[] = {
    {"value", i32, U::numero, "", "32-bit", "background value, stored unchanged for the simulator", "slot 85 valore1"},
};
constexpr campo_formato f_sfondo_due[] = {
    {"value", i32, U::numero, "", "32-bit", "background value, stored unchanged for the simulator", "slot 85 valore3"},
};
constexpr campo_formato f_sfondo_tre[] = {
    {"value", i32, U::numero, "", "32-bit", "background value, stored unchanged for the simulator", "slot 85 valore2"},
};
constexpr campo_formato f_ripetizione[] = {
    {"start", i32, U::numero, "m", "a multiple of 50", "start of the section with cab signal repetition",
     "slot 86 valore1"},
    {"end", i32, U::numero, "m", "a multiple of 50", "end of the section; 0 = the line has no such section",
     "slot 86 valore2 (the number of codes, 4 or 9 from the keyword, goes to valore3)"},
};
constexpr campo_formato f_pendenza[] = {
    {"position", i32, U::posizione, "m", "strictly increasing; the first at 0", "route position from which the gradient holds",
     "the first cell of the stretch"},
    {"gradient", i32, U::numero, "‰", "-100 to +155",
     "gradient in the direction of increasing position: positive rises, negative falls",
     "pendenza_cella of each cell of the stretch, as gradient + 100"},
};
constexpr campo_formato f_curva[] = {
    {"start", i32, U::posizione, "m", "increasing, no overlap with the previous curve",
     "route position where the curve starts", "the track plan, from this metre"},
    {"length", i32, U::numero, "m", "its end within the route length + 7000 m", "length of the curve",
     "the track plan, up to start + length"},
};
constexpr campo_formato f_montagna[] = {
    {"start", i32, U::posizione, "m", "increasing", "start of the tunnel", "the tunnel tables; markers from cell start / 50"},
    {"end", i32, U::posizione, "m", "", "end of the tunnel", "the tunnel tables"},
    {"kind", i32, U::numero, "", "1, 2, 11, 12", "tunnel kind; add 10 for a marker every fourth cell",
     "the tunnel tables; above 10, tunnel markers (cell type 11)"},
};
constexpr campo_formato f_indicatori[] = {
    {"position", i32, U::posizione, "m", "", "position of the board", "the board's cell (type 9)"},
    {"vas", i32, U::numero, "km/h", "up to 1638", "first speed on the left-hand board", "the board's cell"},
    {"vbs", i32, U::numero, "km/h", "up to 1638", "second speed on the left-hand board", "the board's cell"},
    {"vcs", i32, U::numero, "km/h", "up to 1638", "third speed on the left-hand board", "the board's cell"},
    {"strisces", i32, U::numero, "", "0 to 9", "stripes on the left-hand board", "the board's cell"},
    {"vad", i32, U::numero, "km/h", "multiples of 5 below 100", "first speed on the right-hand board", "the board's cell"},
    {"vbd", i32, U::numero, "km/h", "multiples of 5 below 100", "second speed on the right-hand board", "the board's cell"},
    {"vcd", i32, U::numero, "km/h", "multiples of 5 below 100", "third speed on the right-hand board", "the board's cell"},
    {"strisced", i32, U::numero, "", "0 to 9", "stripes on the right-hand board", "the board's cell"},
};
constexpr campo_formato f_cartello[] = {
    {"position", i32, U::posizione, "m", "", "position of the sign", "the sign's cell (type 12), valore_a its slot"},
    {"text", testo, U::testo, "", "no comma", "the sign's inscription, as groups in round brackets such as (F)",
     "testo of the next sign slot, from 80 down"},
};
constexpr campo_formato f_massa[] = {
    {"p", i32, U::numero, "%", "32-bit", "braked-mass percentage", "slot 84 valore1"},
};
constexpr campo_formato f_vetture[] = {
    {"n", i32, U::numero, "", "32-bit", "number of vehicles of the train", "slot 84 valore3"},
};
constexpr campo_formato f_velocita[] = {
    {"position", i32, U::posizione, "m", "increasing; the first at 0", "route position from which the speed limit holds",
     "the first cell of the stretch"},
    {"speed", i32, U::numero, "km/h", "0 to 1277, in steps of 5", "the line speed limit",
     "vel_limite of each cell of the stretch, in units of 5 km/h"},
};
constexpr campo_formato f_aderenza[] = {
    {"position", i32, U::posizione, "m", "increasing; the first at 0", "route position from which the adhesion holds",
     "the first cell of the stretch"},
    {"adhesion", i32, U::numero, "%", "0 to 255", "the adhesion", "aderenza_cella of each cell of the stretch"},
};
constexpr campo_formato f_orologio[] = {
    {"h", i16, U::numero, "h", "-32768 to 32767", "hours of the scenario clock at the start", "slot 86 intero3"},
    {"m", i16, U::numero, "min", "-32768 to 32767", "minutes of the scenario clock at the start", "slot 86 intero4"},
    {"s", i16, U::numero, "s", "-32768 to 32767", "seconds of the scenario clock at the start", "slot 86 intero5"},
};
constexpr campo_formato f_sabbia[] = {
    {"q", i16, U::numero, "", "-32768 to 32767", "the sand value; its unit is the simulator's", "slot 86 intero1"},
};
constexpr campo_formato f_segnale[] = {
    {"position", i32, U::posizione, "m", "", "position of the signal", "the signal's cell (type 1)"},
    {"sx", i32, U::numero, "", "1 or 2", "left-hand signal type: 1 a distant signal, 2 a home signal",
     "valore_d and the approach marks; 2 enables tempo"},
    {"s1", i32, U::numero, "", "built-in 2 to 5", "first left-hand value", "valore_a = s1 × 10 + d1"},
    {"s2", i32, U::numero, "", "built-in 0 to 6", "second left-hand value", "valore_b = s2 × 10 + d2"},
    {"s3", i32, U::numero, "", "built-in 0", "third left-hand value", "valore_c = s3 × 10 + d3"},
    {"rapp", i32, U::numero, "", "built-in 0", "a further value", "valore_d = rapp × 10 + sx × 3 + dx"},
    {"dx", i32, U::numero, "", "0 to 2", "right-hand signal type", "valore_d and the approach marks"},
    {"d1", i32, U::numero, "", "0 to 9", "first right-hand value", "valore_a"},
    {"d2", i32, U::numero, "", "0 to 9", "second right-hand value", "valore_b"},
    {"d3", i32, U::numero, "", "0 to 9", "third right-hand value", "valore_c"},
    {"tempo", i32, U::numero, "", "0 to 255", "timing value, used only when sx is 2; 1 to 100 are stored as 101",
     "tempo_segnale"},
};
constexpr campo_formato f_rallentamento[] = {
    {"x", i32, U::posizione, "m", "", "start of the slowdown; its warning board stands 1200 m before",
     "the start cell; the warning board's cell 1200 m before"},
    {"v", i32, U::numero, "km/h", "", "speed through the slowdown", "the slowdown's cells"},
    {"l", i32, U::numero, "m", "not negative", "length of the slowdown", "the end cell at x + l"},
    {"f_tt", i32, U::numero, "", "", "a value stored in the start and end cells", "the start and end cells"},
    {"f_ta", i32, U::numero, "", "switch", "not 0: mark the four pre-warning cells before the warning board",
     "the four cells before the warning board"},
    {"d_v", i32, U::numero, "", "", "a value stored in the slowdown's cells when not 0", "the slowdown's cells"},
};
constexpr campo_formato f_abbattimento[] = {
    {"position", i32, U::posizione, "m", "", "position of the code point", "the code point's cell"},
    {"value", i32, U::numero, "", "-32768 to 32767", "above 0: the value the code point carries; 0 or less: none",
     "valore_a of the cell (low 16 bits)"},
};
constexpr campo_formato f_stazione[] = {
    {"position", i32, U::posizione, "m", "a multiple of 50", "route position of the station (its middle for most kinds)",
     "valore3 of the station's slot (stations take slots from 1 on)"},
    {"kind", u8, U::numero, "", "0 to 255; built-in 2, 11, 12, 21, 22, 25, 27",
     "station kind: below 25 a station cell; 25 and above only a timetable point", "tipo_record"},
    {"length", i32, U::numero, "m", "a multiple of 100", "length of the station",
     "the extent, valore1 to valore2"},
    {"flag1", u8, U::numero, "", "0 to 255; built-in 0 or 1", "first flag", "tipo2"},
    {"flag2", u8, U::numero, "", "0 to 255; built-in 0 or 1", "second flag; kept only for stations of 600 m or more",
     "byte4"},
    {"flag3", u8, U::numero, "", "0 to 255; built-in 0 or 1", "third flag: not 0 extends the station's end by 50 m",
     "byte3"},
    {"group1 first", i16, U::numero, "", "-32768 to 32767", "first number of the first group", "intero1"},
    {"group1 second", i16, U::numero, "", "-32768 to 32767", "second number of the first group", "intero2"},
    {"group1 third", u8, U::numero, "", "0 to 255", "third number of the first group", "byte1"},
    {"group2 first", i16, U::numero, "", "-32768 to 32767", "first number of the second group", "intero3"},
    {"group2 second", i16, U::numero, "", "-32768 to 32767", "second number of the second group", "intero4"},
    {"group2 third", i16, U::numero, "", "-32768 to 32767", "third number of the second group", "intero5"},
    {"stop", u8, U::numero, "", "0 to 255", "stop value: 50 or 60 where the train stops, 1 at the origin, 0 elsewhere",
     "byte2"},
    {"hours", i32, U::numero, "h", "", "hours of the scheduled time (0, 0, 0 = no time)",
     "valore4 = (hours × 60 + minutes) × 60 + seconds"},
    {"minutes", i32, U::numero, "min", "", "minutes of the scheduled time", "valore4"},
    {"seconds", i32, U::numero, "s", "", "seconds of the scheduled time", "valore4"},
    {"name", testo, U::testo, "", "no comma", "the station's name, as shown", "testo"},
};

constexpr bool nomi_stazione() {
  namespace c = campo_stazione;
  return f_stazione[c::posizione].nome == "position" && f_stazione[c::tipo].nome == "kind" &&
         f_stazione[c::lunghezza].nome == "length" && f_stazione[c::flag3].nome == "flag3" &&
         f_stazione[c::fermata].nome == "stop" && f_stazione[c::ore].nome == "hours" &&
         f_stazione[c::minuti].nome == "minutes" && f_stazione[c::secondi].nome == "seconds" &&
         f_stazione[c::nome].nome == "name" && std::size(f_stazione) == c::nome + 1;
}
static_assert(nomi_stazione(), "campo_stazione names the station's fields by their place");

using enum genere_voce;
using enum tipo_file;
using C = cella_voce;

// In genere_voce order, which is the reader's order within each file and section.
constexpr record_formato records[] = {
    {lunghezza, linea, true, "lunghezza percorso", {"lunghezza", "percorso"}, true, "route length",
     "general records", C::nessuna, f_lunghezza},
    {progressiva_tre, linea, true, "progressiva chilometrica tre", {"tre", "progressiva"}, false,
     "third chainage reference", "general records", C::nessuna, f_progressiva},
    {progressiva_due, linea, true, "progressiva chilometrica due", {"due", "progressiva"}, false,
     "second chainage reference", "general records", C::nessuna, f_progressiva},
    {progressiva_uno, linea, true, "progressiva chilometrica uno", {"uno", "progressiva"}, false,
     "first chainage reference", "general records", C::nessuna, f_progressiva},
    {sfondo_uno, linea, true, "sfondo uno", {"sfondo", "uno"}, false, "first background value", "general records",
     C::nessuna, f_sfondo_uno},
    {sfondo_due, linea, true, "sfondo due", {"sfondo", "due"}, false, "second background value", "general records",
     C::nessuna, f_sfondo_due},
    {sfondo_tre, linea, true, "sfondo tre", {"sfondo", "tre"}, false, "third background value", "general records",
     C::nessuna, f_sfondo_tre},
    {ripetizione, linea, true, "ripetizione segnali 4 codici", {"segnali", "ripetizione"}, false,
     "section with cab signal repetition (4 or 9 codes)", "general records", C::nessuna, f_ripetizione},
    {pendenza, linea, false, "pendenza", {"pendenza", ""}, true, "gradient", "gradients", C::propria, f_pendenza},
    {curva, linea, false, "curvad1", {"curva", ""}, true, "curve: d right, s left; class 1 (10000 m) to 6 (333 m)",
     "curves", C::nessuna, f_curva},
    {montagna, linea, false, "montagna", {"montagna", ""}, true, "tunnel", "tunnels", C::propria, f_montagna},
    {indicatori, linea, false, "indicatori_vmax", {"indicatori_v", ""}, true, "speed indicator board",
     "speed indicator boards", C::successiva, f_indicatori},
    {cartello, linea, false, "cartello_indicatore", {"indicat", "cartello"}, true, "lineside sign", "lineside signs",
     C::successiva, f_cartello},
    {massa, treno, false, "percentuale massa frenata", {"frenata", "massa"}, true, "braked mass", "general records",
     C::nessuna, f_massa},
    {vetture, treno, false, "numero vetture", {"vetture", ""}, true, "vehicles", "general records", C::nessuna,
     f_vetture},
    {velocita, treno, false, "velocita", {"velocit", ""}, true, "speed limit", "speed limits", C::propria, f_velocita},
    {aderenza, treno, false, "aderenza", {"aderenza", ""}, true, "adhesion", "adhesion records", C::propria, f_aderenza},
    {orologio, treno, false, "orologio", {"orologio", ""}, true, "clock at the start", "general records", C::nessuna,
     f_orologio},
    {sabbia, treno, false, "sabbia", {"sabbia", ""}, true, "sand", "general records", C::nessuna, f_sabbia},
    {segnale, treno, false, "segnale", {"segnale", ""}, true, "signal", "signals", C::successiva, f_segnale},
    {rallentamento, treno, false, "rallentamento", {"rallentamento", ""}, true, "slowdown", "slowdowns", C::successiva,
     f_rallentamento},
    {abbattimento, treno, false, "abbattimento", {"abbattimento", ""}, true, "code point", "code points", C::propria,
     f_abbattimento},
    {stazione, treno, false, "stazione", {"stazione", ""}, true, "station", "stations", C::stazione,
     f_stazione},
};

constexpr bool in_ordine() {
  for (size_t i = 0; i < std::size(records); ++i)
    if (static_cast<size_t>(records[i].genere) != i) return false;
  return true;
}
static_assert(in_ordine(), "the records stand in genere_voce order");

constexpr std::string_view parole_linea[] = {
    "lunghezza percorso", "progressiva chilometrica uno", "progressiva chilometrica due",
    "progressiva chilometrica tre", "sfondo uno", "sfondo due", "sfondo tre", "ripetizione segnali 4 codici",
    "ripetizione segnali 9 codici", "pendenza", "montagna", "indicatori_vmax", "cartello_indicatore",
    "curvas1", "curvas2", "curvas3", "curvas4", "curvas5", "curvas6",
    "curvad1", "curvad2", "curvad3", "curvad4", "curvad5", "curvad6",
};
constexpr std::string_view parole_treno[] = {
    "percentuale massa frenata", "numero vetture", "velocita", "aderenza", "orologio", "sabbia", "segnale",
    "rallentamento", "abbattimento", "stazione",
};

constexpr std::string_view intestazioni_linea[] = {"[generale]", "[curve]", "[pendenze]", "[montagne]",
                                                   "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::string_view intestazioni_treno[] = {"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]",
                                                   "[rallentamenti]", "[segnali]", "[codici]", "[fine]"};

}  // namespace

bool record_formato::riconosce(std::string_view campo) const {
  for (std::string_view p : prova) {
    if (p.empty()) continue;
    if (senza_caso ? !contiene_senza_caso(campo, p) : !contiene(campo, p)) return false;
  }
  return true;
}

int record_formato::numeri() const {
  int n = 0;
  for (const campo_formato& c : campi) n += c.tipo != larghezza::testo;
  return n;
}

std::string record_formato::elenco_campi() const {
  std::string s;
  for (const campo_formato& c : campi) s += (s.empty() ? "" : ", ") + std::string(c.nome);
  return s;
}

std::span<const record_formato> formato_testo() { return records; }

const record_formato& formato_di(genere_voce g) { return records[static_cast<size_t>(g)]; }

riconosciuti riconosci_voci(tipo_file file, bool generale, std::string_view campo) {
  riconosciuti r;
  for (const record_formato& f : records) {
    if (f.file != file || (file == linea && f.generale != generale)) continue;
    if (!f.riconosce(campo)) continue;
    if (r.n == static_cast<int>(std::size(r.voci))) throw std::logic_error("riconosci_voci: too many records");
    r.voci[r.n++] = f.genere;
  }
  return r;
}

std::span<const std::string_view> parole_del_file(tipo_file file) {
  if (file == linea) return parole_linea;
  return parole_treno;
}

std::span<const std::string_view> intestazioni_file(tipo_file file) {
  if (file == linea) return intestazioni_linea;
  return intestazioni_treno;
}

std::string_view sezione_di(genere_voce g) {
  switch (g) {
    case pendenza: return "[pendenze]";
    case curva: return "[curve]";
    case montagna: return "[montagne]";
    case indicatori: return "[cartelli]";
    case cartello: return "[indicazioni]";
    case velocita: return "[vel_limite]";
    case aderenza: return "[aderenze]";
    case segnale: return "[segnali]";
    case rallentamento: return "[rallentamenti]";
    case abbattimento: return "[codici]";
    case stazione: return "[stazioni]";
    default: return "[generale]";  // the general records of both files
  }
}

}  // namespace tracciato
