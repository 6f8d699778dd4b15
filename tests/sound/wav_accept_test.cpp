#include "sound_test_support.h"

namespace {

class WavAcceptance : public SoundLibraryTest {
 protected:
  // Loads a WAV built from the description under id 1; the slot is left for inspection.
  int Load(const WavSpec& spec, const char* name) {
    return lib_.LoadSample(C(WriteTemp(name, MakeWav(spec))), 1);
  }
  SNDSample& Slot0() { return DalkSound::g_SampleList[0]; }
};

TEST_F(WavAcceptance, PlainPcmIsReadIntoTheSlot) {
  WavSpec s;
  s.channels = 2;
  s.rate = 44100;
  s.data = Tone(100);
  ASSERT_EQ(1, Load(s, "plain.wav"));
  EXPECT_EQ(44100u, Slot0().frequency);
  EXPECT_EQ(2u, Slot0().channels);
  EXPECT_EQ(16u, Slot0().bits);
  EXPECT_EQ(200u, Slot0().dataSize);
  EXPECT_TRUE(Slot0().flags & SNDSample::FormatRead);
  EXPECT_FALSE(Slot0().flags & SNDSample::Looped);
  EXPECT_NE(nullptr, Slot0().buffer);
}

TEST_F(WavAcceptance, SixteenByteFormatChunkBorrowsFromTheNextChunk) {
  WavSpec s;
  s.data = Tone(50);
  ASSERT_EQ(1, Load(s, "fmt16.wav"));
  // With nothing after the format chunk, twenty bytes cannot be read.
  WavSpec bare;
  bare.hasData = false;
  auto bytes = MakeWav(bare);
  EXPECT_EQ(0, lib_.LoadSample(C(WriteTemp("fmtonly.wav", bytes)), 2));
}

TEST_F(WavAcceptance, RefusesWhatIsNotAPlayableWav) {
  const struct {
    const char* name;
    void (*change)(WavSpec&);
  } rows[] = {
      {"float", [](WavSpec& s) { s.tag = 3; }},
      {"nofmt", [](WavSpec& s) { s.hasFmt = false; }},
      {"nodata", [](WavSpec& s) { s.hasData = false, s.hasBefore = true, s.before.assign(8, 0); }},
      {"mono0", [](WavSpec& s) { s.channels = 0; }},
      {"rate0", [](WavSpec& s) { s.rate = 0; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WavSpec s;
    s.data = Tone(10);
    row.change(s);
    EXPECT_EQ(0, Load(s, (std::string(row.name) + ".wav").c_str()));
  }
  EXPECT_EQ(0, lib_.LoadSample(C(WriteTemp("short.wav", {'R', 'I', 'F', 'F', 0, 0})), 3));
  EXPECT_EQ(0, lib_.LoadSample(C(testing::TempDir() + "no/such/file.wav"), 3));
  // Nothing failed leaves a slot behind.
  for (int i = 0; i < slots_; ++i) EXPECT_EQ(0u, DalkSound::g_SampleList[i].flags);
}

TEST_F(WavAcceptance, LyingSizesAreRefusedWithoutHugeBuffers) {
  WavSpec s;
  s.data = Tone(10);
  auto bytes = MakeWav(s);
  auto huge = bytes;
  huge[huge.size() - 20 - 4] = 0xFF;  // data size field: now ~4 GiB
  huge[huge.size() - 20 - 1] = 0x7F;
  EXPECT_EQ(0, lib_.LoadSample(C(WriteTemp("huge.wav", huge)), 1));
  auto truncated = bytes;
  truncated.resize(bytes.size() - 5);
  EXPECT_EQ(0, lib_.LoadSample(C(WriteTemp("trunc.wav", truncated)), 1));
  // A chunk that claims to run past the end: the walk ends instead of wandering.
  WavSpec junk;
  junk.hasBefore = true;
  junk.before.assign(4, 0);
  junk.data = Tone(10);
  auto lying = MakeWav(junk);
  lying[12 + 8 + 16 + 4] = 0xF0;  // the junk chunk's size
  lying[12 + 8 + 16 + 7] = 0x7F;
  EXPECT_EQ(0, lib_.LoadSample(C(WriteTemp("lying.wav", lying)), 1));
}

TEST_F(WavAcceptance, OddChunkBeforeDataHidesTheDataChunk) {
  WavSpec s;
  s.hasBefore = true;
  s.before.assign(3, 0);  // no pad byte follows: "data" starts one byte early of the walk
  s.data = Tone(10);
  EXPECT_EQ(0, Load(s, "odd.wav"));
  s.before.assign(4, 0);
  EXPECT_EQ(1, Load(s, "even.wav"));
}

TEST_F(WavAcceptance, SamplerLoopIsShiftedByBytesPerSample) {
  WavSpec s;
  s.loop = true;
  s.loopStart = 10;
  s.loopEnd = 90;
  s.data = Tone(100);
  ASSERT_EQ(1, Load(s, "loop16.wav"));
  EXPECT_TRUE(Slot0().flags & SNDSample::Looped);
  EXPECT_EQ(40u, Slot0().loopStart);
  EXPECT_EQ(360u, Slot0().loopEnd);
  WavSpec e = s;
  e.bits = 8;
  e.data.assign(100, 0x80);
  ASSERT_EQ(1, lib_.LoadSample(C(WriteTemp("loop8.wav", MakeWav(e))), 2));
  EXPECT_EQ(20u, DalkSound::g_SampleList[1].loopStart);
}

}  // namespace
