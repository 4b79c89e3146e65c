// The values bar: which fields the current tool shows, how many fit, their labels and boxes,
// the parameters' values in them, the live read-outs of a gesture, and the mouse over it.
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "document/document.h"
#include "document/wholedrawing.h"
#include "editor/buttoncolours.h"
#include "editor/editdrawing.h"
#include "editor/editingview.h"
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
#include "support/fontspec.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/screen.h"
#include "support/textfile.h"

using zeph::CDrawContext;
using zeph::DcRect;

namespace {

constexpr int kMinimumGap = 5;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// UI colours of the values bar.
constexpr int kUiInk = 0;
constexpr int kUiLiveInk = 9;
constexpr int kUiBoxFill = 15;

QString ListText(const char16_t* const* names, int count, int index) {
  if (names == nullptr || index < 0 || index >= count) return {};
  return QString::fromUtf16(names[index]);
}
QString BarLengthText(double drawingUnits) {
  QString text;
  FormatMeasurement(drawingUnits * 1e-4 * g_realWorldScale, text, 21, -1, -1);
  return text;
}

QString BarAngleText(double radians) {
  double degrees = radians * kDegreesPerRadian;
  if (std::isfinite(degrees) && degrees > 360.0) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees == 0.0) degrees = 360.0;
  }
  QString text;
  FormatDouble(degrees, text, 21);
  RoundNumberText(text, 1, kRoundNearest);
  return text + u'\u00B0';
}

QString FontText(const CFontSpec& font) {
  QString text;
  font.GetDescription(text);
  return text;
}

QString HatchText(int index) {
  if (index < 0 || index >= kHatchDefinitionCount) return {};
  return g_hatchDefinitions[static_cast<std::size_t>(index)].GetName();
}

// Selects the small font when it was made; answers the font it replaced.
zeph::DcFont SelectSmall(CDrawContext& dc) {
  return g_smallFontMade != 0 ? dc.SelectFont(g_smallFont) : dc.SelectFont(dc.GetFont());
}

int WiderLabel(const CDrawContext& dc, const ValueFieldInfo& info) {
  int wider = GetTextWidth(dc, info.label1, 0, 0);
  if (info.label2 != nullptr) wider = std::max(wider, GetTextWidth(dc, info.label2, 0, 0));
  return wider;
}

}  // namespace

// ---- Choosing and laying out the fields ----

void CEditingView::ChooseValueFields() {
  const int step = m_drawing != nullptr ? m_drawing->GetClickStep() : 0;
  const int picks = m_drawing != nullptr ? m_drawing->GetPickCount() : 0;
  const int breakOffered = m_drawing != nullptr ? m_drawing->IsBreakOffered() : 0;
  const ValueFieldChoice choice = ChooseValueFieldsFor(g_currentTool, step, picks, breakOffered);
  g_valueFieldCount = static_cast<std::int16_t>(choice.count);
  for (int i = 0; i < choice.count; ++i) {
    g_valueFieldIds[static_cast<std::size_t>(i)] = choice.ids[static_cast<std::size_t>(i)];
  }
  g_valueFieldEditable = choice.editable;
  m_drawValues = choice.drawValues;
  // Read-outs belong to the fields they were written into: other fields, no read-outs.
  bool same = m_shownCount == choice.count;
  for (int i = 0; same && i < choice.count; ++i) {
    same = m_shownIds[static_cast<std::size_t>(i)] == choice.ids[static_cast<std::size_t>(i)];
  }
  if (!same) {
    m_live = {};
    m_shownCount = choice.count;
    m_shownIds = choice.ids;
  }
  if (m_firstField >= std::max<int>(choice.count, 1)) m_firstField = 0;
}

int CEditingView::FitValueFields(CDrawContext& dc, int width, int used, int items, int& fitted) {
  const zeph::DcFont old = SelectSmall(dc);
  const int h = m_lineHeight;
  const int count = std::clamp<int>(g_valueFieldCount, 0, kValueFieldSlots);
  if (m_firstField >= std::max(count, 1)) m_firstField = 0;
  int fieldsWidth = 0;
  fitted = 0;
  m_endField = count;
  for (int slot = m_firstField; slot < count; ++slot) {
    const ValueFieldInfo* info = GetValueFieldInfo(g_valueFieldIds[static_cast<std::size_t>(slot)]);
    const int e = info != nullptr ? WiderLabel(dc, *info) + info->width + 5 : 5;
    if (used + fieldsWidth + e + h + 5 + (fitted + items + 1) * kMinimumGap > width) {
      m_endField = slot;
      break;
    }
    fieldsWidth += e;
    ++fitted;
  }
  m_valuesBarFlags &= ~(kArrowForwardShown | kArrowBackShown);
  if (m_endField < count) m_valuesBarFlags |= kArrowForwardShown;
  if (m_firstField != 0) m_valuesBarFlags |= kArrowBackShown;
  if (m_endField < count || m_firstField != 0) fieldsWidth += h + 5;
  dc.SelectFont(old);
  return fieldsWidth;
}

// ---- Drawing ----

const DcRect& CEditingView::GetFieldBox(int slot) const {
  static const DcRect kNone;
  if (slot < 0 || slot >= kValueFieldSlots) return kNone;
  return m_fieldBoxes[static_cast<std::size_t>(slot)];
}

void CEditingView::DrawValuesBarFields(CDrawContext& dc) {
  const zeph::DcFont old = SelectSmall(dc);
  const int h = m_lineHeight;
  const int y0 = m_drawingAreaHeight + 5;
  m_fieldBoxes = {};
  SetTextColour(dc, g_foregroundColour);
  SetOpaqueBkColour(dc, g_buttonFaceColour);
  int x = m_fieldMargin;
  for (int slot = m_firstField; slot < m_endField; ++slot) {
    const ValueFieldInfo* info = GetValueFieldInfo(g_valueFieldIds[static_cast<std::size_t>(slot)]);
    if (info == nullptr) continue;
    const int labels = WiderLabel(dc, *info);
    const int boxLeft = x + labels + 5;
    const int boxRight = boxLeft + info->width;
    DcRect box;
    if (info->label2 != nullptr) {
      DrawTextInBox(dc, x, y0 + 3, info->label1, x + labels - 1, kAlignRight);
      DrawTextInBox(dc, x, y0 + h + 3, info->label2, x + labels - 1, kAlignRight);
      box = {boxLeft, y0, boxRight, y0 + 2 * h + 6};
    } else {
      DrawTextInBox(dc, x, y0 + h / 2 + 3, info->label1, x + labels - 1, kAlignRight);
      box = {boxLeft, y0 + h / 2, boxRight, y0 + h / 2 + h + 6};
    }
    m_fieldBoxes[static_cast<std::size_t>(slot)] = box;
    DrawFramedBoxUi(dc, box.left, box.top, box.right - 1, box.bottom - 1, kUiInk, kUiBoxFill);
    x += labels + 5 + info->width + m_fieldGap;
  }
  const int bottom = m_lastHeight - 3;
  m_rightArrowBox = {};
  m_leftArrowBox = {};
  if ((m_valuesBarFlags & kArrowForwardShown) != 0) {
    m_rightArrowBox = {m_fieldsEnd - h, bottom - h, m_fieldsEnd, bottom};
    Draw3dArrowButton(dc,
                      {m_rightArrowBox.left, m_rightArrowBox.top, m_rightArrowBox.right - 1,
                       m_rightArrowBox.bottom - 1},
                      kArrowRight, (m_valuesBarFlags & kArrowForwardPressed) != 0 ? 1 : 0);
  }
  if ((m_valuesBarFlags & kArrowBackShown) != 0) {
    m_leftArrowBox = {m_fieldsEnd - h, bottom - 2 * h - 3, m_fieldsEnd, bottom - h - 3};
    Draw3dArrowButton(dc,
                      {m_leftArrowBox.left, m_leftArrowBox.top, m_leftArrowBox.right - 1,
                       m_leftArrowBox.bottom - 1},
                      kArrowLeft, (m_valuesBarFlags & kArrowBackPressed) != 0 ? 1 : 0);
  }
  dc.SelectFont(old);
}

namespace {

// What one field's box shows: up to two texts, or colour boxes, or a sample line.
struct FieldView {
  QString lines[2];
  bool colour = false;
  std::int32_t colourValue = 0;
  bool sampleLine = false;
  std::uint8_t style = 1;
  bool recolourBoxes = false;
  bool eraseFirst = false;
};

QString PointText(std::int32_t value, std::int32_t origin) {
  return BarLengthText(static_cast<double>(value) - origin);
}

QString ArcPointsText() {
  const bool twoPoints = g_arcAngleSet != 0 || (g_arcPointChoice == 0 && g_arcRadiusSet != 0);
  if (twoPoints) {
    return g_arcPointChoice != 0 ? QStringLiteral("Centre | Start") : QStringLiteral("Start | End");
  }
  return g_arcPointChoice != 0 ? QStringLiteral("Centre | Start | End")
                               : QStringLiteral("Start | End | Any other");
}

QString NumberText(double value) {
  QString text;
  FormatDouble(value, text, 21);
  return text;
}

QString PercentText(double value) {
  QString text;
  FormatDouble(value, text, 21);
  RoundNumberText(text, 1, kRoundNearest);
  return text + u'%';
}

QString YesNo(int flag) { return flag != 0 ? QStringLiteral("Yes") : QStringLiteral("No"); }

FieldView ViewOfField(int id, const CZephDoc* document) {
  FieldView v;
  const ValueFieldRow* row = GetValueFieldRow(id);
  if (row == nullptr) return v;
  const auto objectName = [document](int number) {
    return document != nullptr ? document->GetObjectName(number, 0) : QString::number(number);
  };
  const DrawingPoint origin = g_readoutOrigin;
  for (int i = 0; i < 2; ++i) {
    const ValueFieldLine& line = row->lines[i];
    QString& text = v.lines[i];
    const double value = line.value != nullptr ? line.value() : 0.0;
    const bool set = line.set == nullptr || *line.set != 0;
    switch (line.show) {
      case FieldShow::kNothing:
        break;  // the live read-outs write their own
      case FieldShow::kLength:
        text = BarLengthText(value);
        break;
      case FieldShow::kSetLength:
        if (set) text = BarLengthText(value);
        break;
      case FieldShow::kAngle:
        text = BarAngleText(value);
        break;
      case FieldShow::kSetAngle:
        if (set) text = BarAngleText(value);
        break;
      case FieldShow::kLineAngle:
        if (set) {
          text = BarAngleText(value);
          if (IsValidAngleStep(value) != 0) text += QStringLiteral(" multiples");
        }
        break;
      case FieldShow::kNumber:
        text = NumberText(value);
        break;
      case FieldShow::kSetNumber:
        if (set) text = NumberText(value);
        break;
      case FieldShow::kPercent:
        text = PercentText(value);
        break;
      case FieldShow::kList:
        text = ListText(line.names, line.nameCount, static_cast<int>(value) - line.listBase);
        break;
      case FieldShow::kYesNo:
        text = YesNo(static_cast<int>(value));
        break;
      case FieldShow::kFont:
        text = FontText(*line.font);
        break;
      case FieldShow::kHatch:
        text = HatchText(static_cast<int>(value));
        break;
      case FieldShow::kPointX:
        text = PointText(static_cast<std::int32_t>(value), origin.x);
        break;
      case FieldShow::kPointY:
        text = PointText(static_cast<std::int32_t>(value), origin.y);
        break;
      case FieldShow::kObjectName:
        text = objectName(static_cast<int>(value));
        break;
      case FieldShow::kChosenObjectName:
        v.eraseFirst = true;
        if (g_objectChosen != 0) text = objectName(static_cast<int>(value));
        break;
      case FieldShow::kChosenObjectNumber:
        v.eraseFirst = true;
        if (g_objectChosen != 0) text = NumberText(value);
        break;
      case FieldShow::kChosenObjectLongName:
        v.eraseFirst = true;
        if (g_objectChosen != 0 && document != nullptr) {
          text = document->GetObjectName(static_cast<int>(value), 1);
        }
        break;
      case FieldShow::kColour:
        v.colour = true;
        v.colourValue = static_cast<std::int32_t>(value);
        break;
      case FieldShow::kSampleLine:
        v.sampleLine = true;
        v.style = static_cast<std::uint8_t>(value);
        break;
      case FieldShow::kRecolourBoxes:
        v.recolourBoxes = true;
        break;
      case FieldShow::kArcPoints:
        text = ArcPointsText();
        break;
      case FieldShow::kRadii:
        text = BarLengthText(g_valueRadiusA) + QStringLiteral(", ") + BarLengthText(g_valueRadiusB);
        break;
      case FieldShow::kPlottingOrder:
        text = g_valuePlottingOrder;
        break;
    }
  }
  return v;
}

}  // namespace

void CEditingView::DrawFieldValues(CDrawContext& dc) {
  const zeph::DcFont old = SelectSmall(dc);
  const int h = m_lineHeight;
  SetTextColourUi(dc, kUiInk);
  SetOpaqueBkColourUi(dc, kUiBoxFill);
  for (int slot = m_firstField; slot < m_endField; ++slot) {
    const DcRect& box = m_fieldBoxes[static_cast<std::size_t>(slot)];
    if (box.IsEmpty()) continue;
    const FieldView v = ViewOfField(g_valueFieldIds[static_cast<std::size_t>(slot)], m_document);
    const int left = box.left + 5;
    const int right = box.right - 5;
    if (v.eraseFirst)
      FillBox(dc, box.left + 1, box.top + 1, box.right - 2, box.bottom - 2, g_backgroundColour);
    if (v.colour) {
      FillBox(dc, left, box.top + 3, box.right - 6, box.top + h - 1,
              static_cast<zeph::ColourRef>(v.colourValue));
    }
    if (v.sampleLine) {
      const int y = box.top + (box.bottom - box.top) / 2;
      FillBox(dc, left, y - 1, right, y + 1, g_backgroundColour);
      const zeph::DcPen pen =
          dc.SelectPen(zeph::DcPen{zeph::PenStyle::kSolid, 1, g_foregroundColour});
      DrawStyledLine(dc, left, y, right, y, v.style);
      dc.SelectPen(pen);
    }
    if (v.recolourBoxes) {
      const int count = std::clamp<int>(g_recolourCount, 0, 10);
      const int top = box.top + 3;
      const int bottom = box.bottom - 4;
      if (count == 0) {
        FillBox(dc, left, top, box.right - 6, bottom, g_backgroundColour);
      } else {
        const int each = std::max((box.right - 6 - left + 1) / count, 1);
        for (int i = 0; i < count; ++i) {
          const int l = left + i * each;
          const int r = i == count - 1 ? box.right - 6 : l + each - 1;
          FillBox(dc, l, top, r, bottom,
                  static_cast<zeph::ColourRef>(g_recolourColours[static_cast<std::size_t>(i)]));
        }
      }
    }
    for (int line = 0; line < 2; ++line) {
      if (v.lines[line].isEmpty()) continue;
      DrawTextLine(dc, left, box.top + 3 + line * h, v.lines[line], right);
    }
  }
  dc.SelectFont(old);
}

void CEditingView::DrawValuesBarContents(CDrawContext& dc) {
  DrawValuesBarFields(dc);
  if (m_drawValues != 0) DrawFieldValues(dc);
  // The read-outs of the gesture in progress over the boxes.
  const zeph::DcFont old = SelectSmall(dc);
  SetTextColourUi(dc, kUiLiveInk);
  SetOpaqueBkColourUi(dc, kUiBoxFill);
  for (int slot = m_firstField; slot < m_endField; ++slot) {
    const DcRect& box = m_fieldBoxes[static_cast<std::size_t>(slot)];
    const LiveLines& live = m_live[static_cast<std::size_t>(slot)];
    if (box.IsEmpty()) continue;
    if (live.blank != 0) {
      FillBox(dc, box.left + 1, box.top + 1, box.right - 2, box.bottom - 2, g_backgroundColour);
      continue;
    }
    for (int line = 0; line < 2; ++line) {
      if (live.lines[line].isEmpty()) continue;
      DrawTextLine(dc, box.left + 5, box.top + 3 + line * m_lineHeight, live.lines[line],
                   box.right - 5);
    }
  }
  dc.SelectFont(old);
}

void CEditingView::DrawFieldValues() {
  // The tools call this after a value changed: the read-outs give way to the values.
  m_live = {};
  InvalidateValuesBar();
}

// ---- Live read-outs ----

QString CEditingView::GetLiveText(int slot, int line) const {
  if (slot < 0 || slot >= kValueFieldSlots || line < 0 || line > 1) return {};
  return m_live[static_cast<std::size_t>(slot)].lines[line];
}

void CEditingView::SetLiveText(int slot, int line, const QString& text) {
  if (slot < 0 || slot >= kValueFieldSlots || line < 0 || line > 1) return;
  LiveLines& live = m_live[static_cast<std::size_t>(slot)];
  live.lines[line] = text;
  live.blank = 0;
  InvalidateValuesBar();
}

void CEditingView::SetLivePoint(int slot, const DrawingPoint& point) {
  SetLiveText(slot, 0, BarLengthText(static_cast<double>(point.x) - g_readoutOrigin.x));
  SetLiveText(slot, 1, BarLengthText(static_cast<double>(point.y) - g_readoutOrigin.y));
}

void CEditingView::ShowPointValues(int x, int y, int which) {
  if (m_firstField != 0 || g_valueFieldCount < 1 || g_valueFieldIds[0] != kFieldCoordinates) {
    return;
  }
  if (which == 0 || which == 1)
    SetLiveText(0, 0, BarLengthText(static_cast<double>(x) - g_readoutOrigin.x));
  if (which == 0 || which == 2)
    SetLiveText(0, 1, BarLengthText(static_cast<double>(y) - g_readoutOrigin.y));
}

void CEditingView::ShowCursorPoint() { ShowPointValues(g_cursorPoint.x, g_cursorPoint.y, 0); }

void CEditingView::ShowArcValues(int flag) {
  SetLivePoint(0, g_snapPoint);
  if (flag == 0) {
    for (int slot = 1; slot <= 3; ++slot) {
      m_live[static_cast<std::size_t>(slot)] = {};
      m_live[static_cast<std::size_t>(slot)].blank = 1;
    }
    InvalidateValuesBar();
    return;
  }
  SetLivePoint(1, g_readoutCentre);
  SetLiveText(2, 0, BarLengthText(g_readoutRadius));
  SetLiveText(2, 1, BarAngleText(g_readoutAngle));
  SetLiveText(3, 0, BarLengthText(g_readoutAngle * g_readoutRadius));
}

void CEditingView::ShowCurveValues() {
  SetLivePoint(0, g_cursorPoint);
  SetLiveText(1, 0, BarLengthText(g_readoutLength));
  SetLiveText(1, 1, BarAngleText(g_readoutAngle));
}

void CEditingView::ShowMoveValues() {
  SetLivePoint(0, g_snapPoint);
  SetLiveText(1, 0, BarLengthText(g_readoutMove.x));
  SetLiveText(1, 1, BarLengthText(g_readoutMove.y));
  SetLiveText(2, 0, BarLengthText(g_readoutLength));
  SetLiveText(2, 1, BarAngleText(g_readoutAngle));
}

void CEditingView::ShowShapeValues() {
  SetLivePoint(0, g_snapPoint);
  SetLiveText(1, 0, BarLengthText(g_readoutLength));
  SetLiveText(1, 1, BarAngleText(g_readoutAngle));
}

void CEditingView::ShowCircleValues() {
  SetLivePoint(0, g_snapPoint);
  SetLiveText(1, 0, BarLengthText(g_readoutRadius));
}

void CEditingView::ShowRectangleValues() {
  SetLivePoint(0, g_snapPoint);
  SetLiveText(1, 0, BarLengthText(g_readoutLength));
  SetLiveText(1, 1, BarLengthText(g_readoutWidth));
}

void CEditingView::ShowLiveLength() { SetLiveText(0, 0, BarLengthText(g_readoutLength)); }

void CEditingView::ShowControlPointValues(int i) {
  double length = 0.0;
  double angle = 0.0;
  if (i == 0) {
    length = g_valueControlLength0;
    angle = g_valueControlAngle0;
  } else if (i == 1) {
    length = g_valueControlLength1;
    angle = g_valueControlAngle1;
  } else {
    SetGlitchValue(i);
    ReportGlitch(2833, 1);
    i = 0;
  }
  SetLiveText(i + 1, 0, BarLengthText(length));
  SetLiveText(i + 1, 1, BarAngleText(angle));
}

void CEditingView::ClearCoordinateField() {
  if (g_valueFieldCount < 1 || g_valueFieldIds[0] != kFieldCoordinates || m_firstField != 0) {
    return;
  }
  m_live[0] = {};
  InvalidateValuesBar();
}

// ---- Hit testing and the mouse ----

int CEditingView::HitTestValueField(int x, int y) {
  for (int slot = m_firstField; slot < m_endField; ++slot) {
    const DcRect& box = m_fieldBoxes[static_cast<std::size_t>(slot)];
    if (box.IsEmpty()) continue;
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) {
      m_secondLineHit = y > box.top + m_lineHeight + 3 ? 1 : 0;
      return slot;
    }
  }
  return -1;
}

int CEditingView::OnValuesBarPress(QPoint point) {
  // A press anywhere on the view takes the open editor's value first; a refused value keeps
  // the editor and the press goes no further.
  if (m_openEditor != kValueEditorNone && CloseValueEditorResult() == 0) return 1;
  m_pressedField = -1;
  if (point.y() < m_drawingAreaHeight || point.x() >= m_paletteLeft) return 0;
  const int slot = HitTestValueField(point.x(), point.y());
  if (slot < 0) return 0;
  m_pressedField = slot;
  return 1;
}

int CEditingView::OnValuesBarRelease(QPoint point) {
  const int pressed = m_pressedField;
  m_pressedField = -1;
  if (pressed < 0) return 0;
  if (HitTestValueField(point.x(), point.y()) == pressed &&
      g_valueFieldEditable[static_cast<std::size_t>(pressed)] != 0) {
    OpenValueEditor(pressed);
  }
  return 1;
}

void CEditingView::OnValuesBarHover(QPoint point) {
  int iBeam = 0;
  if (point.y() >= m_drawingAreaHeight) {
    const int slot = HitTestValueField(point.x(), point.y());
    iBeam = slot >= 0 && g_valueFieldEditable[static_cast<std::size_t>(slot)] != 0 ? 1 : 0;
  }
  if (iBeam == m_iBeam) return;
  m_iBeam = iBeam;
  if (iBeam != 0) {
    setCursor(Qt::IBeamCursor);
  } else {
    unsetCursor();
  }
}

// ---- A new drawing ----

void CEditingView::ResetValuesBarParameters() {
  ResetValuesBarParametersForNewDrawing();
  m_live = {};
  m_firstField = 0;
}

namespace {

class CViewValuesBar final : public IValuesBarPart {
 public:
  void ResetParameters(CEditingView& view) override { view.ResetValuesBarParameters(); }
  int ApplyValueEditor(CEditingView& view, int kind) override {
    return view.ApplyValueEditorOfKind(kind);
  }
};

}  // namespace

IValuesBarPart& GetViewValuesBar() {
  static CViewValuesBar part;
  return part;
}
