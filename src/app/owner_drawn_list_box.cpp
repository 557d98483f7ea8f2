#include "app/owner_drawn_list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QThread>
#include <QWheelEvent>

#include "platform/device_context.h"
#include "platform/window_messages.h"

namespace quill::app {
namespace {

// Every row has the list's item height.
class RowHeightDelegate final : public QStyledItemDelegate {
 public:
  RowHeightDelegate(QObject* parent, const int* height) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), *height_};
  }

 private:
  const int* height_;
};

win::WPARAM button_flags(Qt::MouseButtons buttons) {
  win::WPARAM flags = 0;
  if (buttons & Qt::LeftButton) flags |= win::MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= win::MK_RBUTTON;
  return flags;
}

// The virtual-key code of a Qt key: letters and digits are the same; the
// keys a list box acts on are mapped; others keep their low 16 bits.
win::WPARAM virtual_key(int key) {
  switch (key) {
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Tab:
      return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Escape:
      return 0x1B;
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
    case Qt::Key_Delete:
      return 0x2E;
    default:
      return static_cast<win::WPARAM>(key & 0xFFFF);
  }
}

win::LPARAM position(const QPointF& point) {
  return win::MAKELPARAM(static_cast<int>(point.x()), static_cast<int>(point.y()));
}

}  // namespace

OwnerDrawnListBox::OwnerDrawnListBox(QWidget* parent, win::HWND parent_window, win::UINT control_id)
    : QListWidget(parent),
      parent_window_(parent_window),
      control_id_(control_id),
      handle_(win::create_window(this, parent_window)) {
  setItemDelegate(new RowHeightDelegate(this, &item_height_));
  setUniformItemSizes(true);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows span the client width; a list box scrolls only vertically.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::SingleSelection);
  viewport()->setMouseTracking(true);
}

OwnerDrawnListBox::~OwnerDrawnListBox() { win::destroy_window(handle_); }

QSize OwnerDrawnListBox::client_size() const {
  QSize size = contentsRect().size();
  if (verticalScrollBar()->isVisibleTo(this)) size.rwidth() -= verticalScrollBar()->sizeHint().width();
  if (horizontalScrollBar()->isVisibleTo(this)) size.rheight() -= horizontalScrollBar()->sizeHint().height();
  return size;
}

win::RECT OwnerDrawnListBox::item_rect(int row) const {
  win::RECT rect;
  rect.left = 0;
  rect.top = row * item_height_ - verticalScrollBar()->value();
  rect.right = client_size().width();
  rect.bottom = rect.top + item_height_;
  return rect;
}

win::LRESULT OwnerDrawnListBox::default_procedure(win::HWND, win::UINT message, win::WPARAM wparam,
                                                  win::LPARAM lparam) {
  switch (message) {
    case win::WM_ERASEBKGND: {
      auto* dc = reinterpret_cast<win::HDC>(wparam);
      if (dc == nullptr) return 0;
      {
        std::lock_guard lock(dc->lock());
        dc->image().fill(palette().color(QPalette::Base));
      }
      dc->changed();
      return 1;
    }
    case win::LB_SETITEMHEIGHT:
      if (lparam <= 0 || lparam > 255) return win::LB_ERR;
      item_height_ = static_cast<int>(lparam);
      // The delegate's size hint changed; lay the rows out again.
      scheduleDelayedItemsLayout();
      viewport()->update();
      return 0;
    case win::LB_GETITEMRECT: {
      auto* rect = reinterpret_cast<win::RECT*>(lparam);
      if (rect == nullptr || wparam >= static_cast<win::WPARAM>(count())) return win::LB_ERR;
      *rect = item_rect(static_cast<int>(wparam));
      return 1;
    }
    default:
      break;
  }
  // Input passed on unchanged: the list's own handling of the routed event.
  if (routed_event_ != nullptr && message == routed_message_) {
    QEvent* event = routed_event_;
    routed_event_ = nullptr;
    if (event->type() == QEvent::KeyPress) {
      QListWidget::keyPressEvent(static_cast<QKeyEvent*>(event));
    } else {
      QListWidget::viewportEvent(event);
    }
  }
  return 0;
}

bool OwnerDrawnListBox::route_input(win::UINT message, win::WPARAM wparam, win::LPARAM lparam, QEvent* event) {
  QEvent* outer_event = routed_event_;
  const win::UINT outer_message = routed_message_;
  routed_event_ = event;
  routed_message_ = message;
  win::SendMessageA(handle_, message, wparam, lparam);
  routed_event_ = outer_event;
  routed_message_ = outer_message;
  return true;
}

bool OwnerDrawnListBox::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      return route_input(win::WM_MOUSEMOVE, button_flags(mouse->buttons()), position(mouse->position()), event);
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const bool right = mouse->button() == Qt::RightButton;
      win::UINT message =
          event->type() == QEvent::MouseButtonPress     ? (right ? win::WM_RBUTTONDOWN : win::WM_LBUTTONDOWN)
          : event->type() == QEvent::MouseButtonRelease ? (right ? win::WM_RBUTTONUP : win::WM_LBUTTONUP)
                                                        : win::WM_LBUTTONDBLCLK;
      return route_input(message, button_flags(mouse->buttons()), position(mouse->position()), event);
    }
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const auto delta = static_cast<std::uint16_t>(wheel->angleDelta().y());
      return route_input(win::WM_MOUSEWHEEL, (static_cast<win::WPARAM>(delta) << 16) | button_flags(wheel->buttons()),
                         position(wheel->position()), event);
    }
    case QEvent::Leave: {
      const bool handled = QListWidget::viewportEvent(event);
      if (win::take_leave_request(handle_)) win::SendMessageA(handle_, win::WM_MOUSELEAVE, 0, 0);
      return handled;
    }
    default:
      return QListWidget::viewportEvent(event);
  }
}

void OwnerDrawnListBox::keyPressEvent(QKeyEvent* event) {
  route_input(win::WM_KEYDOWN, virtual_key(event->key()), 0, event);
}

void OwnerDrawnListBox::paintEvent(QPaintEvent*) {
  win::resize_backing_image(handle_, viewport()->size());
  win::HDC dc = win::GetDC(handle_);
  if (dc == nullptr) return;
  // Drawing done inside this cycle needs no further repaint.
  painting_ = true;
  win::SendMessageA(handle_, win::WM_ERASEBKGND, reinterpret_cast<win::WPARAM>(dc), 0);
  const int rows = count();
  const int first = item_height_ > 0 ? std::max(0, verticalScrollBar()->value() / item_height_) : 0;
  for (int row = first; row < rows; ++row) {
    win::DRAWITEMSTRUCT item{};
    item.CtlType = win::ODT_LISTBOX;
    item.CtlID = control_id_;
    item.itemID = static_cast<win::UINT>(row);
    item.itemAction = win::ODA_DRAWENTIRE;
    item.itemState = currentRow() == row && selectionModel()->isRowSelected(row, rootIndex()) ? win::ODS_SELECTED : 0;
    item.hwndItem = handle_;
    item.hDC = dc;
    item.rcItem = item_rect(row);
    if (item.rcItem.top >= viewport()->height()) break;
    item.rcItem.right = viewport()->width();
    win::SendMessageA(parent_window_, win::WM_DRAWITEM, control_id_, reinterpret_cast<win::LPARAM>(&item));
  }
  painting_ = false;
  QPainter painter(viewport());
  std::lock_guard lock(dc->lock());
  painter.drawImage(0, 0, dc->image());
}

void OwnerDrawnListBox::backing_changed() {
  if (QThread::currentThread() == thread() && painting_) return;
  if (update_queued_.exchange(true)) return;
  // The call runs only while this widget lives (it is the call's context).
  QMetaObject::invokeMethod(
      this,
      [this] {
        update_queued_ = false;
        viewport()->update();
      },
      Qt::QueuedConnection);
}

}  // namespace quill::app
