#include "platform/layout_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/failure.h"
#include "support/files.h"

namespace qiv {
namespace {

using test_support::failure_text;

const char* kSmall = R"({
  // a comment
  "Type": "figure", "Name": "Small", "Position": [10, 20, 300, 200], "Resize": "Off",
  "Children": [
    {"Type": "axes", "Units": "normalized", "Position": [0.5, 0.1, 0.4, 0.8], "Tag": "Plot"},
    {"Style": "pushbutton", "Tag": "Go", "String": "Go!", "Callback": ["qivprotosw", "Load"],
     "Position": [10, 150, 80, 26], "Enable": "off", "TooltipString": "Runs"},
    {"Style": "edit", "Tag": "Notes", "String": ["one", "two"], "Min": 0, "Max": 2,
     "Units": "characters", "Position": [2, 1, 20, 4], "HorizontalAlignment": "Left"},
    {"Style": "checkbox", "Tag": "Tick", "String": "Tick", "Value": 1,
     "Position": [10, 10, 80, 20], "FontWeight": "bold", "BackgroundColor": [1, 0, 0]}
  ]
})";

TEST(LayoutFile, ReadsTheFigureAndItsChildrenInOrder) {
  Graphics gfx;
  Handle fig = hgload_text(gfx, kSmall, "small.fig");
  EXPECT_EQ(gfx.current_figure(), fig);
  EXPECT_EQ(gfx.get(fig, "Name"), Value("Small"));
  EXPECT_EQ(gfx.get(fig, "Resize"), Value("off"));
  EXPECT_EQ(gfx.get(fig, "Visible"), Value("on"));
  EXPECT_EQ(gfx.get(fig, "FileName"), Value("small.fig"));
  EXPECT_EQ(gfx.get(fig, "Position"), Value(row({10, 20, 300, 200})));

  auto kids = gfx.children(fig);
  ASSERT_EQ(kids.size(), 4u);
  EXPECT_EQ(gfx.type(kids[0]), ObjType::kAxes);
  EXPECT_EQ(gfx.get(kids[0], "Position"), Value(row({0.5, 0.1, 0.4, 0.8})));
  EXPECT_EQ(gfx.pixel_position(kids[0])[0], 150);

  EXPECT_EQ(gfx.get(kids[1], "Callback"), Value(List{Value("qivprotosw"), Value("Load")}));
  EXPECT_EQ(gfx.get(kids[1], "Enable"), Value("off"));
  EXPECT_EQ(gfx.get(kids[1], "TooltipString"), Value("Runs"));
  EXPECT_EQ(gfx.get(kids[1], "Style"), Value("pushbutton"));

  // Units are set before the Position they qualify, whatever order the file gives.
  EXPECT_EQ(gfx.get(kids[2], "String"), Value(List{Value("one"), Value("two")}));
  EXPECT_EQ(gfx.get(kids[2], "Units"), Value("characters"));
  auto px = gfx.pixel_position(kids[2]);
  EXPECT_EQ(px[0], 14);
  EXPECT_EQ(px[3], 64);
  EXPECT_EQ(gfx.get(kids[2], "HorizontalAlignment"), Value("left"));

  EXPECT_EQ(gfx.get(kids[3], "Value"), Value(1.0));
  EXPECT_EQ(gfx.get(kids[3], "FontWeight"), Value("bold"));
  EXPECT_EQ(gfx.get(kids[3], "BackgroundColor"), Value(row({1, 0, 0})));
  // A control without a Callback has an empty list.
  EXPECT_EQ(gfx.get(kids[2], "Callback"), Value(List{}));
}

TEST(LayoutFile, PropertyNamesIgnoreLetterCase) {
  Graphics gfx;
  Handle fig = hgload_text(gfx, R"({"Type": "figure", "NAME": "x", "Children": [{"tag": "A"}]})",
                           "case.fig");
  ASSERT_EQ(gfx.children(fig).size(), 1u);
  EXPECT_EQ(gfx.get(gfx.children(fig)[0], "Tag"), Value("A"));
  EXPECT_EQ(gfx.get(fig, "Name"), Value("x"));
}

struct BadLayout {
  const char* name;
  const char* text;
  const char* message;
};

class LayoutErrors : public testing::TestWithParam<BadLayout> {};

TEST_P(LayoutErrors, NameTheFileAndThePlaceAndCreateNothing) {
  Graphics gfx;
  auto reject_foo = [](const std::vector<std::string>& words) -> std::string {
    return words[0] == "foo" ? "no callable function named \"foo\"" : "";
  };
  EXPECT_EQ(failure_text([&] { hgload_text(gfx, GetParam().text, "w.fig", reject_foo); }),
            GetParam().message);
  EXPECT_TRUE(gfx.figures().empty());
}

INSTANTIATE_TEST_SUITE_P(
    All, LayoutErrors,
    testing::Values(
        BadLayout{"MissingComma", "{\"Type\": \"figure\"\n  \"Name\": \"x\"}",
                  "Layout file \"w.fig\", line 2, column 8: invalid JSON: syntax error while "
                  "parsing object - unexpected string literal; expected '}'"},
        BadLayout{"Empty", "",
                  "Layout file \"w.fig\", line 1, column 1: invalid JSON: syntax "
                  "error while parsing value - unexpected end of input; expected "
                  "'[', '{', or a literal"},
        BadLayout{"NotAFigure", R"({"Type": "axes"})",
                  "Layout file \"w.fig\": the top level must be an object with \"Type\": "
                  "\"figure\"."},
        BadLayout{"ChildrenNotAList", R"({"Type": "figure", "Children": {}})",
                  "Layout file \"w.fig\": the figure: \"Children\" must be a list of objects."},
        BadLayout{"UnknownStyle",
                  R"({"Type": "figure", "Children": [{}, {"Tag": "B", "Style": "button"}]})",
                  "Layout file \"w.fig\": child 2 (Tag \"B\"): unknown Style \"button\"."},
        BadLayout{"UnknownType", R"({"Type": "figure", "Children": [{"Type": "slider"}]})",
                  "Layout file \"w.fig\": child 1: unknown Type \"slider\"."},
        BadLayout{"UnknownProperty", R"({"Type": "figure", "Postion": [1, 2, 3, 4]})",
                  "Layout file \"w.fig\": the figure: unknown property \"Postion\"."},
        BadLayout{"ControlPropertyOnAxes",
                  R"({"Type": "figure", "Children": [{"Type": "axes", "Style": "edit"}]})",
                  "Layout file \"w.fig\": child 1: unknown property \"Style\"."},
        BadLayout{"ModelPropertyNotForLayouts",
                  R"({"Type": "figure", "Children": [{"UserData": 3}]})",
                  "Layout file \"w.fig\": child 1: unknown property \"UserData\"."},
        BadLayout{"ShortPosition", R"({"Type": "figure", "Children": [{"Position": [1, 2]}]})",
                  "Layout file \"w.fig\": child 1: Position must be four numbers [left bottom "
                  "width height]."},
        BadLayout{"NegativeSize", R"({"Type": "figure", "Position": [1, 2, -3, 4]})",
                  "Layout file \"w.fig\": the figure: Position must not have a negative width "
                  "or height."},
        BadLayout{"BadOnOff", R"({"Type": "figure", "Children": [{"Enable": "yes"}]})",
                  "Layout file \"w.fig\": child 1: Enable must be \"on\" or \"off\"."},
        BadLayout{"BadUnits", R"({"Type": "figure", "Units": "furlongs"})",
                  "Layout file \"w.fig\": the figure: Units must be \"pixels\", \"normalized\", "
                  "\"characters\", \"points\", \"inches\" or \"centimeters\"."},
        BadLayout{"NumberAsText", R"({"Type": "figure", "Children": [{"Value": "1"}]})",
                  "Layout file \"w.fig\": child 1: Value must be a number."},
        BadLayout{"StringOfNumbers", R"({"Type": "figure", "Children": [{"String": [1, 2]}]})",
                  "Layout file \"w.fig\": child 1: String must be a text or a list of texts."},
        BadLayout{"BadColour", R"({"Type": "figure", "Color": "purplish"})",
                  "Layout file \"w.fig\": the figure: Color must be [red green blue] in 0..1 or "
                  "a colour name."},
        BadLayout{"CallbackAsText",
                  R"({"Type": "figure", "Children": [{"Tag": "C", "Callback": "Load"}]})",
                  "Layout file \"w.fig\": child 1 (Tag \"C\"): Callback must be a list of texts: "
                  "a function name, then its arguments."},
        BadLayout{"EmptyCallback", R"({"Type": "figure", "Children": [{"Callback": []}]})",
                  "Layout file \"w.fig\": child 1: Callback must be a list of texts: a function "
                  "name, then its arguments."},
        BadLayout{"RejectedCallback",
                  R"({"Type": "figure", "Children": [{"Tag": "F", "Callback": ["foo", "x"]}]})",
                  "Layout file \"w.fig\": child 1 (Tag \"F\"): Callback: no callable function "
                  "named \"foo\"."}),
    [](const testing::TestParamInfo<BadLayout>& i) { return i.param.name; });

TEST(LayoutFile, FailsForAFileThatCannotBeRead) {
  namespace fs = std::filesystem;
  Graphics gfx;
  const test_support::ScratchDir scratch;
  const fs::path& dir = scratch.path();
  std::string missing = (dir / "missing.fig").string();
  EXPECT_EQ(failure_text([&] { hgload(gfx, missing); }),
            "Layout file \"" + missing + "\" cannot be read.");
  // A directory is not a layout file either.
  EXPECT_EQ(failure_text([&] { hgload(gfx, dir.string()); }),
            "Layout file \"" + dir.string() + "\" cannot be read.");
  std::ofstream(dir / "ok.fig") << R"({"Type": "figure", "Name": "from disk"})";
  Handle fig = hgload(gfx, (dir / "ok.fig").string());
  EXPECT_EQ(gfx.get(fig, "Name"), Value("from disk"));
  EXPECT_EQ(gfx.get(fig, "FileName"), Value((dir / "ok.fig").string()));
}

}  // namespace
}  // namespace qiv
