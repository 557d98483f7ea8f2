#include "app/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <map>
#include <string>

#include "app/handlers.h"
#include "app/list_view_delegate.h"
#include "app/list_view_model.h"
#include "app/owner_drawn_list_box.h"
#include "app/widget_host.h"

namespace quill::app {
namespace {

// The top-level window; a close request goes to the handler, which ends the
// process, so the event is never refused here.
class WindowFrame final : public QWidget {
 public:
  explicit WindowFrame(void (*close_request)()) : close_request_(close_request) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (close_request_) close_request_();
    event->accept();
  }

 private:
  void (*close_request_)();
};

struct ControlSpec {
  const char* name;
  ControlKind kind;
  const char* container;  // "" for the main window, else a control or tab page
  int x, y, width, height;
  const char* text;
  bool visible;
};

// In the order of the form. Tab pages are named after their tab.
constexpr ControlSpec kControls[] = {
    {"编辑框3", ControlKind::edit_box, "", 472, 440, 16, 24, "5", false},
    {"标签_提示", ControlKind::label, "", 1, 520, 495, 25, "提示：列表选中即为下载，没勾选就是不下载。", true},
    {"分组框1", ControlKind::group_box, "", 1, 448, 495, 72, "", true},
    {"选择框1", ControlKind::check_box, "分组框1", 335, 16, 56, 48, "全选  反选", true},
    {"按钮2", ControlKind::button, "分组框1", 391, 40, 88, 24, "一键下载", true},
    {"单选框_言情", ControlKind::radio_button, "分组框1", 264, 48, 72, 16, "言情小说", true},
    {"单选框_科幻", ControlKind::radio_button, "分组框1", 176, 48, 72, 16, "科幻小说", true},
    {"单选框_灵异", ControlKind::radio_button, "分组框1", 96, 48, 72, 16, "灵异小说", true},
    {"单选框_网游", ControlKind::radio_button, "分组框1", 15, 48, 72, 16, "网游小说", true},
    {"单选框_穿越", ControlKind::radio_button, "分组框1", 264, 16, 72, 24, "穿越小说", true},
    {"单选框_都市", ControlKind::radio_button, "分组框1", 176, 16, 72, 24, "都市小说", true},
    {"单选框_武侠", ControlKind::radio_button, "分组框1", 96, 16, 72, 24, "武侠小说", true},
    {"单选框_玄幻", ControlKind::radio_button, "分组框1", 15, 16, 72, 24, "玄幻小说", true},
    {"按钮1", ControlKind::button, "分组框1", 391, 16, 88, 24, "获取资源", true},
    {"高级选择夹1", ControlKind::tab_control, "", 1, 2, 495, 440, "", true},
    {"编辑框2", ControlKind::edit_box, "资源列表", 519, 430, 16, 16, "1", false},
    {"列表", ControlKind::list_view, "资源列表", 8, 8, 479, 406, "", true},
    {"列表框", ControlKind::list_box, "下载管理", 8, 8, 479, 400, "", true},
};

constexpr const char* kTabs[] = {"资源列表", "下载管理"};

struct Column {
  const char* title;
  int width;
  Qt::Alignment alignment;
};
constexpr Column kColumns[] = {
    {"", 20, Qt::AlignLeft | Qt::AlignVCenter}, {"书籍名字", 130, Qt::AlignCenter},
    {"更新时间", 80, Qt::AlignCenter},          {"书籍描述", 220, Qt::AlignCenter},
    {"", 0, Qt::AlignLeft | Qt::AlignVCenter},  // the detail address: kept, never shown
};

// Click events of the form.
struct ClickBinding {
  const char* control;
  void (*handler)();
};
constexpr ClickBinding kClicks[] = {
    {"选择框1", &toggle_all_rows},
    {"按钮1", &start_catalogue_fetch},
    {"按钮2", &start_batch_download},
};

constexpr const char* kSelectedRadio = "单选框_玄幻";
constexpr win::UINT kFirstControlId = 1001;

// SimSun, 12-pixel characters, normal weight; the family maps to a CJK font.
QFont tab_font() {
  QFont font(QStringLiteral("SimSun"));
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  return font;
}

QTreeView* make_list_view(QWidget* parent) {
  auto* view = new QTreeView(parent);
  auto* model = new ListViewModel(static_cast<int>(std::size(kColumns)), view);
  view->setModel(model);
  view->setItemDelegate(new ListViewDelegate(view));
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->header()->setMinimumSectionSize(0);
  view->header()->setStretchLastSection(false);
  view->header()->setSectionsMovable(false);
  for (int column = 0; column < static_cast<int>(std::size(kColumns)); ++column) {
    model->set_column(column, QString::fromUtf8(kColumns[column].title), kColumns[column].alignment);
    view->setColumnWidth(column, kColumns[column].width);
  }
  view->header()->setSectionResizeMode(static_cast<int>(std::size(kColumns)) - 1, QHeaderView::Fixed);
  return view;
}

}  // namespace

MainWindow::MainWindow(QtToolkit& toolkit, WindowEvents events) : toolkit_(toolkit), events_(events) {}

MainWindow::~MainWindow() {
  toolkit_.remove_controls();
  hosts_.clear();
  frame_.reset();
}

void MainWindow::load() {
  QFont::insertSubstitution(QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"));
  QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei"));

  frame_ = std::make_unique<WindowFrame>(events_.close_request);
  QWidget* frame = frame_.get();
  QFont window_font(QStringLiteral("WenQuanYi Zen Hei"));
  window_font.setPixelSize(12);
  frame->setFont(window_font);
  frame->setWindowTitle(QStringLiteral("Quillmere"));
  frame->setFixedSize(kClientWidth, kClientHeight);
  frame->move(kWindowX, kWindowY);
  hosts_.push_back(std::make_unique<WidgetHost>(frame, nullptr));
  const win::HWND window_handle = hosts_.back()->handle();
  toolkit_.add_control(toolkit::kMainWindow, ControlKind::window, frame, window_handle);

  std::map<std::string, QWidget*> containers{{"", frame}};
  win::UINT control_id = kFirstControlId;
  for (const ControlSpec& entry : kControls) {
    QWidget* parent = containers.at(entry.container);
    const QString text = QString::fromUtf8(entry.text);
    QWidget* widget = nullptr;
    win::HWND handle = nullptr;
    switch (entry.kind) {
      case ControlKind::edit_box:
        widget = new QLineEdit(text, parent);
        break;
      case ControlKind::label:
        widget = new QLabel(text, parent);
        break;
      case ControlKind::group_box:
        widget = new QGroupBox(text, parent);
        break;
      case ControlKind::check_box:
        widget = new QCheckBox(text, parent);
        break;
      case ControlKind::button:
        widget = new QPushButton(text, parent);
        break;
      case ControlKind::radio_button: {
        auto* radio = new QRadioButton(text, parent);
        radio->setChecked(std::string_view(entry.name) == kSelectedRadio);
        widget = radio;
        break;
      }
      case ControlKind::tab_control: {
        auto* tabs = new QTabWidget(parent);
        tabs->tabBar()->setFont(tab_font());
        for (const char* tab : kTabs) {
          auto* page = new QWidget();
          tabs->addTab(page, QString::fromUtf8(tab));
          containers[tab] = page;
        }
        widget = tabs;
        break;
      }
      case ControlKind::list_view:
        widget = make_list_view(parent);
        break;
      case ControlKind::list_box: {
        auto* list = new OwnerDrawnListBox(parent, window_handle, control_id);
        widget = list;
        handle = list->handle();
        break;
      }
      case ControlKind::window:
        continue;
    }
    widget->setGeometry(entry.x, entry.y, entry.width, entry.height);
    if (!entry.visible) widget->hide();
    if (handle == nullptr) {
      hosts_.push_back(std::make_unique<WidgetHost>(widget, window_handle));
      handle = hosts_.back()->handle();
    }
    containers[entry.name] = widget;
    toolkit_.add_control(
        entry.name, entry.kind, widget, handle,
        entry.kind == ControlKind::radio_button ? std::string_view(entry.container) : std::string_view());
    ++control_id;
  }
  for (const ClickBinding& binding : kClicks) {
    QObject::connect(static_cast<QAbstractButton*>(containers.at(binding.control)), &QAbstractButton::clicked,
                     binding.handler);
  }

  if (events_.created) events_.created();
  // Shown unless the creation handler left it hidden.
  if (toolkit_.get_property(toolkit::kMainWindow, toolkit::Property::visible) == 1 && !frame->isVisible()) {
    toolkit_.set_property(toolkit::kMainWindow, toolkit::Property::visible, 1);
  }
}

}  // namespace quill::app
