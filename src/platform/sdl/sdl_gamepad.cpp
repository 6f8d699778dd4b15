// SDL's game controllers as the game's pad buttons. The d-pad and the left stick are one
// set of four directions; each direction is held while any controller holds it.
#include <map>

#include "platform/runtime/host_input.h"
#include "platform/sdl/gamepads.h"
#include "platform/sdl/sdl_handles.h"

namespace {

constexpr int kDirections = 4;  // PadButton::Up .. PadButton::Right
// The stick counts as pushed past the first and as let go inside the second, so a stick
// resting near the edge does not flicker.
constexpr int kStickPush = 16000;
constexpr int kStickRest = 8000;

bool PadFromSdl(int button, PadButton* out) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: *out = PadButton::Up; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: *out = PadButton::Down; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: *out = PadButton::Left; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: *out = PadButton::Right; return true;
    case SDL_CONTROLLER_BUTTON_A: *out = PadButton::A; return true;
    case SDL_CONTROLLER_BUTTON_B: *out = PadButton::B; return true;
    case SDL_CONTROLLER_BUTTON_X: *out = PadButton::X; return true;
    case SDL_CONTROLLER_BUTTON_Y: *out = PadButton::Y; return true;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: *out = PadButton::LeftShoulder; return true;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: *out = PadButton::RightShoulder; return true;
    case SDL_CONTROLLER_BUTTON_BACK: *out = PadButton::Back; return true;
    case SDL_CONTROLLER_BUTTON_START: *out = PadButton::Start; return true;
    default: return false;
  }
}

struct Controller {
  SDL_GameController* handle = nullptr;
  bool buttons[static_cast<int>(PadButton::Count)] = {};
  bool stick[kDirections] = {};
};

}  // namespace

struct Gamepads::State {
  SdlSubsystem subsystem{SDL_INIT_GAMECONTROLLER};
  std::map<SDL_JoystickID, Controller> controllers;
  bool held[static_cast<int>(PadButton::Count)] = {};
  uint32_t nextRepeat[kDirections] = {};

  void Handle(const SDL_Event& event);
  void Open(int deviceIndex);
  void Close(SDL_JoystickID id);
  void Stick(Controller& c, int axis, int value);
  void Refresh(uint32_t nowMs);
  bool AnyHolds(int index) const {
    for (const auto& [id, c] : controllers) {
      if (c.buttons[index] || (index < kDirections && c.stick[index])) return true;
    }
    return false;
  }
};

void Gamepads::State::Open(int deviceIndex) {
  SDL_GameController* handle = SDL_GameControllerOpen(deviceIndex);
  if (!handle) return;
  SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(handle));
  if (controllers.count(id)) {
    SDL_GameControllerClose(handle);  // told twice about the same one
    return;
  }
  controllers[id].handle = handle;
}

void Gamepads::State::Close(SDL_JoystickID id) {
  auto it = controllers.find(id);
  if (it == controllers.end()) return;
  SDL_GameControllerClose(it->second.handle);
  controllers.erase(it);  // what it held is let go by the next refresh
}

void Gamepads::State::Stick(Controller& c, int axis, int value) {
  int negative = -1, positive = -1;
  if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
    negative = static_cast<int>(PadButton::Left);
    positive = static_cast<int>(PadButton::Right);
  } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
    negative = static_cast<int>(PadButton::Up);
    positive = static_cast<int>(PadButton::Down);
  } else {
    return;
  }
  c.stick[negative] = c.stick[negative] ? value < -kStickRest : value < -kStickPush;
  c.stick[positive] = c.stick[positive] ? value > kStickRest : value > kStickPush;
}

void Gamepads::State::Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Open(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      Close(event.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      auto it = controllers.find(event.cbutton.which);
      PadButton button;
      if (it != controllers.end() && PadFromSdl(event.cbutton.button, &button))
        it->second.buttons[static_cast<int>(button)] = event.type == SDL_CONTROLLERBUTTONDOWN;
      break;
    }
    case SDL_CONTROLLERAXISMOTION: {
      auto it = controllers.find(event.caxis.which);
      if (it != controllers.end()) Stick(it->second, event.caxis.axis, event.caxis.value);
      break;
    }
    default:
      break;
  }
}

// Presses and releases for what changed, and the repeats of held directions.
void Gamepads::State::Refresh(uint32_t nowMs) {
  for (int i = 0; i < static_cast<int>(PadButton::Count); ++i) {
    const bool now = AnyHolds(i);
    const PadButton button = static_cast<PadButton>(i);
    if (now != held[i]) {
      held[i] = now;
      DeliverHostInput({now ? ReplayKind::PadDown : ReplayKind::PadUp, static_cast<int>(button)});
      if (now && i < kDirections) nextRepeat[i] = nowMs + kRepeatDelayMs;
    } else if (now && i < kDirections && static_cast<int32_t>(nowMs - nextRepeat[i]) >= 0) {
      DeliverHostInput({ReplayKind::PadDown, static_cast<int>(button)});
      nextRepeat[i] += kRepeatEveryMs;
      // Far behind (the game was busy): the next repeat counts from now.
      if (static_cast<int32_t>(nowMs - nextRepeat[i]) >= 0) nextRepeat[i] = nowMs + kRepeatEveryMs;
    }
  }
}

Gamepads::Gamepads() : state_(std::make_unique<State>()) {}

Gamepads::~Gamepads() {
  if (!state_) return;
  for (auto& [id, c] : state_->controllers) SDL_GameControllerClose(c.handle);
}

bool Gamepads::ok() const { return state_->subsystem.ok(); }

bool Gamepads::Handle(const SDL_Event& event) {
  if (event.type < SDL_JOYAXISMOTION || event.type > SDL_CONTROLLERSENSORUPDATE) return false;
  state_->Handle(event);
  return true;
}

int Gamepads::Connected() const { return static_cast<int>(state_->controllers.size()); }

bool Gamepads::DirectionHeld() const {
  for (int i = 0; i < kDirections; ++i)
    if (state_->held[i]) return true;
  return false;
}

void Gamepads::Pump(uint32_t nowMs) {
  if (!ok()) return;
  SDL_PumpEvents();
  SDL_Event events[16];
  int count;
  // Only the joystick and controller events; the window's stay for the video driver.
  while ((count = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_JOYAXISMOTION,
                                 SDL_CONTROLLERSENSORUPDATE)) > 0) {
    for (int i = 0; i < count; ++i) state_->Handle(events[i]);
  }
  state_->Refresh(nowMs);
}

// --- Software controllers for tests.

namespace {
std::map<int, SDL_Joystick*> virtualPads;
}

int AttachVirtualPad() {
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                              SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
  if (index < 0) return -1;
  SDL_Joystick* joystick = SDL_JoystickOpen(index);
  if (!joystick) {
    SDL_JoystickDetachVirtual(index);
    return -1;
  }
  const int id = SDL_JoystickInstanceID(joystick);
  virtualPads[id] = joystick;
  return id;
}

void SetVirtualPadButton(int pad, PadButton button, bool down) {
  static constexpr int kSdl[] = {
      SDL_CONTROLLER_BUTTON_DPAD_UP,      SDL_CONTROLLER_BUTTON_DPAD_DOWN,
      SDL_CONTROLLER_BUTTON_DPAD_LEFT,    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
      SDL_CONTROLLER_BUTTON_A,            SDL_CONTROLLER_BUTTON_B,
      SDL_CONTROLLER_BUTTON_X,            SDL_CONTROLLER_BUTTON_Y,
      SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
      SDL_CONTROLLER_BUTTON_BACK,         SDL_CONTROLLER_BUTTON_START};
  auto it = virtualPads.find(pad);
  const int index = static_cast<int>(button);
  if (it == virtualPads.end() || index < 0 || index >= static_cast<int>(PadButton::Count)) return;
  SDL_JoystickSetVirtualButton(it->second, kSdl[index], down ? 1 : 0);
}

void SetVirtualPadAxis(int pad, int axis, int value) {
  auto it = virtualPads.find(pad);
  if (it == virtualPads.end()) return;
  SDL_JoystickSetVirtualAxis(it->second, axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY,
                             static_cast<Sint16>(value));
}

void DetachVirtualPad(int pad) {
  auto it = virtualPads.find(pad);
  if (it == virtualPads.end()) return;
  // The device index of a virtual joystick: find it among the attached ones.
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == pad && SDL_JoystickIsVirtual(i)) {
      SDL_JoystickClose(it->second);
      SDL_JoystickDetachVirtual(i);
      break;
    }
  }
  virtualPads.erase(it);
}
