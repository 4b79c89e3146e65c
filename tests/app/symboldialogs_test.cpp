// The symbol dialogs: the library list from a folder tree, choosing a symbol in the preview,
// and the four transformations of the selected symbol with their checks.
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include "app/symboldialogs.h"
#include "dialogs_fixture.h"
#include "editor/showdrawing.h"
#include "items/textitem.h"
#include "platform/filedialogs.h"
#include "support/appservices.h"
#include "support/constants.h"
#include "support/fontspec.h"

namespace zeph::testing {
namespace {

class SymbolDialogsTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    // An L-shaped symbol: a horizontal and a vertical line from (0, 0).
    AddToSymbol(MakeDialogLine(0, 0, 4000, 0, 1));
    AddToSymbol(MakeDialogLine(0, 0, 0, 2000, 1));
  }
  void TearDown() override {
    g_programFolder = m_savedProgramFolder;
    DialogTest::TearDown();
  }
  static void AddToSymbol(DrawItemPtr item) { ASSERT_EQ(g_symbolDoc->AddItem(item), 1); }
  static std::vector<int> SymbolCoordinates() {
    std::vector<int> values;
    for (int i = 0; i < g_symbolDoc->GetItemCount(); ++i) {
      if (g_symbolDoc->GetItem(i)->GetType() != kItemLine) continue;
      int x1 = 0;
      int y1 = 0;
      int x2 = 0;
      int y2 = 0;
      g_symbolDoc->GetItem(i)->GetStart(x1, y1);
      g_symbolDoc->GetItem(i)->GetEnd(x2, y2);
      values.insert(values.end(), {x1, y1, x2, y2});
    }
    return values;
  }
  // Runs a transformation dialog that types text into edit (0: none) and checks radio (0: none).
  int RunTransform(CDialogPlus& dialog, int edit, const QString& text, int radio,
                   const QString& picture = QString()) {
    return Run(dialog, [&](QDialog& d) {
      if (edit != 0) SetText(d, edit, text);
      if (radio != 0) Click(d, radio);
      if (!picture.isEmpty()) Shoot(d, picture);
      Ok(d);
    });
  }

  QString m_savedProgramFolder = g_programFolder;
};

TEST_F(SymbolDialogsTest, ReflectingTwiceRestoresTheSymbol) {
  const std::vector<int> before = SymbolCoordinates();
  for (int line : {kIdcFirstDirection, kIdcSecondDirection}) {
    SCOPED_TRACE(line);
    CSymbolMirrorDialog first;
    ASSERT_EQ(RunTransform(first, 0, QString(), line,
                           line == kIdcFirstDirection ? QStringLiteral("dialog_symbol_reflect.png")
                                                      : QString()),
              kIdOk);
    const std::vector<int> mirrored = SymbolCoordinates();
    EXPECT_NE(mirrored, before);
    // A vertical mirror line turns x round, a horizontal one y.
    EXPECT_EQ(mirrored[2], line == kIdcFirstDirection ? -4000 : 4000);
    EXPECT_EQ(mirrored[7], line == kIdcFirstDirection ? 2000 : -2000);
    CSymbolMirrorDialog second;
    ASSERT_EQ(RunTransform(second, 0, QString(), line), kIdOk);
    EXPECT_EQ(SymbolCoordinates(), before);
  }
  // Without a mirror line the dialog stays open.
  CSymbolMirrorDialog none;
  EXPECT_EQ(RunTransform(none, 0, QString(), 0), 0);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
  EXPECT_EQ(m_presenter.shown()[0].text,
            QStringLiteral("Please choose a vertical or horizontal mirror line."));
  EXPECT_EQ(SymbolCoordinates(), before);
}

TEST_F(SymbolDialogsTest, EnlargingByMinusTwoKeepsATextVisibleAtTwiceItsSize) {
  auto text = std::make_unique<CTextItem>();
  text->SetPosition(1000, 500);
  text->SetText(QStringLiteral("abc"));
  CFontSpec font;
  font.Set(QStringLiteral("Arial"), 12, false, false);
  text->SetFont(font);
  DrawItemPtr item = std::move(text);
  AddToSymbol(std::move(item));
  CSymbolScaleDialog dialog;
  ASSERT_EQ(RunTransform(dialog, kIdcScaleFactor, QStringLiteral("-2"), 0,
                         QStringLiteral("dialog_symbol_enlarge.png")),
            kIdOk);
  const CDrawItem* scaled = g_symbolDoc->GetItem(2);
  EXPECT_EQ(scaled->GetFont()->GetSize(), 24);
  EXPECT_EQ(scaled->IsValid(), 1);
  EXPECT_NEAR(scaled->GetTextAngle(), kPi, 1e-12);
  int x = 0;
  int y = 0;
  static_cast<const CTextItem*>(scaled)->GetPosition(x, y);
  EXPECT_EQ(x, -2000);
  EXPECT_EQ(y, -1000);
  EXPECT_EQ(SymbolCoordinates()[2], -8000);
}

TEST_F(SymbolDialogsTest, FactorsAndAnglesMustBeNumbers) {
  struct Case {
    int dialog;  // 0 enlarge, 1 rotate, 2 stretch
    const char* text;
    const char* message;  // null: accepted
  };
  const Case cases[] = {
      {0, "0", "Please type a number which is not zero."},
      {0, "abc", "Please type a number."},
      {0, "1.5", nullptr},
      {1, "abc", "Please type a number."},
      {1, "90", nullptr},
      {2, "0", "Please type a number which is not zero."},
      {2, "3", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    m_presenter.Clear();
    const std::vector<int> before = SymbolCoordinates();
    int result = 0;
    if (c.dialog == 0) {
      CSymbolScaleDialog d;
      result = RunTransform(d, kIdcScaleFactor, QString::fromUtf8(c.text), 0);
    } else if (c.dialog == 1) {
      CSymbolRotateDialog d;
      result = RunTransform(d, kIdcAngle, QString::fromUtf8(c.text), 0,
                            QStringLiteral("dialog_symbol_rotate.png"));
    } else {
      CSymbolStretchDialog d;
      result = RunTransform(d, kIdcStretchFactor, QString::fromUtf8(c.text), kIdcSecondDirection,
                            QStringLiteral("dialog_symbol_stretch.png"));
    }
    if (c.message == nullptr) {
      EXPECT_EQ(result, kIdOk);
      EXPECT_TRUE(m_presenter.shown().empty());
      EXPECT_NE(SymbolCoordinates(), before);
    } else {
      EXPECT_EQ(result, 0);
      ASSERT_EQ(m_presenter.shown().size(), 1u);
      EXPECT_EQ(m_presenter.shown()[0].text, QString::fromUtf8(c.message));
      EXPECT_EQ(SymbolCoordinates(), before);
    }
  }
}

TEST_F(SymbolDialogsTest, StretchingHorizontallyScalesXOnly) {
  CSymbolStretchDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Stretching a symbol"));
  ASSERT_EQ(RunTransform(dialog, kIdcStretchFactor, QStringLiteral("2"), kIdcSecondDirection),
            kIdOk);
  EXPECT_EQ(SymbolCoordinates(), (std::vector<int>{0, 0, 8000, 0, 0, 0, 0, 2000}));
  CSymbolStretchDialog vertical;
  ASSERT_EQ(RunTransform(vertical, kIdcStretchFactor, QStringLiteral("3"), kIdcFirstDirection),
            kIdOk);
  EXPECT_EQ(SymbolCoordinates(), (std::vector<int>{0, 0, 8000, 0, 0, 0, 0, 6000}));
}

TEST_F(SymbolDialogsTest, LibraryListFindsEveryCaseOfTheExtensionBelowTheProgramFolder) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Plans/Old")));
  for (const char* name : {"Shapes.ZSY", "Plans/Garden.zsy", "Plans/Old/Kitchen.Zsy", "notes.txt",
                           "Plans/readme.zsy.bak"}) {
    QFile file(folder.path() + u'/' + QString::fromUtf8(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  g_programFolder = folder.path();
  CChooseLibraryDialog dialog;
  const int result = Run(dialog, [&](QDialog& d) {
    auto* list = qobject_cast<QListWidget*>(FindControl(d, kIdcLibraryList));
    ASSERT_NE(list, nullptr);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Plans/Garden"), QStringLiteral("Plans/Old/Kitchen"),
                                  QStringLiteral("Shapes")}));
    list->setCurrentRow(1);
    Shoot(d, QStringLiteral("dialog_symbol_library.png"));
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_EQ(dialog.m_path, folder.path() + QStringLiteral("/Plans/Old/Kitchen.Zsy"));
  EXPECT_TRUE(QFile::exists(dialog.m_path));
}

TEST_F(SymbolDialogsTest, LibraryOkWithoutASelectionIsCancelAndOtherTakesAnyFile) {
  QTemporaryDir folder;
  g_programFolder = folder.path();
  CChooseLibraryDialog empty;
  EXPECT_EQ(Run(empty, [](QDialog& d) { Ok(d); }), kIdCancel);
  EXPECT_TRUE(empty.m_path.isEmpty());

  ScriptedFileDialogs().Clear();
  FileDialogResult chosen;
  chosen.answer = kIdOk;
  chosen.path = QStringLiteral("/somewhere/else.zsy");
  ScriptedFileDialogs().QueueResult(chosen);
  CChooseLibraryDialog other;
  EXPECT_EQ(Run(other, [](QDialog& d) { Click(d, kIdcLibraryOther); }), kIdOk);
  EXPECT_EQ(other.m_path, QStringLiteral("/somewhere/else.zsy"));
  ASSERT_EQ(ScriptedFileDialogs().requests().size(), 1u);
  EXPECT_EQ(ScriptedFileDialogs().requests()[0].title, QStringLiteral("Loading a symbol library file"));
}

TEST_F(SymbolDialogsTest, ChoosingASymbolCopiesThePickedObject) {
  DrawItemPtr first = MakeDialogLine(0, 0, 10000, 0, 30001);
  ASSERT_EQ(g_symbolLibraryDoc->AddItem(first), 1);
  DrawItemPtr second = MakeDialogLine(20000, 0, 30000, 5000, 30002);
  ASSERT_EQ(g_symbolLibraryDoc->AddItem(second), 1);
  CChooseSymbolDialog dialog;
  const int result = Run(dialog, [&](QDialog& d) {
    Shoot(d, QStringLiteral("dialog_choose_symbol.png"));
    CShowDrawing* preview = static_cast<CChooseSymbolDialog&>(d).GetPreview();
    ASSERT_NE(preview, nullptr);
    const QPoint at(preview->GetMapping().DrawingToDeviceX(30000),
                    preview->GetMapping().DrawingToDeviceY(5000));
    QTest::mouseClick(preview, Qt::LeftButton, {}, at);
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  ASSERT_EQ(g_symbolDoc->GetItemCount(), 1);
  EXPECT_EQ(g_symbolDoc->GetItem(0)->GetObjectNumber(), 30002);
  EXPECT_EQ(SymbolCoordinates(), (std::vector<int>{-10000, -5000, 0, 0}));
}

}  // namespace
}  // namespace zeph::testing
