#pragma once
// What the tests share for files: a scratch folder per test that gives the current directory
// back (the actions' file dialogs move it), reading and writing a file's exact bytes, the
// source tree's examples, and the text of a Failure.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace qiv::test_support {

namespace fs = std::filesystem;

// The source tree, from the tests' own definition (never compiled into the product).
inline fs::path source_dir() { return fs::path(QIV_SOURCE_DIR); }
inline fs::path example(const std::string& name) { return source_dir() / "examples" / name; }

// A file's bytes exactly (no line-end translation); empty when it cannot be read.
inline std::string read_bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes bytes exactly as given, making the folders on the way; a failed write fails the test.
inline void write_bytes(const fs::path& p, std::string_view bytes) {
  std::error_code ec;
  if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << p;
}

// The message of the Failure f throws, or "(no failure)".
inline std::string failure_text(const std::function<void()>& f) {
  try {
    f();
  } catch (const Failure& e) {
    return e.what();
  }
  return "(no failure)";
}

// A new empty folder of its own, removed at the end (permissions a test took away are given
// back first); the current directory at construction is made current again at the end.
// With enter, the folder is made current at once.
class ScratchDir {
 public:
  explicit ScratchDir(bool enter = false) : old_(fs::current_path()) {
    std::string tmpl = (fs::temp_directory_path() / "qiv_test_XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = tmpl;
    if (enter) fs::current_path(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::current_path(old_, ec);
    for (auto it = fs::recursive_directory_iterator(dir_, ec); it != fs::end(it); it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const fs::path& path() const { return dir_; }
  fs::path operator/(const std::string& name) const { return dir_ / name; }
  std::string file(const std::string& name) const { return (dir_ / name).string(); }
  // The folder current when this was made.
  const fs::path& old_cwd() const { return old_; }

 private:
  fs::path old_;
  fs::path dir_;
};

// A GoogleTest fixture with a scratch folder per test (not made current).
class ScratchTest : public ::testing::Test {
 protected:
  // Writes bytes exactly as given and returns the full path.
  std::string write(const std::string& name, const std::string& bytes) {
    write_bytes(dir_ / name, bytes);
    return (dir_ / name).string();
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // The folder with its trailing separator, as file dialogs return it.
  std::string dir_slash() const { return dir_.string() + "/"; }

  ScratchDir scratch_;
  const fs::path dir_ = scratch_.path();
};

}  // namespace qiv::test_support
