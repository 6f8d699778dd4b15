#include "sound_test_support.h"

namespace {

class SampleTable : public SoundLibraryTest {
 protected:
  void SetUp() override {
    SoundLibraryTest::SetUp();
    WavSpec s;
    s.data = Tone(2205);  // 0.1 s
    path_ = WriteTemp("table.wav", MakeWav(s));
  }
  int Load(unsigned long id) { return lib_.LoadSample(C(path_), id); }
  SNDSample* Slot(int i) { return &DalkSound::g_SampleList[i]; }
  std::string path_;
};

TEST_F(SampleTable, EventRecordsAreCappedAtSixtyFour) {
  EXPECT_EQ(11, DalkSound::g_nMaxEventCount);
  lib_.Exit();
  ASSERT_EQ(1, lib_.Init(nullptr, 200));
  EXPECT_EQ(64, DalkSound::g_nMaxEventCount);
  EXPECT_EQ(DalkSound::g_SampleList + 200, DalkSound::g_pEndSample);
}

TEST_F(SampleTable, MarkFollowsTheHighestSlotInUse) {
  ASSERT_EQ(1, Load(1));
  ASSERT_EQ(1, Load(2));
  ASSERT_EQ(1, Load(3));
  EXPECT_EQ(Slot(3), DalkSound::g_pLastSample);
  lib_.FreeSample(Slot(0));  // below others: they stay visible
  EXPECT_EQ(Slot(3), DalkSound::g_pLastSample);
  EXPECT_EQ(Slot(2), lib_.FindSample(3));
  Slot(2)->flags &= ~SNDSample::Reserved;
  // The freed slot is handed out first.
  ASSERT_EQ(1, Load(4));
  EXPECT_EQ(4u, Slot(0)->id);
}

TEST_F(SampleTable, LoadingALoadedIdLoadsNothingAndReservesIt) {
  ASSERT_EQ(1, Load(7));
  EXPECT_EQ(1, Load(7));
  EXPECT_EQ(Slot(1), DalkSound::g_pLastSample);
  EXPECT_TRUE(Slot(0)->flags & SNDSample::Reserved);
  ASSERT_EQ(1, Load(0xFFFFFFFF));
  EXPECT_EQ(0u, Slot(1)->id);
}

TEST_F(SampleTable, PlayingABusySampleMakesADuplicateThatIsCollectedWhenIdle) {
  ASSERT_EQ(1, Load(5));
  ASSERT_EQ(1, Load(6));
  SNDSample* first = lib_.PlaySample(5, 0xFFFF, 0x8000);
  ASSERT_EQ(Slot(0), first);
  EXPECT_TRUE(first->SamplePlaying());
  SNDSample* second = lib_.PlaySample(5, 0xFFFF, 0x8000);
  ASSERT_EQ(Slot(2), second);
  EXPECT_TRUE(second->flags & SNDSample::Duplicate);
  EXPECT_TRUE(second->SamplePlaying());
  // Both sound at once: twice the level of one.
  auto mix = Render(512);
  EXPECT_GT(Rms(mix, 0, 0, 512), 10000);
  Render(44100 / 5);  // both have ended
  EXPECT_FALSE(second->SamplePlaying());
  // A lookup that walks past the idle duplicate frees it.
  EXPECT_EQ(nullptr, lib_.FindSample(99));
  EXPECT_EQ(0u, Slot(2)->flags);
  EXPECT_EQ(nullptr, Slot(2)->buffer);
}

TEST_F(SampleTable, FreeingAPlayingIdLeavesThePlayingInstance) {
  ASSERT_EQ(1, Load(5));
  lib_.PlaySample(5, 0xFFFF, 0x8000);
  lib_.FreeSample(5ul);
  EXPECT_TRUE(Slot(0)->flags & SNDSample::InUse);
  EXPECT_TRUE(Slot(0)->SamplePlaying());
  EXPECT_EQ(0u, Slot(1)->flags);  // the duplicate made for the lookup is gone again
}

TEST_F(SampleTable, AFullTableRefusesLoadsAndDuplicates) {
  for (unsigned long id = 1; id <= 10; ++id) ASSERT_EQ(1, Load(id));
  EXPECT_EQ(0, Load(11));
  lib_.PlaySample(1, 0xFFFF, 0x8000);
  EXPECT_EQ(nullptr, lib_.PlaySample(1, 0xFFFF, 0x8000));
}

TEST_F(SampleTable, EffectsSwitchedOff) {
  ASSERT_EQ(1, Load(5));
  lib_.EnableSFX(0);
  SNDSample* s = lib_.PlaySample(5, 0xFFFF, 0x8000);
  ASSERT_EQ(Slot(0), s);
  EXPECT_FALSE(s->SamplePlaying());
  EXPECT_TRUE(s->flags & SNDSample::Reserved);
  EXPECT_EQ(1, lib_.PlaySampleIDOnce(5, 0xFFFF, 0x8000));
  EXPECT_EQ(0, Rms(Render(1024), 0, 0, 1024));
}

TEST_F(SampleTable, PlayOnceRefusesAPlayingSample) {
  ASSERT_EQ(1, Load(5));
  EXPECT_EQ(1, lib_.PlaySampleIDOnce(5, 0xFFFF, 0x8000));
  EXPECT_EQ(1, lib_.PlaySampleIDOnce(5, 0xFFFF, 0x8000));  // a duplicate starts
  EXPECT_EQ(0, lib_.PlaySampleIDOnce(99, 0xFFFF, 0x8000));
}

TEST_F(SampleTable, AfterExitNothingIsFoundOrTouched) {
  ASSERT_EQ(1, Load(5));
  lib_.Exit();
  EXPECT_EQ(nullptr, lib_.FindSample(5));
  EXPECT_EQ(nullptr, DalkSound::AllocSample());
  EXPECT_EQ(nullptr, lib_.PlaySample(5, 0xFFFF, 0));
  lib_.FlushSamples();
  DalkSound::ClearSampleList();
  ASSERT_EQ(1, lib_.Init(nullptr, slots_));
}

TEST(SoundMapping, VolumeAndPanValues) {
  const struct {
    int (*map)(int);
    int in, want;
  } rows[] = {{DalkSound::MapVolume, 0xFFFF, 0},     {DalkSound::MapVolume, 0x8000, -1000},
              {DalkSound::MapVolume, 0, -10000},     {DalkSound::MapVolume, 0x10000, 0},
              {DalkSound::MapVolume, -5, -10000},    {DalkSound::MapPan, 0, 10000},
              {DalkSound::MapPan, 0x8000, 0},        {DalkSound::MapPan, 0x7FFF, 0},
              {DalkSound::MapPan, 0xFFFF, -10000},   {DalkSound::MapPan, 0x10000, -10000},
              {DalkSound::MapPan, 1, 10000}};
  for (const auto& row : rows)
    EXPECT_EQ(row.want, row.map(row.in))
        << (row.map == DalkSound::MapVolume ? "volume " : "pan ") << row.in;
  const std::pair<int, int> table[] = {{32, -9000}, {12288, -415}, {16, -10000}, {16373, 0}};
  for (auto [at, want] : table) EXPECT_EQ(want, DalkSound::g_VolumeTable[at]) << at;
}

}  // namespace
