// The values bar's editors: what a click on a field opens, how the typed or chosen value is
// checked, where it goes (a parameter for the next item, or the selected item through its
// setters, which record the undo steps), and the editors' keys.
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "controls/colourdialog.h"
#include "controls/edits.h"
#include "controls/input.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "document/undostep.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
#include "editor/editordialogs.h"
#include "editor/editorstate.h"
#include "editor/toolparams.h"
#include "editor/valuesbarparams.h"
#include "editor/viewparts.h"
#include "items/bezieritem.h"
#include "items/dimensionitem.h"
#include "items/drawitem.h"
#include "items/ellipseitem.h"
#include "items/fillitem.h"
#include "items/geometry.h"
#include "items/hatch.h"
#include "items/measure.h"
#include "items/textitem.h"
#include "items/valuefields.h"
#include "platform/presenter.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/strings.h"
#include "support/textfile.h"
#include "support/uiutil.h"

using zeph::DcRect;

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr int kMaxEditText = 50;
constexpr int kMaxObjectNameLength = 16;

// Key options of the edit box: Enter, Esc and Tab go to the view; the object chooser's also
// the navigation keys.
constexpr std::uint32_t kValueEditKeys =
    zeph::kEditForwardEnter | zeph::kEditForwardEscape | zeph::kEditForwardTab;
constexpr std::uint32_t kChooserEditKeys = kValueEditKeys | zeph::kEditForwardNavigation;

// Refusal messages.
constexpr int kMsgLength = 20;
constexpr int kMsgAngle = 21;
constexpr int kMsgScale = 22;
constexpr int kMsgActions = 25;
constexpr int kMsgDecimals = 28;
constexpr int kMsgNameTooLong = 30;
constexpr int kMsgImpossibleArc = 31;
constexpr int kMsgRadius = 32;
constexpr int kMsgNameUsed = 33;
constexpr int kMsgSides = 34;
constexpr int kMsgFontWidth = 36;

QString BuiltInMessage(int id) {
  switch (id) {
    case kMsgLength:
      return QStringLiteral("Please type a proper value for this length.");
    case kMsgAngle:
      return QStringLiteral("Please type a proper value for this angle.");
    case kMsgScale:
      return QStringLiteral("Please type a proper value for the scale factor.");
    case kMsgActions:
      return QStringLiteral("Please type a positive whole number\nfor the number of actions.");
    case kMsgDecimals:
      return QStringLiteral(
          "Please type a whole number between 0 and 255\nfor the number of decimal places.");
    case kMsgNameTooLong:
      return QStringLiteral("An object name cannot contain\nmore than 16 characters.");
    case kMsgImpossibleArc:
      return QStringLiteral("This angle is not possible for an  arc.");
    case kMsgRadius:
      return QStringLiteral("Please type a proper value for the radius.");
    case kMsgNameUsed:
      return QStringLiteral("This object name has already been used.");
    case kMsgSides:
      return QStringLiteral(
          "Please type a whole number between 3 and 1000\nfor the number of sides in the "
          "polygon.");
    case kMsgFontWidth:
      return QStringLiteral(
          "Please type a whole number between 10 and 1000\nfor the percentage width of the "
          "font.");
    default:
      return {};
  }
}

// A typed length as ParseLength reads it, refused when it is longer than the drawing can hold
// (its width in drawing units): such a length could only give items outside the drawing.
int ParseBarLength(const QString& text, double& out, int allowZero) {
  double parsed = 0.0;
  if (ParseLength(text, parsed, allowZero) == 0 || parsed > kCoordinateLimitX) return 0;
  out = parsed;
  return 1;
}

// The message from the string table, or our own text of it where the table has none.
void ShowValueMessage(int id) {
  if (!LoadProgramString(id).isEmpty()) {
    ShowWarning(id);
    return;
  }
  zeph::GetPresenter().ShowMessageBox(BuiltInMessage(id), QString::fromUtf16(kProductName),
                                      zeph::kMbOk | zeph::kMbIconExclamation);
}

// A change to the selected item between erasing it and drawing it again. A text being edited
// shows its edit buffer and an exclusive-or caret: the caret comes off first and is measured
// again afterwards, for the new font, width or angle places it elsewhere. A curve whose
// control points are shown has its control lines and grips taken off and shown again.
template <typename Setter>
void ChangeShownItem(CEditDrawing& drawing, CDrawItem* item, const Setter& setter) {
  const bool edited = drawing.GetTextState() == kTextEditing && drawing.GetPickCount() == 1 &&
                      drawing.GetPicked(0) == item;
  const bool caretShown = edited && g_textCaretShown != 0;
  const bool handles = g_toolState == kStateCurveHandles && item->GetType() == kItemBezier &&
                       drawing.GetPicked(0) == item;
  if (caretShown) {
    CEditDrawing::CClientDC dc(drawing);
    item->HideCaret(&dc.get(), &drawing.GetMapping());
  }
  if (handles) drawing.DrawCurveHandles(2, nullptr);
  drawing.DrawItem(item, static_cast<int>(g_backgroundColour));
  setter();
  if (edited) item->Invalidate();
  drawing.DrawItem(item, kDrawOwnColour);
  if (handles) drawing.DrawCurveHandles(0, nullptr);
  if (caretShown) {
    CEditDrawing::CClientDC dc(drawing);
    item->DrawCaret(&dc.get(), &drawing.GetMapping());
  }
}

// Typed angles are degrees; answers radians reduced to [0, 2 pi) (mode 0) or [0, pi) (mode 1).
int ParseAngle(QStringView text, int mode, double& radians) {
  double degrees = 0.0;
  if (TextToDouble(text, degrees) == 0 || !std::isfinite(degrees)) return 0;
  radians = NormaliseAngle(degrees * kRadiansPerDegree, mode);
  return 1;
}

int ParseWhole(QStringView text, double low, double high, int& out) {
  double value = 0.0;
  if (TextToDouble(text, value) == 0 || !std::isfinite(value)) return 0;
  if (value != std::floor(value) || value < low || value > high) return 0;
  out = static_cast<int>(value);
  return 1;
}

int ParsePositive(QStringView text, double& out) {
  double value = 0.0;
  if (TextToDouble(text, value) == 0 || !std::isfinite(value) || value <= 0.0) return 0;
  out = value;
  return 1;
}

bool IsItemEditField(int id) {
  return (id >= 26 && id <= 29) || id == 32 || (id >= 37 && id <= 39) || id == 126 || id == 132 ||
         (id >= 136 && id <= 139);
}

bool IsItemListField(int id) {
  return id == 24 || id == 30 || id == 34 || id == 35 || id == 36 || id == 134 || id == 135;
}

const char16_t* const kLineStyleTexts[] = {u"Unbroken",   u"Small dash", u"Dot/dash",
                                           u"Large dash", u"Dots",       u"Close dots"};
const char16_t* const kFillTypeTexts[] = {u"Solid colour", u"Hatch"};
const char16_t* const kDimensionTypeTexts[] = {u"Parallel", u"Horizontal", u"Vertical"};
const char16_t* const kLineEndTexts[] = {u"Normal", u"Arrows", u"Dashes", u"Lines", u"None"};
const char16_t* const kTextAngleTexts[] = {u"Line angle", u"Horizontal"};
const char16_t* const kPositionTexts[] = {u"In line", u"Outside", u"Inside"};
const char16_t* const kUnitTexts[] = {u"Automatic", u"mm", u"cm", u"m", u"km", u"Preference"};

// The remembered count of the tool whose number-of-actions field this is.
std::int16_t* RememberedCount(int id) {
  switch (id) {
    case kFieldCopyCountNewObject:
      return &g_toolActionCounts[0];
    case kFieldRotateAngleCount + kSecondLine:
      return &g_toolActionCounts[1];
    case kFieldEnlargeFactorCount + kSecondLine:
      return &g_toolActionCounts[2];
    case kFieldStretchFactorCount + kSecondLine:
      return &g_toolActionCounts[3];
    default:
      return nullptr;
  }
}

// The height a list needs to show rows entries whole: rows of the line height, or of the
// list's own rows when it draws them taller, within its frame. A list any shorter hides the
// entries a person means to click, and the click goes to the drawing underneath.
int ListHeight(const QListWidget& list, int rows, int lineHeight) {
  const int row = list.count() > 0 ? std::max(lineHeight, list.sizeHintForRow(0)) : lineHeight;
  return rows * row + 2 * list.frameWidth();
}

// The edit box covers the editor box, and is never shorter than a line of its font within its
// frame: cut to the box, typed digits would show only their top half. A taller edit stays
// centred on the box.
void PlaceOverBox(zeph::CZephoEdit& edit, const DcRect& box) {
  const int boxHeight = box.bottom - box.top;
  const int height = std::max(boxHeight, edit.sizeHint().height());
  const int top = box.top - (height - boxHeight) / 2;
  edit.setGeometry(box.left, top, box.right - box.left, height);
}

}  // namespace

// ---- Opening ----

void CEditingView::ConnectValueEditors() {
  if (m_editorsConnected != 0 || m_valueEdit == nullptr) return;
  m_editorsConnected = 1;
  connect(m_valueEdit.get(), &zeph::CZephoEdit::controlKey, this,
          [this](int id, int key) { OnValueEditorKey(id, key); });
  connect(m_valueList.get(), &zeph::CViewList::controlKey, this,
          [this](int id, int key) { OnValueEditorKey(id, key); });
  connect(m_objectListBox.get(), &zeph::CViewList::controlKey, this,
          [this](int id, int key) { OnValueEditorKey(id, key); });
  connect(m_objectListBox.get(), &QListWidget::currentRowChanged, this,
          [this](int) { OnValueListSelChange(); });
}

void CEditingView::OpenValueEditor(int slot) {
  LogScope trace(2806);
  if (slot < 0 || slot >= kValueFieldSlots) return trace.Exit();
  Create();
  ConnectValueEditors();
  const DcRect& box = m_fieldBoxes[static_cast<std::size_t>(slot)];
  int id = g_valueFieldIds[static_cast<std::size_t>(slot)];
  const ValueFieldInfo* info = GetValueFieldInfo(id);
  const bool second = m_secondLineHit != 0 && info != nullptr && info->label2 != nullptr;
  if (second) id += kSecondLine;
  const int top = box.top + 3 + (second ? m_lineHeight : 0);
  m_editorBox = {box.left + 2, top, box.right - 5, top + m_lineHeight};
  m_openField = id;
  const auto list = [this](int current, const auto& texts) {
    OpenValueList(current, static_cast<int>(std::size(texts)), texts);
  };
  switch (id) {
    case kFieldToolColourObject:
    case kFieldToolDimensionColourFont:
    case kFieldColourObject:
    case kFieldDimensionColourFont:
      EditColourField();
      break;
    case kFieldRecolourColours:
      if (g_recolourCount != 0) EditColourField();
      break;
    case kFieldToolTextFont:
    case kFieldTextFont:
    case kFieldToolDimensionColourFont + kSecondLine:
    case kFieldDimensionColourFont + kSecondLine:
      EditFontField();
      break;
    case kFieldToolHatch:
    case kFieldHatch:
      EditHatchField();
      break;
    case kFieldToolObject:
    case kFieldObjectNew:
    case kFieldToolColourObject + kSecondLine:
      OpenObjectChooser(g_currentObject);
      break;
    case kFieldColourObject + kSecondLine:
      OpenObjectChooser(g_valueObject);
      break;
    case kFieldObjectName:
      if (g_objectChosen != 0) OpenObjectNameEdit(g_currentObject);
      break;
    case kFieldToolLineStyle:
      list(g_lineStyle - 1, kLineStyleTexts);
      break;
    case kFieldLineStyle:
      list(g_valueLineStyle - 1, kLineStyleTexts);
      break;
    case kFieldToolFillType:
      list(g_fillType, kFillTypeTexts);
      break;
    case kFieldFillType:
      list(g_valueFillStyle, kFillTypeTexts);
      break;
    case kFieldToolDimensionTypeEnds:
      list(g_dimensionType, kDimensionTypeTexts);
      break;
    case kFieldDimensionTypeEnds:
      list(g_valueDimensionType, kDimensionTypeTexts);
      break;
    case kFieldToolDimensionTypeEnds + kSecondLine:
      list(g_dimensionLineEnds, kLineEndTexts);
      break;
    case kFieldDimensionTypeEnds + kSecondLine:
      list(g_valueLineEnds, kLineEndTexts);
      break;
    case kFieldToolDimensionText:
      list(g_dimensionTextAngle, kTextAngleTexts);
      break;
    case kFieldDimensionText:
      list(g_valueTextAngleMode, kTextAngleTexts);
      break;
    case kFieldToolDimensionText + kSecondLine:
      list(g_dimensionTextPosition, kPositionTexts);
      break;
    case kFieldDimensionText + kSecondLine:
      list(g_valueTextPosition, kPositionTexts);
      break;
    case kFieldDimensionUnits:
      list(g_valueUnits, kUnitTexts);
      break;
    case kFieldToolArcPoints:
      g_arcPointChoice = g_arcPointChoice != 0 ? 0 : 1;
      InvalidateValuesBar();
      break;
    case kFieldKeepOriginalsNewObject:
      g_keepOriginals = g_keepOriginals != 0 ? 0 : 1;
      InvalidateValuesBar();
      break;
    case kFieldReflectDirection:
      g_reflectDirection = g_reflectDirection != 0 ? 0 : 1;
      InvalidateValuesBar();
      break;
    case kFieldStretchDirection:
      g_stretchDirection = g_stretchDirection != 0 ? 0 : 1;
      InvalidateValuesBar();
      break;
    case kFieldKeepOriginalsNewObject + kSecondLine:
    case kFieldCopyCountNewObject + kSecondLine:
      g_makeNewObject = g_makeNewObject != 0 ? 0 : 1;
      InvalidateValuesBar();
      break;
    case kFieldToolLengthAngle:
      OpenValueEdit(g_lineLength, g_lineLengthSet, kValueUnitLength);
      break;
    case kFieldToolLengthAngle + kSecondLine:
      OpenValueEdit(g_lineAngle, g_lineAngleSet, kValueUnitAngle);
      break;
    case kFieldToolArcRadiusAngle:
      OpenValueEdit(g_arcRadius, g_arcRadiusSet, kValueUnitLength);
      break;
    case kFieldToolArcRadiusAngle + kSecondLine:
      OpenValueEdit(g_arcAngle, g_arcAngleSet, kValueUnitAngle);
      break;
    case kFieldToolCircleRadius:
      OpenValueEdit(g_circleRadius, g_circleRadiusSet, kValueUnitLength);
      break;
    case kFieldToolFilletRadius:
      OpenValueEdit(g_filletRadius, g_filletRadiusSet, kValueUnitLength);
      break;
    case kFieldToolChamferLength:
      OpenValueEdit(g_chamferLength, g_chamferLengthSet, kValueUnitLength);
      break;
    case kFieldToolEllipseSlope:
      OpenValueEdit(g_ellipseSlope, 1, kValueUnitAngle);
      break;
    case kFieldToolHatchAngleScale:
      OpenValueEdit(g_hatchAngle, 1, kValueUnitAngle);
      break;
    case kFieldToolShapeRotation:
      OpenValueEdit(g_shapeRotation, 1, kValueUnitAngle);
      break;
    case kFieldToolTextWidthAngle:
      OpenValueEdit(g_textWidth, 1, kValueUnitPercent);
      break;
    case kFieldTextWidthAngle:
      OpenValueEdit(g_valueFontWidth, 1, kValueUnitPercent);
      break;
    case kFieldToolTextWidthAngle + kSecondLine:
      OpenValueEdit(g_textAngle, 1, kValueUnitAngle);
      break;
    case kFieldTextWidthAngle + kSecondLine:
      OpenValueEdit(g_valueTextAngle, 1, kValueUnitAngle);
      break;
    case kFieldToolHatchAngleScale + kSecondLine:
      OpenValueEdit(g_hatchScale, 1, kValueUnitNumber);
      break;
    case kFieldHatchAngleScale + kSecondLine:
      OpenValueEdit(g_valueHatchScale, 1, kValueUnitNumber);
      break;
    case kFieldToolMoveAngle:
      OpenValueEdit(g_moveAngle, g_moveAngleSet, kValueUnitAngle);
      break;
    case kFieldCopyAngleDistance:
      OpenValueEdit(g_copyAngle, g_copyAngleSet, kValueUnitAngle);
      break;
    case kFieldToolSideLengthRotation + kSecondLine:
      OpenValueEdit(g_polygonRotation, g_polygonRotationSet, kValueUnitAngle);
      break;
    case kFieldCopyAngleDistance + kSecondLine:
      OpenValueEdit(g_copyDistance, g_copyDistanceSet, kValueUnitLength);
      break;
    case kFieldToolPolygonSides:
      OpenValueEdit(g_polygonSides, g_polygonSidesSet, kValueUnitNumber);
      break;
    case kFieldToolSideLengthRotation:
      OpenValueEdit(g_sideLength, g_sideLengthSet, kValueUnitLength);
      break;
    case kFieldToolRectangleSize:
      OpenValueEdit(g_rectangleLength, g_rectangleLengthSet, kValueUnitLength);
      break;
    case kFieldToolRectangleSize + kSecondLine:
      OpenValueEdit(g_rectangleWidth, g_rectangleWidthSet, kValueUnitLength);
      break;
    case kFieldArcAngle:
      OpenValueEdit(g_valueArcAngle, 1, kValueUnitAngle);
      break;
    case kFieldRotation:
      OpenValueEdit(g_valueRotation, 1, kValueUnitAngle);
      break;
    case kFieldHatchAngleScale:
      OpenValueEdit(g_valueHatchAngle, 1, kValueUnitAngle);
      break;
    case kFieldControl0 + kSecondLine:
      OpenValueEdit(g_valueControlAngle0, 1, kValueUnitAngle);
      break;
    case kFieldControl1 + kSecondLine:
      OpenValueEdit(g_valueControlAngle1, 1, kValueUnitAngle);
      break;
    case kFieldCircleRadius:
      OpenValueEdit(g_valueCircleRadius, 1, kValueUnitLength);
      break;
    case kFieldDimensionSizes:
      OpenValueEdit(g_valueArrowSize, 1, kValueUnitLength);
      break;
    case kFieldDimensionSizes + kSecondLine:
      OpenValueEdit(g_valueExtension, 1, kValueUnitLength);
      break;
    case kFieldControl0:
      OpenValueEdit(g_valueControlLength0, 1, kValueUnitLength);
      break;
    case kFieldControl1:
      OpenValueEdit(g_valueControlLength1, 1, kValueUnitLength);
      break;
    case kFieldDimensionUnits + kSecondLine:
      OpenValueEdit(g_valueDecimals, 1, kValueUnitNumber);
      break;
    case kFieldRotateAngleCount:
      OpenValueEdit(g_rotateAngle, g_rotateAngleSet, kValueUnitAngle);
      break;
    case kFieldEnlargeFactorCount:
      OpenValueEdit(g_enlargeFactor, g_enlargeFactorSet, kValueUnitNumber);
      break;
    case kFieldStretchFactorCount:
      OpenValueEdit(g_stretchFactor, g_stretchFactorSet, kValueUnitNumber);
      break;
    case kFieldCopyCountNewObject:
    case kFieldRotateAngleCount + kSecondLine:
    case kFieldEnlargeFactorCount + kSecondLine:
    case kFieldStretchFactorCount + kSecondLine:
      OpenValueEdit(g_actionCount, 1, kValueUnitNumber);
      break;
    default:
      break;
  }
  trace.Exit();
}

void CEditingView::OpenValueEdit(double value, int set, int unit) {
  QString text;
  if (set != 0) {
    switch (unit) {
      case kValueUnitLength:
        FormatMeasurement(value * 1e-4 * g_realWorldScale, text, 20, -1, -1);
        break;
      case kValueUnitAngle:
        FormatDouble(value / kRadiansPerDegree, text, 20);
        RoundNumberText(text, 2, kRoundNearest);
        break;
      case kValueUnitPercent:
      case kValueUnitNumber:
        FormatDouble(value, text, 20);
        break;
      default:
        SetGlitchValue(unit);
        ReportGlitch(2823, 1);
        return;
    }
  }
  m_editorUnit = unit;
  m_valueEdit->SetKeyOptions(kValueEditKeys);
  PlaceOverBox(*m_valueEdit, m_editorBox);
  m_valueEdit->SetWindowText(text);
  m_valueEdit->selectAll();
  m_valueEdit->show();
  m_valueEdit->raise();
  m_valueEdit->setFocus();
  m_openEditor = kValueEditorEdit;
}

void CEditingView::OpenValueList(int current, int count, const char16_t* const* texts) {
  const int h = m_lineHeight;
  const DcRect& box = m_editorBox;
  // Above the field: its box's top is the list's bottom.
  const int fieldTop = box.top - 3 - (m_openField >= kSecondLine ? h : 0);
  const int bottom = fieldTop;
  m_valueList->clear();
  for (int i = 0; i < count; ++i) m_valueList->addItem(QString::fromUtf16(texts[i]));
  // Up to six entries show whole without a scroll bar; a longer list scrolls. A list box has
  // no horizontal scroll bar: a long entry is cut at the list's edge.
  m_valueList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_valueList->setVerticalScrollBarPolicy(count <= 6 ? Qt::ScrollBarAlwaysOff
                                                     : Qt::ScrollBarAsNeeded);
  const int top = bottom - ListHeight(*m_valueList, std::min(count, 6), h);
  m_valueList->setGeometry(box.left - 2 - 5, top, box.right + 5 - (box.left - 2) + 5 + 30,
                           bottom - top);
  m_valueList->show();
  m_valueList->raise();
  if (current >= 0 && current < count) m_valueList->setCurrentRow(current);
  m_valueList->setFocus();
  m_openEditor = kValueEditorList;
}

void CEditingView::OpenObjectChooser(int objectNumber) {
  if (m_document == nullptr) return;
  m_document->RebuildObjectList();
  const int k = m_document->GetObjectCount();
  const QString name = m_document->GetObjectName(objectNumber, 0);
  m_objectListBox->blockSignals(true);
  m_objectListBox->clear();
  int row = -1;
  for (int i = 0; i < k; ++i) {
    m_objectListBox->addItem(m_document->GetObjectNameAt(i, 0));
    if (m_document->GetObjectNumberAt(i) == objectNumber) row = i;
  }
  if (k > 0) {
    const int h = m_lineHeight;
    const int bottom = m_editorBox.top - 3 - (m_openField >= kSecondLine ? h : 0);
    const int top = bottom - ListHeight(*m_objectListBox, std::min(k, 7), h);
    const int left = m_editorBox.left - 2 - 5;
    m_objectListBox->setGeometry(left, top, m_editorBox.right + 5 + 30 - left, bottom - top);
    if (row >= 0) m_objectListBox->setCurrentRow(row);
    m_objectListBox->show();
    m_objectListBox->raise();
  } else {
    m_objectListBox->hide();
  }
  m_objectListBox->blockSignals(false);
  m_valueEdit->SetKeyOptions(kChooserEditKeys);
  PlaceOverBox(*m_valueEdit, m_editorBox);
  m_valueEdit->SetWindowText(name);
  m_valueEdit->selectAll();
  m_valueEdit->show();
  m_valueEdit->raise();
  m_valueEdit->setFocus();
  m_openEditor = kValueEditorObjectChooser;
}

void CEditingView::OpenObjectNameEdit(int objectNumber) {
  if (m_document == nullptr) return;
  m_valueEdit->SetKeyOptions(kValueEditKeys);
  PlaceOverBox(*m_valueEdit, m_editorBox);
  m_valueEdit->SetWindowText(m_document->GetObjectName(objectNumber, 1).left(kMaxEditText));
  m_valueEdit->selectAll();
  m_valueEdit->show();
  m_valueEdit->raise();
  m_valueEdit->setFocus();
  m_openEditor = kValueEditorName;
}

// ---- Applying ----

void CEditingView::HideValueEditors() {
  m_valueEdit->hide();
  m_valueList->hide();
  m_objectListBox->hide();
  m_openEditor = kValueEditorNone;
  InvalidateValuesBar();
}

int CEditingView::ApplyValueEditorOfKind(int kind) {
  switch (kind) {
    case kValueEditorEdit:
      return ApplyValueEdit();
    case kValueEditorList:
      return ApplyValueList();
    case kValueEditorObjectChooser:
      return ApplyObjectChooser(1);
    case kValueEditorName:
      return ApplyObjectNameEdit();
    default:
      return 1;
  }
}

int CEditingView::ApplyValueEdit() {
  LogScope trace(2824);
  const QString text = m_valueEdit->GetWindowText().left(kMaxEditText).trimmed();
  const int id = m_openField;
  const bool empty = text.isEmpty();
  CDrawItem* item = nullptr;
  if (IsItemEditField(id)) {
    const int count = m_drawing->GetPickCount();
    if (count != 1) {
      SetGlitchValue(count);
      ReportGlitch(2824, 1);
      if (count == 0) {
        HideValueEditors();
        return trace.Return(0);
      }
    }
    item = m_drawing->GetPicked(0);
  }
  const auto refuse = [this, &trace](int message) {
    ShowValueMessage(message);
    m_valueEdit->selectAll();
    m_valueEdit->setFocus();
    return trace.Return(0);
  };
  const auto accept = [this, &trace]() {
    HideValueEditors();
    return trace.Return(1);
  };
  // A length with a set flag: empty clears the flag, else the parsed length sets it.
  const auto setLength = [&](double& value, std::int32_t& set, int message) {
    if (empty) {
      set = 0;
      return accept();
    }
    double parsed = 0.0;
    if (ParseBarLength(text, parsed, 0) == 0) return refuse(message);
    value = parsed;
    set = 1;
    return accept();
  };
  const auto setAngle = [&](double& value, std::int32_t* set, int mode) {
    if (empty && set != nullptr) {
      *set = 0;
      return accept();
    }
    double parsed = 0.0;
    if (ParseAngle(text, mode, parsed) == 0) return refuse(kMsgAngle);
    value = parsed;
    if (set != nullptr) *set = 1;
    return accept();
  };
  // A change to the selected item, between erasing it and drawing it again.
  const auto change = [this, item](const auto& setter) {
    ChangeShownItem(*m_drawing, item, setter);
  };
  switch (id) {
    case kFieldToolLengthAngle:
      return setLength(g_lineLength, g_lineLengthSet, kMsgLength);
    case kFieldToolLengthAngle + kSecondLine:
      return setAngle(g_lineAngle, &g_lineAngleSet, 0);
    case kFieldToolArcRadiusAngle: {
      const int result = setLength(g_arcRadius, g_arcRadiusSet, kMsgLength);
      if (result == 1 && g_arcRadiusSet != 0) g_arcAngleSet = 0;
      if (result == 1) RedrawValuesBar(1);
      return result;
    }
    case kFieldToolArcRadiusAngle + kSecondLine: {
      const int result = setAngle(g_arcAngle, &g_arcAngleSet, 0);
      if (result == 1 && g_arcAngleSet != 0) g_arcRadiusSet = 0;
      if (result == 1) RedrawValuesBar(1);
      return result;
    }
    case kFieldToolCircleRadius:
      return setLength(g_circleRadius, g_circleRadiusSet, kMsgRadius);
    case kFieldToolFilletRadius:
      return setLength(g_filletRadius, g_filletRadiusSet, kMsgRadius);
    case kFieldToolChamferLength:
      return setLength(g_chamferLength, g_chamferLengthSet, kMsgLength);
    case kFieldToolEllipseSlope:
      if (empty) return refuse(kMsgAngle);
      return setAngle(g_ellipseSlope, nullptr, 1);
    case kFieldToolTextWidthAngle: {
      int width = 0;
      if (ParseWhole(text, 10, 1000, width) == 0) return refuse(kMsgFontWidth);
      g_textWidth = static_cast<std::uint16_t>(width);
      return accept();
    }
    case kFieldToolHatchAngleScale:
      return setAngle(g_hatchAngle, nullptr, 0);
    case kFieldToolTextWidthAngle + kSecondLine:
      if (empty) return refuse(kMsgAngle);
      return setAngle(g_textAngle, nullptr, 0);
    case kFieldToolHatchAngleScale + kSecondLine: {
      double scale = 0.0;
      if (ParsePositive(text, scale) == 0) return refuse(kMsgScale);
      g_hatchScale = scale;
      return accept();
    }
    case kFieldToolMoveAngle:
      return setAngle(g_moveAngle, &g_moveAngleSet, 1);
    case kFieldToolPolygonSides: {
      if (empty) {
        g_polygonSidesSet = 0;
        return accept();
      }
      int sides = 0;
      if (ParseWhole(text, 3, 1000, sides) == 0) return refuse(kMsgSides);
      g_polygonSides = static_cast<std::uint16_t>(sides);
      g_polygonSidesSet = 1;
      return accept();
    }
    case kFieldToolSideLengthRotation:
      return setLength(g_sideLength, g_sideLengthSet, kMsgLength);
    case kFieldToolRectangleSize:
      return setLength(g_rectangleLength, g_rectangleLengthSet, kMsgLength);
    case kFieldToolRectangleSize + kSecondLine:
      return setLength(g_rectangleWidth, g_rectangleWidthSet, kMsgLength);
    case kFieldToolSideLengthRotation + kSecondLine:
      return setAngle(g_polygonRotation, &g_polygonRotationSet, 0);
    case kFieldToolShapeRotation:
      return setAngle(g_shapeRotation, nullptr, 0);
    case kFieldRotateAngleCount: {
      if (empty) {
        g_rotateAngleSet = 0;
        return accept();
      }
      double degrees = 0.0;
      if (TextToDouble(text, degrees) == 0 || !std::isfinite(degrees)) return refuse(kMsgAngle);
      g_rotateAngle = degrees * kRadiansPerDegree;
      g_rotateAngleSet = 1;
      return accept();
    }
    case kFieldEnlargeFactorCount:
    case kFieldStretchFactorCount: {
      double& factor = id == 73 ? g_enlargeFactor : g_stretchFactor;
      std::int32_t& set = id == 73 ? g_enlargeFactorSet : g_stretchFactorSet;
      if (empty) {
        set = 0;
        return accept();
      }
      double parsed = 0.0;
      if (ParsePositive(text, parsed) == 0) return refuse(kMsgScale);
      factor = parsed;
      set = 1;
      return accept();
    }
    case kFieldCopyCountNewObject:
    case kFieldRotateAngleCount + kSecondLine:
    case kFieldEnlargeFactorCount + kSecondLine:
    case kFieldStretchFactorCount + kSecondLine: {
      std::uint8_t count = 0;
      if (TextToByte(text, count) == 0) return refuse(kMsgActions);
      g_actionCount = count;
      if (std::int16_t* remembered = RememberedCount(id)) *remembered = count;
      return accept();
    }
    case kFieldCopyAngleDistance:
      return setAngle(g_copyAngle, &g_copyAngleSet, 0);
    case kFieldCopyAngleDistance + kSecondLine:
      return setLength(g_copyDistance, g_copyDistanceSet, kMsgLength);
    // ---- The selected item's properties ----
    case kFieldTextWidthAngle: {
      int width = 0;
      if (ParseWhole(text, 10, 1000, width) == 0) return refuse(kMsgFontWidth);
      g_valueFontWidth = static_cast<std::int16_t>(width);
      change([&] { item->SetFontSize(width); });
      FocusDrawing();
      return accept();
    }
    case kFieldTextWidthAngle + kSecondLine: {
      double angle = 0.0;
      if (ParseAngle(text, 0, angle) == 0) return refuse(kMsgAngle);
      g_valueTextAngle = angle;
      change([&] { item->SetTextAngle(angle); });
      FocusDrawing();
      return accept();
    }
    case kFieldArcAngle: {
      double angle = 0.0;
      if (ParseAngle(text, 0, angle) == 0) return refuse(kMsgAngle);
      DrawItem(item, static_cast<int>(g_backgroundColour));
      item->SetAngle(angle);
      if (item->IsValid() != 0) {
        item->Recalculate();
        g_valueArcAngle = angle;
        DrawItem(item, kDrawOwnColour);
        return accept();
      }
      // The arc cannot have that angle: the change is taken back and the field shows the
      // arc's own angle again.
      m_document->Undo(nullptr, &m_drawing->GetMapping(), 0);
      g_valueArcAngle = item->GetAngle();
      DrawItem(item, kDrawOwnColour);
      InvalidateValuesBar();
      return refuse(kMsgImpossibleArc);
    }
    case kFieldCircleRadius: {
      double radius = 0.0;
      if (ParseBarLength(text, radius, 0) == 0) return refuse(kMsgRadius);
      const int rounded = static_cast<int>(std::lround(radius));
      g_valueCircleRadius = rounded;
      change([&] { item->SetRadius(rounded); });
      return accept();
    }
    case kFieldRotation: {
      double angle = 0.0;
      if (ParseAngle(text, 1, angle) == 0) return refuse(kMsgAngle);
      g_valueRotation = angle;
      change([&] { item->SetRotation(angle); });
      return accept();
    }
    case kFieldHatchAngleScale: {
      double angle = 0.0;
      if (ParseAngle(text, 0, angle) == 0) return refuse(kMsgAngle);
      g_valueHatchAngle = angle;
      change([&] { item->SetHatchAngle(angle); });
      return accept();
    }
    case kFieldHatchAngleScale + kSecondLine: {
      double scale = 0.0;
      if (ParsePositive(text, scale) == 0) return refuse(kMsgScale);
      g_valueHatchScale = scale;
      change([&] { item->SetHatchSpacing(scale); });
      return accept();
    }
    case kFieldDimensionSizes:
    case kFieldDimensionSizes + kSecondLine: {
      double length = 0.0;
      if (ParseBarLength(text, length, id == 137 ? 1 : 0) == 0) {
        return refuse(kMsgLength);
      }
      const int rounded = static_cast<int>(std::lround(length));
      if (id == 37) {
        g_valueArrowSize = rounded;
        g_dimensionArrowSize = rounded;
        change([&] { item->SetArrowSize(rounded); });
      } else {
        g_valueExtension = rounded;
        g_dimensionExtension = rounded;
        change([&] { item->SetExtension(rounded); });
      }
      return accept();
    }
    case kFieldDimensionUnits + kSecondLine: {
      std::uint8_t decimals = 0;
      if (TextToByte(text, decimals) == 0) return refuse(kMsgDecimals);
      g_valueDecimals = decimals;
      change([&] { item->SetDecimals(decimals); });
      return accept();
    }
    case kFieldControl0:
    case kFieldControl1: {
      double length = 0.0;
      if (ParseBarLength(text, length, 0) == 0) return refuse(kMsgLength);
      const int i = id - 38;
      (i == 0 ? g_valueControlLength0 : g_valueControlLength1) = length;
      change([&] { item->SetControlLength(i, length); });
      return accept();
    }
    case kFieldControl0 + kSecondLine:
    case kFieldControl1 + kSecondLine: {
      double angle = 0.0;
      if (ParseAngle(text, 0, angle) == 0) return refuse(kMsgAngle);
      const int i = id - 138;
      (i == 0 ? g_valueControlAngle0 : g_valueControlAngle1) = angle;
      change([&] { item->SetControlAngle(i, angle); });
      return accept();
    }
    default:
      SetGlitchValue(id);
      ReportGlitch(2824, 2);
      HideValueEditors();
      return trace.Return(1);
  }
}

int CEditingView::ApplyValueList() {
  LogScope trace(2828);
  const int e = m_valueList->currentRow();
  if (e < 0) return trace.Return(0);
  const int id = m_openField;
  CDrawItem* item = nullptr;
  if (IsItemListField(id)) {
    const int count = m_drawing->GetPickCount();
    if (count != 1) {
      SetGlitchValue(count);
      ReportGlitch(2828, 1);
      if (count == 0) {
        HideValueEditors();
        return trace.Return(1);
      }
    }
    item = m_drawing->GetPicked(0);
  }
  const auto change = [this, item](const auto& setter) {
    DrawItem(item, static_cast<int>(g_backgroundColour));
    setter();
    DrawItem(item, kDrawOwnColour);
  };
  const auto byte = static_cast<std::uint8_t>(e);
  switch (id) {
    case kFieldToolLineStyle:
      g_lineStyle = static_cast<std::uint8_t>(e + 1);
      break;
    case kFieldToolDimensionTypeEnds:
      g_dimensionType = byte;
      break;
    case kFieldToolDimensionText:
      g_dimensionTextAngle = byte;
      break;
    case kFieldToolDimensionTypeEnds + kSecondLine:
      g_dimensionLineEnds = byte;
      break;
    case kFieldToolDimensionText + kSecondLine:
      g_dimensionTextPosition = byte;
      break;
    case kFieldToolFillType:
      if (e != g_fillType) {
        g_fillType = static_cast<std::int16_t>(e);
        HideValueEditors();
        RedrawValuesBar(1);
        return trace.Return(1);
      }
      break;
    case kFieldLineStyle:
      g_valueLineStyle = static_cast<std::uint8_t>(e + 1);
      change([&] { item->SetLineStyle(static_cast<std::uint8_t>(e + 1)); });
      break;
    case kFieldDimensionTypeEnds:
      g_valueDimensionType = e;
      change([&] { item->SetDimensionType(byte); });
      break;
    case kFieldDimensionText:
      g_valueTextAngleMode = e;
      change([&] { item->SetTextAngleMode(byte); });
      break;
    case kFieldDimensionUnits:
      g_valueUnits = e;
      change([&] { item->SetUnits(byte); });
      break;
    case kFieldDimensionTypeEnds + kSecondLine:
      g_valueLineEnds = e;
      change([&] { item->SetLineEnds(byte); });
      break;
    case kFieldDimensionText + kSecondLine:
      g_valueTextPosition = e;
      change([&] { item->SetTextPosition(byte); });
      break;
    case kFieldFillType:
      if (e != g_valueFillStyle) {
        // A fill without a hatch pattern has one chosen first; cancelling keeps the fill.
        const CHatchPattern* pattern = item->GetHatchPattern();
        if (e == kFillHatch && (pattern == nullptr || pattern->GetLineCount() == 0)) {
          HideValueEditors();
          const int chosen = ChooseHatchPattern();
          if (chosen < 0) {
            RedrawValuesBar(1);
            return trace.Return(1);
          }
          if (item->SetHatch(chosen, 0.0, 1.0) == 0) {
            RedrawValuesBar(1);
            return trace.Return(1);
          }
          g_valueHatchIndex = static_cast<std::int16_t>(chosen);
          g_valueHatchAngle = 0.0;
          g_valueHatchScale = 1.0;
        }
        g_valueFillStyle = static_cast<std::int16_t>(e);
        change([&] {
          item->SetFillStyle(e);
          item->PublishProperties();
        });
        HideValueEditors();
        RedrawValuesBar(1);
        return trace.Return(1);
      }
      break;
    default:
      SetGlitchValue(id);
      ReportGlitch(2828, 2);
      break;
  }
  HideValueEditors();
  return trace.Return(1);
}

int CEditingView::ApplyObjectChooser(int fromText) {
  LogScope trace(2825);
  if (m_document == nullptr) {
    HideValueEditors();
    return trace.Return(1);
  }
  int number = 0;
  if (fromText != 0) {
    const QString text = m_valueEdit->GetWindowText().left(kMaxEditText).trimmed();
    if (!text.isEmpty()) {
      number = m_document->FindObjectByName(text);
      if (number <= 0) {
        if (text.size() > kMaxObjectNameLength) {
          ShowValueMessage(kMsgNameTooLong);
          m_valueEdit->selectAll();
          m_valueEdit->setFocus();
          return trace.Return(0);
        }
        number = m_document->GetFreeObjectNumber(1);
        if (number > 0 && m_document->SetObjectName(number, text) != 1) number = 0;
      }
    }
  } else {
    const int row = m_objectListBox->currentRow();
    if (row >= 0) number = m_document->GetObjectNumberAt(row);
  }
  if (number > 0) {
    switch (m_openField) {
      case kFieldToolObject:
      case kFieldToolColourObject + kSecondLine:
        g_currentObject = static_cast<std::int16_t>(number);
        break;
      case kFieldObjectNew:
        g_currentObject = static_cast<std::int16_t>(number);
        g_objectChosen = 1;
        break;
      case kFieldColourObject + kSecondLine: {
        g_valueObject = static_cast<std::int16_t>(number);
        const CUndoStep step(m_document);
        for (int i = 0; i < m_drawing->GetPickCount(); ++i) {
          m_drawing->GetPicked(i)->SetObjectNumber(static_cast<std::int16_t>(number));
        }
        break;
      }
      default:
        SetGlitchValue(m_openField);
        ReportGlitch(2825, 1);
        break;
    }
  }
  const int field = m_openField;
  HideValueEditors();
  if (field == 123) FocusDrawing();
  return trace.Return(1);
}

int CEditingView::ApplyObjectNameEdit() {
  LogScope trace(2829);
  if (m_document == nullptr) {
    HideValueEditors();
    return trace.Return(1);
  }
  const QString name = m_valueEdit->GetWindowText().left(kMaxEditText).trimmed();
  const int owner = name.isEmpty() ? 0 : m_document->FindObjectByName(name);
  const auto refuse = [this, &trace](int message) {
    ShowValueMessage(message);
    m_valueEdit->selectAll();
    m_valueEdit->setFocus();
    return trace.Return(0);
  };
  if (owner > 0 && owner != g_currentObject) return refuse(kMsgNameUsed);
  if (name.size() > kMaxObjectNameLength) return refuse(kMsgNameTooLong);
  m_document->SetObjectName(g_currentObject, name);
  HideValueEditors();
  RefreshObjectList();
  SelectObjectInList(g_currentObject, 1);
  return trace.Return(1);
}

// ---- Keys and the object list ----

void CEditingView::OnValueEditorKey(int id, int key) {
  switch (key) {
    case zeph::kCharTab:
    case zeph::kCharEnter:
      switch (m_openEditor) {
        case kValueEditorEdit:
          ApplyValueEdit();
          break;
        case kValueEditorObjectChooser:
          ApplyObjectChooser(id == kIdObjectListBox ? 0 : 1);
          break;
        case kValueEditorName:
          ApplyObjectNameEdit();
          break;
        case kValueEditorList:
          ApplyValueList();
          break;
        default:
          ReportGlitch(2813, 1);
          break;
      }
      return;
    case ' ':
      if (m_openEditor == kValueEditorList) {
        ApplyValueList();
      } else {
        ReportGlitch(2813, 1);
        m_openEditor = kValueEditorNone;
      }
      return;
    case zeph::kCharEscape:
      if (m_openEditor == kValueEditorNone) ReportGlitch(2813, 2);
      HideValueEditors();
      return;
    case zeph::kVkPrior:
    case zeph::kVkNext:
    case zeph::kVkEnd:
    case zeph::kVkHome:
    case zeph::kVkUp:
    case zeph::kVkDown:
      if (m_openEditor == kValueEditorObjectChooser) {
        m_objectListBox->setFocus();
      } else {
        ReportGlitch(2813, 3);
      }
      return;
    default:
      return;
  }
}

void CEditingView::OnValueListSelChange() {
  if (m_openEditor != kValueEditorObjectChooser) return;
  QListWidgetItem* row = m_objectListBox->currentItem();
  if (row == nullptr) return;
  m_valueEdit->SetWindowText(row->text());
  m_valueEdit->selectAll();
}

// ---- The dialogs of colour, font and hatch fields ----

int CEditingView::ChooseHatchPattern() { return ChooseHatchDefinition(); }

void CEditingView::EditColourField() {
  const int id = m_openField;
  zeph::ColourRef start = 0;
  switch (id) {
    case kFieldToolColourObject:
    case kFieldToolDimensionColourFont:
      start = static_cast<zeph::ColourRef>(g_drawingColour);
      break;
    case kFieldColourObject:
    case kFieldDimensionColourFont:
      start = static_cast<zeph::ColourRef>(g_valueColour);
      break;
    case kFieldRecolourColours:
      start = g_recolourCount > 0 ? static_cast<zeph::ColourRef>(g_recolourColours[0])
                                  : g_foregroundColour;
      for (int i = 1; i < std::min<int>(g_recolourCount, 10); ++i) {
        zeph::AddRecentColour(
            static_cast<zeph::ColourRef>(g_recolourColours[static_cast<std::size_t>(i)]));
      }
      break;
    default:
      break;
  }
  zeph::CColourDialog dialog(this);
  dialog.SetInitialColour(start);
  if (dialog.DoModal() != zeph::kIdOk) return;
  // Palette-relative: red, green and blue kept, the top byte marking it.
  const zeph::ColourRef chosen = zeph::ClearColourTopByte(dialog.GetColour()) | 0x02000000u;
  const bool several = id == 82 && g_recolourCount > 1;
  if (!several && SameRgb(chosen, start) != 0) return;
  switch (id) {
    case kFieldToolColourObject:
    case kFieldToolDimensionColourFont:
      g_drawingColour = static_cast<std::int32_t>(chosen);
      break;
    case kFieldColourObject:
    case kFieldDimensionColourFont:
      g_valueColour = static_cast<std::int32_t>(chosen);
      m_drawing->RecolourPicked(static_cast<int>(chosen));
      break;
    case kFieldRecolourColours:
      m_drawing->RecolourChosen(static_cast<int>(chosen));
      g_recolourCount = 0;
      break;
    default:
      SetGlitchValue(id);
      ReportGlitch(2822, 5);
      break;
  }
  InvalidateValuesBar();
}

void CEditingView::EditFontField() {
  LogScope trace(2826);
  const int id = m_openField;
  CDrawItem* item = nullptr;
  if (id == 25 || id == 133) {
    const int count = m_drawing->GetPickCount();
    if (count != 1) {
      SetGlitchValue(count);
      ReportGlitch(2826, 1);
      if (count == 0) return trace.Exit();
    }
    item = m_drawing->GetPicked(0);
  }
  CFontSpec* font = nullptr;
  switch (id) {
    case kFieldToolTextFont:
      font = &g_textFont;
      break;
    case kFieldToolDimensionColourFont + kSecondLine:
      font = &g_dimensionFont;
      break;
    case kFieldTextFont:
      font = &g_valueTextFont;
      break;
    case kFieldDimensionColourFont + kSecondLine:
      font = &g_valueDimensionFont;
      break;
    default:
      return trace.Exit();
  }
  zeph::DcFont taken;
  font->GetLogFont(taken, nullptr, 100, 0);
  if (GetEditorDialogs().ChooseFont(taken) == 0) return trace.Exit();
  font->SetFromLogFont(taken, nullptr);
  if (item != nullptr) ChangeShownItem(*m_drawing, item, [&] { item->SetFont(*font); });
  InvalidateValuesBar();
  trace.Exit();
}

void CEditingView::EditHatchField() {
  LogScope trace(2827);
  const int id = m_openField;
  std::int32_t pattern = -1;
  const int current = id == 11 ? g_hatchPattern : g_valueHatchIndex;
  if (current >= 0 && current < kHatchDefinitionCount) {
    pattern = g_hatchDefinitions[static_cast<std::size_t>(current)].GetNumber();
  }
  if (GetEditorDialogs().ChooseHatch(pattern) == 0) return trace.Exit();
  const int index = FindHatchDefinition(static_cast<std::int16_t>(pattern));
  if (index < 0) {
    SetGlitchValue(pattern);
    ReportGlitch(2827, 6);
    return trace.Exit();
  }
  if (id == 11) {
    g_hatchPattern = static_cast<std::int16_t>(index);
  } else if (id == 31) {
    if (m_drawing->GetPickCount() > 0) {
      CDrawItem* item = m_drawing->GetPicked(0);
      DrawItem(item, static_cast<int>(g_backgroundColour));
      item->SetHatch(index, 0.0, 1.0);
      DrawItem(item, kDrawOwnColour);
    }
    g_valueHatchIndex = static_cast<std::int16_t>(index);
    g_valueHatchAngle = 0.0;
    g_valueHatchScale = 1.0;
  } else {
    SetGlitchValue(id);
    ReportGlitch(2827, 5);
  }
  InvalidateValuesBar();
  trace.Exit();
}
