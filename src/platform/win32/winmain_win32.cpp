#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/serial_port_app.h"
#include "platform/win32/dialog_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The up-down control is one of these classes.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  // The open and save dialogs are COM objects and want a single-threaded apartment.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  {
    Win32Toolkit toolkit(instance);
    theApp.InitInstance();
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return 0;
}
