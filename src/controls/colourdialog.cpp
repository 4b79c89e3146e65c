#include "controls/colourdialog.h"

#include <algorithm>

#include "controls/dialogplus.h"
#include "platform/presenter.h"
#include "support/textfile.h"

namespace zeph {
namespace {

constexpr int kBasicRows = 6;
constexpr int kBasicColumns = 8;
constexpr int kCustomRows = 2;
constexpr int kCustomColumns = 8;

constexpr ColourRef Rgb(std::uint32_t hex) {
  return MakeColour(static_cast<int>((hex >> 16) & 0xFF), static_cast<int>((hex >> 8) & 0xFF),
                    static_cast<int>(hex & 0xFF));
}

QColor ToQt(ColourRef c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }
ColourRef FromQt(const QColor& c) { return MakeColour(c.red(), c.green(), c.blue()); }

// Qt numbers the cells of its colour grids down the columns; the program reads them row by row.
int QtBasicIndex(int index) { return index / kBasicColumns + (index % kBasicColumns) * kBasicRows; }
int QtCustomIndex(int index) {
  return index / kCustomColumns + (index % kCustomColumns) * kCustomRows;
}

void SetBasicColoursOnce() {
  static const bool done = [] {
    for (int i = 0; i < kBasicColourCount; ++i) {
      QColorDialog::setStandardColor(QtBasicIndex(i),
                                     ToQt(g_basicColours[static_cast<std::size_t>(i)]));
    }
    return true;
  }();
  (void)done;
}

void AddRecentColourFromFile(std::uint32_t colour) { AddRecentColour(colour); }

}  // namespace

const std::array<ColourRef, kBasicColourCount> g_basicColours = {
    Rgb(0xFF8080), Rgb(0xFFFF80), Rgb(0x80FF80), Rgb(0x00FF80), Rgb(0x80FFFF), Rgb(0x0080FF),
    Rgb(0xFF80C0), Rgb(0xFF80FF), Rgb(0xFF0000), Rgb(0xFFFF00), Rgb(0x80FF00), Rgb(0x00FF40),
    Rgb(0x00FFFF), Rgb(0x0080C0), Rgb(0x8080C0), Rgb(0xFF00FF), Rgb(0x804040), Rgb(0xFF8040),
    Rgb(0x00FF00), Rgb(0x008080), Rgb(0x004080), Rgb(0x8080FF), Rgb(0x800040), Rgb(0xFF0080),
    Rgb(0x800000), Rgb(0xFF8000), Rgb(0x008000), Rgb(0x008040), Rgb(0x0000FF), Rgb(0x0000A0),
    Rgb(0x800080), Rgb(0x8000FF), Rgb(0x400000), Rgb(0x804000), Rgb(0x004000), Rgb(0x004040),
    Rgb(0x000080), Rgb(0x000040), Rgb(0x400040), Rgb(0x400080), Rgb(0x000000), Rgb(0x808000),
    Rgb(0x808040), Rgb(0x808080), Rgb(0x408080), Rgb(0xC0C0C0), Rgb(0x400040), Rgb(0xFFFFFF),
};

std::array<ColourRef, kRecentColourCount> g_recentColours = [] {
  std::array<ColourRef, kRecentColourCount> empty{};
  empty.fill(kEmptyColourSlot);
  return empty;
}();

int IsBasicColour(ColourRef colour) {
  const ColourRef c = ClearColourTopByte(colour);
  return std::find(g_basicColours.begin(), g_basicColours.end(), c) != g_basicColours.end() ? 1 : 0;
}

void AddRecentColour(ColourRef colour) {
  const ColourRef c = ClearColourTopByte(colour);
  if (IsBasicColour(c) != 0) return;
  if (std::find(g_recentColours.begin(), g_recentColours.end(), c) != g_recentColours.end()) {
    return;
  }
  const auto empty = std::find(g_recentColours.begin(), g_recentColours.end(), kEmptyColourSlot);
  const int firstEmpty = static_cast<int>(empty - g_recentColours.begin());
  // The first empty slot (or, with a full list, the oldest entry) is overwritten.
  for (int i = std::min(firstEmpty, kRecentColourCount - 1); i > 0; --i) {
    g_recentColours[static_cast<std::size_t>(i)] = g_recentColours[static_cast<std::size_t>(i - 1)];
  }
  g_recentColours[0] = c;
}

void ResetRecentColours() { g_recentColours.fill(kEmptyColourSlot); }

void InstallRecentColourHook() { SetRecentColourHandler(&AddRecentColourFromFile); }

CColourDialog::CColourDialog(QWidget* parent) : QColorDialog(parent) {
  // Qt's own dialog, so that it looks the same everywhere and tests can drive it.
  setOption(QColorDialog::DontUseNativeDialog, true);
}

void CColourDialog::SetInitialColour(ColourRef colour) {
  m_initialColour = ClearColourTopByte(colour);
  m_hasInitialColour = 1;
}

int CColourDialog::DoModal() {
  SetBasicColoursOnce();
  if (m_hasInitialColour != 0) {
    setCurrentColor(ToQt(m_initialColour));
    AddRecentColour(m_initialColour);
  }
  for (int i = 0; i < kRecentColourCount; ++i) {
    QColorDialog::setCustomColor(QtCustomIndex(i),
                                 ToQt(g_recentColours[static_cast<std::size_t>(i)]));
  }
  const int result = GetDialogRunner().RunModal(*this);
  // The user may have changed the custom colours; a basic colour among them is an empty slot.
  for (int i = 0; i < kRecentColourCount; ++i) {
    const ColourRef c = FromQt(QColorDialog::customColor(QtCustomIndex(i)));
    g_recentColours[static_cast<std::size_t>(i)] = IsBasicColour(c) != 0 ? kEmptyColourSlot : c;
  }
  return result == QDialog::Accepted ? kIdOk : kIdCancel;
}

ColourRef CColourDialog::GetColour() const {
  const QColor chosen = selectedColor().isValid() ? selectedColor() : currentColor();
  return FromQt(chosen);
}

}  // namespace zeph
