// The tip that says why a field refused a character: its wording, and that
// the single-line fields and the authors memo show it exactly when they
// refuse something.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/TextCodec.h"
#include "platform/CodePage.h"
#include "ui/Controls.h"
#include "ui/RefusalNotice.h"
#include "ui/SingleLineValidator.h"
#include "WindowFixture.h"

namespace {

using testsupport::WindowTest;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

const QString kRefusedEnye =
    U("\"ñ\" cannot be saved: code page windows-1250 has no such character.");

TEST(RefusalNotice, NamesTheRefusedCharactersAndTheCodePage) {
  const TextCodec central(1250);
  EXPECT_EQ(RefusalNotice::Text(central, U("ñ")), kRefusedEnye);
  // Each character once, in the order typed; what the code page holds is left out.
  EXPECT_EQ(RefusalNotice::Text(central, U("čñ中ñ")),
            U("\"ñ\", \"中\" cannot be saved: code page windows-1250 has no such characters."));
  // A long paste names a few and counts the rest.
  EXPECT_TRUE(RefusalNotice::Text(central, U("ñ中ø日本ñ"))
                  .startsWith(U("\"ñ\", \"中\", \"ø\" and 2 more cannot")));
  EXPECT_EQ(RefusalNotice::Text(TextCodec(874), U("č")),
            U("\"č\" cannot be saved: code page windows-874 has no such character."));
  EXPECT_TRUE(RefusalNotice::Text(central, U("Žluťoučký kůň")).isEmpty());
  EXPECT_TRUE(RefusalNotice::Text(TextCodec(1251), U("Русский")).isEmpty());
}

TEST(RefusalNotice, ShowsEveryCharacterSoItCanBeRecognised) {
  const TextCodec central(1250);
  // A character beyond 16 bits is one character, not two broken halves.
  EXPECT_EQ(central.Unencodable(U("a😀b😀")), QStringList{U("😀")});
  // A combining mark, a zero-width space and a lone surrogate would show as
  // nothing between the quotes, so they go by number.
  EXPECT_TRUE(RefusalNotice::Text(central, U("n\u0303\u200B")).startsWith("U+0303, U+200B cannot"));
  EXPECT_TRUE(RefusalNotice::Text(central, QString(QChar(0xD800))).startsWith("U+D800 cannot"));
}

// A window with a single-line field and a memo, as the main window sets them
// up, under code page 1250.
class RefusalField : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::OverrideSystemCodePage(1250);
    auto* layout = new QVBoxLayout(&window);
    edit = new QLineEdit(&window);
    edit->setValidator(new SingleLineValidator(edit));
    memo = new TMemo(&window);
    layout->addWidget(edit);
    layout->addWidget(memo);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_FALSE(QToolTip::isVisible());
  }
  void TearDown() override { platform::OverrideSystemCodePage(0); }

  static void Compose(QWidget* widget, const QString& text) {
    QInputMethodEvent composed;
    composed.setCommitString(text);
    QApplication::sendEvent(widget, &composed);
  }

  // A click anywhere closes a tip at once.
  static void Click(QWidget* widget) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(widget, &press);
  }

  static QWidget* TipOf(QWidget* field) { return field->findChild<QWidget*>("qtooltip_label"); }

  QWidget window;
  QLineEdit* edit = nullptr;
  TMemo* memo = nullptr;
};

TEST_F(RefusalField, ASingleLineFieldRefusesVisiblyBelowItself) {
  WindowTest::Focus(edit);
  WindowTest::Type(edit, U("čñ"));
  EXPECT_EQ(edit->text(), U("č"));
  ASSERT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), kRefusedEnye);
  QWidget* tip = TipOf(edit);
  ASSERT_NE(tip, nullptr);  // owned by the field, so it goes with it
  const int fieldBottom = edit->mapToGlobal(QPoint(0, edit->height())).y();
  EXPECT_GE(tip->geometry().top(), fieldBottom);
  EXPECT_LT(tip->geometry().top(), fieldBottom + 2 * edit->height());

  // Every refusal says so again, a paste or a composed character as well.
  Click(edit);
  ASSERT_FALSE(QToolTip::isVisible());
  Compose(edit, U("中"));
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_TRUE(QToolTip::text().startsWith(U("\"中\" cannot")));
  QApplication::clipboard()->setText(U("a ø b ñ"));
  edit->paste();
  EXPECT_EQ(edit->text(), U("č"));
  EXPECT_TRUE(QToolTip::text().startsWith(U("\"ø\", \"ñ\" cannot")));
}

TEST_F(RefusalField, TheMemoRefusesVisiblyWhetherTypedComposedOrPasted) {
  WindowTest::Focus(memo);
  WindowTest::Type(memo, U("Zoë ñ"));
  EXPECT_EQ(memo->toPlainText(), U("Zoë "));
  ASSERT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), kRefusedEnye);
  EXPECT_NE(TipOf(memo), nullptr);

  Click(memo);
  ASSERT_FALSE(QToolTip::isVisible());
  Compose(memo, U("中"));
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_TRUE(QToolTip::text().startsWith(U("\"中\" cannot")));

  QApplication::clipboard()->setText(U("中文"));
  memo->paste();
  EXPECT_EQ(memo->toPlainText(), U("Zoë "));
  EXPECT_TRUE(QToolTip::text().startsWith(U("\"中\", \"文\" cannot")));

  // A refused drop is not taken, so a moved text is not deleted where it
  // came from.
  QMimeData dragged;
  dragged.setText(U("ñ"));
  QDropEvent drop(QPointF(5, 5), Qt::MoveAction, &dragged, Qt::LeftButton, {});
  QApplication::sendEvent(memo->viewport(), &drop);
  EXPECT_FALSE(drop.isAccepted());
  EXPECT_EQ(memo->toPlainText(), U("Zoë "));
}

TEST_F(RefusalField, WhatTheCodePageHoldsIsTakenWithoutANotice) {
  WindowTest::Focus(edit);
  WindowTest::Type(edit, U("čš"));
  Compose(edit, U("ô"));
  QApplication::clipboard()->setText(U("ž\nx"));
  edit->paste();
  // The field checks its text again on Enter and when given a new one.
  QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Return, QString(), {});
  edit->setText(U("Ľudo"));
  EXPECT_TRUE(edit->hasAcceptableInput());
  EXPECT_FALSE(QToolTip::isVisible());  // checked before the focus moves, which closes tips
  WindowTest::Focus(memo);
  WindowTest::Type(memo, U("Zoë"));
  Compose(memo, U("ô"));
  memo->paste();
  EXPECT_EQ(edit->text(), U("Ľudo"));
  EXPECT_EQ(memo->toPlainText(), U("Zoëôž\nx"));
  EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(RefusalField, AHiddenFieldRefusesWithoutANotice) {
  edit->hide();
  edit->setText(U("ñ"));
  EXPECT_FALSE(edit->hasAcceptableInput());
  EXPECT_FALSE(QToolTip::isVisible());
}

}  // namespace
