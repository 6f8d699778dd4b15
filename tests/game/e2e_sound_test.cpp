// What the round sounds like through the real program: its --audio-out capture, and the
// M and S keys that switch the music and the effects off for the rest of the run.
#include <atomic>
#include <cmath>
#include <thread>

#include "e2e_util.h"

using namespace e2e;

namespace {

// The stereo frames of a capture (the program writes a plain "fmt " + "data" file).
std::vector<int16_t> Frames(const std::string& wav) {
  std::vector<int16_t> out;
  const size_t at = wav.find("data");
  if (at == std::string::npos) return out;
  for (size_t i = at + 8; i + 1 < wav.size(); i += 2)
    out.push_back(static_cast<int16_t>(static_cast<uint8_t>(wav[i]) | (static_cast<uint8_t>(wav[i + 1]) << 8)));
  return out;
}

// Loudness of the capture between two moments of game time (ms), RMS in sample units.
double Rms(const std::vector<int16_t>& s, int fromMs, int toMs) {
  const size_t from = size_t(fromMs) * 441 / 10 * 2, to = std::min(s.size(), size_t(toMs) * 441 / 10 * 2);
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
  return to > from ? std::sqrt(sum / double(to - from)) : -1;
}

using Sound = GameRun;

// Two runs at once, beside busy threads: the music decoder is starved of time, and still
// both captures hold the same bytes, music included.
TEST_F(Sound, TheSameSeedAndScriptCaptureTheSameBytesUnderLoad) {
  WriteWholeFile(dir.File("script.txt"),
                 "wait 600\nclick " + CellPoint(3, 5) + "\nwait 900\nclick " + CellPoint(9, 9) +
                     "\nwait 900\nrclick " + CellPoint(4, 2) + "\nwait 9000\n");
  std::string runs;
  for (const char* name : {"a", "b"})
    runs += "'" + program + "' --headless --seed 99 --data game --script script.txt --audio-out " +
            name + ".wav > " + name + ".txt 2>&1 & ";
  std::atomic<bool> busy{true};
  std::vector<std::thread> load;
  for (int i = 0; i < 3; ++i)
    load.emplace_back([&] {
      volatile unsigned spin = 0;
      while (busy.load(std::memory_order_relaxed)) spin = spin + 1;
    });
  const int status = std::system(("cd '" + dir.path() + "' && { " + runs + "wait; }").c_str());
  busy = false;
  for (std::thread& t : load) t.join();
  ASSERT_EQ(status, 0);
  const std::string a = ReadWholeFile(dir.File("a.wav")), b = ReadWholeFile(dir.File("b.wav"));
  ASSERT_GT(a.size(), 44u + 11u * 44100 * 4) << "the capture covers the whole run";
  size_t differ = 0;
  while (differ < std::min(a.size(), b.size()) && a[differ] == b[differ]) ++differ;
  EXPECT_TRUE(a == b) << "two captures of one seed and script differ from frame "
                      << (differ - 44) / 4 << " on";
  const std::vector<int16_t> s = Frames(a);
  for (int second = 1; second < 11; ++second)
    EXPECT_GT(Rms(s, second * 1000, second * 1000 + 1000), 100.0) << "a hole in second " << second;
}

// M and S take the music and the effects away and give them back; the signs on the panel
// say which is off; the options file is left as it was.
TEST_F(Sound, MAndSSwitchTheMusicAndTheEffectsForTheRun) {
  const std::string options = "[setup]\nmusic=Y\nSFX=Y\nplayerid=0\n";
  WriteWholeFile(dir.File("options.ini"), options);
  const std::string pop = "click " + CellPoint(3, 5) + "\n";
  ASSERT_EQ(Run("wait 2500\nkey m\nwait 900\nscreenshot music.bmp\nkey s\nwait 100\n" + pop +
                    "wait 1000\nscreenshot both.bmp\nkey m\nwait 900\nkey s\nwait 100\n" + pop +
                    "wait 500\nscreenshot none.bmp\nwait 500\n",
                6000, "--audio-out run.wav"),
            0);
  const std::vector<int16_t> s = Frames(ReadWholeFile(dir.File("run.wav")));
  EXPECT_GT(Rms(s, 1500, 2500), 100.0) << "music before M";
  EXPECT_EQ(Rms(s, 2700, 3400), 0.0) << "the music goes on after M";
  EXPECT_EQ(Rms(s, 3600, 4400), 0.0) << "a pop is heard after S";
  EXPECT_GT(Rms(s, 4700, 5400), 100.0) << "the music does not come back with M";
  EXPECT_GT(PictureShown("music.bmp", "soundoff.bmp", 8, 298), 0.4);
  EXPECT_LT(PictureShown("music.bmp", "soundoff.bmp", 8, 298), 0.7) << "only the music's sign";
  EXPECT_GT(PictureShown("both.bmp", "soundoff.bmp", 8, 298), 0.95);
  EXPECT_LT(PictureShown("none.bmp", "soundoff.bmp", 8, 298), 0.3);
  EXPECT_EQ(ReadWholeFile(dir.File("options.ini")), options);
}

}  // namespace
