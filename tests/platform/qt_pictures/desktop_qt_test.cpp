// The wait cursor, the clipboard, key events and dialogs grown to a larger font, over Qt.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "platform/qt/qtdesktop.h"
#include "platform/qt/qtdialogwindow.h"
#include "support/log.h"
#include "support/picture.h"
#include "support/uiutil.h"

namespace {

using zeph::CursorShape;

class QtDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetUiUtilState();
    zeph::SetDesktop(&m_desktop);
  }
  void TearDown() override {
    zeph::SetDesktop(nullptr);
    ResetUiUtilState();
    ResetLogState();
  }
  static Qt::CursorShape OverrideShape() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr ? cursor->shape() : Qt::BlankCursor;
  }

  zeph::CQtDesktop m_desktop;
};

TEST_F(QtDesktopTest, WaitCursorIsOneOverrideHoweverOftenItIsShown) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  ShowWaitCursor();
  ShowWaitCursor();
  EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
  HideWaitCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  HideWaitCursor();  // nothing to take back: the arrow
  EXPECT_EQ(OverrideShape(), Qt::ArrowCursor);
  m_desktop.SetCursor(CursorShape::kOwn);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtDesktopTest, ClipboardPictureIsSeen) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("words"));
  EXPECT_EQ(ClipboardHasPicture(), 0);
  QImage picture(30, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  clipboard->setImage(picture);
  EXPECT_EQ(ClipboardHasPicture(), 1);
  zeph::DcSize size;
  ASSERT_TRUE(m_desktop.GetClipboardPictureSize(size));
  EXPECT_EQ(size, (zeph::DcSize{30, 20}));
  clipboard->clear();
}

TEST_F(QtDesktopTest, KeyEventsBecomeKeyMessages) {
  struct Case {
    const char* name;
    QEvent::Type type;
    int key;
    bool autoRepeat;
    bool translated;
    zeph::KeyMessage message;
  };
  const Case cases[] = {
      {"shift down",
       QEvent::KeyPress,
       Qt::Key_Shift,
       false,
       true,
       {zeph::kMsgKeyDown, zeph::kVkShift}},
      {"ctrl up",
       QEvent::KeyRelease,
       Qt::Key_Control,
       false,
       true,
       {zeph::kMsgKeyUp, zeph::kVkControl}},
      {"repeated press",
       QEvent::KeyPress,
       Qt::Key_Left,
       true,
       true,
       {zeph::kMsgKeyDown, zeph::kVkLeft}},
      {"release between repeats", QEvent::KeyRelease, Qt::Key_Shift, true, false, {}},
      {"right", QEvent::KeyPress, Qt::Key_Right, false, true, {zeph::kMsgKeyDown, zeph::kVkRight}},
      {"delete",
       QEvent::KeyPress,
       Qt::Key_Delete,
       false,
       true,
       {zeph::kMsgKeyDown, zeph::kVkDelete}},
      {"F7", QEvent::KeyPress, Qt::Key_F7, false, true, {zeph::kMsgKeyDown, zeph::kVkF7}},
      {"other key", QEvent::KeyPress, Qt::Key_A, false, false, {}},
  };
  for (const Case& c : cases) {
    const QKeyEvent event(c.type, c.key, Qt::NoModifier, QString(), c.autoRepeat);
    zeph::KeyMessage message;
    EXPECT_EQ(zeph::TranslateKeyEvent(event, message), c.translated) << c.name;
    if (c.translated) {
      EXPECT_EQ(message, c.message) << c.name;
    }
  }
  QEvent other(QEvent::MouseButtonPress);
  zeph::KeyMessage message;
  EXPECT_FALSE(zeph::TranslateKeyEvent(other, message));

  // Shift held while Ctrl is pressed and released.
  for (const auto& [type, key] :
       {std::pair{QEvent::KeyPress, Qt::Key_Shift}, std::pair{QEvent::KeyPress, Qt::Key_Control},
        std::pair{QEvent::KeyRelease, Qt::Key_Control}}) {
    const QKeyEvent event(type, key, Qt::NoModifier);
    if (zeph::TranslateKeyEvent(event, message)) TrackModifierKeys(message);
  }
  EXPECT_EQ(g_keyState, kKeyStateShift);
}

TEST_F(QtDesktopTest, DialogGrowsWithItsControlsToALargerFont) {
  QDialog dialog;
  QFont small = dialog.font();
  small.setPixelSize(10);
  dialog.setFont(small);
  dialog.setGeometry(100, 100, 300, 200);
  auto* edit = new QLineEdit(&dialog);
  edit->setGeometry(10, 20, 120, 24);
  auto* combo = new QComboBox(&dialog);
  combo->setGeometry(10, 60, 120, 24);
  auto* picture = new QLabel(&dialog);
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::blue);
  picture->setPixmap(pixmap);
  picture->setGeometry(200, 20, 32, 32);

  zeph::CQtDialogWindow window(dialog);
  ASSERT_EQ(window.GetChildCount(), 3);
  EXPECT_EQ(window.GetChildKind(0), zeph::DialogChildKind::kOther);
  EXPECT_EQ(window.GetChildKind(1), zeph::DialogChildKind::kComboBox);
  EXPECT_EQ(window.GetChildKind(2), zeph::DialogChildKind::kRealSizePicture);

  zeph::DcFont large;
  large.face = QStringLiteral("Arial");
  large.height = 20;
  const zeph::TextMetrics before = window.GetOwnFontMetrics();
  const zeph::TextMetrics after = window.GetFontMetrics(large);
  const int oldLine = before.height + before.externalLeading;
  const int newLine = after.height + after.externalLeading;
  ASSERT_GT(newLine, oldLine);
  ScaleDialogToFont(window, large);

  EXPECT_EQ(dialog.width(), 300 * after.averageCharWidth / before.averageCharWidth);
  EXPECT_EQ(dialog.height(), 200 * newLine / oldLine);
  EXPECT_EQ(dialog.font().pixelSize(), 20);
  EXPECT_EQ(edit->font().pixelSize(), 20);
  EXPECT_EQ(edit->geometry().top(), 20 * newLine / oldLine);
  EXPECT_EQ(edit->geometry().right() + 1, 130 * after.averageCharWidth / before.averageCharWidth);
  EXPECT_EQ(picture->size(), QSize(32, 32));
}

}  // namespace
