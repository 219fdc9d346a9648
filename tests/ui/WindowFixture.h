#pragma once

// A main window as the program creates it, captioned from the stamped test
// program and with a fixed clock, shown on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "support/MessageBoxRecorder.h"
#include "ui/f01_main.h"

namespace testsupport {

// 2026-03-14 10:20:30.250 local time.
inline platform::LocalDateTime FixedNow() {
  using namespace std::chrono;
  return local_days{year{2026} / March / 14} + hours{10} + minutes{20} + seconds{30} +
         milliseconds{250};
}

class CountingCommands : public WindowCommands {
 public:
  void Open() override { ++opens; }
  void Save() override { ++saves; }
  int opens = 0;
  int saves = 0;
};

class WindowTest : public ::testing::Test {
 public:
  // Gives `widget` the keyboard focus, as a click or Tab would.
  static void Focus(QWidget* widget) {
    widget->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
  }

  // A key without text, which QTest's ASCII helpers do not know.
  static void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::sendKeyEvent(QTest::Click, widget, key, QString(), modifiers);
  }

  // Types `text` key by key, letters beyond ASCII included.
  static void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
  }

 protected:
  void SetUp() override {
    window = std::make_unique<TfMain>(TfMainOptions{STAMPED_PROGRAM, &FixedNow});
    window->SetCommands(&commands);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override { window.reset(); }

  MessageBoxRecorder boxes;  // a box would otherwise wait for a click
  CountingCommands commands;
  std::unique_ptr<TfMain> window;
};

}  // namespace testsupport
