#include "app/skin_look.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QPushButton>

#include "native/memory_module.h"
#include "native/skin_engine.h"

namespace quill::app {
namespace {

// The real engine, run on the embedded skin, styles a window through the
// applier: its palette, font and painted background change.
TEST(SkinLook, TheEmbeddedSkinStylesTheWindow) {
  QWidget window;
  window.resize(200, 100);
  auto* button = new QPushButton(QStringLiteral("按钮"), &window);
  button->setGeometry(10, 10, 80, 24);
  auto* list = new QListWidget(&window);
  list->setGeometry(100, 10, 90, 40);
  const QColor before = window.grab().toImage().pixelColor(150, 80);

  native::set_skin_applier([&](const native::SkinLook& look) { apply_skin_look(window, look); });
  native::MemoryModule module;
  native::load_skin_engine(module);
  ASSERT_NE(module.handle(), 0u);
  native::apply_skin(module);
  native::set_skin_applier({});
  module.free();

  EXPECT_EQ(window.palette().color(QPalette::Window), QColor::fromRgba(0xFFEEF2F7));
  EXPECT_EQ(window.palette().color(QPalette::Highlight), QColor::fromRgba(0xFF3E7CB1));
  EXPECT_EQ(list->palette().color(QPalette::Highlight), QColor::fromRgba(0xFF3E7CB1)) << "children inherit";
  EXPECT_EQ(window.font().pointSize(), 10);
  EXPECT_TRUE(button->styleSheet().contains(QStringLiteral("border-radius: 4px")));
  const QImage after = window.grab().toImage();
  EXPECT_EQ(after.pixelColor(150, 80), QColor::fromRgba(0xFFEEF2F7)) << "was " << before.name().toStdString();
}

TEST(SkinLook, MissingEntriesKeepTheirValues) {
  QWidget window;
  QPushButton button(&window);
  const QColor text = window.palette().color(QPalette::Text);
  const int point_size = window.font().pointSize();
  native::SkinLook look;
  look.colours[native::SkinColourRole::base] = 0xFF102030;
  apply_skin_look(window, look);
  EXPECT_EQ(window.palette().color(QPalette::Base), QColor::fromRgba(0xFF102030));
  EXPECT_EQ(window.palette().color(QPalette::Text), text);
  EXPECT_EQ(window.font().pointSize(), point_size);
  EXPECT_TRUE(window.styleSheet().isEmpty());
  EXPECT_TRUE(button.styleSheet().isEmpty());
}

}  // namespace
}  // namespace quill::app
