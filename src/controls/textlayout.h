#pragma once
// The program's one word-wrapping routine: breaks a text into lines that fit a rectangle, and
// draws them or only measures them. It breaks at the line-break characters (127 and 10) and at
// blanks, keeps closing punctuation with the word before it, can cut a word longer than a line
// with a hyphen, draws a range of characters in a highlight colour, and can record where every
// line ends, so that a caller can scroll a highlighted range into view.
//
// The owner sets the indents, spacing, highlight and keep-punctuation flag as plain fields;
// the counts are outputs of the last call.
#include <QString>
#include <QStringView>
#include <cstdint>

#include "platform/drawcontext.h"
#include "support/uirect.h"

namespace zeph {

inline constexpr char16_t kLayoutLineBreak = 127;  // the program's own line break in texts

class CTextLayout {
 public:
  CTextLayout(std::int32_t breakLongWords, std::int32_t wrapAtSpaces);

  void SetHalfBlankLines(std::int32_t flag) { m_halfBlankLines = flag; }
  // The caller's array receives the index after each line's last character (not owned).
  void SetLineEnds(std::int32_t* array, std::int32_t capacity);

  // Lays the text out in rect (right and bottom inside). firstLine -1 only measures the whole
  // text; 0 or more draws, skipping that many lines first. alignment 0 left, 1 centred,
  // 2 right. 1 when the whole text ended within the rectangle.
  int LayOutText(CDrawContext& dc, const UiRect& rect, QStringView text, int firstLine,
                 int alignment);
  // Draws the text centred vertically in rect when it fits, else from the top.
  int LayOutTextCentred(CDrawContext& dc, const UiRect& rect, QStringView text, int alignment);
  // The first line to show so that the highlighted range is visible; 0 when the working array
  // cannot be made.
  int GetFirstLineForSelection(CDrawContext& dc, const UiRect& rect, QStringView text);

  // ---- Set by the owner ----
  std::int32_t m_firstIndent = 0;   // pixels added to the left for the first line
  std::int32_t m_otherIndent = 0;   // the same for every later line
  std::int32_t m_extraSpacing = 0;  // pixels added to the font's line height
  std::int32_t m_highlightStart = 0;
  std::int32_t m_highlightLength = 0;  // 0: no highlight
  ColourRef m_highlightColour = 0;
  std::int32_t m_keepPunctuation = 0;  // break after, never before, closing punctuation

  // ---- Results of the last call ----
  std::int32_t m_lineCount = 0;  // skipped lines included
  std::int32_t m_fittingLines = 0;
  std::int32_t m_endY = 0;           // below the last line laid out
  std::int32_t m_widestLine = 0;     // from the rectangle's left edge
  std::int32_t m_overlongCount = 0;  // lines on which no break position was found

 private:
  std::int32_t* m_lineEnds = nullptr;
  std::int32_t m_lineEndCapacity = 0;
  std::int32_t m_breakLongWords;
  std::int32_t m_wrapAtSpaces;
  std::int32_t m_halfBlankLines = 0;
};

// Registers this routine as the word-wrapping layout of the support library (a picture that
// cannot be shown writes its message with it).
void InstallTextLayout();

// 1 when, after any blanks, the text holds one punctuation mark followed only by blanks.
int IsOnlyPunctuation(QStringView text);
// 1 for the closing punctuation marks ! " % ' , . / ? and backslash.
int IsKeptPunctuation(char16_t c);

}  // namespace zeph
