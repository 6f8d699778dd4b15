// What the shell reaches in the game: the start-up module and the round's end at shutdown.
#include "shell/game_links.h"

#include "game/balloon_module.h"
#include "game/balloon_state.h"
#include "game/data_check.h"
#include "platform/win32/display/dalk.h"

namespace {
ScreenModule* startupOverride = nullptr;
}

ScreenModule* StartupModule() { return startupOverride ? startupOverride : &TheBalloonModule; }

void SetStartupModule(ScreenModule* module) { startupOverride = module; }

void ReadFirstScreenAhead() {
  if (!startupOverride) DalkReadAhead(FirstScreenPictures());
}

int CheckStartupData() { return startupOverride ? 1 : CheckGameData(); }

void EndGameRound() { TheBalloonState.EndRound(); }
