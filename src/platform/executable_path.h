#pragma once
// Where the running program lies, so it can find the files installed with it.
#include <filesystem>
#include <vector>

namespace qiv {

// The running executable's full path with every link resolved (read from /proc/self/exe);
// empty when the system does not say.
std::filesystem::path executable_path();

// The folders, in lookup order, that hold the window layouts shipped with the executable
// at exe: "layouts" beside it (the build tree) and "../share/qiv_proto/layouts" relative to
// its folder (an installed prefix), the latter without its "..". Empty for an empty exe.
std::vector<std::filesystem::path> shipped_layout_folders(const std::filesystem::path& exe);

}  // namespace qiv
