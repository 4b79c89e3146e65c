// The picture dialog: pasting from the clipboard (twice, then Cancel), the paste box following
// the clipboard, a typed path, and a pasted picture's reference kept through the dialog.
#include <QAbstractButton>

#include "app/picturedialog.h"
#include "dialogs_fixture.h"
#include "platform/picturecodec.h"
#include "platform/qt/qtpicturecodec.h"

namespace zeph::testing {
namespace {

class PictureDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    SetPictureCodec(&m_codec);
  }
  void TearDown() override {
    SetPictureCodec(nullptr);
    DialogTest::TearDown();
  }
  static void OnClipboard(std::vector<std::uint8_t> dib) {
    const bool present = !dib.empty();
    StandInDesktop().SetClipboardPicture(present, present ? DcSize{4, 3} : DcSize{});
    StandInDesktop().SetClipboardBitmap(std::move(dib));
  }
  static bool PasteEnabled(QDialog& d) { return FindControl(d, kIdcPasteFromClipboard)->isEnabled(); }
  static bool PasteChecked(QDialog& d) {
    return qobject_cast<QAbstractButton*>(FindControl(d, kIdcPasteFromClipboard))->isChecked();
  }

  CQtPictureCodec m_codec;
  CZephDoc m_doc;
};

TEST_F(PictureDialogTest, PastingTwiceThenCancelKeepsTheSecondRowAndFreesTheFirst) {
  OnClipboard(GreyDib(4, 3, 0x40));
  CChoosePictureDialog dialog;
  dialog.m_document = &m_doc;
  const int result = Run(dialog, [&](QDialog& d) {
    auto& picture = static_cast<CChoosePictureDialog&>(d);
    EXPECT_TRUE(picture.IsViewingClipboard());
    ASSERT_TRUE(PasteEnabled(d));
    Click(d, kIdcPasteFromClipboard);
    EXPECT_EQ(picture.GetPastedRow(), 0);
    EXPECT_TRUE(PasteChecked(d));
    Shoot(d, QStringLiteral("dialog_picture_pasted.png"));
    EXPECT_EQ(picture.IsPreviewLoaded(), 1);
    // A second, different picture pasted in the same dialog.
    OnClipboard(GreyDib(4, 3, 0xC0));
    Click(d, kIdcPasteFromClipboard);  // unchecked
    Click(d, kIdcPasteFromClipboard);  // checked again: pastes
    EXPECT_EQ(picture.GetPastedRow(), 1);
    static_cast<CDialogPlus&>(d).OnCommand(kIdCancel);
    EXPECT_FALSE(picture.IsViewingClipboard());
  });
  EXPECT_EQ(result, kIdCancel);
  EXPECT_TRUE(dialog.m_path.isEmpty());
  ASSERT_EQ(m_doc.GetPictureCount(), 2);
  EXPECT_EQ(m_doc.GetPictureSize(0), 0);
  EXPECT_GT(m_doc.GetPictureSize(1), 0);
}

TEST_F(PictureDialogTest, PasteBoxFollowsTheClipboardUnlessAPictureWasPasted) {
  OnClipboard({});
  CChoosePictureDialog dialog;
  dialog.m_document = &m_doc;
  Run(dialog, [&](QDialog& d) {
    auto& picture = static_cast<CChoosePictureDialog&>(d);
    EXPECT_FALSE(PasteEnabled(d));
    OnClipboard(GreyDib(2, 2, 0x80));
    picture.OnDrawClipboard();
    EXPECT_TRUE(PasteEnabled(d));
    OnClipboard({});
    picture.OnDrawClipboard();
    EXPECT_FALSE(PasteEnabled(d));
    OnClipboard(GreyDib(2, 2, 0x80));
    picture.OnDrawClipboard();
    Click(d, kIdcPasteFromClipboard);
    OnClipboard({});
    picture.OnDrawClipboard();
    EXPECT_TRUE(PasteEnabled(d));
    Ok(d);
  });
  // OK with the box checked chooses the pasted picture by its reference.
  EXPECT_EQ(dialog.m_path, m_doc.GetPictureReference(0));
  EXPECT_EQ(dialog.GetChosenRow(), 0);
}

TEST_F(PictureDialogTest, AReferenceRoundTripsAndATypedPathReplacesIt) {
  OnClipboard(GreyDib(4, 3, 0x40));
  ASSERT_EQ(m_doc.PastePicture(QStringLiteral("Plan")), 0);
  const QString reference = m_doc.GetPictureReference(0);
  ASSERT_TRUE(reference.startsWith(u'>'));
  {
    CChoosePictureDialog dialog;
    dialog.m_document = &m_doc;
    dialog.m_path = reference;
    const int result = Run(dialog, [&](QDialog& d) {
      EXPECT_EQ(GetControlText(*FindControl(d, kIdcPicturePath)), m_doc.GetPictureName(0));
      static_cast<CChoosePictureDialog&>(d).OnPathKillFocus();
      Shoot(d, QStringLiteral("dialog_picture_reference.png"));
      Ok(d);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.m_path, reference);
    EXPECT_EQ(dialog.GetReferencedRow(), 0);
  }
  {
    CChoosePictureDialog dialog;
    dialog.m_document = &m_doc;
    dialog.m_path = reference;
    Run(dialog, [&](QDialog& d) {
      SetText(d, kIdcPicturePath, QStringLiteral("/pictures/plan.png"));
      static_cast<CChoosePictureDialog&>(d).OnPathKillFocus();
      Ok(d);
    });
    EXPECT_EQ(dialog.m_path, QStringLiteral("/pictures/plan.png"));
  }
  // A reference to no picture of the drawing is dropped.
  CChoosePictureDialog stale;
  stale.m_document = &m_doc;
  stale.m_path = QStringLiteral(">99");
  Run(stale, [&](QDialog& d) {
    EXPECT_TRUE(GetControlText(*FindControl(d, kIdcPicturePath)).isEmpty());
    Ok(d);
  });
  EXPECT_TRUE(stale.m_path.isEmpty());
}

TEST_F(PictureDialogTest, WithoutADocumentTheDialogReportsAndPastesNothing) {
  OnClipboard(GreyDib(2, 2, 0x80));
  CChoosePictureDialog dialog;
  Run(dialog, [&](QDialog& d) {
    Click(d, kIdcPasteFromClipboard);
    static_cast<CDialogPlus&>(d).OnCommand(kIdCancel);
  });
  ExpectGlitch(2333, 1);
  EXPECT_EQ(dialog.GetPastedRow(), -1);
}

}  // namespace
}  // namespace zeph::testing
