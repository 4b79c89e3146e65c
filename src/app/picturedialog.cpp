#include "app/picturedialog.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/valuedialogs.h"
#include "controls/bufferedwnd.h"
#include "document/document.h"
#include "platform/drawcontext.h"
#include "support/datafolders.h"
#include "support/log.h"
#include "support/picture.h"
#include "support/textutil.h"

namespace zeph {
namespace {

constexpr int kLogBrowse = 2330;
constexpr int kLogChainChanged = 2331;
constexpr int kLogClipboardChanged = 2332;
constexpr int kLogInit = 2333;
constexpr int kLogPreview = 2334;
constexpr int kLogPaste = 2335;

// The preview area: the dialog paints the picture into it.
class CPicturePreview final : public CBufferedWnd {
 public:
  CPicturePreview(CChoosePictureDialog& dialog, QWidget* parent)
      : CBufferedWnd(parent), m_dialog(dialog) {}
  void OnPaint(CDrawContext& dc) override { m_dialog.DrawPreview(dc, width(), height()); }

 private:
  CChoosePictureDialog& m_dialog;
};

// The symbolic form of a path where it has one.
QString ShownPath(const QString& path) {
  const QString symbolic = ContractSamplePath(path);
  return symbolic.isEmpty() ? path : symbolic;
}

}  // namespace

CChoosePictureDialog::CChoosePictureDialog(QWidget* parent)
    : CDialogPlus(kIddChoosePicture, parent), m_preview(std::make_unique<CImage>()) {
  setWindowTitle(QStringLiteral("Picture"));
  auto* label = new QLabel(QStringLiteral("&Pathname:"), this);
  auto* edit = new QLineEdit(this);
  SetControlId(edit, kIdcPicturePath);
  label->setBuddy(edit);
  connect(edit, &QLineEdit::editingFinished, this, &CChoosePictureDialog::OnPathKillFocus);
  auto* paste = new QPushButton(QStringLiteral("&Paste from clipboard"), this);
  paste->setCheckable(true);
  ConnectCommand(paste, kIdcPasteFromClipboard);
  auto* browse = new QPushButton(QStringLiteral("&Browse"), this);
  ConnectCommand(browse, kIdcBrowsePicture);
  auto* preview = new CPicturePreview(*this, this);
  preview->setFixedSize(320, 240);
  SetControlId(preview, kIdcPicturePreview);

  auto* fields = new QGridLayout;
  fields->addWidget(label, 0, 0);
  fields->addWidget(edit, 0, 1);
  fields->addWidget(browse, 0, 2);
  fields->addWidget(paste, 1, 1);
  fields->addWidget(preview, 2, 0, 1, 3, Qt::AlignCenter);
  LayOutBesideButtons(*this, fields, 1);
}

CChoosePictureDialog::~CChoosePictureDialog() {
  LeaveClipboardViewers();
  if (m_previewLoaded != 0) m_preview->Release(kImageNotOpened);
}

bool CChoosePictureDialog::OnInitDialog() {
  m_chosenRow = -1;
  if (m_document == nullptr) {
    ReportGlitch(kLogInit, 1);
    CDialogPlus::OnInitDialog();
    ScaleAndCentre();
    return true;
  }
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  if (GetDlgItem(kIdcPasteFromClipboard) == nullptr) ReportGlitch(kLogInit, 2);
  if (GetDlgItem(kIdcPicturePreview) == nullptr) ReportGlitch(kLogInit, 3);
  UpdatePasteEnabled();
  return true;
}

void CChoosePictureDialog::UpdatePasteEnabled() {
  if (GetDlgItem(kIdcPasteFromClipboard) == nullptr) return;
  EnableControl(kIdcPasteFromClipboard, m_pastedRow >= 0 || ClipboardHasPicture() != 0 ? 1 : 0);
}

void CChoosePictureDialog::DoDataExchange(CDataExchange& dx) {
  auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kIdcPicturePath));
  if (!dx.IsSaving()) {
    m_referencedRow = -1;
    m_pastedRow = -1;
    QString shown;
    if (m_path.startsWith(u'>')) {
      const int row = m_document != nullptr ? m_document->FindPictureByReference(m_path) : -1;
      if (row >= 0) {
        m_referencedRow = static_cast<std::int16_t>(row);
        shown = ShownPath(m_document->GetPictureName(row));
      } else {
        m_path.clear();
      }
    } else {
      shown = ShownPath(m_path);
    }
    if (edit != nullptr) edit->setText(shown);
    JoinClipboardViewers();
    return;
  }
  if (GetButtonCheck(kIdcPasteFromClipboard) == 1) {
    if (m_document != nullptr && m_pastedRow >= 0) {
      m_path = m_document->GetPictureReference(m_pastedRow);
      m_chosenRow = m_pastedRow;
    } else {
      m_path.clear();
    }
  } else if (m_referencedRow >= 0 && edit != nullptr && m_document != nullptr &&
             edit->text() == ShownPath(m_document->GetPictureName(m_referencedRow))) {
    // The pasted picture the dialog opened with, unchanged: its reference stays.
    m_chosenRow = m_referencedRow;
  } else {
    m_path = edit != nullptr ? edit->text() : QString();
    ExpandSamplePath(m_path);
  }
  LeaveClipboardViewers();
}

void CChoosePictureDialog::OnCancel() {
  LeaveClipboardViewers();
  CDialogPlus::OnCancel();
}

bool CChoosePictureDialog::OnCommand(int id) {
  if (id == kIdcPasteFromClipboard) {
    OnPaste();
    return true;
  }
  if (id == kIdcBrowsePicture) {
    OnBrowse();
    return true;
  }
  return CDialogPlus::OnCommand(id);
}

void CChoosePictureDialog::OnPaste() {
  LogScope trace(kLogPaste);
  auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kIdcPicturePath));
  auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(kIdcPasteFromClipboard));
  if (edit == nullptr || box == nullptr) return trace.Exit(kLogInvalid, 1);
  if (m_document == nullptr) {
    ReportGlitch(kLogPaste, 1);
    return trace.Exit(kLogInvalid, 2);
  }
  if (GetDlgItem(kIdcPicturePreview) == nullptr) {
    ReportGlitch(kLogPaste, 2);
    return trace.Exit(kLogInvalid, 3);
  }
  if (box->isChecked()) {
    const int row = m_document->PastePicture(m_pasteName);
    if (row < 0) {
      if (m_pastedRow < 0) {
        box->setChecked(false);
      } else {
        edit->clear();
      }
    } else {
      if (m_pastedRow >= 0 && row != m_pastedRow) m_document->FreePictureData(m_pastedRow);
      m_pastedRow = static_cast<std::int16_t>(row);
      edit->clear();
    }
  }
  InvalidatePreview();
  trace.Exit();
}

void CChoosePictureDialog::OnPathKillFocus() {
  auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kIdcPicturePath));
  if (edit == nullptr) return;
  QString typed = edit->text();
  ExpandSamplePath(typed);
  if (typed == m_path) return;
  // A pasted picture the dialog opened with shows its name, not a path: left alone it stays.
  if (m_referencedRow >= 0 && m_document != nullptr &&
      edit->text() == ShownPath(m_document->GetPictureName(m_referencedRow))) {
    return;
  }
  m_path = typed;
  m_referencedRow = -1;
  if (auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(kIdcPasteFromClipboard))) {
    box->setChecked(false);
  }
  InvalidatePreview();
}

void CChoosePictureDialog::OnBrowse() {
  LogScope trace(kLogBrowse);
  if (IsWebAddress(m_path) != 0) m_path.clear();
  QString path = m_path.startsWith(u'>') ? QString() : m_path;
  if (ChoosePictureFile(path, QStringLiteral("Picture")) == 0) return trace.Exit(kLogOk, 1);
  m_path = path;
  m_referencedRow = -1;
  if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kIdcPicturePath))) {
    edit->setText(ShownPath(path));
  }
  if (auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(kIdcPasteFromClipboard))) {
    box->setChecked(false);
  }
  InvalidatePreview();
  trace.Exit();
}

void CChoosePictureDialog::OnDrawClipboard() {
  LogScope trace(kLogClipboardChanged);
  if (GetDlgItem(kIdcPicturePreview) == nullptr) ReportGlitch(kLogClipboardChanged, 1);
  UpdatePasteEnabled();
  trace.Exit();
}

void CChoosePictureDialog::JoinClipboardViewers() {
  if (m_viewing) return;
  LogAction(kLogChainChanged, 1, kLogProgress);
  if (QClipboard* clipboard = QGuiApplication::clipboard()) {
    connect(clipboard, &QClipboard::dataChanged, this, &CChoosePictureDialog::OnDrawClipboard);
  }
  m_viewing = true;
}

void CChoosePictureDialog::LeaveClipboardViewers() {
  if (!m_viewing) return;
  LogAction(kLogChainChanged, 2, kLogProgress);
  if (QClipboard* clipboard = QGuiApplication::clipboard()) {
    disconnect(clipboard, &QClipboard::dataChanged, this, &CChoosePictureDialog::OnDrawClipboard);
  }
  m_viewing = false;
}

void CChoosePictureDialog::InvalidatePreview() {
  if (auto* preview = qobject_cast<CBufferedWnd*>(GetDlgItem(kIdcPicturePreview))) {
    preview->Invalidate();
    preview->UpdateWindow();
  }
}

void CChoosePictureDialog::DrawPreview(CDrawContext& dc, int width, int height) {
  LogScope trace(kLogPreview);
  dc.FillRect({0, 0, width, height}, 0x00FFFFFF);
  if (m_previewLoaded != 0) {
    m_preview->Release(kImageNotOpened);
    m_previewLoaded = 0;
  }
  const int checked = GetButtonCheck(kIdcPasteFromClipboard);
  if (checked < 0) {
    ReportGlitch(kLogPreview, 2);
    return trace.Exit(kLogInvalid, 2);
  }
  if (m_document == nullptr) {
    ReportGlitch(kLogPreview, 3);
    return trace.Exit(kLogInvalid, 3);
  }
  const DcRect rect{1, 1, width - 2, height - 2};
  if (checked == 1 && m_pastedRow >= 0) {
    m_preview->LoadFromMemory(m_document->GetPictureData(m_pastedRow),
                              static_cast<unsigned>(m_document->GetPictureSize(m_pastedRow)));
  } else if (m_referencedRow >= 0) {
    m_preview->LoadFromMemory(m_document->GetPictureData(m_referencedRow),
                              static_cast<unsigned>(m_document->GetPictureSize(m_referencedRow)));
  } else {
    m_preview->LoadFromFile(m_path);
  }
  m_previewLoaded = m_preview->IsOk();
  if (m_preview->Draw(&dc, rect, kFitWhole, 0) == 0) m_preview->DrawErrorFrame(&dc, rect);
  trace.Exit();
}

}  // namespace zeph
