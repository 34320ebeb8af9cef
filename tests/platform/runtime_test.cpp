#include "platform/runtime.h"

#include <gtest/gtest.h>

#include "base/failure.h"
#include "support/files.h"

namespace qiv {
namespace {

using test_support::failure_text;

TEST(Runtime, ChecksOutputsBeforeInputs) {
  Runtime rt;
  int calls = 0;
  rt.add("f", 1, 0, [&](const Args&, int) {
    ++calls;
    return Outputs{};
  });
  auto message = [&](const Args& in, int nout) {
    return failure_text([&] { rt.call("f", in, nout); });
  };
  EXPECT_EQ(message({Value("a"), Value("b")}, 2),
            "Run-time Error: File: f Line: 1 Column: 1 The function \"f\" was called with more "
            "than the declared number of outputs (0).");
  EXPECT_EQ(message({Value("a"), Value("b")}, 0),
            "Run-time Error: File: f Line: 1 Column: 1 The function \"f\" was called with more "
            "than the declared number of inputs (1).");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(message({Value("a")}, 0), "(no failure)");
  EXPECT_EQ(calls, 1);
}

TEST(Runtime, UnknownNameAndInnerFunctionMessages) {
  Runtime rt;
  EXPECT_EQ(failure_text([&] { rt.call("nosuchfunction", {}, 0); }),
            "Run-time Error: No function named \"nosuchfunction\" exists.");
  EXPECT_EQ(arity_message("guidata/getParentFigure", 99, "getParentFigure", false, 1),
            "Run-time Error: File: guidata/getParentFigure Line: 99 Column: 1 The function "
            "\"getParentFigure\" was called with more than the declared number of inputs (1).");
}

TEST(Runtime, NumericArgumentsFromText) {
  Args in{Value("1 2 3"), Value("abc"), Value(row({4, 5})), Value("")};
  EXPECT_EQ(numeric_arg(in, 0, "f"), row({1, 2, 3}));
  EXPECT_EQ(numeric_arg(in, 2, "f"), row({4, 5}));
  EXPECT_EQ(numeric_arg(in, 3, "f").size(), 0);
  EXPECT_EQ(failure_text([&] { numeric_arg(in, 1, "centsize2"); }),
            "centsize2: input 2 is not a number: \"abc\".");
  EXPECT_THROW(numeric_arg(in, 9, "f"), Failure);
}

}  // namespace
}  // namespace qiv
