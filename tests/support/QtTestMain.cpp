// Runs a GoogleTest suite inside the program's own application object, on
// Qt's offscreen platform, so widget tests need no display.

#include <gtest/gtest.h>

#include "app/ErrorHandler.h"
#include "support/TestSupport.h"
#include "platform/MessageStyle.h"

namespace {

// A failure that no handler guarded reaches the application, whose box
// would wait for a click that never comes; the test fails instead.
class UnguardedFailures : public ProcFunc::MessageBoxes {
 public:
  int Show(const ProcFunc::MessageBoxRequest& request) override {
    ADD_FAILURE() << "a failure reached the application: " << request.text.toStdString();
    return platform::kMessageOk;
  }
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Windows keep their recovery journals here, not among the user's own.
  const testsupport::TempDir state;
  setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  TApplication application(argc, argv);
  UnguardedFailures unguarded;
  application.SetErrorBoxes(unguarded);
  return RUN_ALL_TESTS();
}
