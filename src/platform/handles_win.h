// Every handle the program owns lives in one of these wrappers: copying is
// deleted, moving hands the handle on, and the destructor gives it back to the
// system. The GDI and USER objects are counted while they live, because
// GetGuiResources answers 0 under Wine: the resource benchmark reads these
// counts through the toolbar's "Velmora.ResourceCounts" message, and a leak
// test that relied on the system's figure would pass whatever happened.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ddeml.h>
#include <objbase.h>

#include <utility>

namespace velmora {

enum class Counted : int { Bitmap, Dc, Pen, Brush, Font, Icon, ImageList, kCount };

void AddLiveCount(Counted kind, int delta);
long LiveCount(Counted kind);

// wParam of the message: 0 all GDI objects (bitmaps, DCs, pens, brushes,
// fonts, image lists), 1 icons and cursors (USER objects), 2 + Counted one kind.
UINT ResourceCountsMessage();
// Whether the program answers the messages its tests and benchmarks send it
// (resource counts, a rebuild, probes): only when it was started with
// VELMORA_TEST_HOOKS=1 in its environment, which only a test harness sets.
// Any other program could otherwise make it rebuild at will.
bool TestHooksEnabled();
LRESULT ResourceCountsReply(WPARAM which);

// The common shape: Traits says how to free the handle, what "none" is and
// which count it belongs to.
template <class Traits>
class Scoped {
 public:
  using Handle = typename Traits::Handle;

  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {
    if (valid()) AddLiveCountOf();
  }
  Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::None())) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Traits::None());
    }
    return *this;
  }
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  ~Scoped() { reset(); }

  void reset(Handle handle = Traits::None()) {
    if (valid()) {
      SubtractLiveCountOf();
      Traits::Free(handle_);
    }
    handle_ = handle;
    if (valid()) AddLiveCountOf();
  }
  // Gives the handle up without freeing it (it is no longer counted here).
  Handle release() {
    if (valid()) SubtractLiveCountOf();
    return std::exchange(handle_, Traits::None());
  }
  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::None(); }
  explicit operator bool() const { return valid(); }

 private:
  void AddLiveCountOf() {
    if constexpr (Traits::kCounted) AddLiveCount(Traits::kKind, 1);
  }
  void SubtractLiveCountOf() {
    if constexpr (Traits::kCounted) AddLiveCount(Traits::kKind, -1);
  }
  Handle handle_ = Traits::None();
};

template <class H, Counted K>
struct GdiTraits {
  using Handle = H;
  static constexpr bool kCounted = true;
  static constexpr Counted kKind = K;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DeleteObject(h); }
};
using GdiBitmap = Scoped<GdiTraits<HBITMAP, Counted::Bitmap>>;
using GdiPen = Scoped<GdiTraits<HPEN, Counted::Pen>>;
using GdiBrush = Scoped<GdiTraits<HBRUSH, Counted::Brush>>;
using GdiFont = Scoped<GdiTraits<HFONT, Counted::Font>>;

struct IconTraits {
  using Handle = HICON;
  static constexpr bool kCounted = true;
  static constexpr Counted kKind = Counted::Icon;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DestroyIcon(h); }
};
using IconHandle = Scoped<IconTraits>;

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static constexpr bool kCounted = true;
  static constexpr Counted kKind = Counted::ImageList;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { ImageList_Destroy(h); }
};
using ImageListHandle = Scoped<ImageListTraits>;

struct ModuleTraits {
  using Handle = HMODULE;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { FreeLibrary(h); }
};
using ModuleHandle = Scoped<ModuleTraits>;

// A menu that no window owns (a pop-up menu); a window's menu bar goes with
// its window.
struct MenuTraits {
  using Handle = HMENU;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DestroyMenu(h); }
};
using MenuHandle = Scoped<MenuTraits>;

// Kernel objects closed with CloseHandle: processes, threads, mutexes.
struct KernelTraits {
  using Handle = HANDLE;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { CloseHandle(h); }
};
using KernelHandle = Scoped<KernelTraits>;

// Files are the one kind whose "none" is INVALID_HANDLE_VALUE.
struct FileTraits {
  using Handle = HANDLE;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { CloseHandle(h); }
};
using FileHandle = Scoped<FileTraits>;

struct FindTraits {
  using Handle = HANDLE;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { FindClose(h); }
};
using FindHandle = Scoped<FindTraits>;

struct RegKeyTraits {
  using Handle = HKEY;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { RegCloseKey(h); }
};
using RegKeyHandle = Scoped<RegKeyTraits>;

// Memory the shell hands out with CoTaskMemAlloc (item id lists).
struct CoTaskMemTraits {
  using Handle = void*;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { CoTaskMemFree(h); }
};
using CoTaskMem = Scoped<CoTaskMemTraits>;

// A DDE conversation, ended with DdeDisconnect.
struct DdeConversationTraits {
  using Handle = HCONV;
  static constexpr bool kCounted = false;
  static constexpr Counted kKind = Counted::kCount;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DdeDisconnect(h); }
};
using DdeConversation = Scoped<DdeConversationTraits>;

// A DDEML instance (DdeInitializeA); 0 is none.
class DdeInstance {
 public:
  DdeInstance() = default;
  ~DdeInstance() {
    if (id_) DdeUninitialize(id_);
  }
  DdeInstance(const DdeInstance&) = delete;
  DdeInstance& operator=(const DdeInstance&) = delete;
  // Starts a client-only instance; the DDEML error code, DMLERR_NO_ERROR on success.
  UINT InitializeClient(PFNCALLBACK callback) {
    if (id_) return DMLERR_NO_ERROR;
    const UINT result = DdeInitializeA(&id_, callback, APPCMD_CLIENTONLY | CBF_SKIP_ALLNOTIFICATIONS, 0);
    if (result != DMLERR_NO_ERROR) id_ = 0;
    return result;
  }
  // Ends the instance; its windows go with it.
  void Reset() {
    if (id_) DdeUninitialize(id_);
    id_ = 0;
  }
  DWORD get() const { return id_; }
  explicit operator bool() const { return id_ != 0; }

 private:
  DWORD id_ = 0;
};

// A string handle of a DDEML instance.
class DdeString {
 public:
  DdeString(DWORD instance, const char* text)
      : instance_(instance), handle_(instance ? DdeCreateStringHandleA(instance, text, CP_WINANSI) : nullptr) {}
  ~DdeString() {
    if (handle_) DdeFreeStringHandle(instance_, handle_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  HSZ get() const { return handle_; }

 private:
  DWORD instance_;
  HSZ handle_;
};

// A window's or the screen's device context, from GetDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {
    if (dc_) AddLiveCount(Counted::Dc, 1);
  }
  ~WindowDC() {
    if (dc_) {
      AddLiveCount(Counted::Dc, -1);
      ReleaseDC(window_, dc_);
    }
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context compatible with `like` (the screen when null).
class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {
    if (dc_) AddLiveCount(Counted::Dc, 1);
  }
  ~MemoryDC() {
    if (dc_) {
      AddLiveCount(Counted::Dc, -1);
      DeleteDC(dc_);
    }
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Selects an object into a DC for one scope and puts the DC's own one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~Selection() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// An interface pointer that releases its reference.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p) : p_(p) {}  // takes over a reference
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For the creating call's out parameter; whatever was held is released first.
  void** Out() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }
  T** Put() {
    reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// No critical-error box from the system (a damaged file, an empty drive, a
// network path gone) on this thread while a scope runs: the caller gets an
// error code instead.
class ErrorModeGuard {
 public:
  ErrorModeGuard() : set_(SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_)) {}
  ~ErrorModeGuard() {
    if (set_) SetThreadErrorMode(old_, nullptr);
  }
  ErrorModeGuard(const ErrorModeGuard&) = delete;
  ErrorModeGuard& operator=(const ErrorModeGuard&) = delete;

 private:
  DWORD old_ = 0;
  bool set_;
};

// The hourglass for one scope; the pointer that showed before comes back.
class WaitCursor {
 public:
  WaitCursor() : old_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

}  // namespace velmora
