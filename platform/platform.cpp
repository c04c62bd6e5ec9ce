#include "platform/platform.h"

namespace korvid::platform {

namespace {
Platform* g_override = nullptr;
}

Platform& CurrentPlatform() { return g_override ? *g_override : DefaultPlatform(); }

void SetPlatform(Platform* platform) { g_override = platform; }

}  // namespace korvid::platform
