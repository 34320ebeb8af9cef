#include "target/target_files.h"

#include <gtest/gtest.h>

namespace qiv {
namespace {

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
