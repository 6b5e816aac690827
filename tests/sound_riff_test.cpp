// The RIFF reader never reaches past a chunk or the file, whatever sizes a file claims.
#include <gtest/gtest.h>

#include "platform/riff.h"
#include "tests/sound_files.h"

namespace {

using namespace soundtest;
using platform::FourCC;

class RiffReaderTest : public ::testing::Test {
 protected:
  void Open(const Bytes& bytes) {
    ASSERT_TRUE(platform::RiffOpen(&riff_, dir_.Write("f", bytes).c_str()));
  }
  void TearDown() override { platform::RiffClose(&riff_); }

  TempDir dir_;
  platform::RiffFile riff_;
  platform::RiffChunk form_;
  platform::RiffChunk chunk_;
};

TEST_F(RiffReaderTest, ReadsStopAtTheEndOfTheChunk) {
  Open(Riff(Cat({Chunk("abcd", {1, 2, 3, 4, 5}), Chunk("efgh", {9, 9})})));
  ASSERT_TRUE(platform::RiffDescendForm(&riff_, &form_, FourCC('W', 'A', 'V', 'E')));
  ASSERT_TRUE(platform::RiffDescend(&riff_, &chunk_, FourCC('a', 'b', 'c', 'd')));
  uint8_t out[64] = {};
  EXPECT_EQ(platform::RiffRead(&riff_, out, sizeof out), 5u);
  EXPECT_EQ(out[4], 5);
  EXPECT_EQ(out[5], 0);
  EXPECT_EQ(platform::RiffRead(&riff_, out, sizeof out), 0u);
  // Stepping out passes the pad byte, so the next chunk's header is read where it really is.
  ASSERT_TRUE(platform::RiffAscend(&riff_));
  ASSERT_TRUE(platform::RiffDescend(&riff_, &chunk_, FourCC('e', 'f', 'g', 'h')));
  EXPECT_EQ(chunk_.size, 2u);
  EXPECT_EQ(platform::RiffRead(&riff_, out, sizeof out), 2u);
}

TEST_F(RiffReaderTest, ClaimedSizesAreClampedToTheFile) {
  Bytes file = Riff(ChunkClaiming("data", 0x7FFFFFF0u, {1, 2, 3, 4}));
  file[4] = file[5] = file[6] = file[7] = 0xFF;  // the form claims 4 GB too
  Open(file);
  ASSERT_TRUE(platform::RiffDescendForm(&riff_, &form_, FourCC('W', 'A', 'V', 'E')));
  EXPECT_EQ(form_.claimedSize, 0xFFFFFFFFu);
  EXPECT_EQ(form_.size, file.size() - 8);
  ASSERT_TRUE(platform::RiffDescend(&riff_, &chunk_, FourCC('d', 'a', 't', 'a')));
  EXPECT_EQ(chunk_.claimedSize, 0x7FFFFFF0u);
  EXPECT_EQ(chunk_.size, 4u);
  uint8_t out[16];
  EXPECT_EQ(platform::RiffRead(&riff_, out, sizeof out), 4u);
}

TEST_F(RiffReaderTest, ChunksAreSoughtOnlyInsideTheirParent) {
  // The form claims only its first sub-chunk; the second lies in the file but outside the form.
  const Bytes inner = Chunk("abcd", {1, 2});
  Bytes file = Cat({Riff(inner), Chunk("efgh", {3, 4})});
  Open(file);
  ASSERT_TRUE(platform::RiffDescendForm(&riff_, &form_, FourCC('W', 'A', 'V', 'E')));
  EXPECT_EQ(form_.size, 4 + inner.size());
  EXPECT_FALSE(platform::RiffDescend(&riff_, &chunk_, FourCC('e', 'f', 'g', 'h')));
  // A sub-chunk that claims more than its parent holds is cut at the parent's end.
  Bytes lying = Riff(ChunkClaiming("abcd", 100, {5, 6, 7, 8}));
  lying.insert(lying.end(), 50, 0xAA);  // bytes after the form must not be read as its data
  platform::RiffClose(&riff_);
  Open(lying);
  ASSERT_TRUE(platform::RiffDescendForm(&riff_, &form_, FourCC('W', 'A', 'V', 'E')));
  ASSERT_TRUE(platform::RiffDescend(&riff_, &chunk_, FourCC('a', 'b', 'c', 'd')));
  EXPECT_EQ(chunk_.size, 4u);
  uint8_t out[200];
  EXPECT_EQ(platform::RiffRead(&riff_, out, sizeof out), 4u);
}

}  // namespace
