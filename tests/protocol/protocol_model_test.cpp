// The protocol value: its two empty forms, the duplicate test, row edits and the file text.
#include "protocol/protocol_model.h"

#include <gtest/gtest.h>

#include "protocol/protocol_fixture.h"

namespace qiv {
namespace {

TEST(ProtocolModel, EmptyFormsHaveNoLines) {
  struct Case {
    const char* name;
    Protocol proto;
    bool empty;
    Eigen::Index lines;
  };
  const Case cases[] = {
      {"marker", Protocol::started(), true, 0},
      {"no rows", Protocol(), true, 0},
      {"marker in row 1 only counts by column 1", proto_of({{-1, 4, 5}, {2, 1, 2}}), true, 0},
      {"one line", proto_of({{1, 1, 1}}), false, 1},
      {"marker in a later row is an ordinary row", proto_of({{1, 1, 2}, {-1, -1, -1}}), false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.proto.empty(), c.empty);
    EXPECT_EQ(c.proto.count(), c.lines);
  }
}

TEST(ProtocolModel, HasLineIgnoresOrientationAndTheEmptyMarker) {
  const Protocol p = proto_of({{1, 1, 2}, {2, 9, 5}, {3, 7, 7}});
  struct Case {
    double a, b;
    bool present;
  };
  const Case cases[] = {{1, 2, true}, {2, 1, true},  {5, 9, true},  {9, 5, true},
                        {7, 7, true}, {1, 9, false}, {2, 9, false}, {5, 5, false}};
  for (const Case& c : cases) EXPECT_EQ(p.has_line(c.a, c.b), c.present) << c.a << "-" << c.b;
  EXPECT_FALSE(Protocol::started().has_line(-1, -1));
  EXPECT_FALSE(Protocol().has_line(1, 2));
}

TEST(ProtocolModel, PutLineReplacesOrAppends) {
  Protocol p = Protocol::started();
  p.put(0, {1, 5, 9});
  EXPECT_EQ(p, proto_of({{1, 5, 9}}));
  p.put(1, {2, 3, 4});
  EXPECT_EQ(p, proto_of({{1, 5, 9}, {2, 3, 4}}));
  p.put(0, {1, 6, 6});
  EXPECT_EQ(p, proto_of({{1, 6, 6}, {2, 3, 4}}));
  Protocol none;
  none.put(0, {1, 2, 3});
  EXPECT_EQ(none, proto_of({{1, 2, 3}}));
}

TEST(ProtocolModel, FileTextWritesWholeNumbersAsIntegers) {
  EXPECT_EQ(protocol_file_text(proto_of({{-0.0, 1, 2}})), "0 1 2 \n") << "no minus zero";
  EXPECT_EQ(protocol_file_text(proto_of({{1e20, 1, 2}})), "100000000000000000000 1 2 \n");
  EXPECT_EQ(protocol_file_text(proto_of({{2, 7, 12}})), "2 7 12 \n");
}

}  // namespace
}  // namespace qiv
