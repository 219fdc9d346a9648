#include "ui/FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <iterator>

#include "app/TextCodec.h"
#include "platform/CodePage.h"
#include "ui/StatusLine.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "workspace/Progress.h"
#include "workspace/TextSearch.h"
#include "workspace/Workspace.h"

namespace {

class FindField : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void(bool forward)> onReturn;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (onReturn) onReturn(!(event->modifiers() & Qt::ShiftModifier));
      return;
    }
    QLineEdit::keyPressEvent(event);
  }
};

}  // namespace

FindBar::FindBar(workspace::Workspace& workspace, TranslationGrid& grid, StatusLine& status,
                 QWidget* parent)
    : QWidget(parent), workspace_(workspace), grid_(grid), status_(status) {
  setObjectName("FindBar");
  auto* field = new FindField(this);
  field->onReturn = [this](bool forward) { FindNext(forward); };
  text_ = field;
  text_->setObjectName("eFind");
  text_->setClearButtonEnabled(true);
  text_->setMinimumWidth(200);
  auto* label = new QLabel(QStringLiteral("Find"), this);
  label->setBuddy(text_);
  count_ = new QLabel(this);
  count_->setObjectName("lblFindCount");
  count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(QStringLiteral("99,999 of 99,999")));
  untranslatedOnly_ = new QCheckBox(QStringLiteral("Untranslated only"), this);
  untranslatedOnly_->setObjectName("cbUntranslatedOnly");
  close_ = new QToolButton(this);
  close_->setObjectName("btnCloseFind");
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setAutoRaise(true);
  close_->setToolTip(QStringLiteral("Close (Esc)"));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 3, 4, 3);
  layout->setSpacing(6);
  layout->addWidget(label);
  layout->addWidget(text_);
  layout->addWidget(count_);
  layout->addSpacing(12);
  layout->addWidget(untranslatedOnly_);
  layout->addStretch(1);
  layout->addWidget(close_);

  connect(text_, &QLineEdit::textChanged, this, [this] { TextEdited(); });
  connect(untranslatedOnly_, &QCheckBox::toggled, this, [this](bool on) { UntranslatedOnlyToggled(on); });
  connect(close_, &QToolButton::clicked, this, [this] { Close(); });
  // Any edit may add or take away a hit; the hits are found again when
  // next asked for, not at every keystroke.
  editListener_ = workspace_.OnEdited([this](const workspace::EditEvent&) { hitsValid_ = false; });
  connect(grid_.Model(), &QAbstractItemModel::modelReset, this, [this] { hitsValid_ = false; });
  hide();
}

FindBar::~FindBar() { workspace_.RemoveEditListener(editListener_); }

void FindBar::Open() {
  show();
  text_->setFocus(Qt::ShortcutFocusReason);
  text_->selectAll();
}

void FindBar::Close() {
  SetUntranslatedOnly(false);
  // Hidden first, the bar would hand the focus to the window's first control
  // on its way back to the grid.
  grid_.setFocus(Qt::OtherFocusReason);
  hide();
}

void FindBar::SetUntranslatedOnly(bool on) { untranslatedOnly_->setChecked(on); }

QString FindBar::CountText() const { return count_->text(); }

const std::vector<int>& FindBar::Hits() {
  if (hitsValid_) return hits_;
  hits_.clear();
  hitsValid_ = true;
  // A text the code page cannot hold is in no file of it.
  const auto needle = TextCodec::System().Encode(text_->text());
  if (!needle || needle->empty()) return hits_;
  const workspace::RowMatcher matcher(*needle, platform::SystemCodePage());
  const TranslationModel& model = *grid_.Model();
  for (int row = 0, rows = model.rowCount(); row < rows; ++row)
    if (matcher.Matches(workspace_, model.TableRow(row))) hits_.push_back(row);
  return hits_;
}

void FindBar::TextEdited() {
  hitsValid_ = false;
  if (text_->text().isEmpty()) {
    count_->clear();
    return;
  }
  // As the text grows, the hit stays where it is when it still matches.
  const auto& hits = Hits();
  if (!hits.empty()) {
    const auto next = std::lower_bound(hits.begin(), hits.end(), grid_.currentIndex().row());
    GoTo(next == hits.end() ? hits.front() : *next);
  }
  ShowCount();
}

void FindBar::FindNext(bool forward) {
  if (text_->text().isEmpty()) {
    Open();
    return;
  }
  const auto& hits = Hits();
  if (hits.empty()) {
    ShowCount();
    status_.ShowNote(QStringLiteral("No matches."));
    return;
  }
  const int from = grid_.currentIndex().row();  // -1 without a current cell
  bool wrapped = false;
  if (forward) {
    const auto next = std::upper_bound(hits.begin(), hits.end(), from);
    wrapped = next == hits.end();
    GoTo(wrapped ? hits.front() : *next);
  } else {
    const auto next = std::lower_bound(hits.begin(), hits.end(), from);
    wrapped = next == hits.begin();
    GoTo(wrapped ? hits.back() : *std::prev(next));
  }
  ShowCount();
  if (wrapped)
    status_.ShowNote(forward ? QStringLiteral("Find continued from the top.")
                             : QStringLiteral("Find continued from the bottom."));
}

void FindBar::GoTo(int modelRow) {
  const QModelIndex cell = grid_.Model()->index(modelRow, 0);
  grid_.setCurrentIndex(cell);
  grid_.scrollTo(cell);
}

void FindBar::ShowCount() {
  const auto& hits = Hits();
  const int row = grid_.currentIndex().row();
  const auto at = std::lower_bound(hits.begin(), hits.end(), row);
  const auto grouped = [](std::size_t number) {
    return QString::fromStdString(workspace::GroupedNumber(number));
  };
  if (at != hits.end() && *at == row)
    count_->setText(QStringLiteral("%1 of %2").arg(grouped(at - hits.begin() + 1),
                                                   grouped(hits.size())));
  else if (hits.empty())
    count_->setText(QStringLiteral("No matches"));
  else
    count_->setText(hits.size() == 1 ? QStringLiteral("1 match")
                                     : grouped(hits.size()) + QStringLiteral(" matches"));
}

void FindBar::UntranslatedOnlyToggled(bool on) {
  TranslationModel& model = *grid_.Model();
  if (model.UntranslatedOnly() == on) return;
  const auto row = grid_.CurrentTableRow();
  model.SetUntranslatedOnly(on);
  // The translator stays where they were, or at the nearest row still shown
  // after it.
  if (row && model.rowCount() > 0) {
    const int shown = std::min(model.ModelRowAtOrAfter(*row), model.rowCount() - 1);
    const QModelIndex cell = model.index(shown, 0);
    grid_.setCurrentIndex(cell);
    grid_.scrollTo(cell, QAbstractItemView::PositionAtCenter);
  }
  if (!text_->text().isEmpty()) ShowCount();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close();
    return;
  }
  QWidget::keyPressEvent(event);
}
