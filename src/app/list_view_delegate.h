#pragma once
// How a list view cell is drawn: background, tick box and focus by the style,
// the text on one line, cut with an ellipsis where it does not fit (line
// breaks show as spaces, as a list view row has one line).
//
// The style's own item drawing lays a cell's whole text out three times per
// repaint; this lays out only as much of it as can show, once to cut it and
// once to draw it, which keeps repainting a screenful of long rows cheap.

#include <QMargins>
#include <QStyledItemDelegate>
#include <vector>

namespace quill::app {

class ListViewDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The text as the cell shows it within `width` pixels.
  static QString shown_text(const QString& text, const QFontMetrics& metrics, int width);

 private:
  struct Insets {
    const QStyle* style;
    int height;
    bool tick_box;
    Qt::LayoutDirection direction;
    QMargins margins;
  };
  QRect text_area(const QStyleOptionViewItem& item, QStyle* style) const;

  mutable std::vector<Insets> insets_;
};

}  // namespace quill::app
