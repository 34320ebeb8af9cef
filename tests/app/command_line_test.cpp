// What the command-line words ask for, and the file named alone loaded after start-up.
#include "app/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "core/controls.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {

namespace fs = std::filesystem;
using Kind = StartRequest::Kind;

struct DecideCase {
  std::string name;
  std::vector<std::string> words;
  Kind kind;
  std::vector<std::string> request_words;
  std::string problem;
};

// Functions: "dload" and "Qiv_proto"; files: "leaves.txt", "dload" (a file that shares a
// function's name) and "-data.txt" (a file whose name looks like an option).
bool fake_function(const std::string& w) { return w == "dload" || w == "Qiv_proto"; }
bool fake_file(const std::string& w) {
  return w == "leaves.txt" || w == "dload" || w == "-data.txt";
}

class DecideStartTest : public ::testing::TestWithParam<DecideCase> {};

TEST_P(DecideStartTest, FirstWordDecides) {
  const DecideCase& c = GetParam();
  const StartRequest r = decide_start(c.words, fake_function, fake_file);
  EXPECT_EQ(r.kind, c.kind);
  EXPECT_EQ(r.words, c.request_words);
  EXPECT_EQ(r.problem, c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Words, DecideStartTest,
    ::testing::Values(
        DecideCase{"Nothing", {}, Kind::kWindows, {}, ""},
        DecideCase{"Help", {"--help"}, Kind::kHelp, {}, ""},
        DecideCase{"HelpIgnoresTheRest", {"--help", "--bogus"}, Kind::kHelp, {}, ""},
        DecideCase{"Version", {"--version"}, Kind::kVersion, {}, ""},
        DecideCase{"Script", {"--script", "demo.qiv"}, Kind::kScript, {"demo.qiv"}, ""},
        DecideCase{"ScriptWithoutFile",
                   {"--script"},
                   Kind::kWrongUse,
                   {},
                   "--script takes one SCRIPT file"},
        DecideCase{"ScriptWithTwoFiles",
                   {"--script", "a", "b"},
                   Kind::kWrongUse,
                   {},
                   "--script takes one SCRIPT file"},
        DecideCase{
            "UnknownOption", {"--verbose"}, Kind::kWrongUse, {}, "unknown option \"--verbose\""},
        DecideCase{"ShortOption", {"-h"}, Kind::kWrongUse, {}, "unknown option \"-h\""},
        DecideCase{"LoneDash", {"-"}, Kind::kWrongUse, {}, "unknown option \"-\""},
        DecideCase{"OptionBeforeFileName",
                   {"-data.txt"},
                   Kind::kWrongUse,
                   {},
                   "unknown option \"-data.txt\""},
        DecideCase{"Call", {"dload", "leaves.txt"}, Kind::kCall, {"dload", "leaves.txt"}, ""},
        DecideCase{"CallWithOptionLikeInput", {"dload", "-1"}, Kind::kCall, {"dload", "-1"}, ""},
        DecideCase{"FunctionNameWinsOverFile", {"dload"}, Kind::kCall, {"dload"}, ""},
        DecideCase{"File", {"leaves.txt"}, Kind::kOpenFile, {"leaves.txt"}, ""},
        DecideCase{
            "SeveralFiles", {"leaves.txt", "dload"}, Kind::kOpenFile, {"leaves.txt", "dload"}, ""},
        DecideCase{"FileAndMore",
                   {"leaves.txt", "missing.txt"},
                   Kind::kWrongUse,
                   {},
                   "\"missing.txt\" is no file to load; after FILE only files"},
        // Neither a function nor a file: the main function says there is no such function.
        DecideCase{"UnknownWord", {"missing.txt"}, Kind::kCall, {"missing.txt"}, ""}),
    [](const auto& info) { return info.param.name; });

TEST(CommandLine, WrongUseNamesTheProblemThenTheUsage) {
  EXPECT_EQ(wrong_use_text("unknown option \"-x\""),
            "qiv_proto: unknown option \"-x\"\n" + usage_text());
  EXPECT_EQ(usage_text().rfind("Usage: qiv_proto [FILE...]\n", 0), 0u);
}

TEST(CommandLine, TheProgramsOwnNamesAndFiles) {
  HeadlessUi ui;
  Application app(ui);
  EXPECT_TRUE(callable_by_name(app.rt, "dload"));
  EXPECT_TRUE(callable_by_name(app.rt, "pushbutton1_Callback")) << "a placeholder callback";
  EXPECT_FALSE(callable_by_name(app.rt, "leaves.txt"));

  const std::string examples = std::string(QIV_SOURCE_DIR) + "/examples";
  EXPECT_TRUE(readable_file(examples + "/leaves.txt"));
  EXPECT_FALSE(readable_file(examples)) << "a folder";
  EXPECT_FALSE(readable_file(examples + "/no such file.txt"));
  EXPECT_EQ(decide_start({examples + "/leaves.txt"}).kind, Kind::kOpenFile);
  EXPECT_EQ(decide_start({"isvarname", "x"}).kind, Kind::kCall);
}

// Runs in a scratch folder: the layouts come from the program's own folder, and "Load"
// changes the current directory to the file's.
class OpenFileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_ / "data"); }
  test_support::ScratchDir scratch_{true};  // made current
  const fs::path dir_ = scratch_.path();
};

TEST_F(OpenFileTest, FileIsLoadedAsTheLoadActionLoadsIt) {
  fs::copy_file(test_support::example("leaves.txt"), dir_ / "data" / "leaves.txt");
  std::ostringstream out, err;
  HeadlessUi ui(&out, &err);
  Application app(ui);
  begin_run(app, {Kind::kOpenFile, {"data/leaves.txt"}, {}}, out);

  EXPECT_EQ(control_text(app.ctx, "FileBox"), "File: leaves.txt \n  30 Specimens \n  12 Landmarks");
  ASSERT_TRUE(app.state.data.has_value());
  EXPECT_EQ(app.state.data->rows(), 30);
  ASSERT_TRUE(app.state.reference.has_value());
  EXPECT_EQ(fs::current_path(), fs::canonical(dir_ / "data"))
      << "as after choosing it in the dialog";
  EXPECT_TRUE(ui.dialogs().empty()) << "no dialog was shown";
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");

  // The next "Load" asks again: the file answered one dialog only.
  app.action("Load");
  EXPECT_EQ(ui.dialogs().size(), 1u);
  EXPECT_EQ(app.state.data->rows(), 30) << "the cancelled dialog changed nothing";
}

TEST_F(OpenFileTest, LoadsRefusalLeavesTheStartedProgram) {
  std::ofstream(dir_ / "data" / "odd.txt") << "1 2 3 4\n";
  std::ostringstream out, err;
  HeadlessUi ui(&out, &err);
  Application app(ui);
  begin_run(app, {Kind::kOpenFile, {"data/odd.txt"}, {}}, out);

  EXPECT_EQ(out.str(),
            "msgbox: Cannot load odd.txt: line 1 has 4 numbers; a landmark file has x and y of "
            "each landmark, then the centroid size, an odd count of at least 3.\n");
  EXPECT_FALSE(app.state.data.has_value());
  EXPECT_EQ(control_text(app.ctx, "FileBox"), "No file loaded");
  EXPECT_EQ(fs::current_path(), fs::canonical(dir_)) << "the folder is kept";
}

TEST_F(OpenFileTest, CallPrintsItsOutputs) {
  std::ostringstream out;
  HeadlessUi ui(&out);
  Application app(ui);
  begin_run(app, {Kind::kCall, {"isvarname", "x1"}, {}}, out);
  EXPECT_EQ(out.str(), "1\n");
  EXPECT_TRUE(app.gfx.findobj_tag("FileBox").empty()) << "a call by name opens no window";
}

}  // namespace
}  // namespace qiv
