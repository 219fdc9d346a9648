#pragma once

#include <QHeaderView>
#include <QWidget>

class TranslationGrid;

// The heading row (horizontal) or the key column (vertical), painted as
// fixed cells. The heading row also lets the user drag the border between
// the key column and the translation column.
class FixedHeader : public QHeaderView {
  Q_OBJECT

 public:
  FixedHeader(Qt::Orientation orientation, TranslationGrid& grid);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool OnKeyColumnBorder(int x) const;

  TranslationGrid& grid_;
};

// Row 0 of the key column, where the heading row and the key column meet.
// Its right edge is the key column's border, which can be dragged there too.
class FixedCorner : public QWidget {
  Q_OBJECT

 public:
  explicit FixedCorner(TranslationGrid& grid);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool OnKeyColumnBorder(int x) const;

  TranslationGrid& grid_;
};

// A fixed cell with its grid lines on the right and bottom edges of `rect`,
// like the translation cells beside it.
void PaintFixedCell(const TranslationGrid& grid, QPainter& painter, const QRect& rect, int column,
                    std::size_t row);
