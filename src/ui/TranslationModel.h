#pragma once

// The grid's view of the workspace's translation table. The table's row 0
// and column 0 are the grid's fixed row and column, so they are the headers
// here: the model's own cells are the translation cells of rows 1 and on,
// the only cells a user can select and edit. Texts are decoded for display
// when asked for and encoded back when edited; nothing is copied.

#include <QAbstractTableModel>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace ProcFunc {
class MessageBoxes;
}
namespace workspace {
class TableChecks;
class Workspace;
}  // namespace workspace

class TranslationModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // A failure while storing an edit is shown through `errorBoxes`. A key's
  // tip lists what `checks` found in its row.
  TranslationModel(workspace::Workspace& workspace, const workspace::TableChecks& checks,
                   ProcFunc::MessageBoxes& errorBoxes, QObject* parent = nullptr);
  ~TranslationModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Horizontal section 0 is the translation column's heading, vertical
  // section r the key of table row r + 1; a key's tool tip is its row's
  // findings, one a line.
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The text of a table cell: column 0 the key, column 1 the translation;
  // empty beyond the table.
  QString CellText(int column, std::size_t row) const;

  // The table row a model row shows, and the model row showing a table row,
  // -1 when the filter hides it.
  std::size_t TableRow(int modelRow) const {
    return filter_ ? (*filter_)[static_cast<std::size_t>(modelRow)]
                   : static_cast<std::size_t>(modelRow) + 1;
  }
  int ModelRow(std::size_t tableRow) const;
  // The first model row showing `tableRow` or a row after it; rowCount()
  // when none does.
  int ModelRowAtOrAfter(std::size_t tableRow) const;
  QModelIndex IndexOfTableRow(std::size_t tableRow) const { return index(ModelRow(tableRow), 0); }

  // Shows only the rows left to translate, as they stand now: a row
  // translated while shown stays, rather than vanish under the translator's
  // cursor, until the filter is set again or the table changes.
  void SetUntranslatedOnly(bool on);
  bool UntranslatedOnly() const { return filter_.has_value(); }

  // Around every change of the table as a whole (load, merge): the view
  // lets go of its rows before and takes the new ones after.
  void BeginTableChange();
  void EndTableChange();

 private:
  bool HasRow(const QModelIndex& index) const;

  workspace::Workspace& workspace_;
  const workspace::TableChecks& checks_;
  ProcFunc::MessageBoxes& errorBoxes_;
  std::size_t editListener_ = 0;
  std::optional<std::vector<std::uint32_t>> filter_;  // table rows shown, in order
};
