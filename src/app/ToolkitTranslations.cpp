#include "app/ToolkitTranslations.h"

#include <QLibraryInfo>

namespace ProcFunc {
namespace {

// The standard buttons' texts moved to the "QPlatformTheme" context in the
// toolkit, and some catalogues (Slovak among them) still hold them only
// under the older "QDialogButtonBox" one, the same English words. Without
// this the file dialog would say "Zrušiť" nowhere and "Cancel" everywhere.
class ToolkitTranslator : public QTranslator {
 public:
  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int n) const override {
    // The catalogues of right-to-left languages also turn the application's
    // layout round, which would mirror a window whose texts stay English.
    if (qstrcmp(context, "QGuiApplication") == 0 && qstrcmp(sourceText, "QT_LAYOUT_DIRECTION") == 0)
      return {};
    QString text = QTranslator::translate(context, sourceText, disambiguation, n);
    if (text.isEmpty() && qstrcmp(context, "QPlatformTheme") == 0)
      text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
    return text;
  }
};

}  // namespace

std::unique_ptr<QTranslator> LoadToolkitTranslations(const QLocale& locale,
                                                     const QString& folder) {
  // "qtbase" holds the widgets' texts; the "qt" catalogue would bring the
  // other modules' along, which the program does not use.
  auto translator = std::make_unique<ToolkitTranslator>();
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
    return nullptr;
  return translator;
}

std::unique_ptr<QTranslator> LoadToolkitTranslations(const QLocale& locale) {
  return LoadToolkitTranslations(locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace ProcFunc
