// The running program on the offscreen platform, as a user meets it: the start screen, a new
// drawing, two lines drawn with the Line tool, Save as, New, the drawing opened again from the
// recent files, and printing to a PDF file. Pictures of the start screen and the main window
// are written for a person to look at.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>

#include "app_fixture.h"
#include "directprint.h"
#include "common/pdfpage.h"
#include "document/drawingfile.h"
#include "document/wholedrawing.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "items/geometry.h"
#include "items/itemservices.h"
#include "items/textitem.h"
#include "platform/filedialogs.h"
#include "platform/printersystem.h"
#include "platform/qt/qtpicturecodec.h"
#include "platform/qt/qtprintersystem.h"
#include "platform/recordingcontext.h"
#include "support/fontspec.h"
#include "support/picture.h"
#include "support/printer.h"

namespace zeph::testing {
namespace {

void SavePicture(QWidget& widget, const char* name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  widget.grab().save(QDir(QStringLiteral(ZEPH_RENDER_DIR)).filePath(QString::fromLatin1(name)));
}

class EndToEndTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    m_printers = std::make_unique<CQtPrinterSystem>(FilePath(QStringLiteral("printed.pdf")));
    SetPrinterSystem(m_printers.get());
    SetFileDialogs(&m_files);
    SetPictureCodec(&m_pictures);
    m_driver = std::make_unique<CDirectPrintDriver>(GetPrintJobDriver());
    SetPrintJobDriver(m_driver.get());
  }
  void TearDown() override {
    AppTest::TearDown();
    SetPrintJobDriver(nullptr);
    SetFileDialogs(nullptr);
    SetPictureCodec(nullptr);
    DeletePrinterDC();
    SetPrinterSystem(nullptr);
    ResetPrinterState();
  }

  // The program as main() starts it, with its own views.
  CZephApp& StartProgram() {
    // The start screen's picture, as the program finds it beside itself.
    QFile::copy(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../resources/Zeph.bkg"),
                FilePath(QStringLiteral("Zeph.bkg")));
    m_app = std::make_unique<CZephApp>();
    m_app->InitInstance(QString());
    Frame().resize(1000, 700);
    QApplication::processEvents();
    return *m_app;
  }

  std::unique_ptr<CQtPrinterSystem> m_printers;
  std::unique_ptr<CDirectPrintDriver> m_driver;
  CScriptedFileDialogs m_files;
  CQtPictureCodec m_pictures;
};

TEST_F(EndToEndTest, DrawSaveReopenFromRecentFilesAndPrint) {
  m_glitchExpected = true;  // the views' own checks are theirs
  CZephApp& app = StartProgram();
  ASSERT_EQ(app.GetActiveViewCode(), kViewFront);
  SavePicture(Frame(), "start_screen.png");

  // Create: a new drawing in the editing view.
  app.OnFileNew();
  ASSERT_EQ(app.GetActiveViewCode(), kViewEditing);
  auto* view = qobject_cast<CEditingView*>(app.GetEditingView());
  ASSERT_NE(view, nullptr);
  QApplication::processEvents();
  view->SelectTool(kToolLine, 0);
  CEditDrawing* window = view->GetDrawingWindow();
  ASSERT_NE(window, nullptr);
  for (const QPoint p : {QPoint(60, 200), QPoint(300, 200), QPoint(300, 60)}) {
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, p);
  }
  CZephDoc& doc = *app.GetActiveDocument();
  ASSERT_EQ(doc.GetItemCount(), 2);
  SavePicture(Frame(), "main_window.png");

  // Save as.
  const QString path = FilePath(QStringLiteral("two lines.zpd"));
  FileDialogResult chosen;
  chosen.answer = kIdOk;
  chosen.path = path;
  m_files.QueueResult(chosen);
  ASSERT_TRUE(Frame().RunCommand(cmd::kFileSaveAs));
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_EQ(app.GetRecentFiles().Paths().value(0), path);

  // New, then the drawing again from the recent files.
  ASSERT_TRUE(Frame().RunCommand(cmd::kFileNew));
  EXPECT_EQ(doc.GetItemCount(), 0);
  ASSERT_TRUE(Frame().RunCommand(cmd::kFileMru1));
  EXPECT_EQ(doc.GetItemCount(), 2);
  EXPECT_EQ(app.GetActiveViewCode(), kViewEditing);

  // Print to a PDF file.
  ASSERT_TRUE(Frame().RunCommand(cmd::kFilePrint));
  QFile pdf(FilePath(QStringLiteral("printed.pdf")));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
  EXPECT_GT(pdf.size(), 500);
  // The printed page shows the two lines, and is kept for a person to look at.
  QString why;
  const QImage page = RenderPdfPage(pdf.fileName(), 1, 50, why);
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  if (page.isNull()) GTEST_SKIP() << "pdftoppm is not installed";
  // The drawing is fitted to the paper, so its horizontal line crosses most of the page.
  int longestRow = 0;
  for (int y = 0; y < page.height(); ++y) {
    int dark = 0;
    for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 160 ? 1 : 0;
    longestRow = std::max(longestRow, dark);
  }
  EXPECT_GT(longestRow, page.width() / 2);
  page.save(QStringLiteral(ZEPH_RENDER_DIR "/printed_page.png"));
}

// What the items and the pictures ask of the layers above them, the program answers itself:
// texts and dimensions measure with the editing view (a text can be picked, an old text has a
// width), and a picture that cannot be shown writes why with the program's word wrapping.
TEST_F(EndToEndTest, TheProgramLendsTheItemsItsViewAndItsLayout) {
  m_glitchExpected = true;
  CZephApp& app = StartProgram();
  app.OnFileNew();
  auto* view = qobject_cast<CEditingView*>(app.GetEditingView());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(GetEditingView(), view);
  const CViewMapping& mapping = view->GetDrawingWindow()->GetMapping();
  CZephDoc& doc = *app.GetActiveDocument();
  // A text, and a line farther from the cursor than the text's box.
  DrawItemPtr made = CreateItem(kItemText);
  CFontSpec font;
  font.Set(QStringLiteral("Arial"), 40, false, false);
  made->SetFont(font);
  const int x = mapping.DeviceToDrawingX(100);
  const int y = mapping.DeviceToDrawingY(100, 0);
  made->SetPosition(x, y);
  made->SetText(QStringLiteral("Hello there"));
  const CDrawItem* text = made.get();
  ASSERT_EQ(doc.AddItem(made), 1);
  DrawItemPtr line = CreateItem(kItemLine);
  line->SetStart(x, mapping.DeviceToDrawingY(160, 0));
  line->SetEnd(mapping.DeviceToDrawingX(300), mapping.DeviceToDrawingY(160, 0));
  line->SetLineStyle(kLineStyleUnbroken);
  ASSERT_EQ(doc.AddItem(line), 1);
  // The cursor on the text's first letters, below its anchor.
  g_cursorPoint = {mapping.DeviceToDrawingX(106), mapping.DeviceToDrawingY(108, 0)};
  EXPECT_LT(text->GetPickDistance(&mapping), 3.0 * mapping.scaleX);
  EXPECT_EQ(doc.FindNearestItem(&mapping, kPickAnyItem, nullptr, 0.0), text);
  EXPECT_GT(GetOldTextMeasurer().MeasureTextWidth(font, QStringLiteral("Hello")), 0);

  CImage missing;
  CRecordingContext dc;
  missing.DrawErrorFrame(&dc, {0, 0, 300, 100});
  const auto& calls = dc.calls();
  EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const DcCall& call) {
    return call.op == DcOp::kTextOut || call.op == DcOp::kTextOutClipped;
  })) << "the picture's message is written";

  // The view goes with the program, and the items no longer measure with it.
  m_app.reset();
  EXPECT_EQ(GetEditingView(), nullptr);
}

// Undo and Redo by their keys, as a person presses them with no menu opened: every Ctrl+Y
// after a run of Ctrl+Z redoes, and the toolbar shows what can be done at every moment.
TEST_F(EndToEndTest, UndoAndRedoByTheirKeysWithNoMenuOpened) {
  m_glitchExpected = true;
  CZephApp& app = StartProgram();
  app.OnFileNew();
  auto* view = qobject_cast<CEditingView*>(app.GetEditingView());
  ASSERT_NE(view, nullptr);
  Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
  QApplication::processEvents();
  view->SelectTool(kToolLine, 0);
  CEditDrawing* window = view->GetDrawingWindow();
  for (const QPoint p : {QPoint(60, 200), QPoint(300, 200), QPoint(300, 60), QPoint(60, 60)}) {
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, p);
  }
  CZephDoc& doc = *app.GetActiveDocument();
  ASSERT_EQ(doc.GetItemCount(), 3);
  QApplication::processEvents();
  QAction* undo = Frame().Commands().Action(cmd::kEditUndo);
  QAction* redo = Frame().Commands().Action(cmd::kEditRedo);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  const auto press = [](Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, Qt::ControlModifier);
  };
  for (int i = 0; i < 3; ++i) press(Qt::Key_Z);
  EXPECT_EQ(doc.GetItemCount(), 0);
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_TRUE(redo->isEnabled());
  for (int i = 0; i < 3; ++i) press(Qt::Key_Y);
  EXPECT_EQ(doc.GetItemCount(), 3);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
}

}  // namespace
}  // namespace zeph::testing
