// The built-in run end to end, through the real executable: it writes the
// five text files, compiles the line and train files (and deletes them), and
// leaves the three binary files, with no fault recorded. Every byte of the
// eight files it writes is pinned by a digest: a change in one double shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"
#include "tests/sha256.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

struct digest {
  const char* file;
  const char* sha256;
};

// The five text files, as the run writes them (and `sources` too).
constexpr digest testi[] = {
    {"VessolantaC_OrmelaC_linea.txt", "4e3f5a434e2cfb2b5c6e84aaf6823eaeb859411c383aa7a686ecc6ecf18ee0ac"},
    {"VessolantaC_OrmelaC_4715-.txt", "84efb605c348c9e15d33957937ff75fae836ccac966f8136da3af0c6c84b14c1"},
    {"VessolantaC_OrmelaC_4715_note.txt", "480dd5ab9e1a5b7338bb9ed93519aa43060f65ad072eb1399e47801acc55ab76"},
    {"VessolantaC_OrmelaC_4715_rallentamenti.txt",
     "6ecb205c6ced91570e14fab98d9dbdef30fafd687f66bdd5a21f3595b8f5f21d"},
    {"VessolantaC_OrmelaC_4715_scheda_treno.txt",
     "5f270e81381f5fb9a6f8acdc44db4a9aff17c63897f02b8f4e1c513363c7cb76"},
};

// The three binary files of the built-in run.
constexpr digest binari[] = {
    {"VessolantaC_OrmelaC_linea.dat", "b9726df5eaa5127d474be70036f3ca55dcb11145f3f89422349b893cbc12a100"},
    {"VessolantaC_OrmelaC_4715.sim", "820d6787fc8ba954c0ce8bd99c87cc2cc6633cdc7ce19eab82986abb528ded70"},
    {"VessolantaC_OrmelaC_4715.dat", "6d43868d39c46394beb2a123afe9ad7c73ba5a5645038837964e1f79a711b693"},
};

TEST(Sha256, KnownDigests) {
  EXPECT_EQ(test::sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(test::sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(test::sha256(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Incorporato, BuiltInRunWritesTheExactEightFiles) {
  test::cartella_temporanea t;
  const auto e = test::esegui_tracciato({"--strict", "--dir", t.percorso().string()}, t.percorso());
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.uscita, "no fault\n");
  EXPECT_EQ(e.errori, "Attendere\n");

  // The line and train files are deleted once read; the rest stay.
  EXPECT_EQ(t.elenco(), (std::vector<std::string>{
                            "VessolantaC_OrmelaC_4715.dat", "VessolantaC_OrmelaC_4715.sim",
                            "VessolantaC_OrmelaC_4715_note.txt", "VessolantaC_OrmelaC_4715_rallentamenti.txt",
                            "VessolantaC_OrmelaC_4715_scheda_treno.txt", "VessolantaC_OrmelaC_linea.dat"}));
  for (const auto& d : binari) EXPECT_EQ(test::sha256(test::leggi(t / d.file)), d.sha256) << d.file;
  for (const auto& d : testi) {
    if (fs::exists(t / d.file)) {
      EXPECT_EQ(test::sha256(test::leggi(t / d.file)), d.sha256) << d.file;
    }
  }
}

// The path of the README: the text files alone, then the author's compile of
// them, which under the built-in names gives the built-in binary files.
TEST(Incorporato, SourcesThenCompileGiveTheBuiltInFiles) {
  test::cartella_temporanea t;
  ASSERT_EQ(test::esegui_tracciato({"sources", "--dir", t.percorso().string()}, t.percorso()).stato, 0);
  for (const auto& d : testi) EXPECT_EQ(test::sha256(test::leggi(t / d.file)), d.sha256) << d.file;

  const auto e = test::esegui_tracciato(
      {"compile", "--strict", "--line", (t / "VessolantaC_OrmelaC_linea.txt").string(), "--train",
       (t / "VessolantaC_OrmelaC_4715-.txt").string(), "--name", "VessolantaC_OrmelaC", "--train-number",
       "4715", "--dir", t.percorso().string()},
      t.percorso());
  EXPECT_EQ(e.stato, 0) << e.errori;
  // The four warnings the built-in files are known to carry (items in the run-out past the end).
  EXPECT_EQ(e.uscita, "no fault\n4 warnings: run tracciato check\n");
  for (const auto& d : binari) EXPECT_EQ(test::sha256(test::leggi(t / d.file)), d.sha256) << d.file;
  // The author's text files are still there to be edited again.
  for (const auto& d : testi) EXPECT_EQ(test::sha256(test::leggi(t / d.file)), d.sha256) << d.file;
}

}  // namespace
}  // namespace tracciato
