// sorveglia: runs a round of work once, then again each time one of the
// watched files is saved, until the user interrupts.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

namespace tracciato {

// Calls giro once, then again after each save of one of file: written and
// closed in place, or replaced by rename (as many editors save), or deleted
// and created anew. Saves that come together make one round. The folders
// that hold the files are watched (inotify on Linux, ReadDirectoryChangesW on Windows), so a file replaced under
// its name keeps being watched; nothing is polled. Returns 0 once SIGINT or
// SIGTERM arrives (between rounds; a round under way is finished first).
// Throws std::system_error when the watch cannot be set up.
int sorveglia(const std::vector<std::filesystem::path>& file, const std::function<void()>& giro);

}  // namespace tracciato
