#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace qiv {
namespace {
long g_fail_after = -1;
}

void set_write_fault_for_testing(long fail_after_bytes) { g_fail_after = fail_after_bytes; }

bool write_file_atomically(const std::string& path, const std::string& content) {
  namespace fs = std::filesystem;
  fs::path target(path);
  if (target.filename().empty()) return false;
  std::error_code ec;
  if (fs::is_directory(target, ec)) return false;
  // An existing file the user may not write stays as it is, as opening it would fail.
  if (fs::exists(target, ec) && ::access(path.c_str(), W_OK) != 0) return false;
  fs::path dir = target.parent_path();
  std::string pattern =
      (dir.empty() ? std::string(".") : dir.string()) + "/." + target.filename().string() + ".XXXXXX";
  std::string tmp = pattern;
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  // mkstemp creates the file 0600; a data file should be readable like any other.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);

  bool ok = true;
  std::size_t limit = content.size();
  if (g_fail_after >= 0 && static_cast<std::size_t>(g_fail_after) < limit) {
    limit = static_cast<std::size_t>(g_fail_after);
    ok = false;
  }
  std::size_t done = 0;
  while (done < limit) {
    ssize_t n = ::write(fd, content.data() + done, limit - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

}  // namespace qiv
