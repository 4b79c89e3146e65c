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
#include "editor/valuesbar_fieldtable.h"
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

// Reads a typed value as the line says; 0 where it is refused.
int ReadFieldValue(const ValueFieldLine& line, const QString& text, double& out) {
  switch (line.parse) {
    case FieldParse::kLength:
      return ParseBarLength(text, out, 0);
    case FieldParse::kLengthOrZero:
      return ParseBarLength(text, out, 1);
    case FieldParse::kAngle:
      return ParseAngle(text, 0, out);
    case FieldParse::kHalfTurn:
      return ParseAngle(text, 1, out);
    case FieldParse::kDegrees: {
      // A rotation may be several turns: the degrees are not reduced.
      double degrees = 0.0;
      if (TextToDouble(text, degrees) == 0 || !std::isfinite(degrees)) return 0;
      out = degrees * kRadiansPerDegree;
      return 1;
    }
    case FieldParse::kPositive:
      return ParsePositive(text, out);
    case FieldParse::kWhole: {
      int whole = 0;
      if (ParseWhole(text, line.low, line.high, whole) == 0) return 0;
      out = whole;
      return 1;
    }
    case FieldParse::kByte: {
      std::uint8_t byte = 0;
      if (TextToByte(text, byte) == 0) return 0;
      out = byte;
      return 1;
    }
    case FieldParse::kNone:
      break;
  }
  return 0;
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
  const ValueFieldLine* line = GetValueFieldLine(id);
  if (line == nullptr) return trace.Exit();
  switch (line->editor) {
    case FieldEditor::kColour:
      EditColourField();
      break;
    case FieldEditor::kRecolour:
      if (g_recolourCount != 0) EditColourField();
      break;
    case FieldEditor::kFont:
      EditFontField();
      break;
    case FieldEditor::kHatch:
      EditHatchField();
      break;
    case FieldEditor::kObjectChooser:
      OpenObjectChooser(static_cast<int>(line->value()));
      break;
    case FieldEditor::kObjectName:
      if (g_objectChosen != 0) OpenObjectNameEdit(static_cast<int>(line->value()));
      break;
    case FieldEditor::kList:
      OpenValueList(static_cast<int>(line->value()) - line->listBase, line->choiceCount,
                    line->names);
      break;
    case FieldEditor::kToggle:
      line->store(line->value() != 0 ? 0 : 1);
      InvalidateValuesBar();
      break;
    case FieldEditor::kEdit:
      OpenValueEdit(line->value(), line->set != nullptr ? *line->set : 1, line->unit);
      break;
    case FieldEditor::kNone:
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
  const ValueFieldLine* line = GetValueFieldLine(id);
  if (line == nullptr || line->editor != FieldEditor::kEdit) {
    SetGlitchValue(id);
    ReportGlitch(2824, 2);
    HideValueEditors();
    return trace.Return(1);
  }
  CDrawItem* item = nullptr;
  if (ChangesSelectedItem(*line)) {
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
  if (text.isEmpty() && line->set != nullptr) {
    // An emptied box: the tool takes the value from the mouse again.
    *line->set = 0;
  } else {
    double value = 0.0;
    const int message = line->message;
    if (ReadFieldValue(*line, text, value) == 0) return refuse(message);
    if (line->after == FieldAfter::kArcAngleCheck) {
      DrawItem(item, static_cast<int>(g_backgroundColour));
      line->setItem(*item, value);
      if (item->IsValid() != 0) {
        item->Recalculate();
        line->store(value);
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
    line->store(value);
    if (line->set != nullptr) *line->set = 1;
    if (item != nullptr) {
      ChangeShownItem(*m_drawing, item, [&] { line->setItem(*item, value); });
    }
    if (line->after == FieldAfter::kFocusDrawing) FocusDrawing();
  }
  const int result = accept();
  if (line->after == FieldAfter::kRedrawBar) RedrawValuesBar(1);
  return result;
}

int CEditingView::ApplyValueList() {
  LogScope trace(2828);
  const int e = m_valueList->currentRow();
  if (e < 0) return trace.Return(0);
  const int id = m_openField;
  const ValueFieldLine* line = GetValueFieldLine(id);
  if (line == nullptr || line->editor != FieldEditor::kList) {
    SetGlitchValue(id);
    ReportGlitch(2828, 2);
    HideValueEditors();
    return trace.Return(1);
  }
  CDrawItem* item = nullptr;
  if (ChangesSelectedItem(*line)) {
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
  const double value = e + line->listBase;
  if (line->after != FieldAfter::kFillTypeChange) {
    line->store(value);
    if (item != nullptr) change([&] { line->setItem(*item, value); });
    HideValueEditors();
    return trace.Return(1);
  }
  if (value == line->value()) {
    HideValueEditors();
    return trace.Return(1);
  }
  if (item == nullptr) {
    line->store(value);
    HideValueEditors();
    RedrawValuesBar(1);
    return trace.Return(1);
  }
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
  line->store(value);
  change([&] {
    line->setItem(*item, value);
    item->PublishProperties();
  });
  HideValueEditors();
  RedrawValuesBar(1);
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
  if (field == kFieldColourObject + kSecondLine) FocusDrawing();
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
  const bool several = id == kFieldRecolourColours && g_recolourCount > 1;
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
  if (id == kFieldTextFont || id == kFieldDimensionColourFont + kSecondLine) {
    const int count = m_drawing->GetPickCount();
    if (count != 1) {
      SetGlitchValue(count);
      ReportGlitch(2826, 1);
      if (count == 0) return trace.Exit();
    }
    item = m_drawing->GetPicked(0);
  }
  const ValueFieldLine* line = GetValueFieldLine(id);
  CFontSpec* font = line != nullptr ? line->font : nullptr;
  if (font == nullptr) return trace.Exit();
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
  const int current = id == kFieldToolHatch ? g_hatchPattern : g_valueHatchIndex;
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
  if (id == kFieldToolHatch) {
    g_hatchPattern = static_cast<std::int16_t>(index);
  } else if (id == kFieldHatch) {
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
