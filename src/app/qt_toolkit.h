#pragma once
// The window toolkit on Qt Widgets: the backend of platform/toolkit.h.
//
// The form registers every control with add_control. The toolkit keeps a
// mirror of each control's state (text, flags, rows, cells, ticks, selection,
// client size) under one mutex:
//  - reads from any thread are answered from the mirror at once, without a
//    round trip through the UI thread;
//  - writes change the mirror under the mutex and append a widget update to
//    one ordered queue that the UI thread applies (at once when the writer is
//    the UI thread; else at once after a quiet spell, and during a flood of
//    writes ten times a second, so that the flood costs one layout and one
//    repaint a tenth of a second). The writer sees its write at once; the
//    widgets follow in the order the writes were made, and a message the
//    writer sends afterwards finds them applied;
//  - what the user does (ticking a row, choosing a radio button, selecting a
//    row, typing) goes into the mirror from the widgets' signals.
// The mutex is never held while widget code runs or a message is sent, and no
// thread waits for the UI thread while holding it, so the UI thread never
// waits for a thread that waits for it. Rows carry ids so that user changes
// and queued updates find the same row even while updates are pending.
//
// Construct on the UI thread (the thread that runs the message loop); the
// toolkit must outlive its installation (toolkit::install_backend) and the
// controls it knows. Not supported: list view selection, edit boxes'
// multi-line text, tab page switching through properties.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/toolkit.h"

class QListWidgetItem;
class QTreeView;

namespace quill::app {

class ListViewModel;

enum class ControlKind {
  window,
  edit_box,
  label,
  group_box,
  check_box,
  button,
  radio_button,
  tab_control,
  list_view,
  list_box
};

class QtToolkit final : public QObject, public toolkit::Backend {
 public:
  QtToolkit();
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

  // UI thread. Registers a control under its form name; its state is read
  // from the widget. Radio buttons with the same `group` are exclusive.
  // A list view's columns must exist before it is registered.
  void add_control(std::string_view name, ControlKind kind, QWidget* widget, win::HWND handle,
                   std::string_view group = {});
  // UI thread. Forgets every control; pending widget updates are dropped.
  void remove_controls();
  // UI thread. The control's widget, or nullptr.
  QWidget* widget(std::string_view name);
  bool on_ui_thread() const { return std::this_thread::get_id() == ui_thread_; }

  win::HWND control_handle(std::string_view control) override;
  int get_property(std::string_view control, toolkit::Property property) override;
  std::string get_text_property(std::string_view control) override;
  void set_property(std::string_view control, toolkit::Property property, int value) override;
  void set_text_property(std::string_view control, const std::string& text) override;
  win::LRESULT send_control_message(std::string_view control, win::UINT message, win::WPARAM wparam,
                                    win::LPARAM lparam) override;
  void process_pending_events() override;
  void close_windows() override;
  int list_box_count(std::string_view list_box) override;
  int list_box_add(std::string_view list_box, const std::string& text) override;
  int list_box_insert(std::string_view list_box, int position, const std::string& text) override;
  int list_view_count(std::string_view list_view) override;
  int list_view_insert_row(std::string_view list_view, int position, const std::string& text) override;
  void list_view_clear(std::string_view list_view) override;
  std::string cell_text(std::string_view list_view, int row, int column) override;
  void set_cell_text(std::string_view list_view, int row, int column, const std::string& text) override;
  int tick_state(std::string_view list_view, int row) override;
  void set_tick_state(std::string_view list_view, int row, int state) override;
  int client_width(std::string_view control) override;
  int client_height(std::string_view control) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    std::uint64_t id;
    std::vector<std::string> cells;  // list box: one cell, its text
    int tick = 0;
  };
  struct Control {
    ControlKind kind;
    QPointer<QWidget> widget;
    win::HWND handle = nullptr;
    std::string group;
    bool visible = true;
    bool disabled = false;
    std::string text;
    int ticked = 0;
    std::uint64_t selected_id = 0;  // list box; 0 for none
    int width = 0;
    int height = 0;
    int columns = 1;
    std::deque<Row> rows;  // rows inserted near either end move few others
  };
  using Op = std::function<void()>;

  // mutex_ held by the caller for the next three.
  Control* find(std::string_view name);
  Control* find(std::string_view name, ControlKind kind);
  void enqueue(Op op) {
    ops_.push_back(std::move(op));
    last_insert_ = {};
  }
  // After a write, with mutex_ released: apply the queue now (UI thread) or
  // have the UI thread apply it.
  void flush();
  // Inserts a list box row; position -1 appends. The new index, or -1.
  int insert_list_box_row(std::string_view name, int position, const std::string& text);
  void drain();
  // Drains now if the last drain was a tenth of a second ago or more, else a
  // tenth of a second after it.
  void drain_paced();

  // Queued widget updates (UI thread), each reading the mirror when applied.
  void apply_text(const std::string& name);
  void apply_flags(const std::string& name);
  void apply_ticked(const std::string& name);
  void apply_selection(const std::string& name);
  void apply_tick(const std::string& name, int row, std::uint64_t id);
  // The model a list view shows, found without the mutex; nullptr once gone.
  ListViewModel* shown_model(const std::string& name) const;

  void watch_user_changes(const std::string& name, ControlKind kind, QWidget* widget);
  void update_client_size(QObject* source);
  static int row_index(const Control& control, std::uint64_t id);

  std::thread::id ui_thread_;
  std::mutex mutex_;
  std::map<std::string, Control, std::less<>> controls_;
  std::deque<Op> ops_;
  // List view rows inserted one after another (at first, first + 1, ...)
  // while their insertion is the last queued update: further rows inserted
  // just below them, and cells written into them, join that update, so a
  // page of books reaches the widget whole, in one update. Cleared by any
  // other update and by each drain.
  struct InsertedRows {
    std::vector<std::uint64_t> ids;
    std::vector<std::vector<std::string>> cells;
  };
  struct PendingInsert {
    const Control* control = nullptr;
    int first = -1;
    std::shared_ptr<InsertedRows> rows;
  };
  PendingInsert last_insert_;
  std::uint64_t next_row_id_ = 1;
  std::atomic<bool> drain_queued_{false};
  // UI thread only.
  bool applying_ = false;
  bool draining_ = false;
  QElapsedTimer last_drain_;
  std::unordered_map<std::uint64_t, QListWidgetItem*> list_items_;
  std::unordered_map<std::string, QPointer<QTreeView>> list_views_;
  std::unordered_map<QObject*, std::string> size_sources_;
};

}  // namespace quill::app
