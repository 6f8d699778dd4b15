#include "game/hall_of_fame_screen.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/points_text.h"
#include "game/small_font.h"
#include "shell/app.h"
#include "shell/dialog_screen.h"
#include "shell/redraw_list.h"
#include "sprites/sprite.h"

namespace {

// Where the card has room for each column (the generator draws the card to these numbers).
constexpr int kFirstRow = 78, kRowHeight = 22, kRankRight = 64, kScoreRight = 196;
constexpr int kNameLeft = 222, kMarkLeft = 20, kRightMargin = 24;
constexpr int kDigitTop = 3, kNameTop = 2;

DialogScreen* openScreen = nullptr;  // while the screen runs
int requested = 0;

// The name is the entry text up to its first ":"; the rest is the player's address and email.
std::string NameOf(const HighScoreRecord& record) {
  const char* end = static_cast<const char*>(std::memchr(record.text, ':', sizeof record.text));
  const size_t length = end ? size_t(end - record.text) : strnlen(record.text, sizeof record.text);
  return std::string(record.text, length);
}

bool Filled(const HighScoreRecord& record) { return record.score != 0 || record.text[0] != '\0'; }

}  // namespace

void WriteHallOfFame(Surface* card, Surface* mark, const HighScoreTable& table,
                     const char* currentEntry, Sprite* digits, const SmallFont& font) {
  if (!card) return;
  int width = 0, height = 0;
  SurfaceDesc desc;
  if (card->GetSurfaceDesc(&desc) == DD_OK) width = desc.width, height = desc.height;
  char number[16];
  for (int i = 0; i < kHallOfFameSize; ++i) {
    const int y = kFirstRow + i * kRowHeight;
    if (y + kRowHeight > height) break;
    const HighScoreRecord* record = table.Record(i);
    const bool filled = record && Filled(*record);
    if (filled && mark && currentEntry && std::strcmp(record->text, currentEntry) == 0) {
      SurfaceDesc markDesc;
      mark->GetSurfaceDesc(&markDesc);
      const Rect to{kMarkLeft, y + 1, kMarkLeft + markDesc.width, y + 1 + markDesc.height};
      card->Blt(&to, mark, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    }
    std::snprintf(number, sizeof number, "%d", i + 1);
    DrawNumber(digits, kRankRight, y + kDigitTop, number, card);
    if (!filled) continue;
    FormatPoints(record->score, number, sizeof number);
    DrawNumber(digits, kScoreRight, y + kDigitTop, number, card);
    const std::string name = NameOf(*record);
    font.Draw(card, name.empty() ? "-" : name.c_str(), kNameLeft, y + kNameTop,
              width - kRightMargin - kNameLeft);
  }
}

int ShowHallOfFame() {
  StopGameClock();
  auto dialog = std::make_unique<DialogScreen>();
  Picture* card = dialog->AddDialogPicture("halloffame.bmp", nullptr);
  dialog->AddDefaultButton();
  if (card && card->GetSurface()) {
    char current[kHighScoreTextSize] = {};
    TheBalloonState.MakePlayerEntry(current);
    SmallFont font;
    font.Load("smallfont.bmp");
    Picture mark("hallmark.bmp");
    WriteHallOfFame(card->GetSurface(), mark.GetSurface(), TheBalloonState.highScores, current,
                    TheBalloonModule.scoreFont, font);
  }
  TheBalloonState.DrawStatusUnderDialog();
  openScreen = dialog.get();
  char result[256] = {};  // Run fills a whole name-sized buffer
  const int ran = dialog->Run(result, nullptr);
  openScreen = nullptr;
  requested = 0;  // an F2 that closed it must not open it again
  if (!ran) return 0;
  TheRedrawList.AddDialogArea(dialog.get());
  TheBalloonState.dirty = 1;
  TheBalloonState.DrawRound(TheRedrawList.GetBackground());
  TheBalloonState.TakeStatusFromScene();
  // Like the rules, looking at the table costs the player no time.
  if (TheBalloonState.GetState() == Playing) StartGameClock();
  return 1;
}

int HallOfFameKeyUp(int virtualKey) {
  if (openScreen) {
    if (virtualKey != VK_ESCAPE && virtualKey != VK_F2) return 0;
    openScreen->SetResult("key");
    return 1;
  }
  if (virtualKey != VK_F2) return 0;
  requested = 1;
  return 1;
}

DialogScreen* OpenHallOfFame() { return openScreen; }

int TakeHallOfFameRequest() {
  const int was = requested;
  requested = 0;
  return was;
}
