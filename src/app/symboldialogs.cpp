#include "app/symboldialogs.h"

#include <QButtonGroup>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/valuedialogs.h"
#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/showdrawing.h"
#include "items/transform.h"
#include "platform/filedialogs.h"
#include "support/appservices.h"
#include "support/filescanner.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/strings.h"

namespace zeph {
namespace {

constexpr int kLogLibraryInit = 2305;
constexpr int kLogLibraryOther = 2306;
constexpr int kLogChooseSymbolInit = 2310;
constexpr int kLogReflectInit = 2352;
constexpr int kLogRotateInit = 2353;
constexpr int kLogEnlargeInit = 2354;
constexpr int kLogStretchInit = 2355;
constexpr int kIdsChooseMirrorLine = 242;
constexpr int kPreviewWidth = 300;
constexpr int kPreviewHeight = 220;

QFrame* AddPreviewArea(QWidget& dialog, int id) {
  auto* area = new QFrame(&dialog);
  area->setFrameShape(QFrame::Box);
  area->setFixedSize(kPreviewWidth, kPreviewHeight);
  SetControlId(area, id);
  return area;
}

QRadioButton* AddRadio(QWidget& dialog, QButtonGroup& group, int id, const QString& text) {
  auto* radio = new QRadioButton(text, &dialog);
  SetControlId(radio, id);
  group.addButton(radio, group.buttons().size());
  return radio;
}

void ExchangeText(CDataExchange& dx, QWidget& dialog, int id, QString& text) {
  if (dx.Failed()) return;
  auto* edit = qobject_cast<QLineEdit*>(FindControl(dialog, id));
  if (edit == nullptr) return;
  if (dx.IsSaving()) {
    dx.PrepareEditCtrl(id);
    text = edit->text();
  } else {
    edit->setText(text);
  }
}

void ExchangeDirection(CDataExchange& dx, QWidget& dialog, std::int32_t& value) {
  if (dx.Failed()) return;
  auto* first = qobject_cast<QAbstractButton*>(FindControl(dialog, kIdcFirstDirection));
  auto* second = qobject_cast<QAbstractButton*>(FindControl(dialog, kIdcSecondDirection));
  if (first == nullptr || second == nullptr) return;
  if (dx.IsSaving()) {
    value = first->isChecked() ? 0 : second->isChecked() ? 1 : -1;
  } else {
    first->setChecked(value == 0);
    second->setChecked(value == 1);
  }
}

// A field: a label and an edit box with its id.
QLayout* MakeEditRow(QWidget& dialog, const QString& caption, int id) {
  auto* label = new QLabel(caption, &dialog);
  auto* edit = new QLineEdit(&dialog);
  SetControlId(edit, id);
  label->setBuddy(edit);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(edit, 1);
  return row;
}

// A typed factor after the checks: false (the dialog stays) for zero or unreadable text.
bool ReadFactor(const QString& text, double& factor) {
  if (StringToDouble(text, factor) == 0) {
    ShowDialogWarning(kIdsPleaseTypeNumber, QString());
    return false;
  }
  return factor != 0;
}

}  // namespace

// ---- CChooseLibraryDialog ----

CChooseLibraryDialog::CChooseLibraryDialog(QWidget* parent) : CDialogPlus(kIddChooseLibrary, parent) {
  setWindowTitle(QStringLiteral("Choosing the symbol library"));
  auto* label = new QLabel(QStringLiteral("&Library:"), this);
  m_list = new QListWidget(this);
  SetControlId(m_list, kIdcLibraryList);
  label->setBuddy(m_list);
  m_list->setMinimumSize(240, 180);
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
  auto* fields = new QVBoxLayout;
  fields->addWidget(label);
  fields->addWidget(m_list, 1);
  auto* buttons = new QVBoxLayout;
  AddDialogButtons(*this, *buttons);
  auto* other = new QPushButton(QStringLiteral("&Other ..."), this);
  ConnectCommand(other, kIdcLibraryOther);
  buttons->insertWidget(2, other);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields, 1);
  layout->addLayout(buttons);
}

bool CChooseLibraryDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  LogScope trace(kLogLibraryInit);
  if (m_list == nullptr) {
    ReportGlitch(kLogLibraryInit, 1);
    return trace.Return(true, kLogInvalid, 1);
  }
  // Libraries in sub-folders are listed with their sub-folder; each row keeps the path it was
  // found under, so a library whose extension is not in capitals opens as listed.
  const QDir programFolder(g_programFolder);
  CFileScanner scanner(g_programFolder, QStringLiteral("*.ZSY"), true);
  while (CScanEntry* entry = scanner.NextFile()) {
    const QString path = entry->GetFullPath();
    QString shown = programFolder.relativeFilePath(path);
    shown.chop(4);
    auto* item = new QListWidgetItem(shown, m_list);
    item->setData(Qt::UserRole, path);
  }
  m_list->sortItems();
  return trace.Return(true);
}

void CChooseLibraryDialog::OnOK() {
  QListWidgetItem* item = m_list != nullptr ? m_list->currentItem() : nullptr;
  if (item == nullptr || !item->isSelected()) {
    m_path.clear();
    EndDialog(kIdCancel);
    return;
  }
  m_path = item->data(Qt::UserRole).toString();
  EndDialog(kIdOk);
}

bool CChooseLibraryDialog::OnCommand(int id) {
  if (id == kIdcLibraryOther) {
    OnOther();
    return true;
  }
  return CDialogPlus::OnCommand(id);
}

void CChooseLibraryDialog::OnOther() {
  LogScope trace(kLogLibraryOther);
  FileDialogRequest request;
  request.open = true;
  request.defaultExtension = QStringLiteral("ZSY");
  request.filter = QStringLiteral(" Symbol library files (*.zsy) |*.zsy| All files (*.*) |*.*||");
  request.title = QStringLiteral("Loading a symbol library file");
  request.flags = kOfnHideReadOnly | kOfnFileMustExist;
  const FileDialogResult result = GetFileDialogs().ShowFileDialog(request);
  if (result.answer != kIdOk) return trace.Exit(kLogOk, 1);
  m_path = result.path;
  if (!m_path.isEmpty()) EndDialog(kIdOk);
  trace.Exit();
}

// ---- CChooseSymbolDialog ----

CChooseSymbolDialog::CChooseSymbolDialog(QWidget* parent) : CDialogPlus(kIddChooseSymbol, parent) {
  setWindowTitle(QStringLiteral("Choosing a symbol"));
  QFrame* area = AddPreviewArea(*this, kIdcSymbolPreview);
  area->setFixedSize(420, 320);
  LayOutBesideButtons(*this, area, 0);
}

bool CChooseSymbolDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  m_preview = CreatePreview(*this, kIdcSymbolPreview, QStringLiteral("Library"),
                            kShowSymbolLibrary, kLogChooseSymbolInit);
  return true;
}

void CChooseSymbolDialog::OnOK() {
  if (m_preview != nullptr) m_preview->CopyPickedSymbol();
  EndDialog(kIdOk);
}

// ---- The transformations ----

CSymbolTransformDialog::CSymbolTransformDialog(int templateId, int showMode, int glitchCode,
                                               QWidget* parent)
    : CDialogPlus(templateId, parent), m_showMode(showMode), m_glitchCode(glitchCode) {}

void CSymbolTransformDialog::BuildLayout(QLayout* fields) {
  QFrame* area = AddPreviewArea(*this, kIdcTransformPreview);
  auto* column = new QVBoxLayout;
  column->addWidget(area);
  column->addLayout(fields);
  LayOutBesideButtons(*this, column, 1);
}

bool CSymbolTransformDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  m_preview = CreatePreview(*this, kIdcTransformPreview, QStringLiteral("Symbol"), m_showMode,
                            m_glitchCode);
  return true;
}

void CSymbolTransformDialog::OnOK() {
  if (!UpdateData(true)) return;
  CTransform transform;
  if (!MakeTransform(transform)) return;
  if (g_symbolDoc != nullptr) g_symbolDoc->TransformItems(transform, kTransformAllItems, kNoCopyIndex);
  EndDialog(kIdOk);
}

CSymbolMirrorDialog::CSymbolMirrorDialog(QWidget* parent)
    : CSymbolTransformDialog(kIddSymbolMirror, kShowSymbolReflect, kLogReflectInit, parent) {
  setWindowTitle(QStringLiteral("Reflecting a symbol"));
  auto* group = new QButtonGroup(this);
  auto* fields = new QVBoxLayout;
  fields->addWidget(AddRadio(*this, *group, kIdcFirstDirection, QStringLiteral("Vertical mirror line")));
  fields->addWidget(AddRadio(*this, *group, kIdcSecondDirection, QStringLiteral("Horizontal mirror line")));
  BuildLayout(fields);
}

void CSymbolMirrorDialog::DoDataExchange(CDataExchange& dx) {
  ExchangeDirection(dx, *this, m_mirrorLine);
}

bool CSymbolMirrorDialog::MakeTransform(CTransform& transform) {
  if (m_mirrorLine != 0 && m_mirrorLine != 1) {
    ShowDialogWarning(kIdsChooseMirrorLine,
                      QStringLiteral("Please choose a vertical or horizontal mirror line."));
    return false;
  }
  // A vertical mirror line mirrors x, a horizontal one y.
  transform.SetReflection(m_mirrorLine == 0 ? 1 : 0, 0);
  return true;
}

CSymbolRotateDialog::CSymbolRotateDialog(QWidget* parent)
    : CSymbolTransformDialog(kIddSymbolRotate, kShowSymbolRotate, kLogRotateInit, parent) {
  setWindowTitle(QStringLiteral("Rotating a symbol"));
  BuildLayout(MakeEditRow(*this, QStringLiteral("Angle of rotation: "), kIdcAngle));
}

void CSymbolRotateDialog::DoDataExchange(CDataExchange& dx) {
  ExchangeText(dx, *this, kIdcAngle, m_angleText);
  DDV_Number(dx, m_angleText);
}

bool CSymbolRotateDialog::MakeTransform(CTransform& transform) {
  double angle = 0;
  if (StringToDouble(m_angleText, angle) == 0) {
    ShowDialogWarning(kIdsPleaseTypeNumber, QString());
    return false;
  }
  transform.SetRotation(angle, 0, 0);
  return true;
}

CSymbolScaleDialog::CSymbolScaleDialog(QWidget* parent)
    : CSymbolTransformDialog(kIddSymbolScale, kShowSymbolEnlarge, kLogEnlargeInit, parent) {
  setWindowTitle(QStringLiteral("Scaling a symbol"));
  BuildLayout(MakeEditRow(*this, QStringLiteral("Scale factor: "), kIdcScaleFactor));
}

void CSymbolScaleDialog::DoDataExchange(CDataExchange& dx) {
  ExchangeText(dx, *this, kIdcScaleFactor, m_factorText);
  DDV_NonZeroNumber(dx, m_factorText);
}

bool CSymbolScaleDialog::MakeTransform(CTransform& transform) {
  double factor = 0;
  if (!ReadFactor(m_factorText, factor)) return false;
  transform.SetEnlargement(factor, 0, 0);
  return true;
}

CSymbolStretchDialog::CSymbolStretchDialog(QWidget* parent)
    : CSymbolTransformDialog(kIddSymbolStretch, kShowSymbolReflect, kLogStretchInit, parent) {
  setWindowTitle(QStringLiteral("Stretching a symbol"));
  auto* group = new QButtonGroup(this);
  auto* fields = new QVBoxLayout;
  fields->addLayout(MakeEditRow(*this, QStringLiteral("Stretch factor:  "), kIdcStretchFactor));
  fields->addWidget(AddRadio(*this, *group, kIdcFirstDirection, QStringLiteral("Stretch vertically")));
  fields->addWidget(AddRadio(*this, *group, kIdcSecondDirection, QStringLiteral("Stretch horizontally")));
  BuildLayout(fields);
}

void CSymbolStretchDialog::DoDataExchange(CDataExchange& dx) {
  ExchangeDirection(dx, *this, m_direction);
  ExchangeText(dx, *this, kIdcStretchFactor, m_factorText);
  if (dx.IsSaving() && !dx.Failed() && m_direction != 0 && m_direction != 1) {
    ShowDialogWarning(kIdsChooseMirrorLine,
                      QStringLiteral("Please choose a vertical or horizontal mirror line."));
    dx.Fail();
    return;
  }
  DDV_NonZeroNumber(dx, m_factorText);
}

bool CSymbolStretchDialog::MakeTransform(CTransform& transform) {
  double factor = 0;
  if (!ReadFactor(m_factorText, factor)) return false;
  transform.SetStretch(m_direction == 1 ? 1 : 0, factor, 0);
  return true;
}

}  // namespace zeph
