#pragma once
// A scratch folder per test and a guard that restores the current directory, for tests of
// actions that read files and change directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace qiv::testing {

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_cwd_ = std::filesystem::current_path();
    std::string tmpl = (std::filesystem::temp_directory_path() / "qiv_data_XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::filesystem::current_path(saved_cwd_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Writes bytes exactly as given (no line-end translation) and returns the full path.
  std::string write(const std::string& name, const std::string& bytes) {
    std::filesystem::path p = dir_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return p.string();
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // The folder with its trailing separator, as file dialogs return it.
  std::string dir_slash() const { return dir_.string() + "/"; }

  std::filesystem::path dir_;
  std::filesystem::path saved_cwd_;
};

}  // namespace qiv::testing
