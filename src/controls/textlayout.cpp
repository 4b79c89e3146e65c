#include "controls/textlayout.h"

#include <algorithm>
#include <new>
#include <vector>

#include "support/controlservices.h"
#include "support/screen.h"

namespace zeph {
namespace {

bool IsLineBreak(QChar c) { return c.unicode() == kLayoutLineBreak || c.unicode() == u'\n'; }
bool IsBlank(QChar c) { return c.unicode() == u' '; }

int Length(QStringView text) {
  return static_cast<int>(std::min<qsizetype>(text.size(), 0x7FFFFFFF));
}

class CProgramTextLayout final : public ITextLayout {
 public:
  void LayOutTextCentred(CDrawContext& dc, UiRect& rect, const QString& text, int alignment,
                         int breakLongWords, int wrapAtSpaces) override {
    CTextLayout layout(breakLongWords, wrapAtSpaces);
    layout.LayOutTextCentred(dc, rect, text, alignment);
  }
};

}  // namespace

void InstallTextLayout() {
  static CProgramTextLayout layout;
  SetTextLayout(&layout);
}

int IsKeptPunctuation(char16_t c) {
  switch (c) {
    case u'!':
    case u'"':
    case u'%':
    case u'\'':
    case u',':
    case u'.':
    case u'/':
    case u'?':
    case u'\\':
      return 1;
    default:
      return 0;
  }
}

int IsOnlyPunctuation(QStringView text) {
  qsizetype i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size() || IsKeptPunctuation(text[i].unicode()) == 0) return 0;
  for (++i; i < text.size(); ++i) {
    if (!IsBlank(text[i])) return 0;
  }
  return 1;
}

CTextLayout::CTextLayout(std::int32_t breakLongWords, std::int32_t wrapAtSpaces)
    : m_highlightColour(g_colourTable[0]),
      m_breakLongWords(breakLongWords),
      m_wrapAtSpaces(wrapAtSpaces) {}

void CTextLayout::SetLineEnds(std::int32_t* array, std::int32_t capacity) {
  m_lineEnds = array;
  m_lineEndCapacity = array != nullptr ? std::max(0, capacity) : 0;
}

int CTextLayout::LayOutText(CDrawContext& dc, const UiRect& rect, QStringView text, int firstLine,
                            int alignment) {
  const bool measuring = firstLine < 0;
  // A pitch below one pixel would never leave the rectangle.
  const int pitch = std::max(1, GetLineHeight(dc) + m_extraSpacing);
  int skip = firstLine > 0 ? firstLine : 0;
  int x0 = rect.left + m_firstIndent;
  int available = rect.right - rect.left - m_firstIndent + 1;
  int y = rect.top;
  m_fittingLines = std::max(0, (rect.bottom - rect.top + 1) / pitch);
  m_lineCount = 0;
  m_widestLine = 0;
  m_overlongCount = 0;
  const int length = Length(text);
  int p = 0;
  int result = 0;

  while (measuring || y <= rect.bottom) {
    const QStringView rest = text.sliced(p, length - p);
    int b = -1;
    for (int i = 0; i < rest.size(); ++i) {
      if (IsLineBreak(rest[i])) {
        b = i;
        break;
      }
    }
    int n = FitTextToWidth(dc, rest, available, 0, b, 1);
    if (n == 0 && b != 0 && !rest.isEmpty()) n = 1;  // every line takes a character

    bool hyphen = false;
    if (m_wrapAtSpaces != 0 && (b < 0 || n < b)) {
      const bool atEnd = n >= rest.size();
      const bool onlyPunctuation = !atEnd && IsOnlyPunctuation(rest.sliced(n)) != 0;
      if ((!atEnd && !IsBlank(rest[n])) || onlyPunctuation) {
        int k = n - 1;
        // A closing mark that would start the next line takes its word along.
        if (onlyPunctuation) {
          while (k > 0 && IsBlank(rest[k])) --k;
        }
        int position = 0;
        for (; k > 0; --k) {
          if (IsBlank(rest[k])) {
            position = k;
            break;
          }
          if (m_keepPunctuation != 0 && IsKeptPunctuation(rest[k].unicode()) != 0) {
            position = k + 1;
            break;
          }
        }
        if (position <= 0) {
          ++m_overlongCount;
          if (m_breakLongWords != 0) {
            hyphen = true;
            if (n > 1) --n;
          }
        } else {
          n = position;
        }
      }
    }

    const QStringView line = rest.first(n);
    const int w = n > 0 ? GetTextWidth(dc, line, -1, 1) : 0;
    m_widestLine = std::max(m_widestLine, w + x0 - rect.left);

    if (skip > 0) {
      --skip;  // neither drawn nor given height
    } else {
      if (!measuring && n > 0) {
        const TextAlign previousAlign = dc.SetTextAlign(TextAlign::kLeft);
        const DcRect clip{x0, y, rect.right + 1, std::min(y + pitch, rect.bottom + 1)};
        int x = x0;
        if (w < available) {
          if (alignment == 1) x += (available - w) / 2;
          if (alignment == 2) x += available - w;
        }
        const std::int64_t hs = m_highlightStart;
        const std::int64_t he = hs + m_highlightLength;
        if (m_highlightLength > 0 && hs < p + n && he > p) {
          const int a = static_cast<int>(std::clamp<std::int64_t>(hs - p, 0, n));
          const int e = static_cast<int>(std::clamp<std::int64_t>(he - p, 0, n));
          const int bounds[4] = {0, a, e, n};
          for (int run = 0; run < 3; ++run) {
            const int from = bounds[run];
            const int to = bounds[run + 1];
            if (to <= from) continue;
            const QStringView piece = line.sliced(from, to - from);
            const ColourRef previousColour =
                run == 1 ? dc.SetTextColour(m_highlightColour) : dc.GetTextColour();
            dc.TextOutClipped(x, y, clip, piece);
            if (run == 1) dc.SetTextColour(previousColour);
            x += GetTextWidth(dc, piece, -1, 0);
          }
        } else {
          dc.TextOutClipped(x, y, clip, line);
          if (hyphen) dc.TextOutClipped(x + GetTextWidth(dc, line, -1, 0), y, clip, u"-");
        }
        dc.SetTextAlign(previousAlign);
      }
      y += (n <= 0 && m_halfBlankLines != 0) ? pitch / 2 : pitch;
    }

    if (m_lineEnds != nullptr && m_lineCount < m_lineEndCapacity) m_lineEnds[m_lineCount] = p + n;
    ++m_lineCount;
    if (m_lineCount == 1) {
      x0 = rect.left + m_otherIndent;
      available = rect.right - x0;
    }
    if (p + n >= length) {
      // Ended within the rectangle: the last line's lowest pixel row is inside it.
      result = y - 1 <= rect.bottom ? 1 : 0;
      break;
    }
    p += n;
    // One blank (or the line break) is consumed at a break; further blanks begin the line.
    if (IsLineBreak(text[p]) || IsBlank(text[p])) ++p;
  }
  m_endY = y;
  return result;
}

int CTextLayout::LayOutTextCentred(CDrawContext& dc, const UiRect& rect, QStringView text,
                                   int alignment) {
  UiRect placed = rect;
  if (LayOutText(dc, rect, text, -1, 0) != 0) placed.top += (rect.bottom - m_endY) / 2;
  return LayOutText(dc, placed, text, 0, alignment);
}

int CTextLayout::GetFirstLineForSelection(CDrawContext& dc, const UiRect& rect, QStringView text) {
  std::int32_t* const callerEnds = m_lineEnds;
  const std::int32_t callerCapacity = m_lineEndCapacity;
  std::vector<std::int32_t> ends;
  try {
    ends.resize(1000);
    SetLineEnds(ends.data(), static_cast<std::int32_t>(ends.size()));
    LayOutText(dc, rect, text, -1, 0);
    if (m_lineCount > static_cast<int>(ends.size())) {
      // A long text: measure again with room for every line.
      ends.resize(static_cast<std::size_t>(m_lineCount));
      SetLineEnds(ends.data(), static_cast<std::int32_t>(ends.size()));
      LayOutText(dc, rect, text, -1, 0);
    }
  } catch (const std::bad_alloc&) {
    SetLineEnds(callerEnds, callerCapacity);
    return 0;
  }
  SetLineEnds(callerEnds, callerCapacity);

  // Every index below stays under the line count, and a rectangle shows at least one line.
  const int n = std::min(m_lineCount, static_cast<int>(ends.size()));
  const int f = std::max(1, m_fittingLines);
  const std::int64_t s = m_highlightStart;
  const std::int64_t end = s + std::max(0, m_highlightLength);
  int r = 0;
  while (r + 1 < n && s >= ends[static_cast<std::size_t>(r + 1)] && r + f - 1 < n) {
    if (ends[static_cast<std::size_t>(r + f - 1)] >= end) {
      if (r + 2 < n && s >= ends[static_cast<std::size_t>(r + 2)] && f + r < n) ++r;
      break;
    }
    ++r;
  }
  // A rectangle of one line must show the selection's own line, not the one above it.
  int selectionLine = 0;
  while (selectionLine + 1 < n && s >= ends[static_cast<std::size_t>(selectionLine)]) {
    ++selectionLine;
  }
  if (selectionLine > r + f - 1) r = selectionLine - f + 1;
  return r;
}

}  // namespace zeph
