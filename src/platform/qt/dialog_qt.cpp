#include "platform/qt/dialog_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "platform/qt/accessible_names_qt.h"
#include "platform/qt/combo_box_qt.h"
#include "platform/qt/dialog_units_qt.h"
#include "platform/qt/file_dialog_qt.h"
#include "platform/qt/list_box_qt.h"
#include "platform/qt/multi_line_edit_qt.h"
#include "platform/qt/waker_qt.h"
#include "platform/qt/up_down_qt.h"
#include "platform/qt/utf16_qt.h"
#include "platform/dialog_template.h"
#include "res/window_styles.h"

namespace {
constexpr UINT kShortestTimer = 10;  // the platform raises shorter periods to this
constexpr int kIdOk = 1;
// Marks the QDialogs made here, so a parent that goes first leaves them to their owners.
constexpr char kOwnedByWindow[] = "tarvolmDialogWindow";
constexpr int kVkShift = 0x10;

// The dialog font: one that carries the Chinese captions too.
constexpr char kDialogFontFamily[] = "WenQuanYi Micro Hei";
constexpr int kDefaultPoints = 9;

bool TakesFocus(ControlKind kind) {
  return kind != ControlKind::StaticText && kind != ControlKind::GroupBox && kind != ControlKind::UpDown;
}

// The platform's virtual-key code of a key, 0 for keys the program never looks at.
int VirtualKey(const QKeyEvent& event) {
  const int key = event.key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return 0x2E;
    case Qt::Key_Shift:
      return kVkShift;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    default:
      return 0;
  }
}

bool IsEnterOrEscape(const QKeyEvent& event) {
  return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter || event.key() == Qt::Key_Escape;
}

QIcon ApplicationIcon() {
  QIcon icon;
  const QDir folder(QStringLiteral(":/icons"));
  for (const QString& name : folder.entryList({QStringLiteral("tarvolm-*.png")}, QDir::Files)) {
    icon.addFile(folder.filePath(name));
  }
  return icon;
}

QMessageBox::Icon MessageIcon(UINT type) {
  switch (type & 0xF0) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}
}  // namespace

// The icons live in the Qt library; a static library must register its resources itself.
static void InitResources() { Q_INIT_RESOURCE(tarvolm); }

QtToolkit::QtToolkit() {
  InitResources();
  UiToolkit::Install(this);
}

QtToolkit::~QtToolkit() { UiToolkit::Install(nullptr); }

std::unique_ptr<DialogWindow> QtToolkit::CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                            CDialogEx* parent) {
  QWidget* parentWidget = nullptr;
  if (parent) {
    if (auto* window = dynamic_cast<QtDialogWindow*>(parent->Window())) parentWidget = window->Widget();
  }
  return std::make_unique<QtDialogWindow>(owner, tpl, parentWidget);
}

QtDialogWindow::QtDialogWindow(CDialogEx& owner, const DialogTemplate& tpl, QWidget* parent) : m_owner(owner) {
  Qt::WindowFlags flags = (parent ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (tpl.style & ws::MinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
  m_dialog = new QDialog(parent, flags);
  m_dialog->setProperty(kOwnedByWindow, true);
  m_dialog->setWindowTitle(ToQString(tpl.caption ? tpl.caption : u""));
  QFont font(QString::fromLatin1(kDialogFontFamily));
  font.setPointSize(tpl.fontPoints > 0 ? tpl.fontPoints : kDefaultPoints);
  m_dialog->setFont(font);
  const DialogUnits units(font);
  m_dialog->setFixedSize(units.X(tpl.cx), units.Y(tpl.cy));
  if (const QIcon icon = ApplicationIcon(); !icon.isNull()) m_dialog->setWindowIcon(icon);
  m_acceptsFiles = (tpl.exStyle & ws::ExAcceptFiles) != 0;
  m_dialog->setAcceptDrops(m_acceptsFiles);

  CreateControls(tpl);
  SetTabOrderAndFocus();
  NameControls();

  m_tasks = std::make_unique<platform::UiTaskQueue>(
      [](std::function<void()> handler) { return std::make_unique<EventFdWaker>(std::move(handler)); });
  m_dialog->installEventFilter(this);
  for (QWidget* child : m_dialog->findChildren<QWidget*>()) child->installEventFilter(this);
}

QtDialogWindow::~QtDialogWindow() {
  m_closing = true;
  m_tasks.reset();
  for (auto& [id, timer] : m_timers) timer->stop();
  if (m_dialog) {
    for (QDialog* child : m_dialog->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
      if (child->property(kOwnedByWindow).toBool()) child->setParent(nullptr, child->windowFlags());
    }
    delete m_dialog;
  }
}

void QtDialogWindow::CreateControls(const DialogTemplate& tpl) {
  const DialogUnits units(m_dialog->font());
  QWidget* previous = nullptr;
  m_controls.reserve(tpl.controls.size());
  for (const ControlTemplate& ct : tpl.controls) {
    QWidget* widget = CreateControl(ct, previous);
    widget->setObjectName(QString::fromLatin1(ct.name));
    QRect rect = units.Rect(ct.x, ct.y, ct.cx, ct.cy);
    if (ct.kind == ControlKind::ComboBox || ct.kind == ControlKind::DropDownList) {
      // The template's height is how far the list drops down; the box itself is one row.
      rect.setHeight(widget->sizeHint().height());
    }
    if (ct.kind == ControlKind::UpDown && (ct.style & ws::UdsAutoBuddy) && previous &&
        qobject_cast<QLineEdit*>(previous)) {
      // Set at the buddy's right edge, which gives up the room.
      QRect buddy = previous->geometry();
      buddy.setWidth(std::max(0, buddy.width() - rect.width()));
      previous->setGeometry(buddy);
      rect = QRect(buddy.left() + buddy.width(), buddy.top(), rect.width(), buddy.height());
    }
    widget->setGeometry(rect);
    if (!(ct.style & ws::Visible)) widget->setVisible(false);
    if (ct.style & ws::Disabled) widget->setEnabled(false);
    if (TakesFocus(ct.kind)) widget->setFocusPolicy((ct.style & ws::TabStop) ? Qt::StrongFocus : Qt::ClickFocus);

    m_byId[ct.id] = m_controls.size();
    m_idOfWidget[widget] = ct.id;
    m_controls.push_back(Control{&ct, widget, {}});
    ConnectNotifications(m_controls.back());
    previous = widget;
  }
  for (const ComboInitialList& list : tpl.comboLists) {
    if (const Control* control = Find(list.id); control && qobject_cast<ComboBoxWidget*>(control->widget)) {
      auto* combo = static_cast<ComboBoxWidget*>(control->widget);
      for (const char16_t* item : list.items) combo->AddString(ToQString(item));
    }
  }
  // Group boxes come after the controls they frame; they stay behind them and let clicks through.
  for (const Control& control : m_controls) {
    if (control.tpl->kind == ControlKind::GroupBox) control.widget->lower();
  }
}

QWidget* QtDialogWindow::CreateControl(const ControlTemplate& ct, QWidget* previous) {
  const QString caption = ToQString(ct.caption ? ct.caption : u"");
  switch (ct.kind) {
    case ControlKind::PushButton: {
      auto* button = new QPushButton(caption, m_dialog);
      // A QDialog makes every push button press on Enter; here the owner decides.
      button->setAutoDefault(false);
      button->setDefault(false);
      return button;
    }
    case ControlKind::CheckBox:
      return new QCheckBox(caption, m_dialog);
    case ControlKind::StaticText: {
      auto* label = new QLabel(caption, m_dialog);
      label->setTextFormat(Qt::PlainText);
      const bool centred = (ct.style & ws::CenterImage) != 0;
      label->setAlignment(Qt::AlignLeft | (centred ? Qt::AlignVCenter : Qt::AlignTop));
      label->setWordWrap(!centred);
      return label;
    }
    case ControlKind::GroupBox: {
      auto* group = new QGroupBox(caption, m_dialog);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      return group;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(caption, m_dialog);
      edit->setFrame((ct.style & ws::Border) != 0);
      if (ct.style & ws::Number) {
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      }
      return edit;
    }
    case ControlKind::MultiLineEdit: {
      auto* edit = new MultiLineEditWidget(m_dialog);
      edit->setVerticalScrollBarPolicy((ct.style & ws::VScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      edit->SetText(ToU16(caption));
      return edit;
    }
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
      return new ComboBoxWidget(ct.kind == ControlKind::ComboBox, m_dialog);
    case ControlKind::UpDown: {
      auto* buddy = (ct.style & ws::UdsAutoBuddy) ? qobject_cast<QLineEdit*>(previous) : nullptr;
      return new UpDownWidget(buddy, (ct.style & ws::UdsWrap) != 0, m_dialog);
    }
    case ControlKind::ListBox:
      return new ListBoxWidget(m_dialog);
  }
  return new QWidget(m_dialog);
}

void QtDialogWindow::ConnectNotifications(const Control& control) {
  const int id = control.tpl->id;
  QWidget* widget = control.widget;
  switch (control.tpl->kind) {
    case ControlKind::PushButton:
      // `clicked` comes from the user only: the mouse, Space, and the accessible Press.
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
              [this, id] { Notify(BN_CLICKED, id); });
      break;
    case ControlKind::CheckBox: {
      // A screen reader's Toggle changes the mark without `clicked`; every change that is
      // not the program's own is the user's click. A box that shows a state takes it back.
      auto* box = static_cast<QAbstractButton*>(widget);
      connect(box, &QAbstractButton::toggled, this, [this, id, box, toggles = TogglesOnClick(*control.tpl)](bool on) {
        if (m_programSetsCheck) return;
        if (!toggles) {
          const QScopedValueRollback programSetsCheck(m_programSetsCheck, true);
          box->setChecked(!on);
        }
        Notify(BN_CLICKED, id);
      });
      break;
    }
    case ControlKind::Edit:
      // Also on SetText: the platform's edits notify every change of their text.
      connect(static_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this, [this, id] { Notify(EN_CHANGE, id); });
      break;
    case ControlKind::MultiLineEdit:
      connect(static_cast<MultiLineEditWidget*>(widget), &MultiLineEditWidget::userChanged, this,
              [this, id] { Notify(EN_CHANGE, id); });
      break;
    case ControlKind::ComboBox:
    case ControlKind::DropDownList: {
      auto* combo = static_cast<ComboBoxWidget*>(widget);
      connect(combo, &ComboBoxWidget::dropDown, this, [this, id] { Notify(CBN_DROPDOWN, id); });
      connect(combo, &ComboBoxWidget::userSelectionChanged, this, [this, id] { Notify(CBN_SELCHANGE, id); });
      break;
    }
    case ControlKind::ListBox: {
      auto* list = static_cast<ListBoxWidget*>(widget);
      connect(list, &ListBoxWidget::userSelectionChanged, this, [this, id] { Notify(LBN_SELCHANGE, id); });
      connect(list, &ListBoxWidget::itemDoubleClickedByUser, this, [this, id] { Notify(LBN_DBLCLK, id); });
      break;
    }
    default:
      break;
  }
}

void QtDialogWindow::SetTabOrderAndFocus() {
  QWidget* previous = nullptr;
  QWidget* first = nullptr;
  for (const Control& control : m_controls) {
    if (!TakesFocus(control.tpl->kind) || !(control.tpl->style & ws::TabStop)) continue;
    if (previous) QWidget::setTabOrder(previous, control.widget);
    previous = control.widget;
    if (!first && !control.widget->isHidden() && control.widget->isEnabled()) first = control.widget;
  }
  if (first) first->setFocus(Qt::OtherFocusReason);
}

void QtDialogWindow::NameControls() {
  std::vector<accessible_names::Placed> placed;
  placed.reserve(m_controls.size());
  for (const Control& control : m_controls) placed.push_back({control.tpl->kind, control.widget->geometry()});
  const DialogUnits units(m_dialog->font());
  const QSize gap(units.X(8), units.Y(8));
  for (std::size_t i = 0; i < m_controls.size(); ++i) {
    Control& control = m_controls[i];
    switch (control.tpl->kind) {
      case ControlKind::PushButton:
      case ControlKind::CheckBox:
        control.named.push_back(control.widget);
        break;
      case ControlKind::Edit:
      case ControlKind::MultiLineEdit:
      case ControlKind::ComboBox:
      case ControlKind::DropDownList:
      case ControlKind::ListBox:
      case ControlKind::UpDown: {
        // An up-down control is named as its buddy, which sits where it was in the template.
        const std::size_t subject = control.tpl->kind == ControlKind::UpDown && i > 0 ? i - 1 : i;
        const int source = accessible_names::NamingControl(placed, subject, gap);
        if (source < 0) break;
        Control& naming = m_controls[static_cast<std::size_t>(source)];
        naming.named.push_back(control.widget);
        if (auto* label = qobject_cast<QLabel*>(naming.widget); label && !label->buddy()) label->setBuddy(control.widget);
        break;
      }
      default:
        break;
    }
  }
  for (const Control& control : m_controls) {
    if (!control.named.empty()) UpdateNames(control, ToQString(TextOf(control)));
  }
}

void QtDialogWindow::UpdateNames(const Control& control, const QString& caption) {
  const QString name = accessible_names::FromCaption(caption, control.tpl->kind == ControlKind::GroupBox);
  for (QWidget* widget : control.named) widget->setAccessibleName(name);
}

const QtDialogWindow::Control* QtDialogWindow::Find(int id) const {
  const auto it = m_byId.find(id);
  return it == m_byId.end() ? nullptr : &m_controls[it->second];
}

QWidget* QtDialogWindow::ControlWidget(int id) const {
  const Control* control = Find(id);
  return control ? control->widget : nullptr;
}

void QtDialogWindow::Notify(UINT code, int id) {
  if (!m_closing) m_owner.SendNotify(code, id);
}

std::u16string QtDialogWindow::GetText(int id) const {
  if (id == 0) return ToU16(m_dialog->windowTitle());
  const Control* control = Find(id);
  return control ? TextOf(*control) : std::u16string();
}

std::u16string QtDialogWindow::TextOf(const Control& control) const {
  QWidget* widget = control.widget;
  switch (control.tpl->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
      return ToU16(static_cast<QAbstractButton*>(widget)->text());
    case ControlKind::StaticText:
      return ToU16(static_cast<QLabel*>(widget)->text());
    case ControlKind::GroupBox:
      return ToU16(static_cast<QGroupBox*>(widget)->title());
    case ControlKind::Edit:
      return ToU16(static_cast<QLineEdit*>(widget)->text());
    case ControlKind::MultiLineEdit:
      return static_cast<MultiLineEditWidget*>(widget)->Text();
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
      return ToU16(static_cast<QComboBox*>(widget)->currentText());
    case ControlKind::UpDown:
    case ControlKind::ListBox:
      return {};
  }
  return {};
}

void QtDialogWindow::SetText(int id, std::u16string_view text) {
  const QString value = ToQString(text);
  if (id == 0) {
    m_dialog->setWindowTitle(value);
    return;
  }
  const Control* control = Find(id);
  if (!control) return;
  QWidget* widget = control->widget;
  switch (control->tpl->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
      static_cast<QAbstractButton*>(widget)->setText(value);
      break;
    case ControlKind::StaticText:
      static_cast<QLabel*>(widget)->setText(value);
      break;
    case ControlKind::GroupBox:
      static_cast<QGroupBox*>(widget)->setTitle(value);
      break;
    case ControlKind::Edit: {
      // One notification, also when the text stays the same, as the platform's edits do.
      auto* edit = static_cast<QLineEdit*>(widget);
      {
        const QSignalBlocker blocker(edit);
        edit->setText(value);
      }
      Notify(EN_CHANGE, id);
      break;
    }
    case ControlKind::MultiLineEdit:
      static_cast<MultiLineEditWidget*>(widget)->SetText(text);
      Notify(EN_CHANGE, id);
      break;
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
      static_cast<ComboBoxWidget*>(widget)->SetText(value);
      break;
    case ControlKind::UpDown:
    case ControlKind::ListBox:
      break;
  }
  if (!control->named.empty()) UpdateNames(*control, value);
}

UINT QtDialogWindow::GetCheck(int id) const {
  const Control* control = Find(id);
  auto* box = control ? qobject_cast<QCheckBox*>(control->widget) : nullptr;
  return box && box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void QtDialogWindow::SetCheck(int id, UINT state) {
  const Control* control = Find(id);
  if (auto* box = control ? qobject_cast<QCheckBox*>(control->widget) : nullptr) {
    const QScopedValueRollback programSetsCheck(m_programSetsCheck, true);
    box->setChecked(state == BST_CHECKED);
  }
}

bool QtDialogWindow::IsEnabled(int id) const {
  const Control* control = Find(id);
  return control && !control->widget->testAttribute(Qt::WA_Disabled);
}

void QtDialogWindow::Enable(int id, bool enable) {
  if (const Control* control = Find(id)) control->widget->setEnabled(enable);
}

bool QtDialogWindow::IsVisible(int id) const {
  const Control* control = Find(id);
  return control && !control->widget->isHidden();
}

void QtDialogWindow::Show(int id, bool show) {
  if (const Control* control = Find(id)) control->widget->setVisible(show);
}

int QtDialogWindow::GetFocusId() const {
  for (QWidget* widget = m_dialog->focusWidget(); widget && widget != m_dialog; widget = widget->parentWidget()) {
    if (const auto it = m_idOfWidget.find(widget); it != m_idOfWidget.end()) return it->second;
  }
  return 0;
}

void QtDialogWindow::SetFocusId(int id) {
  if (const Control* control = Find(id)) control->widget->setFocus(Qt::OtherFocusReason);
}

void QtDialogWindow::ComboResetContent(int id) {
  const Control* control = Find(id);
  if (auto* combo = control ? qobject_cast<ComboBoxWidget*>(control->widget) : nullptr) combo->ResetContent();
}

int QtDialogWindow::ComboAddString(int id, std::u16string_view text) {
  const Control* control = Find(id);
  auto* combo = control ? qobject_cast<ComboBoxWidget*>(control->widget) : nullptr;
  return combo ? combo->AddString(ToQString(text)) : CB_ERR;
}

int QtDialogWindow::ComboGetCount(int id) const {
  const Control* control = Find(id);
  auto* combo = control ? qobject_cast<QComboBox*>(control->widget) : nullptr;
  return combo ? combo->count() : 0;
}

std::u16string QtDialogWindow::ComboGetItem(int id, int index) const {
  const Control* control = Find(id);
  auto* combo = control ? qobject_cast<QComboBox*>(control->widget) : nullptr;
  if (!combo || index < 0 || index >= combo->count()) return {};
  return ToU16(combo->itemText(index));
}

int QtDialogWindow::ComboGetCurSel(int id) const {
  const Control* control = Find(id);
  auto* combo = control ? qobject_cast<QComboBox*>(control->widget) : nullptr;
  return combo && combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
}

void QtDialogWindow::ComboSetCurSel(int id, int index) {
  const Control* control = Find(id);
  if (auto* combo = control ? qobject_cast<ComboBoxWidget*>(control->widget) : nullptr) combo->SetCurSel(index);
}

void QtDialogWindow::SpinSetRange(int id, int lower, int upper) {
  const Control* control = Find(id);
  if (auto* spin = control ? qobject_cast<UpDownWidget*>(control->widget) : nullptr) spin->SetRange(lower, upper);
}

ListBoxWidget* QtDialogWindow::ListBox(int id) const {
  const Control* control = Find(id);
  return control ? qobject_cast<ListBoxWidget*>(control->widget) : nullptr;
}

void QtDialogWindow::ListResetContent(int id) {
  if (ListBoxWidget* list = ListBox(id)) list->ResetContent();
}

int QtDialogWindow::ListAddString(int id, std::u16string_view text) {
  ListBoxWidget* list = ListBox(id);
  return list ? list->AddString(ToQString(text)) : LB_ERR;
}

int QtDialogWindow::ListGetCount(int id) const {
  const ListBoxWidget* list = ListBox(id);
  return list ? list->count() : 0;
}

std::u16string QtDialogWindow::ListGetItem(int id, int index) const {
  const ListBoxWidget* list = ListBox(id);
  const QListWidgetItem* item = list ? list->item(index) : nullptr;
  return item ? ToU16(item->text()) : std::u16string();
}

int QtDialogWindow::ListGetCurSel(int id) const {
  const ListBoxWidget* list = ListBox(id);
  return list ? list->CurSel() : LB_ERR;
}

void QtDialogWindow::ListSetCurSel(int id, int index) {
  if (ListBoxWidget* list = ListBox(id)) list->SetCurSel(index);
}

void QtDialogWindow::EditGetSel(int id, int& start, int& end) const {
  start = end = 0;
  const Control* control = Find(id);
  if (!control) return;
  if (auto* edit = qobject_cast<MultiLineEditWidget*>(control->widget)) {
    edit->GetSel(start, end);
  } else if (auto* line = qobject_cast<QLineEdit*>(control->widget)) {
    if (line->hasSelectedText()) {
      start = static_cast<int>(line->selectionStart());
      end = static_cast<int>(line->selectionEnd());
    } else {
      start = end = static_cast<int>(line->cursorPosition());
    }
  }
}

void QtDialogWindow::EditSetSel(int id, int start, int end) {
  const Control* control = Find(id);
  if (!control) return;
  if (auto* edit = qobject_cast<MultiLineEditWidget*>(control->widget)) {
    edit->SetSel(start, end);
  } else if (auto* line = qobject_cast<QLineEdit*>(control->widget)) {
    const int length = static_cast<int>(line->text().size());
    if (start < 0) {
      line->deselect();
      return;
    }
    const int anchor = std::clamp(start, 0, length);
    const int position = end < 0 ? length : std::clamp(end, 0, length);
    line->setSelection(anchor, position - anchor);
  }
}

void QtDialogWindow::EditScrollCaret(int id) {
  const Control* control = Find(id);
  if (auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr) edit->ScrollCaret();
}

int QtDialogWindow::EditGetLineCount(int id) const {
  const Control* control = Find(id);
  auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr;
  return edit ? edit->LineCount() : 1;
}

int QtDialogWindow::GetTextLength(int id) const {
  const Control* control = Find(id);
  if (auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr) return edit->TextLength();
  return static_cast<int>(GetText(id).size());
}

void QtDialogWindow::EditAttachText(int id, const std::u16string* text) {
  const Control* control = Find(id);
  if (auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr) edit->Attach(text);
}

void QtDialogWindow::EditTextChanged(int id, std::size_t firstChange) {
  const Control* control = Find(id);
  if (auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr) edit->TextChanged(firstChange);
}

void QtDialogWindow::EditAttachMarks(int id, const std::vector<TextSpan>* marks) {
  const Control* control = Find(id);
  if (auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr) edit->AttachMarks(marks);
}

int QtDialogWindow::EditTextAreaWidth(int id) const {
  const Control* control = Find(id);
  if (!control) return 0;
  if (auto* edit = qobject_cast<MultiLineEditWidget*>(control->widget)) return edit->TextAreaWidth();
  return control->widget->contentsRect().width();
}

std::function<int(char16_t)> QtDialogWindow::EditCharWidth(int id) const {
  const Control* control = Find(id);
  if (auto* edit = control ? qobject_cast<MultiLineEditWidget*>(control->widget) : nullptr) return edit->CharWidth();
  const QFontMetrics metrics(control ? control->widget->font() : m_dialog->font());
  return [metrics](char16_t c) { return metrics.horizontalAdvance(QChar(c)); };
}

bool QtDialogWindow::IsKeyDown(int virtualKey) const {
  const Qt::KeyboardModifiers modifiers = m_keyModifiers ? *m_keyModifiers : QGuiApplication::queryKeyboardModifiers();
  switch (virtualKey) {
    case VK_CONTROL:
      return modifiers & Qt::ControlModifier;
    case VK_MENU:
      return modifiers & Qt::AltModifier;
    case kVkShift:
      return modifiers & Qt::ShiftModifier;
    default:
      return false;
  }
}

void QtDialogWindow::SetTimer(UINT_PTR timerId, UINT elapseMs) {
  QTimer*& timer = m_timers[timerId];
  if (!timer) {
    timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, timerId] {
      if (!m_closing) m_owner.SendMessage(WM_TIMER, timerId, 0);
    });
  }
  timer->start(static_cast<int>(std::max(elapseMs, kShortestTimer)));
}

void QtDialogWindow::KillTimer(UINT_PTR timerId) {
  // Stopped, not deleted: KillTimer may come from the timer's own handler.
  if (const auto it = m_timers.find(timerId); it != m_timers.end()) it->second->stop();
}

int QtDialogWindow::MessageBox(std::u16string_view text, std::u16string_view caption, UINT type) {
  QMessageBox box(MessageIcon(type), ToQString(caption), ToQString(text), QMessageBox::Ok, m_dialog);
  // Paths and received text may look like markup; show them as they are.
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return kIdOk;
}

std::optional<FileDialogResult> QtDialogWindow::ShowFileDialog(const FileDialogRequest& request) {
  return RunFileDialog(m_dialog, request);
}

INT_PTR QtDialogWindow::RunModal() {
  if (m_ended) return m_result;
  const int code = m_dialog->exec();
  return m_ended ? m_result : code;
}

void QtDialogWindow::EndDialog(INT_PTR result) {
  m_ended = true;
  m_result = result;
  for (auto& [id, timer] : m_timers) timer->stop();
  m_dialog->done(static_cast<int>(result));
}

void QtDialogWindow::PostTask(std::function<void()> task) { m_tasks->Post(std::move(task)); }

std::unique_ptr<platform::Waker> QtDialogWindow::CreateWaker(std::function<void()> handler) {
  return std::make_unique<EventFdWaker>(std::move(handler));
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (m_closing) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
      return FilterKey(watched, static_cast<QKeyEvent*>(event));
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return m_acceptsFiles && FilterDrop(event);
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      const auto it = m_idOfWidget.find(watched);
      if (it == m_idOfWidget.end()) break;
      const Control* control = Find(it->second);
      const bool edit = control->tpl->kind == ControlKind::Edit || control->tpl->kind == ControlKind::MultiLineEdit;
      // A context menu takes the focus for a moment; the platform's edits keep it.
      if (edit && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        Notify(event->type() == QEvent::FocusIn ? EN_SETFOCUS : EN_KILLFOCUS, it->second);
      }
      break;
    }
    case QEvent::Close:
      if (watched == m_dialog) {
        // The owner decides whether the window closes (it ends the dialog, or not).
        event->ignore();
        m_owner.SendMessage(WM_CLOSE);
        return true;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

bool QtDialogWindow::FilterKey(QObject* watched, QKeyEvent* event) {
  QWidget* focus = m_dialog->focusWidget();
  // Each key is pre-translated once, where Qt delivers it first; a key that the focused
  // widget leaves unused then travels up to the dialog.
  if (!m_redelivering && watched == (focus ? focus : m_dialog.data())) {
    if (const int virtualKey = VirtualKey(*event)) {
      const bool alt = event->modifiers() & Qt::AltModifier;
      KeyMessage msg{GetFocusId(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 0};
      m_keyModifiers = event->modifiers();
      const BOOL handled = m_owner.PreTranslateMessage(msg);
      m_keyModifiers.reset();
      if (handled) return true;
      if (alt && msg.message == WM_KEYDOWN) {
        // The owner made a system key a plain one (Alt+Enter a line break): deliver it so.
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        QKeyEvent plain(QEvent::KeyPress, enter ? Qt::Key_Return : event->key(), Qt::NoModifier,
                        enter ? QStringLiteral("\r") : event->text());
        m_redelivering = true;
        QCoreApplication::sendEvent(watched, &plain);
        m_redelivering = false;
        return true;
      }
    }
  }
  // QDialog would press its default button on Enter and close on Esc: never here.
  return watched == m_dialog && IsEnterOrEscape(*event);
}

bool QtDialogWindow::FilterDrop(QEvent* event) {
  auto* drop = static_cast<QDropEvent*>(event);
  const QMimeData* data = drop->mimeData();
  if (!data || !data->hasUrls()) return false;
  DroppedFiles files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files.paths.push_back(ToU16(url.toLocalFile()));
  }
  if (files.paths.empty()) return false;
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (event->type() == QEvent::Drop) m_owner.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&files), 0);
  return true;
}
