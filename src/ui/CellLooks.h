#pragma once

// How the grid shows each cell: white for the current cell, maroon wherever
// the translation equals the reference text (winning over white), bold and
// centred in the heading row, black keys, marked where the row has findings.

#include "app/CellPainter.h"
#include "ui/GridCell.h"

namespace workspace {
class TableChecks;
class Workspace;
}  // namespace workspace

ProcFunc::CellLook CellLookOf(const GridCell& cell, const workspace::Workspace& workspace,
                              const workspace::TableChecks& checks);
