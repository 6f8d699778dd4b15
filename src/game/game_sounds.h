// Every sound of the game is played through the sound bank at full volume, centred, and
// its result is not looked at.
#pragma once

void PlayGameSound(const char* name);
