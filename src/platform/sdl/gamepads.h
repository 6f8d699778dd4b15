// Gamepads through SDL's game controller support: buttons, the d-pad and the left stick
// become pad button presses for the game (input::PadButtonChange). A held direction
// repeats, as a held arrow key does. Controllers may come and go at any time.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/runtime/messages.h"

union SDL_Event;

class Gamepads {
 public:
  Gamepads();
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // False when the host has no controller support; Pump then does nothing.
  bool ok() const;
  // Takes the controllers' pending events (nothing else) and repeats held directions.
  void Pump(uint32_t nowMs);
  // One event taken from SDL's queue by someone else; false when it is no controller's.
  bool Handle(const SDL_Event& event);
  int Connected() const;
  // A direction is held, so a repeat falls due by the clock.
  bool DirectionHeld() const;

  static constexpr uint32_t kRepeatDelayMs = 400;
  static constexpr uint32_t kRepeatEveryMs = 120;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// A controller that exists only in software (tests). Index from AttachVirtualPad, -1 when
// the host cannot make one. Axis: 0 left stick x, 1 left stick y; -32768..32767.
int AttachVirtualPad();
void SetVirtualPadButton(int pad, PadButton button, bool down);
void SetVirtualPadAxis(int pad, int axis, int value);
void DetachVirtualPad(int pad);
