#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/high_score_table.h"
#include "game/small_font.h"
#include "test_support.h"

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

TEST(HighScoreFile, AnUnreadableFileKeepsOnlyItsSoundRecordsNeverOverruns) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  HighScoreTable t = TableWith({42});
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Missing);
  EXPECT_EQ(t.TopScore(), 42);

  // Only the count is off: every record is kept.
  std::string image = TableWith({900, 800, 700}).Serialize();
  image[0] = 10;
  WriteWholeFile(path, image);
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Unreadable);
  EXPECT_EQ(Scores(t), (std::vector<int32_t>{900, 800, 700, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                             0, 0, 0, 0, 0, 0}));
  // Cut in the middle of record 2's score, with record 1 out of order: only 0 stays.
  image = TableWith({900, 800, 700, 600}).Serialize();
  image[4 + 260 + 256 + 3] = 0x7F;  // a score far above record 0's
  image.resize(4 + 2 * 260 + 258);
  WriteWholeFile(path, image);
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Unreadable);
  EXPECT_EQ(Scores(t)[0], 900);
  EXPECT_EQ(Scores(t)[1], 0);
  // A text with no terminator: nothing of it is trusted, and nothing is read past it.
  std::memset(image.data() + 4, 'A', 256);
  WriteWholeFile(path, image);
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Unreadable);
  EXPECT_EQ(t.TopScore(), 0);
  WriteWholeFile(path, std::string("\x14\0", 2));  // too short even for the count
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Unreadable);
  // A sound table whose text fills its field is cut to 255 characters.
  image = TableWith({5}).Serialize();
  std::memset(image.data() + 4, 'B', 256);
  WriteWholeFile(path, image);
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Sound);
  EXPECT_EQ(std::strlen(t.Record(0)->text), 255u);
  // Extra bytes after the last record make it unreadable, but every record is kept.
  WriteWholeFile(path, TableWith({77}).Serialize() + std::string(1000, '\xFF'));
  EXPECT_EQ(t.Load(path.c_str()), TableFile::Unreadable);
  EXPECT_EQ(t.TopScore(), 77);
}

TEST(HighScoreFile, AnUnreadableFileIsKeptAsideBeforeANewTableIsWritten) {
  ScratchDir dir;
  std::string path = dir.File("hiscore.dat");
  std::string damaged = TableWith({900, 800}).Serialize();
  damaged[0] = 21;
  WriteWholeFile(path, damaged);
  HighScoreTable t;
  t.Init(kHallOfFameSize);
  t.Read(path.c_str());
  t.Insert("new", 850);
  ASSERT_EQ(t.Write(path.c_str()), 1);
  ASSERT_EQ(t.Write(path.c_str()), 1);  // a sound file is replaced, not kept aside
  std::vector<std::string> aside;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    std::string name = entry.path().filename();
    if (name.rfind("hiscore.dat.unreadable-", 0) == 0) aside.push_back(name);
  }
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_EQ(ReadWholeFile(dir.File(aside[0])), damaged);
  HighScoreTable back;
  back.Init(kHallOfFameSize);
  ASSERT_EQ(back.Read(path.c_str()), 1);
  EXPECT_EQ(Scores(back)[0], 900);
  EXPECT_EQ(Scores(back)[1], 850);
  EXPECT_EQ(Scores(back)[2], 800);
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

// The hall-of-fame screen writes names as the options file holds them: UTF-8, or stray bytes
// of another encoding, which stand for themselves; nothing is read past the terminator.
TEST(HallOfFameNames, DecodeUtf8AndTakeStrayBytesAsLatin1) {
  auto decode = [](const char* text) {
    std::vector<int> out;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p;) out.push_back(NextCharacter(&p));
    return out;
  };
  EXPECT_EQ(decode("Zo\xC3\xAB"), (std::vector<int>{'Z', 'o', 0xEB}));
  EXPECT_EQ(decode("\xE9t\xE9"), (std::vector<int>{0xE9, 't', 0xE9}));
  EXPECT_EQ(decode("\xE2\x82\xAC!"), (std::vector<int>{0x20AC, '!'}));
  EXPECT_EQ(decode("a\xC3"), (std::vector<int>{'a', 0xC3})) << "a cut sequence at the end";
  EXPECT_EQ(decode("\xE2\x82"), (std::vector<int>{0xE2, 0x82}));
}

}  // namespace
