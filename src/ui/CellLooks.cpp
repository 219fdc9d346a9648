#include "ui/CellLooks.h"

#include "ui/Colours.h"
#include "workspace/TableChecks.h"
#include "workspace/Workspace.h"

ProcFunc::CellLook CellLookOf(const GridCell& cell, const workspace::Workspace& workspace,
                              const workspace::TableChecks& checks) {
  ProcFunc::CellLook look{cell.background, Qt::black};
  if (cell.column == 1) {
    if (cell.inSelection) look.text = Qt::white;
    // Untranslated wins: it must show on the current cell too.
    if (workspace.IsUntranslated(cell.row)) look.text = kMaroon;
  }
  // On the key, which stays in view while the translations scroll sideways.
  look.marked = cell.column == 0 && !checks.Findings(cell.row).empty();
  look.bold = cell.row == 0;
  look.alignment = cell.row == 0 ? ProcFunc::CellAlignment::Centred : ProcFunc::CellAlignment::Left;
  return look;
}
