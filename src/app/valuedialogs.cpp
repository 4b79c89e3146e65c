#include "app/valuedialogs.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <new>
#include <type_traits>

#include "document/document.h"
#include "editor/showdrawing.h"
#include "items/measure.h"
#include "items/viewmapping.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/options.h"
#include "support/strings.h"
#include "support/textutil.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

constexpr int kLogChooseHatchInit = 2304;
constexpr int kLogChooseObjectInit = 2307;
constexpr int kLogChooseObjectOk = 2308;
constexpr int kLogChooseSettingInit = 2309;
constexpr int kLogPrintingScaleInit = 2350;
constexpr int kIdsObjectNameTooLong = 30;

QLineEdit* AddEdit(QWidget& dialog, int id) {
  auto* edit = new QLineEdit(&dialog);
  SetControlId(edit, id);
  return edit;
}

QRadioButton* AddRadio(QWidget& dialog, QButtonGroup& group, int id, const QString& text) {
  auto* radio = new QRadioButton(text, &dialog);
  SetControlId(radio, id);
  group.addButton(radio, group.buttons().size());
  return radio;
}

QComboBox* AddCombo(QWidget& dialog, int id, bool editable) {
  auto* combo = new QComboBox(&dialog);
  combo->setEditable(editable);
  combo->setInsertPolicy(QComboBox::NoInsert);
  SetControlId(combo, id);
  return combo;
}

// A check box's state in and out of an int32 member.
void ExchangeCheck(CDataExchange& dx, QWidget& dialog, int id, std::int32_t& value) {
  if (dx.Failed()) return;
  auto* box = qobject_cast<QAbstractButton*>(FindControl(dialog, id));
  if (box == nullptr) return;
  if (dx.IsSaving()) {
    value = box->isChecked() ? 1 : 0;
  } else {
    box->setChecked(value != 0);
  }
}

// The index of the checked button of a radio group (-1 none), given by its first button.
void ExchangeRadio(CDataExchange& dx, QWidget& dialog, int firstId, std::int32_t& value) {
  if (dx.Failed()) return;
  auto* first = qobject_cast<QAbstractButton*>(FindControl(dialog, firstId));
  if (first == nullptr || first->group() == nullptr) return;
  const QList<QAbstractButton*> buttons = first->group()->buttons();
  if (dx.IsSaving()) {
    value = -1;
    for (int i = 0; i < buttons.size(); ++i) {
      if (buttons[i]->isChecked()) value = i;
    }
    return;
  }
  for (int i = 0; i < buttons.size(); ++i) buttons[i]->setChecked(i == value);
}

// A length in and out of a combo box's text, through the program's length exchange.
class CComboLengthExchange final : public ILengthExchange {
 public:
  CComboLengthExchange(CDataExchange& dx, QComboBox& combo) : m_dx(dx), m_combo(combo) {}
  bool IsSaving() const override { return m_dx.IsSaving(); }
  void PrepareEditControl(int) override {}
  QString GetControlText(int, int maxCharacters) override {
    return m_combo.currentText().left(maxCharacters);
  }
  void SetControlText(int, const QString& text) override { m_combo.setEditText(text); }
  void Fail() override {
    m_dx.Fail();
    m_combo.setFocus();
    if (QLineEdit* edit = m_combo.lineEdit()) edit->selectAll();
  }

 private:
  CDataExchange& m_dx;
  QComboBox& m_combo;
};

}  // namespace

void ShowDialogWarning(int id, const QString& text) {
  const QString own = id != 0 ? LoadProgramString(id) : QString();
  GetPresenter().ShowMessageBox(own.isEmpty() ? text : own, QString::fromUtf16(kProductName),
                                kMbOk | kMbIconExclamation);
}

void AddDialogButtons(CDialogPlus& dialog, QBoxLayout& layout) {
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  dialog.ConnectCommand(ok, kIdOk);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  dialog.ConnectCommand(cancel, kIdCancel);
  auto* help = new QPushButton(QStringLiteral("&Help"), &dialog);
  dialog.ConnectCommand(help, kIdHelp);
  if (layout.direction() == QBoxLayout::LeftToRight) layout.addStretch();
  layout.addWidget(ok);
  layout.addWidget(cancel);
  layout.addWidget(help);
  if (layout.direction() == QBoxLayout::TopToBottom) layout.addStretch();
}

namespace {

// The buttons are made before the frame's layout, as the dialogs always made them.
template <typename Content>
void LayOutContentBesideButtons(CDialogPlus& dialog, Content* content, int stretch) {
  auto* buttons = new QVBoxLayout;
  AddDialogButtons(dialog, *buttons);
  auto* layout = new QHBoxLayout(&dialog);
  if constexpr (std::is_base_of_v<QLayout, Content>) {
    layout->addLayout(content, stretch);
  } else {
    layout->addWidget(content, stretch);
  }
  layout->addLayout(buttons);
}

}  // namespace

void LayOutBesideButtons(CDialogPlus& dialog, QLayout* content, int stretch) {
  LayOutContentBesideButtons(dialog, content, stretch);
}

void LayOutBesideButtons(CDialogPlus& dialog, QWidget* content, int stretch) {
  LayOutContentBesideButtons(dialog, content, stretch);
}

namespace {

// The one-value dialogs: the prompt above its field, beside the buttons.
void LayOutPromptAndField(CDialogPlus& dialog, QLabel& prompt, QWidget& field) {
  prompt.setBuddy(&field);
  auto* fields = new QVBoxLayout;
  fields->addWidget(&prompt);
  fields->addWidget(&field);
  fields->addStretch();
  LayOutBesideButtons(dialog, fields, 1);
}

}  // namespace

CShowDrawing* CreatePreview(CDialogPlus& dialog, int areaId, const QString& text, int mode,
                            int glitchCode) {
  QWidget* area = dialog.GetDlgItem(areaId);
  if (area == nullptr) {
    ReportGlitch(glitchCode, 2);
    return nullptr;
  }
  CShowDrawing* preview = nullptr;
  try {
    preview = new CShowDrawing(area);
  } catch (const std::bad_alloc&) {
    ReportGlitch(glitchCode, 1);
    return nullptr;
  }
  preview->setWindowTitle(text);
  SetControlId(preview, kIdShowDrawing);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->addWidget(preview);
  preview->resize(area->width() - 2, area->height() - 2);
  preview->SetShowMode(mode);
  return preview;
}

// ---- CChooseSettingDialog ----

CChooseSettingDialog::CChooseSettingDialog(QWidget* parent) : CDialogPlus(kIddChooseSetting, parent) {
  setWindowTitle(QStringLiteral("Choosing a value"));
  auto* prompt = new QLabel(QStringLiteral("Please type in the value"), this);
  SetControlId(prompt, kIdcPrompt);
  prompt->setWordWrap(true);
  LayOutPromptAndField(*this, *prompt, *AddEdit(*this, kIdcValue));
  setMinimumWidth(320);
}

bool CChooseSettingDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  if (m_prompt != 0) SetControlText(kIdcPrompt, LoadProgramString(m_prompt));
  if (m_helpTopic == kHelpTopicNotSet) {
    SetGlitchValue(m_prompt);
    ReportGlitch(kLogChooseSettingInit, 1);
  }
  return true;
}

void CChooseSettingDialog::DoDataExchange(CDataExchange& dx) {
  DDX_NumberOrBlank(dx, kIdcValue, m_value);
}

// ---- CPolygonSidesDialog ----

CPolygonSidesDialog::CPolygonSidesDialog(QWidget* parent) : CDialogPlus(kIddPolygonSides, parent) {
  setWindowTitle(QStringLiteral("Choosing polygon sides"));
  auto* prompt =
      new QLabel(QStringLiteral("Please type in the number of sides in the polygon:"), this);
  SetControlId(prompt, kIdcPrompt);
  LayOutPromptAndField(*this, *prompt, *AddEdit(*this, kIdcSides));
}

bool CPolygonSidesDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  return true;
}

void CPolygonSidesDialog::DoDataExchange(CDataExchange& dx) {
  DDX_ShortOrBlank(dx, kIdcSides, m_sides);
  if (dx.IsSaving() && !dx.Failed() && (m_sides < 3 || m_sides > 500)) {
    dx.PrepareEditCtrl(kIdcSides);
    ShowDialogWarning(0, QStringLiteral("Please type a whole number from 3 to 500."));
    dx.Fail();
  }
}

// ---- CGridSettingsDialog ----

CGridSettingsDialog::CGridSettingsDialog(QWidget* parent) : CDialogPlus(kIddGridSettings, parent) {
  setWindowTitle(QStringLiteral("Choosing the grid settings"));
  auto* snap = new QCheckBox(QStringLiteral(" &Snap to grid"), this);
  SetControlId(snap, kIdcGridSnap);
  auto* shown = new QCheckBox(QStringLiteral(" Always sho&wn"), this);
  SetControlId(shown, kIdcGridAlwaysShown);
  auto* hidden = new QCheckBox(QStringLiteral(" Always hidde&n"), this);
  SetControlId(hidden, kIdcGridAlwaysHidden);
  connect(shown, &QCheckBox::clicked, this, &CGridSettingsDialog::OnAlwaysShown);
  connect(hidden, &QCheckBox::clicked, this, &CGridSettingsDialog::OnAlwaysHidden);
  auto* colourLabel = new QLabel(QStringLiteral("Colo&ur:"), this);
  QComboBox* colour = AddCombo(*this, kIdcGridColour, false);
  colour->addItems({QStringLiteral("Blue"), QStringLiteral("Grey"), QStringLiteral("Green"),
                    QStringLiteral("Purple")});
  colourLabel->setBuddy(colour);

  auto* look = new QButtonGroup(this);
  QRadioButton* lines = AddRadio(*this, *look, kIdcGridLines, QStringLiteral(" &Lines"));
  QRadioButton* dots = AddRadio(*this, *look, kIdcGridDots, QStringLiteral(" &Dots"));
  auto* shape = new QButtonGroup(this);
  QRadioButton* square = AddRadio(*this, *shape, kIdcGridSquare, QStringLiteral("Squ&are"));
  QRadioButton* iso = AddRadio(*this, *shape, kIdcGridIsometric, QStringLiteral("&Isometric"));

  auto* sizeBox = new QGroupBox(QStringLiteral("Grid size"), this);
  auto* sizeLayout = new QVBoxLayout(sizeBox);
  auto* sizes = new QButtonGroup(this);
  const char16_t* texts[7] = {u" 1 mm", u" 2 mm", u" 5 mm", u" 1 cm", u" 2 cm", u" 5 cm", u" 10 cm"};
  for (int i = 0; i < 7; ++i) {
    sizeLayout->addWidget(AddRadio(*sizeBox, *sizes, kGridSizeButtons[i], QString::fromUtf16(texts[i])));
  }

  auto* fields = new QGridLayout;
  fields->addWidget(snap, 0, 0, 1, 2);
  fields->addWidget(shown, 1, 0, 1, 2);
  fields->addWidget(hidden, 2, 0, 1, 2);
  fields->addWidget(colourLabel, 3, 0);
  fields->addWidget(colour, 3, 1);
  fields->addWidget(lines, 4, 0);
  fields->addWidget(dots, 4, 1);
  fields->addWidget(square, 5, 0);
  fields->addWidget(iso, 5, 1);
  fields->setRowStretch(6, 1);
  auto* buttons = new QVBoxLayout;
  AddDialogButtons(*this, *buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(sizeBox);
  layout->addLayout(buttons);
}

void CGridSettingsDialog::GridSizeLabels(double realWorldScale, QString labels[7]) {
  // Just under a tenth, so that a scale of exactly 1 starts at 1 mm and not 2 mm.
  double step = realWorldScale * 0.099999999;
  RoundToNiceStep(step, nullptr);
  const double factors[7] = {1.0, 2.0, 2.5, 2.0, 2.0, 2.5, 2.0};
  for (int i = 0; i < 7; ++i) {
    step *= factors[i];
    FormatMeasurement(step, labels[i], 20, 2, kUnitsPreference);
  }
}

bool CGridSettingsDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  QString labels[7];
  GridSizeLabels(g_realWorldScale, labels);
  for (int i = 0; i < 7; ++i) SetControlText(kGridSizeButtons[i], QStringLiteral(" ") + labels[i]);
  return true;
}

void CGridSettingsDialog::DoDataExchange(CDataExchange& dx) {
  ExchangeCheck(dx, *this, kIdcGridSnap, m_snap);
  ExchangeCheck(dx, *this, kIdcGridAlwaysHidden, m_alwaysHidden);
  ExchangeCheck(dx, *this, kIdcGridAlwaysShown, m_alwaysShown);
  ExchangeRadio(dx, *this, kIdcGridLines, m_linesOrDots);
  ExchangeRadio(dx, *this, kIdcGridSquare, m_squareOrIsometric);
  ExchangeRadio(dx, *this, kGridSizeButtons[0], m_gridSize);
  if (dx.Failed()) return;
  if (auto* colour = qobject_cast<QComboBox*>(GetDlgItem(kIdcGridColour))) {
    if (dx.IsSaving()) {
      m_colour = colour->currentIndex();
    } else {
      colour->setCurrentIndex(m_colour >= 0 && m_colour < colour->count() ? m_colour : -1);
    }
  }
}

void CGridSettingsDialog::OnAlwaysShown(bool checked) {
  if (!checked) return;
  if (auto* hidden = qobject_cast<QAbstractButton*>(GetDlgItem(kIdcGridAlwaysHidden))) {
    hidden->setChecked(false);
  }
}

void CGridSettingsDialog::OnAlwaysHidden(bool checked) {
  if (!checked) return;
  if (auto* shown = qobject_cast<QAbstractButton*>(GetDlgItem(kIdcGridAlwaysShown))) {
    shown->setChecked(false);
  }
}

// ---- CPrintingScaleDialog ----

CPrintingScaleDialog::CPrintingScaleDialog(QWidget* parent)
    : CDialogPlus(kIddPrintingScale, parent) {
  setWindowTitle(QStringLiteral("Choosing the printing scale"));
  auto* group = new QGroupBox(QStringLiteral("&Printing scale"), this);
  auto* unit = new QLabel(QStringLiteral("1cm to "), group);
  SetControlId(unit, kIdcScaleUnit);
  m_scaleList = AddCombo(*group, kIdcScaleList, true);
  m_scaleList->setMinimumWidth(140);
  auto* automatic = new QCheckBox(QStringLiteral("&Automatic scale"), group);
  SetControlId(automatic, kIdcAutomaticScale);
  auto* row = new QHBoxLayout;
  row->addWidget(unit);
  row->addWidget(m_scaleList, 1);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addLayout(row);
  groupLayout->addWidget(automatic);
  connect(automatic, &QCheckBox::clicked, this, &CPrintingScaleDialog::OnAutomaticClicked);
  connect(m_scaleList, &QComboBox::editTextChanged, this, &CPrintingScaleDialog::OnScaleEdited);
  connect(m_scaleList, &QComboBox::activated, this, &CPrintingScaleDialog::OnScaleEdited);
  LayOutBesideButtons(*this, group, 1);
}

void CPrintingScaleDialog::ScaleSeries(double automaticScale, double values[4]) {
  const double multipliers[3] = {2.0, 2.5, 2.0};
  double v = automaticScale;
  DecimalMagnitude(v);
  int next = 0;
  for (int step = 0; step < 3 && automaticScale > v; ++step) {
    v *= multipliers[next];
    next = (next + 1) % 3;
  }
  for (int i = 0; i < 4; ++i) {
    values[i] = v;
    v *= multipliers[next];
    next = (next + 1) % 3;
  }
}

bool CPrintingScaleDialog::OnInitDialog() {
  m_loading = true;
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  static constexpr const char16_t* kUnitTexts[4] = {u"1mm to ", u"1cm to ", u"1m to ", u"1km to "};
  int units = GetOptionShort(kOptionDisplayUnits);
  if (units < 1 || units > 4) units = 2;
  QString unitText = LoadProgramString(433 + units);
  if (unitText.isEmpty()) unitText = QString::fromUtf16(kUnitTexts[units - 1]);
  SetControlText(kIdcScaleUnit, unitText);
  if (m_scaleList == nullptr) {
    ReportGlitch(kLogPrintingScaleInit, 1);
  } else {
    double values[4];
    ScaleSeries(m_automaticScale, values);
    const QString current = m_scaleList->currentText();
    for (double value : values) {
      QString text;
      FormatLength(value, text, 40);
      m_scaleList->addItem(text);
    }
    m_scaleList->setEditText(current);
  }
  m_loading = false;
  return true;
}

void CPrintingScaleDialog::DoDataExchange(CDataExchange& dx) {
  if (m_scaleList != nullptr && !dx.Failed()) {
    CComboLengthExchange exchange(dx, *m_scaleList);
    ExchangeLength(exchange, kIdcScaleList, m_scale);
  }
  ExchangeCheck(dx, *this, kIdcAutomaticScale, m_automatic);
}

void CPrintingScaleDialog::OnAutomaticClicked(bool checked) {
  if (!checked) return;
  m_scale = m_automaticScale;
  m_automatic = 1;
  m_loading = true;
  UpdateData(false);
  m_loading = false;
}

void CPrintingScaleDialog::OnScaleEdited() {
  if (m_loading) return;
  if (auto* automatic = qobject_cast<QAbstractButton*>(GetDlgItem(kIdcAutomaticScale))) {
    automatic->setChecked(false);
  }
}

// ---- CRealWorldScaleDialog ----

CRealWorldScaleDialog::CRealWorldScaleDialog(QWidget* parent)
    : CDialogPlus(kIddRealWorldScale, parent) {
  setWindowTitle(QStringLiteral("Choosing the real world scale"));
  auto* label = new QLabel(QStringLiteral("&Real world scale:"), this);
  m_list = AddCombo(*this, kIdcRealWorldScale, true);
  label->setBuddy(m_list);
  // The 1-2-5 series from 0.001 to 100000000.
  static constexpr const char* kSteps[3] = {"1", "2", "5"};
  for (int exponent = -3; exponent <= 8; ++exponent) {
    for (int k = 0; k < 3; ++k) {
      if (exponent == 8 && k > 0) break;
      QString text;
      if (exponent < 0) {
        text = QStringLiteral("0.") + QString(-exponent - 1, u'0') + QLatin1String(kSteps[k]);
      } else {
        text = QLatin1String(kSteps[k]) + QString(exponent, u'0');
      }
      m_list->addItem(text);
    }
  }
  m_list->installEventFilter(this);
  auto* fields = new QHBoxLayout;
  fields->addWidget(label);
  fields->addWidget(m_list, 1);
  auto* column = new QVBoxLayout;
  column->addLayout(fields);
  column->addStretch();
  LayOutBesideButtons(*this, column, 1);
}

bool CRealWorldScaleDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  return true;
}

void CRealWorldScaleDialog::DoDataExchange(CDataExchange& dx) {
  if (dx.Failed()) return;
  if (dx.IsSaving()) {
    m_scaleText = m_list->currentText();
  } else {
    m_list->setEditText(m_scaleText);
  }
}

bool CRealWorldScaleDialog::eventFilter(QObject* watched, QEvent* event) {
  // The list drops down as the box gets the focus, so the scales are seen at once.
  // It opens once the box has taken the focus: opened while the box still handles its focus
  // event, the list would lose the focus again at once (by Tab or by its label's key).
  if (watched == m_list && event->type() == QEvent::FocusIn && isVisible() &&
      static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
    QTimer::singleShot(0, this, [this]() { DropList(); });
  }
  return CDialogPlus::eventFilter(watched, event);
}

void CRealWorldScaleDialog::DropList() {
  if (!isVisible() || !m_list->hasFocus() || m_list->view()->isVisible()) return;
  // The open list marks the scale the box shows, or none when the box shows another.
  const QString text = m_list->currentText();
  const int row = m_list->findText(text, Qt::MatchExactly);
  if (row != m_list->currentIndex()) {
    m_list->setCurrentIndex(row);
    m_list->setEditText(text);
  }
  m_list->showPopup();
}

// ---- CChooseHatchDialog ----

CChooseHatchDialog::CChooseHatchDialog(QWidget* parent) : CDialogPlus(kIddChooseHatch, parent) {
  setWindowTitle(QStringLiteral("Choosing a hatch pattern"));
  auto* area = new QFrame(this);
  area->setFrameShape(QFrame::Box);
  area->setFixedSize(460, 360);
  SetControlId(area, kIdcHatchPreview);
  LayOutBesideButtons(*this, area, 0);
}

CChooseHatchDialog::~CChooseHatchDialog() = default;

bool CChooseHatchDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  m_preview = CreatePreview(*this, kIdcHatchPreview, QStringLiteral("Hatch patterns"),
                            kShowHatchSamples, kLogChooseHatchInit);
  return true;
}

void CChooseHatchDialog::OnOK() {
  m_chosenPattern = m_preview != nullptr ? m_preview->GetChosenHatch() : -1;
  EndDialog(kIdOk);
}

// ---- CChooseObjectDialog ----

CChooseObjectDialog::CChooseObjectDialog(QWidget* parent) : CDialogPlus(kIddChooseObject, parent) {
  setWindowTitle(QStringLiteral("Choosing an object"));
  auto* prompt = new QLabel(
      QStringLiteral("Please type in the name of the new object\nor choose an object from the list:"),
      this);
  SetControlId(prompt, kIdcPrompt);
  LayOutPromptAndField(*this, *prompt, *AddCombo(*this, kIdcObjectList, true));
}

bool CChooseObjectDialog::OnInitDialog() {
  CDialogPlus::OnInitDialog();
  ScaleAndCentre();
  LogScope trace(kLogChooseObjectInit);
  if (m_document == nullptr) {
    ReportGlitch(kLogChooseObjectInit, 1);
    return trace.Return(true, kLogInvalid, 1);
  }
  auto* list = qobject_cast<QComboBox*>(GetDlgItem(kIdcObjectList));
  if (list == nullptr) {
    ReportGlitch(kLogChooseObjectInit, 2);
    return trace.Return(true, kLogInvalid, 2);
  }
  list->clear();
  const int count = m_document->RebuildObjectList();
  for (int position = 0; position < count; ++position) {
    list->addItem(m_document->GetObjectNameAt(position, 1));
  }
  list->setEditText(QString());
  return trace.Return(true);
}

void CChooseObjectDialog::OnOK() {
  LogScope trace(kLogChooseObjectOk);
  auto* list = qobject_cast<QComboBox*>(GetDlgItem(kIdcObjectList));
  if (list == nullptr) {
    ReportGlitch(kLogChooseObjectOk, 1);
    CDialogPlus::OnOK();
    return;
  }
  m_objectNumber = -1;
  const QString text = list->currentText().trimmed();
  std::int16_t number = -1;
  if (TextToShort(text, number) != 0 && number >= 0) {
    m_objectNumber = number;
  } else if (text.left(7).compare(QStringLiteral("Object "), Qt::CaseInsensitive) == 0) {
    number = -1;
    if (TextToShort(text.mid(7).trimmed(), number) != 0 && number >= 0) m_objectNumber = number;
  }
  if (m_objectNumber < 0 && m_document != nullptr) {
    const int found = m_document->FindObjectByName(text);
    if (found >= 0) m_objectNumber = static_cast<std::int16_t>(found);
  }
  if (m_objectNumber < 0) {
    if (text.size() > kObjectNameLength) {
      ShowDialogWarning(kIdsObjectNameTooLong,
                        QStringLiteral("An object name cannot contain\nmore than 16 characters."));
      list->setFocus();
      trace.Exit(kLogHandled, 1);
      return;
    }
    if (m_document != nullptr) {
      const int free = m_document->GetFreeObjectNumber(1);
      m_objectNumber = static_cast<std::int16_t>(free);
      m_document->SetObjectName(free, text);
    }
  }
  EndDialog(kIdOk);
  trace.Exit();
}

}  // namespace zeph
