#include <atomic>

#include "sound_test_support.h"

namespace {

std::atomic<unsigned long> g_endedId{0};
std::atomic<int> g_endedCount{0};
void OnStreamEnd(unsigned long id) {
  g_endedId = id;
  ++g_endedCount;
}

// An end function that takes its time: the stream's thread is still busy in it while
// StopStream already sees the stream gone.
void SlowEnd(unsigned long id) {
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  OnStreamEnd(id);
}

// An end function that starts the same music again.
std::string g_againPath;
void PlayAgain(unsigned long id) {
  OnStreamEnd(id);
  if (g_DalkSound.LoadStream(const_cast<char*>(g_againPath.c_str()), id + 1))
    g_DalkSound.PlayStream(0);
}

class Streaming : public SoundLibraryTest {
 protected:
  void SetUp() override {
    SoundLibraryTest::SetUp();
    g_endedId = 0;
    g_endedCount = 0;
    DalkSound::ClearStreamNextStreamFunc();
  }
  void TearDown() override {
    DalkSound::ClearStreamNextStreamFunc();
    SoundLibraryTest::TearDown();
  }
  // Pulls the mix in small blocks, giving the fill thread time between them.
  std::vector<int16_t> Pump(int frames) {
    std::vector<int16_t> all;
    for (int done = 0; done < frames; done += 441) {
      auto part = Render(std::min(441, frames - done));
      all.insert(all.end(), part.begin(), part.end());
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    return all;
  }
  _SNDStream& St() { return *DalkSound::GetStreamInfoPtr(); }
};

TEST_F(Streaming, SegmentSizesFollowTheFormat) {
  WavSpec mono;
  mono.data = Tone(22050 * 3);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("s1.wav", MakeWav(mono))), 40));
  EXPECT_EQ(11026u, St().segmentSize);
  EXPECT_EQ(88208u, St().bufferSize);
  EXPECT_EQ(40u, DalkSound::GetStreamID());
  lib_.StopStream();
  EXPECT_EQ(nullptr, St().sample);
  WavSpec stereo;
  stereo.channels = 2;
  stereo.rate = 44100;
  stereo.data.assign(44100 * 4 * 3, 0);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("s2.wav", MakeWav(stereo))), 41));
  EXPECT_EQ(44100u, St().segmentSize);
  EXPECT_EQ(352800u, St().bufferSize);
}

TEST_F(Streaming, ShortLoopIsRefused) {
  WavSpec s;
  s.data = Tone(22050 * 3);
  s.loop = true;
  s.loopStart = 0;
  s.loopEnd = 1000;  // 4000 bytes after the shift: under one segment
  EXPECT_EQ(0, lib_.LoadStream(C(WriteTemp("sl.wav", MakeWav(s))), 1));
  EXPECT_EQ(nullptr, St().sample);
  EXPECT_EQ(0u, DalkSound::g_SampleList[0].flags);
}

// A 44100 Hz stream plays frame for frame, so the mix can be compared with the file.
std::vector<uint8_t> Ramp(size_t frames) {
  return Pcm16(frames, [](size_t i) { return static_cast<int16_t>(1000 + (i % 20000)); });
}

TEST_F(Streaming, LoopingContinuesWithoutAGap) {
  WavSpec s;
  s.rate = 44100;
  const size_t frames = 44100 * 2 + 5000;  // ends inside a segment
  s.data = Ramp(frames);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("loop.wav", MakeWav(s))), 9));
  lib_.PlayStream(4);
  auto mix = Pump(static_cast<int>(frames * 2 + 2000));
  int mismatches = 0;
  for (size_t i = 0; i < frames * 2; ++i) {
    int expected = 1000 + static_cast<int>((i % frames) % 20000);
    if (std::abs(mix[2 * i] - expected) > 1 && ++mismatches < 4)
      ADD_FAILURE() << "frame " << i << ": " << mix[2 * i] << " instead of " << expected;
  }
  EXPECT_EQ(0, mismatches);
}

TEST_F(Streaming, WithoutLoopTheWholeFilePlaysThenSilenceAndTheEndFunction) {
  lib_.SetStreamNextFunc(OnStreamEnd);
  WavSpec s;
  s.rate = 44100;
  const size_t frames = 44100 * 3 + 777;
  s.data = Ramp(frames);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("once.wav", MakeWav(s))), 12));
  lib_.PlayStream(0);
  auto mix = Pump(static_cast<int>(frames + 44100 * 2));
  int mismatches = 0;
  for (size_t i = 0; i < frames; ++i)
    if (std::abs(mix[2 * i] - (1000 + static_cast<int>(i % 20000))) > 1) ++mismatches;
  EXPECT_EQ(0, mismatches);
  EXPECT_EQ(0, Rms(mix, 0, frames + 10, mix.size() / 2));
  ASSERT_TRUE(WaitFor([] { return g_endedCount.load() == 1; }));
  EXPECT_EQ(12u, g_endedId.load());
  EXPECT_EQ(nullptr, St().sample);
}

TEST_F(Streaming, EightBitSilenceIsTheMidpoint) {
  WavSpec s;
  s.bits = 8;
  s.rate = 44100;
  s.data.assign(30000, 0x80);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("eight.wav", MakeWav(s))), 3));
  lib_.PlayStream(0);
  EXPECT_EQ(0, Rms(Pump(44100 * 3), 0, 0, 44100 * 3));
}

TEST_F(Streaming, PauseSurvivesItsStopAndStopEndsAPausedStream) {
  lib_.SetStreamNextFunc(OnStreamEnd);
  WavSpec s;
  s.data = Tone(22050 * 4);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("pause.wav", MakeWav(s))), 5));
  lib_.PlayStream(0);
  Pump(4410);
  lib_.PauseStream();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_NE(nullptr, St().sample);
  EXPECT_EQ(0, Rms(Pump(2000), 0, 0, 2000));
  lib_.PauseStream();
  EXPECT_GT(Rms(Pump(2000), 0, 0, 2000), 1000);
  lib_.PauseStream();
  EXPECT_EQ(1, lib_.StopStream());
  EXPECT_EQ(nullptr, St().sample);
  EXPECT_EQ(1, g_endedCount.load());
  EXPECT_EQ(nullptr, DalkSound::g_FillThread);
}

TEST_F(Streaming, MusicSwitchedOffStopsThePlayingStream) {
  WavSpec s;
  s.data = Tone(22050 * 4);
  std::string path = WriteTemp("off.wav", MakeWav(s));
  ASSERT_EQ(1, lib_.LoadStream(C(path), 5));
  lib_.PlayStream(4);
  Pump(2000);
  lib_.EnableMusic(0);
  EXPECT_EQ(nullptr, St().sample);
  EXPECT_EQ(0, lib_.LoadStream(C(path), 6));
  EXPECT_EQ(1, lib_.PlayStream(0));
  EXPECT_EQ(1, lib_.StopStream());
  lib_.EnableMusic(1);
}

TEST_F(Streaming, FadesSetTheStreamVolume) {
  WavSpec s;
  s.data = Tone(22050 * 4);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("fade.wav", MakeWav(s))), 5));
  lib_.FadeMusic(0, 0x4000, 0);
  EXPECT_EQ(0x4000, DalkSound::GetStreamVolume());
  auto start = std::chrono::steady_clock::now();
  lib_.FadeMusicOut(60);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(55));  // whole-ms ticks
  EXPECT_EQ(0, DalkSound::GetStreamVolume());
}

TEST_F(Streaming, ExitEndsAStreamThatNeverPlayed) {
  WavSpec s;
  s.data = Tone(22050 * 4);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("never.wav", MakeWav(s))), 5));
  EXPECT_EQ(0, lib_.LoadStream(C(WriteTemp("never.wav", MakeWav(s))), 6));  // one at a time
  lib_.EnableMusic(0);  // Exit must end it even with music switched off
  lib_.Exit();
  EXPECT_EQ(nullptr, St().sample);
  EXPECT_EQ(nullptr, DalkSound::g_FillThread);
  ASSERT_EQ(1, lib_.Init(nullptr, slots_));
}

TEST_F(Streaming, StopWaitsForASlowEndFunctionAndClosesItsThread) {
  lib_.SetStreamNextFunc(SlowEnd);
  WavSpec s;
  s.data = Tone(22050 * 4);
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("slow.wav", MakeWav(s))), 8));
  lib_.PlayStream(0);
  Pump(2000);
  EXPECT_EQ(1, lib_.StopStream());
  EXPECT_EQ(1, g_endedCount.load());
  EXPECT_EQ(nullptr, DalkSound::g_FillThread);
  // A finished stream's thread is no obstacle to the next load.
  ASSERT_EQ(1, lib_.LoadStream(C(WriteTemp("slow.wav", MakeWav(s))), 9));
}

TEST_F(Streaming, ExitEndsTheStreamAnEndFunctionWouldStartAgain) {
  lib_.SetStreamNextFunc(PlayAgain);
  WavSpec s;
  s.data = Tone(22050 * 4);
  g_againPath = WriteTemp("again.wav", MakeWav(s));
  ASSERT_EQ(1, lib_.LoadStream(C(g_againPath), 20));
  lib_.PlayStream(0);
  lib_.StopStream();  // an ordinary stop: the end function starts the music again
  EXPECT_EQ(21u, DalkSound::GetStreamID());
  lib_.Exit();  // the end function runs once more, but nothing new may start now
  EXPECT_EQ(2, g_endedCount.load());
  EXPECT_EQ(nullptr, St().sample);
  EXPECT_EQ(nullptr, DalkSound::g_FillThread);
  ASSERT_EQ(1, lib_.Init(nullptr, slots_));
}

}  // namespace
