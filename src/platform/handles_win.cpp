#include "platform/handles_win.h"

#include <atomic>

namespace velmora {

namespace {
std::atomic<long> live[static_cast<int>(Counted::kCount)];
}

void AddLiveCount(Counted kind, int delta) { live[static_cast<int>(kind)] += delta; }

long LiveCount(Counted kind) { return live[static_cast<int>(kind)]; }

bool TestHooksEnabled() {
  static const bool enabled = [] {
    char value[8] = "";
    return GetEnvironmentVariableA("VELMORA_TEST_HOOKS", value, sizeof value) == 1 &&
           value[0] == '1';
  }();
  return enabled;
}

UINT ResourceCountsMessage() {
  static const UINT message = RegisterWindowMessageA("Velmora.ResourceCounts");
  return message;
}

LRESULT ResourceCountsReply(WPARAM which) {
  if (which == 0)
    return LiveCount(Counted::Bitmap) + LiveCount(Counted::Dc) + LiveCount(Counted::Pen) +
           LiveCount(Counted::Brush) + LiveCount(Counted::Font) + LiveCount(Counted::ImageList);
  if (which == 1) return LiveCount(Counted::Icon);
  const WPARAM kind = which - 2;
  return kind < static_cast<WPARAM>(Counted::kCount) ? LiveCount(static_cast<Counted>(kind)) : -1;
}

}  // namespace velmora
