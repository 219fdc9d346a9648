#include "ui/UnsavedIndicator.h"

#include <QPalette>
#include <QWidget>

#include "ui/Colours.h"

void PaintUnsavedIndicator(bool marked, std::initializer_list<QWidget*> captions) {
  const QColor colour = marked ? kMaroon : QPalette().color(QPalette::WindowText);
  for (QWidget* caption : captions) {
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    caption->setPalette(palette);
  }
}
