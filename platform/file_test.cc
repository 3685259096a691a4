#include "platform/file.h"

#include <gtest/gtest.h>

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

TEST(CancellaFile, AMissingFileIsNotAFailure) {
  cartella_temporanea dir;
  test::scrivi(dir / "a.txt", "x");
  EXPECT_TRUE(cancella_file(dir / "a.txt"));
  EXPECT_TRUE(cancella_file(dir / "a.txt"));
  EXPECT_FALSE(esiste_file(dir / "a.txt"));
}

}  // namespace
}  // namespace tracciato
