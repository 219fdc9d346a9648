// The program's identity, its message and error boxes, the special folder,
// the drop-down width, the cell painter and the code page bridge.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <stdexcept>

#include "app/CellPainter.h"
#include "app/ErrorHandler.h"
#include "app/ProcFunc.h"
#include "app/TextCodec.h"
#include "langfile/FileErrors.h"
#include "platform/MessageStyle.h"
#include "support/MessageBoxRecorder.h"
#include "support/TestSupport.h"

namespace {

using ProcFunc::ProductVersion;

TEST(VersionString, MinorAndReleaseStandSideBySide) {
  EXPECT_EQ(ProcFunc::FormatVersion({1, 0, 0, 2}), "1.00 (build 2)");
  EXPECT_EQ(ProcFunc::FormatVersion({2, 10, 3, 15}), "2.103 (build 15)");
  EXPECT_EQ(ProcFunc::FormatVersion({1, 2, 3, 0}), "1.23 (build 0)");
  EXPECT_EQ(ProcFunc::FormatVersion({65535, 65535, 65535, 65535}),
            "65535.6553565535 (build 65535)");
}

TEST(VersionString, ComesFromTheProductVersionOfTheRecordOnly) {
  const auto version = ProcFunc::ProductVersionFromRecord(
      R"({"version":"7.7.7.7","productVersion":"2.10.3.15","fileVersion":"9.8.7.6"})");
  ASSERT_TRUE(version);
  EXPECT_EQ(ProcFunc::FormatVersion(*version), "2.103 (build 15)");

  // Records that hold no usable product version give no version at all.
  for (const char* record : {
           R"({"version":"1.0.0.2","fileVersion":"1.0.0.2"})",
           R"({"productVersion":"1.0.2"})",
           R"({"productVersion":"1.0.0.2.5"})",
           R"({"productVersion":"1.0.0.65536"})",
           R"({"productVersion":"1.-0.0.2"})",
           R"({"productVersion":"1..0.2"})",
           R"({"productVersion":" 1.0.0.2"})",
           R"({"productVersion":1002})",
           R"(["productVersion","1.0.0.2"])",
           "productVersion=1.0.0.2",
           "",
       })
    EXPECT_FALSE(ProcFunc::ProductVersionFromRecord(record)) << record;
}

TEST(VersionString, IsReadFromTheExecutablesOwnFile) {
  // The stamped program's file version (9.8.7.6) differs in every part.
  EXPECT_EQ(ProcFunc::VersionStringOf(STAMPED_PROGRAM), "2.103 (build 15)");
  EXPECT_EQ(ProcFunc::VersionStringOf(UNSTAMPED_PROGRAM), "");
  EXPECT_EQ(ProcFunc::VersionStringOf(SHIPPED_PROGRAM), "1.00 (build 2)");
  EXPECT_EQ(ProcFunc::VersionStringOf("/nonexistent/program"), "");
}

TEST(Identity, CaptionsTheMainWindowAndNamesTheApplicationFolder) {
  QWidget window;
  ProcFunc::SetUpIdentity(window, STAMPED_PROGRAM);
  EXPECT_EQ(window.windowTitle(), "Orvane translator [v 2.103 (build 15)]");
  const auto& identity = ProcFunc::ProgramIdentity();
  EXPECT_EQ(identity.programTitle, "Orvane translator");
  EXPECT_EQ(identity.versionText, "v 2.103 (build 15)");
  const std::string folder = std::filesystem::path(STAMPED_PROGRAM).parent_path().string() + "/";
  EXPECT_EQ(identity.applicationFolder, folder);

  ProcFunc::SetUpIdentity(window, UNSTAMPED_PROGRAM);
  EXPECT_EQ(window.windowTitle(), "Orvane translator [v ]");
}

TEST(ErrorBox, EndsTheMessageInAFullStopUnlessItEndsInPunctuation) {
  struct Case {
    QString message;
    QString shown;
  };
  const Case cases[] = {
      {"Stream write error", "Stream write error."},
      {"Error 42", "Error 42."},
      {"Cannot open file \"a.lng\". Permission denied", "Cannot open file \"a.lng\". Permission denied."},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"(see above)", "(see above)"},
      {"trailing-", "trailing-"},    // '-' sorts before '.'
      {"folder/", "folder/."},       // '/' sorts after it
      {QString::fromUtf8("súbor č"), QString::fromUtf8("súbor č.")},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ProcFunc::ErrorBoxText(c.message), c.shown) << c.message.toStdString();
}

// An object whose event handler fails the way a file error would.
class FailingObject : public QObject {
 public:
  int eventsHandled = 0;
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    ++eventsHandled;
    if (eventsHandled == 1) throw EFOpenError("/tmp/sloven\xc4\x8dina.lng", "Not a regular file");
    return true;
  }
};

TEST(ErrorBox, AFailureInAnEventHandlerIsShownAndTheProgramGoesOn) {
  platform::OverrideSystemCodePage(1250);
  testsupport::MessageBoxRecorder recorder;
  auto* application = static_cast<TApplication*>(QCoreApplication::instance());
  ProcFunc::MessageBoxes& previous = application->SetErrorBoxes(recorder);
  FailingObject object;
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QCoreApplication::sendPostedEvents(&object, QEvent::User);
  application->SetErrorBoxes(previous);
  platform::OverrideSystemCodePage(0);

  EXPECT_EQ(object.eventsHandled, 2);
  ASSERT_EQ(recorder.boxes.size(), 1u);
  EXPECT_EQ(recorder.boxes[0].caption, "Orvane translator");
  EXPECT_EQ(recorder.boxes[0].style, platform::kMessageError);
  EXPECT_EQ(recorder.boxes[0].text,
            QString::fromUtf8("Cannot open file \"/tmp/slovenčina.lng\". Not a regular file."));
}

// File names are the file system's bytes (UTF-8), every other text of a
// failure is in the system's code page; each is read as what it is.
TEST(ErrorBox, FileNamesAndTextsInAMessageAreEachDecodedByTheirOwnRule) {
  platform::OverrideSystemCodePage(1250);
  const std::pair<std::exception_ptr, QString> cases[] = {
      {std::make_exception_ptr(EFCreateError("/home/J\xc5\xbeo/sk.lng", "Permission denied")),
       QString::fromUtf8("Cannot create file \"/home/Jžo/sk.lng\". Permission denied")},
      {std::make_exception_ptr(std::runtime_error("Kl\xfa\xe8 \"\xe8\x61j\"")),
       QString::fromUtf8("Klúč \"čaj\"")},
  };
  for (const auto& [failure, shown] : cases) EXPECT_EQ(ProcFunc::FailureMessage(failure), shown);
  platform::OverrideSystemCodePage(0);
}

TEST(MessageBox, IsModalCaptionedWithTheProgramTitleAndHasOneOkButton) {
  QWidget window;
  ProcFunc::SetUpIdentity(window, UNSTAMPED_PROGRAM);
  window.show();
  QApplication::setActiveWindow(&window);
  struct Seen {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    bool modal = false;
    QWidget* owner = nullptr;
  } seen;
  QElapsedTimer waited;
  waited.start();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      if (waited.elapsed() > 10000) QApplication::exit(1);  // never hang the suite
      return;
    }
    seen = {box->windowTitle(), box->text(), box->icon(),
            static_cast<int>(box->buttons().size()), box->isModal(), box->parentWidget()};
    box->button(QMessageBox::Ok)->click();
  });
  poll.start(10);
  EXPECT_EQ(ProcFunc::MessageBox("Please select your destination file.", platform::kMessageWarning,
                                 ProcFunc::ModalMessageBoxes()),
            platform::kMessageOk);
  EXPECT_EQ(seen.caption, "Orvane translator");
  EXPECT_EQ(seen.text, "Please select your destination file.");
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.owner, &window);  // owned by the active window
}

TEST(SpecialFolder, OnlyTheCommonApplicationDataFolderIsKnownAndEndsInADelimiter) {
  testsupport::TempDir prefix;
  std::filesystem::create_directories(prefix.path() + "/drive_c/ProgramData");
  const char* saved = std::getenv("WINEPREFIX");
  const std::string savedValue = saved ? saved : "";
  setenv("WINEPREFIX", prefix.path().c_str(), 1);
  const std::string common = ProcFunc::GetSpecialFolderPath(ProcFunc::kCommonAppData);
  const std::string other = ProcFunc::GetSpecialFolderPath(26);
  saved ? setenv("WINEPREFIX", savedValue.c_str(), 1) : unsetenv("WINEPREFIX");

  EXPECT_EQ(common, prefix.path() + "/drive_c/ProgramData/");
  EXPECT_EQ(other, "");
}

TEST(DropDownWidth, FitsTheWidestItemButNeverNarrowsTheList) {
  QComboBox list;
  list.setGeometry(8, 24, 169, 21);
  list.addItems({"[Farnel] - invoice", "[Tobrin] - invoice"});
  ASSERT_LT(list.fontMetrics().horizontalAdvance("[Farnel] - invoice") + 24, 169);
  EXPECT_EQ(ProcFunc::SetDropDownWidth(list), 169);
  EXPECT_EQ(list.property(ProcFunc::kDroppedWidthProperty).toInt(), 169);

  const QString wide = "[Farnel] - program interface, with a long description";
  list.addItem(wide);
  const int expected = list.fontMetrics().horizontalAdvance(wide) + 24;
  ASSERT_GT(expected, 169);
  EXPECT_EQ(ProcFunc::SetDropDownWidth(list), expected);
  EXPECT_EQ(list.property(ProcFunc::kDroppedWidthProperty).toInt(), expected);
  EXPECT_EQ(list.width(), 169);  // the closed control keeps its width
}

TEST(TextCodec, EveryByteOfEveryCodePageSurvivesARoundTrip) {
  std::string allBytes;
  for (int byte = 0; byte < 256; ++byte) allBytes.push_back(static_cast<char>(byte));
  // 9999 stands for a code page the toolkit does not know.
  for (int codePage : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 9999}) {
    const TextCodec codec(codePage);
    const auto back = codec.Encode(codec.Decode(allBytes));
    ASSERT_TRUE(back) << codePage;
    EXPECT_EQ(*back, allBytes) << codePage;
  }
}

TEST(TextCodec, RefusesWhatTheCodePageCannotHold) {
  const TextCodec central(1250);
  EXPECT_EQ(central.Encode(QString::fromUtf8("čšž")), std::string("\xe8\x9a\x9e"));
  EXPECT_FALSE(central.Encode(QString::fromUtf8("ñ")));
  EXPECT_FALSE(central.Encode(QString::fromUtf8("a中")));
  EXPECT_FALSE(TextCodec(1252).Encode(QString::fromUtf8("č")));
}

TEST(CellPainter, PlacesTextsTheSameWayInEveryCell) {
  using ProcFunc::CellAlignment;
  const QRect cell(100, 34, 66, 17);
  EXPECT_EQ(ProcFunc::CellTextOrigin(cell, 30, CellAlignment::Left), QPoint(104, 36));
  EXPECT_EQ(ProcFunc::CellTextOrigin(cell, 30, CellAlignment::Right), QPoint(133, 36));
  EXPECT_EQ(ProcFunc::CellTextOrigin(cell, 31, CellAlignment::Centred), QPoint(117, 36));
  // Wider than its cell: starts left of it, the halving toward zero.
  EXPECT_EQ(ProcFunc::CellTextOrigin(cell, 71, CellAlignment::Centred), QPoint(98, 36));

  // The text is clipped to the cell and the rest of the surface untouched.
  QImage image(200, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 30));
  ProcFunc::DrawCell(painter, cell, QStringLiteral("WWWWWWWW"),
                     {Qt::blue, Qt::black, true, CellAlignment::Centred});
  painter.end();
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (!cell.contains(x, y)) {
        ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(image.pixel(cell.topLeft()), qRgb(0, 0, 255));

  // A marked cell: the mark in its top right corner, the text stopping short
  // of it.
  image.fill(Qt::white);
  painter.begin(&image);
  painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 30));
  ProcFunc::DrawCell(painter, cell, QStringLiteral("WWWWWWWW"),
                     {Qt::blue, Qt::black, false, CellAlignment::Left, true});
  painter.end();
  EXPECT_EQ(image.pixel(cell.topRight()), ProcFunc::kCellMarkColour.rgb());
  for (int x = cell.right() - ProcFunc::kCellMarkSize; x <= cell.right(); ++x)
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      const QRgb pixel = image.pixel(x, y);
      ASSERT_TRUE(pixel == qRgb(0, 0, 255) || pixel == ProcFunc::kCellMarkColour.rgb())
          << x << "," << y;
    }
}

}  // namespace
