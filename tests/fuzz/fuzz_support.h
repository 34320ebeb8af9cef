#pragma once
// Helpers shared by the libFuzzer harnesses: a private scratch folder for the readers that
// only take file names, and a check that fails loudly.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace qiv::fuzz {

// A folder of this process, removed at exit. Created on first use.
inline const std::string& scratch_dir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "qiv_fuzz_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    static std::string keep = pattern;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(keep, ec);
    });
    return pattern;
  }();
  return dir;
}

// Writes bytes to name inside the scratch folder and returns the full path.
inline std::string write_scratch(const std::string& name, std::string_view bytes) {
  std::string path = scratch_dir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
  return path;
}

// Keeps the current directory of the fuzzer, which reads its corpus by relative names, across
// code that makes another directory current (the file dialogs of the actions do).
class KeepDirectory {
 public:
  KeepDirectory() : dir_(std::filesystem::current_path()) {}
  ~KeepDirectory() {
    std::error_code ec;
    std::filesystem::current_path(dir_, ec);
  }
  KeepDirectory(const KeepDirectory&) = delete;
  KeepDirectory& operator=(const KeepDirectory&) = delete;

 private:
  std::filesystem::path dir_;
};

// A broken promise of the code under test: report it and stop, so libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace qiv::fuzz
