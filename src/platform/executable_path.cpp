#include "platform/executable_path.h"

#include <system_error>

namespace qiv {
namespace fs = std::filesystem;

fs::path executable_path() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe;
}

std::vector<fs::path> shipped_layout_folders(const fs::path& exe) {
  if (exe.empty()) return {};
  const fs::path dir = exe.parent_path();
  return {dir / "layouts", (dir / ".." / "share" / "qiv_proto" / "layouts").lexically_normal()};
}

}  // namespace qiv
