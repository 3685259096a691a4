#include "loader/campi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tracciato {
namespace {

// Reads the whole text as numbers of type int32_t, until the end of the file.
std::vector<int32_t> numeri(const std::string& testo) {
  lettore_campi l(testo, "line file");
  std::vector<int32_t> v;
  while (!l.fine_file()) v.push_back(l.leggi_numero<int32_t>());
  return v;
}

TEST(LettoreCampi, NumbersEndAtCommasLineEndsAndBlanks) {
  static const struct {
    const char* testo;
    std::vector<int32_t> attesi;
  } casi[] = {
      {"13     59   45\r\n", {13, 59, 45}},
      {"0    ,0\r\n", {0, 0}},
      {"  7100,  95,  ,  ,  0\r\n", {7100, 95, 0, 0, 0}},  // empty fields read 0
      {"1,\r\n2", {1, 0, 2}},                            // only blanks before a line end
      {"-15,+3\n4\r5", {-15, 3, 4, 5}},                  // LF and CR end lines too
      {"1,2,", {1, 2}},  // the comma after the last field is consumed with it
      {"  42", {42}},
  };
  for (const auto& c : casi) EXPECT_EQ(numeri(c.testo), c.attesi) << c.testo;
}

TEST(LettoreCampi, TextFieldsKeepInnerBlanksAndLoseOuterOnes) {
  lettore_campi l("cartello_indicatore,  4500,   (F)   (G)  \r\n\r\nriga dopo,x", "line file");
  EXPECT_EQ(l.leggi_testo(), "cartello_indicatore");
  EXPECT_EQ(l.leggi_numero<int32_t>(), 4500);
  EXPECT_EQ(l.leggi_testo(), "(F)   (G)");
  EXPECT_EQ(l.riga(), 1);
  EXPECT_EQ(l.leggi_testo(), "");  // an empty line is one empty field
  EXPECT_EQ(l.leggi_testo(), "riga dopo");
  EXPECT_EQ(l.riga(), 3);
  EXPECT_FALSE(l.fine_file());
  EXPECT_EQ(l.leggi_testo(), "x");
  EXPECT_TRUE(l.fine_file());
}

TEST(LettoreCampi, EndOfFileComesOnlyAfterTheLastDelimiter) {
  lettore_campi l("a,b\r\n", "line file");
  l.leggi_testo();
  EXPECT_FALSE(l.fine_file());
  l.leggi_testo();
  EXPECT_TRUE(l.fine_file());
  try {
    l.leggi_testo();
    FAIL() << "read past the end";
  } catch (const guasto_lettura& g) {
    EXPECT_STREQ(g.what(), "a field is missing: the end of the file comes first");
    EXPECT_EQ(g.file(), "line file");
    EXPECT_EQ(g.riga(), 1);  // the line of the last field read
  }
  lettore_campi vuoto("", "train file");
  EXPECT_TRUE(vuoto.fine_file());
  EXPECT_THROW(vuoto.leggi_numero<int32_t>(), guasto_lettura);
}

// Every value must fit the variable it is read into; a numeric field that
// holds letters is a failure, never a silent 0.
TEST(LettoreCampi, ValuesThatDoNotFitOrAreNotNumbersFail) {
  enum tipo { u8, i16, i32 };
  static const struct {
    tipo t;
    const char* testo;
    bool valido;
  } casi[] = {
      {u8, "255", true},           {u8, "256", false},          {u8, "-1", false},
      {i16, "-32768", true},       {i16, "32767", true},        {i16, "32768", false},
      {i32, "2147483647", true},   {i32, "-2147483648", true},  {i32, "2147483648", false},
      {i32, "99999999999999999999999", false},
      {i32, "12a", false},         {i32, "abc", false},         {i32, "-", false},
      {i32, "4 x", true},  // a blank ends the number; "x" is the next field
  };
  for (const auto& c : casi) {
    const std::string testo = std::string("\r\n") + c.testo + ",1";
    lettore_campi l(testo, "train file");
    l.leggi_testo();
    auto leggi = [&] {
      switch (c.t) {
        case u8: return static_cast<int64_t>(l.leggi_numero<uint8_t>());
        case i16: return static_cast<int64_t>(l.leggi_numero<int16_t>());
        case i32: return static_cast<int64_t>(l.leggi_numero<int32_t>());
      }
      return int64_t{0};
    };
    if (c.valido) {
      EXPECT_NO_THROW(leggi()) << c.testo;
    } else {
      try {
        leggi();
        ADD_FAILURE() << c.testo << " was accepted";
      } catch (const guasto_lettura& g) {
        EXPECT_EQ(g.file(), "train file") << c.testo;
        EXPECT_EQ(g.riga(), 2) << c.testo;
        EXPECT_EQ(g.colonna(), 1) << c.testo;
      }
    }
  }
}

// A failure names the field, and its line and column (after the blanks that
// lead it); a huge field is quoted cut short.
TEST(LettoreCampi, FailureMessagesNameTheFieldAndItsPlace) {
  static const std::string lungo(100000, '7');
  static const struct {
    std::string testo;
    int testi_prima;  // text fields read before the number
    std::string messaggio;
    int32_t riga, colonna;
  } casi[] = {
      {"x\r\n\r\n  300,5", 2, "number \"300\" does not fit its field (0 to 255)", 3, 3},
      {"x,12a ,5", 1, "expected a number, found \"12a\"", 1, 3},
      // A huge field is quoted in part, with its length.
      {"x,\t" + lungo + "x", 1,
       "expected a number, found \"" + lungo.substr(0, 60) + "…\" (100,001 characters)", 1, 4},
      {"x," + lungo, 1, "number \"" + lungo.substr(0, 60) + "…\" (100,000 characters) does not fit its field (0 to 255)",
       1, 3},
      // Control bytes and NULs cannot cut or garble the message; Windows-1252 letters show as such.
      {std::string("x,1\0\x1b\"\xe0\x81", 8), 1, "expected a number, found \"1\\x00\\x1b\\\"à\\x81\"", 1, 3},
  };
  for (const auto& c : casi) {
    lettore_campi l(c.testo, "line file");
    for (int i = 0; i < c.testi_prima; ++i) l.leggi_testo();
    try {
      l.leggi_numero<uint8_t>();
      ADD_FAILURE() << c.testo;
    } catch (const guasto_lettura& g) {
      EXPECT_EQ(g.what(), c.messaggio);
      EXPECT_EQ(g.riga(), c.riga);
      EXPECT_EQ(g.colonna(), c.colonna);
    }
  }
}

}  // namespace
}  // namespace tracciato
