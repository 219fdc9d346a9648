// Starts the window and runs it until it is closed. The program takes no
// arguments: whatever is on the command line is ignored, the toolkit's own
// options included.

#include "app/ErrorHandler.h"
#include "ui/f01_main.h"

int main(int, char** argv) {
  int argumentCount = 1;
  char* arguments[] = {argv[0], nullptr};
  TApplication application(argumentCount, arguments);
  QGuiApplication::setDesktopFileName(QStringLiteral("orvane-translator"));

  TfMain fMain;
  fMain.show();
  application.exec();
  return 0;
}
