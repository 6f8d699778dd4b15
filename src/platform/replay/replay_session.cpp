// One recording or one replay per run. Steps are counted on the main thread at every view
// of the timer, every turn of host events into input and every read of the frame rate;
// the same program fed the same steps takes the same path, so the counts agree.
#include "platform/replay/replay_session.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/files/file_replace.h"
#include "platform/files/host_fd.h"
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
// So no recording goes longer than this without an event: a replay whose game runs on past
// its last event by more is stopped, whatever its end says.
constexpr int kRunOnMs = 2 * kCheckEveryMs;
// A recording is handed to the system at least this often, and whenever this much waits.
constexpr double kFlushEveryMs = 1000.0;
constexpr size_t kFlushBytes = 64u << 10;
// What a table save in the sandbox needs at once: the table and its new copy.
constexpr size_t kSandboxRoom = 16u << 10;

struct Session {
  Mode mode = Mode::Off;
  ReplayLog log;  // recording: the header; no events are kept
  uint64_t step = 0;
  int ticks = 0;  // the last view's tick count
  bool anyView = false;
  // Recording.
  std::string toFile;
  bool intoFolder = false;
  bool begun = false;    // the files are made: at the first picture shown
  std::string pending;   // lines not yet written
  double flushedAtMs = 0.0;
  ReplayOutput fileOut, folderOut;
  int fileError = 0;
  std::string folderName;  // "" when the folder's file could not be made
  std::vector<HallOfFameEntry> unlinked;  // entered by this run, not yet in the links
  int lastButtons = 0;
  double lastRate = -1.0;
  bool ended = false;
  // Playing.
  std::unique_ptr<ReplayInput> input;
  ReplayEvent due;  // the event Due handed out
  bool realTime = false;
  bool drifted = false;
  bool sandboxFailed = false;
  bool cutOffReached = false;  // a cut-off recording played to its last event
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

double RealMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void Flush() {
  if (!session.begun || session.pending.empty()) return;
  session.fileOut.Write(session.pending);
  session.folderOut.Write(session.pending);
  session.pending.clear();
  session.flushedAtMs = RealMs();
}

void FlushIfDue() {
  if (session.pending.size() >= kFlushBytes || RealMs() - session.flushedAtMs >= kFlushEveryMs)
    Flush();
}

void Record(const ReplayEvent& e) {
  session.pending += ReplayEventLine(e);
  if (session.pending.size() >= kFlushBytes) Flush();
}

void Record(ReplayKind kind, int64_t a = 0, int64_t b = 0, int64_t c = 0) {
  ReplayEvent e;
  e.step = session.step;
  e.tick = session.ticks;
  e.kind = kind;
  e.a = a;
  e.b = b;
  e.c = c;
  Record(e);
}

// The entries this run made, noted beside its replay (never while the game saves: it holds
// the hall of fame's lock then, so this waits for the next step).
void LinkEntries() {
  if (!session.begun || session.unlinked.empty()) return;
  if (session.intoFolder) {
    Flush();
    for (const HallOfFameEntry& e : session.unlinked) LinkInReplayFolder(session.folderName, e);
  }
  session.unlinked.clear();
}

// The first picture is shown: the run is worth a replay, and its files are made.
void BeginFiles() {
  session.begun = true;
  session.pending = ReplayHeader(session.log) + session.pending;
  if (!session.toFile.empty()) {
    const int fd = CreateRecordingFile(session.toFile);
    if (fd >= 0) session.fileOut = ReplayOutput(fd);
    else session.fileError = errno;
  }
  if (session.intoFolder) {
    NewReplayFile file = CreateInReplayFolder();
    if (file.fd >= 0) {
      session.folderOut = ReplayOutput(file.fd);
      session.folderName = file.name;
    } else {
      std::fprintf(stderr, "zorbit: cannot keep the replay in replays/: %s\n",
                   FileErrorText(file.error).c_str());
    }
  }
  Flush();
  if (!session.folderName.empty()) PruneReplayFolder(session.folderName);
}

// 0 when a table can be saved in the sandbox now, else the errno.
int SandboxRoom() {
  const std::string probe = session.sandbox + "/room";
  const int error = ReplaceFile(probe, std::string(kSandboxRoom, '\0'));
  ::unlink(probe.c_str());
  return error;
}

void Drift(const std::string& what) {
  if (session.drifted) return;
  session.drifted = true;
  // A table the game could not save in the sandbox takes it off its recording: that is
  // this machine's fault, not the recording's.
  if (session.mode == Mode::Playing && !session.sandbox.empty()) {
    if (int error = SandboxRoom()) {
      session.sandboxFailed = true;
      std::fprintf(stderr,
                   "zorbit: the replay's private hall of fame in %s cannot be written (%s), so "
                   "the replay cannot follow its recording past tick %d\n",
                   session.sandbox.c_str(), FileErrorText(error).c_str(), session.ticks);
      return;
    }
  }
  std::fprintf(stderr,
               "zorbit: the replay drifted from its recording at tick %d (%.1f s into the run, "
               "step %llu): %s\n",
               session.ticks, session.ticks / 1000.0, static_cast<unsigned long long>(session.step),
               what.c_str());
}

// Playing: the events recorded at this step, one at a time, in order.
const ReplayEvent* Due() {
  const ReplayEvent* e = session.input->Peek();
  if (!e || e->step > session.step || e->kind == ReplayKind::End) return nullptr;
  if (e->step < session.step)
    Drift("the game took another path than its recording: input it had is now late");
  session.due = *e;
  session.input->Pop();
  return &session.due;
}

void CloseOnce() {
  if (session.closing) return;
  session.closing = true;
  PostToMainWindow(WM_CLOSE, 0, 0);
}

// Past the recording's end, nothing is left to feed: the replay stops there. A cut-off
// recording stops after its last event; any replay whose game runs on well past its last
// event stops too, whatever its end says.
void StopAtEnd() {
  const ReplayEvent* e = session.input->Peek();
  if (!session.input->Error().empty()) {
    Drift(session.input->Error());
    CloseOnce();
  } else if (e && e->kind == ReplayKind::End && session.step > e->step) {
    Drift("the recording ended here, the game did not");
    CloseOnce();
  } else if (!e && session.step > session.input->LastStep()) {
    session.cutOffReached = true;
    CloseOnce();
  } else if (session.ticks > session.input->LastTick() + kRunOnMs) {
    Drift("the game ran on past the recording's last event");
    CloseOnce();
  }
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

// The folder a replay's hall of fame lives in; false (with why) when it cannot be made
// or written.
bool MakeSandbox(const ReplayLog& header, std::string* why) {
  const std::string folder = TempFolder();
  std::string pattern = folder + "/zorbit-replay-XXXXXX";
  if (!CreateTempFolder(&pattern)) {
    *why = "its private folder cannot be made in " + folder + " (" + FileErrorText(errno) + ")";
    return false;
  }
  session.sandbox = pattern;
  int error = header.hasHallOfFame ? ReplaceFile(pattern + "/hiscore.dat", header.hallOfFame) : 0;
  if (error == 0) error = SandboxRoom();
  if (error == 0) return true;
  *why = "its private folder " + pattern + " cannot be written (" + FileErrorText(error) + ")";
  return false;
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

bool BeginPlaying(std::unique_ptr<ReplayInput> input, bool realTime) {
  Reset();
  // The hall of fame the recording started from, in a folder of its own: the game reads and
  // writes it there as usual, and the player's own is never touched.
  std::string why;
  if (!MakeSandbox(input->Header(), &why)) {
    std::fprintf(stderr, "zorbit: cannot play the replay: %s; a replay never plays on the "
                 "player's own files\n", why.c_str());
    Reset();
    return false;
  }
  session.mode = Mode::Playing;
  session.input = std::move(input);
  session.realTime = realTime;
  return true;
}

bool Recording() { return session.mode == Mode::Recording; }
bool Playing() { return session.mode == Mode::Playing; }

int PlayingFormat() { return session.input ? session.input->Header().format : kReplayFormatVersion; }

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
  if (session.mode == Mode::Recording && !session.begun) BeginFiles();
}

std::string Sign() {
  if (session.mode != Mode::Playing) return {};
  if (session.realTime && session.pace.PauseAsked()) return session.pace.Sign();
  if (session.drifted) return "DRIFTED";  // what follows is no longer the recorded run
  return session.realTime ? session.pace.Sign() : "REPLAY";
}

unsigned Seed(unsigned live) {
  if (session.mode == Mode::Playing) return session.input->Header().seed;
  if (session.mode == Mode::Recording) session.log.seed = live;
  return live;
}

void Setting(const char* file, const char* section, const char* key, std::string* value) {
  if (session.mode == Mode::Off || !file || !section || !key) return;
  // A run sees each setting as it first read it: the replay can give back only that.
  const ReplayLog& log = session.mode == Mode::Playing ? session.input->Header() : session.log;
  for (const ReplaySetting& s : log.settings) {
    if (s.file == file && s.section == section && s.key == key) {
      *value = s.value;
      return;
    }
  }
  if (session.mode != Mode::Recording) return;
  session.log.settings.push_back({file, section, key, *value});
  // Read after the header went out: it follows in the events.
  if (session.begun) session.pending += ReplaySettingLine(session.log.settings.back());
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
      Record(e);
    }
    return live;
  }
  const ReplayEvent* e = session.input->Peek();
  if (e && e->step == session.step && e->kind == ReplayKind::Rate) {
    session.lastRate = e->rate;
    session.input->Pop();
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
    const ReplayEvent* e = session.input->Peek();
    if (session.stopped) {
      // The player's choice, not a fault: say how far it went.
      std::fprintf(stderr, "zorbit: the replay was stopped at tick %d of %d\n", session.ticks,
                   e && e->kind == ReplayKind::End ? e->tick : session.input->LastTick());
    } else if (!e && session.input->Error().empty() && session.input->CutOff()) {
      session.cutOffReached = true;
    } else if (!e || e->kind != ReplayKind::End) {
      Drift("the game ended before its recording did");
    } else if (static_cast<uint32_t>(e->a) != StateCheck()) {
      Drift("the run ended on another board, score or hall of fame");
    }
  }
}

int Finish() {
  int code = 0;
  if (session.mode == Mode::Recording) {
    BeforeTeardown();
    LinkEntries();
    if (!session.begun) {
      // No picture was ever shown: there is no run to keep.
      if (!session.toFile.empty()) {
        std::fprintf(stderr, "zorbit: nothing was shown, so no replay was written to %s\n",
                     session.toFile.c_str());
        code = 1;
      }
    } else {
      Flush();
      const int fileError = session.fileError ? session.fileError : session.fileOut.Close();
      if (!session.toFile.empty() && fileError != 0) {
        std::fprintf(stderr, "zorbit: cannot write the replay %s: %s\n", session.toFile.c_str(),
                     FileErrorText(fileError).c_str());
        code = 1;
      }
      if (int error = session.folderOut.Close())
        std::fprintf(stderr, "zorbit: cannot keep the replay replays/%s whole: %s\n",
                     session.folderName.c_str(), FileErrorText(error).c_str());
      if (!session.folderName.empty()) PruneReplayFolder(session.folderName);
    }
  } else if (session.mode == Mode::Playing) {
    if (!session.ended) BeforeTeardown();
    code = session.sandboxFailed ? 1 : session.drifted ? 4 : 0;
    if (code == 0 && !session.stopped && session.cutOffReached) {
      std::fprintf(stderr,
                   "zorbit: the recording was cut off at tick %d (its run was stopped there); "
                   "the replay matched it up to there\n",
                   session.input->LastTick());
    } else if (code == 0 && !session.stopped) {
      std::fprintf(stderr, "zorbit: the replay matched its recording to the end\n");
    }
  }
  Reset();
  return code;
}

void NoteHallOfFameEntry(const char* text, int score) {
  if (session.mode == Mode::Recording) session.unlinked.push_back({text ? text : "", score});
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
    LinkEntries();
    if (session.begun) FlushIfDue();
    return;
  }
  // Playing: the recording's view, or the plain one where it noted nothing.
  view->ticks = predictedTicks;
  view->countdowns = 0;
  view->buttons = session.lastButtons;
  for (const ReplayEvent* e; (e = session.input->Peek()) && e->step == session.step &&
                            e->kind <= ReplayKind::Buttons;
       session.input->Pop()) {
    if (e->kind == ReplayKind::Frame) view->ticks = e->tick;
    if (e->kind == ReplayKind::Clock) view->countdowns = static_cast<int>(e->a);
    if (e->kind == ReplayKind::Buttons) view->buttons = static_cast<int>(e->a);
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

bool ReplayFocusLossPauses() {
  return !replay::Playing() || replay::PlayingFormat() >= kFirstFormatPausingOnFocusLoss;
}

std::string ReplaySign() { return replay::Sign(); }

void ReplayNoteHallOfFameEntry(const char* text, int score) {
  replay::NoteHallOfFameEntry(text, score);
}
