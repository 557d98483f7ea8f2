#pragma once
// The rows of a list view as its widget shows them: GBK cells and a tick box
// per row, changed row by row by the toolkit on the UI thread, in the order
// the toolkit's mirror was changed (so a row index taken from the mirror when
// an update was queued is the model's row index when it is applied).
//
// Text is converted for display only when the view asks for it, that is for
// the rows on screen, so thousands of rows cost little to add. The view ticks
// a row through setData; the toolkit hears of it through on_user_tick.
// UI thread only.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quill::app {

class ListViewModel final : public QAbstractTableModel {
 public:
  // The role that gives a row's id (a qulonglong).
  static constexpr int kRowIdRole = Qt::UserRole + 1;

  ListViewModel(int columns, QObject* parent);

  // A column's title and the alignment of its title and cells.
  void set_column(int column, const QString& title, Qt::Alignment alignment);

  // Rows with these ids and cells at `first`, `first` + 1, ...; `first` must
  // be within 0..rowCount(). Missing cells are empty, extra ones dropped.
  void insert_rows(int first, const std::vector<std::uint64_t>& ids, std::vector<std::vector<std::string>> cells);
  // Out-of-range rows and columns are ignored.
  void set_cell(int row, int column, const std::string& text);
  void set_tick(int row, bool ticked);
  void clear();
  // 0 for a row that does not exist.
  std::uint64_t row_id(int row) const;

  // Called when the user ticks or unticks a row in the view.
  std::function<void(std::uint64_t id, bool ticked)> on_user_tick;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct Row {
    std::uint64_t id;
    std::vector<std::string> cells;      // GBK
    mutable std::vector<QString> shown;  // display text, converted on first use (null until then)
    bool ticked = false;
  };
  struct Column {
    QString title;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
  };

  bool valid(int row, int column) const;

  std::vector<Column> columns_;
  std::deque<Row> rows_;  // rows inserted near either end move few others
};

}  // namespace quill::app
