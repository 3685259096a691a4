// sorveglia in this process: each way an editor saves a file starts a new
// round, in a folder and under a name that are not ASCII.
#include "platform/sorveglia.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#include "tests/cartella_temporanea.h"

namespace tracciato {
namespace {

namespace fs = std::filesystem;

struct fine_prova {};  // thrown by the second round: the watch ends there

TEST(Sorveglia, EveryKindOfSaveStartsARound) {
  const struct {
    const char* nome;
    std::function<void(const fs::path& file)> salva;
  } casi[] = {
      {"written in place", [](const fs::path& f) { test::scrivi(f, "saved in place"); }},
      {"a new file renamed over it, as many editors save",
       [](const fs::path& f) {
         fs::path nuovo = f;
         nuovo += ".tmp";
         test::scrivi(nuovo, "saved by rename");
         fs::rename(nuovo, f);
       }},
      {"deleted and made anew",
       [](const fs::path& f) {
         fs::remove(f);
         test::scrivi(f, "saved anew");
       }},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    test::cartella_temporanea d;
    fs::create_directory(d / "Città");
    const fs::path file = d / "Città/Linea_Più.txt";
    test::scrivi(file, "first");
    // A save that is missed would wait for ever: after a while the test ends
    // the process with a failure.
    std::mutex m;
    std::condition_variable cv;
    bool finito = false;
    std::thread guardia([&] {
      std::unique_lock l(m);
      if (!cv.wait_for(l, std::chrono::seconds(20), [&] { return finito; })) {
        std::fprintf(stderr, "sorveglia missed the save: %s\n", c.nome);
        std::_Exit(1);
      }
    });
    int giri = 0;
    try {
      sorveglia({file}, [&] {
        if (++giri == 2) throw fine_prova{};
        c.salva(file);  // after the watch is set up: the first round runs then
      });
    } catch (const fine_prova&) {
    }
    {
      std::lock_guard l(m);
      finito = true;
    }
    cv.notify_one();
    guardia.join();
    EXPECT_EQ(giri, 2);
  }
}

}  // namespace
}  // namespace tracciato
