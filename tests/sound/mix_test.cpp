// What a played sample does to the mix: when it is heard, how loud, on which side, and
// what a chain starts when its first sample ends.
#include "sound_test_support.h"

#include <atomic>

namespace {

class Mixing : public SoundLibraryTest {
 protected:
  void SetUp() override {
    SoundLibraryTest::SetUp();
    WavSpec s;
    s.data = Tone(2205);  // 0.1 s at 22050 Hz: 4410 frames of the 44100 Hz mix
    ASSERT_EQ(1, lib_.LoadSample(C(WriteTemp("mix.wav", MakeWav(s))), 1));
    WavSpec quiet;
    quiet.data = Tone(4410, 8000);
    ASSERT_EQ(1, lib_.LoadSample(C(WriteTemp("mix2.wav", MakeWav(quiet))), 2));
  }
};

TEST_F(Mixing, APlayedSampleIsHeardForItsLengthThenSilence) {
  EXPECT_EQ(0, Rms(Render(512), 0, 0, 512));
  lib_.PlaySample(1, 0xFFFF, 0x8000);
  auto mix = Render(8820);
  const double full = 16000 / std::sqrt(2.0);
  EXPECT_NEAR(full, Rms(mix, 0, 0, 4400), full * 0.05);
  EXPECT_NEAR(full, Rms(mix, 1, 0, 4400), full * 0.05);
  EXPECT_EQ(0, Rms(mix, 0, 4420, 8820));
}

TEST_F(Mixing, VolumeAndPanScaleTheChannels) {
  const double full = 16000 / std::sqrt(2.0);
  lib_.PlaySample(1, 0x8000, 0x8000);  // -10 dB
  auto half = Render(4000);
  EXPECT_NEAR(full * 0.316, Rms(half, 0, 0, 4000), full * 0.02);
  Render(8000);
  lib_.PlaySample(1, 0xFFFF, 0xFFFF);  // far left
  auto left = Render(4000);
  EXPECT_NEAR(full, Rms(left, 0, 0, 4000), full * 0.05);
  EXPECT_LT(Rms(left, 1, 0, 4000), 1.0);
  Render(8000);
  lib_.PlaySample(1, 0xFFFF, 1);  // far right
  auto right = Render(4000);
  EXPECT_LT(Rms(right, 0, 0, 4000), 1.0);
  EXPECT_NEAR(full, Rms(right, 1, 0, 4000), full * 0.05);
}

TEST_F(Mixing, PitchResamples) {
  SNDSample* s = lib_.FindSample(1);
  ASSERT_NE(nullptr, s);
  ASSERT_EQ(1, s->SetPitch(44100));  // twice as fast: over in half the time
  s->PlaySample(0xFFFF, 0x8000);
  auto mix = Render(4410);
  EXPECT_GT(Rms(mix, 0, 0, 2200), 5000);
  EXPECT_EQ(0, Rms(mix, 0, 2210, 4410));
}

TEST_F(Mixing, AChainStartsTheNextSampleWithTheLastVolumeAndPan) {
  SNDSample* a = lib_.FindSample(1);
  SNDSample* b = lib_.FindSample(2);
  ASSERT_TRUE(a && b);
  b->flags &= ~SNDSample::Reserved;
  ASSERT_EQ(a, SNDSample::ChainSample(a, b));
  EXPECT_EQ(b, SNDSample::ChainSample(nullptr, b));
  EXPECT_EQ(nullptr, SNDSample::ChainSample(a, nullptr));
  {
    // A chain that loops (here not through its start) is left as it is.
    SNDSample x{}, y{}, z{}, extra{};
    SNDSample::ChainSample(&x, &y);
    SNDSample::ChainSample(&y, &z);
    SNDSample::ChainSample(&z, &y);
    EXPECT_EQ(&x, SNDSample::ChainSample(&x, &extra));
    EXPECT_EQ(&y, z.next);
  }
  a->PlaySample(0x8000, 0xFFFF);
  EXPECT_TRUE(a->flags & SNDSample::EndArmed);
  Render(4410 + 512);  // a ends inside this
  ASSERT_TRUE(WaitFor([&] { return b->SamplePlaying() != 0; }));
  EXPECT_EQ(0x8000, b->volume);
  EXPECT_EQ(0xFFFF, b->pan);
  EXPECT_FALSE(a->flags & SNDSample::EndArmed);
  auto mix = Render(2000);
  EXPECT_GT(Rms(mix, 0, 0, 2000), 500);
  EXPECT_LT(Rms(mix, 1, 0, 2000), 1.0);
}

TEST_F(Mixing, StoppingAChainedSampleContinuesTheChainButFreeingItDoesNot) {
  SNDSample* a = lib_.FindSample(1);
  SNDSample* b = lib_.FindSample(2);
  b->flags &= ~SNDSample::Reserved;
  SNDSample::ChainSample(a, b);
  a->PlaySample(0xFFFF, 0x8000);
  a->StopSample();
  ASSERT_TRUE(WaitFor([&] { return b->SamplePlaying() != 0; }));
  b->StopSample();
  a->PlaySample(0xFFFF, 0x8000);
  lib_.FreeSample(a);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(b->SamplePlaying());
}

TEST_F(Mixing, ExitWhileAChainedSampleIsPlaying) {
  SNDSample* a = lib_.FindSample(1);
  SNDSample* b = lib_.FindSample(2);
  b->flags &= ~SNDSample::Reserved;
  SNDSample::ChainSample(a, b);
  a->PlaySample(0xFFFF, 0x8000);
  lib_.Exit();  // stopping a signals its end event: that must not be gone already
  EXPECT_EQ(nullptr, DalkSound::g_SampleList);
  EXPECT_EQ(0, Rms(Render(512), 0, 0, 512));
  ASSERT_EQ(1, lib_.Init(nullptr, slots_));
}

TEST_F(Mixing, PauseKeepsThePlace) {
  SNDSample* a = lib_.FindSample(2);
  a->PlaySample(0xFFFF, 0x8000);
  Render(1000);
  ASSERT_EQ(1, a->PauseSample());
  EXPECT_GT(a->pausePosition, 0u);
  EXPECT_EQ(0, Rms(Render(1000), 0, 0, 1000));
  ASSERT_EQ(1, a->UnPauseSample());
  EXPECT_GT(Rms(Render(1000), 0, 0, 1000), 1000);
  EXPECT_EQ(0, a->UnPauseSample());
}

// The host's device opens on a thread of its own while the game goes on making and playing
// its sounds. A stand-in device that opens (or finds none) when the test lets it.
std::atomic<bool> g_letOpen{false};
std::atomic<bool> g_deviceExists{true};
std::atomic<int> g_opens{0}, g_starts{0}, g_closes{0};

bool StandInOpen(uint32_t* rate) {
  while (!g_letOpen.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ++g_opens;
  *rate = 44100;
  return g_deviceExists.load();
}
void StandInStart() { ++g_starts; }
void StandInClose() { ++g_closes; }

class MixWhileTheDeviceOpens : public testing::Test {
 protected:
  void SetUp() override {
    g_letOpen = false;
    g_deviceExists = true;
    g_opens = g_starts = g_closes = 0;
    AudioUseManualDevice(false);
    AudioUseHostDevice(HostAudio{StandInOpen, StandInStart, StandInClose});
  }
  void TearDown() override {
    g_letOpen = true;  // a failed assertion must not leave the opening thread waiting
    lib_.Exit();
    AudioUseHostDevice(HostAudio{});
  }
  DalkSound& lib_ = g_DalkSound;
  static char* C(const std::string& s) { return const_cast<char*>(s.c_str()); }
};

TEST_F(MixWhileTheDeviceOpens, ASoundPlayedBeforeTheDeviceIsOpenIsHeardFromItsStart) {
  ASSERT_EQ(1, lib_.Init(nullptr, 10)) << "the library starts without waiting for the device";
  WavSpec s;
  s.data = Tone(2205);
  ASSERT_EQ(1, lib_.LoadSample(C(WriteTemp("early.wav", MakeWav(s))), 1));
  SNDSample* played = lib_.PlaySample(1, 0xFFFF, 0x8000);
  ASSERT_NE(nullptr, played);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(0, g_opens.load());
  EXPECT_TRUE(played->SamplePlaying());

  g_letOpen = true;
  ASSERT_TRUE(WaitFor([] { return g_starts.load() == 1; }));
  const auto mix = Render(4410);  // the device pulls: the whole sound, from its first frame
  const double full = 16000 / std::sqrt(2.0);
  EXPECT_NEAR(full, Rms(mix, 0, 0, 4400), full * 0.05);
  EXPECT_LT(std::abs(mix[0]), 2000) << "the tone's start, not its middle";

  lib_.Exit();
  EXPECT_EQ(1, g_closes.load());
}

TEST_F(MixWhileTheDeviceOpens, WithNoDeviceTheGameGoesOnSilentlyAndSaysSoOnce) {
  g_deviceExists = false;
  testing::internal::CaptureStderr();
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(1, lib_.Init(nullptr, 10));
    WavSpec s;
    s.data = Tone(2205);
    ASSERT_EQ(1, lib_.LoadSample(C(WriteTemp("none.wav", MakeWav(s))), 1));
    g_letOpen = true;
    ASSERT_TRUE(WaitFor([round] { return g_opens.load() == round + 1; }));
    EXPECT_NE(nullptr, lib_.PlaySample(1, 0xFFFF, 0x8000));  // plays to nobody
    lib_.Exit();  // waits for the opening thread; nothing was opened, so nothing to close
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(0, g_starts.load());
  EXPECT_EQ(0, g_closes.load());
  size_t lines = 0;
  for (size_t at = said.find("no audio device"); at != std::string::npos;
       at = said.find("no audio device", at + 1))
    ++lines;
  EXPECT_LE(lines, 1u) << said;
}

}  // namespace
