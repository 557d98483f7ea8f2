#include "app/skin_look.h"

#include <QPalette>
#include <QPushButton>

#include "app/startup.h"
#include "platform/toolkit.h"

namespace quill::app {
namespace {

using native::SkinColourRole;
using native::SkinMetric;

QColor argb(std::uint32_t value) { return QColor::fromRgba(value); }

QPalette::ColorRole palette_role(SkinColourRole role) {
  switch (role) {
    case SkinColourRole::window:
      return QPalette::Window;
    case SkinColourRole::window_text:
      return QPalette::WindowText;
    case SkinColourRole::base:
      return QPalette::Base;
    case SkinColourRole::alternate_base:
      return QPalette::AlternateBase;
    case SkinColourRole::text:
      return QPalette::Text;
    case SkinColourRole::button:
      return QPalette::Button;
    case SkinColourRole::button_text:
      return QPalette::ButtonText;
    case SkinColourRole::highlight:
      return QPalette::Highlight;
    case SkinColourRole::highlighted_text:
      return QPalette::HighlightedText;
  }
  return QPalette::NoRole;
}

}  // namespace

void apply_skin_look(QWidget& window, const native::SkinLook& look) {
  QPalette palette = window.palette();
  for (const auto& [role, colour] : look.colours) {
    if (const QPalette::ColorRole target = palette_role(role); target != QPalette::NoRole) {
      palette.setColor(target, argb(colour));
    }
  }
  // Only the buttons get a style sheet: on the window it would stop the
  // palette from reaching the other controls.
  const auto radius = look.metrics.find(SkinMetric::corner_radius);
  const auto border = look.metrics.find(SkinMetric::border_width);
  if (radius != look.metrics.end() || border != look.metrics.end()) {
    const QColor button = palette.color(QPalette::Button);
    const QString sheet = QStringLiteral(
                              "QPushButton { background: %1; color: %2; border: %3px solid %4;"
                              " border-radius: %5px; padding: 2px 6px; }"
                              " QPushButton:pressed { background: %6; }")
                              .arg(button.name(), palette.color(QPalette::ButtonText).name())
                              .arg(border != look.metrics.end() ? border->second : 1)
                              .arg(button.darker(140).name())
                              .arg(radius != look.metrics.end() ? radius->second : 0)
                              .arg(button.darker(115).name());
    for (QPushButton* push_button : window.findChildren<QPushButton*>()) push_button->setStyleSheet(sheet);
  }
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  if (const auto size = look.metrics.find(SkinMetric::font_point_size); size != look.metrics.end()) {
    QFont font = window.font();
    font.setPointSize(size->second);
    window.setFont(font);
  }
}

void install_skin_applier() {
  native::set_skin_applier([](const native::SkinLook& look) {
    QtToolkit* toolkit = installed_toolkit();
    if (toolkit == nullptr) return;
    if (QWidget* window = toolkit->widget(toolkit::kMainWindow)) apply_skin_look(*window, look);
  });
}

}  // namespace quill::app
