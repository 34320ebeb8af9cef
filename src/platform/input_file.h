#pragma once
// Reading a file the user named (in a dialog, a script or on the command line) into memory.
// The file is copied, never mapped: a file that another program truncates or rewrites while
// it is read then gives a clear message instead of ending the program.
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qiv {

// The largest file the program reads: 2 GiB, far beyond any landmark file (20,000 specimens
// of 100 landmarks take 46 MB), and small enough to hold in memory twice.
inline constexpr std::size_t kMaxInputFileBytes = std::size_t{2} << 30;

// A file's bytes in one buffer, with room for nothing else; movable, not copyable.
class InputBytes {
 public:
  InputBytes() = default;
  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {data_.get(), size_}; }

 private:
  friend std::optional<InputBytes> read_input_file(const std::string& path);
  struct Free {
    void operator()(char* p) const;
  };
  std::unique_ptr<char, Free> data_;
  std::size_t size_ = 0;
};

// Reads the whole regular file at path. Returns nothing when it cannot be opened (missing,
// no permission): callers report that in their own words. Throws Failure, naming the file
// without its folder, for what is no regular file (a folder, FIFO, device or socket: refused
// before anything is read, so a FIFO cannot block and /dev/zero cannot fill memory), for a
// file larger than kMaxInputFileBytes, for a read error, and for a file whose size changed
// while it was read.
std::optional<InputBytes> read_input_file(const std::string& path);

// The text after a UTF-8 byte order mark, if the text starts with one.
std::string_view skip_bom(std::string_view text);

// The text with every CR LF and every CR alone turned into LF.
std::string with_lf_line_ends(std::string_view text);

// Line by line over a text: LF, CR LF and CR alone each end a line. next() returns false at
// the end; a last line without an ending counts, an empty text has no lines.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    // memchr finds the LF with vector instructions; a CR is then looked for only before it.
    const char* const start = text_.data() + pos_;
    const std::size_t left = text_.size() - pos_;
    const void* lf = std::memchr(start, '\n', left);
    const std::size_t span =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : left;
    const void* cr = std::memchr(start, '\r', span);
    const std::size_t len =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - start) : span;
    ++number_;
    line = std::string_view(start, len);
    pos_ += len;
    if (pos_ < text_.size()) {  // past the line end: CR LF counts as one
      const bool crlf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
      pos_ += crlf ? 2 : 1;
    }
    return true;
  }
  std::size_t line_number() const { return number_; }  // of the line next() gave last, from 1

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

}  // namespace qiv
