// Drives the program's windows from outside, for the integration tests under Wine.
//
//   window_driver COMMAND [ARG ...]   runs one command
//   window_driver                     runs commands read from stdin, one a line
//
// Every command answers exactly one line: "ok" or "ok RESULT" or "err MESSAGE". Texts in
// arguments and results are UTF-8 with C escapes (\r \n \t \0 \\ \" \xHH), so any control
// text fits on one line; in a script line an argument holding spaces is put in quotes.
// Control ids are numbers. Commands:
//
//   window TITLE [MS]           wait for the visible top-level window TITLE; later commands
//                               act on it. ok HWND
//   text ID                     ok TEXT
//   set-text ID TEXT            WM_SETTEXT (the control notifies its parent as for typing)
//   click ID                    BM_CLICK, posted: a message box opened by it cannot block us
//   checked ID / enabled ID     ok 0|1 (checked may also be 2, indeterminate)
//   items ID                    the combo's list, ok ITEM\tITEM...
//   select ID TEXT              select the combo item TEXT and tell the parent. ok INDEX
//   focus ID                    give ID the keyboard focus (a click the control handles itself)
//   key ID VK                   post a key press (down and up) of VK to ID, through the
//                               program's own message loop
//   wait-text ID equals|contains TEXT MS
//   box [MS]                    wait for a message box of the program. ok TITLE\tTEXT
//   dismiss [BUTTON_ID]         press a button of that box (default OK) and wait until it goes
//   windows [COUNT [MS]]        the X11 windows of the program's visible top-level windows,
//                               the target first, once there are COUNT. ok XID XID...
//   close [MS]                  post WM_CLOSE to the target and wait until it is no longer shown

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_api.h"
#include "wine/line_escapes.h"

namespace {

using winetest::EscapeText;
using winetest::UnescapeText;
using Clock = std::chrono::steady_clock;
using Args = std::vector<std::string>;

constexpr int kDefaultWaitMs = 10000;
constexpr DWORD kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 0xFFFF;  // the static that holds a message box's text
constexpr wchar_t kDialogClass[] = L"#32770";

struct Failure {
  std::string message;
};

[[noreturn]] void Fail(std::string message) { throw Failure{std::move(message)}; }

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

// Splits a script line at blanks; double quotes group, a backslash keeps the next character
// for UnescapeText.
Args SplitLine(const std::string& line) {
  Args words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      word += c;
      word += line[++i];
      inWord = true;
    } else if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\r')) {
      if (inWord) words.push_back(UnescapeText(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) Fail("unterminated quote");
  if (inWord) words.push_back(UnescapeText(word));
  return words;
}

int ToInt(const std::string& text) {
  try {
    size_t used = 0;
    const long value = std::stol(text, &used, 0);
    if (used == text.size()) return static_cast<int>(value);
  } catch (const std::exception&) {
  }
  Fail("not a number: " + text);
}

// Polls `ready` every 20 ms until it holds or `ms` have passed.
bool WaitUntil(int ms, const std::function<bool()>& ready) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (ready()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
    Fail("the program does not answer");
  return static_cast<LRESULT>(result);
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!PostMessageW(hwnd, message, wParam, lParam)) Fail("cannot post to the window");
}

std::wstring WindowText(HWND hwnd) {
  const auto length = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM list) {
        if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::wstring TitleOf(HWND hwnd) {
  wchar_t title[512] = {};
  GetWindowTextW(hwnd, title, 512);  // reads the caption without asking the program
  return title;
}

class Driver {
 public:
  std::string Run(const Args& args) {
    if (args.empty()) Fail("no command");
    const auto command = m_commands.find(args[0]);
    if (command == m_commands.end()) Fail("unknown command " + args[0]);
    const auto& [arity, handler] = command->second;
    if (args.size() - 1 < arity.first || args.size() - 1 > arity.second)
      Fail("wrong number of arguments to " + args[0]);
    return handler(Args(args.begin() + 1, args.end()));
  }

 private:
  using Handler = std::function<std::string(const Args&)>;
  using Arity = std::pair<size_t, size_t>;

  HWND Target() const {
    if (!m_target || !IsWindow(m_target)) Fail("no window: run the window command first");
    return m_target;
  }

  HWND Control(const std::string& id) const {
    const HWND control = GetDlgItem(Target(), ToInt(id));
    if (!control) Fail("no control " + id);
    return control;
  }

  std::optional<HWND> FindMessageBox() const {
    const DWORD pid = ProcessOf(Target());
    for (const HWND hwnd : TopLevelWindows()) {
      if (ProcessOf(hwnd) == pid && ClassName(hwnd) == kDialogClass && GetDlgItem(hwnd, kMessageBoxTextId)) return hwnd;
    }
    return std::nullopt;
  }

  std::string Window(const Args& a) {
    const std::wstring title = Widen(a[0]);
    const int ms = a.size() > 1 ? ToInt(a[1]) : kDefaultWaitMs;
    HWND found = nullptr;
    WaitUntil(ms, [&] {
      for (const HWND hwnd : TopLevelWindows())
        if (TitleOf(hwnd) == title) found = hwnd;
      return found != nullptr;
    });
    if (!found) Fail("no window titled " + EscapeText(a[0]));
    m_target = found;
    char handle[32];
    std::snprintf(handle, sizeof handle, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(found)));
    return handle;
  }

  std::string Select(const Args& a) {
    const HWND combo = Control(a[0]);
    const std::wstring wanted = Widen(a[1]);
    const auto count = Send(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      if (ItemText(combo, i) != wanted) continue;
      if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0) != i) Fail("cannot select " + a[1]);
      Post(Target(), WM_COMMAND, MAKEWPARAM(ToInt(a[0]), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
      return std::to_string(i);
    }
    Fail("no item " + EscapeText(a[1]));
  }

  static std::wstring ItemText(HWND combo, LRESULT index) {
    const auto length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) Fail("cannot read combo item");
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
  }

  std::string Items(const Args& a) {
    const HWND combo = Control(a[0]);
    const auto count = Send(combo, CB_GETCOUNT, 0, 0);
    std::string items;
    for (LRESULT i = 0; i < count; ++i) {
      if (i) items += '\t';
      items += EscapeText(Narrow(ItemText(combo, i)));
    }
    return items;
  }

  std::string WaitText(const Args& a) {
    const HWND control = Control(a[0]);
    const bool contains = a[1] == "contains";
    if (!contains && a[1] != "equals") Fail("wait-text wants equals or contains");
    const std::wstring wanted = Widen(a[2]);
    std::wstring text;
    const bool met = WaitUntil(ToInt(a[3]), [&] {
      text = WindowText(control);
      return contains ? text.find(wanted) != std::wstring::npos : text == wanted;
    });
    if (!met) Fail("timeout, the text is " + EscapeText(Narrow(text)));
    return EscapeText(Narrow(text));
  }

  std::string Box(const Args& a) {
    std::optional<HWND> box;
    WaitUntil(a.empty() ? kDefaultWaitMs : ToInt(a[0]), [&] { return (box = FindMessageBox()).has_value(); });
    if (!box) Fail("no message box");
    return EscapeText(Narrow(TitleOf(*box))) + '\t' +
           EscapeText(Narrow(WindowText(GetDlgItem(*box, kMessageBoxTextId))));
  }

  std::string Dismiss(const Args& a) {
    const auto box = FindMessageBox();
    if (!box) Fail("no message box");
    const int button = a.empty() ? IDOK : ToInt(a[0]);
    Post(*box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(*box, button)));
    if (!WaitUntil(kDefaultWaitMs, [&] { return !IsWindowVisible(*box); })) Fail("the message box stays");
    return {};
  }

  std::string Windows(const Args& a) {
    const DWORD pid = ProcessOf(Target());
    const size_t count = a.empty() ? 1 : static_cast<size_t>(ToInt(a[0]));
    std::vector<HWND> windows;
    WaitUntil(a.size() > 1 ? ToInt(a[1]) : kDefaultWaitMs, [&] {
      windows = {Target()};
      for (const HWND hwnd : TopLevelWindows())
        if (hwnd != Target() && ProcessOf(hwnd) == pid) windows.push_back(hwnd);
      return windows.size() >= count;
    });
    if (windows.size() < count) Fail("only " + std::to_string(windows.size()) + " windows");
    std::string ids;
    for (const HWND hwnd : windows) {
      // Wine's X11 driver keeps the X window of every top-level window in this property.
      const auto xid = reinterpret_cast<UINT_PTR>(GetPropW(hwnd, L"__wine_x11_whole_window"));
      if (!xid) continue;
      char id[32];
      std::snprintf(id, sizeof id, "%s0x%llx", ids.empty() ? "" : " ", static_cast<unsigned long long>(xid));
      ids += id;
    }
    if (ids.empty()) Fail("no X11 windows");
    return ids;
  }

  std::string Focus(const Args& a) {
    const HWND control = Control(a[0]);
    // The control sets the focus itself, from its own thread, as for a mouse click.
    Post(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    Post(control, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    if (!WaitUntil(kDefaultWaitMs, [&] { return FocusOf(control) == control; })) Fail("the focus does not move");
    return {};
  }

  static HWND FocusOf(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus : nullptr;
  }

  std::string Key(const Args& a) {
    const HWND control = Control(a[0]);
    const auto vk = static_cast<WPARAM>(ToInt(a[1]));
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
    Post(control, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | scan << 16));
    Post(control, WM_KEYUP, vk, static_cast<LPARAM>(1 | scan << 16 | 0xC0000000u));
    return {};
  }

  std::string Close(const Args& a) {
    const HWND target = Target();
    Post(target, WM_CLOSE, 0, 0);
    if (!WaitUntil(a.empty() ? kDefaultWaitMs : ToInt(a[0]), [&] { return !IsWindowVisible(target); }))
      Fail("the window stays");
    m_target = nullptr;
    return {};
  }

  HWND m_target = nullptr;

  const std::map<std::string, std::pair<Arity, Handler>> m_commands{
      {"window", {{1, 2}, [this](const Args& a) { return Window(a); }}},
      {"text", {{1, 1}, [this](const Args& a) { return EscapeText(Narrow(WindowText(Control(a[0])))); }}},
      {"set-text",
       {{2, 2},
        [this](const Args& a) {
          const std::wstring text = Widen(a[1]);
          if (!Send(Control(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
            Fail("the control refuses the text");
          return std::string();
        }}},
      {"click",
       {{1, 1},
        [this](const Args& a) {
          Post(Control(a[0]), BM_CLICK, 0, 0);
          return std::string();
        }}},
      {"checked", {{1, 1}, [this](const Args& a) { return std::to_string(Send(Control(a[0]), BM_GETCHECK, 0, 0)); }}},
      {"enabled", {{1, 1}, [this](const Args& a) { return std::string(IsWindowEnabled(Control(a[0])) ? "1" : "0"); }}},
      {"items", {{1, 1}, [this](const Args& a) { return Items(a); }}},
      {"select", {{2, 2}, [this](const Args& a) { return Select(a); }}},
      {"focus", {{1, 1}, [this](const Args& a) { return Focus(a); }}},
      {"key", {{2, 2}, [this](const Args& a) { return Key(a); }}},
      {"wait-text", {{4, 4}, [this](const Args& a) { return WaitText(a); }}},
      {"box", {{0, 1}, [this](const Args& a) { return Box(a); }}},
      {"dismiss", {{0, 1}, [this](const Args& a) { return Dismiss(a); }}},
      {"windows", {{0, 2}, [this](const Args& a) { return Windows(a); }}},
      {"close", {{0, 1}, [this](const Args& a) { return Close(a); }}},
  };
};

void Answer(Driver& driver, const std::function<Args()>& words, bool& ok) {
  try {
    const std::string result = driver.Run(words());
    std::cout << (result.empty() ? "ok" : "ok " + result) << std::endl;
    ok = true;
  } catch (const Failure& failure) {
    std::cout << "err " << failure.message << std::endl;
    ok = false;
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Raw bytes both ways: results are UTF-8 lines ending in \n, never \r\n.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  Driver driver;
  bool ok = true;
  if (argc > 1) {
    Answer(
        driver,
        [&] {
          Args args;
          for (int i = 1; i < argc; ++i) args.push_back(UnescapeText(Narrow(argv[i])));
          return args;
        },
        ok);
    return ok ? 0 : 1;
  }
  for (std::string line; std::getline(std::cin, line);) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    Answer(
        driver, [&] { return SplitLine(line); }, ok);
  }
  return 0;
}
