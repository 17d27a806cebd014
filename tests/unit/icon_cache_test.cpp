#include "model/icon_cache.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace velmora {
namespace {

CachedIcon Icon(std::uint64_t size, std::uint64_t time, char shade) {
  CachedIcon icon;
  icon.size = size;
  icon.time = time;
  icon.hasIcon = true;
  icon.pixels.assign(kIconPixels, shade);
  icon.mask.assign(kIconMask, '\x0F');
  return icon;
}

TEST(IconCache, RoundTripsAndAnswersOnlyForAnUnchangedFile) {
  IconCacheData cache;
  cache.Put("C:\\Apps\\Word.lnk", Icon(1200, 77, 'a'));
  CachedIcon none;
  none.size = ~std::uint64_t{0};
  cache.Put("C:\\gone.exe", none);
  const IconCacheData back = IconCacheData::Parse(cache.Serialize());
  ASSERT_EQ(back.Count(), 2u);
  EXPECT_FALSE(back.Changed());
  const CachedIcon* word = back.Find("c:\\apps\\WORD.LNK", 1200, 77);
  ASSERT_TRUE(word) << "paths compare without regard to case";
  EXPECT_EQ(*word, Icon(1200, 77, 'a'));
  EXPECT_FALSE(back.Find("C:\\Apps\\Word.lnk", 1201, 77)) << "the file grew";
  EXPECT_FALSE(back.Find("C:\\Apps\\Word.lnk", 1200, 78)) << "the file was written again";
  const CachedIcon* gone = back.Find("C:\\gone.exe", ~std::uint64_t{0}, 0);
  ASSERT_TRUE(gone);
  EXPECT_FALSE(gone->hasIcon);
}

TEST(IconCache, ADamagedOrForeignFileIsAnEmptyCache) {
  IconCacheData cache;
  cache.Put("C:\\a.exe", Icon(1, 2, 'x'));
  cache.Put("C:\\b.exe", Icon(3, 4, 'y'));
  const std::string good = cache.Serialize();
  // Cut anywhere, or one byte more: nothing of it is trusted.
  for (std::size_t n = 0; n < good.size(); n += 7)
    EXPECT_EQ(IconCacheData::Parse(good.substr(0, n)).Count(), 0u) << n;
  EXPECT_EQ(IconCacheData::Parse(good + "!").Count(), 0u);
  std::string wrong = good;
  wrong[0] = 'X';
  EXPECT_EQ(IconCacheData::Parse(wrong).Count(), 0u);
  wrong = good;
  wrong[8] = '\xFF';  // an entry count no cache ever has
  wrong[9] = '\xFF';
  EXPECT_EQ(IconCacheData::Parse(wrong).Count(), 0u);
  EXPECT_EQ(IconCacheData::Parse(good).Count(), 2u);
}

TEST(IconCache, EntriesNotUsedInARoundLeaveAndTheFileIsWrittenOnlyWhenChanged) {
  test::FakeFileSystem fs;
  IconCacheData cache = ReadIconCache(fs, "C:\\V\\");
  EXPECT_EQ(cache.Count(), 0u) << "no file yet";
  cache.Put("C:\\a.exe", Icon(1, 2, 'x'));
  cache.Put("C:\\b.exe", Icon(3, 4, 'y'));
  ASSERT_TRUE(WriteIconCache(fs, "C:\\V\\", cache));
  EXPECT_EQ(fs.PathsOf("WriteAll").size(), 1u);
  ASSERT_TRUE(WriteIconCache(fs, "C:\\V\\", cache));
  EXPECT_EQ(fs.PathsOf("WriteAll").size(), 1u) << "nothing changed";

  cache.MarkAllUnused();
  EXPECT_TRUE(cache.Find("C:\\b.exe", 3, 4));
  cache.Prune();
  EXPECT_EQ(cache.Count(), 1u);
  ASSERT_TRUE(WriteIconCache(fs, "C:\\V\\", cache));
  EXPECT_EQ(ReadIconCache(fs, "C:\\V\\").Count(), 1u);
}

}  // namespace
}  // namespace velmora
