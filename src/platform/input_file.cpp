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

// A large buffer is written page by page; backed by transparent huge pages that costs one
// page fault per 2 MB instead of one per 4 KB. Only advice.
void advise_huge_pages(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

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

bool LineReader::next(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  // A plain scan: find_first_of tests every byte against the set with a call of its own,
  // which costs several times the parsing of a large file's short lines.
  const char* const data = text_.data();
  std::size_t end = pos_;
  while (end < text_.size() && data[end] != '\n' && data[end] != '\r') ++end;
  if (end == text_.size()) end = std::string_view::npos;
  ++number_;
  if (end == std::string_view::npos) {
    line = text_.substr(pos_);
    pos_ = text_.size();
    return true;
  }
  line = text_.substr(pos_, end - pos_);
  pos_ = end + 1;
  if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  return true;
}

}  // namespace qiv
