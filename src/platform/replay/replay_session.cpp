// One recording or one replay per run. Steps are counted on the main thread at every view
// of the timer, every turn of host events into input and every read of the frame rate;
// the same program fed the same steps takes the same path, so the counts agree.
#include "platform/replay/replay_session.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/files/file_replace.h"
#include "platform/files/paths.h"
#include "platform/replay/replay.h"
#include "platform/replay/replay_folder.h"
#include "platform/replay/replay_pace.h"
#include "platform/runtime/clock.h"
#include "platform/runtime/clock_internal.h"
#include "platform/runtime/run_options.h"
#include "platform/runtime/state_dump.h"
#include "platform/video/backend.h"
#include "platform/win32/window/input.h"
#include "platform/win32/window/window_internal.h"

#ifndef ZORBIT_VERSION
#define ZORBIT_VERSION "unknown"
#endif

namespace replay {
namespace {

enum class Mode { Off, Recording, Playing };

// A check value goes into the recording whenever the tick count passes a multiple of this.
constexpr int kCheckEveryMs = 5000;

struct Session {
  Mode mode = Mode::Off;
  ReplayLog log;
  uint64_t step = 0;
  int ticks = 0;  // the last view's tick count
  bool anyView = false;
  // Recording.
  std::string toFile;
  bool intoFolder = false;
  std::vector<HallOfFameEntry> entries;  // entered by this run
  int lastButtons = 0;
  double lastRate = -1.0;
  bool ended = false;
  // Playing.
  size_t next = 0;  // the next event of the log to use
  bool realTime = false;
  bool drifted = false;
  bool closing = false;
  bool stopped = false;  // the player ended the playback early
  std::string sandbox;
  PlaybackPace pace;  // in the window
  uint32_t virtualStart = 0;
  int firstTicks = 0;
};

Session session;

uint32_t StateCheck() {
  // FNV-1a over the game's whole state as it dumps it: board, score, clock, hall of fame.
  uint32_t hash = 2166136261u;
  for (unsigned char c : CurrentStateDump()) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

void Record(ReplayKind kind, int64_t a = 0, int64_t b = 0, int64_t c = 0) {
  ReplayEvent e;
  e.step = session.step;
  e.tick = session.ticks;
  e.kind = kind;
  e.a = a;
  e.b = b;
  e.c = c;
  session.log.events.push_back(e);
}

void Drift(const std::string& what) {
  if (session.drifted) return;
  session.drifted = true;
  std::fprintf(stderr,
               "zorbit: the replay drifted from its recording at tick %d (%.1f s into the run, "
               "step %llu): %s\n",
               session.ticks, session.ticks / 1000.0, static_cast<unsigned long long>(session.step),
               what.c_str());
}

// Playing: the events recorded at this step, one at a time, in order.
const ReplayEvent* Due() {
  const auto& events = session.log.events;
  if (session.next >= events.size()) return nullptr;
  const ReplayEvent& e = events[session.next];
  if (e.step > session.step || e.kind == ReplayKind::End) return nullptr;
  if (e.step < session.step)
    Drift("the game took another path than its recording: input it had is now late");
  ++session.next;
  return &e;
}

void CloseOnce() {
  if (session.closing) return;
  session.closing = true;
  PostToMainWindow(WM_CLOSE, 0, 0);
}

// Past the recording's end, nothing is left to feed: the replay stops there.
void StopAtEnd() {
  const auto& events = session.log.events;
  if (session.next < events.size() && events[session.next].kind == ReplayKind::End &&
      session.step > events[session.next].step) {
    Drift("the recording ended here, the game did not");
    CloseOnce();
  }
}

double RealMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void WaitRealTime(double alongMs) {
  for (;;) {
    Video().PollEvents();  // the player's keys steer the playback meanwhile
    if (session.closing) return;
    const double wait = session.pace.WaitMs(alongMs, RealMs());
    if (wait <= 0.0) return;
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(wait));
  }
}

// Playing: the game's time follows the recording's.
void KeepPace() {
  if (!session.anyView) {
    session.anyView = true;
    session.firstTicks = session.ticks;
    session.virtualStart = ClockNowMs();
    session.pace.Start(RealMs());
  }
  const int along = session.ticks - session.firstTicks;
  if (ClockIsVirtual()) {
    const uint32_t target = session.virtualStart + static_cast<uint32_t>(along);
    if (static_cast<int32_t>(target - ClockNowMs()) > 0) ClockAdvance(target - ClockNowMs());
  } else if (session.realTime) {
    WaitRealTime(along);
  }
}

bool IsInput(ReplayKind kind) { return kind >= ReplayKind::Move && kind <= ReplayKind::Post; }

// The input that reached the game after this step began (a window's events at its turn, a
// script's between two steps), in the order it came.
void ApplyDueInput() {
  while (const ReplayEvent* e = Due()) {
    if (IsInput(e->kind)) {
      ApplyHostInput({e->kind, static_cast<int>(e->a), static_cast<int>(e->b),
                      static_cast<int>(e->c)});
    } else if (e->kind == ReplayKind::Check) {
      if (static_cast<uint32_t>(e->a) != StateCheck()) Drift("the board and score differ");
    } else {
      Drift("the game took another path than its recording: it looked at the timer or "
            "the frame rate at other moments");
    }
  }
  StopAtEnd();
}

}  // namespace

const char* GameVersion() { return ZORBIT_VERSION; }

void Reset() {
  if (!session.sandbox.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(session.sandbox, ignored);
  }
  session = Session{};
}

void BeginRecording(const std::string& toFile, bool intoFolder, unsigned seed) {
  Reset();
  session.mode = Mode::Recording;
  session.toFile = toFile;
  session.intoFolder = intoFolder;
  session.log.gameVersion = GameVersion();
  session.log.seed = seed;
  std::string bytes;
  if (ReadHostFile(MapPath("hiscore.dat"), 1 << 16, &bytes)) {
    session.log.hasHallOfFame = true;
    session.log.hallOfFame = bytes;
  }
}

void BeginPlaying(ReplayLog log, bool realTime) {
  Reset();
  session.mode = Mode::Playing;
  session.log = std::move(log);
  session.realTime = realTime;
  // The hall of fame the recording started from, in a folder of its own: the game reads and
  // writes it there as usual, and the player's own is never touched.
  std::string pattern = (std::filesystem::temp_directory_path() / "zorbit-replay-XXXXXX").string();
  if (::mkdtemp(pattern.data())) {
    session.sandbox = pattern;
    if (session.log.hasHallOfFame) ReplaceFile(pattern + "/hiscore.dat", session.log.hallOfFame);
  }
}

bool Recording() { return session.mode == Mode::Recording; }
bool Playing() { return session.mode == Mode::Playing; }

void NextStep() {
  if (session.mode == Mode::Off) return;
  ++session.step;
  if (session.mode == Mode::Playing) ApplyDueInput();
}

void NoteInput(const HostInput& input) {
  if (session.mode == Mode::Recording) Record(input.kind, input.a, input.b, input.c);
}

void PlaybackControl(const HostInput& input) {
  if (session.mode != Mode::Playing) return;
  bool stop = input.kind == ReplayKind::Close ||
              (input.kind == ReplayKind::Post && input.a == static_cast<int>(WM_CLOSE));
  if (input.kind == ReplayKind::KeyDown || input.kind == ReplayKind::KeyUp) {
    stop = session.pace.Key(input.a, input.kind == ReplayKind::KeyDown, RealMs()) ==
           PlaybackPace::Steer::Stop;
  } else if (input.kind == ReplayKind::ReleaseAll) {
    session.pace.ReleaseAll();
  }
  if (stop) {
    session.stopped = true;
    CloseOnce();
  }
}

void AfterPresent() {
  if (session.mode == Mode::Playing) session.pace.NotePresent();
}

std::string Sign() {
  if (session.mode != Mode::Playing) return {};
  if (session.realTime && session.pace.PauseAsked()) return session.pace.Sign();
  if (session.drifted) return "DRIFTED";  // what follows is no longer the recorded run
  return session.realTime ? session.pace.Sign() : "REPLAY";
}

unsigned Seed(unsigned live) {
  if (session.mode == Mode::Playing) return session.log.seed;
  if (session.mode == Mode::Recording) session.log.seed = live;
  return live;
}

void Setting(const char* file, const char* section, const char* key, std::string* value) {
  if (session.mode == Mode::Off || !file || !section || !key) return;
  // A run sees each setting as it first read it: the replay can give back only that.
  for (const ReplaySetting& s : session.log.settings) {
    if (s.file == file && s.section == section && s.key == key) {
      *value = s.value;
      return;
    }
  }
  if (session.mode == Mode::Recording) session.log.settings.push_back({file, section, key, *value});
}

float FrameRate(float live) {
  if (session.mode == Mode::Off) return live;
  ++session.step;
  if (session.mode == Mode::Recording) {
    if (static_cast<double>(live) != session.lastRate) {
      session.lastRate = live;
      ReplayEvent e;
      e.step = session.step;
      e.tick = session.ticks;
      e.kind = ReplayKind::Rate;
      e.rate = live;
      session.log.events.push_back(e);
    }
    return live;
  }
  const auto& events = session.log.events;
  if (session.next < events.size() && events[session.next].step == session.step &&
      events[session.next].kind == ReplayKind::Rate) {
    session.lastRate = events[session.next++].rate;
  }
  ApplyDueInput();
  return session.lastRate < 0 ? live : static_cast<float>(session.lastRate);
}

const std::string& HallOfFameSandbox() { return session.sandbox; }

void BeforeTeardown() {
  if (session.mode == Mode::Recording && !session.ended) {
    session.ended = true;
    ++session.step;
    Record(ReplayKind::End, StateCheck());
  } else if (session.mode == Mode::Playing && !session.ended) {
    session.ended = true;
    const auto& events = session.log.events;
    if (session.stopped) {
      // The player's choice, not a fault: say how far it went.
      const int last = events.empty() ? 0 : events.back().tick;
      std::fprintf(stderr, "zorbit: the replay was stopped at tick %d of %d\n", session.ticks,
                   last);
    } else if (session.next >= events.size() || events[session.next].kind != ReplayKind::End) {
      Drift("the game ended before its recording did");
    } else if (static_cast<uint32_t>(events[session.next].a) != StateCheck()) {
      Drift("the run ended on another board, score or hall of fame");
    }
  }
}

bool Finish() {
  bool ok = true;
  if (session.mode == Mode::Recording) {
    BeforeTeardown();
    const std::string text = WriteReplay(session.log);
    if (!session.toFile.empty()) {
      int error = ReplaceFile(session.toFile, text);
      if (error != 0) {
        std::fprintf(stderr, "zorbit: cannot write the replay %s: %s\n", session.toFile.c_str(),
                     FileErrorText(error).c_str());
        ok = false;
      }
    }
    if (session.intoFolder) KeepInReplayFolder(text, session.entries);
  } else if (session.mode == Mode::Playing) {
    if (!session.ended) BeforeTeardown();
    ok = !session.drifted;
    if (ok && !session.stopped)
      std::fprintf(stderr, "zorbit: the replay matched its recording to the end\n");
  }
  Reset();
  return ok;
}

void NoteHallOfFameEntry(const char* text, int score) {
  if (session.mode == Mode::Recording) session.entries.push_back({text ? text : "", score});
}

void View(bool pacing, int predictedTicks, TimerView* view) {
  // A pacing view counts as progress whether or not the live run had to wait for it, so
  // that the message loop idles at the same steps live and replayed.
  if (pacing) NoteProgress();
  if (session.mode == Mode::Off) return;
  ++session.step;
  if (session.mode == Mode::Recording) {
    const int before = session.ticks;
    session.ticks = view->ticks;
    if (view->ticks != predictedTicks) Record(ReplayKind::Frame);
    if (view->countdowns > 0) Record(ReplayKind::Clock, view->countdowns);
    if (view->buttons != session.lastButtons) Record(ReplayKind::Buttons, view->buttons);
    session.lastButtons = view->buttons;
    if (view->ticks / kCheckEveryMs != before / kCheckEveryMs) Record(ReplayKind::Check, StateCheck());
    return;
  }
  // Playing: the recording's view, or the plain one where it noted nothing.
  view->ticks = predictedTicks;
  view->countdowns = 0;
  view->buttons = session.lastButtons;
  const auto& events = session.log.events;
  while (session.next < events.size() && events[session.next].step == session.step &&
         events[session.next].kind <= ReplayKind::Buttons) {
    const ReplayEvent& e = events[session.next++];
    if (e.kind == ReplayKind::Frame) view->ticks = e.tick;
    if (e.kind == ReplayKind::Clock) view->countdowns = static_cast<int>(e.a);
    if (e.kind == ReplayKind::Buttons) view->buttons = static_cast<int>(e.a);
  }
  session.lastButtons = view->buttons;
  session.ticks = view->ticks;
  KeepPace();
  ApplyDueInput();
}

bool FilterHostInput(const HostInput& input) {
  if (Playing()) {
    PlaybackControl(input);
    return true;
  }
  NoteInput(input);
  return false;
}

}  // namespace replay

unsigned PlatformSeedTime() {
  const PlatformOptions& options = GetPlatformOptions();
  return replay::Seed(options.hasSeed ? options.seed : static_cast<unsigned>(std::time(nullptr)));
}

void ReplayTimerView(int predictedTicks, TimerView* view) {
  replay::View(false, predictedTicks, view);
}

void ReplayPacingView(int predictedTicks, TimerView* view) {
  replay::View(true, predictedTicks, view);
}

bool ReplayPlaying() { return replay::Playing(); }

bool ReplayActive() { return replay::Playing() || replay::Recording(); }

std::string ReplaySign() { return replay::Sign(); }

void ReplayNoteHallOfFameEntry(const char* text, int score) {
  replay::NoteHallOfFameEntry(text, score);
}
