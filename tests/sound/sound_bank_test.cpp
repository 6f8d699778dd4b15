#include "sound/sound_bank.h"

#include "sound_test_support.h"

namespace {

class Bank : public testing::Test {
 protected:
  void SetUp() override {
    AudioUseManualDevice(true);
    SoundBank::Init(nullptr, 20);
    WavSpec s;
    s.data = Tone(2205);
    path_ = WriteTemp("bank.wav", MakeWav(s));
  }
  void TearDown() override { SoundBank::Exit(); }
  SoundEntry* Load(const char* name) { return SoundBank::Load(path_.c_str(), name); }
  std::string path_;
};

TEST_F(Bank, IdsCountFromTenAndStayUniqueAfterAFree) {
  SoundEntry* a = Load("pop1");
  SoundEntry* b = Load("pop1");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(10ul, a->id);
  EXPECT_EQ(11ul, b->id);
  EXPECT_EQ(a, SoundBank::Find("pop1"));
  EXPECT_EQ(nullptr, SoundBank::Load("no/such.wav", "x"));
  SoundEntry* c = Load("blow");
  EXPECT_EQ(12ul, c->id);
  SoundBank::Free("pop1");
  EXPECT_EQ(b, SoundBank::Find("pop1"));
  SoundEntry* d = Load("thunder");  // the count is back at 2, yet 12 is still taken
  ASSERT_NE(nullptr, d);
  EXPECT_EQ(13ul, d->id);
  EXPECT_NE(nullptr, SoundBank::Play("thunder", 0xFFFF, 0));
}

TEST_F(Bank, FreeAllEmptiesTheTableAndRestartsIds) {
  Load("pop1");
  Load("pop2");
  SoundBank::FreeAll();
  EXPECT_EQ(0, SoundBank::List()->Count());
  EXPECT_EQ(DalkSound::g_SampleList, DalkSound::g_pLastSample);
  EXPECT_EQ(10ul, Load("pop3")->id);
}

TEST_F(Bank, PlayingUnknownNamesDoesNothing) {
  EXPECT_EQ(nullptr, SoundBank::Play("click", 0xFFFF, 0));
  EXPECT_EQ(nullptr, SoundBank::PlayIndex(5, 0xFFFF, 0));
  EXPECT_EQ(nullptr, SoundBank::PlayIndex(-1, 0xFFFF, 0));
}

TEST_F(Bank, TheGamesPanZeroIsHeardOnBothSides) {
  Load("pop1");
  SNDSample* first = SoundBank::Play("pop1", 0xFFFF, 0);
  SNDSample* second = SoundBank::Play("pop1", 0xFFFF, 0);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first, second);  // overlapping copies
  auto mix = Render(2000);
  EXPECT_GT(Rms(mix, 0, 0, 2000), 5000);
  EXPECT_NEAR(Rms(mix, 0, 0, 2000), Rms(mix, 1, 0, 2000), 1.0);
}

TEST_F(Bank, EffectsOffStillReturnsTheSample) {
  Load("pop1");
  SoundBank::EnableSFX(0);
  EXPECT_NE(nullptr, SoundBank::Play("pop1", 0xFFFF, 0));
  EXPECT_EQ(0, Rms(Render(1000), 0, 0, 1000));
}

TEST(BankLifetime, ExitWithoutInitStillShutsTheLibraryDown) {
  AudioUseManualDevice(true);
  ASSERT_EQ(1, g_DalkSound.Init(nullptr, 5));
  SoundBank::Exit();
  EXPECT_EQ(nullptr, DalkSound::GetDSObject());
  EXPECT_EQ(nullptr, DalkSound::g_SampleList);
}

}  // namespace
