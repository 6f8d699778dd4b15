// The round's state as one JSON object, for the headless harness's dumps.
#include "game/state_dump.h"

#include <string>

#include "board/balloon_sprite.h"
#include "game/balloon_state.h"
#include "game/high_score_table.h"
#include "game/player_profiles.h"
#include "platform/runtime/state_dump.h"
#include "shell/app.h"
#include "shell/frame_timer.h"

namespace {

std::string JsonString(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c; ++c) {
    const unsigned char u = static_cast<unsigned char>(*c);
    if (u == '"' || u == '\\') {
      out += '\\';
      out += *c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += *c;
    }
  }
  return out + "\"";
}

void Field(std::string& out, const char* name, long long value) {
  out += "\"";
  out += name;
  out += "\":" + std::to_string(value) + ",";
}

std::string BoardJson(const BalloonState& s) {
  std::string out = "{";
  Field(out, "originX", s.originX);
  Field(out, "originY", s.originY);
  Field(out, "columns", s.columns);
  Field(out, "rows", s.rows);
  Field(out, "cellWidth", s.cellWidth);
  Field(out, "cellHeight", s.cellHeight);
  out += "\"cells\":[";
  const int count = s.board ? s.board->Count() : 0;
  for (int i = 0; i < count; ++i) {
    if (i) out += ",";
    const BalloonSprite* b = s.board->GetAt(i);
    if (!b)
      out += "null";
    else
      out += "{\"colour\":" + std::to_string(b->colour) + ",\"star\":" +
             std::to_string(b->star ? 1 : 0) + "}";
  }
  return out + "]}";
}

// The window title as the round start set it: the product and the current player's name.
std::string WindowTitle() {
  const PlayerProfiles& p = ThePlayerProfiles;
  if (p.IniPath()[0] == '\0') return ProductName;
  return std::string(ProductName) + " - " + p.Profile(p.CurrentId()).name;
}

}  // namespace

std::string RoundStateJson(BalloonState& s) {
  std::string out = "{";
  Field(out, "ticks", GetTicks());
  Field(out, "state", s.GetState());
  Field(out, "score", s.GetScore());
  Field(out, "lastPopScore", s.lastPopScore);
  Field(out, "previewPoints", s.previewPoints);
  Field(out, "endReason", s.endReason);
  Field(out, "clockSeconds", GetClockSeconds());
  Field(out, "clockRunning", GameClockRunning());
  Field(out, "gameTime", s.GetGameTime());
  Field(out, "minGroup", s.minGroup);
  Field(out, "playerId", s.GetPlayerId());
  out += "\"title\":" + JsonString(WindowTitle().c_str()) + ",";
  Field(out, "cursorColumn", s.cursorColumn);
  Field(out, "cursorRow", s.cursorRow);
  Field(out, "cursorShown", s.cursorShown);
  Field(out, "effects", s.effects ? s.effects->Count() : 0);
  Field(out, "effectsShowing", s.effectsShowing);
  out += "\"board\":" + BoardJson(s) + ",";
  out += "\"hallOfFame\":" +
         (s.highScores.HasRecords() ? HallOfFameJson(s.highScores) : std::string("[]"));
  return out + "}";
}

void RegisterRoundStateDump() {
  RegisterStateDump([] { return RoundStateJson(TheBalloonState); });
}
