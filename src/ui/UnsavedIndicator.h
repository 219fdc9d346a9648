#pragma once

// The unsaved-changes indicator: the captions of a label and the Save
// button turn maroon while the workspace holds changes no save has written,
// and take the window-text colour again after a save or an Open. It only
// shows the workspace's state; whoever needs that state asks the workspace.

#include <initializer_list>

class QWidget;

void PaintUnsavedIndicator(bool marked, std::initializer_list<QWidget*> captions);
