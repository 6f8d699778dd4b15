// The round's state for the headless harness: one JSON object (ticks, state, score,
// clock, board cells, hall of fame, ...).
#pragma once

#include <string>

class BalloonState;

std::string RoundStateJson(BalloonState& state);
// Hands the dump of the one round state to the harness.
void RegisterRoundStateDump();
