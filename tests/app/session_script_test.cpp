#include "app/session_script.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/application.h"
#include "app/click.h"
#include "base/failure.h"
#include "support/files.h"

namespace qiv {
namespace {
namespace fs = std::filesystem;

TEST(ScriptWords, SplitAtBlanksAndKeepQuotedBlanks) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"press Load", {"press", "Load"}},
      {"  call \t qivprotosw   Load  ", {"call", "qivprotosw", "Load"}},
      {"answer \"my data/leaves 2.txt\"", {"answer", "my data/leaves 2.txt"}},
      {"call f \"\" x", {"call", "f", "", "x"}},
      {"set a\"b c", {"set", "a\"b", "c"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(script_words(c.line), c.words) << c.line;
}

TEST(ScriptWords, QuotingErrors) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"answer \"no end", "unterminated quote"},
      {"answer \"a\"b", "a closing quote must end its word"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(test_support::failure_text([&] { script_words(c.line); }), c.message) << c.line;
  }
}

TEST(ScriptText, EscapesAndValues) {
  EXPECT_EQ(unescape_script_text(R"(1 2\n3 4)"), "1 2\n3 4");
  EXPECT_EQ(unescape_script_text(R"(a\\nb)"), "a\\nb");
  EXPECT_EQ(unescape_script_text(R"(C:\temp\)"), "C:\\temp\\");
  EXPECT_EQ(unescape_script_text(R"(\\\n)"), "\\\n");

  EXPECT_EQ(script_value_text(Value("two\nlines")), "two\\nlines");
  EXPECT_EQ(script_value_text(Value(row({0.1, -2, 1e20}))), "0.10000000000000001 -2 1e+20");
  EXPECT_EQ(script_value_text(Value(Matrix())), "");
  EXPECT_EQ(script_value_text(Value(List{Value("a"), Value("b c")})), "a\\nb c");
  EXPECT_EQ(script_value_text(Value()), "");
}

// Runs scripts in a fresh directory; the layouts come from the program's folder.
class Script : public testing::Test {
 protected:
  int run(const std::string& text, HeadlessUi::Painter painter = {},
          HeadlessUi::FileWriter writer = {}) {
    out_.str("");
    err_.str("");
    return run_script_text(text, out_, err_, std::move(painter), std::move(writer));
  }

  test_support::ScratchDir scratch_{true};  // made current
  const fs::path dir_ = scratch_.path();
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(Script, SetAndPrintControls) {
  EXPECT_EQ(run("# comment\n"
                "\n"
                "   # indented comment\n"
                "set EndBox1 String 7\n"
                "print EndBox1 String\n"
                "set FileBox String two\\nlines\n"
                "print FileBox String\n"
                "set EndBox2 String  starts with a blank\n"
                "print EndBox2 String\n"
                "set EndBox2 String\n"
                "print EndBox2 String\n"
                "set NumberRequest Value 1\n"
                "print NumberRequest Value\n"
                "print \"ProtoPointBox\" String\n"
                "set ShowProto String Redraw\r\n"
                "print ShowProto String\n"),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "7\n"
            "two\\nlines\n"
            " starts with a blank\n"
            "\n"
            "1\n"
            "0\n"
            "Redraw\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(Script, MalformedStepsStopWithLineNumberAndStatusOne) {
  struct Case {
    const char* script;
    const char* err;
  };
  const Case cases[] = {
      {"\nfrobnicate x", "script: line 2: unknown step \"frobnicate\"\n"},
      {"press NoSuchButton", "script: line 1: no object is tagged \"NoSuchButton\"\n"},
      {"print NoSuch String", "script: line 1: no object is tagged \"NoSuch\"\n"},
      {"set FileBox", "script: line 1: usage: set TAG PROP TEXT\n"},
      {"press", "script: line 1: usage: press TAG\n"},
      {"press a b", "script: line 1: usage: press TAG\n"},
      {"cd", "script: line 1: usage: cd DIR\n"},
      {"cd no/such/dir", "script: line 1: cannot change to the directory \"no/such/dir\"\n"},
      {"answer", "script: line 1: usage: answer PATH..., or answer cancel\n"},
      {"answer a.txt b.txt\npress SaveBigImage",
       "script: line 1: answer gives several files to a dialog that takes one\n"},
      {"call", "script: line 1: usage: call NAME ARG...\n"},
      {"print FileBox", "script: line 1: usage: print TAG PROP\n"},
      {"print FileBox Colour",
       "script: line 1: the object tagged \"FileBox\" has no property "
       "\"Colour\"\n"},
      {"set NumberRequest Value one", "script: line 1: \"one\" is not a number\n"},
      {"set NumberRequest Visible maybe",
       "script: line 1: Bad value for the property Visible: use \"on\" or \"off\".\n"},
      {"press FileBox", "script: line 1: the control \"FileBox\" has no callback\n"},
      {"state nothing", "script: line 1: There is no member nothing in the shared state.\n"},
      {"state", "script: line 1: usage: state MEMBER\n"},
      {"save-figure a.png", "script: line 1: Pictures cannot be drawn in this run.\n"},
      {"clipboard a.svg", "script: line 1: nothing was copied to the clipboard\n"},
      {"clipboard a.jpg",
       "script: line 1: the clipboard picture is written as .svg or .png, not \"a.jpg\"\n"},
      {"answer \"open", "script: line 1: unterminated quote\n"},
      {"picture-options", "script: line 1: usage: picture-options KEY=VALUE...\n"},
      {"picture-options width", "script: line 1: \"width\" is not KEY=VALUE\n"},
      {"picture-options colour=red",
       "script: line 1: There is no picture option \"colour\": the options are width, dpi, font, "
       "axes and label.\n"},
      {"picture-options dpi=300 width=19.9",
       "script: line 1: The picture's width must be from 20 to 500 mm, not 19.9.\n"},
      {"picture-options dpi=1201",
       "script: line 1: The picture's resolution must be from 72 to 1200 dpi, not 1201.\n"},
      {"picture-options font=3",
       "script: line 1: The picture's font size must be from 4 to 24 points, not 3.\n"},
      {"picture-options font=8pt",
       "script: line 1: Picture option font: \"8pt\" is not a number.\n"},
      {"picture-options axes=maybe",
       "script: line 1: Picture option axes is on or off, not \"maybe\".\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(std::string(c.script) + "\nprint FileBox String\n"), 1) << c.script;
    EXPECT_EQ(err_.str(), c.err) << c.script;
    EXPECT_EQ(out_.str(), "") << c.script;  // the step after the error did not run
  }
}

TEST_F(Script, PressRunsTheCallbackUnlessDisabled) {
  EXPECT_EQ(run("call qivprotosw CreateTarget\n"
                "\n"
                "press LoadProtoButton\n"
                "print LoadProtoButton Enable\n"),
            0);
  EXPECT_EQ(err_.str(),
            "script: line 3: the control \"LoadProtoButton\" is disabled; nothing ran\n");
  EXPECT_EQ(out_.str(), "off\n");
}

TEST_F(Script, PressFlipsACheckboxAndCallbacksReachTheDispatcher) {
  EXPECT_EQ(run("press NumberRequest\n"
                "print NumberRequest Value\n"
                "press NumberRequest\n"
                "print NumberRequest Value\n"
                "press MakeSubset\n"
                "state menufigh\n"
                "call qivprotosw Fell\n"
                "call Qiv_proto pushbutton12_Callback a b c\n"
                "call nosuchfunction\n"
                "state figdir\n"),
            0)
      << err_.str();
  // Start-up opens the main window first; its handle, and then the subset window's, follow
  // from the order in which the program creates objects.
  std::istringstream lines(out_.str());
  std::string line;
  std::vector<std::string> got;
  while (std::getline(lines, line)) got.push_back(line);
  ASSERT_EQ(got.size(), 7u) << out_.str();
  EXPECT_EQ(got[0], "1");
  EXPECT_EQ(got[1], "0");
  EXPECT_NE(got[2], "<no value>");
  EXPECT_EQ(got[3], "msgbox: Fell through case");
  EXPECT_EQ(got[4], "pushbutton12 Callback not implemented yet.");
  EXPECT_EQ(got[5], "Run-time Error: No function named \"nosuchfunction\" exists.");
  EXPECT_EQ(got[6], fs::current_path().string());
}

TEST(RunCallback, RunsTheWordsAsAClickDoes) {
  HeadlessUi ui;
  Application app(ui);
  Handle clicked_window = app.gfx.new_figure();
  Handle button = app.gfx.new_uicontrol(clicked_window);
  Handle other = app.gfx.new_figure();
  Handle seen_current = kNoHandle, seen_object = kNoHandle;
  Args seen_args;
  app.rt.add("probe", kAnyCount, 0, [&](const Args& in, int) {
    seen_current = app.gfx.current_figure();
    seen_object = app.gfx.callback_object();
    seen_args = in;
    return Outputs{};
  });
  app.gfx.set(button, "Callback", Value(List{Value("probe"), Value("a"), Value("b c")}));
  ASSERT_EQ(app.gfx.current_figure(), other);
  run_callback(app.ctx, button);
  EXPECT_EQ(seen_current, clicked_window);
  EXPECT_EQ(seen_object, button);
  EXPECT_EQ(seen_args, (Args{Value("a"), Value("b c")}));
  EXPECT_EQ(app.gfx.callback_object(), kNoHandle);

  // Failures end at the console; a control without a callback does nothing.
  app.gfx.set(button, "Callback", Value(List{Value("nosuch")}));
  run_callback(app.ctx, button);
  ASSERT_EQ(ui.console_lines().size(), 1u);
  EXPECT_EQ(ui.console_lines()[0], "Run-time Error: No function named \"nosuch\" exists.");
  app.gfx.set(button, "Callback", Value(List{}));
  app.gfx.figure(other);
  run_callback(app.ctx, button);
  EXPECT_EQ(app.gfx.current_figure(), other);
}

TEST_F(Script, DialogAnswersAndDirectories) {
  fs::create_directories("data/more");
  EXPECT_EQ(run("cd data\n"
                "cd more\n"
                "answer ../protocol.txt\n"
                "answer cancel\n"
                "answer \"with blank.txt\"\n"
                "call mfload 1\n"),
            1);
  // The script's cd steps do not outlive the run.
  EXPECT_EQ(fs::current_path(), dir_);
  // The call opened one dialog; the two answers after the first were for nothing.
  EXPECT_EQ(err_.str(), "script: line 4: answer not used by this step\n");
}

TEST_F(Script, SaveFigureUsesTheWriterForTheMainWindow) {
  Handle drawn = kNoHandle;
  std::string path;
  auto writer = [&](Graphics& g, Handle fig, const std::string& p, const PictureOptions* page) {
    EXPECT_EQ(page, nullptr) << "the window as it is, not a page";
    drawn = fig;
    path = p;
    EXPECT_EQ(g.get(fig, "Name"), Value("Landmark subset"));
  };
  // Without data loaded the main window is not known yet (figh has no value): the current
  // figure is drawn, here the subset window.
  EXPECT_EQ(run("call qivprotosw MakeSubset\nsave-figure out/pic.png\n", {}, writer), 0)
      << err_.str();
  EXPECT_NE(drawn, kNoHandle);
  EXPECT_EQ(path, (dir_ / "out/pic.png").string());

  auto failing = [](Graphics&, Handle, const std::string&, const PictureOptions*) {
    throw Failure("disk full");
  };
  EXPECT_EQ(run("save-figure pic.svg\n", {}, failing), 1);
  EXPECT_EQ(err_.str(), "script: line 1: disk full\n");
}

TEST_F(Script, MissingScriptFile) {
  std::ostringstream out, err;
  EXPECT_EQ(run_script("no_such.qiv", out, err), 1);
  EXPECT_EQ(err.str(), "script: cannot read \"no_such.qiv\"\n");
  std::ofstream("ok.qiv") << "print ProtoPointBox String\n";
  EXPECT_EQ(run_script("ok.qiv", out, err), 0);
  EXPECT_EQ(out.str(), "0\n");
}

TEST_F(Script, StartUpFailureIsAScriptError) {
  std::ofstream("Qiv_proto.fig") << "{ broken";
  EXPECT_EQ(run("print FileBox String\n"), 1);
  EXPECT_EQ(err_.str(),
            "script: start-up failed: Layout file \"Qiv_proto.fig\", line 1, column 3: invalid "
            "JSON: syntax error while parsing object key - invalid literal; last read: '{ b'; "
            "expected string literal\n");
}

}  // namespace
}  // namespace qiv
