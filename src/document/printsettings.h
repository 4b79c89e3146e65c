#pragma once
// A drawing's own page set-up: paper orientation, margins, where a drawing smaller than the
// page goes, the footer's font, parts and alignment. The drawing keeps it and its file stores
// it; a new drawing takes it from the user's options. The page set-up sheet changes it through
// the setters, which answer 1 when the value changed (the sheet then marks the drawing changed)
// and 0 when it was already so.
#include <cstdint>

#include "support/fontspec.h"

class CTextFileReader;
class CTextFileWriter;

// Page positions of a drawing smaller than the printable area.
inline constexpr std::int16_t kPagePositionStart = 0;  // left or top
inline constexpr std::int16_t kPagePositionCentre = 1;
inline constexpr std::int16_t kPagePositionEnd = 2;  // right or bottom

// Footer alignments.
inline constexpr std::int16_t kFooterTextLeft = 0;    // page number right
inline constexpr std::int16_t kFooterTextCentre = 1;  // page number right
inline constexpr std::int16_t kFooterTextRight = 2;   // page number left

class CPrintSettings {
 public:
  // Portrait, margins left 2, top 2, right 2, bottom 1, footer 2 and overlap 0 cm, both
  // positions 0, no footer parts, the default font. A drawing loads its settings from the
  // options at once, so these are never printed.
  CPrintSettings() = default;

  // Every value from its option.
  void LoadFromOptions();
  // Every value into its option (an option whose value differs is marked changed), so that a
  // set-up made before any drawing was shown becomes the default for new drawings.
  void StoreToOptions() const;

  // The sixteen values, one line each, in the order of the fields below. Read: 1, or 0 at the
  // first value that cannot be read, the settings then unchanged. Write: 1, or 0 when the file
  // status is set afterwards.
  int Read(CTextFileReader& file);
  int Write(CTextFileWriter& file) const;

  std::int32_t GetLandscape() const { return m_landscape; }
  double GetLeftMargin() const { return m_leftMargin; }
  double GetTopMargin() const { return m_topMargin; }
  double GetRightMargin() const { return m_rightMargin; }
  double GetBottomMargin() const { return m_bottomMargin; }
  double GetFooterMargin() const { return m_footerMargin; }
  double GetMultiPageMargin() const { return m_multiPageMargin; }
  std::int16_t GetPageHorizontal() const { return m_pageHorizontal; }
  std::int16_t GetPageVertical() const { return m_pageVertical; }
  const CFontSpec& GetFooterFont() const { return m_footerFont; }
  std::int32_t GetPrintScale() const { return m_printScale; }
  std::int32_t GetPrintName() const { return m_printName; }
  std::int32_t GetPrintFilename() const { return m_printFilename; }
  std::int32_t GetPrintDate() const { return m_printDate; }
  std::int32_t GetPrintTime() const { return m_printTime; }
  std::int16_t GetFooterAlignment() const { return m_footerAlignment; }

  // Each answers 1 when the value differed and is now stored, 0 when it was equal. Landscape
  // is taken as 0 or 1. A margin that is not a finite number is refused (0): it could be
  // neither printed nor written to the file. The font counts as changed when any of its
  // properties differs.
  int SetLandscape(std::int32_t landscape);
  int SetLeftMargin(double cm);
  int SetTopMargin(double cm);
  int SetRightMargin(double cm);
  int SetBottomMargin(double cm);
  int SetFooterMargin(double cm);
  int SetMultiPageMargin(double cm);
  int SetPageHorizontal(std::int16_t position);
  int SetPageVertical(std::int16_t position);
  int SetFooterFont(const CFontSpec& font);
  int SetPrintScale(std::int32_t on);
  int SetPrintName(std::int32_t on);
  int SetPrintFilename(std::int32_t on);
  int SetPrintDate(std::int32_t on);
  int SetPrintTime(std::int32_t on);
  int SetFooterAlignment(std::int16_t alignment);

 private:
  std::int32_t m_landscape = 0;
  double m_leftMargin = 2.0;
  double m_topMargin = 2.0;
  double m_rightMargin = 2.0;
  double m_bottomMargin = 1.0;
  double m_footerMargin = 2.0;
  double m_multiPageMargin = 0.0;
  std::int16_t m_pageHorizontal = 0;
  std::int16_t m_pageVertical = 0;
  CFontSpec m_footerFont;
  std::int32_t m_printScale = 0;
  std::int32_t m_printName = 0;
  std::int32_t m_printFilename = 0;
  std::int32_t m_printDate = 0;
  std::int32_t m_printTime = 0;
  std::int16_t m_footerAlignment = 0;
};
