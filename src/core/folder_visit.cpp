#include "core/folder_visit.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "base/failure.h"

namespace qiv {

namespace fs = std::filesystem;

FolderVisit::FolderVisit(const fs::path& dir) {
  std::error_code ec;
  back_ = fs::current_path(ec);
  if (ec) back_.clear();
  fs::current_path(dir, ec);
  if (ec) throw Failure("Cannot open the program's home folder " + dir.string() + ".");
}

FolderVisit::~FolderVisit() {
  std::error_code ec;
  if (!back_.empty()) fs::current_path(back_, ec);
}

fs::path current_folder_or_fallback(std::string* note) {
  std::error_code ec;
  fs::path here = fs::current_path(ec);
  if (!ec) return here;
  const char* home = std::getenv("HOME");
  for (const fs::path& p : {home ? fs::path(home) : fs::path(), fs::path("/")}) {
    if (p.empty()) continue;
    fs::current_path(p, ec);
    if (ec) continue;
    if (note)
      *note = "The folder the program was started in no longer exists; working in " + p.string() +
              " instead.";
    return p;
  }
  return fs::path("/");
}

}  // namespace qiv
