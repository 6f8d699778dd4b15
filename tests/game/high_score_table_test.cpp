#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/high_score_table.h"
#include "high_score_test_util.h"

namespace {

// A table of 20 whose first scores are the given ones, each record's text naming its score.
HighScoreTable TableWith(const std::vector<int32_t>& scores) {
  HighScoreTable t;
  t.Init(kHallOfFameSize);
  char text[32];
  for (int32_t s : scores) {
    std::snprintf(text, sizeof text, "p%d", s);
    t.Insert(text, s);
  }
  return t;
}

std::vector<int32_t> Scores(const HighScoreTable& t) {
  std::vector<int32_t> out;
  for (int i = 0; const HighScoreRecord* r = t.Record(i); ++i) out.push_back(r->score);
  return out;
}

TEST(HighScoreInsert, EqualScoresGoBelowEarlierOnesAndTheLastRecordDrops) {
  HighScoreTable t = TableWith({900, 500, 100});
  ASSERT_EQ(t.Insert("first 500 tie", 500), 1);  // now 900 500 500 100 0 ...
  for (int i = 4; i < kHallOfFameSize; ++i) t.Insert("filler", 1);
  ASSERT_EQ(t.Record(19)->score, 1);

  EXPECT_EQ(t.Insert("second tie", 500), 1);
  EXPECT_STREQ(t.Record(1)->text, "p500");
  EXPECT_STREQ(t.Record(2)->text, "first 500 tie");
  EXPECT_STREQ(t.Record(3)->text, "second tie");
  EXPECT_EQ(t.Record(4)->score, 100);
  EXPECT_EQ(t.Record(19)->score, 1);  // one of the 1s fell off the end
  EXPECT_EQ(t.Count(), kHallOfFameSize);
}

TEST(HighScoreInsert, AFreshTableRefusesZeroAndNegativeButTakesAnyPositiveScore) {
  HighScoreTable t;
  t.Init(kHallOfFameSize);
  EXPECT_EQ(t.Insert("nothing", 0), 0);
  EXPECT_EQ(t.Insert("less", -5), 0);
  EXPECT_EQ(t.TopScore(), 0);
  EXPECT_EQ(t.Insert("one", 1), 1);
  EXPECT_EQ(t.TopScore(), 1);
  // A score equal to the lowest of a full table does not enter.
  HighScoreTable full = TableWith({});
  for (int i = 0; i < kHallOfFameSize; ++i) full.Insert("x", 50);
  EXPECT_EQ(full.Insert("equal", 50), 0);
}

TEST(HighScoreInsert, TextIsCutToTheFieldAndNullIsEmpty) {
  HighScoreTable t;
  t.Init(3);
  std::string longText(400, 'a');
  t.Insert(longText.c_str(), 10);
  EXPECT_EQ(std::strlen(t.Record(0)->text), kHighScoreTextSize - 1);
  t.Insert(nullptr, 20);
  EXPECT_STREQ(t.Record(0)->text, "");
  // A text taken from the table itself survives the shift that moves its record.
  t.Insert("again", 5);
  t.Insert(t.Record(2)->text, 30);
  EXPECT_STREQ(t.Record(0)->text, "again");
}

TEST(HighScoreFile, TwentyRecordsMake5204BytesInTheFixedLayoutAndReadBack) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  HighScoreTable t = TableWith({123456, 700, 258});
  ASSERT_EQ(t.Write(path.c_str()), 1);

  std::string bytes = ReadWholeFile(path);
  ASSERT_EQ(bytes.size(), 5204u);
  EXPECT_EQ(std::string(bytes.data(), 4), std::string("\x14\0\0\0", 4));  // count 20, LE
  EXPECT_STREQ(bytes.data() + 4, "p123456");
  EXPECT_EQ(std::string(bytes.data() + 4 + 256, 4), std::string("\x40\xE2\x01\0", 4));
  EXPECT_STREQ(bytes.data() + 4 + 260, "p700");
  EXPECT_EQ(std::string(bytes.data() + 4 + 2 * 260 + 256, 4), std::string("\x02\x01\0\0", 4));

  HighScoreTable back;
  back.Init(kHallOfFameSize);
  ASSERT_EQ(back.Read(path.c_str()), 1);
  EXPECT_EQ(back.Serialize(), bytes);
  EXPECT_EQ(Scores(back), Scores(t));
}

TEST(HighScoreFile, MissingFileOrAnotherCountLeavesTheRecordsAlone) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  HighScoreTable t = TableWith({42});
  EXPECT_EQ(t.Read(path.c_str()), 0);
  EXPECT_EQ(t.TopScore(), 42);

  HighScoreTable ten;
  ten.Init(10);
  ten.Insert("ten", 999);
  ASSERT_EQ(ten.Write(path.c_str()), 1);
  HighScoreTable fresh;
  fresh.Init(kHallOfFameSize);
  EXPECT_EQ(fresh.Read(path.c_str()), 0);
  EXPECT_EQ(Scores(fresh), std::vector<int32_t>(kHallOfFameSize, 0));

  WriteWholeFile(path, std::string("\x14\0", 2));  // too short even for the count
  EXPECT_EQ(fresh.Read(path.c_str()), 0);
}

TEST(HighScoreFile, UnsoundRecordsAreCutOrClearedNeverOverrun) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  std::string image = TableWith({900, 800, 700, 600}).Serialize();
  std::memset(image.data() + 4, 'A', 256);  // record 0 has no terminator
  // Stop in the middle of record 2's score: 0 and 1 are whole, 2 is not.
  image.resize(4 + 2 * 260 + 258);
  WriteWholeFile(path, image);

  HighScoreTable t = TableWith({5, 4, 3, 2, 1});
  ASSERT_EQ(t.Read(path.c_str()), 1);
  EXPECT_EQ(std::strlen(t.Record(0)->text), 255u);
  EXPECT_EQ(t.Record(0)->score, 900);
  EXPECT_STREQ(t.Record(1)->text, "p800");
  for (int i = 2; i < kHallOfFameSize; ++i) {
    EXPECT_EQ(t.Record(i)->score, 0) << i;
    EXPECT_STREQ(t.Record(i)->text, "") << i;
  }
  // Extra bytes after the last record are ignored.
  std::string longer = TableWith({77}).Serialize() + std::string(1000, '\xFF');
  WriteWholeFile(path, longer);
  ASSERT_EQ(t.Read(path.c_str()), 1);
  EXPECT_EQ(t.TopScore(), 77);
}

TEST(HighScoreFile, AFailedWriteKeepsTheOldFileAndAPlantedLinkIsNotFollowed) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  ASSERT_EQ(TableWith({10}).Write(path.c_str()), 1);
  std::string before = ReadWholeFile(path);

  // The file's folder is gone altogether, or a folder stands in the file's place.
  int error = 0;
  EXPECT_EQ(TableWith({20}).Write(dir.File("missing/hiscore.dat").c_str(), &error), 0);
  EXPECT_EQ(error, ENOENT);
  std::filesystem::create_directory(dir.File("folder.dat"));
  EXPECT_EQ(TableWith({20}).Write(dir.File("folder.dat").c_str(), &error), 0);
  EXPECT_EQ(error, EISDIR);

  // The name an earlier version wrote through first, planted as a link to another file.
  WriteWholeFile(dir.File("victim"), "keep me");
  std::filesystem::create_symlink(dir.File("victim"), path + ".new");
  ASSERT_EQ(TableWith({30}).Write(path.c_str()), 1);
  EXPECT_EQ(ReadWholeFile(dir.File("victim")), "keep me");
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  HighScoreTable back;
  back.Init(kHallOfFameSize);
  ASSERT_EQ(back.Read(path.c_str()), 1);
  EXPECT_EQ(back.TopScore(), 30);
}

TEST(HighScoreJson, ListsEveryRecordWithEscapedText) {
  HighScoreTable t;
  t.Init(3);
  t.Insert("Ann \"A\\B\":x:\x01:Y", 300);
  t.Insert("Zo\xC3\xAB:::Y", 200);  // UTF-8 passes through
  t.Insert("bad\xE9:::N", 100);      // a lone Latin-1 byte is escaped
  EXPECT_EQ(HallOfFameJson(t),
            "[{\"text\":\"Ann \\\"A\\\\B\\\":x:\\u0001:Y\",\"score\":300},"
            "{\"text\":\"Zo\xC3\xAB:::Y\",\"score\":200},"
            "{\"text\":\"bad\\u00e9:::N\",\"score\":100}]");
  HighScoreTable empty;
  EXPECT_EQ(HallOfFameJson(empty), "[]");
}

}  // namespace
