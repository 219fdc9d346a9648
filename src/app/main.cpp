// Starts the window and runs it until it is closed. The program takes no
// arguments: whatever is on the command line is ignored, the toolkit's own
// options included. The one exception is --version, which desktop programs
// answer on the terminal without opening a window, and so without a display.

#include <QLocale>
#include <cstring>
#include <iostream>

#include "app/ErrorHandler.h"
#include "app/ProcFunc.h"
#include "app/ToolkitTranslations.h"
#include "app/VersionRecord.h"
#include "platform/ExecutableFile.h"
#include "ui/f01_main.h"

namespace {

bool AsksForVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--version") == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AsksForVersion(argc, argv)) {
    // The caption's own words: "Orvane translator [v 1.00 (build 2)]".
    std::cout << ProcFunc::kProgramTitle << " v "
              << ProcFunc::VersionStringOf(platform::ExecutablePath()).toStdString() << '\n';
    return std::cout.flush() ? 0 : 1;
  }

  int argumentCount = 1;
  char* arguments[] = {argv[0], nullptr};
  TApplication application(argumentCount, arguments);
  QGuiApplication::setDesktopFileName(QStringLiteral("orvane-translator"));
  // Installed before any window exists, so every dialog already has it.
  const auto toolkitTranslations = ProcFunc::LoadToolkitTranslations(QLocale());
  if (toolkitTranslations) QCoreApplication::installTranslator(toolkitTranslations.get());

  TfMain fMain;
  fMain.show();
  application.exec();
  return 0;
}
