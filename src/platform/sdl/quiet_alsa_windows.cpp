#include "platform/sdl/quiet_alsa.h"

QuietAlsa::QuietAlsa() = default;
QuietAlsa::~QuietAlsa() = default;
