// The replay file: what is written reads back the same, and what is damaged, cut short,
// from another version or holds unknown fields is refused with a message naming the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/replay/replay_format.h"

namespace {

ReplayLog Sample() {
  ReplayLog log;
  log.gameVersion = "1.0";
  log.seed = 4242;
  log.settings.push_back({"..\\options.ini", "Player1", "name", "Ann Lee:50% off"});
  log.settings.push_back({".\\setup.ini", "default", "gametime", ""});
  log.hasHallOfFame = true;
  log.hallOfFame = std::string("\x14\0\0\0ab\n\xff", 8);
  auto add = [&](uint64_t step, int tick, ReplayKind kind, int64_t a = 0, int64_t b = 0,
                 int64_t c = 0) {
    ReplayEvent e;
    e.step = step;
    e.tick = tick;
    e.kind = kind;
    e.a = a;
    e.b = b;
    e.c = c;
    log.events.push_back(e);
  };
  add(4, 10, ReplayKind::Frame);
  add(5, 10, ReplayKind::Move, 799, 0);
  add(5, 10, ReplayKind::Press, 1);
  add(6, 20, ReplayKind::Buttons, 2);
  add(7, 1000, ReplayKind::Clock, 2);
  add(8, 1000, ReplayKind::KeyDown, 0xCD);
  add(8, 1000, ReplayKind::Post, 5, 2, -1);
  add(9, 1010, ReplayKind::Rate);
  log.events.back().rate = 62.5f;
  add(10, 5000, ReplayKind::Check, 0xdeadbeef);
  add(11, 5000, ReplayKind::End, 0x01234567);
  return log;
}

bool Reads(const std::string& text, std::string* error, ReplayLog* log = nullptr) {
  ReplayLog scratch;
  return ReadReplay(text, "1.0", log ? log : &scratch, error);
}

TEST(ReplayFormat, WhatIsWrittenReadsBackTheSame) {
  const ReplayLog log = Sample();
  const std::string text = WriteReplay(log);
  EXPECT_NE(text.find("setting ..\\options.ini Player1 name Ann%20Lee:50%25%20off\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("9 1010 rate 62.5\n"), std::string::npos);
  EXPECT_NE(text.find("5 10 press right\n"), std::string::npos);
  ReplayLog back;
  std::string error;
  ASSERT_TRUE(Reads(text, &error, &back)) << error;
  EXPECT_EQ(WriteReplay(back), text);
  EXPECT_EQ(back.hallOfFame, log.hallOfFame);
  EXPECT_EQ(back.settings[1].value, "");
  EXPECT_EQ(back.events[6].c, -1);
  EXPECT_EQ(back.events[9].a, 0x01234567);
}

TEST(ReplayFormat, RefusesOtherVersionsUnknownFieldsAndDamageWithTheLine) {
  const std::string good = WriteReplay(Sample());
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Case {
    std::string text, message;
  } cases[] = {
      {"", "line 1: the file is empty: not a Zorbit replay"},
      {"PK\x03\x04 something else", "line 1: not a Zorbit replay"},
      {replace("zorbit-replay 2", "zorbit-replay 3"), "replay format 3; this game reads formats 1 to 2"},
      {replace("game 1.0", "game 1.1"), "line 2: recorded by Zorbit 1.1; this is Zorbit 1.0"},
      {replace("seed 4242\n", "seed 4242\ncolour blue\n"), "line 4: unknown field \"colour\""},
      {replace("4 10 frame", "4 10 teleport"), "unknown event \"teleport\""},
      {replace("8 1000 keydown 205", "8 1000 keydown"), "\"keydown\" takes 1 values"},
      {replace("6 20 buttons 2", "6 2x buttons 2"), "the tick is not a number"},
      {replace("7 1000 clock 2", "3 1000 clock 2"), "the events go back in time"},
      {replace("halloffame 1400", "halloffame 1g00"), "the hall of fame is damaged"},
      {replace("Ann%20Lee", "Ann%2"), "a setting is damaged"},
      {replace("5 10 move 799 0", "5 10 move 799 99999999999"), "a value of \"move\" is damaged"},
      {replace("zorbit-replay 2", "zorbit-replay 1").substr(0, good.find("11 5000 end")),
       "ends before the run does"},
      {replace("game 1.0", "game 1.0%00" + std::string(100000, 'x')),
       "recorded by Zorbit 1.0%00" + std::string(36, 'x') + "...; this is"},
      {replace("11 5000 end", "18446744073709551615 2147483647 end"), "beyond what a run can reach"},
      {replace("10 5000 check", "1099511627777 5000 check"), "beyond what a run can reach"},
      {replace("9 1010 rate", "9 1073741825 rate"), "beyond what a run can reach"},
      {replace("halloffame ", "halloffame " + std::string(kReplayMaxLine, '0')), "too long"},
      {good.substr(0, good.find("events\n")), "the file ends before its events begin"},
      {good + "12 5000 frame\n", "something follows the end"},
      {replace("seed 4242\n", ""), "the game version or the seed is missing"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(Reads(c.text, &error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << "got: " << error;
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
  }
}

// Written as the run goes, a recording may stop anywhere: without its end it plays to its
// last whole line, and the settings read late follow the events.
TEST(ReplayFormat, ARecordingCutOffByAKillReadsToItsLastWholeLine) {
  ReplayLog log = Sample();
  log.events.pop_back();
  const std::string head = WriteReplay(log);
  const std::string late = ReplaySettingLine({".\\setup.ini", "default", "balloons", "3"});
  const std::string text = head + late + "12 5000 move 1";  // killed in the middle of a line
  ReplayLog back;
  std::string error;
  ASSERT_TRUE(Reads(text, &error, &back)) << error;
  EXPECT_TRUE(back.cutOff);
  EXPECT_EQ(back.events.size(), log.events.size());
  EXPECT_EQ(back.settings.back().value, "3");
}

// The file read in blocks of any size gives what reading it whole gives.
TEST(ReplayFormat, AStreamReadInAnyBlocksReadsTheSame) {
  const std::string text = WriteReplay(Sample());
  for (size_t block : {1u, 7u, 4096u}) {
    size_t at = 0;
    ReplayReader reader(
        [&](char* buffer, size_t size) {
          const size_t n = std::min({size, block, text.size() - at});
          text.copy(buffer, n, at);
          at += n;
          return static_cast<long>(n);
        },
        "1.0");
    ReplayLog log;
    ASSERT_TRUE(reader.ReadHeader(&log)) << reader.Error();
    ReplayEvent e;
    while (reader.Next(&e)) log.events.push_back(e);
    EXPECT_EQ(reader.Error(), "");
    EXPECT_TRUE(reader.Ended());
    EXPECT_EQ(WriteReplay(log), text) << block;
  }
}

}  // namespace
