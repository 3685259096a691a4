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

// The mapped bytes are the file's, every one (a NUL or a byte above 127
// included); an empty file maps to nothing; a moved-from mapping is empty.
TEST(FileMappato, GivesExactlyTheFileBytes) {
  cartella_temporanea dir;
  std::string dati(300000, '\0');
  for (std::size_t i = 0; i < dati.size(); ++i) dati[i] = static_cast<char>((i * 7919) >> 3);
  test::scrivi(dir / "a.dat", dati);
  test::scrivi(dir / "vuoto.dat", "");
  file_mappato a(dir / "a.dat");
  EXPECT_TRUE(a.dati() == dati);
  EXPECT_TRUE(file_mappato(dir / "vuoto.dat").dati().empty());
  file_mappato b(std::move(a));
  EXPECT_TRUE(a.dati().empty());
  EXPECT_TRUE(b.dati() == dati);
  EXPECT_EQ(test::leggi(dir / "a.dat"), dati);  // the file stays as it was
}

// What leggi_file refuses, mapping refuses with the same failures.
TEST(FileMappato, RefusesWhatLeggiFileRefuses) {
  cartella_temporanea dir;
  test::scrivi(dir / "grande.dat", std::string(2000, 'x'));
  std::filesystem::create_directory(dir / "cartella");
  EXPECT_THROW(file_mappato(dir / "manca.dat"), std::system_error);
  EXPECT_THROW(file_mappato(dir / "grande.dat", 1999), std::runtime_error);
  EXPECT_EQ(file_mappato(dir / "grande.dat", 2000).dati().size(), 2000u);
  try {
    file_mappato m(dir / "cartella");
    ADD_FAILURE() << "a folder was mapped";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("it is a folder"), std::string::npos) << e.what();
  }
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_THROW(file_mappato(dir / "fifo"), std::runtime_error);  // refused at once, never waited on
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
