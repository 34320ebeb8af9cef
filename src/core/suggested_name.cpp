#include "core/suggested_name.h"

#include <filesystem>

namespace qiv {

std::string suggested_name(const SharedState& s, const std::string& what,
                           const std::string& extension) {
  const std::string stem =
      s.datafile ? std::filesystem::path(*s.datafile).stem().string() : std::string();
  return (stem.empty() ? what : stem + "_" + what) + extension;
}

}  // namespace qiv
