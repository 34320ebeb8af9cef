#pragma once
// The one guard for the current folder, which the actions share with the file dialogs.
#include <filesystem>

namespace qiv {

// Makes dir the current folder for the lifetime of the object and makes the folder current
// before it current again at the end, also when the work in between fails. Throws
// Failure("Cannot open the program's home folder DIR.") when dir cannot be entered (then
// nothing changed). A current folder that no longer exists is not returned to.
class FolderVisit {
 public:
  explicit FolderVisit(const std::filesystem::path& dir);
  ~FolderVisit();
  FolderVisit(const FolderVisit&) = delete;
  FolderVisit& operator=(const FolderVisit&) = delete;

 private:
  std::filesystem::path back_;  // empty when the folder before had been removed
};

// The program's home folder: the current folder, or, when that no longer exists (the user
// started the program in a folder since removed), the user's home folder or else the root,
// which is then made current. `note` receives one line saying so in that case.
std::filesystem::path current_folder_or_fallback(std::string* note);

}  // namespace qiv
