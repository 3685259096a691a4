#include "lsp/schema.h"

#include "platform/testo.h"

namespace tracciato::lsp {
namespace {

using enum tipo_campo;

constexpr campo_record lunghezza_percorso[] = {
    {"length",
     "length of the line from its start (route position 0) to its end; the cell grid reaches 7000 "
     "m beyond it",
     "m", "0 to 1000000", numero},
};
constexpr campo_record progressiva[] = {
    {"position", "route position from which the chainage reference applies", "m",
     "a multiple of 50", numero},
    {"chainage", "the line's chainage (kilometre-post reading) at that position", "m",
     "a multiple of 50", numero},
    {"flag", "flag; 1 adds 100 m to the chainage value once the references are ordered", "",
     "0 or 1", numero},
};
constexpr campo_record sfondo[] = {
    {"value", "background value, stored unchanged for the simulator", "", "32-bit", numero},
};
constexpr campo_record ripetizione[] = {
    {"start", "start of the section with cab signal repetition", "m", "a multiple of 50", numero},
    {"end", "end of the section; 0 = the line has no such section", "m", "a multiple of 50",
     numero},
};
constexpr campo_record curva[] = {
    {"start", "route position where the curve starts", "m",
     "increasing, no overlap with the previous curve", posizione},
    {"length", "length of the curve", "m", "its end within the route length + 7000 m", numero},
};
constexpr campo_record pendenza[] = {
    {"position", "route position from which the gradient holds", "m",
     "strictly increasing; the first at 0", posizione, 0},
    {"gradient", "gradient in the direction of increasing position: positive rises, negative falls",
     "‰", "-100 to +155", numero},
};
constexpr campo_record montagna[] = {
    {"start", "start of the tunnel", "m", "increasing", posizione, 0},
    {"end", "end of the tunnel", "m", "", posizione},
    {"kind", "tunnel kind; add 10 for a marker every fourth cell", "", "1, 2, 11, 12", numero},
};
constexpr campo_record indicatori[] = {
    {"position", "position of the board", "m", "", posizione, 1},
    {"vas", "first speed on the left-hand board", "km/h", "up to 1638", numero},
    {"vbs", "second speed on the left-hand board", "km/h", "up to 1638", numero},
    {"vcs", "third speed on the left-hand board", "km/h", "up to 1638", numero},
    {"strisces", "stripes on the left-hand board", "", "0 to 9", numero},
    {"vad", "first speed on the right-hand board", "km/h", "multiples of 5 below 100", numero},
    {"vbd", "second speed on the right-hand board", "km/h", "multiples of 5 below 100", numero},
    {"vcd", "third speed on the right-hand board", "km/h", "multiples of 5 below 100", numero},
    {"strisced", "stripes on the right-hand board", "", "0 to 9", numero},
};
constexpr campo_record cartello[] = {
    {"position", "position of the sign", "m", "", posizione, 1},
    {"text", "the sign's inscription, as groups in round brackets such as (F)", "", "no comma",
     testo},
};

constexpr campo_record vetture[] = {
    {"n", "number of vehicles of the train", "", "32-bit", numero},
};
constexpr campo_record massa_frenata[] = {
    {"p", "braked-mass percentage", "%", "32-bit", numero},
};
constexpr campo_record sabbia[] = {
    {"q", "the sand value; its unit is the simulator's", "", "-32768 to 32767", numero},
};
constexpr campo_record orologio[] = {
    {"h", "hours of the scenario clock at the start", "h", "-32768 to 32767", numero},
    {"m", "minutes of the scenario clock at the start", "min", "-32768 to 32767", numero},
    {"s", "seconds of the scenario clock at the start", "s", "-32768 to 32767", numero},
};
constexpr campo_record velocita[] = {
    {"position", "route position from which the speed limit holds", "m",
     "increasing; the first at 0", posizione, 0},
    {"speed", "the line speed limit", "km/h", "0 to 1277, in steps of 5", numero},
};
constexpr campo_record aderenza[] = {
    {"position", "route position from which the adhesion holds", "m", "increasing; the first at 0",
     posizione, 0},
    {"adhesion", "the adhesion", "%", "0 to 255", numero},
};
constexpr campo_record segnale[] = {
    {"position", "position of the signal", "m", "", posizione, 1},
    {"sx", "left-hand signal type: 1 a distant signal, 2 a home signal", "", "1 or 2", numero},
    {"s1", "first left-hand value", "", "built-in 2 to 5", numero},
    {"s2", "second left-hand value", "", "built-in 0 to 6", numero},
    {"s3", "third left-hand value", "", "built-in 0", numero},
    {"rapp", "a further value", "", "built-in 0", numero},
    {"dx", "right-hand signal type", "", "0 to 2", numero},
    {"d1", "first right-hand value", "", "0 to 9", numero},
    {"d2", "second right-hand value", "", "0 to 9", numero},
    {"d3", "third right-hand value", "", "0 to 9", numero},
    {"tempo", "timing value, used only when sx is 2; 1 to 100 are stored as 101", "", "0 to 255",
     numero},
};
constexpr campo_record rallentamento[] = {
    {"x", "start of the slowdown; its warning board stands 1200 m before", "m", "", posizione, 1},
    {"v", "speed through the slowdown", "km/h", "", numero},
    {"l", "length of the slowdown", "m", "not negative", numero},
    {"f_tt", "a value stored in the start and end cells", "", "", numero},
    {"f_ta", "not 0: mark the four pre-warning cells before the warning board", "", "switch",
     numero},
    {"d_v", "a value stored in the slowdown's cells when not 0", "", "", numero},
};
constexpr campo_record abbattimento[] = {
    {"position", "position of the code point", "m", "", posizione, 0},
    {"value", "above 0: the value the code point carries; 0 or less: none", "", "-32768 to 32767",
     numero},
};
constexpr campo_record stazione[] = {
    {"position", "route position of the station (its middle for most kinds)", "m",
     "a multiple of 50", posizione},
    {"kind", "station kind: below 25 a station cell; 25 and above only a timetable point", "",
     "0 to 255; built-in 2, 11, 12, 21, 22, 25, 27", numero},
    {"length", "length of the station", "m", "a multiple of 100", numero},
    {"flag1", "first flag", "", "0 to 255; built-in 0 or 1", numero},
    {"flag2", "second flag; kept only for stations of 600 m or more", "",
     "0 to 255; built-in 0 or 1", numero},
    {"flag3", "third flag: not 0 extends the station's end by 50 m", "",
     "0 to 255; built-in 0 or 1", numero},
    {"group1 first", "first number of the first group", "", "-32768 to 32767", numero},
    {"group1 second", "second number of the first group", "", "-32768 to 32767", numero},
    {"group1 third", "third number of the first group", "", "0 to 255", numero},
    {"group2 first", "first number of the second group", "", "-32768 to 32767", numero},
    {"group2 second", "second number of the second group", "", "-32768 to 32767", numero},
    {"group2 third", "third number of the second group", "", "-32768 to 32767", numero},
    {"stop", "stop value: 50 or 60 where the train stops, 1 at the origin, 0 elsewhere", "",
     "0 to 255", numero},
    {"hours", "hours of the scheduled time (0, 0, 0 = no time)", "h", "", numero},
    {"minutes", "minutes of the scheduled time", "min", "", numero},
    {"seconds", "seconds of the scheduled time", "s", "", numero},
    {"name", "the station's name, as shown", "", "no comma", testo},
};

using enum genere_file;

// In the order the reader tests them.
constexpr record_schema records[] = {
    {linea, "lunghezza percorso", "route length", lunghezza_percorso, true},
    {linea, "progressiva chilometrica tre", "third chainage reference", progressiva, true},
    {linea, "progressiva chilometrica due", "second chainage reference", progressiva, true},
    {linea, "progressiva chilometrica uno", "first chainage reference", progressiva, true},
    {linea, "sfondo uno", "first background value", sfondo, true},
    {linea, "sfondo due", "second background value", sfondo, true},
    {linea, "sfondo tre", "third background value", sfondo, true},
    {linea, "ripetizione segnali 4 codici", "section with cab signal repetition (4 or 9 codes)",
     ripetizione, true},
    {linea, "pendenza", "gradient", pendenza},
    {linea, "curvad1", "curve: d right, s left; class 1 (10000 m) to 6 (333 m)", curva},
    {linea, "montagna", "tunnel", montagna},
    {linea, "indicatori_vmax", "speed indicator board", indicatori},
    {linea, "cartello_indicatore", "lineside sign", cartello},
    {treno, "percentuale massa frenata", "braked mass", massa_frenata},
    {treno, "numero vetture", "vehicles", vetture},
    {treno, "velocita", "speed limit", velocita},
    {treno, "aderenza", "adhesion", aderenza},
    {treno, "orologio", "clock at the start", orologio},
    {treno, "sabbia", "sand", sabbia},
    {treno, "segnale", "signal", segnale},
    {treno, "rallentamento", "slowdown", rallentamento},
    {treno, "abbattimento", "code point", abbattimento},
    {treno, "stazione", "station", stazione},
};

// Whether parola starts records[i], by the reader's test for it.
bool corrisponde(size_t i, std::string_view p) {
  auto c = [&](std::string_view w) { return contiene(p, w); };
  auto ci = [&](std::string_view w) { return contiene_senza_caso(p, w); };
  switch (i) {
    case 0:
      return ci("lunghezza") && ci("percorso");
    case 1:
      return c("tre") && c("progressiva");
    case 2:
      return c("due") && c("progressiva");
    case 3:
      return c("uno") && c("progressiva");
    case 4:
      return c("sfondo") && c("uno");
    case 5:
      return c("sfondo") && c("due");
    case 6:
      return c("sfondo") && c("tre");
    case 7:
      return c("segnali") && c("ripetizione");
    case 8:
      return ci("pendenza");
    case 9:
      return ci("curva");
    case 10:
      return ci("montagna");
    case 11:
      return ci("indicatori_v");
    case 12:
      return ci("indicat") && ci("cartello");
    case 13:
      return ci("frenata") && ci("massa");
    case 14:
      return ci("vetture");
    case 15:
      return ci("velocit");
    case 16:
      return ci("aderenza");
    case 17:
      return ci("orologio");
    case 18:
      return ci("sabbia");
    case 19:
      return ci("segnale");
    case 20:
      return ci("rallentamento");
    case 21:
      return ci("abbattimento");
    case 22:
      return ci("stazione");
    default:
      return false;
  }
}

}  // namespace

std::span<const record_schema> tutti_i_record() { return records; }

const record_schema* riconosci(genere_file genere, std::string_view parola) {
  for (size_t i = 0; i < std::size(records); ++i)
    if ((genere == ignoto || records[i].file == genere) && corrisponde(i, parola))
      return &records[i];
  return nullptr;
}

}  // namespace tracciato::lsp
