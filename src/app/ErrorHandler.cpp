#include "app/ErrorHandler.h"

#include "app/TextCodec.h"
#include "langfile/FileErrors.h"
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
  } catch (const EFileStreamError& error) {
    // The path is the file system's bytes; around it stands code-page text.
    const std::string_view message = error.what();
    const std::string_view name = error.FileName();
    const std::size_t nameAt = static_cast<std::size_t>(name.data() - message.data());
    return codec.Decode(message.substr(0, nameAt)) + FileNameText(name) +
           codec.Decode(message.substr(nameAt + name.size()));
  } catch (const std::exception& error) {
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
