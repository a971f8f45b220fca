#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/serial_port_app.h"
#include "platform/text.h"
#include "platform/win32/dialog_win32.h"
#include "platform/win32/utf16_win32.h"

namespace {

CommandLine Parse() {
  std::vector<std::u16string> arguments;
  int count = 0;
  if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) arguments.push_back(ToU16(argv[i]));
    ::LocalFree(argv);
  }
  return ParseCommandLine(arguments);
}

bool WriteAll(HANDLE handle, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// A GUI program has no console of its own. Its output goes where it was redirected, else
// to the console it was started from, as console users expect (Wine hands a terminal over
// as a character device); started from the desktop, it shows a message box.
int Print(const CommandLineReply& reply) {
  const HANDLE standard = ::GetStdHandle(reply.error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  const bool hasStandard = standard != nullptr && standard != INVALID_HANDLE_VALUE;
  const DWORD type = hasStandard ? ::GetFileType(standard) : FILE_TYPE_UNKNOWN;
  const std::string utf8 = text::ToUtf8(reply.text);
  if ((type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) && WriteAll(standard, utf8)) return reply.exitCode;
  const std::wstring wide = ToWide(reply.text);
  if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
    const HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    const bool done = console != INVALID_HANDLE_VALUE &&
                      ::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    if (console != INVALID_HANDLE_VALUE) ::CloseHandle(console);
    if (done) return reply.exitCode;
  }
  if (type == FILE_TYPE_CHAR && WriteAll(standard, utf8)) return reply.exitCode;
  ::MessageBoxW(nullptr, wide.c_str(), L"Tarvolm", reply.error ? MB_ICONERROR : MB_ICONINFORMATION);
  return reply.exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const CommandLine commandLine = Parse();
  if (const auto reply = ReplyTo(commandLine)) return Print(*reply);
  // The up-down control is one of these classes.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  // The open and save dialogs are COM objects and want a single-threaded apartment.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  {
    Win32Toolkit toolkit(instance);
    theApp.InitInstance(commandLine);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return 0;
}
