#include "app/qt_toolkit.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

#include "app/list_view_model.h"
#include "app/owner_drawn_list_box.h"
#include "platform/codepage.h"
#include "platform/window_messages.h"

namespace quill::app {
namespace {

constexpr int kRowIdRole = Qt::UserRole + 1;  // a list box row's id

QString to_qt(const std::string& gbk) { return QString::fromStdU16String(platform::gbk_to_utf16(gbk)); }
std::string from_qt(const QString& text) { return platform::utf16_to_gbk(text.toStdU16String()); }

bool has_tick(ControlKind kind) { return kind == ControlKind::check_box || kind == ControlKind::radio_button; }

std::uint64_t row_id(const QListWidgetItem* item) { return item->data(kRowIdRole).toULongLong(); }

// A check box caption too wide for its box goes on two lines at its first
// run of spaces, as a multi-line check box shows it. The text is unchanged.
QString displayed_caption(QAbstractButton* box, const QString& caption) {
  const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                        box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
  const int space = caption.indexOf(QLatin1Char(' '));
  if (space < 0 || box->fontMetrics().horizontalAdvance(caption) + indicator <= box->width()) return caption;
  int end = space;
  while (end < caption.size() && caption[end] == QLatin1Char(' ')) ++end;
  return caption.left(space) + QLatin1Char('\n') + caption.mid(end);
}

// Writes from other threads are applied at most ten times a second: as often
// as a reader can follow a list that fills, while each application costs a
// layout and a repaint of everything it touched.
constexpr int kApplyIntervalMs = 100;

ListViewModel* list_model(QWidget* widget) {
  auto* view = qobject_cast<QTreeView*>(widget);
  return view ? dynamic_cast<ListViewModel*>(view->model()) : nullptr;
}

QSize client_size(ControlKind kind, QWidget* widget) {
  if (kind == ControlKind::list_box) return static_cast<OwnerDrawnListBox*>(widget)->client_size();
  return widget->size();
}

}  // namespace

QtToolkit::QtToolkit() : ui_thread_(std::this_thread::get_id()) {
  win::set_before_sent_message([this] { drain(); });
}

QtToolkit::~QtToolkit() { win::set_before_sent_message({}); }

QtToolkit::Control* QtToolkit::find(std::string_view name) {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : &it->second;
}

QtToolkit::Control* QtToolkit::find(std::string_view name, ControlKind kind) {
  Control* control = find(name);
  return control && control->kind == kind ? control : nullptr;
}

int QtToolkit::row_index(const Control& control, std::uint64_t id) {
  for (size_t i = 0; i < control.rows.size(); ++i) {
    if (control.rows[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

void QtToolkit::add_control(std::string_view name, ControlKind kind, QWidget* widget, win::HWND handle,
                            std::string_view group) {
  Control control;
  control.kind = kind;
  control.widget = widget;
  control.handle = handle;
  control.group = group;
  control.visible = kind == ControlKind::window ? true : !widget->isHidden();
  control.disabled = !widget->isEnabled();
  switch (kind) {
    case ControlKind::window:
      control.text = from_qt(widget->windowTitle());
      break;
    case ControlKind::edit_box:
      control.text = from_qt(static_cast<QLineEdit*>(widget)->text());
      break;
    case ControlKind::label:
      control.text = from_qt(static_cast<QLabel*>(widget)->text());
      break;
    case ControlKind::group_box:
      control.text = from_qt(static_cast<QGroupBox*>(widget)->title());
      break;
    case ControlKind::check_box:
    case ControlKind::radio_button:
    case ControlKind::button: {
      auto* button = static_cast<QAbstractButton*>(widget);
      control.text = from_qt(button->text());
      control.ticked = button->isChecked() ? 1 : 0;
      if (kind == ControlKind::check_box) button->setText(displayed_caption(button, button->text()));
      break;
    }
    case ControlKind::list_view:
      if (ListViewModel* model = list_model(widget)) control.columns = model->columnCount();
      break;
    case ControlKind::tab_control:
    case ControlKind::list_box:
      break;
  }
  const QSize size = client_size(kind, widget);
  control.width = size.width();
  control.height = size.height();
  const std::string key(name);
  {
    std::lock_guard lock(mutex_);
    controls_[key] = std::move(control);
  }
  size_sources_[widget] = key;
  widget->installEventFilter(this);
  if (kind == ControlKind::list_view) list_views_[key] = qobject_cast<QTreeView*>(widget);
  if (kind == ControlKind::list_box) {
    // A scroll bar coming or going changes the client area too.
    QWidget* viewport = static_cast<QListWidget*>(widget)->viewport();
    size_sources_[viewport] = key;
    viewport->installEventFilter(this);
  }
  watch_user_changes(key, kind, widget);
}

void QtToolkit::remove_controls() {
  for (auto& [source, name] : size_sources_) source->removeEventFilter(this);
  size_sources_.clear();
  list_items_.clear();
  list_views_.clear();
  std::lock_guard lock(mutex_);
  for (auto& [name, control] : controls_) {
    if (control.widget) control.widget->disconnect(this);
  }
  controls_.clear();
  ops_.clear();
  last_insert_ = {};
}

ListViewModel* QtToolkit::shown_model(const std::string& name) const {
  auto it = list_views_.find(name);
  return it == list_views_.end() || it->second.isNull() ? nullptr : list_model(it->second.data());
}

QWidget* QtToolkit::widget(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name);
  return control ? control->widget.data() : nullptr;
}

// What the user does reaches the mirror; updates the toolkit applies itself
// (applying_) are already there.
void QtToolkit::watch_user_changes(const std::string& name, ControlKind kind, QWidget* widget) {
  switch (kind) {
    case ControlKind::check_box:
    case ControlKind::radio_button:
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::toggled, this, [this, name](bool checked) {
        if (applying_) return;
        std::lock_guard lock(mutex_);
        if (Control* control = find(name)) control->ticked = checked ? 1 : 0;
      });
      break;
    case ControlKind::edit_box:
      connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this, [this, name](const QString& text) {
        if (applying_) return;
        std::string gbk = from_qt(text);
        std::lock_guard lock(mutex_);
        if (Control* control = find(name)) control->text = std::move(gbk);
      });
      break;
    case ControlKind::list_view:
      if (ListViewModel* model = list_model(widget)) {
        model->on_user_tick = [this, name](std::uint64_t id, bool ticked) {
          std::lock_guard lock(mutex_);
          Control* control = find(name);
          if (control == nullptr) return;
          if (int row = row_index(*control, id); row >= 0)
            control->rows[static_cast<size_t>(row)].tick = ticked ? 1 : 0;
        };
      }
      break;
    case ControlKind::list_box: {
      auto* list = static_cast<QListWidget*>(widget);
      connect(list, &QListWidget::currentRowChanged, this, [this, name, list](int row) {
        if (applying_) return;
        QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
        const std::uint64_t id = item ? row_id(item) : 0;
        std::lock_guard lock(mutex_);
        if (Control* control = find(name)) control->selected_id = id;
      });
      break;
    }
    default:
      break;
  }
}

bool QtToolkit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) update_client_size(watched);
  return false;
}

void QtToolkit::update_client_size(QObject* source) {
  auto it = size_sources_.find(source);
  if (it == size_sources_.end()) return;
  std::lock_guard lock(mutex_);
  if (Control* control = find(it->second); control && control->widget) {
    const QSize size = client_size(control->kind, control->widget);
    control->width = size.width();
    control->height = size.height();
  }
}

void QtToolkit::flush() {
  if (on_ui_thread()) {
    drain();
  } else if (!drain_queued_.exchange(true)) {
    QMetaObject::invokeMethod(
        this, [this] { drain_paced(); }, Qt::QueuedConnection);
  }
}

void QtToolkit::drain_paced() {
  const qint64 since = last_drain_.isValid() ? last_drain_.elapsed() : kApplyIntervalMs;
  if (since >= kApplyIntervalMs) {
    drain();
  } else {
    QTimer::singleShot(static_cast<int>(kApplyIntervalMs - since), this, [this] { drain(); });
  }
}

void QtToolkit::drain() {
  if (draining_) return;  // an update wrote again; the running loop applies it
  draining_ = true;
  drain_queued_ = false;
  last_drain_.start();
  // Takes every queued update at once, so a writer and the UI thread meet on
  // the lock once per batch rather than once per update.
  for (;;) {
    decltype(ops_) batch;
    {
      std::lock_guard lock(mutex_);
      if (ops_.empty()) break;
      batch.swap(ops_);
      last_insert_ = {};
    }
    applying_ = true;
    for (Op& op : batch) op();
    applying_ = false;
  }
  draining_ = false;
}

void QtToolkit::apply_text(const std::string& name) {
  QWidget* widget = nullptr;
  ControlKind kind;
  QString text;
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name);
    if (control == nullptr || !control->widget) return;
    widget = control->widget;
    kind = control->kind;
    text = to_qt(control->text);
  }
  switch (kind) {
    case ControlKind::window:
      widget->setWindowTitle(text);
      break;
    case ControlKind::edit_box:
      static_cast<QLineEdit*>(widget)->setText(text);
      break;
    case ControlKind::label:
      static_cast<QLabel*>(widget)->setText(text);
      break;
    case ControlKind::group_box:
      static_cast<QGroupBox*>(widget)->setTitle(text);
      break;
    case ControlKind::check_box:
      static_cast<QAbstractButton*>(widget)->setText(displayed_caption(static_cast<QAbstractButton*>(widget), text));
      break;
    case ControlKind::radio_button:
    case ControlKind::button:
      static_cast<QAbstractButton*>(widget)->setText(text);
      break;
    default:
      break;
  }
}

void QtToolkit::apply_flags(const std::string& name) {
  QWidget* widget = nullptr;
  bool visible = false;
  bool disabled = false;
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name);
    if (control == nullptr || !control->widget) return;
    widget = control->widget;
    visible = control->visible;
    disabled = control->disabled;
  }
  widget->setEnabled(!disabled);
  widget->setVisible(visible);
}

void QtToolkit::apply_ticked(const std::string& name) {
  QAbstractButton* button = nullptr;
  bool ticked = false;
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name);
    if (control == nullptr || !control->widget || !has_tick(control->kind)) return;
    button = static_cast<QAbstractButton*>(control->widget.data());
    ticked = control->ticked != 0;
  }
  if (ticked == button->isChecked()) return;
  // A checked radio button of a group cannot be unchecked while exclusive.
  const bool exclusive = button->autoExclusive();
  if (!ticked) button->setAutoExclusive(false);
  button->setChecked(ticked);
  button->setAutoExclusive(exclusive);
}

void QtToolkit::apply_selection(const std::string& name) {
  QListWidget* list = nullptr;
  std::uint64_t id = 0;
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_box);
    if (control == nullptr || !control->widget) return;
    list = static_cast<QListWidget*>(control->widget.data());
    id = control->selected_id;
  }
  auto it = list_items_.find(id);
  if (id == 0 || it == list_items_.end()) {
    list->setCurrentRow(-1);
    list->clearSelection();
  } else {
    list->setCurrentItem(it->second);
  }
}

void QtToolkit::apply_tick(const std::string& name, int row, std::uint64_t id) {
  ListViewModel* model = shown_model(name);
  if (model == nullptr) return;
  if (model == nullptr || model->row_id(row) != id) return;
  // The tick the mirror holds now: the user may have changed it since.
  int tick = 0;
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_view);
    if (control == nullptr) return;
    const int current = row_index(*control, id);
    if (current < 0) return;
    tick = control->rows[static_cast<size_t>(current)].tick;
  }
  model->set_tick(row, tick != 0);
}

win::HWND QtToolkit::control_handle(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name);
  return control ? control->handle : nullptr;
}

int QtToolkit::get_property(std::string_view name, toolkit::Property property) {
  std::lock_guard lock(mutex_);
  Control* control = find(name);
  if (control == nullptr) return -1;
  switch (property) {
    case toolkit::Property::visible:
      return control->visible ? 1 : 0;
    case toolkit::Property::disabled:
      return control->disabled ? 1 : 0;
    case toolkit::Property::current_selection:
      return control->kind == ControlKind::list_box ? row_index(*control, control->selected_id) : -1;
    case toolkit::Property::ticked:
      return has_tick(control->kind) ? control->ticked : -1;
    case toolkit::Property::text:
      return -1;
  }
  return -1;
}

std::string QtToolkit::get_text_property(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name);
  return control ? control->text : std::string();
}

void QtToolkit::set_property(std::string_view name, toolkit::Property property, int value) {
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name);
    if (control == nullptr) return;
    const std::string key(name);
    switch (property) {
      case toolkit::Property::visible:
      case toolkit::Property::disabled:
        (property == toolkit::Property::visible ? control->visible : control->disabled) = value != 0;
        enqueue([this, key] { apply_flags(key); });
        break;
      case toolkit::Property::current_selection:
        if (control->kind != ControlKind::list_box) return;
        control->selected_id = value >= 0 && value < static_cast<int>(control->rows.size())
                                   ? control->rows[static_cast<size_t>(value)].id
                                   : 0;
        enqueue([this, key] { apply_selection(key); });
        break;
      case toolkit::Property::ticked:
        if (!has_tick(control->kind)) return;
        control->ticked = value != 0 ? 1 : 0;
        if (control->kind == ControlKind::radio_button && control->ticked) {
          for (auto& [other_name, other] : controls_) {
            if (&other != control && other.kind == ControlKind::radio_button && other.group == control->group) {
              other.ticked = 0;
            }
          }
        }
        enqueue([this, key] { apply_ticked(key); });
        break;
      case toolkit::Property::text:
        return;
    }
  }
  flush();
}

void QtToolkit::set_text_property(std::string_view name, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name);
    if (control == nullptr) return;
    control->text = text;
    enqueue([this, key = std::string(name)] { apply_text(key); });
  }
  flush();
}

win::LRESULT QtToolkit::send_control_message(std::string_view name, win::UINT message, win::WPARAM wparam,
                                             win::LPARAM lparam) {
  return win::SendMessageA(control_handle(name), message, wparam, lparam);
}

void QtToolkit::process_pending_events() {
  if (!on_ui_thread()) return;
  drain();
  QCoreApplication::processEvents();
}

void QtToolkit::close_windows() {
  std::vector<QPointer<QWidget>> windows;
  {
    std::lock_guard lock(mutex_);
    for (auto& [name, control] : controls_) {
      if (control.kind == ControlKind::window) windows.push_back(control.widget);
    }
  }
  for (auto& window : windows) {
    if (!window) continue;
    // Never wait for the UI thread here: it may be the one ending the process.
    if (on_ui_thread()) {
      window->hide();
    } else {
      QMetaObject::invokeMethod(window, &QWidget::hide, Qt::QueuedConnection);
    }
  }
}

int QtToolkit::list_box_count(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name, ControlKind::list_box);
  return control ? static_cast<int>(control->rows.size()) : -1;
}

int QtToolkit::list_box_add(std::string_view name, const std::string& text) {
  return insert_list_box_row(name, -1, text);
}

int QtToolkit::list_box_insert(std::string_view name, int position, const std::string& text) {
  return position < 0 ? -1 : insert_list_box_row(name, position, text);
}

int QtToolkit::insert_list_box_row(std::string_view name, int position, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_box);
    const int count = control ? static_cast<int>(control->rows.size()) : 0;
    if (control == nullptr || position > count) return -1;
    // The end is taken under the lock, so concurrent appends get distinct rows.
    if (position < 0) position = count;
    const std::uint64_t id = next_row_id_++;
    control->rows.insert(control->rows.begin() + position, Row{id, {text}, 0});
    enqueue([this, key = std::string(name), position, id, text] {
      auto* list = qobject_cast<QListWidget*>(widget(key));
      if (list == nullptr) return;
      auto* item = new QListWidgetItem(to_qt(text));
      item->setData(kRowIdRole, QVariant::fromValue<qulonglong>(id));
      list->insertItem(position, item);
      list_items_[id] = item;
    });
  }
  flush();
  return position;
}

int QtToolkit::list_view_count(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name, ControlKind::list_view);
  return control ? static_cast<int>(control->rows.size()) : -1;
}

int QtToolkit::list_view_insert_row(std::string_view name, int position, const std::string& text) {
  int index = -1;
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_view);
    if (control == nullptr) return -1;
    const int count = static_cast<int>(control->rows.size());
    index = position < 0 || position > count ? count : position;
    const std::uint64_t id = next_row_id_++;
    Row row{id, std::vector<std::string>(static_cast<size_t>(control->columns)), 0};
    row.cells[0] = text;
    const bool joins = last_insert_.control == control &&
                       index == last_insert_.first + static_cast<int>(last_insert_.rows->ids.size());
    if (joins) {
      last_insert_.rows->ids.push_back(id);
      last_insert_.rows->cells.push_back(row.cells);
    } else {
      auto rows = std::make_shared<InsertedRows>();
      rows->ids.push_back(id);
      rows->cells.push_back(row.cells);
      enqueue([this, key = std::string(name), index, rows] {
        if (ListViewModel* model = shown_model(key)) model->insert_rows(index, rows->ids, std::move(rows->cells));
      });
      last_insert_ = {control, index, std::move(rows)};
    }
    control->rows.insert(control->rows.begin() + index, std::move(row));
  }
  flush();
  return index;
}

void QtToolkit::list_view_clear(std::string_view name) {
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_view);
    if (control == nullptr) return;
    // The old rows go with the update, so the UI thread frees them, not the
    // writer.
    auto old_rows = std::make_shared<decltype(control->rows)>(std::move(control->rows));
    control->rows.clear();
    enqueue([this, key = std::string(name), old_rows = std::move(old_rows)] {
      old_rows->clear();
      if (ListViewModel* model = shown_model(key)) model->clear();
    });
  }
  flush();
}

std::string QtToolkit::cell_text(std::string_view name, int row, int column) {
  std::lock_guard lock(mutex_);
  Control* control = find(name, ControlKind::list_view);
  if (control == nullptr || row < 0 || row >= static_cast<int>(control->rows.size()) || column < 0 ||
      column >= control->columns) {
    return {};
  }
  return control->rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void QtToolkit::set_cell_text(std::string_view name, int row, int column, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_view);
    if (control == nullptr || row < 0 || row >= static_cast<int>(control->rows.size()) || column < 0 ||
        column >= control->columns) {
      return;
    }
    Row& target = control->rows[static_cast<size_t>(row)];
    target.cells[static_cast<size_t>(column)] = text;
    if (last_insert_.control == control && row >= last_insert_.first &&
        row < last_insert_.first + static_cast<int>(last_insert_.rows->ids.size())) {
      last_insert_.rows->cells[static_cast<size_t>(row - last_insert_.first)][static_cast<size_t>(column)] = text;
      return;  // the queued insertion carries it; the UI thread is already told
    }
    // The mirror and the model change in the same order, so the row index
    // taken now is the model's when the update is applied.
    enqueue([this, key = std::string(name), row, column, text] {
      if (ListViewModel* model = shown_model(key)) model->set_cell(row, column, text);
    });
  }
  flush();
}

int QtToolkit::tick_state(std::string_view name, int row) {
  std::lock_guard lock(mutex_);
  Control* control = find(name, ControlKind::list_view);
  if (control == nullptr || row < 0 || row >= static_cast<int>(control->rows.size())) return -1;
  return control->rows[static_cast<size_t>(row)].tick;
}

void QtToolkit::set_tick_state(std::string_view name, int row, int state) {
  {
    std::lock_guard lock(mutex_);
    Control* control = find(name, ControlKind::list_view);
    if (control == nullptr || row < 0 || row >= static_cast<int>(control->rows.size())) return;
    Row& target = control->rows[static_cast<size_t>(row)];
    target.tick = state != 0 ? 1 : 0;
    enqueue([this, key = std::string(name), row, id = target.id] { apply_tick(key, row, id); });
  }
  flush();
}

int QtToolkit::client_width(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name);
  return control ? control->width : -1;
}

int QtToolkit::client_height(std::string_view name) {
  std::lock_guard lock(mutex_);
  Control* control = find(name);
  return control ? control->height : -1;
}

}  // namespace quill::app
