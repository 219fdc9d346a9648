#include "app/ErrorHandler.h"

#include "app/TextCodec.h"
#include "platform/MessageStyle.h"

namespace ProcFunc {

QString ErrorBoxText(const QString& message) {
  if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
  return message;
}

QString FailureMessage(std::exception_ptr failure) {
  const TextCodec& codec = TextCodec::System();
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    // Failures carry bytes in the system's code page, file names included.
    return codec.Decode(error.what());
  } catch (...) {
    return QStringLiteral("Unknown failure");
  }
}

void HandleException(std::exception_ptr failure, MessageBoxes& boxes) {
  boxes.Show({QApplication::activeWindow(), ApplicationTitle(),
              ErrorBoxText(FailureMessage(failure)), platform::kMessageError});
}

}  // namespace ProcFunc

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), errorBoxes_(&ProcFunc::ModalMessageBoxes()) {
  ProcFunc::SetApplicationTitle(QString::fromLatin1(ProcFunc::kProgramTitle));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ProcFunc::HandleException(std::current_exception(), *errorBoxes_);
    return false;
  }
}
