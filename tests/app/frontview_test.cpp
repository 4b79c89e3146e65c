// The start screen: the colour set-up, the two layouts with and without the picture, the
// caption font fitted to small buttons, painting, the four buttons and the help key, and the
// sample drawings the program ships. Pictures of the screen go to render/app for a person to
// look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "app/frontview.h"
#include "document/document.h"
#include "document/drawingfile.h"
#include "editor/buttoncolours.h"
#include "editor/editingview.h"
#include "editor/editorstate.h"
#include "platform/filedialogs.h"
#include "platform/helpviewer.h"
#include "platform/presenter.h"
#include "platform/qt/imagecontext.h"
#include "platform/qt/qtfont.h"
#include "platform/qt/qtpicturecodec.h"
#include "support/appservices.h"
#include "support/filestatus.h"
#include "support/fontspec.h"
#include "support/help.h"
#include "support/log.h"
#include "support/picture.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace {

const QString kResources = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../resources");

QString RenderPath(const QString& name) {
  QDir().mkpath(QStringLiteral(ZEPH_RENDER_DIR));
  return QStringLiteral(ZEPH_RENDER_DIR "/") + name;
}

// The application as the start screen sees it.
class CFakeOwner final : public IFrontViewOwner {
 public:
  void ShowEditingView() override { ++editingShown; }
  QWidget* GetMainWindow() const override { return mainWindow; }
  int editingShown = 0;
  QWidget* mainWindow = nullptr;
};

// A main window that records the close request and refuses it, as a cancelled save would.
class CRecordingWindow final : public QWidget {
 public:
  int closeRequests = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closeRequests;
    event->ignore();
  }
};

// The height of a line of Arial 12 bold as the screen measures it.
int ButtonFontLineHeight() {
  CFontSpec spec;
  spec.Set(QStringLiteral("Arial"), 12, true, false);
  zeph::DcFont font;
  spec.CreateFont(&font, nullptr, 100, 0);
  QImage image(1, 1, QImage::Format_RGB32);
  zeph::CImageContext dc(image);
  dc.SelectFont(font);
  return GetLineHeight(dc);
}

QRect Geometry(const CFrontView& view, int index) {
  return view.GetButton(index) != nullptr ? view.GetButton(index)->geometry() : QRect();
}

class FrontViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLogState();
    ResetScreenState();
    ResetHelpState();
    ResetButtonColours();
    ResetFrontViewColours();
    ResetPictureState();
    ASSERT_TRUE(m_helpFolder.isValid());
    ASSERT_TRUE(QDir(m_helpFolder.path()).mkpath(QStringLiteral("Zeph/html")));
    SetHelpFileNames(m_helpFolder.path());
    zeph::GetBuiltInHelpViewer().Clear();
    zeph::SetPresenter(&m_presenter);
    zeph::SetFileDialogs(&m_files);
    zeph::SetPictureCodec(&m_pictures);
    m_savedProgramFolder = g_programFolder;
    g_programFolder = kResources;
    {
      QImage probe(1, 1, QImage::Format_RGB32);
      zeph::CImageContext dc(probe);
      SetUpDisplay(dc);
    }
    SetUpUiColours();
  }
  void TearDown() override {
    m_view.reset();
    zeph::SetFileDialogs(nullptr);
    zeph::SetPictureCodec(nullptr);
    zeph::SetPresenter(nullptr);
    g_programFolder = m_savedProgramFolder;
    zeph::GetBuiltInHelpViewer().Clear();
    ResetHelpState();
    ResetFrontViewColours();
    ResetButtonColours();
    ResetScreenState();
    if (!m_glitchExpected) {
      EXPECT_EQ(g_glitchCount, 0) << "glitch " << g_firstGlitchCode;
    }
    ResetLogState();
  }

  // A start screen of that size, ready and shown as start-up leaves it.
  CFrontView& MakeView(int width, int height) {
    m_view = std::make_unique<CFrontView>(nullptr, &m_document);
    m_view->SetOwner(&m_owner);
    m_view->resize(width, height);
    m_view->SetUpColours();
    m_view->EnablePainting();
    m_view->PrepareToShow();
    return *m_view;
  }

  // Paints the view as Qt would and answers what it shows.
  QImage Paint() {
    m_view->grab();
    return m_view->BackBuffer();
  }

  zeph::ScriptedPresenter m_presenter;
  zeph::CScriptedFileDialogs m_files;
  zeph::CQtPictureCodec m_pictures;
  QTemporaryDir m_helpFolder;
  QString m_savedProgramFolder;
  CZephDoc m_document;
  CFakeOwner m_owner;
  std::unique_ptr<CFrontView> m_view;
  bool m_glitchExpected = false;
};

// ---- Colours ----

TEST_F(FrontViewTest, ColourSetUpRunsOncePerRunAndMakesTheOverlayAndButtonColours) {
  CFrontView& view = MakeView(800, 600);
  EXPECT_EQ(g_viewAreaSize, QSize(800, 600));
  for (std::size_t i = 0; i < g_overlayXorColours.size(); ++i) {
    EXPECT_EQ(g_overlayXorColours[i],
              (g_colourTable[i] & zeph::kColourMask) ^ (g_backgroundColour & zeph::kColourMask))
        << i;
  }
  EXPECT_EQ(g_buttonHoverColour, LightenColour(g_buttonFaceColour, 0.4));
  EXPECT_EQ(g_buttonPressedColour, DarkenColour(g_buttonFaceColour, 0.1));
  // Once a run: a second call measures nothing again.
  view.resize(500, 400);
  view.SetUpColours();
  EXPECT_EQ(g_viewAreaSize, QSize(800, 600));
}

TEST_F(FrontViewTest, OnAPaletteDisplayTheOverlayColoursComeFromTheTableByEntry) {
  ResetScreenState();
  g_displaySetUpDone = 1;  // a palette display without free entries
  g_displayColourMode = kDisplayPaletteWithout;
  SetUpUiColours();
  CFrontView view;
  view.SetUpColours();
  const auto table = [](int i) { return g_colourTable[static_cast<std::size_t>(i)]; };
  for (int i = 0; i < 16; ++i) EXPECT_EQ(g_overlayXorColours[static_cast<std::size_t>(i)], table(15 - i));
  const std::pair<int, int> mapped[] = {{16, 3}, {17, 1}, {18, 4},  {19, 4}, {20, 1},
                                        {21, 2}, {22, 5}, {26, 1},  {27, 1}, {28, 1},
                                        {29, 4}, {30, 12}, {31, 1}, {32, 6}};
  for (const auto& [entry, from] : mapped) {
    EXPECT_EQ(g_overlayXorColours[static_cast<std::size_t>(entry)], table(from)) << entry;
  }
  for (int entry : {23, 24, 25, 33, 40, 44}) {
    EXPECT_EQ(g_overlayXorColours[static_cast<std::size_t>(entry)], 0U) << entry;
  }
}

// ---- Layout ----

TEST_F(FrontViewTest, WithThePictureTheButtonsStandInAColumnAtTheRightEdge) {
  const int lineHeight = ButtonFontLineHeight();
  struct Case {
    int width;
    int height;
    int top;
    int gap;
  };
  const int low = 12 * lineHeight + 185;
  const Case cases[] = {
      {1000, 700, 30, 15},       // roomy: 100 x 120 buttons
      {640, low, 30, 15},        // just tall enough for the wide margins
      {640, low - 1, 15, 5},     // a small window: narrow margins
      {300, 260, 15, 5},         // narrower than four buttons of 120
  };
  for (const Case& c : cases) {
    CFrontView& view = MakeView(c.width, c.height);
    ASSERT_EQ(view.IsPictureShown(), 1);
    ASSERT_EQ(view.GetButtonCount(), 4);
    const int h = std::min(100, (c.height + c.gap - 2 * c.top) / 4 - c.gap);
    const int w = std::min(120, c.width / 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Geometry(view, i),
                QRect(c.width - 30 - w, c.top + i * (h + c.gap), w, h))
          << c.width << "x" << c.height << " button " << i;
    }
  }
}

TEST_F(FrontViewTest, WithoutThePictureTheButtonsFormATwoByTwoGridInsideTheBorder) {
  ResetScreenState();
  g_displaySetUpDone = 1;  // a palette display short of entries never shows the picture
  g_displayColourMode = kDisplayPaletteWithout;
  SetUpUiColours();
  for (const QSize size : {QSize(1000, 700), QSize(640, 480)}) {
    CFrontView& view = MakeView(size.width(), size.height());
    ASSERT_EQ(view.IsPictureShown(), 0);
    const int left = view.GetLeftBand();
    EXPECT_GT(left, 40);  // the title's width and 40
    const int h = (size.height() - 20) / 3;
    const int w = (size.width() - 20 - left) / 3;
    const int right = (size.width() - 20 - left - 2 * w) / 3;
    const int top = (size.height() - 2 * h - 20) / 4;
    EXPECT_EQ(view.GetRightBand(), right);
    EXPECT_EQ(view.GetTopBand(), top);
    const int x0 = left + right;
    const int y0 = 2 * top;
    EXPECT_EQ(Geometry(view, 0), QRect(x0, y0, w, h));
    EXPECT_EQ(Geometry(view, 1), QRect(x0 + w + 20, y0, w, h));
    EXPECT_EQ(Geometry(view, 2), QRect(x0, y0 + h + 20, w, h));
    EXPECT_EQ(Geometry(view, 3), QRect(x0 + w + 20, y0 + h + 20, w, h));
    // The grid sits as far from the border on the left as on the right.
    EXPECT_NEAR(x0 - left, size.width() - right - Geometry(view, 3).right() - 1, 3);
    const QImage shown = Paint();
    EXPECT_EQ(shown.pixelColor(5, size.height() / 2), zeph::ToQColor(UiColour(18)));
    EXPECT_EQ(shown.pixelColor(size.width() / 2, size.height() - 3), zeph::ToQColor(UiColour(18)));
    if (size.width() == 1000) view.grab().save(RenderPath(QStringLiteral("front_view_border.png")));
  }
}

TEST_F(FrontViewTest, ButtonsCarryTheirCaptionsAndTheFocusStartsOnTheFirst) {
  CFrontView& view = MakeView(900, 650);
  // The lines are painted without the mnemonic's '&'; the letter still answers.
  const QStringList first{QStringLiteral("Tell me"), QStringLiteral("Create"),
                          QStringLiteral("Load"), QStringLiteral("Finish the")};
  const int ids[] = {kIdFrontTellMe, kIdFrontCreate, kIdFrontLoad, kIdFrontFinish};
  for (int i = 0; i < 4; ++i) {
    const zeph::CFrontButton* button = view.GetButton(i);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetId(), ids[i]);
    EXPECT_EQ(button->GetLine(0).trimmed(), first[i]);
    EXPECT_EQ(button->GetScheme(), zeph::kSchemeBlue);
    EXPECT_EQ(button->GetMnemonic(), first[i].at(0));
  }
  EXPECT_EQ(view.GetButton(3)->GetLineCount(), 2);
  EXPECT_EQ(view.GetButton(0)->GetLine(2).trimmed(), QStringLiteral("program"));
  view.show();
  QApplication::setActiveWindow(&view);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  view.PrepareToShow();
  EXPECT_EQ(QApplication::focusWidget(), view.GetButton(0));
}

TEST_F(FrontViewTest, CaptionFontShrinksInSmallButtonsButNeverBelowEightPoints) {
  // Roomy buttons keep the shared caption font.
  CFrontView& roomy = MakeView(1000, 700);
  EXPECT_FALSE(roomy.GetButton(0)->testAttribute(Qt::WA_SetFont));
  // Buttons too low for three lines get a smaller font; tiny ones stop at 8 points.
  CFrontView& low = MakeView(1000, 260);
  EXPECT_TRUE(low.GetButton(0)->testAttribute(Qt::WA_SetFont));
  const int lowHeight = low.GetButtonFont()->height;
  CFrontView& tiny = MakeView(200, 120);
  CFontSpec eight;
  eight.Set(QStringLiteral("Arial"), 8, true, false);
  zeph::DcFont eightPoints;
  eight.CreateFont(&eightPoints, nullptr, 100, 0);
  EXPECT_EQ(tiny.GetButtonFont()->height, eightPoints.height);
  EXPECT_GE(lowHeight, eightPoints.height);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(tiny.GetButton(i)->testAttribute(Qt::WA_SetFont));
}

TEST_F(FrontViewTest, ResizingLaysOutAgainOnlyWhenTheSizeChanges) {
  CFrontView& view = MakeView(1000, 700);
  view.show();
  const zeph::CFrontButton* before = view.GetButton(0);
  view.resize(1000, 700);
  EXPECT_EQ(view.GetButton(0), before);
  view.resize(800, 700);
  EXPECT_EQ(Geometry(view, 0).right(), 800 - 30 - 1);
  // Hidden: no buttons to lay out, and none made by a resize.
  view.Deactivate();
  view.resize(700, 500);
  EXPECT_EQ(view.GetButtonCount(), 0);
  EXPECT_EQ(view.GetButton(0), nullptr);
}

// ---- Painting ----

TEST_F(FrontViewTest, PaintsNothingBeforeStartUpHasFinished) {
  m_view = std::make_unique<CFrontView>(nullptr, &m_document);
  m_view->resize(400, 300);
  m_view->grab();
  EXPECT_TRUE(m_view->BackBuffer().isNull());
  m_view->EnablePainting();
  EXPECT_EQ(m_view->IsReady(), 1);
  EXPECT_FALSE(Paint().isNull());
}

TEST_F(FrontViewTest, ThePictureFillsTheScreenUnderTheTitle) {
  MakeView(1000, 700);
  const QImage shown = Paint();
  EXPECT_EQ(m_view->IsPictureShown(), 1);
  EXPECT_EQ(m_view->GetPicture().IsOk(), 1);
  // The sky at the top right, not the plain background.
  EXPECT_NE(shown.pixelColor(700, 5), QColor(Qt::white));
  // The title is drawn in blue somewhere in its corner.
  int blue = 0;
  for (int y = 10; y < 60; ++y) {
    for (int x = 20; x < 300; ++x) blue += shown.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
  }
  EXPECT_GT(blue, 50);
  m_view->grab().save(RenderPath(QStringLiteral("front_view.png")));
  // Hidden, the picture is let go and read again when next shown.
  m_view->Deactivate();
  EXPECT_EQ(m_view->GetPicture().IsOk(), 0);
  EXPECT_EQ(m_view->IsPictureShown(), 0);
  m_view->PrepareToShow();
  Paint();
  EXPECT_EQ(m_view->GetPicture().IsOk(), 1);
}

// Start-up lays the screen out before the main window is shown, at the toolkit's provisional
// size; the title must still be made for the size the user sees.
TEST_F(FrontViewTest, TheTitleIsMadeForTheSizeTheScreenIsShownAt) {
  auto bluePixels = [this] {
    const QImage shown = Paint();
    int blue = 0;
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 400; ++x) blue += shown.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
    }
    return blue;
  };
  MakeView(1000, 700);
  m_view->show();
  const int full = bluePixels();
  m_view.reset();
  MakeView(100, 30);  // laid out hidden, as start-up does
  m_view->resize(1000, 700);
  m_view->show();
  QApplication::processEvents();
  EXPECT_GT(full, 200);
  EXPECT_EQ(bluePixels(), full);
}

TEST_F(FrontViewTest, AMissingPictureFallsBackToTheBorderAtTheNextLayout) {
  QTemporaryDir empty;
  g_programFolder = empty.path();
  MakeView(1000, 700);
  m_view->show();
  Paint();
  EXPECT_EQ(m_view->IsPictureShown(), 0);
  EXPECT_EQ(m_view->GetPicture().GetState(), kImageFileNotFound);
  // The buttons keep their column until the screen is laid out again.
  EXPECT_EQ(Geometry(*m_view, 0).right(), 1000 - 30 - 1);
  m_view->resize(900, 650);
  EXPECT_EQ(Geometry(*m_view, 0).top(), Geometry(*m_view, 1).top());  // two by two now
  EXPECT_LT(Geometry(*m_view, 0).right(), Geometry(*m_view, 1).left());
  m_view->grab().save(RenderPath(QStringLiteral("front_view_without_picture.png")));
  EXPECT_EQ(m_presenter.shown().size(), 0U);  // no message
}

// ---- What the buttons do ----

TEST_F(FrontViewTest, TellMeAndTheHelpKeyShowTheProgramsFunctions) {
  CFrontView& view = MakeView(800, 600);
  view.GetButton(0)->click();
  view.show();
  QTest::keyClick(&view, Qt::Key_F1);
  const auto& requests = zeph::GetBuiltInHelpViewer().requests();
  ASSERT_EQ(requests.size(), 2U);
  for (const auto& request : requests) {
    EXPECT_EQ(request.page, QStringLiteral("html/topic_Zephorin_functions.htm"));
  }
  EXPECT_EQ(m_owner.editingShown, 0);
}

TEST_F(FrontViewTest, CreateShowsTheEditingView) {
  CFrontView& view = MakeView(800, 600);
  view.GetButton(1)->click();
  EXPECT_EQ(m_owner.editingShown, 1);
}

TEST_F(FrontViewTest, LoadOpensTheChosenDrawingAndShowsItButACancelStaysHere) {
  CFrontView& view = MakeView(800, 600);
  view.GetButton(2)->click();  // the file dialog cancelled
  EXPECT_EQ(m_owner.editingShown, 0);
  ASSERT_EQ(m_files.requests().size(), 1U);
  EXPECT_TRUE(m_files.requests()[0].filter.contains(QStringLiteral("*.zpd")));

  zeph::FileDialogResult chosen;
  chosen.answer = zeph::kIdOk;
  chosen.path = kResources + QStringLiteral("/samples/House.zpd");
  m_files.QueueResult(chosen);
  view.GetButton(2)->click();
  EXPECT_EQ(m_owner.editingShown, 1);
  EXPECT_GT(m_document.GetItemCount(), 10);
}

TEST_F(FrontViewTest, FinishAsksTheMainWindowToClose) {
  CRecordingWindow main;
  m_owner.mainWindow = &main;
  CFrontView& view = MakeView(800, 600);
  view.GetButton(3)->click();
  EXPECT_EQ(main.closeRequests, 1);
  // Without a main window the request has nowhere to go.
  m_owner.mainWindow = nullptr;
  view.GetButton(3)->click();
  m_glitchExpected = true;
  EXPECT_EQ(g_firstGlitchCode, 3406);
  EXPECT_EQ(g_firstGlitchNumber, 1);
}

// ---- The sample drawings ----

TEST_F(FrontViewTest, EverySampleDrawingOpens) {
  const QStringList samples =
      QDir(kResources + QStringLiteral("/samples")).entryList({QStringLiteral("*.zpd")});
  ASSERT_GE(samples.size(), 3);
  for (const QString& name : samples) {
    CZephDoc doc;
    EXPECT_EQ(doc.ReadDrawingFile(kResources + QStringLiteral("/samples/") + name, kReadOpen), 1)
        << name.toStdString();
    EXPECT_EQ(g_fileStatus, 0) << name.toStdString();
    EXPECT_GT(doc.GetItemCount(), 5) << name.toStdString();
  }
}

}  // namespace
