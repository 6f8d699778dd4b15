#include <gtest/gtest.h>

#include "platform/harness/script.h"

namespace {

std::vector<ScriptEvent> Parse(const std::string& text) {
  std::vector<ScriptEvent> events;
  ScriptError error;
  EXPECT_TRUE(ParseScript(text, &events, &error)) << error.line << ": " << error.message;
  return events;
}

ScriptError Fails(const std::string& text) {
  std::vector<ScriptEvent> events;
  ScriptError error;
  EXPECT_FALSE(ParseScript(text, &events, &error)) << text;
  EXPECT_TRUE(events.empty());
  return error;
}

TEST(Script, TimesAddUpAndClicksExpand) {
  auto events = Parse(
      "# a comment\n\n  wait 100\nclick 10 20\nrclick 799 599\nkey F1\nscreenshot out dir/a.bmp\n"
      "wait 5\ndump state.json\ndeactivate\nactivate\nclose\n");
  struct Want {
    uint32_t at;
    ScriptOp op;
  };
  std::vector<Want> want = {
      {100, ScriptOp::Move},    {100, ScriptOp::Press},      {130, ScriptOp::Release},
      {160, ScriptOp::Move},    {160, ScriptOp::Press},      {190, ScriptOp::Release},
      {220, ScriptOp::KeyDown}, {250, ScriptOp::KeyUp},      {280, ScriptOp::Screenshot},
      {285, ScriptOp::Dump},    {285, ScriptOp::Deactivate}, {285, ScriptOp::Activate},
      {285, ScriptOp::Close},   {285, ScriptOp::End}};
  ASSERT_EQ(events.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(events[i].atMs, want[i].at) << i;
    EXPECT_EQ(events[i].op, want[i].op) << i;
  }
  EXPECT_EQ(events[0].x, 10);
  EXPECT_EQ(events[0].y, 20);
  EXPECT_EQ(events[4].button, 1);
  EXPECT_EQ(events[6].scanCode, 59);
  EXPECT_EQ(events[8].file, "out dir/a.bmp");
  EXPECT_EQ(events[8].line, 7);
}

TEST(Script, KeyNamesUseScanCodes) {
  auto events = Parse("keydown escape\nkeydown lshift\nkeydown a\nkeydown 0\nkeydown space\n"
                      "keydown enter\nkeyup z\n");
  std::vector<int> scans;
  for (auto& e : events) scans.push_back(e.scanCode);
  EXPECT_EQ(scans, (std::vector<int>{1, 42, 30, 11, 57, 28, 44, 0}));
}

TEST(Script, AnUnreadableLineIsReportedWithItsNumber) {
  EXPECT_EQ(Fails("wait 10\nfly 1 2\n").line, 2);
  EXPECT_EQ(Fails("\n\nmove 800 10\n").line, 3);
  EXPECT_EQ(Fails("move 1\n").line, 1);
  EXPECT_EQ(Fails("wait -4").line, 1);
  EXPECT_EQ(Fails("wait 1x").line, 1);
  EXPECT_EQ(Fails("press middle").line, 1);
  EXPECT_EQ(Fails("key hyper").line, 1);
  EXPECT_EQ(Fails("screenshot").line, 1);
  EXPECT_EQ(Fails("close now").line, 1);
  std::string longWaits;  // 50 days of waiting run past the 32-bit millisecond clock
  for (int i = 0; i < 50; ++i) longWaits += "wait 86400000\n";
  EXPECT_EQ(Fails(longWaits).line, 50);
  EXPECT_NE(Fails("fly").message.find("fly"), std::string::npos);
}

}  // namespace
