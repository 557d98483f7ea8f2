// The catalogue list's model and cell drawing, on their own.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>
#include <string>
#include <vector>

#include "app/list_view_delegate.h"
#include "app/list_view_model.h"
#include "platform/codepage.h"

namespace quill::app {
namespace {

QString shown(const ListViewModel& model, int row, int column) { return model.index(row, column).data().toString(); }

TEST(ListViewModelTest, RowsCellsAndTicks) {
  ListViewModel model(3, nullptr);
  model.insert_rows(0, {7}, {{"a"}});
  model.insert_rows(0, {8, 9}, {{"b", "b1", "b2", "dropped"}});  // the second row's cells are empty
  model.insert_rows(5, {10}, {{"out of range"}});                // ignored
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.row_id(0), 8u);
  EXPECT_EQ(model.row_id(1), 9u);
  EXPECT_EQ(model.row_id(2), 7u);
  EXPECT_EQ(model.row_id(3), 0u);
  EXPECT_EQ(shown(model, 0, 2), "b2");
  EXPECT_EQ(shown(model, 1, 0), "");
  EXPECT_EQ(shown(model, 2, 0), "a");

  // GBK cells show as Unicode; out-of-range cells are ignored.
  model.set_cell(2, 1, gbk("书名"));
  model.set_cell(2, 3, "x");
  model.set_cell(-1, 0, "x");
  EXPECT_EQ(shown(model, 2, 1), QString::fromUtf8("书名"));

  // Ticks set by the toolkit are not reported back; the user's are.
  std::vector<std::pair<std::uint64_t, bool>> reported;
  model.on_user_tick = [&](std::uint64_t id, bool ticked) { reported.emplace_back(id, ticked); };
  model.set_tick(0, true);
  EXPECT_EQ(model.index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
  EXPECT_TRUE(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_FALSE(model.setData(model.index(2, 1), Qt::Checked, Qt::CheckStateRole));  // only the first column
  EXPECT_EQ(reported, (std::vector<std::pair<std::uint64_t, bool>>{{7, true}}));
  EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable);

  model.clear();
  EXPECT_EQ(model.rowCount(), 0);
}

QFont list_font() {
  QFont font(QStringLiteral("WenQuanYi Zen Hei"));
  font.setPixelSize(12);
  return font;
}

TEST(ListViewDelegateTest, ShownTextIsOneLineCutWithAnEllipsis) {
  const QFontMetrics metrics(list_font());
  const QString cjk = QString::fromUtf8("少年在大陆上修炼成长，历经磨难，").repeated(8);
  const QString narrow = QString(600, QLatin1Char('i'));
  struct Case {
    const char* name;
    QString text;
    int width;
    QString expected;
  };
  const Case cases[] = {
      {"fits", QStringLiteral("2026-05-03"), 200, QStringLiteral("2026-05-03")},
      {"line breaks show as spaces", QStringLiteral("a\r\nb\nc"), 200, QStringLiteral("a  b c")},
      {"long Chinese", cjk, 220, metrics.elidedText(cjk, Qt::ElideRight, 220)},
      {"long narrow letters", narrow, 130, metrics.elidedText(narrow, Qt::ElideRight, 130)},
      {"fits, though longer than a head", QString(20, QLatin1Char('i')), 130, QString(20, QLatin1Char('i'))},
      {"no room", QStringLiteral("abc"), 0, QString()},
  };
  for (const Case& c : cases) {
    const QString result = ListViewDelegate::shown_text(c.text, metrics, c.width);
    EXPECT_EQ(result, c.expected) << c.name;
    EXPECT_LE(metrics.horizontalAdvance(result), std::max(c.width, 0)) << c.name;
  }
}

// Rows drawn by the delegate look exactly as the style draws them, for text
// on one line: fitting and cut, Chinese and Latin, ticked, selected, in an
// enabled and a disabled list.
TEST(ListViewDelegateTest, CellsLookAsTheStyleDrawsThem) {
  auto make_view = [](bool own_delegate, bool enabled) {
    auto* view = new QTreeView();
    auto* model = new ListViewModel(3, view);
    model->set_column(0, QString(), Qt::AlignLeft);
    model->set_column(1, QStringLiteral("name"), Qt::AlignHCenter);
    model->set_column(2, QStringLiteral("about"), Qt::AlignHCenter);
    view->setModel(model);
    if (own_delegate) view->setItemDelegate(new ListViewDelegate(view));
    view->setFont(list_font());
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setColumnWidth(0, 40);
    view->setColumnWidth(1, 90);
    view->setColumnWidth(2, 120);
    const std::string long_text = gbk("一觉醒来回到千年之前，她要改写这段历史");
    model->insert_rows(0, {1, 2, 3},
                       {{"", gbk("山海行者81"), long_text},
                        {"x", "2026-05-03", std::string(80, 'w')},
                        {"", gbk("书"), long_text + "\r\n" + long_text}});
    model->set_tick(1, true);
    view->resize(280, 120);
    view->setEnabled(enabled);
    view->selectionModel()->select(model->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    return view;
  };
  for (bool enabled : {true, false}) {
    QTreeView* style_drawn = make_view(false, enabled);
    QTreeView* own = make_view(true, enabled);
    const QImage expected = style_drawn->grab().toImage();
    const QImage actual = own->grab().toImage();
    EXPECT_EQ(actual, expected) << (enabled ? "enabled" : "disabled");
    delete style_drawn;
    delete own;
  }
}

}  // namespace
}  // namespace quill::app
