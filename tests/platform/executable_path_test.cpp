#include "platform/executable_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qiv {
namespace {
namespace fs = std::filesystem;

TEST(ExecutablePath, IsThisTestProgramWithLinksResolved) {
  const fs::path exe = executable_path();
  EXPECT_TRUE(exe.is_absolute());
  EXPECT_EQ(exe.filename(), "test_platform");
  EXPECT_EQ(fs::canonical(exe), exe);
}

TEST(ExecutablePath, ShippedLayoutsLieBesideTheProgramThenInItsPrefix) {
  struct Row {
    const char* exe;
    std::vector<std::string> folders;
  };
  const Row rows[] = {
      {"/usr/bin/qiv_proto", {"/usr/bin/layouts", "/usr/share/qiv_proto/layouts"}},
      {"/opt/lab/bin/qiv_proto", {"/opt/lab/bin/layouts", "/opt/lab/share/qiv_proto/layouts"}},
      {"/home/u/qiv/build/src/qiv_proto",
       {"/home/u/qiv/build/src/layouts", "/home/u/qiv/build/share/qiv_proto/layouts"}},
      {"/qiv_proto", {"/layouts", "/share/qiv_proto/layouts"}},
      {"", {}},
  };
  for (const Row& r : rows) {
    std::vector<std::string> got;
    for (const fs::path& p : shipped_layout_folders(r.exe)) got.push_back(p.string());
    EXPECT_EQ(got, r.folders) << r.exe;
  }
}

}  // namespace
}  // namespace qiv
