#pragma once
// A device-independent font description: face name, size in points, width percent, bold and
// italic. Options, drawing texts, dimensions and printed footers keep their fonts in this
// form and turn them into platform fonts only when drawing.
#include <QString>
#include <cstdint>

#include "support/log.h"

class CFontSpec {
 public:
  // No face name (read as "Arial"), 10 pt, normal width, not bold, not italic.
  CFontSpec() = default;

  // Sets every property at once; the width goes back to normal.
  void Set(const QString& face, std::int16_t size, bool bold, bool italic) {
    SetFaceName(face);
    m_size = size;
    m_widthPercent = 100;
    m_bold = bold ? 1 : 0;
    m_italic = italic ? 1 : 0;
  }

  // Copies size, width, bold and italic, and the face name only when other has one.
  void CopyFrom(const CFontSpec& other) {
    m_size = other.m_size;
    m_widthPercent = other.m_widthPercent;
    m_bold = other.m_bold;
    m_italic = other.m_italic;
    if (other.m_hasFaceName) {
      m_faceName = other.m_faceName;
      m_hasFaceName = true;
    }
  }

  // 1 when both have a face name, the names are equal character for character and every
  // other property is equal; 0 otherwise.
  int IsEqual(const CFontSpec& other) const {
    if (!m_hasFaceName || !other.m_hasFaceName) return 0;
    return m_faceName == other.m_faceName && m_size == other.m_size &&
                   m_widthPercent == other.m_widthPercent && m_bold == other.m_bold &&
                   m_italic == other.m_italic
               ? 1
               : 0;
  }

  // A face name is stored on one line of a text file: it is cut at a CR or LF, which is a
  // glitch (20307, n 1).
  void SetFaceName(const QString& text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    if (end < text.size()) ReportGlitch(20307, 1);
    m_faceName = text.left(end);
    m_hasFaceName = true;
  }
  QString GetFaceName() const { return m_hasFaceName ? m_faceName : QStringLiteral("Arial"); }
  bool HasFaceName() const { return m_hasFaceName; }

  void SetSize(std::int16_t size) { m_size = size; }
  std::int16_t GetSize() const { return m_size; }
  void SetWidthPercent(std::int16_t percent) { m_widthPercent = percent; }
  std::int16_t GetWidthPercent() const { return m_widthPercent; }
  void SetBold(bool bold) { m_bold = bold ? 1 : 0; }
  int IsBold() const { return m_bold; }
  void SetItalic(bool italic) { m_italic = italic ? 1 : 0; }
  int IsItalic() const { return m_italic; }

 private:
  QString m_faceName;
  bool m_hasFaceName = false;
  std::int16_t m_size = 10;
  std::int16_t m_widthPercent = 100;  // 0 counts as 100
  std::int16_t m_bold = 0;
  std::uint8_t m_italic = 0;
};
