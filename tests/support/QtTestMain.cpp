// Runs a GoogleTest suite inside the program's own application object, on
// Qt's offscreen platform, so widget tests need no display.

#include <gtest/gtest.h>

#include "app/ErrorHandler.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
