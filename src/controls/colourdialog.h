#pragma once
// The colour dialog: Qt's colour dialog opening on a given colour, whose 48 basic colours are
// the program's and whose 16 custom colours are the program's recent colours. The recent list
// lives for the run (never saved), most recent first, white marking an empty slot; it is shared
// by every colour dialog, by the code that applies a colour and by the file reader, which adds
// every colour it reads. A basic colour never enters the list: it can be picked anyway.
#include <QColorDialog>
#include <array>
#include <cstdint>

#include "platform/drawcontext.h"

namespace zeph {

inline constexpr int kBasicColourCount = 48;
inline constexpr int kRecentColourCount = 16;
inline constexpr ColourRef kEmptyColourSlot = 0x00FFFFFF;

// The basic colours row by row as the dialog shows them (six rows of eight).
extern const std::array<ColourRef, kBasicColourCount> g_basicColours;
extern std::array<ColourRef, kRecentColourCount> g_recentColours;

// The colour's low three bytes (red, green, blue).
constexpr ColourRef ClearColourTopByte(ColourRef colour) { return colour & 0x00FFFFFF; }
int IsBasicColour(ColourRef colour);
// Puts a colour at the front of the recent list, unless it is basic or already listed.
void AddRecentColour(ColourRef colour);
// Every slot empty, as at start-up. For tests.
void ResetRecentColours();
// The application calls this at start-up: the colours the file reader reads go to the recent
// list.
void InstallRecentColourHook();

class CColourDialog : public QColorDialog {
  Q_OBJECT

 public:
  explicit CColourDialog(QWidget* parent = nullptr);

  // Before the dialog is shown: it opens on this colour.
  void SetInitialColour(ColourRef colour);
  // Runs the dialog (through the dialog runner); kIdOk or kIdCancel. The recent colours are
  // taken back from the dialog's custom colours whatever the result.
  int DoModal();
  // The colour chosen.
  ColourRef GetColour() const;

 private:
  ColourRef m_initialColour = 0;
  std::int32_t m_hasInitialColour = 0;
};

}  // namespace zeph
