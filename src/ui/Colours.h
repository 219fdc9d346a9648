#pragma once

#include <QColor>

// Marks what still needs the translator: unsaved changes, untranslated rows.
inline const QColor kMaroon{128, 0, 0};
