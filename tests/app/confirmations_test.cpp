// The sentences in the status bar after an action wrote a file or changed the protocol: one
// working session through every such action, with the exact text and the window it goes to.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "app/click.h"
#include "app/session_script.h"
#include "platform/headless_ui.h"
#include "support/files.h"

namespace qiv {
namespace {
namespace fs = std::filesystem;

struct Step {
  const char* set_tag;   // a control whose String is set first, or nullptr
  const char* set_text;  //
  const char* answer;    // the next file dialog's answer(s), "|" between; "" for none
  const char* press;     // the control pressed
  const char* expected;  // the last confirmation; "" when the action must confirm nothing
};

// A session in the order a user works; each row builds on the rows before it.
const Step kSession[] = {
    {nullptr, "", "leaves.txt", "Load", "Loaded leaves.txt: 30 specimens, 12 landmarks"},
    {nullptr, "", "", "NewProto", "New protocol: no lines yet"},
    {"EndBox1", "3", "", "AddLine", "Added line 1: 3\u20132"},  // the second box shows 2
    {"EndBox2", "12", "", "AddLine", "Added line 2: 3\u201312"},
    {nullptr, "", "", "AddLine", ""},  // already in the protocol: a message box only
    {nullptr, "", "mine.txt", "SaveProtocol", "Saved mine.txt: 2 lines"},
    {nullptr, "", "cancel", "SaveProtocol", ""},
    {"ActivePointBox", "1", "", "DeleteLine", "Deleted line 1"},
    {nullptr, "", "mine.txt", "SaveProtocol", "Saved mine.txt: 1 line"},
    {nullptr, "", "mine.txt", "LoadProto", "Loaded mine.txt: 1 line"},
    {nullptr, "", "protocol.txt", "LoadProto", "Loaded protocol.txt: 8 lines"},
    {nullptr, "", "lengths.csv", "SaveLengths", "Saved lengths to lengths.csv: 30 specimens"},
    {nullptr, "", "picture.png", "SaveBigImage", "Saved picture.png"},
    {nullptr, "", "", "CopyBigImage", "Copied the picture to the clipboard"},
    {nullptr, "", "", "MakeSubset", ""},
    {"SubsetBox", "1 5 7", "subset.txt", "SaveSubset",
     "Saved subset.txt: 30 specimens, 3 landmarks"},
    {nullptr, "", "", "DoBackReflect", ""},
    {"MidBox", "1 7", "", "MidlineReflect", ""},
    {nullptr, "", "reflected.tps", "SaveReflected", "Saved reflected.tps: 30 specimens"},
    {nullptr, "", "", "CreateTarget", ""},
    {nullptr, "", "blocks.txt", "LoadBlock", "Loaded blocks.txt: 2 blocks, 8 lines"},
    {nullptr, "", "b2.txt|m.txt", "SaveMatrix", "Saved blocks b2.txt and matrix m.txt"},
    {nullptr, "", "cancel|m2.txt", "SaveMatrix", "Saved matrix m2.txt"},
    {nullptr, "", "b3.txt|cancel", "SaveMatrix", "Saved blocks b3.txt"},
    {nullptr, "", "m.csv", "SaveMatrixCSV", "Saved matrix m.csv"},
    {"PermBox", "99", "report.txt", "TestModularity", "Saved report.txt"},
    {nullptr, "", "", "ClearTarget", "Started again: no protocol and no blocks"},
    {"MaxBlockBox", "2", "", "SetBlocks", ""},
    {nullptr, "", "protocol.txt", "LoadProtoButton", "Loaded protocol.txt: 8 lines"},
    {nullptr, "", "", "Clear", "Cleared the data and the protocol"},
};

class Confirmations : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"leaves.txt", "protocol.txt", "blocks.txt"})
      fs::copy_file(test_support::example(f), dir_ / f);
    fs::current_path(dir_);
    // Pictures are drawn by the windows' painter; here any bytes will do.
    ui_.set_file_writer([](Graphics&, Handle, const std::string& path, const PictureOptions*) {
      std::ofstream(path) << "picture";
    });
    app_.start();
  }
  Handle tagged(const char* tag) {
    auto found = app_.gfx.findobj_tag(tag);
    return found.size() == 1 ? found[0] : kNoHandle;
  }

  test_support::ScratchDir scratch_;
  const fs::path dir_ = scratch_.path();
  HeadlessUi ui_;
  Application app_{ui_};
};

TEST_F(Confirmations, EachWriteAndProtocolChangeSaysWhatItDidInItsWindow) {
  std::vector<std::string> suggested;  // each save dialog's first suggestion, in order
  for (const Step& s : kSession) {
    SCOPED_TRACE(s.press);
    ui_.clear_records();
    if (s.set_tag) app_.gfx.set(tagged(s.set_tag), "String", Value(s.set_text));
    std::string answers = s.answer;
    while (!answers.empty()) {
      const std::size_t bar = answers.find('|');
      const std::string a = answers.substr(0, bar);
      a == "cancel" ? ui_.answer_cancel() : ui_.answer_path(a);
      answers = bar == std::string::npos ? "" : answers.substr(bar + 1);
    }
    const Handle button = tagged(s.press);
    ASSERT_NE(button, kNoHandle);
    run_callback(app_.ctx, button);
    for (const auto& d : ui_.dialogs())
      if (d.save && std::find(suggested.begin(), suggested.end(), d.suggested) == suggested.end())
        suggested.push_back(d.suggested);
    EXPECT_EQ(ui_.pending_answers(), 0u);
    if (*s.expected == '\0') {
      EXPECT_TRUE(ui_.statuses().empty()) << ui_.statuses().front().text;
      continue;
    }
    EXPECT_TRUE(ui_.messages().empty()) << ui_.messages().front();
    ASSERT_FALSE(ui_.statuses().empty());
    EXPECT_EQ(ui_.statuses().back().text, s.expected);
    EXPECT_EQ(ui_.statuses().back().figure, app_.gfx.figure_of(button))
        << "in the window of the pressed button";
  }
  // Confirmations are never console lines: scripts print exactly what they printed before.
  EXPECT_TRUE(ui_.console_lines().empty());
  EXPECT_EQ(suggested, (std::vector<std::string>{
                           "leaves_protocol.txt", "leaves_lengths.csv", "leaves_picture.pdf",
                           "leaves_subset.tps", "leaves_reflected.tps", "leaves_blocks.txt",
                           "leaves_target.txt", "leaves_target.csv", "leaves_modularity.csv"}));
}

TEST_F(Confirmations, ACallByNameConfirmsInTheCurrentFigure) {
  ui_.answer_path("leaves.txt");
  app_.action("Load");
  ASSERT_EQ(ui_.statuses().size(), 1u);
  EXPECT_EQ(ui_.statuses()[0].figure, app_.gfx.current_figure());
}

TEST_F(Confirmations, TheLoadedFileIsKeptForTheTitleAndForgottenByClear) {
  EXPECT_FALSE(app_.state.datafile.has_value());
  app_.load_file("leaves.txt");
  EXPECT_EQ(app_.state.datafile, std::optional<std::string>("leaves.txt"));
  // A refused file leaves the loaded one.
  std::ofstream("bad.txt") << "not numbers\n";
  app_.load_file("bad.txt");
  EXPECT_EQ(app_.state.datafile, std::optional<std::string>("leaves.txt"));
  app_.action("Clear");
  EXPECT_FALSE(app_.state.datafile.has_value());
}

}  // namespace
}  // namespace qiv
