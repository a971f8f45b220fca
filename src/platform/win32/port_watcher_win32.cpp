#include "platform/port_watcher.h"

#include <future>
#include <thread>

#include "platform/win32/win32_api.h"

#include <dbt.h>

namespace platform {
namespace {

// {86E0D1E0-8089-11D0-9CE4-08003E301F73}, the COM-port device interface class.
constexpr GUID kComPortInterface = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
constexpr wchar_t kWindowClass[] = L"TarvolmPortWatcher";
constexpr UINT kStop = WM_APP;

// Interface arrivals come to the window that registered for them; port arrivals, which
// virtual-port drivers without an interface announce, are broadcast to top-level windows only.
bool IsPortChange(WPARAM event, LPARAM data) {
  if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  return header && (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE || header->dbch_devicetype == DBT_DEVTYP_PORT);
}

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE) {
    if (IsPortChange(wParam, lParam)) {
      reinterpret_cast<ChangeDebouncer*>(::GetWindowLongPtrW(window, GWLP_USERDATA))->Notify();
    }
    return TRUE;
  }
  // Only its owner ends the window: a closed window would leave the thread waiting for ever.
  if (message == WM_CLOSE) return 0;
  if (message == kStop) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

// A hidden top-level window (a message-only one would miss the broadcasts) on a thread of
// its own, so notifications arrive whatever the UI thread is doing.
class PortWatcher::Source {
 public:
  static std::unique_ptr<Source> Create(ChangeDebouncer& debouncer) {
    std::unique_ptr<Source> source(new Source);
    std::promise<HWND> created;
    auto window = created.get_future();
    source->m_thread = std::thread([&debouncer, &created] { Run(debouncer, created); });
    source->m_window = window.get();
    if (!source->m_window) return nullptr;  // the thread has ended
    return source;
  }

  ~Source() {
    if (m_window) ::PostMessageW(m_window, kStop, 0, 0);
    if (m_thread.joinable()) m_thread.join();
  }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

 private:
  Source() = default;

  static void Run(ChangeDebouncer& debouncer, std::promise<HWND>& created) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);  // fails harmlessly when an earlier watcher registered it
    const HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                          instance, nullptr);
    if (!window) {
      created.set_value(nullptr);
      return;
    }
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&debouncer));
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kComPortInterface;
    // Without the registration the port broadcasts still come.
    const HDEVNOTIFY registration = ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    created.set_value(window);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    if (registration) ::UnregisterDeviceNotification(registration);
    ::DestroyWindow(window);
  }

  HWND m_window = nullptr;
  std::thread m_thread;
};

PortWatcher::PortWatcher(Changed changed, const Options& options) : m_debouncer(std::move(changed), options.timing) {}

PortWatcher::~PortWatcher() = default;

// A COM name comes and goes with the notifications already watched.
void PortWatcher::FollowPath(std::u16string_view /*path*/) {}

std::unique_ptr<PortWatcher> PortWatcher::Start(Changed changed, const Options& options) {
  std::unique_ptr<PortWatcher> watcher(new PortWatcher(std::move(changed), options));
  watcher->m_source = Source::Create(watcher->m_debouncer);
  if (!watcher->m_source) return nullptr;
  return watcher;
}

}  // namespace platform
