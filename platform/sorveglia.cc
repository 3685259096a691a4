#include "platform/sorveglia.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <set>
#include <string>
#include <system_error>

namespace tracciato {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void fallisci(const char* cosa) { throw std::system_error(errno, std::generic_category(), cosa); }

// A file descriptor closed on every way out.
struct descrittore {
  int fd;
  explicit descrittore(int f) : fd(f) {}
  ~descrittore() {
    if (fd >= 0) ::close(fd);
  }
  descrittore(const descrittore&) = delete;
  descrittore& operator=(const descrittore&) = delete;
};

// SIGINT and SIGTERM blocked for the watch, as they were after it.
struct segnali_bloccati {
  sigset_t prima;
  sigset_t insieme;
  segnali_bloccati() {
    sigemptyset(&insieme);
    sigaddset(&insieme, SIGINT);
    sigaddset(&insieme, SIGTERM);
    if (::sigprocmask(SIG_BLOCK, &insieme, &prima) != 0) fallisci("sigprocmask");
  }
  ~segnali_bloccati() { ::sigprocmask(SIG_SETMASK, &prima, nullptr); }
};

}  // namespace

int sorveglia(const std::vector<fs::path>& file, const std::function<void()>& giro) {
  segnali_bloccati blocco;
  descrittore segnali(::signalfd(-1, &blocco.insieme, SFD_CLOEXEC));
  if (segnali.fd < 0) fallisci("signalfd");
  descrittore avvisi(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
  if (avvisi.fd < 0) fallisci("inotify_init1");

  // Each file's folder, watched for files closed after writing or moved in;
  // the names that matter in each.
  std::map<int, std::set<std::string>> nomi;
  for (const fs::path& f : file) {
    const fs::path assoluto = fs::absolute(f);
    const fs::path cartella = assoluto.parent_path();
    const int w = ::inotify_add_watch(avvisi.fd, cartella.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
    if (w < 0) fallisci(("inotify_add_watch " + cartella.string()).c_str());
    nomi[w].insert(assoluto.filename().string());
  }

  giro();
  alignas(inotify_event) char buffer[16 * 1024];
  for (;;) {
    pollfd attese[2] = {{segnali.fd, POLLIN, 0}, {avvisi.fd, POLLIN, 0}};
    if (::poll(attese, 2, -1) < 0) {
      if (errno == EINTR) continue;
      fallisci("poll");
    }
    if (attese[0].revents & POLLIN) {
      // Taken from the queue, so that it is not delivered once unblocked.
      signalfd_siginfo preso;
      if (::read(segnali.fd, &preso, sizeof preso) < 0) fallisci("read signalfd");
      return 0;
    }
    bool cambiato = false;
    // Drain the events; a save often comes as several (create, write, move),
    // and a short pause lets the rest of one save arrive before the round.
    for (int timeout = 0;;) {
      const ssize_t n = ::read(avvisi.fd, buffer, sizeof buffer);
      if (n > 0) {
        for (ssize_t i = 0; i < n;) {
          const auto* e = reinterpret_cast<const inotify_event*>(buffer + i);
          const auto w = nomi.find(e->wd);
          if (e->len > 0 && w != nomi.end() && w->second.count(e->name)) cambiato = true;
          i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) fallisci("read inotify");
      if (timeout > 0 || !cambiato) break;
      pollfd ancora = {avvisi.fd, POLLIN, 0};
      timeout = 100;
      if (::poll(&ancora, 1, timeout) <= 0) break;
    }
    if (cambiato) giro();
  }
}

}  // namespace tracciato
