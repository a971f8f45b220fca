#include "support/headless/dialog_headless.h"

#include <algorithm>
#include <stdexcept>

#include "res/dialog_template.h"

namespace {
constexpr std::uint32_t kVisible = 0x10000000;   // WS_VISIBLE
constexpr std::uint32_t kDisabled = 0x08000000;  // WS_DISABLED
constexpr std::uint32_t kTabStop = 0x00010000;   // WS_TABSTOP
constexpr UINT kShortestTimer = 10;              // the platform raises shorter periods to this

bool IsEdit(int kind) {
  return kind == static_cast<int>(ControlKind::Edit) || kind == static_cast<int>(ControlKind::MultiLineEdit);
}
}  // namespace

HeadlessToolkit::HeadlessToolkit() { UiToolkit::Install(this); }

HeadlessToolkit::~HeadlessToolkit() { UiToolkit::Install(nullptr); }

std::unique_ptr<DialogWindow> HeadlessToolkit::CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                                  CDialogEx*) {
  auto window = std::make_unique<HeadlessWindow>(*this, owner, tpl);
  m_windows[&owner] = window.get();
  return window;
}

HeadlessWindow& HeadlessToolkit::WindowOf(const CDialogEx& dialog) {
  const auto it = m_windows.find(&dialog);
  if (it == m_windows.end()) throw std::logic_error("dialog has no window");
  return *it->second;
}

void HeadlessToolkit::ScriptModal(int templateId, ModalScript script) { m_modalScripts[templateId] = std::move(script); }

void HeadlessToolkit::QueueFileDialogAnswer(std::optional<FileDialogResult> answer) {
  m_fileAnswers.push_back(std::move(answer));
}

void HeadlessToolkit::AdvanceClock(std::chrono::milliseconds duration) {
  const auto target = m_now + duration;
  for (;;) {
    HeadlessWindow* next = nullptr;
    UINT_PTR nextId = 0;
    auto nextDue = target + std::chrono::milliseconds(1);
    for (auto& [dialog, window] : m_windows) {
      for (auto& [id, timer] : window->m_timers) {
        if (timer.due < nextDue) {
          nextDue = timer.due;
          next = window;
          nextId = id;
        }
      }
    }
    if (!next) break;
    m_now = nextDue;
    auto& timer = next->m_timers.at(nextId);
    timer.due = m_now + std::chrono::milliseconds(timer.period);
    next->m_owner.SendMessage(WM_TIMER, nextId, 0);
  }
  m_now = target;
}

void HeadlessToolkit::Post(HeadlessWindow* window, std::function<void()> task) {
  {
    std::lock_guard lock(m_mutex);
    m_tasks.emplace_back(window, std::move(task));
  }
  m_posted.notify_all();
}

void HeadlessToolkit::PostWake(std::function<void()> wake) { Post(nullptr, std::move(wake)); }

void HeadlessToolkit::Forget(HeadlessWindow* window) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_tasks, [window](const auto& entry) { return entry.first == window; });
  std::erase_if(m_windows, [window](const auto& entry) { return entry.second == window; });
}

bool HeadlessToolkit::WaitForPosted(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  return m_posted.wait_for(lock, limit, [this] { return !m_tasks.empty(); });
}

int HeadlessToolkit::ProcessPosted() {
  int ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(m_mutex);
      if (m_tasks.empty()) break;
      task = std::move(m_tasks.front().second);
      m_tasks.pop_front();
    }
    task();
    ++ran;
  }
  return ran;
}

bool HeadlessToolkit::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    ProcessPosted();
    if (done()) return true;
    std::unique_lock lock(m_mutex);
    if (m_tasks.empty() &&
        m_posted.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(5))) ==
            std::cv_status::timeout &&
        std::chrono::steady_clock::now() >= deadline) {
      lock.unlock();
      ProcessPosted();
      return done();
    }
  }
}

HeadlessWindow::HeadlessWindow(HeadlessToolkit& toolkit, CDialogEx& owner, const DialogTemplate& tpl)
    : m_toolkit(toolkit), m_owner(owner), m_template(tpl) {
  Control& title = m_controls[0];
  title.text = tpl.caption;
  for (const auto& ct : tpl.controls) {
    Control& control = m_controls[ct.id];
    control.id = ct.id;
    control.kind = static_cast<int>(ct.kind);
    control.togglesOnClick = TogglesOnClick(ct);
    control.text = ct.caption ? ct.caption : u"";
    control.visible = (ct.style & kVisible) != 0;
    control.enabled = (ct.style & kDisabled) == 0;
  }
  for (const auto& list : tpl.comboLists) {
    for (const char16_t* item : list.items) m_controls[list.id].items.emplace_back(item);
  }
  for (const auto& ct : tpl.controls) {
    if ((ct.style & kTabStop) && (ct.style & kVisible) && !(ct.style & kDisabled)) {
      m_focus = ct.id;
      break;
    }
  }
}

HeadlessWindow::~HeadlessWindow() { m_toolkit.Forget(this); }

HeadlessWindow::Control& HeadlessWindow::At(int id) {
  const auto it = m_controls.find(id);
  if (it == m_controls.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return it->second;
}
const HeadlessWindow::Control& HeadlessWindow::At(int id) const {
  const auto it = m_controls.find(id);
  if (it == m_controls.end()) throw std::out_of_range("no control with id " + std::to_string(id));
  return it->second;
}
const HeadlessWindow::Control& HeadlessWindow::Item(int id) const { return At(id); }

void HeadlessWindow::Click(int id) {
  Control& control = At(id);
  if (!control.enabled || !control.visible) return;
  Focus(id);
  if (control.togglesOnClick) {
    control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  }
  m_owner.SendNotify(BN_CLICKED, id);
}

void HeadlessWindow::Type(int id, std::u16string_view typed) {
  Control& control = At(id);
  const int length = static_cast<int>(control.text.size());
  const int start = std::clamp(std::min(control.selStart, control.selEnd), 0, length);
  const int end = std::clamp(std::max(control.selStart, control.selEnd), 0, length);
  control.text.replace(start, end - start, typed);
  control.selStart = control.selEnd = start + static_cast<int>(typed.size());
  if (IsEdit(control.kind)) m_owner.SendNotify(EN_CHANGE, id);
}

void HeadlessWindow::Replace(int id, std::u16string_view text) {
  Control& control = At(id);
  control.selStart = 0;
  control.selEnd = static_cast<int>(control.text.size());
  Type(id, text);
}

void HeadlessWindow::Focus(int id) {
  if (id == m_focus) return;
  const int old = m_focus;
  m_focus = id;
  if (old != 0 && IsEdit(At(old).kind)) m_owner.SendNotify(EN_KILLFOCUS, old);
  if (id != 0 && IsEdit(At(id).kind)) m_owner.SendNotify(EN_SETFOCUS, id);
}

void HeadlessWindow::PressKey(int virtualKey, bool ctrl, bool alt) {
  m_ctrlDown = ctrl;
  m_altDown = alt;
  KeyMessage msg{m_focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0};
  const bool swallowed = m_owner.PreTranslateMessage(msg) != FALSE;
  if (!swallowed && msg.message == WM_KEYDOWN && m_focus != 0) {
    const Control& focused = At(m_focus);
    if (virtualKey == VK_RETURN && focused.kind == static_cast<int>(ControlKind::MultiLineEdit)) {
      Type(m_focus, u"\r\n");
    } else if (virtualKey == VK_TAB) {
      // Tab moves to the next control that takes the focus, wrapping.
      const auto& controls = m_template.controls;
      const auto current = std::find_if(controls.begin(), controls.end(), [&](const auto& c) { return c.id == m_focus; });
      const std::size_t from = current == controls.end() ? 0 : static_cast<std::size_t>(current - controls.begin());
      for (std::size_t step = 1; step <= controls.size(); ++step) {
        const auto& candidate = controls[(from + step) % controls.size()];
        const Control& c = At(candidate.id);
        if ((candidate.style & kTabStop) && c.visible && c.enabled) {
          Focus(candidate.id);
          break;
        }
      }
    }
  }
  m_ctrlDown = m_altDown = false;
}

void HeadlessWindow::PickComboItem(int id, int index) {
  Control& control = At(id);
  if (!control.enabled) return;
  ComboSetCurSel(id, index);
  m_owner.SendNotify(CBN_SELCHANGE, id);
}

void HeadlessWindow::OpenDropDown(int id) {
  if (!At(id).enabled) return;
  m_owner.SendNotify(CBN_DROPDOWN, id);
}

void HeadlessWindow::PickListItem(int id, int index) {
  if (!At(id).enabled) return;
  ListSetCurSel(id, index);
  m_owner.SendNotify(LBN_SELCHANGE, id);
}

void HeadlessWindow::DoubleClickListItem(int id, int index) {
  if (!At(id).enabled) return;
  PickListItem(id, index);
  m_owner.SendNotify(LBN_DBLCLK, id);
}

void HeadlessWindow::DropFiles(std::vector<std::u16string> paths) {
  DroppedFiles drop{std::move(paths)};
  m_owner.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0);
}

void HeadlessWindow::CloseBox() { m_owner.SendMessage(WM_CLOSE); }

bool HeadlessWindow::TimerArmed(UINT_PTR timerId) const { return m_timers.count(timerId) != 0; }

UINT HeadlessWindow::TimerPeriod(UINT_PTR timerId) const {
  const auto it = m_timers.find(timerId);
  return it == m_timers.end() ? 0 : it->second.period;
}

std::u16string HeadlessWindow::GetText(int id) const {
  const Control& control = At(id);
  return control.attached ? *control.attached : control.text;
}

void HeadlessWindow::SetText(int id, std::u16string_view text) {
  Control& control = At(id);
  control.text = text;
  control.selStart = control.selEnd = 0;
  // Setting an edit's text raises its change notification, as the platform's edits do.
  if (IsEdit(control.kind)) m_owner.SendNotify(EN_CHANGE, id);
}

UINT HeadlessWindow::GetCheck(int id) const { return At(id).check; }
void HeadlessWindow::SetCheck(int id, UINT state) { At(id).check = state; }
bool HeadlessWindow::IsEnabled(int id) const { return At(id).enabled; }
void HeadlessWindow::Enable(int id, bool enable) { At(id).enabled = enable; }
bool HeadlessWindow::IsVisible(int id) const { return At(id).visible; }
void HeadlessWindow::Show(int id, bool show) { At(id).visible = show; }
void HeadlessWindow::SetFocusId(int id) { Focus(id); }

void HeadlessWindow::ComboResetContent(int id) {
  Control& control = At(id);
  control.items.clear();
  control.text.clear();
  control.curSel = CB_ERR;
}
int HeadlessWindow::ComboAddString(int id, std::u16string_view text) {
  Control& control = At(id);
  control.items.emplace_back(text);
  return static_cast<int>(control.items.size()) - 1;
}
int HeadlessWindow::ComboGetCount(int id) const { return static_cast<int>(At(id).items.size()); }
std::u16string HeadlessWindow::ComboGetItem(int id, int index) const {
  const Control& control = At(id);
  if (index < 0 || index >= static_cast<int>(control.items.size())) return {};
  return control.items[static_cast<std::size_t>(index)];
}
int HeadlessWindow::ComboGetCurSel(int id) const { return At(id).curSel; }
void HeadlessWindow::ComboSetCurSel(int id, int index) {
  Control& control = At(id);
  if (index < 0 || index >= static_cast<int>(control.items.size())) {
    control.curSel = CB_ERR;
    return;
  }
  control.curSel = index;
  control.text = control.items[static_cast<std::size_t>(index)];
}
void HeadlessWindow::SpinSetRange(int id, int lower, int upper) {
  Control& control = At(id);
  control.spinLower = lower;
  control.spinUpper = upper;
}

// A list box shows no text of its own: only its items and the selection change.
void HeadlessWindow::ListResetContent(int id) {
  Control& control = At(id);
  control.items.clear();
  control.curSel = LB_ERR;
}
int HeadlessWindow::ListAddString(int id, std::u16string_view text) { return ComboAddString(id, text); }
int HeadlessWindow::ListGetCount(int id) const { return ComboGetCount(id); }
std::u16string HeadlessWindow::ListGetItem(int id, int index) const { return ComboGetItem(id, index); }
int HeadlessWindow::ListGetCurSel(int id) const { return At(id).curSel; }
void HeadlessWindow::ListSetCurSel(int id, int index) {
  Control& control = At(id);
  control.curSel = index >= 0 && index < static_cast<int>(control.items.size()) ? index : LB_ERR;
}

void HeadlessWindow::EditGetSel(int id, int& start, int& end) const {
  const Control& control = At(id);
  start = control.selStart;
  end = control.selEnd;
}
void HeadlessWindow::EditSetSel(int id, int start, int end) {
  Control& control = At(id);
  const int length = GetTextLength(id);
  control.selStart = std::clamp(start, 0, length);
  control.selEnd = end < 0 ? length : std::clamp(end, 0, length);
}

int HeadlessWindow::EditGetLineCount(int id) const {
  const std::u16string text = GetText(id);
  int lines = 0;
  std::size_t begin = 0;
  for (;;) {
    auto end = text.find(u"\r\n", begin);
    const std::size_t length = (end == std::u16string::npos ? text.size() : end) - begin;
    lines += length == 0 ? 1 : static_cast<int>((length + kCharsPerLine - 1) / kCharsPerLine);
    if (end == std::u16string::npos) break;
    begin = end + 2;
  }
  return lines;
}

int HeadlessWindow::GetTextLength(int id) const {
  const Control& control = At(id);
  return static_cast<int>(control.attached ? control.attached->size() : control.text.size());
}

void HeadlessWindow::EditAttachText(int id, const std::u16string* text) { At(id).attached = text; }
void HeadlessWindow::EditTextChanged(int, std::size_t) {}
int HeadlessWindow::EditTextAreaWidth(int) const { return kCharsPerLine; }
std::function<int(char16_t)> HeadlessWindow::EditCharWidth(int) const {
  return [](char16_t) { return 1; };
}

bool HeadlessWindow::IsKeyDown(int virtualKey) const {
  if (virtualKey == VK_CONTROL) return m_ctrlDown;
  if (virtualKey == VK_MENU) return m_altDown;
  return false;
}

void HeadlessWindow::SetTimer(UINT_PTR timerId, UINT elapseMs) {
  const UINT period = std::max(elapseMs, kShortestTimer);
  m_timers[timerId] = Timer{period, m_toolkit.Now() + std::chrono::milliseconds(period)};
}
void HeadlessWindow::KillTimer(UINT_PTR timerId) { m_timers.erase(timerId); }

int HeadlessWindow::MessageBox(std::u16string_view text, std::u16string_view caption, UINT) {
  m_toolkit.messageBoxes.push_back({std::u16string(text), std::u16string(caption)});
  return 1;
}

std::optional<FileDialogResult> HeadlessWindow::ShowFileDialog(const FileDialogRequest& request) {
  m_toolkit.fileDialogRequests.push_back(request);
  if (m_toolkit.m_fileAnswers.empty()) return std::nullopt;
  auto answer = std::move(m_toolkit.m_fileAnswers.front());
  m_toolkit.m_fileAnswers.pop_front();
  return answer;
}

INT_PTR HeadlessWindow::RunModal() {
  const auto it = m_toolkit.m_modalScripts.find(m_template.id);
  if (it != m_toolkit.m_modalScripts.end()) it->second(*this);
  // A run that the script did not end is closed as the close box would.
  if (!m_ended) m_owner.SendMessage(WM_CLOSE);
  if (!m_ended) EndDialog(2);
  return m_result;
}

void HeadlessWindow::EndDialog(INT_PTR result) {
  m_ended = true;
  m_result = result;
  m_timers.clear();
}

void HeadlessWindow::PostTask(std::function<void()> task) { m_toolkit.Post(this, std::move(task)); }

namespace {
// A wake waits in the toolkit's queue like a posted task, until the test pumps it. It is
// not the window's: a waker may outlive its window, and a wake left queued after the
// waker is gone does nothing.
class HeadlessWaker : public platform::Waker {
 public:
  HeadlessWaker(HeadlessToolkit& toolkit, std::function<void()> handler)
      : m_toolkit(toolkit), m_handler(std::make_shared<std::function<void()>>(std::move(handler))) {}
  ~HeadlessWaker() override { *m_handler = nullptr; }
  bool Wake() override {
    m_toolkit.PostWake([handler = m_handler] {
      if (*handler) (*handler)();
    });
    return true;
  }
  bool Resume() override { return Wake(); }

 private:
  HeadlessToolkit& m_toolkit;
  const std::shared_ptr<std::function<void()>> m_handler;  // emptied on the UI thread
};
}  // namespace

std::unique_ptr<platform::Waker> HeadlessWindow::CreateWaker(std::function<void()> handler) {
  return std::make_unique<HeadlessWaker>(m_toolkit, std::move(handler));
}
