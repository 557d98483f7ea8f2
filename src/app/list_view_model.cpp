#include "app/list_view_model.h"

#include <algorithm>

#include "platform/codepage.h"

namespace quill::app {

ListViewModel::ListViewModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(static_cast<size_t>(std::max(columns, 1))) {}

void ListViewModel::set_column(int column, const QString& title, Qt::Alignment alignment) {
  if (column < 0 || column >= columnCount()) return;
  columns_[static_cast<size_t>(column)] = {title, alignment};
  emit headerDataChanged(Qt::Horizontal, column, column);
}

bool ListViewModel::valid(int row, int column) const {
  return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

void ListViewModel::insert_rows(int first, const std::vector<std::uint64_t>& ids,
                                std::vector<std::vector<std::string>> cells) {
  if (first < 0 || first > rowCount() || ids.empty()) return;
  const size_t width = columns_.size();
  cells.resize(ids.size());
  beginInsertRows({}, first, first + static_cast<int>(ids.size()) - 1);
  auto at = rows_.begin() + first;
  for (size_t i = 0; i < ids.size(); ++i) {
    cells[i].resize(width);
    at = rows_.insert(at, Row{ids[i], std::move(cells[i]), std::vector<QString>(width), false});
    ++at;
  }
  endInsertRows();
}

void ListViewModel::set_cell(int row, int column, const std::string& text) {
  if (!valid(row, column)) return;
  Row& target = rows_[static_cast<size_t>(row)];
  const auto c = static_cast<size_t>(column);
  if (target.cells[c] == text) return;
  target.cells[c] = text;
  target.shown[c] = QString();
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void ListViewModel::set_tick(int row, bool ticked) {
  if (!valid(row, 0) || rows_[static_cast<size_t>(row)].ticked == ticked) return;
  rows_[static_cast<size_t>(row)].ticked = ticked;
  const QModelIndex changed = index(row, 0);
  emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

void ListViewModel::clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

std::uint64_t ListViewModel::row_id(int row) const {
  return row >= 0 && row < rowCount() ? rows_[static_cast<size_t>(row)].id : 0;
}

int ListViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
  if (!valid(index.row(), index.column())) return {};
  const Row& row = rows_[static_cast<size_t>(index.row())];
  const auto c = static_cast<size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
      if (row.shown[c].isNull() && !row.cells[c].empty()) {
        row.shown[c] = QString::fromStdU16String(platform::gbk_to_utf16(row.cells[c]));
      }
      return row.shown[c];
    case Qt::CheckStateRole:
      return c == 0 ? QVariant(row.ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::TextAlignmentRole:
      return static_cast<int>(columns_[c].alignment);
    case kRowIdRole:
      return QVariant::fromValue<qulonglong>(row.id);
    default:
      return {};
  }
}

bool ListViewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || index.column() != 0 || !valid(index.row(), 0)) return false;
  const bool ticked = value.value<Qt::CheckState>() == Qt::Checked;
  Row& row = rows_[static_cast<size_t>(index.row())];
  if (row.ticked == ticked) return true;
  row.ticked = ticked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  if (on_user_tick) on_user_tick(row.id, ticked);
  return true;
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
  if (!valid(index.row(), index.column())) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const Column& column = columns_[static_cast<size_t>(section)];
  if (role == Qt::DisplayRole) return column.title;
  if (role == Qt::TextAlignmentRole) return static_cast<int>(column.alignment);
  return {};
}

}  // namespace quill::app
