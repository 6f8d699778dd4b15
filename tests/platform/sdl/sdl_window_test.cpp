// The real program in a real window under a virtual X server: what the X server shows in
// the window is, pixel for pixel, the headless screenshot of the same seed and script,
// whichever way the picture reaches the window.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_folder.h"

namespace fs = std::filesystem;

namespace {

// Pixels as 0xRRGGBB, row after row from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

uint32_t Byte(const std::string& data, size_t at) { return static_cast<unsigned char>(data[at]); }

// A 24-bit bottom-up BMP as the game's screenshots write it.
Picture FromBmp(const std::string& data) {
  Picture p;
  if (data.size() < 54 || data[0] != 'B') return p;
  auto le32 = [&](size_t at) {
    return Byte(data, at) | Byte(data, at + 1) << 8 | Byte(data, at + 2) << 16 |
           Byte(data, at + 3) << 24;
  };
  p.width = static_cast<int>(le32(18));
  p.height = static_cast<int>(le32(22));
  const size_t rowBytes = (static_cast<size_t>(p.width) * 3 + 3) & ~size_t{3};
  if (data.size() < 54 + rowBytes * p.height) return Picture{};
  for (int y = 0; y < p.height; ++y) {
    const size_t row = 54 + rowBytes * (p.height - 1 - y);
    for (int x = 0; x < p.width; ++x) {
      const size_t at = row + 3 * static_cast<size_t>(x);
      p.pixels.push_back(Byte(data, at + 2) << 16 | Byte(data, at + 1) << 8 | Byte(data, at));
    }
  }
  return p;
}

// An X window dump (xwd) of a true-colour window, 24 or 32 bits a pixel.
Picture FromXwd(const std::string& data) {
  Picture p;
  auto be32 = [&](size_t at) {
    return Byte(data, at) << 24 | Byte(data, at + 1) << 16 | Byte(data, at + 2) << 8 |
           Byte(data, at + 3);
  };
  if (data.size() < 100) return p;
  const uint32_t headerSize = be32(0), width = be32(16), height = be32(20), byteOrder = be32(28);
  const uint32_t bitsPerPixel = be32(44), bytesPerLine = be32(48), colours = be32(76);
  const size_t first = headerSize + size_t{colours} * 12;
  const uint32_t bytes = bitsPerPixel / 8;
  if ((bytes != 3 && bytes != 4) || data.size() < first + size_t{bytesPerLine} * height)
    return p;
  p.width = static_cast<int>(width);
  p.height = static_cast<int>(height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = first + size_t{y} * bytesPerLine + size_t{x} * bytes;
      uint32_t v = 0;
      for (uint32_t i = 0; i < bytes; ++i) {
        const uint32_t b = Byte(data, at + i);
        v |= byteOrder == 0 ? b << (8 * i) : b << (8 * (bytes - 1 - i));
      }
      p.pixels.push_back(v & 0xFFFFFF);
    }
  }
  return p;
}

bool Installed(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Inside the virtual X server: the pointer away from where the window will be, the game
// with its script, and a dump of the window once the script's screenshot is written (the
// script then deactivates the game, so the window holds that picture until it closes).
// The clock's face on the 800x600 picture, with a margin.
struct Rect { size_t x0, y0, x1, y1; };
constexpr Rect kClockFace{4, 210, 84, 290};

constexpr const char* kInX = R"SH(
set -u
dir="$1"; exe="$2"; vsync="$3"
xdotool mousemove 0 0
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" SDL_AUDIODRIVER=dummy ZORBIT_VSYNC="$vsync" \
  ZORBIT_TRACE=1 "$exe" --data "$dir/game" --seed 1 --script "$dir/s.txt" --max-ms 60000 \
  >"$dir/log.txt" 2>&1 &
pid=$!
for i in $(seq 300); do [ -s "$dir/window.bmp" ] && break; sleep 0.05; done
sleep 0.5
wid=$(xdotool search --name '^Zorbit' | head -1)
xwd -silent -id "$wid" >"$dir/window.xwd"
xprop -id "$wid" WM_CLASS _NET_WM_ICON | head -2 >"$dir/props.txt"
wait $pid
)SH";

}  // namespace

TEST(SdlWindow, TheWindowShowsExactlyTheHeadlessPicture) {
  const char* exe = std::getenv("ZORBIT_EXE");
  fs::path data = fs::path(ZORBIT_BINARY_DIR) / "game";
  if (!exe || !fs::exists(exe) || !fs::exists(data / "background.bmp"))
    GTEST_SKIP() << "needs the built program and its generated data";
  if (!Installed("xvfb-run") || !Installed("xdotool") || !Installed("xwd") || !Installed("xprop"))
    GTEST_SKIP() << "needs xvfb-run, xdotool, xwd and xprop";

  TempFolder dir;
  fs::copy(data, dir / "game", fs::copy_options::recursive);
  // Nothing on the picture may depend on how fast the real run started or ran: no pop
  // (rising scores move by the measured frame rate). The screenshot is taken at a present,
  // so the game is deactivated only after one more.
  const std::string script =
      "wait 1500\nmove 170 20\nwait 400\nscreenshot SHOT\nwait 50\ndeactivate\nwait 3000\n";
  auto scriptFor = [&](const std::string& shot) {
    std::string s = script;
    s.replace(s.find("SHOT"), 4, dir / shot);
    return s;
  };
  dir.Write("s.txt", scriptFor("window.bmp"));
  dir.Write("in_x.sh", kInX);
  dir.Write("h.txt", scriptFor("headless.bmp"));
  std::string command = std::string("ASAN_OPTIONS=detect_leaks=0 '") + exe +
                        "' --headless --data '" + (dir / "game") + "' --seed 1 --script '" +
                        (dir / "h.txt") + "' >'" + (dir / "hlog.txt") + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << dir.Read("hlog.txt");
  Picture headless = FromBmp(dir.Read("headless.bmp"));
  ASSERT_EQ(headless.width, 800);
  ASSERT_EQ(headless.height, 600);

  // As the window presents by default, and through OpenGL on the presenting thread (which
  // the virtual X server's software GL draws).
  for (const char* vsync : {"0", "1"}) {
    SCOPED_TRACE(std::string("ZORBIT_VSYNC=") + vsync);
    fs::remove(dir / "window.bmp");
    command = "xvfb-run -a -s '-screen 0 1024x768x24' bash '" + (dir / "in_x.sh") + "' '" +
              dir.path() + "' '" + exe + "' " + vsync;
    ASSERT_EQ(std::system(command.c_str()), 0) << dir.Read("log.txt");
    const std::string log = dir.Read("log.txt");
    EXPECT_EQ(log.find("OpenGL with vsync") != std::string::npos, *vsync == '1') << log;
    // The first screen's list of pictures to read ahead names every one it loads.
    EXPECT_NE(log.find("pictures read by SDL"), std::string::npos) << log;
    EXPECT_EQ(log.find("not read ahead"), std::string::npos) << log;
    // The desktop finds the menu entry's name and icon by the window's class; the window's
    // own icon is the game's.
    const std::string props = dir.Read("props.txt");
    EXPECT_NE(props.find("WM_CLASS(STRING) = \"org.zorbit.zorbit\""), std::string::npos) << props;
    EXPECT_NE(props.find("Icon (64 x 64)"), std::string::npos) << props;
    Picture window = FromXwd(dir.Read("window.xwd"));
    // The picture the window holds once the game stopped is the headless one.
    ASSERT_EQ(window.width, 800);
    ASSERT_EQ(window.height, 600);
    // The clock's hand is the one thing that depends on real time: the round's clock starts
    // counting while the pictures load, so on a loaded machine the window's run has counted
    // a second less by the screenshot (seen: 3,376 pixels of the hand, never anything else).
    // The face is left out; every other pixel must be the headless one.
    auto onClockFace = [](size_t i) {
      const size_t x = i % 800, y = i / 800;
      return x >= kClockFace.x0 && x < kClockFace.x1 && y >= kClockFace.y0 && y < kClockFace.y1;
    };
    size_t differing = 0;
    for (size_t i = 0; i < window.pixels.size(); ++i)
      differing += !onClockFace(i) && window.pixels[i] != headless.pixels[i];
    EXPECT_EQ(differing, 0u);
  }
}
