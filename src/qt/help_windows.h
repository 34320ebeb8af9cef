#pragma once
// Help > User guide (the manual made from the README at build time, in a window of the
// program) and Help > How to cite (a citation with the version, to copy).
#include <QString>
#include <filesystem>

class QWidget;

namespace qiv::qt {

// The guide shipped with the executable exe: "user-guide.html" beside it (the build tree),
// else "../share/doc/qiv-proto/user-guide.html" from its folder (installed); empty when
// neither exists.
std::filesystem::path user_guide_file(const std::filesystem::path& exe);

// A window showing the guide, or a message naming where it was looked for.
void show_user_guide(QWidget* parent);

// The citation: the program, its version and what it does, in plain text and as BibTeX.
QString citation_text();
void show_citation(QWidget* parent);

}  // namespace qiv::qt
