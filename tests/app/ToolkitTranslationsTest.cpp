// The toolkit's dialogs and standard buttons in the user's language.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPushButton>

#include "app/ToolkitTranslations.h"
#include "support/TestSupport.h"

namespace {

struct Case {
  const char* locale;
  const char* context;
  const char* source;
  QString expected;  // empty: left in English
};

TEST(ToolkitTranslations, SpeakTheLocalesLanguageWithStandardButtonsToo) {
  const Case cases[] = {
      {"sk_SK", "QFileDialog", "Look in:", QStringLiteral("Hľadať v:")},
      {"sk_SK", "QFileDialog", "Files of type:", QStringLiteral("Súbory typu:")},
      // The Slovak catalogue has its button texts only under their old context.
      {"sk_SK", "QPlatformTheme", "Cancel", QStringLiteral("Zrušiť")},
      {"sk_SK", "QPlatformTheme", "&Yes", QStringLiteral("Án&o")},
      {"cs_CZ", "QPlatformTheme", "Cancel", QStringLiteral("Zrušit")},
      {"cs_CZ", "QFileDialog", "Look in:", QStringLiteral("Hledat v:")},
      // Only the button texts borrow from the old context.
      {"sk_SK", "QColorDialog", "Cancel", {}},
      {"en_US", "QFileDialog", "Look in:", {}},
      // The window's English texts keep their left-to-right layout.
      {"he_IL", "QGuiApplication", "QT_LAYOUT_DIRECTION", {}},
      {"he_IL", "QFileDialog", "Look in:", QStringLiteral("חפש בתוך:")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + c.context + " " + c.source);
    const auto translator = ProcFunc::LoadToolkitTranslations(QLocale(QString::fromLatin1(c.locale)));
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(translator->translate(c.context, c.source), c.expected);
  }
}

TEST(ToolkitTranslations, NoneWhereTheFolderHasNoCatalogue) {
  const testsupport::TempDir empty;
  EXPECT_EQ(ProcFunc::LoadToolkitTranslations(QLocale(QStringLiteral("sk_SK")),
                                              QString::fromStdString(empty.path())),
            nullptr);
}

TEST(ToolkitTranslations, ReachTheFileDialogsButtonsOnceInstalled) {
  const auto translator = ProcFunc::LoadToolkitTranslations(QLocale(QStringLiteral("sk_SK")));
  ASSERT_NE(translator, nullptr);
  QCoreApplication::installTranslator(translator.get());
  QFileDialog dialog(nullptr, QStringLiteral("Open"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const auto* buttons = dialog.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  ASSERT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Zrušiť"));
  EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("&Otvoriť"));
  QCoreApplication::removeTranslator(translator.get());
}

TEST(ToolkitTranslations, LeaveTheWindowLeftToRightUnderARightToLeftLanguage) {
  const auto translator = ProcFunc::LoadToolkitTranslations(QLocale(QStringLiteral("he_IL")));
  ASSERT_NE(translator, nullptr);
  QCoreApplication::installTranslator(translator.get());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
  EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
  QCoreApplication::removeTranslator(translator.get());
}

}  // namespace
