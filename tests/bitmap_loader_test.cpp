// Loading pictures: every seed file of the picture fuzzer loads at the size asked for or is
// refused with a reason; what the headers claim beyond any screen or beyond the file is refused
// before SDL's reader sees it, in our words.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/bitmap.h"
#include "platform/surface.h"

namespace {

const std::string kCorpus = CORVANE_SOURCE_DIR "/tests/fuzz/corpus_bmp/";

// Our own reasons. Files named good_* load; the others may load or be refused in SDL's words.
const std::map<std::string, std::string> kReasons = {
    {"zero_height.bmp", "unusable picture size 8 x 0"},
    {"negative_width.bmp", "unusable picture size -8 x 8"},
    {"huge_width.bmp", "unusable picture size 2147483647 x 1"},
    {"side_one_too_many.bmp", "unusable picture size 8193 x 1"},
    {"area_too_big.bmp", "unusable picture size 8000 x 8000"},
    {"core_max_sizes.bmp", "unusable picture size 65535 x 65535"},
    {"cut_header_huge_height.bmp", "unusable picture size 1 x 2147444480"},
    {"offset_at_end.bmp", "the picture data would start past the end of the file"},
    {"cut_in_row_padding.bmp", "the file ends inside the picture data"},
    {".", "a directory, not a picture file"},
    {"/dev/null", "not a regular file"},
    {"missing.bmp", "not found"},
};

// What loading a file at 7 x 3 gives: "loaded", "another size" or the reason it was refused.
std::string Load(const std::string& path) {
  char why[256] = "";
  platform::Surface* picture = platform::LoadBitmapFile(path.c_str(), 7, 3, why, sizeof why);
  const bool sized = picture != nullptr && picture->width == 7 && picture->height == 3;
  platform::FreeSurface(picture);
  return picture == nullptr ? why : sized ? "loaded" : "another size";
}

TEST(BitmapLoader, SeedFilesLoadAtTheAskedSizeOrAreRefusedWithAReason) {
  // First our own refusals: a size slipping through would have SDL's reader allocate for it.
  for (const auto& [name, reason] : kReasons) {
    ASSERT_EQ(Load(name[0] == '/' ? name : kCorpus + name), reason) << name;
  }
  for (const auto& file : std::filesystem::directory_iterator(kCorpus)) {
    const std::string name = file.path().filename();
    const std::string got = Load(file.path());
    EXPECT_TRUE(!name.starts_with("good_") || got == "loaded") << name << ": " << got;
    EXPECT_TRUE(got != "" && got != "another size") << name;
  }
}

}  // namespace
