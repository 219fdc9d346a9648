#include "ui/TranslationModel.h"

#include "app/ErrorHandler.h"
#include "app/TextCodec.h"
#include "workspace/TableChecks.h"
#include "workspace/TextSearch.h"
#include "workspace/Workspace.h"

#include <algorithm>

namespace {

// "[placeholders] translation lacks %d", a line each.
QString FindingsText(const std::vector<workspace::Finding>& findings) {
  // A tooltip taller than the screen would hide its own end: a cell of
  // thousands of unknown words lists the first few and a count.
  constexpr std::size_t kListed = 20;
  QStringList lines;
  for (const workspace::Finding& finding : findings) {
    if (static_cast<std::size_t>(lines.size()) == kListed) {
      lines.append(QStringLiteral("... and %1 more").arg(findings.size() - kListed));
      break;
    }
    const std::string_view kind = workspace::CheckKindName(finding.kind);
    lines.append(QStringLiteral("[%1] %2")
                     .arg(QLatin1StringView(kind.data(), static_cast<qsizetype>(kind.size())),
                          TextCodec::System().Decode(finding.message)));
  }
  return lines.join(u'\n');
}

}  // namespace

TranslationModel::TranslationModel(workspace::Workspace& workspace,
                                   const workspace::TableChecks& checks,
                                   ProcFunc::MessageBoxes& errorBoxes, QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace), checks_(checks), errorBoxes_(errorBoxes) {
  // Edits come by other routes than this model too (undo, a restore), and
  // the view shows each, wherever it came from.
  editListener_ = workspace_.OnEdited([this](const workspace::EditEvent& edit) {
    if (edit.target.field != workspace::EditField::Translation || edit.target.row == 0) return;
    const QModelIndex changed = IndexOfTableRow(edit.target.row);
    if (!changed.isValid()) return;
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    // The key shows whether the row's text passes its checks.
    emit headerDataChanged(Qt::Vertical, changed.row(), changed.row());
  });
}

TranslationModel::~TranslationModel() { workspace_.RemoveEditListener(editListener_); }

int TranslationModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (filter_) return static_cast<int>(filter_->size());
  const std::size_t rows = workspace_.Table().RowCount();
  return rows > 0 ? static_cast<int>(rows - 1) : 0;
}

int TranslationModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

bool TranslationModel::HasRow(const QModelIndex& index) const {
  return index.isValid() && index.row() >= 0 && index.row() < rowCount() &&
         TableRow(index.row()) < workspace_.Table().RowCount();
}

int TranslationModel::ModelRow(std::size_t tableRow) const {
  if (!filter_) return tableRow > 0 && tableRow < workspace_.Table().RowCount()
                           ? static_cast<int>(tableRow - 1)
                           : -1;
  const auto found = std::lower_bound(filter_->begin(), filter_->end(), tableRow);
  return found != filter_->end() && *found == tableRow
             ? static_cast<int>(found - filter_->begin())
             : -1;
}

int TranslationModel::ModelRowAtOrAfter(std::size_t tableRow) const {
  if (!filter_) return std::clamp(static_cast<int>(tableRow) - 1, 0, rowCount());
  return static_cast<int>(std::lower_bound(filter_->begin(), filter_->end(), tableRow) -
                          filter_->begin());
}

void TranslationModel::SetUntranslatedOnly(bool on) {
  if (on == UntranslatedOnly() && !on) return;
  beginResetModel();
  if (on)
    filter_ = workspace::RowsLeftToTranslate(workspace_);
  else
    filter_.reset();
  endResetModel();
}

QVariant TranslationModel::data(const QModelIndex& index, int role) const {
  if (!HasRow(index) || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return TextCodec::System().Decode(workspace_.Table().Translation(TableRow(index.row())));
}

bool TranslationModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!HasRow(index) || role != Qt::EditRole) return false;
  bool stored = false;
  // The view calls this half-way through its own bookkeeping, which a
  // failure unwinding through it would leave broken for good.
  ProcFunc::Guarded(errorBoxes_, [&] {
    // The editor refuses what the code page cannot hold; should anything
    // slip through, the table keeps its text rather than take a replaced one.
    auto bytes = TextCodec::System().Encode(value.toString());
    if (!bytes) return;
    stored = true;
    workspace_.Edit({workspace::EditField::Translation, TableRow(index.row())}, std::move(*bytes));
  });
  return stored;
}

Qt::ItemFlags TranslationModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant TranslationModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section < 0) return {};
  if (role == Qt::ToolTipRole && orientation == Qt::Vertical && section < rowCount()) {
    const auto& findings = checks_.Findings(TableRow(section));
    return findings.empty() ? QVariant() : FindingsText(findings);
  }
  if (role != Qt::DisplayRole) return {};
  const auto& table = workspace_.Table();
  if (orientation == Qt::Horizontal)
    return section == 0 && table.RowCount() > 0 ? TextCodec::System().Decode(table.Translation(0))
                                                : QVariant();
  if (section >= rowCount()) return {};
  const std::size_t row = TableRow(section);
  return row < table.RowCount() ? TextCodec::System().Decode(table.Key(row)) : QVariant();
}

QString TranslationModel::CellText(int column, std::size_t row) const {
  const auto& table = workspace_.Table();
  if (row >= table.RowCount()) return {};
  return TextCodec::System().Decode(column == 0 ? table.Key(row) : table.Translation(row));
}

void TranslationModel::BeginTableChange() { beginResetModel(); }
void TranslationModel::EndTableChange() {
  // The new table is filtered afresh.
  if (filter_) filter_ = workspace::RowsLeftToTranslate(workspace_);
  endResetModel();
}
