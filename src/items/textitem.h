#pragma once
// The text item (type 6): one line of text placed in the drawing at a position (the top-left
// corner of its first character before rotation), with a font, a rotation angle and two
// attributes the drawing file and undo carry (a parameter and a tag, never interpreted).
//
// It is edited in place: while the user types, the characters live in one shared edit buffer
// (only one text is edited at a time), drawn over the drawing with an exclusive-or caret, and
// go back into the item when editing ends, after an optional spell check. While it is
// dragged the text is drawn over a saved copy of the screen under it rather than with
// exclusive or, which would garble the letters.
//
// Texts take part in no intersection and bound no fill. Measuring (box, caret, picking,
// bounds, the character under the cursor) uses the measuring fonts of rotatedtext.h; the
// operations that get no context borrow the editing view's (itemservices.h).
#include <QString>
#include <cstdint>
#include <memory>

#include "items/drawitem.h"
#include "items/valuefields.h"
#include "platform/drawcontext.h"
#include "support/fontspec.h"
#include "support/screen.h"

// ---- Values-bar fields of the text ----

extern CFontSpec g_valueTextFont;
extern std::int16_t g_valueFontWidth;  // width percent
extern double g_valueTextAngle;        // radians

// Back to the start values. For tests.
void ResetTextValueFields();

// ---- The shared editing state ----
inline constexpr int kTextEditLimit = 100;  // typing adds characters only below this length

// The characters being edited (the whole text), the caret index (0..length) and
// whether the caret line is on the screen now (it is drawn with exclusive or, so drawing it
// again removes it).
extern QString g_textEditBuffer;
extern std::int32_t g_textEditCaret;
extern std::int32_t g_textCaretShown;

// Empty buffer, caret 0 and hidden. For tests.
void ResetTextEditState();

// Keys as EditKey gets them: key-down messages carry these codes (the editor passes Delete
// as 7); character messages carry the character.
inline constexpr unsigned kEditKeyDelete = 7;
inline constexpr unsigned kEditKeyLeft = 37;
inline constexpr unsigned kEditKeyRight = 39;
inline constexpr unsigned kEditKeyF7 = 118;
inline constexpr unsigned kEditCharBackspace = 8;
inline constexpr unsigned kEditCharEnter = 13;
inline constexpr unsigned kEditCharEscape = 27;

// Outcomes of EditKey: the editor ends text editing on either of the last two.
inline constexpr std::int16_t kEditGoesOn = 0;
inline constexpr std::int16_t kEditAccepted = 1;
inline constexpr std::int16_t kEditCancelled = -1;

// The screen under a dragged text, and the device anchor it was saved at.
class CSavedTextArea {
 public:
  CSavedTextArea();
  CSavedTextArea(const CSavedTextArea&) = delete;
  CSavedTextArea& operator=(const CSavedTextArea&) = delete;

  // Copies the pixels of rect (right and bottom outside) and remembers the anchor. 1 when
  // saved; a failure is a glitch (2001: 2 no memory, 3 no bitmap, 4 copy failed) and 0.
  int Save(zeph::CDrawContext& dc, const zeph::DcRect& rect, int anchorX, int anchorY);
  // Puts the pixels back where they came from. 1 when restored; a glitch (2002: 1 nothing
  // saved, 2 no bitmap, 4 copy failed) and 0 otherwise.
  int Restore(zeph::CDrawContext& dc);
  // 1 when the area is saved, with a bitmap, at the anchor (x, y).
  int IsSavedAt(int x, int y) const;
  // Forgets the pixels and frees their storage.
  void Release();

 private:
  CSavedScreenArea m_area;
  std::int32_t m_anchorX = 0;
  std::int32_t m_anchorY = 0;
};

class CTextItem final : public CDrawItem {
 public:
  CTextItem();
  ~CTextItem() override;

  // ---- Attributes (undo kinds: position 39, characters 37, font 40, angle 36, parameter 34,
  // tag 5). Texts cross nothing, so no setter drops cached intersections. ----
  void GetPosition(int& x, int& y) const override;
  void SetPosition(int x, int y) override;
  // The characters; a null text for an item that has none.
  QString GetText() const override;
  // 1 when stored (also when equal, which records nothing), 0 when the document refuses.
  int SetText(const QString& text) override;
  // Stores the characters without undo (the undo journal and the file reader use it).
  void AttachText(const QString& text) override;
  int GetTextLength() const override;
  bool HasText() const { return m_hasText; }
  const CFontSpec* GetFont() const override { return &m_font; }
  void SetFont(const CFontSpec& font) override;
  // The font's width percent (the values bar's "Width:"), not its point size.
  int GetFontSize() const override { return m_font.GetWidthPercent(); }
  void SetFontSize(int widthPercent) override;
  double GetTextAngle() const override { return m_angle; }
  void SetTextAngle(double angle) override;
  double GetTextParameter() const override { return m_parameter; }
  void SetTextParameter(double parameter) override;
  int GetTextTag() const override { return m_tag; }
  void SetTextTag(int tag) override;

  // ---- Handles: 0 is the position ----
  int GetHandleCount() const override { return 1; }
  int GetHandleX(int handle) const override;
  int GetHandleY(int handle) const override;
  void SetHandle(int handle, int x, int y) override;
  void MoveHandle(int handle, int dx, int dy) override;
  void MoveBy(int dx, int dy) override;

  void CopyFrom(const CDrawItem* other) override;
  // At least one character, the position within the limits, a finite angle and parameter.
  int IsValid() const override;
  // Moves the position; a rotation turns the text, an enlargement scales its font. Mirrors
  // and stretches move the position only.
  void Transform(const CTransform& transform) override;

  int CanBound() const override { return 0; }
  int IsClosed() const override { return 0; }
  int IntersectWith(CDrawItem*) override { return 0; }
  int IntersectScanLine(int) const override { return 0; }

  // ---- Drawing and measuring ----
  // The edit buffer while editing, else the characters. Colour mode -2 (dragging) draws in
  // the item's colour over a saved copy of the screen, and the next such call at the same
  // place puts the screen back.
  void Draw(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode,
            int thin) const override;
  // 0 within the band around the text's centre line, else the distance beyond it.
  double GetPickDistance(const CViewMapping* mapping) const override;
  void CalcBoundingBox(const CViewMapping* mapping) const override;
  // The character boundary nearest the cursor, -1 outside the text.
  int GetCharIndexAtCursor(const CViewMapping* mapping) const override;

  // ---- Editing ----
  // caret < 0: at the end.
  void BeginEdit(int caret) override;
  // One keystroke; 1 when it did something. outcome becomes kEditAccepted (Enter) or
  // kEditCancelled (Escape) when editing ends.
  int EditKey(zeph::CDrawContext* dc, IDrawingWindow* window, unsigned key, int isKeyDown,
              std::int16_t& outcome) override;
  void DrawEditText(zeph::CDrawContext* dc, const CViewMapping* mapping) override;
  // Toggles the caret line.
  void DrawCaret(zeph::CDrawContext* dc, const CViewMapping* mapping) override;
  void HideCaret(zeph::CDrawContext* dc, const CViewMapping* mapping) override;
  void SetCaret(int index) override;
  void Invalidate() override { m_caretStale = 1; }
  // Wipes the edited characters off the screen and ends editing; the text is not changed.
  void EndEdit(zeph::CDrawContext* dc, const CViewMapping* mapping) override;
  // Spell-checks the buffer when the option asks for it, then stores it and ends editing.
  void CheckSpelling(IDrawingWindow* window) override;
  void EraseTextBox(zeph::CDrawContext* dc, const CViewMapping* mapping) override;
  int IsEditing() const { return m_editing; }

  void PublishProperties() const override;
  void PublishInformation() const override;

  // ---- Plain ----
  // The edit buffer at the item's position, angle and font.
  void DrawEditBuffer(zeph::CDrawContext* dc, const CViewMapping* mapping, int colourMode) const;
  // The four device corners of the turned text box at the device anchor (dx, dy), clockwise
  // on the screen from the anchor; 0 (corners untouched) when the text is too small to
  // measure or there is no context.
  int GetTextDeviceCorners(zeph::CDrawContext* dc, int dx, int dy, const CViewMapping* mapping,
                           zeph::DcPoint corners[4]) const;
  // The device rectangle around the turned text at the anchor (dx, dy); 0 (box untouched)
  // when the text is too small to measure or there is no context. The offsets are kept
  // until the text, font, angle or scale change.
  int GetTextDeviceBox(zeph::CDrawContext* dc, int dx, int dy, const CViewMapping* mapping,
                       zeph::DcRect& box) const;

 private:
  // The turned box's height and width in screen pixels; false when the text is too small.
  bool MeasureDeviceBox(zeph::CDrawContext& dc, const CViewMapping& mapping, int& h, int& w) const;
  // The line height and text width in drawing units with the editing view's context, at a
  // measuring height rounded up; false without a context.
  bool MeasureInDrawingUnits(const CViewMapping& mapping, std::int16_t angleDegrees, double& height,
                             double& width) const;
  // The characters on the screen: the edit buffer while editing.
  QString ShownText() const;
  void DropBox() { m_boxValid = 0; }
  // Draws the buffer in the background colour, then changes it through change, then draws
  // it in the item's colour.
  template <typename Change>
  void ChangeBuffer(zeph::CDrawContext* dc, const CViewMapping* mapping, Change change);

  std::int32_t m_x = 0;
  std::int32_t m_y = 0;
  QString m_text;
  bool m_hasText = false;
  CFontSpec m_font;
  double m_angle = 0.0;
  double m_parameter = 0.0;
  std::int32_t m_tag = -1;
  std::int32_t m_editing = 0;
  std::int32_t m_caretStale = 1;
  std::int32_t m_caretLine[4] = {0, 0, 0, 0};
  mutable std::unique_ptr<CSavedTextArea> m_savedArea;
  mutable std::int32_t m_boxValid = 0;
  mutable std::int32_t m_box[4] = {0, 0, 0, 0};  // left, top, right, bottom offsets
  // The screen scale the box offsets were measured at: they are pixels, so a new zoom
  // needs new ones.
  mutable std::int32_t m_boxScale = 0;
};
