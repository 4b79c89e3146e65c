#pragma once
// File > Page setup: the sheet "Printer page setup" over the active drawing's print settings,
// with the pages Layout, Margins and Footer. OK writes the values back; a drawing whose
// settings changed is marked changed, and before any drawing was shown the settings also
// become the defaults of the print options.
#include <cstdint>

#include "controls/propertysheet.h"
#include "support/fontspec.h"

class CPrintSettings;
class CZephDoc;
class QLabel;

namespace zeph {

class CPrintLayoutPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  CPrintLayoutPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_landscape = -1;
  std::int32_t m_horizontal = -1;
  std::int32_t m_vertical = -1;
};

class CPrintMarginsPage : public CPropertyPageSpin {
  Q_OBJECT

 public:
  CPrintMarginsPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  int GetSpinEditPairs(const std::int32_t** upDownIds, const std::int32_t** editIds) override;
  int GetMinimum(int editId, double& out) override;

  // Centimetres.
  double m_left = 0.0;
  double m_right = 0.0;
  double m_top = 0.0;
  double m_footer = 0.0;
  double m_bottom = 0.0;
  double m_overlap = 0.0;
  std::int32_t m_showOverlap = 0;
};

class CPrintFooterPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  CPrintFooterPage();
  int GetHelpTopic() const override;
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  // "&Font ...": the font dialog starting at the page's font.
  void OnFont();
  QString GetFontDescription() const;

  std::int32_t m_printScale = 0;
  std::int32_t m_printName = 0;
  std::int32_t m_printFilename = 0;
  std::int32_t m_printDate = 0;
  std::int32_t m_printTime = 0;
  std::int32_t m_alignment = -1;
  CFontSpec m_font;

 private:
  QLabel* m_fontLabel = nullptr;
};

// Control ids.
inline constexpr int kIdcPortrait = 1031;  // Landscape 1032
inline constexpr int kIdcPageLeft = 1035;  // Centre 1036, Right 1037
inline constexpr int kIdcPageTop = 1038;   // Centre 1039, Bottom 1040
inline constexpr int kIdcLeftMargin = 1152;
inline constexpr int kIdcRightMargin = 1153;
inline constexpr int kIdcTopMargin = 1154;
inline constexpr int kIdcFooterMargin = 1155;
inline constexpr int kIdcBottomMargin = 1157;
inline constexpr int kIdcOverlapMargin = 1158;
inline constexpr int kIdcPrintScale = 1029;
inline constexpr int kIdcPrintFilename = 1030;
inline constexpr int kIdcPrintName = 1031;
inline constexpr int kIdcPrintDate = 1032;
inline constexpr int kIdcPrintTime = 1033;
inline constexpr int kIdcFooterLeft = 1026;  // Centre 1027, Right 1028
inline constexpr int kIdcFooterFont = 1004;
inline constexpr int kIdcFontDescription = 1162;

class CPageSetupSheet : public CPropertySheetPlus {
  Q_OBJECT

 public:
  CPageSetupSheet(QWidget* parent, const CPrintSettings& settings);
  // The pages' values into settings; 1 when any of them changed.
  int WriteSettings(CPrintSettings& settings) const;

  CPrintLayoutPage* m_layout;
  CPrintMarginsPage* m_margins;
  CPrintFooterPage* m_footer;
};

// File > Page setup for the drawing (null: nothing happens, kIdCancel). noDrawingShownYet:
// the start screen is all that was shown, so changes also become the option defaults.
int ShowPageSetupSheet(QWidget* parent, CZephDoc* document, int noDrawingShownYet);

}  // namespace zeph
