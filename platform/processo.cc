#include "platform/processo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tracciato {

programma_in_corso::programma_in_corso(const avvio_programma& a) {
  // Everything the child needs is made before the fork: after it, only
  // calls that are safe there.
  std::vector<std::string> testi{a.programma.string()};
  testi.insert(testi.end(), a.argomenti.begin(), a.argomenti.end());
  std::vector<char*> argv;
  for (std::string& t : testi) argv.push_back(t.data());
  argv.push_back(nullptr);
  const std::string cartella = a.cartella.string(), uscita = a.uscita.string(), errori = a.errori.string(),
                    ingresso = a.ingresso.empty() ? "/dev/null" : a.ingresso.string();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::system_error(errno, std::generic_category(), "cannot start " + testi[0]);
  if (pid == 0) {
    const int in = ::open(ingresso.c_str(), O_RDONLY);
    const int out = ::open(uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errori.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
        (!cartella.empty() && ::chdir(cartella.c_str()) != 0))
      ::_exit(127);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  id_ = pid;
}

programma_in_corso::~programma_in_corso() {
  if (id_ < 0) return;
  ::kill(static_cast<pid_t>(id_), SIGKILL);
  attendi();
}

bool programma_in_corso::interrompi() { return id_ >= 0 && ::kill(static_cast<pid_t>(id_), SIGINT) == 0; }

int programma_in_corso::attendi() {
  if (id_ < 0) return stato_;
  int s = 0;
  while (::waitpid(static_cast<pid_t>(id_), &s, 0) < 0)
    if (errno != EINTR) return -1;
  id_ = -1;
  stato_ = WIFSIGNALED(s) ? 128 + WTERMSIG(s) : WEXITSTATUS(s);
  return stato_;
}

int esegui_programma(const avvio_programma& a) { return programma_in_corso(a).attendi(); }

bool crea_fifo(const std::filesystem::path& percorso) { return ::mkfifo(percorso.c_str(), 0600) == 0; }

}  // namespace tracciato
