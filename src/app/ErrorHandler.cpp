#include "app/ErrorHandler.h"

#include "app/ProcFunc.h"
#include "app/TextCodec.h"

namespace ProcFunc {

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
  return message;
}

void HandleException(std::exception_ptr failure) {
  QString message;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    // Failures carry bytes in the system's code page, file names included.
    message = TextCodec::System().Decode(error.what());
  } catch (...) {
    message = QStringLiteral("Unknown failure");
  }
  PresentMessageBox(
      {QApplication::activeWindow(), ApplicationTitle(), ErrorBoxText(message), kIconError});
}

}  // namespace ProcFunc

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  ProcFunc::SetApplicationTitle(QString::fromLatin1(ProcFunc::kProgramTitle));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ProcFunc::HandleException(std::current_exception());
    return false;
  }
}
