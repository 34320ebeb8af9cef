#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

namespace qiv {
namespace {

namespace fs = std::filesystem;

long g_fail_after = -1;

// Symbolic links are followed to the file they name (a dangling link to the file it would
// create), so that saving keeps the link. Nothing when the links go round in a loop.
std::optional<fs::path> resolve_links(fs::path p) {
  std::error_code ec;
  for (int hops = 0; hops < 40; ++hops) {
    if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
    fs::path to = fs::read_symlink(p, ec);
    if (ec) return std::nullopt;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return std::nullopt;
}

// The temporary file's name: "." + name + ".XXXXXX" in the same folder, the name cut (at a
// UTF-8 character boundary) so that the whole stays within the 255 bytes a name may have.
std::string temporary_pattern(const fs::path& target) {
  std::string name = target.filename().string();
  constexpr std::size_t kKeep = 200;
  if (name.size() > kKeep) {
    std::size_t cut = kKeep;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  const fs::path dir = target.parent_path();
  return (dir.empty() ? std::string(".") : dir.string()) + "/." + name + ".XXXXXX";
}

// Writes all of content to fd; false with errno set on failure. The test fault stops after
// its byte count as a full disk would.
bool write_all(int fd, const std::string& content) {
  std::size_t limit = content.size();
  const bool fault = g_fail_after >= 0 && static_cast<std::size_t>(g_fail_after) < limit;
  if (fault) limit = static_cast<std::size_t>(g_fail_after);
  std::size_t done = 0;
  while (done < limit) {
    const ssize_t n = ::write(fd, content.data() + done, limit - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (fault) errno = ENOSPC;
  return !fault;
}

bool fail(std::string* why, int error) {
  if (why) *why = std::strerror(error);
  return false;
}

// A write past the file-size limit (ulimit -f) would kill the process with SIGXFSZ; ignored,
// the write fails with EFBIG instead and the save reports it like a full disk.
void let_size_limit_fail_the_write() {
  static const bool once = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
  }();
  (void)once;
}

// The fallback for a file the user may write in a folder they may not: truncate and write.
bool write_in_place(const fs::path& target, const std::string& content, std::string* why) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return fail(why, errno);
  bool ok = write_all(fd, content);
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  return ok || fail(why, error);
}

}  // namespace

void set_write_fault_for_testing(long fail_after_bytes) { g_fail_after = fail_after_bytes; }

bool write_file_atomically(const std::string& path, const std::string& content, std::string* why) {
  if (fs::path(path).filename().empty()) return fail(why, EISDIR);
  const std::optional<fs::path> resolved = resolve_links(path);
  if (!resolved) return fail(why, ELOOP);
  const fs::path& target = *resolved;

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return fail(why, EISDIR);
  // A pipe, device or socket is never replaced by a regular file, nor written into.
  if (exists && !S_ISREG(old.st_mode)) {
    if (why) *why = "it is not a regular file";
    return false;
  }
  let_size_limit_fail_the_write();
  // An existing file the user may not write stays as it is, as opening it would fail.
  if (exists && ::access(target.c_str(), W_OK) != 0) return fail(why, errno);

  std::string tmp = temporary_pattern(target);
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    const int error = errno;
    if (exists && (error == EACCES || error == EPERM || error == EROFS))
      return write_in_place(target, content, why);
    return fail(why, error);
  }
  // mkstemp creates the file 0600: an existing file keeps its bits, owner and group; a new
  // one gets what any new file of the user gets.
  if (exists) {
    ::fchmod(fd, old.st_mode & 07777);
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Only the owner's own group may be given; the file then belongs to the user.
    }
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }

  bool ok = write_all(fd, content);
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    return fail(why, error);
  }
  return true;
}

}  // namespace qiv
