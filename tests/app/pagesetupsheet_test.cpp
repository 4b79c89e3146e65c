// File > Page setup: what OK writes into the drawing's print settings and when that marks
// the drawing changed, the margins' refusals, the option defaults before any drawing was
// shown, and the footer font.
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QRadioButton>

#include "app/pagesetupsheet.h"
#include "document/document.h"
#include "document/printsettings.h"
#include "sheets_fixture.h"

namespace zeph::testing {
namespace {

class PageSetupSheetTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    m_doc.GetPrintSettings().LoadFromOptions();
    ASSERT_EQ(m_doc.IsChanged(), 0);
  }
  CZephDoc m_doc;
};

TEST_F(PageSetupSheetTest, OkWithoutAChangeLeavesTheDrawingUnchanged) {
  Play([](CPropertySheetPlus& sheet) {
    for (int page = 0; page < sheet.GetPageCount(); ++page) sheet.SetActivePage(page);
    Ok(sheet);
  });
  EXPECT_EQ(ShowPageSetupSheet(nullptr, &m_doc, 0), kIdOk);
  EXPECT_EQ(m_doc.IsChanged(), 0);
}

TEST_F(PageSetupSheetTest, TheOrientationAloneMarksTheDrawingChanged) {
  const int other = m_doc.GetPrintSettings().GetLandscape() != 0 ? 0 : 1;
  Play([other](CPropertySheetPlus& sheet) {
    On<QRadioButton>(sheet, 0, kIdcPortrait + other)->setChecked(true);
    Ok(sheet);
  });
  EXPECT_EQ(ShowPageSetupSheet(nullptr, &m_doc, 0), kIdOk);
  EXPECT_EQ(m_doc.GetPrintSettings().GetLandscape(), other);
  EXPECT_EQ(m_doc.IsChanged(), 1);
}

TEST_F(PageSetupSheetTest, AMarginMustBeANumberNotBelowZero) {
  struct Case {
    const char* typed;
    const char* message;
  };
  const Case cases[] = {{"-1", "Please type a positive number."}, {"two", "Please type a number."}};
  for (const Case& c : cases) {
    m_presenter.Clear();
    Play([&](CPropertySheetPlus& sheet) {
      On<QLineEdit>(sheet, 1, kIdcLeftMargin)->setText(QString::fromLatin1(c.typed));
      Ok(sheet);
      EXPECT_EQ(sheet.GetActiveIndex(), 1) << "the page stays";
      EXPECT_EQ(sheet.result(), 0) << "the sheet stays open";
      Cancel(sheet);
    });
    EXPECT_EQ(ShowPageSetupSheet(nullptr, &m_doc, 0), kIdCancel);
    ASSERT_EQ(m_presenter.shown().size(), 1u) << c.typed;
    EXPECT_EQ(m_presenter.shown()[0].text, QString::fromLatin1(c.message));
    EXPECT_EQ(m_doc.IsChanged(), 0);
  }
}

TEST_F(PageSetupSheetTest, BeforeAnyDrawingWasShownTheChangeBecomesTheDefault) {
  struct Case {
    int noDrawingShownYet;
    double defaultAfter;
  };
  const double before = m_doc.GetPrintSettings().GetLeftMargin();
  const Case cases[] = {{0, before}, {1, 3.5}};
  for (const Case& c : cases) {
    ResetOptionsState();
    m_doc.GetPrintSettings().LoadFromOptions();
    Play([](CPropertySheetPlus& sheet) {
      On<QLineEdit>(sheet, 1, kIdcLeftMargin)->setText(QStringLiteral("3.5"));
      Ok(sheet);
    });
    EXPECT_EQ(ShowPageSetupSheet(nullptr, &m_doc, c.noDrawingShownYet), kIdOk);
    EXPECT_EQ(m_doc.GetPrintSettings().GetLeftMargin(), 3.5);
    CPrintSettings defaults;
    defaults.LoadFromOptions();
    EXPECT_EQ(defaults.GetLeftMargin(), c.defaultAfter) << c.noDrawingShownYet;
  }
}

TEST_F(PageSetupSheetTest, TheFooterFontComesFromTheFontDialog) {
  QString shown;
  QString after;
  Play([&](CPropertySheetPlus& sheet) {
    auto* page = static_cast<CPrintFooterPage*>(sheet.GetPage(2));
    sheet.SetActivePage(2);
    shown = qobject_cast<QLabel*>(FindControl(*page, kIdcFontDescription))->text();
    // The font dialog, played in turn.
    CScriptedDialogRunner fonts([](QDialog& dialog) {
      auto& fontDialog = static_cast<QFontDialog&>(dialog);
      QFont font(QStringLiteral("DejaVu Serif"));
      font.setPointSize(14);
      font.setBold(true);
      fontDialog.setCurrentFont(font);
      dialog.accept();
    });
    SetDialogRunner(&fonts);
    page->OnFont();
    SetDialogRunner(m_runner.get());
    after = page->GetFontDescription();
    Ok(sheet);
  });
  EXPECT_EQ(ShowPageSetupSheet(nullptr, &m_doc, 0), kIdOk);
  EXPECT_FALSE(shown.isEmpty());
  EXPECT_TRUE(after.startsWith(QStringLiteral("DejaVu Serif 14pt bold"))) << after.toStdString();
  EXPECT_EQ(m_doc.IsChanged(), 1);
}

TEST_F(PageSetupSheetTest, NoDrawingNoSheet) {
  EXPECT_EQ(ShowPageSetupSheet(nullptr, nullptr, 0), kIdCancel);
}

TEST_F(PageSetupSheetTest, PicturesOfThePages) {
  Play([](CPropertySheetPlus& sheet) {
    SaveSheetPictures(sheet, QStringLiteral("pagesetup"));
    Cancel(sheet);
  });
  ShowPageSetupSheet(nullptr, &m_doc, 0);
  EXPECT_TRUE(QFile::exists(QStringLiteral(ZEPH_RENDER_DIR "/pagesetup_2.png")));
}

}  // namespace
}  // namespace zeph::testing
