// Live counts of the GDI and USER objects the program creates itself.
// GetGuiResources is a stub under Wine (it answers 0), so a leak test that
// relied on it would pass whatever happened; these counts are kept at the
// creation and destruction sites instead and read by the resource benchmark
// through the toolbar's "Velmora.ResourceCounts" message.
#pragma once

#include <windows.h>

namespace velmora {

enum class Counted : int { Bitmap, Dc, Pen, Brush, Font, Icon, ImageList, kCount };

void AddLiveCount(Counted kind, int delta);
long LiveCount(Counted kind);

// Wraps a creation: counts the handle when there is one and passes it on.
template <class Handle>
Handle Count(Counted kind, Handle handle) {
  if (handle) AddLiveCount(kind, 1);
  return handle;
}

// Wraps a destruction's argument: uncounts the handle when there is one.
template <class Handle>
Handle Uncount(Counted kind, Handle handle) {
  if (handle) AddLiveCount(kind, -1);
  return handle;
}

// wParam of the message: 0 all GDI objects (bitmaps, DCs, pens, brushes,
// fonts, image lists), 1 icons and cursors (USER objects), 2 + Counted one kind.
UINT ResourceCountsMessage();
LRESULT ResourceCountsReply(WPARAM which);

}  // namespace velmora
