#pragma once
// The window toolkit operations that every part of the system uses on the
// controls of the main window. Controls are addressed by their form names
// (UTF-8 literals such as "列表", "列表框", "编辑框2"; kMainWindow for the
// window itself). Texts are system text (GBK bytes).
//
// Every operation may be called from any thread and acts at once. The
// operations forward to the backend that the application installs when it
// creates its window (app/qt_toolkit); before that, and for unknown control
// names, reads give -1 / 0 / empty text / nullptr and writes do nothing.
// process_pending_events is a no-op on threads without windows.
//
// program_folder, create_folder, exit routines and exit_process need no
// window and are implemented here.

#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace quill::toolkit {

inline constexpr std::string_view kMainWindow = "启动窗口";

enum class Property { visible, disabled, text, current_selection, ticked };

// What the application's window toolkit implements. Same contracts as the
// free functions below.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual win::HWND control_handle(std::string_view control) = 0;
  virtual int get_property(std::string_view control, Property property) = 0;
  virtual std::string get_text_property(std::string_view control) = 0;
  virtual void set_property(std::string_view control, Property property, int value) = 0;
  virtual void set_text_property(std::string_view control, const std::string& text) = 0;
  virtual win::LRESULT send_control_message(std::string_view control, win::UINT message, win::WPARAM wparam,
                                            win::LPARAM lparam) = 0;
  virtual void process_pending_events() = 0;
  virtual void close_windows() = 0;
  virtual int list_box_count(std::string_view list_box) = 0;
  virtual int list_box_add(std::string_view list_box, const std::string& text) = 0;
  virtual int list_box_insert(std::string_view list_box, int position, const std::string& text) = 0;
  virtual int list_view_count(std::string_view list_view) = 0;
  virtual int list_view_insert_row(std::string_view list_view, int position, const std::string& text) = 0;
  virtual void list_view_clear(std::string_view list_view) = 0;
  virtual std::string cell_text(std::string_view list_view, int row, int column) = 0;
  virtual void set_cell_text(std::string_view list_view, int row, int column, const std::string& text) = 0;
  virtual int tick_state(std::string_view list_view, int row) = 0;
  virtual void set_tick_state(std::string_view list_view, int row, int state) = 0;
  virtual int client_width(std::string_view control) = 0;
  virtual int client_height(std::string_view control) = 0;
};

// Installs the backend (nullptr removes it). The backend must outlive its use.
void install_backend(Backend* backend);

win::HWND control_handle(std::string_view control);
// Numeric properties: visible, disabled, current_selection, ticked. -1 when
// the control or property is unknown. Property::text reads as -1 here.
int get_property(std::string_view control, Property property);
// Property::text: caption of the window or a label, content of an edit box.
std::string get_text_property(std::string_view control);
void set_property(std::string_view control, Property property, int value);
void set_text_property(std::string_view control, const std::string& text);
win::LRESULT send_control_message(std::string_view control, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);
void process_pending_events();

// Folder of the program file, no trailing separator, as a file-system path
// (UTF-8).
std::string program_folder();
// Creates one folder level (UTF-8 path); false when it cannot be created or
// already exists.
bool create_folder(const std::string& path);
// Routines run once, in reverse order of registration, by exit_process.
void register_exit_routine(void (*routine)());
// Closes the windows, runs the exit routines and ends the process with `code`
// at once, whatever other threads are doing.
[[noreturn]] void exit_process(int code);

int list_box_count(std::string_view list_box);
// New 0-based index, or -1.
int list_box_add(std::string_view list_box, const std::string& text);
// Inserts at a 0-based position; a negative or too large position inserts
// nothing and gives -1.
int list_box_insert(std::string_view list_box, int position, const std::string& text);
int list_view_count(std::string_view list_view);
// A negative position appends. New 0-based index, or -1.
int list_view_insert_row(std::string_view list_view, const std::string& text, int position = -1);
void list_view_clear(std::string_view list_view);
// 0-based row and column; column 0 is the row's own text. Empty text out of range.
std::string cell_text(std::string_view list_view, int row, int column);
void set_cell_text(std::string_view list_view, int row, int column, const std::string& text);
// 1 ticked, 0 not; -1 for a row without a tick box (or out of range).
int tick_state(std::string_view list_view, int row);
void set_tick_state(std::string_view list_view, int row, int state);
int client_width(std::string_view control);
int client_height(std::string_view control);

}  // namespace quill::toolkit
