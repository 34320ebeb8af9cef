#include "platform/input_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/failure.h"
#include "platform/memory_advice.h"

namespace qiv {
namespace {

std::string base_name(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

void InputBytes::Free::operator()(char* p) const { std::free(p); }

std::optional<InputBytes> read_input_file(const std::string& path) {
  const std::string name = base_name(path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked before any read.
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (file.fd < 0) {
    if (errno == ENXIO) throw Failure("Cannot read " + name + ": it is not a regular file.");
    return std::nullopt;
  }
  struct stat before {};
  if (::fstat(file.fd, &before) != 0) return std::nullopt;
  if (!S_ISREG(before.st_mode)) {
    throw Failure("Cannot read " + name + ": it is not a regular file.");
  }
  const auto size = static_cast<std::size_t>(before.st_size);
  if (size > kMaxInputFileBytes) {
    throw Failure("Cannot read " + name + ": it is larger than 2 GiB.");
  }
  InputBytes out;
  // One byte more than the size, so that a file that grew while it was read is noticed.
  const std::size_t room = size + 1;
  constexpr std::size_t kAlign = std::size_t{2} << 20;
  char* buffer = static_cast<char*>(
      room >= kAlign ? std::aligned_alloc(kAlign, (room + kAlign - 1) / kAlign * kAlign)
                     : std::malloc(room));
  if (!buffer) throw Failure("Cannot read " + name + ": not enough memory.");
  out.data_.reset(buffer);
  if (room >= kAlign) advise_huge_pages(buffer, room);
  std::size_t got = 0;
  while (got < room) {
    const ssize_t n = ::read(file.fd, buffer + got, room - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Failure("Cannot read " + name + ": " + std::strerror(errno) + ".");
    }
    got += static_cast<std::size_t>(n);
  }
  struct stat after {};
  const bool same = ::fstat(file.fd, &after) == 0 && after.st_size == before.st_size &&
                    after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
                    after.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
  if (got != size || !same) {
    throw Failure("Cannot read " + name + ": the file changed while it was read; try again.");
  }
  out.size_ = size;
  return out;
}

std::string_view skip_bom(std::string_view text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  return text;
}

std::string with_lf_line_ends(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return out;
}

}  // namespace qiv
