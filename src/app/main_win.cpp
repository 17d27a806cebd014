// The program's entry: one instance, the start-up sequence, the message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app_win.h"
#include "core/product.h"
#include "platform/handles_win.h"
#include "platform/ui_win.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace velmora;

  // The mutex lives as long as the process: a second copy finds it.
  const KernelHandle mutex(CreateMutexA(nullptr, FALSE, "Velmora.SingleInstance.2.5"));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxA(nullptr, kAlreadyRunningText, kAppTitle, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
  }

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES |
                                           ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  int code = 0;
  {
    App app(instance);
    if (app.Main()) code = RunMessageLoop();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
