// End-to-end driver: starts Velmora.exe in a throw-away program folder and
// works it the way a person would (windows, message boxes, mouse, keyboard),
// then looks at what the program left on disk.
//
// Every wait polls with a generous timeout (DefaultTimeout) instead of sleeping
// a fixed time: Wine on a loaded machine can be slow, but never wrong.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::e2e {

// Timeout of every wait unless a call says otherwise; the environment variable
// VELMORA_E2E_TIMEOUT_MS overrides the built-in 20 s.
DWORD DefaultTimeout();
void SetDefaultTimeout(DWORD ms);

// Polls `done` every few milliseconds until it holds or `timeoutMs` passed.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = DefaultTimeout());

// "/x/y" -> "Z:\x\y" (how Wine shows the Unix file system); other paths unchanged.
std::string UnixToWinePath(const std::string& path);

// The folder holding the freshly built program files.
std::string StageFolder();

// ---------------------------------------------------------------------------
// Whether a program folder gets the help files (velmora.hlp, .cnt, .chm). With
// them every first start opens the help viewer, a process of its own that
// outlives the program; so only the tests of the help ask for them, and close
// the viewer again (CloseHelpViewers).
enum class HelpFiles { Leave, Copy };

// A fresh program folder with a copy of every staged file, removed again by the
// destructor. It is made under the temporary folder, or under the folder the
// environment variable VELMORA_E2E_ROOT names. Names are relative to the program folder and may contain "\".
class ProgramFolder {
 public:
  // Throws std::runtime_error when the stage is missing or cannot be copied.
  explicit ProgramFolder(HelpFiles help = HelpFiles::Leave);
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const std::string& Path() const { return path_; }  // no trailing "\"
  // A folder outside the program folder, used as the program's working folder
  // so that it must find its files through its own path.
  const std::string& WorkFolder() const { return work_; }
  std::string PathOf(const std::string& name) const;

  bool Write(const std::string& name, const std::string& bytes) const;
  std::optional<std::string> Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  bool IsFolder(const std::string& name) const;
  bool Remove(const std::string& name) const;  // a file
  bool MakeFolder(const std::string& name) const;
  // Overwrites a file with bytes no loader accepts, keeping its size.
  bool Corrupt(const std::string& name) const;
  bool SetReadOnly(const std::string& name, bool readOnly) const;
  bool IsReadOnly(const std::string& name) const;
  bool SetFolderReadOnly(bool readOnly) const;
  // Every file and folder below the program folder, relative, sorted; folders
  // end in "\".
  std::vector<std::string> List() const;

 private:
  std::string base_, path_, work_;
};

// Whole files by full path.
bool WriteBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::string& path);
bool PathExists(const std::string& path);
// Every file and folder below `folder`, relative, sorted; folders end in "\".
std::vector<std::string> ListTree(const std::string& folder);

// ---------------------------------------------------------------------------
struct WindowQuery {
  enum class Visibility { Any, Visible, Hidden };
  std::string className;  // empty: any class
  std::optional<std::string> caption;
  Visibility visibility = Visibility::Any;
};
WindowQuery Visible(const std::string& className);
WindowQuery Hidden(const std::string& className);
WindowQuery AnyState(const std::string& className);

std::string ClassOf(HWND window);
std::string CaptionOf(HWND window);
// Text of a control, also one of another process (WM_GETTEXT).
std::string ControlText(HWND control);
std::string ChildText(HWND parent, int controlId);
RECT WindowRect(HWND window);

// Top-level windows of process `pid` matching `query`, in z-order.
std::vector<HWND> FindWindows(DWORD pid, const WindowQuery& query);

// A standard message box ("#32770") of the program.
struct MessageBoxWindow {
  HWND window = nullptr;
  std::string caption;
  std::string text;  // the message (the static control 0xFFFF)
  bool visible = false;  // on the screen when caption and text were read

  bool HasButton(int id) const;  // IDOK, IDYES, IDNO, IDCANCEL ...
  // Presses the button (its BN_CLICKED notification). False when the box has
  // no such button.
  bool Press(int id) const;
  bool Gone() const { return !IsWindow(window); }
  bool WaitGone(DWORD timeoutMs = DefaultTimeout()) const;
};
// Message boxes of process `pid`, also those not yet on the screen (a dialog
// shows itself only once its message loop runs).
std::vector<MessageBoxWindow> MessageBoxesOf(DWORD pid);

// ---------------------------------------------------------------------------
// One run of Velmora.exe. The destructor never leaves the process running.
// Every wait also records which windows the process had on the screen, so that
// a test can later ask whether something (a splash, a question) ever showed.
class App {
 public:
  explicit App(const ProgramFolder& folder);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // `testHooks`: the program answers the tests' own messages (object counts,
  // a rebuild); a user's start never does.
  bool Start(bool testHooks = true);
  const std::string& Error() const { return error_; }
  DWORD Pid() const { return pid_; }
  bool Running() const;
  // True when the process ended within the timeout.
  bool WaitExit(DWORD timeoutMs = DefaultTimeout());
  DWORD ExitCode() const;  // STILL_ACTIVE while running
  // True when the exit code is not an exception code (a crash under Wine ends
  // with the exception's NTSTATUS).
  bool ExitedCleanly() const;

  // The program's own way out: WM_CLOSE to its minimize window, which saves
  // the state. True when it ended by itself; otherwise it is terminated.
  bool Close(DWORD timeoutMs = DefaultTimeout());
  void Kill();

  HWND Find(const WindowQuery& query);
  HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs = DefaultTimeout());
  // Waits for the toolbar on the screen and the (hidden) minimize window, the
  // state the program is in once start-up is through.
  bool WaitStarted(DWORD timeoutMs = DefaultTimeout());
  bool WaitWhile(const std::function<bool()>& busy, DWORD timeoutMs = DefaultTimeout());
  bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = DefaultTimeout());

  std::vector<MessageBoxWindow> MessageBoxes();
  std::optional<MessageBoxWindow> WaitForMessageBox(const std::string& textPart,
                                                    DWORD timeoutMs = DefaultTimeout());
  // One round trip through the program's message queue: returns once its
  // thread has taken a message, i.e. it is waiting for input again.
  bool Sync(DWORD timeoutMs = DefaultTimeout());

  // Classes of the top-level windows seen visible at any poll so far.
  const std::set<std::string>& SeenClasses() const { return seenClasses_; }
  bool Saw(const std::string& className) const { return seenClasses_.count(className) > 0; }
  // Texts of every message box seen so far (shown or about to be), in order of
  // first sight.
  const std::vector<std::string>& SeenMessages() const { return seenMessages_; }
  // Records the windows on the screen now.
  void Observe();
  // What the process showed so far and whether it runs: for failure messages.
  std::string Report() const;

 private:
  const ProgramFolder& folder_;
  PROCESS_INFORMATION pi_{};
  DWORD pid_ = 0;
  std::string error_;
  std::set<std::string> seenClasses_;
  std::set<HWND> seenBoxes_;
  std::vector<std::string> seenMessages_;
};

// Ends every process that shows a window of one of the program's classes. A
// safety net between tests: the program refuses to start a second time.
void KillStrayInstances();

// ---------------------------------------------------------------------------
// The help viewer that WinHelpA starts (Wine's winhlp32): its main window has
// the class "MS_WINHELP" and shows the topic in a rich edit control.
std::vector<HWND> HelpViewerWindows();  // visible ones, of any process
// The text of the topic a viewer window shows; empty when it shows none.
std::string HelpViewerText(HWND viewer);
// Ends every help viewer, hidden ones included (WM_CLOSE, then termination),
// and waits until they are gone. True when none is left.
bool CloseHelpViewers();

// ---------------------------------------------------------------------------
// Input, as a person gives it.
bool BringToForeground(HWND window);
void MoveMouse(POINT screen);
// Presses or releases the left button at a screen point, the point travelling
// in the same input: under Wine the cursor can still be catching up with an
// earlier move, and a bare button event would take its position from there.
void LeftButtonAt(POINT screen, bool down);
void ClickAt(POINT screen, bool rightButton = false);
void DoubleClickAt(POINT screen);
// A click at `screen` and the keys `vks` (each pressed and released), all in
// one burst of input, as a quick user types right after clicking.
void ClickThenKeys(POINT screen, const std::vector<WORD>& vks);
// Presses `vk` with the modifier keys (VK_SHIFT, VK_CONTROL, VK_MENU) held.
void PressKey(WORD vk, const std::vector<WORD>& modifiers = {});
void TypeText(const std::string& text);
POINT CenterOf(const RECT& r);

// What a window shows on the screen, pixel by pixel.
struct Capture {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;  // 0x00RRGGBB, top row first
  DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool SameArea(const Capture& o, int top, int bottom) const;
};
Capture CaptureClient(HWND window);
// A system colour as Capture holds its pixels.
DWORD AsPixel(COLORREF c);


// ---------------------------------------------------------------------------
// The user's Startup folder and the program's shortcut in it.
std::string StartupFolder();  // without trailing "\"; the path even when missing
std::string StartupLinkPath();  // StartupFolder() + "\Velmora.lnk"
bool RemoveStartupLink();

// Removes Velmora.lnk when made and again when destroyed.
class StartupLinkGuard {
 public:
  StartupLinkGuard() { RemoveStartupLink(); }
  ~StartupLinkGuard() { RemoveStartupLink(); }
  StartupLinkGuard(const StartupLinkGuard&) = delete;
  StartupLinkGuard& operator=(const StartupLinkGuard&) = delete;
};

// Moves the Startup folder aside for the life of the object, then puts it back
// (removing whatever was created in its place).
class StartupFolderAway {
 public:
  StartupFolderAway();
  ~StartupFolderAway();
  StartupFolderAway(const StartupFolderAway&) = delete;
  StartupFolderAway& operator=(const StartupFolderAway&) = delete;
  bool Ok() const { return ok_; }

 private:
  std::string folder_, aside_;
  bool ok_ = false;
  bool existed_ = false;
};

struct ShortcutInfo {
  std::string target;
  std::string workingFolder;
  std::string arguments;
};
// Reads a .lnk file through IShellLinkA.
std::optional<ShortcutInfo> ReadShortcut(const std::string& linkPath);

// Case-insensitive comparison of paths and names.
bool SameText(const std::string& a, const std::string& b);

// ---------------------------------------------------------------------------
// What the tests put into menu files, and the marker program they run.

// One 570-byte item record: three blank-padded fields.
std::string ItemRecord(const std::string& title, const std::string& fileName,
                       const std::string& fileExe);
// "C:\a\b.exe" -> "C:\a".
std::string FolderOf(const std::string& path);
// This test program's own path.
std::string SelfPath();
// Whether a process of that file name other than this one runs.
bool ProcessRunning(const std::string& exeName);

// The marker program of the Windows tests, built beside this one: started, it
// appends its working folder and arguments to the file named by the
// environment variable VL_MARKER.
std::string MarkerProgramPath();
bool MarkerProgramRunning();
struct MarkerRun {
  std::string cwd;
  std::vector<std::string> args;
};
// Every start recorded in `marker`, oldest first.
std::vector<MarkerRun> MarkerRuns(const std::string& marker);

// Pixels per inch of the screen along LOGPIXELSX or LOGPIXELSY.
int ScreenDpi(int axis = LOGPIXELSY);
// Twips per pixel of the screen, across and down.
double TwipsPerPixelX();
double TwipsPerPixelY();

}  // namespace velmora::e2e
