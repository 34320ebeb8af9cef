#include "target/target_files.h"

#include <gtest/gtest.h>

namespace qiv {
namespace {

// The worked example: proto.txt of 4 lines, blocks (1, 2) and (3), saved as blocks.txt.
const BlockList kExample{{1, 2}, {3}};

TEST(TargetFiles, WorkedExampleBlockStructureFile) {
  EXPECT_EQ(block_structure_text("proto.txt", kExample, 2),
            "proto.txt \n"
            " 1  2 \n"
            " 3 \n");
}

TEST(TargetFiles, WorkedExampleTargetMatrixFile) {
  Matrix t = build_target_matrix(4, kExample, 2);
  EXPECT_EQ(target_matrix_text("proto.txt", "blocks.txt", kExample, 2, t),
            "The Protocol File used was proto.txt \n"
            "The Block Structure Files was blocks.txt blocks { 1  2  },{  3  },{ \n"
            " 1  1  0  0  \n"
            " 1  1  0  0  \n"
            " 0  0  1  0  \n"
            " 0  0  0  1  \n");
}

TEST(TargetFiles, EmptyBlocksWriteOneBlank) {
  const BlockList blocks{{}, {2}, {}};
  EXPECT_EQ(block_structure_text("p.txt", blocks, 3), "p.txt \n \n 2 \n \n");
  Matrix t = build_target_matrix(2, blocks, 3);
  EXPECT_EQ(target_matrix_text("p.txt", "b.txt", blocks, 3, t),
            "The Protocol File used was p.txt \n"
            "The Block Structure Files was b.txt blocks {  },{  2  },{   },{ \n"
            " 1  0  \n"
            " 0  1  \n");
}

TEST(TargetFiles, NoBlocksGiveTheIdentity) {
  const BlockList none;
  EXPECT_EQ(block_structure_text("p.txt", none, 0), "p.txt \n");
  Matrix t = build_target_matrix(3, none, 0);
  EXPECT_TRUE(t.isApprox(Matrix::Identity(3, 3)));
  EXPECT_EQ(target_matrix_text("p.txt", "b.txt", none, 0, t),
            "The Protocol File used was p.txt \n"
            "The Block Structure Files was b.txt blocks {\n"
            " 1  0  0  \n"
            " 0  1  0  \n"
            " 0  0  1  \n");
}

TEST(TargetFiles, MatrixJoinsLinesOfEachBlockOnly) {
  struct Case {
    const char* name;
    BlockList blocks;
    long long nblocks;
    std::vector<std::pair<int, int>> ones;  // 1-based pairs besides the diagonal
  };
  const Case cases[] = {
      {"a line in two blocks", {{1, 2}, {2, 3}}, 2, {{1, 2}, {2, 3}}},
      {"blocks above nblocks left out", {{1, 2}, {3, 4}}, 1, {{1, 2}}},
      {"order and repeats do not matter", {{4, 1, 4}}, 1, {{1, 4}}},
      {"fewer blocks stored than nblocks", {{2, 3}}, 3, {{2, 3}}},
  };
  for (const Case& c : cases) {
    Matrix expected = Matrix::Identity(4, 4);
    for (auto [p, q] : c.ones) expected(p - 1, q - 1) = expected(q - 1, p - 1) = 1;
    EXPECT_EQ(build_target_matrix(4, c.blocks, c.nblocks), expected) << c.name;
  }
}

TEST(TargetFiles, BlocksAboveTheCountAreNotWritten) {
  const BlockList blocks{{1}, {2}, {3}};
  EXPECT_EQ(block_structure_text("p.txt", blocks, 2), "p.txt \n 1 \n 2 \n");
  Matrix t = build_target_matrix(3, blocks, 2);
  EXPECT_EQ(target_matrix_text("p.txt", "", blocks, 2, t),
            "The Protocol File used was p.txt \n"
            "The Block Structure Files was  blocks { 1  },{  2  },{ \n"
            " 1  0  0  \n"
            " 0  1  0  \n"
            " 0  0  1  \n");
}

TEST(TargetFiles, FindsTheFirstNumberThatIsNotALine) {
  struct Case {
    const char* name;
    BlockList blocks;
    long long nblocks;
    std::optional<std::pair<long long, double>> bad;
  };
  const Case cases[] = {
      {"all lines", {{1, 4}, {2}}, 2, std::nullopt},
      {"above m", {{1}, {2, 5}}, 2, std::pair{2LL, 5.0}},
      {"zero", {{0}}, 1, std::pair{1LL, 0.0}},
      {"fraction", {{1.5}}, 1, std::pair{1LL, 1.5}},
      {"negative", {{2, -3}}, 1, std::pair{1LL, -3.0}},
      {"bad block above nblocks ignored", {{1}, {9}}, 1, std::nullopt},
      {"first bad block wins", {{7}, {8}}, 2, std::pair{1LL, 7.0}},
  };
  for (const Case& c : cases) {
    auto bad = find_bad_line(c.blocks, c.nblocks, 4);
    ASSERT_EQ(bad.has_value(), c.bad.has_value()) << c.name;
    if (bad) {
      EXPECT_EQ(bad->block, c.bad->first) << c.name;
      EXPECT_EQ(bad->value, c.bad->second) << c.name;
    }
  }
}

TEST(TargetFiles, ReadsBlockStructureFiles) {
  struct Case {
    const char* name;
    const char* content;
    const char* protoname;
    BlockList blocks;
  };
  const Case cases[] = {
      {"worked example", "proto.txt \n 1  2 \n 3 \n", "proto.txt", {{1, 2}, {3}}},
      {"empty blocks", "p.txt \n \n 2 \n \n", "p.txt", {{}, {2}, {}}},
      {"first line only", "p.txt \n", "p.txt", {}},
      {"no final line end", "p.txt \n 4 5", "p.txt", {{4, 5}}},
      {"name holding a blank", "my proto.txt \n 1 \n", "my proto.txt", {{1}}},
      {"CR LF line ends", "p.txt \r\n 1  2 \r\n", "p.txt", {{1, 2}}},
      {"zeros and words kept as read", "p.txt\n1 0 2\nabc\n", "p.txt", {{1, 0, 2}, {}}},
      {"blank first line", " \n 1 \n", "", {{1}}},
  };
  for (const Case& c : cases) {
    auto read = parse_block_structure(c.content);
    ASSERT_TRUE(read) << c.name;
    EXPECT_EQ(read->protoname, c.protoname) << c.name;
    EXPECT_EQ(read->blocks, c.blocks) << c.name;
  }
  EXPECT_FALSE(parse_block_structure(""));
}

TEST(TargetFiles, WrittenFilesReadBackTheSame) {
  const BlockList blocks{{3, 1}, {}, {2, 2, 4}};
  auto read = parse_block_structure(block_structure_text("a b.txt", blocks, 3));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->protoname, "a b.txt");
  EXPECT_EQ(read->blocks, blocks);
}

}  // namespace
}  // namespace qiv
