#pragma once

// The default error handler. Nothing in the program catches an unexpected
// failure on its way: it ends the event handler that raised it and arrives
// here, is shown in a box, and the program goes on with the next event.

#include <QApplication>
#include <QString>
#include <exception>
#include <utility>

#include "app/ProcFunc.h"

namespace ProcFunc {

// The failure's message with "." appended when its last character sorts
// after the full stop, so a sentence ends in one and "...)" or "!" stay.
QString ErrorBoxText(const QString& message);

// The message of the failure held by `failure`, as the user reads it.
QString FailureMessage(std::exception_ptr failure);

// Shows the failure held by `failure` in an error box through `boxes`,
// captioned with the application title.
void HandleException(std::exception_ptr failure, MessageBoxes& boxes);

// Runs `handler` under the default error handler, whose box goes through
// `boxes`. Every event handler of the window runs through this, so a
// failure never unwinds through the toolkit.
template <class Handler>
void Guarded(MessageBoxes& boxes, Handler&& handler) {
  try {
    handler();
  } catch (...) {
    HandleException(std::current_exception(), boxes);
  }
}

}  // namespace ProcFunc

// The windowing application. Its title is set before any window exists, and
// every event is delivered under the default error handler as a last line of
// defence for handlers that do not guard themselves.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Where the boxes of failures that reach the application go: the
  // toolkit's modal boxes unless a test records them. Returns the previous.
  ProcFunc::MessageBoxes& SetErrorBoxes(ProcFunc::MessageBoxes& boxes) {
    return *std::exchange(errorBoxes_, &boxes);
  }

 private:
  ProcFunc::MessageBoxes* errorBoxes_;
};
