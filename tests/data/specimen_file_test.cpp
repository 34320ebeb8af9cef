#include "data/specimen_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/failure.h"
#include "data/landmark_file.h"
#include "data/nts_file.h"
#include "data/tps_file.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {

using ScratchDir = test_support::ScratchTest;

// The centroid size written out: the square root of the summed squared distances of the
// points from their mean point.
double size_of(const std::vector<double>& xy) {
  const std::size_t k = xy.size() / 2;
  double cx = 0, cy = 0;
  for (std::size_t j = 0; j < k; ++j) {
    cx += xy[2 * j];
    cy += xy[2 * j + 1];
  }
  cx /= static_cast<double>(k);
  cy /= static_cast<double>(k);
  double s = 0;
  for (std::size_t j = 0; j < k; ++j)
    s += (xy[2 * j] - cx) * (xy[2 * j] - cx) + (xy[2 * j + 1] - cy) * (xy[2 * j + 1] - cy);
  return std::sqrt(s);
}

struct ReadCase {
  const char* name;
  std::string text;
  const LandmarkFormat* format;
  std::vector<std::vector<double>> coordinates;  // per specimen, without the size
  std::vector<std::string> names;
  std::vector<std::string> notes;
  std::string units_note = {};
  std::vector<double> sizes = {};  // trailing values read, when not computed
};

void expect_read(const ReadCase& c) {
  SCOPED_TRACE(c.name);
  SpecimenData d;
  try {
    d = parse_specimen_text(c.text, "f.tps");
  } catch (const Failure& f) {
    ADD_FAILURE() << f.what();
    return;
  }
  EXPECT_EQ(d.format, c.format);
  ASSERT_EQ(d.table.rows(), static_cast<Eigen::Index>(c.coordinates.size()));
  for (std::size_t i = 0; i < c.coordinates.size(); ++i) {
    const auto& xy = c.coordinates[i];
    ASSERT_EQ(d.table.cols(), static_cast<Eigen::Index>(xy.size() + 1));
    for (std::size_t j = 0; j < xy.size(); ++j)
      EXPECT_EQ(d.table(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)), xy[j]);
    EXPECT_DOUBLE_EQ(d.table(static_cast<Eigen::Index>(i), d.table.cols() - 1),
                     c.sizes.empty() ? size_of(xy) : c.sizes[i]);
  }
  EXPECT_EQ(d.names, c.names);
  EXPECT_EQ(d.notes, c.notes);
  EXPECT_EQ(d.units_note, c.units_note);
}

const LandmarkFormat* const kTps = landmark_format_named("TPS");
const LandmarkFormat* const kNts = landmark_format_named("NTS");
const LandmarkFormat* const kOwn = landmark_format_named("own");
const LandmarkFormat* const kCsv = landmark_format_named("CSV");

TEST(SpecimenFiles, ReadTpsAsProgramsWriteIt) {
  const std::vector<ReadCase> cases{
      {"LF, ID after the points",
       "LM=3\n0 0\n4 0\n0 3\nID=a\nLM=3\n1 1\n5 1\n1 4\nID=b\n",
       kTps,
       {{0, 0, 4, 0, 0, 3}, {1, 1, 5, 1, 1, 4}},
       {"a", "b"},
       {}},
      {"CR LF and blank lines between records",
       "LM=2\r\n1.5 -2\r\n3 4e1\r\nIMAGE=x.jpg\r\nID=s1\r\n\r\n\r\nLM=2\r\n0 0\r\n1 1\r\nID=s2\r\n",
       kTps,
       {{1.5, -2, 3, 40}, {0, 0, 1, 1}},
       {"s1", "s2"},
       {}},
      {"CR alone", "LM=2\r0 0\r2 0\rID=a\r", kTps, {{0, 0, 2, 0}}, {"a"}, {}},
      {"SCALE present and absent: all in the file's units",
       "LM=2\n0 0\n4 0\nSCALE=0.5\nID=half\nLM=2\n0 0\n4 0\nID=as is\n",
       kTps,
       {{0, 0, 4, 0}, {0, 0, 4, 0}},
       {"half", "as is"},
       {},
       "1 of 2 specimens has no SCALE (first: as is); all coordinates are taken in the file's "
       "units."},
      {"SCALE in every record",
       "LM=2\n0 0\n4 0\nSCALE=0.5\nID=half\nLM=2\n0 0\n4 0\nSCALE=2\nID=twice\n",
       kTps,
       {{0, 0, 2, 0}, {0, 0, 8, 0}},
       {"half", "twice"},
       {}},
      {"lowercase keys, blanks around =, tabs and commas",
       "lm = 2\n0\t0\n2,0\nscale= 2\nid =x 1\nimage =c:\\pics\\y.tif\n",
       kTps,
       {{0, 0, 4, 0}},
       {"x 1"},
       {}},
      {"COMMENT and VARIABLES lines",
       "LM=2\n0 0\n1 0\nCOMMENT=left wing, worn\nVARIABLES=3 1 2\nID=w\n",
       kTps,
       {{0, 0, 1, 0}},
       {"w"},
       {}},
      {"IMAGE without ID names the record; else its number",
       "LM=2\n0 0\n1 0\nIMAGE=C:\\photos\\gorf_012.JPG\nLM=2\n0 0\n1 0\nIMAGE=dir/a.b.png\nLM=2\n0 "
       "0\n1 0\n",
       kTps,
       {{0, 0, 1, 0}, {0, 0, 1, 0}, {0, 0, 1, 0}},
       {"gorf_012", "a.b", "3"},
       {}},
      {"curves left out",
       "LM=2\n0 0\n1 0\nCURVES=2\nPOINTS=3\n5 5\n6 6\n7 7\nPOINTS=2\n8 8\n9 9\nID=a\n"
       "LM=2\n0 0\n2 0\nCURVES=1\nPOINTS=1\n1 2\nID=b\n",
       kTps,
       {{0, 0, 1, 0}, {0, 0, 2, 0}},
       {"a", "b"},
       {"f.tps: 6 curve points were left out; only landmarks are loaded."}},
      {"byte order mark and leading blank lines",
       "\xEF\xBB\xBF\n\nLM=1\n3 4\n",
       kTps,
       {{3, 4}},
       {"1"},
       {}},
      {"last line without an ending", "LM=2\n0 0\n1 0\nID=z", kTps, {{0, 0, 1, 0}}, {"z"}, {}},
  };
  for (const auto& c : cases) expect_read(c);
}

TEST(SpecimenFiles, ReadNtsAsProgramsWriteIt) {
  const std::vector<ReadCase> cases{
      {"comments, row labels over several lines, DIM=2",
       "\" wings of three flies\n\" digitised 2024\n1 3L 4 0 DIM=2\nfly_1 fly_2\nfly_3\n"
       "0 0 1 0\n0 0\n2 0 0 0 3 0\n",
       kNts,
       {{0, 0, 1, 0}, {0, 0, 2, 0}, {0, 0, 3, 0}},
       {"fly_1", "fly_2", "fly_3"},
       {}},
      {"no labels, four fields",
       "1 2 4 0\n0 0 1 0 0 0 2 0\n",
       kNts,
       {{0, 0, 1, 0}, {0, 0, 2, 0}},
       {"1", "2"},
       {}},
      {"row and column labels, lowercase l, CR LF, dim = 2",
       "1 2l 4L 0 dim = 2\r\na b\r\nx1 y1\r\nx2 y2\r\n0 0 1 0\r\n\" a comment among the data\r\n0 "
       "0 2 0\r\n",
       kNts,
       {{0, 0, 1, 0}, {0, 0, 2, 0}},
       {"a", "b"},
       {}},
      {"missing-data flag set, no specimen holds the code",
       "1 1L 4 1 -999\nonly\n0 0 1 0\n",
       kNts,
       {{0, 0, 1, 0}},
       {"only"},
       {}},
      {"five plain numbers whose count fits",
       "1 2 4 1 -9\n0 0 1 0\n0 0 2 0\n",
       kNts,
       {{0, 0, 1, 0}, {0, 0, 2, 0}},
       {"1", "2"},
       {}},
  };
  for (const auto& c : cases) expect_read(c);
}

TEST(SpecimenFiles, ReadCsvAsSpreadsheetsAndRWriteIt) {
  const std::vector<ReadCase> cases{
      {"R write.csv: quoted header and names",
       "\"specimen\",\"x1\",\"y1\",\"x2\",\"y2\"\n\"gorf_011\",0,0,4,0\n\"gorf_012\",1,1,5,1\n",
       kCsv,
       {{0, 0, 4, 0}, {1, 1, 5, 1}},
       {"gorf_011", "gorf_012"},
       {}},
      {"R row names: an empty first label",
       "\"\",\"x1\",\"y1\",\"x2\",\"y2\"\n\"1\",0,0,4,0\n\"2\",1,1,5,1\n",
       kCsv,
       {{0, 0, 4, 0}, {1, 1, 5, 1}},
       {"1", "2"},
       {}},
      {"European spreadsheet: semicolons, decimal commas, CR LF, empty rows at the end",
       "Specimen;x1;y1;x2;y2\r\ngorf 1;0;0;4,5;-0,25\r\n;;;;\r\n\r\n",
       kCsv,
       {{0, 0, 4.5, -0.25}},
       {"gorf 1"},
       {}},
      {"tabs, no names",
       "x1\ty1\tx2\ty2\n0\t0\t4\t0\n1e1\t0\t0\t3\n",
       kCsv,
       {{0, 0, 4, 0}, {10, 0, 0, 3}},
       {"1", "2"},
       {}},
      {"quoted names holding the separator and quotes",
       "name,x1,y1,x2,y2\n\"Smith, 1986 \"\"a\"\"\",0,0,1,0\n\"\",0,0,2,0\n",
       kCsv,
       {{0, 0, 1, 0}, {0, 0, 2, 0}},
       {"Smith, 1986 \"a\"", "2"},
       {}},
      {"every field quoted, no names",
       "\"x1\",\"y1\",\"x2\",\"y2\"\n\"0\",\"0\",\"1\",\"0\"\n",
       kCsv,
       {{0, 0, 1, 0}},
       {"1"},
       {}},
      {"numbers as names, a centroid_size column taken as written",
       "specimen,x1,y1,x2,y2,Centroid_Size\n7,0,0,4,0,2.5\n",
       kCsv,
       {{0, 0, 4, 0}},
       {"7"},
       {},
       {},
       {2.5}},
      {"byte order mark, blanks around fields, CR alone",
       "\xEF\xBB\xBF id , x1 , y1 , x2 , y2 \r a , 1 , 2 , 3 , 4 \r",
       kCsv,
       {{1, 2, 3, 4}},
       {"a"},
       {}},
  };
  for (const auto& c : cases) expect_read(c);
}

// An own file's line always holds an odd count of numbers; an NTS header needs something no
// such line has, or five numbers whose rows x columns are the numbers after them.
TEST(SpecimenFiles, TellsTheKindsApartByContent) {
  const struct {
    const char* text;
    const LandmarkFormat* want;
  } cases[] = {
      {"1 2 3\n4 5 6\n", kOwn},
      {"", kOwn},
      {"\n1 2 3\n", kOwn},
      {"1 2 4 0 5\n6 7 8 9 10\n", kOwn},         // two landmarks: 5 numbers after, not 8
      {"1 2 4 1 -9\n1 2 3 4\n5 6 7 8\n", kNts},  // 8 numbers after: 2 x 4
      {"1 2 4 0 5\n1 2 3 4 5\n1 2 3\n", kNts},   // the same, laid out as an own file
      {"2 2 4 1 -9\n1 2 3 4\n5 6 7 8\n", kOwn},  // type 2 in five plain numbers
      {"1 2 4 2 5\n1 2 3 4 5\n", kOwn},          // flag 2
      {"1.5 2 4 0 5\n", kOwn},                   // a type that is no whole number
      {"1 2 4 0\n1 2 3 4 5 6 7 8\n", kNts},      // four fields
      {"1 2L 4 0 5\n", kNts},                    // labels
      {"1 2 4 0 5 DIM=2\n", kNts},               // DIM
      {"\"comment\n1 2 4 0 5\n", kNts},          // a comment
      {"\"comment\nnot a header\n", kNts},       // refused by the NTS reader
      {"LM=3\n", kTps},
      {"  lm3 = 3\n", kTps},
      {"\r\n\r\nLm=2\r\n", kTps},
      {"1 2 3\nLM=3\n", kOwn},
      {"\xEF\xBB\xBFLM=1\n1 2\n", kTps},
      {"specimen,x1,y1\na,1,2\n", kCsv},
      {"x1;y1\n", kCsv},                     // a header alone
      {"\"\",\"x1\"\n\"1\",2\n", kCsv},      // R's row names
      {"\" wings, legs\n1 2 4 0\n", kNts},   // a comment holding a comma
      {"\"a\",\"b\"\n1 2 4 0\n", kNts},      // the next line is not split so
      {"1,2,3\n4,5,6\n", kOwn},              // numbers only
      {"x1 y1 x2 y2 s\n0 0 1 0 1\n", kOwn},  // labels separated by blanks
  };
  for (const auto& c : cases) EXPECT_EQ(&specimen_format(c.text), c.want) << c.text;
}

struct RefusedCase {
  const char* name;
  std::string text;
  std::string message;  // after "Cannot read f.tps: "
};

void expect_refused(const std::vector<RefusedCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(test_support::failure_text([&] { parse_specimen_text(c.text, "dir/f.tps"); }),
              "Cannot read f.tps: " + c.message);
  }
}

TEST(SpecimenFiles, RefusesTpsNamingRecordAndLine) {
  expect_refused({
      {"landmark count unlike the first", "LM=2\n0 0\n1 0\nID=a\nLM=3\n0 0\n1 0\n0 1\nID=b\n",
       "specimen b, line 5: LM=3, but the first specimen has 2 landmarks."},
      {"count unlike the first, named by its image",
       "LM=2\n0 0\n1 0\nLM=1\n0 0\nIMAGE=C:\\pics\\gorf_012.jpg\n",
       "specimen gorf_012, line 4: LM=1, but the first specimen has 2 landmarks."},
      {"short record", "LM=3\n0 0\n1 0\nID=a\n",
       "specimen a, line 1: LM=3 is followed by only 2 coordinate lines."},
      {"short record at the end of the file", "LM=2\n0 0\n1 0\nLM=2\n5 5\n",
       "specimen 2, line 4: LM=2 is followed by only 1 coordinate line."},
      {"not a number", "LM=2\n0 0\n1 x\nID=a\n", "specimen a, line 3: \"x\" is not a number."},
      {"glued text", "LM=2\r\n0 0\r\n1 0\r\nLM=2\r\n0 0\r\n1,5mm 2\r\nID=k\r\n",
       "specimen k, line 6: \"5mm\" is not a number."},
      {"one number on a line", "LM=2\n0 0\n1\n",
       "specimen 1, line 3 has 1 number; a landmark line holds x and y."},
      {"three numbers on a line", "LM=2\n0 0 0\n1 0 0\n",
       "specimen 1, line 2 has 3 numbers; a landmark line holds x and y."},
      {"more coordinate lines than announced", "LM=2\n0 0\n1 0\n2 2\nID=a\n",
       "specimen a, line 4: LM=2 is followed by more than 2 coordinate lines."},
      {"3-D landmarks", "LM3=2\n0 0 0\n1 0 0\n",
       "line 1: LM3= holds 3-D landmarks; only 2-D landmarks can be loaded."},
      {"3-D landmarks in a later record", "LM=1\n0 0\nlm3=1\n0 0 0\n",
       "line 3: LM3= holds 3-D landmarks; only 2-D landmarks can be loaded."},
      {"landmark count that is no count", "LM=two\n0 0\nID=a\n",
       "specimen a, line 1: \"LM=two\" does not give a landmark count."},
      {"no landmarks", "LM=0\nID=e\n",
       "specimen e, line 1: LM=0: a specimen needs at least one landmark."},
      {"more landmarks than the file could hold", "LM=5555555555555552555\n0 0\nID=h\n",
       "specimen h, line 1: LM=5555555555555552555 is more landmarks than the file holds."},
      {"a count far beyond the file", "LM=1000000000\n0 0\nID=g\n",
       "specimen g, line 1: LM=1000000000 is more landmarks than the file holds."},
      {"SCALE that is no number", "LM=2\n0 0\n1 0\nSCALE=0,01\nID=a\n",
       "specimen a, line 4: \"SCALE=0,01\" does not give a number."},
      {"short curve", "LM=1\n0 0\nCURVES=1\nPOINTS=3\n1 1\n2 2\nID=c\n",
       "specimen c, line 4: POINTS=3 is followed by only 2 point lines."},
  });
}

TEST(SpecimenFiles, RefusesNtsNamingSpecimenAndLine) {
  expect_refused({
      {"3-D", "1 2 6 0 DIM=3\n", "line 1: DIM=3: only 2-D landmarks can be loaded."},
      {"odd column count", "\"c\n1 2 5 0\n",
       "line 2: the header announces 5 columns; landmark data need x and y of each landmark, "
       "an even number of columns."},
      {"type 2", "2 3 3 0\n",
       "line 1: an NTS matrix of type 2 cannot be loaded; landmark data "
       "are a type 1 matrix."},
      {"no rows", "1 0 4 0\n", "line 1: the header announces no rows, so no specimens."},
      {"flag without code", "1 2 4 1\n",
       "line 1: the missing-data flag is 1, but no missing-data code follows it."},
      {"not a header after a comment", "\"c\n1 2 x 0\n",
       "line 2: \"1 2 x 0\" is not an NTS header (type, rows, columns, missing-data flag)."},
      {"nothing but comments", "\"c\n\"d\n",
       "the file holds no NTS header (type, rows, columns, missing-data flag)."},
      {"too few labels", "1 3L 2 0\na b\n", "the file ends after 2 of the 3 row labels."},
      {"not a number", "1 2L 4 0\np q\n0 0 1 0\n0 x 1 0\n",
       "specimen q, line 4: \"x\" is not a number."},
      {"too few numbers", "1 2 4 0\n0 0 1 0\n0 0 1\n",
       "the header announces 2 rows of 4 numbers, but only 7 numbers follow."},
      {"too many numbers", "1 1 4 0\n0 0 1 0\n9\n",
       "line 3: the header announces 1 row of 4 numbers, but more follow."},
      {"missing data", "1 2L 4 1 -999\ngorf_011 gorf_012\n0 0 1 0\n0 0 -999 0\n",
       "specimen gorf_012 has missing data (-999 as number 3); only complete specimens can be "
       "loaded."},
      {"a header far beyond the file", "1 999999999999 4 0\n1 2 3 4\n",
       "the header announces 999999999999 rows of 4 numbers, but only 4 numbers follow."},
  });
}

TEST(SpecimenFiles, RefusesCsvNamingRowAndColumn) {
  expect_refused({
      {"header only", "id,x1,y1\r\n", "the header is followed by no specimens."},
      {"a short row", "id,x1,y1,x2,y2\na,0,0,1,0\nb,0,0,1\n",
       "row 3 has 4 columns, but the header has 5."},
      {"a long row", "id;x1;y1;x2;y2\na;0;0;1;0\nb;0;0;1;0;7\n",
       "row 3 has 6 columns, but the header has 5."},
      {"not a number", "id,x1,y1,x2,y2\na,0,0,1,x\n",
       "row 2, column 5 (y2): \"x\" is not a number."},
      {"two decimal commas", "id;x1;y1\na;1,2,3;0\n",
       "row 2, column 2 (x1): \"1,2,3\" is not a number."},
      {"an empty value", "id\tx1\ty1\tx2\ty2\na\t0\t\t1\t0\n", "row 2, column 3 (y1) is empty."},
      {"coordinates that do not pair", "id,x1,y1,x2\na,0,0,1\n",
       "the header has 3 coordinate columns; landmark data need x and y of each landmark, an "
       "even number of at least 2."},
      {"a quote that does not close", "id,x1,y1\n\"a,0,0\n",
       "row 2, column 1: the quote that opens the field does not close."},
      {"text after the closing quote", "id,x1,y1\n\"a\"b,0,0\n",
       "row 2, column 1: text follows the closing quote."},
  });
}

// What "Save ... data" writes for a .csv name: the names (quoted where needed) and the exported
// values in the shortest form that reads back as the same double.
TEST(SpecimenFiles, CsvTextOfAnExportReadsBackExactly) {
  Matrix t(2, 5);
  t << 0.1, -1.0 / 3, 2e-300, 0.7, 1.25, -0.5, 0.5, 0.25, 0, 12345.678;
  const LandmarkFormat& csv = landmark_format_for_saved_name("out.CSV");
  ASSERT_EQ(&csv, kCsv);
  const std::string text = csv.write(t, {"a, b", "7"});
  EXPECT_EQ(text,
            "specimen,x1,y1,x2,y2,centroid_size\n"
            "\"a, b\",0.1,-0.3333333333333333,2e-300,0.7,1.25\n"
            "7,-0.5,0.5,0.25,0,12345.678\n");
  const SpecimenData d = parse_specimen_text(text, "out.csv");
  EXPECT_EQ(d.table, t);
  EXPECT_EQ(d.names, (std::vector<std::string>{"a, b", "7"}));
  EXPECT_EQ(&landmark_format_for_saved_name("a.tps"), kTps);
  EXPECT_EQ(&landmark_format_for_saved_name("a.csv.txt"), kOwn);
}

// Each format's lines stand where users read them: the dialogs, About and the README's table.
TEST(SpecimenFiles, EveryFormatIsInTheDialogsAboutAndTheReadme) {
  const std::string readme = test_support::read_bytes(test_support::source_dir() / "README.md");
  for (const LandmarkFormat* f : landmark_formats()) {
    EXPECT_NE(readme.find(std::string("\n") + f->readme + "\n"), std::string::npos) << f->name;
    EXPECT_NE(landmark_formats_about().find(f->about), std::string::npos) << f->name;
    EXPECT_NE(landmark_open_filter().find(f->filter), std::string::npos) << f->name;
  }
  EXPECT_EQ(landmark_save_filter(), "Landmark data (*.txt);;TPS files (*.tps);;CSV files (*.csv)");
}

TEST(SpecimenFiles, OwnFilesReadAsDloadReadsThemWithNumberedNames) {
  const SpecimenData d = parse_specimen_text("1 2 3\n4 5 6\n", "f.txt");
  EXPECT_EQ(d.format, kOwn);
  EXPECT_TRUE(d.sources[0].rows_are_lines);
  EXPECT_EQ(d.table, parse_landmark_table("1 2 3\n4 5 6\n", "f.txt"));
  EXPECT_EQ(d.names, (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(d.notes.empty());
}

// What "Save ... data" writes for a .tps name: the coordinates at the specimen's own size, in
// the shortest form that reads back as the same double, and the name as ID.
TEST(SpecimenFiles, TpsTextOfAnExport) {
  Matrix t(2, 5);
  t << 0.5, -0.25, 0.1, 0.3, 2, 1, 0, 1e-7, 0.125, 1;
  EXPECT_EQ(format_tps(t, {"gorf_012"}),
            "LM=2\n1 -0.5\n0.2 0.6\nID=gorf_012\nLM=2\n1 0\n1e-07 0.125\nID=2\n");
  EXPECT_TRUE(is_tps_name("out.TPS"));
  EXPECT_TRUE(is_tps_name("a.tps"));
  EXPECT_FALSE(is_tps_name("a.tps.txt"));
  EXPECT_FALSE(is_tps_name("tps"));
}

TEST(SpecimenFiles, TpsTextReadsBackToTheSameNumbers) {
  Matrix t(3, 7);
  t << 0.123456789012345, -1.0 / 3, 2.0 / 7, 1e-300, -5e20, 7.77e-5, 1.0 / 9, 1, 2, 3, 4, 5, 6, 7,
      -0.1, 0.2, -0.3, 0.4, -0.5, 0.6, 0.7;
  const SpecimenData d = parse_tps(format_tps(t, {"a", "b", "c"}), "f.tps");
  ASSERT_EQ(d.table.rows(), 3);
  for (Eigen::Index i = 0; i < 3; ++i)
    for (Eigen::Index j = 0; j < 6; ++j) EXPECT_EQ(d.table(i, j), t(i, j) * t(i, 6));
  EXPECT_EQ(d.names, (std::vector<std::string>{"a", "b", "c"}));
}

class SpecimenFileReads : public ScratchDir {};

TEST_F(SpecimenFileReads, ThroughTheInputFileReaderAndDloadByName) {
  EXPECT_FALSE(read_specimen_file(path("none.tps")).has_value());
  EXPECT_THROW(read_specimen_file(dir_.string()), Failure);  // a folder, as for dload
  HeadlessUi ui;
  Application app(ui);
  const std::string f = write("w.tps", "LM=2\r\n0 0\r\n3 4\r\nID=a\r\n");
  EXPECT_EQ(app.rt.call("dload", {Value(f)}, 1),
            Outputs{Value(row({0, 0, 3, 4, std::sqrt(12.5)}))});
  const std::string n = write("w.nts", "1 1 4 0\n0 0 0 2\n");
  EXPECT_EQ(app.rt.call("dload", {Value(n)}, 1), Outputs{Value(row({0, 0, 0, 2, std::sqrt(2.0)}))});
}

}  // namespace
}  // namespace qiv
