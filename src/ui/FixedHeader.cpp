#include "ui/FixedHeader.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"

namespace {

// How near the border between the two columns a press starts a drag.
constexpr int kBorderGrip = 3;

}  // namespace

void PaintFixedCell(const TranslationGrid& grid, QPainter& painter, const QRect& rect, int column,
                    std::size_t row) {
  const int line = TranslationGrid::kGridLine;
  grid.PaintCell(painter, {column, row, rect.adjusted(0, 0, -line, -line),
                           TranslationGrid::kFixedColour, grid.CurrentTableRow() == row});
  painter.save();
  painter.setPen(grid.GridLineColour());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.restore();
}

FixedHeader::FixedHeader(Qt::Orientation orientation, TranslationGrid& grid)
    : QHeaderView(orientation, &grid), grid_(grid) {
  setSectionsClickable(false);
  setSectionsMovable(false);
  setHighlightSections(false);
  setMinimumSectionSize(0);
  setDefaultSectionSize(orientation == Qt::Horizontal
                            ? TranslationGrid::kDefaultColumnWidth + TranslationGrid::kGridLine
                            : TranslationGrid::kRowHeight + TranslationGrid::kGridLine);
  setSectionResizeMode(orientation == Qt::Horizontal ? Interactive : Fixed);
  setStretchLastSection(false);
  setMouseTracking(orientation == Qt::Horizontal);
}

void FixedHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid() || logicalIndex < 0) return;
  // The heading row is table row 0 of the translation column; the key
  // column's sections are the key cells of table rows 1 and on.
  if (orientation() == Qt::Horizontal)
    PaintFixedCell(grid_, *painter, rect, 1, 0);
  else
    PaintFixedCell(grid_, *painter, rect, 0, grid_.Model()->TableRow(logicalIndex));
}

void FixedHeader::paintEvent(QPaintEvent* event) {
  QHeaderView::paintEvent(event);
  // Beyond the last row and column the grid shows its own background, as
  // the translation cells beside it do, not an empty header.
  const int end = length() - offset();
  QRect beyond = viewport()->rect();
  if (orientation() == Qt::Horizontal)
    beyond.setLeft(end);
  else
    beyond.setTop(end);
  if (beyond.isEmpty()) return;
  QPainter painter(viewport());
  painter.fillRect(beyond, grid_.palette().color(QPalette::Base));
}

bool FixedHeader::OnKeyColumnBorder(int x) const {
  // The heading row starts where the key column ends; its left edge is that
  // border while the translations are not scrolled sideways.
  return orientation() == Qt::Horizontal && offset() == 0 && x < kBorderGrip;
}

void FixedHeader::mousePressEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  if (event->button() == Qt::LeftButton && OnKeyColumnBorder(x)) {
    grid_.BeginKeyBorderDrag(*event);
    return;
  }
  QHeaderView::mousePressEvent(event);
}

void FixedHeader::mouseMoveEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  if (grid_.DragKeyBorder(*event)) return;
  if (event->buttons() == Qt::NoButton && OnKeyColumnBorder(x)) {
    viewport()->setCursor(Qt::SplitHCursor);
    return;
  }
  QHeaderView::mouseMoveEvent(event);
}

void FixedHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (grid_.EndKeyBorderDrag()) return;
  QHeaderView::mouseReleaseEvent(event);
}

FixedCorner::FixedCorner(TranslationGrid& grid) : QWidget(&grid), grid_(grid) {
  setObjectName("FixedCorner");
  setMouseTracking(true);
}

bool FixedCorner::OnKeyColumnBorder(int x) const { return x >= width() - kBorderGrip; }

void FixedCorner::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintFixedCell(grid_, painter, rect(), 0, 0);
}

// Presses select nothing here: the corner is a fixed cell, not a button.
void FixedCorner::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnKeyColumnBorder(static_cast<int>(event->position().x())))
    grid_.BeginKeyBorderDrag(*event);
}

void FixedCorner::mouseMoveEvent(QMouseEvent* event) {
  if (grid_.DragKeyBorder(*event)) return;
  if (OnKeyColumnBorder(static_cast<int>(event->position().x())))
    setCursor(Qt::SplitHCursor);
  else
    unsetCursor();
}

void FixedCorner::mouseReleaseEvent(QMouseEvent*) { grid_.EndKeyBorderDrag(); }

void FixedCorner::mouseDoubleClickEvent(QMouseEvent*) {}
