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
    std::size_t bad_line = 0;  // the line holding more than numbers, if any
    const char* bad_text = "";
  };
  const Case cases[] = {
      {"worked example", "proto.txt \n 1  2 \n 3 \n", "proto.txt", {{1, 2}, {3}}},
      {"empty blocks", "p.txt \n \n 2 \n \n", "p.txt", {{}, {2}, {}}},
      {"first line only", "p.txt \n", "p.txt", {}},
      {"no final line end", "p.txt \n 4 5", "p.txt", {{4, 5}}},
      {"name holding a blank", "my proto.txt \n 1 \n", "my proto.txt", {{1}}},
      {"CR LF line ends", "p.txt \r\n 1  2 \r\n", "p.txt", {{1, 2}}},
      {"CR line ends", "p.txt \r 1  2 \r\r 3\r", "p.txt", {{1, 2}, {}, {3}}},
      {"byte order mark", "\xEF\xBB\xBFp.txt \n 1 \n", "p.txt", {{1}}},
      {"blanks around the name", "  p q.txt \t\n 1 \n", "p q.txt", {{1}}},
      {"zeros kept as read", "p.txt\n1 0 2\n", "p.txt", {{1, 0, 2}}},
      {"words stop the reading", "p.txt\n1 0 2\nabc\n4\n", "p.txt", {{1, 0, 2}}, 3, "abc"},
      {"a comment after numbers", "p.txt\n 1 7 8 # lengths\n", "p.txt", {}, 2, "1 7 8 # lengths"},
      {"control bytes quoted", "p.txt\n1\t\x01\n", "p.txt", {}, 2, "1??"},
      {"blank first line", " \n 1 \n", "", {{1}}},
  };
  for (const Case& c : cases) {
    auto read = parse_block_structure(c.content);
    ASSERT_TRUE(read) << c.name;
    EXPECT_EQ(read->protoname, c.protoname) << c.name;
    EXPECT_EQ(read->blocks, c.blocks) << c.name;
    EXPECT_EQ(read->bad_line, c.bad_line) << c.name;
    EXPECT_EQ(read->bad_text, c.bad_text) << c.name;
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
