// The SDL window as a video driver.
#pragma once

#include <memory>

#include "platform/video/backend.h"

std::unique_ptr<VideoBackend> MakeSdlBackend();
