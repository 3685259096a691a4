#include "platform/file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

using test::cartella_temporanea;

TEST(SostituisciFile, ReplacesALongerFileWholeAndLeavesNoTemporary) {
  cartella_temporanea dir;
  test::scrivi(dir / "a.dat", std::string(1000, 'x'));
  sostituisci_file(dir / "a.dat", "abc");
  EXPECT_EQ(test::leggi(dir / "a.dat"), "abc");
  EXPECT_EQ(dir.elenco(), std::vector<std::string>{"a.dat"});
}

TEST(SostituisciFile, FailureLeavesWhatStoodThereAndNoTemporary) {
  cartella_temporanea dir;
  std::filesystem::create_directory(dir / "a.dat");
  test::scrivi(dir / "a.dat" / "inside", "old");
  EXPECT_THROW(sostituisci_file(dir / "a.dat", "new"), std::system_error);
  EXPECT_EQ(test::leggi(dir / "a.dat" / "inside"), "old");
  EXPECT_EQ(dir.elenco(), std::vector<std::string>{"a.dat"});
}

TEST(SostituisciFile, MissingFolderIsAnError) {
  cartella_temporanea dir;
  EXPECT_THROW(sostituisci_file(dir / "no" / "a.dat", "x"), std::system_error);
}

// The file appears under its name, whole, only when confirmed; one dropped
// unconfirmed leaves the old file and no temporary behind.
TEST(FileTemporaneo, WritesAtOffsetsAndReplacesOnlyWhenConfirmed) {
  cartella_temporanea dir;
  test::scrivi(dir / "a.dat", "old");
  {
    file_temporaneo f(dir / "a.dat");
    f.scrivi("cd", 2);
    f.scrivi("ab", 0);
    EXPECT_EQ(dir.elenco().size(), 2u);
    EXPECT_EQ(test::leggi(dir / "a.dat"), "old");
    f.conferma();
  }
  EXPECT_EQ(test::leggi(dir / "a.dat"), "abcd");
  { file_temporaneo(dir / "a.dat").scrivi("new", 0); }
  EXPECT_EQ(test::leggi(dir / "a.dat"), "abcd");
  EXPECT_EQ(dir.elenco(), std::vector<std::string>{"a.dat"});
}

// Pieces read at any offset are the file's bytes, every one (a NUL or a byte
// above 127 included); a read past the end, as of a file cut short since it
// was opened, fails rather than giving fewer bytes.
TEST(FileInLettura, ReadsPiecesWhereTheyLie) {
  cartella_temporanea dir;
  std::string dati(300000, '\0');
  for (std::size_t i = 0; i < dati.size(); ++i) dati[i] = static_cast<char>((i * 7919) >> 3);
  test::scrivi(dir / "a.dat", dati);
  file_in_lettura f(dir / "a.dat");
  ASSERT_EQ(f.dimensione(), dati.size());
  static const struct {
    std::size_t posizione, n;
  } casi[] = {{0, 1}, {0, 300000}, {299999, 1}, {123457, 65536}, {5, 0}};
  for (const auto& c : casi) {
    std::string pezzo(c.n, 'z');
    f.leggi(pezzo.data(), c.n, c.posizione);
    EXPECT_TRUE(pezzo == dati.substr(c.posizione, c.n)) << c.posizione << " " << c.n;
  }
  char b[2];
  EXPECT_THROW(f.leggi(b, 2, 299999), std::runtime_error);
  EXPECT_THROW(f.leggi(b, 1, 300000), std::runtime_error);
  file_in_lettura g(std::move(f));
  g.leggi(b, 2, 0);
  EXPECT_EQ(std::string(b, 2), dati.substr(0, 2));
  EXPECT_EQ(test::leggi(dir / "a.dat"), dati);  // the file stays as it was
}

// What leggi_file refuses, opening for reading refuses with the same failures.
TEST(FileInLettura, RefusesWhatLeggiFileRefuses) {
  cartella_temporanea dir;
  test::scrivi(dir / "grande.dat", std::string(2000, 'x'));
  std::filesystem::create_directory(dir / "cartella");
  EXPECT_THROW(file_in_lettura(dir / "manca.dat"), std::system_error);
  EXPECT_THROW(file_in_lettura(dir / "grande.dat", 1999), std::runtime_error);
  EXPECT_EQ(file_in_lettura(dir / "grande.dat", 2000).dimensione(), 2000u);
  try {
    file_in_lettura f(dir / "cartella");
    ADD_FAILURE() << "a folder was opened";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("it is a folder"), std::string::npos) << e.what();
  }
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_THROW(file_in_lettura(dir / "fifo"), std::runtime_error);  // refused at once, never waited on
#endif
}

TEST(CancellaFile, AMissingFileIsNotAFailure) {
  cartella_temporanea dir;
  test::scrivi(dir / "a.txt", "x");
  EXPECT_TRUE(cancella_file(dir / "a.txt"));
  EXPECT_TRUE(cancella_file(dir / "a.txt"));
  EXPECT_FALSE(esiste_file(dir / "a.txt"));
}

}  // namespace
}  // namespace tracciato
