#include "app/list_view_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace quill::app {

QString ListViewDelegate::shown_text(const QString& text, const QFontMetrics& metrics, int width) {
  if (width <= 0) return {};
  QString line = text;
  for (QChar& c : line) {
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator) c = QLatin1Char(' ');
  }
  // Only what can show is laid out: when a head of the text already
  // overflows the cell (cutting it changes it), the ellipsis lands where it
  // would on the whole text. An eighth or a quarter of the width in
  // characters fills the cell for Chinese and Latin text at the list's
  // sizes; a character per pixel fills it for any font.
  for (const int length : {width / 8 + 2, width / 4 + 2, width + 1}) {
    if (line.size() <= length) break;
    const QString head = line.left(length);
    QString cut = metrics.elidedText(head, Qt::ElideRight, width);
    if (cut != head) return cut;
  }
  return metrics.elidedText(line, Qt::ElideRight, width);
}

// Where the style puts a cell's text: the same insets for every cell of one
// height with or without a tick box, whatever its text, so they are asked for
// once.
QRect ListViewDelegate::text_area(const QStyleOptionViewItem& item, QStyle* style) const {
  const bool tick_box = item.features & QStyleOptionViewItem::HasCheckIndicator;
  for (const Insets& known : insets_) {
    if (known.style == style && known.height == item.rect.height() && known.tick_box == tick_box &&
        known.direction == item.direction) {
      return item.rect.marginsRemoved(known.margins);
    }
  }
  QStyleOptionViewItem probe = item;
  probe.text = QStringLiteral(" ");
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &probe, item.widget);
  const QMargins margins(area.left() - item.rect.left(), area.top() - item.rect.top(), item.rect.right() - area.right(),
                         item.rect.bottom() - area.bottom());
  insets_.push_back({style, item.rect.height(), tick_box, item.direction, margins});
  return area;
}

void ListViewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QString text = item.text;
  const QWidget* widget = item.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();

  // The style draws the background, the tick box and the focus.
  QRect area = text_area(item, style);
  item.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
  if (text.isEmpty()) return;

  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  area.adjust(margin, 0, -margin, 0);
  const QString shown = shown_text(text, item.fontMetrics, area.width());
  if (shown.isEmpty()) return;

  QPalette::ColorGroup group = item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
  if (group == QPalette::Normal && !(item.state & QStyle::State_Active)) group = QPalette::Inactive;
  painter->save();
  painter->setClipRect(option.rect);
  painter->setFont(item.font);
  painter->setPen(
      item.palette.color(group, item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(
      area, static_cast<int>(QStyle::visualAlignment(item.direction, item.displayAlignment)) | Qt::TextSingleLine,
      shown);
  painter->restore();
}

}  // namespace quill::app
