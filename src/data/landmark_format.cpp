#include "data/landmark_format.h"

#include <cassert>

#include "data/text_fields.h"

// Each format's file defines NAME_landmark_format(). The list holds the detection order: TPS
// opens with "LM=" and CSV with a header of labels, which no NTS or own file has; an NTS file
// is told from an own one by its header; the program's own format takes the rest.
#define QIV_LANDMARK_FORMATS(X) \
  X(tps)                        \
  X(csv)                        \
  X(nts)                        \
  X(own)

namespace qiv {

#define QIV_DECLARE_FORMAT(f) const LandmarkFormat& f##_landmark_format();
QIV_LANDMARK_FORMATS(QIV_DECLARE_FORMAT)
#undef QIV_DECLARE_FORMAT

const std::vector<const LandmarkFormat*>& landmark_formats() {
#define QIV_LIST_FORMAT(f) &f##_landmark_format(),
  static const std::vector<const LandmarkFormat*> list{QIV_LANDMARK_FORMATS(QIV_LIST_FORMAT)};
#undef QIV_LIST_FORMAT
  return list;
}

std::vector<const LandmarkFormat*> listed_landmark_formats() {
  const auto& all = landmark_formats();
  std::vector<const LandmarkFormat*> out{all.back()};
  out.insert(out.end(), all.begin(), all.end() - 1);
  return out;
}

const LandmarkFormat* landmark_format_named(std::string_view name) {
  for (const LandmarkFormat* f : landmark_formats())
    if (name == f->name) return f;
  return nullptr;
}

const LandmarkFormat& landmark_format_of(std::string_view text) {
  for (const LandmarkFormat* f : landmark_formats())
    if (f->claims(text)) return *f;
  assert(false && "the last format claims every text");
  return *landmark_formats().back();
}

std::string landmark_open_filter() {
  std::string out = "All files (*)";
  for (const LandmarkFormat* f : listed_landmark_formats()) out += std::string(";;") + f->filter;
  return out;
}

std::string landmark_save_filter() {
  std::string out;
  for (const LandmarkFormat* f : listed_landmark_formats()) {
    if (!f->write) continue;
    if (!out.empty()) out += ";;";
    out += f->filter;
  }
  return out;
}

const LandmarkFormat& landmark_format_for_saved_name(std::string_view name) {
  const std::string upper = ascii_upper(name);
  for (const LandmarkFormat* f : landmark_formats()) {
    const std::string ext = ascii_upper(f->extension);
    if (f->write && upper.size() >= ext.size() &&
        upper.compare(upper.size() - ext.size(), ext.size(), ext) == 0)
      return *f;
  }
  return *landmark_formats().back();
}

std::string landmark_formats_about() {
  static const char* const kCounts[] = {"no",  "one",   "two",   "three", "four", "five",
                                        "six", "seven", "eight", "nine",  "ten"};
  const auto listed = listed_landmark_formats();
  const std::size_t n = listed.size();
  std::string out = "Reads landmark data in " +
                    (n < std::size(kCounts) ? std::string(kCounts[n]) : std::to_string(n)) +
                    " formats, told apart by their content:";
  for (const LandmarkFormat* f : listed) out += std::string("\n\u2022 ") + f->about;
  return out;
}

}  // namespace qiv
