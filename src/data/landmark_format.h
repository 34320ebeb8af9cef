#pragma once
// One landmark file format in one place: how "Load" recognises it by content, how it is read,
// how it is written (when the program writes it), and the lines that name it in the file
// dialogs, in Help > About and in the README's table of formats. Every format is registered
// once, in landmark_formats() (landmark_format.cpp), whose order is the order in which the
// content tests are tried. A new format is one file defining its descriptor and one line in
// that list.
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"

namespace qiv {

struct SpecimenData;  // data/specimen_file.h

struct LandmarkFormat {
  const char* name;  // "TPS"; unique
  // Whether a text (its byte order mark already skipped) is of this format. The last format
  // of the list takes every text the others leave.
  bool (*claims)(std::string_view text);
  // Reads such a text, coordinates as written (a TPS SCALE is applied later, by
  // settle_units); fname names the file in messages. Throws Failure "Cannot read NAME: ...".
  SpecimenData (*read)(std::string_view text, const std::string& fname);
  // The file's text of exported specimens (m x 2p + 1: coordinates of unit centroid size,
  // then the size) with their names; null for a format the program only reads.
  std::string (*write)(const Matrix& table, const std::vector<std::string>& names);
  const char* extension;  // ".tps": a saved name ending so, in any case, gets this writer
  const char* filter;     // the dialogs' line: "TPS files (*.tps)"
  const char* about;      // the line in Help > About
  const char* readme;     // the row of the README's table of formats
};

// Every format, in the order their content tests are tried.
const std::vector<const LandmarkFormat*>& landmark_formats();

// The formats as the dialogs and About list them: the program's own (the last of the list,
// the one that takes what no other claims) first, then the others in list order.
std::vector<const LandmarkFormat*> listed_landmark_formats();

// The format of that name, or null.
const LandmarkFormat* landmark_format_named(std::string_view name);

// The first format of the list that claims the text.
const LandmarkFormat& landmark_format_of(std::string_view text);

// The filter of the "Load" dialog: all files first (so that every file shows), then each
// format's line.
std::string landmark_open_filter();

// The filter of the dialogs that save landmark data: the formats the program writes; a name
// typed without an extension gets the first one's.
std::string landmark_save_filter();

// The writer for a saved file's name: the format whose extension ends it (any case), else
// the program's own.
const LandmarkFormat& landmark_format_for_saved_name(std::string_view name);

// The paragraph of Help > About on the formats read, one line a format (UTF-8).
std::string landmark_formats_about();

}  // namespace qiv
