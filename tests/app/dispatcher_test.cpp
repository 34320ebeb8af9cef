#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/command_line.h"
#include "app/qiv_proto.h"
#include "app/qivprotosw.h"
#include "platform/headless_ui.h"

namespace qiv {
namespace {

struct Declared {
  const char* name;
  int in;
  int out;
};

// The table of callable functions with the counts each declares (-1: a variable list).
const Declared kTable[] = {
    {"Qiv_proto", -1, -1}, {"qivprotosw", 1, 0}, {"CopyBigImage", 1, 0}, {"guidata", 2, 1},
    {"guihandles", 1, 1},  {"openfig", 2, 1},    {"basereg", 3, 1},      {"centsize2", 1, 1},
    {"cla", -1, 1},        {"dload", 1, 1},      {"getconsensus", 1, 2}, {"mfload", 1, 2},
    {"showshape", 2, 1},   {"ylabel", -1, 1},    {"isvarname", 1, 1},    {"movegui", -1, 0},
    {"centpos", 1, 1},     {"centsize", 1, 1},   {"iskeyword", 1, 1},    {"SaveBigImage", 1, 0},
};

std::string expected(const std::string& name, bool outputs, int n) {
  return "Run-time Error: File: " + name + " Line: 1 Column: 1 The function \"" + name +
         "\" was called with more than the declared number of " + (outputs ? "outputs" : "inputs") +
         " (" + std::to_string(n) + ").";
}

TEST(CallableTable, EveryEntryChecksItsDeclaredCounts) {
  HeadlessUi ui;
  Application app(ui);
  EXPECT_EQ(app.rt.names().size(), std::size(kTable));
  for (const Declared& d : kTable) {
    const Callable* c = app.rt.find(d.name);
    ASSERT_NE(c, nullptr) << d.name;
    EXPECT_EQ(c->max_in, d.in) << d.name;
    EXPECT_EQ(c->max_out, d.out) << d.name;
    ui.clear_records();
    if (d.out >= 0) {
      // Too many outputs, and too many inputs as well: the outputs check comes first.
      Args in(static_cast<std::size_t>(std::max(d.in, 0) + 1), Value("1"));
      app.call(d.name, in, d.out + 1);
      ASSERT_EQ(ui.console_lines().size(), 1u) << d.name;
      EXPECT_EQ(ui.console_lines()[0], expected(d.name, true, d.out));
    }
    ui.clear_records();
    if (d.in >= 0) {
      Args in(static_cast<std::size_t>(d.in + 1), Value("1"));
      app.call(d.name, in, 0);
      ASSERT_EQ(ui.console_lines().size(), 1u) << d.name;
      EXPECT_EQ(ui.console_lines()[0], expected(d.name, false, d.in));
    }
  }
}

TEST(Dispatcher, TableHoldsTheFortyOneActionsInOrder) {
  const auto& t = action_table();
  EXPECT_STREQ(t[0].name, "SetHome");
  EXPECT_STREQ(t[1].name, "Load");
  EXPECT_STREQ(t[20].name, "DoBackReflect");
  EXPECT_STREQ(t[39].name, "LoadBlock");
  EXPECT_STREQ(t[40].name, "ClearTarget");
  for (std::size_t i = 0; i < t.size(); ++i)
    for (std::size_t j = i + 1; j < t.size(); ++j) EXPECT_STRNE(t[i].name, t[j].name);
}

TEST(Dispatcher, UnmatchedNamesFallThroughAndChangeNothing) {
  HeadlessUi ui;
  Application app(ui);
  for (const char* name : {"load", "Load ", "Fell", "", "LOAD"}) {
    ui.clear_records();
    app.action(name);
    ASSERT_EQ(ui.messages().size(), 1u) << name;
    EXPECT_EQ(ui.messages()[0], "Fell through case");
    EXPECT_FALSE(app.state.data || app.state.figdir || app.state.figh) << name;
  }
}

TEST(Dispatcher, SetHomeRecordsTheCurrentDirectory) {
  HeadlessUi ui;
  Application app(ui);
  app.action("SetHome");
  ASSERT_TRUE(app.state.figdir);
  EXPECT_EQ(*app.state.figdir, std::filesystem::current_path().string());
}

TEST(Dispatcher, MissingActionNameIsAFailure) {
  HeadlessUi ui;
  Application app(ui);
  app.call("qivprotosw", {}, 0);
  ASSERT_EQ(ui.console_lines().size(), 1u);
  EXPECT_EQ(ui.console_lines()[0], "The input \"action\" of qivprotosw has no value.");
  EXPECT_TRUE(ui.messages().empty());
}

TEST(QivProto, CallByNameRoutes) {
  HeadlessUi ui;
  Application app(ui);
  EXPECT_TRUE(Qiv_proto(app.ctx, {Value(5.0)}, 0).empty());
  EXPECT_TRUE(ui.console_lines().empty() && ui.messages().empty()) << "a number does nothing";
  app.call("nosuchfunction");
  app.call("pushbutton12_Callback", {Value("a"), Value("b"), Value("c")});
  app.call("edit7_Callback");
  ASSERT_EQ(ui.console_lines().size(), 3u);
  EXPECT_EQ(ui.console_lines()[0], "Run-time Error: No function named \"nosuchfunction\" exists.");
  EXPECT_EQ(ui.console_lines()[1], "pushbutton12 Callback not implemented yet.");
  EXPECT_EQ(ui.console_lines()[2], "edit7 Callback not implemented yet.");
  EXPECT_EQ(placeholder_callbacks().size(), 15u);
  Outputs out = app.call("centsize2", {Value("0 0 2 0 2 2 0 2 9")}, 1);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_DOUBLE_EQ(out[0].scalar_value(), std::sqrt(8.0));
}

TEST(CommandLine, PrintsOutputsAsDocumented) {
  Record rec{Field{"a", Value(row({1, 2}))}, Field{"b", Value("text")}};
  Matrix two(2, 2);
  two << 1, 0.5, -3, 1e-20;
  Outputs outs{Value(two), Value("hello"), Value(List{Value("x"), Value("y")}), Value(rec)};
  EXPECT_EQ(format_outputs(outs),
            "1 0.5\n-3 9.9999999999999995e-21\n\nhello\n\nx\ny\n\na: 1 2\nb: text\n");
  std::ostringstream out, err;
  EXPECT_EQ(run_command_line({"qivprotosw", "Fell"}, out, err), 0);
  EXPECT_EQ(out.str(), "msgbox: Fell through case\n");
  std::ostringstream out2;
  run_command_line({"isvarname", "End"}, out2, err);
  EXPECT_EQ(out2.str(), "1\n");
}

}  // namespace
}  // namespace qiv
