// The options files: the bytes become the all-users or the user's "Zeph.ini" and are read
// into the store. Every value taken must lie in its option's range; the store is then written
// and read again into the same values.
#include <QString>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "support/appservices.h"
#include "support/datafolders.h"
#include "support/options.h"
#include "support/settings.h"
#include "support/sharedconfig.h"

namespace {

struct Range {
  std::int16_t low;
  std::int16_t high;
};
constexpr std::array<Range, kOptionShortCount> kShortRanges = {{
    {0, 1}, {0, 1}, {0, 2}, {0, 6}, {0, 3}, {0, 4}, {0, 15}, {0, 32767}, {0, 32767},
    {0, 32767}, {0, 32767}, {1, 10}, {1, 1000}, {1, 13}, {0, 2}, {0, 2}, {0, 2}, {0, 3}, {0, 6},
}};

void CheckStore() {
  for (int i = 0; i < kOptionShortCount; ++i) {
    const std::int16_t v = g_optionShorts[std::size_t(i)];
    fuzz::Check(v >= kShortRanges[std::size_t(i)].low && v <= kShortRanges[std::size_t(i)].high);
  }
  for (double d : g_optionDoubles) fuzz::Check(std::isfinite(d));
  for (int f : g_optionFlags) fuzz::Check(f == 0 || f == 1);
  for (const CFontSpec& font : g_optionFonts) {
    fuzz::Check(!font.GetFaceName().contains(u'\r') && !font.GetFaceName().contains(u'\n'));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const int which = (data[0] & 1) != 0 ? kOptionsFileAllUsers : kOptionsFileUser;
  ++data;
  --size;
  ResetDataFolders();
  ResetSharedConfigState();
  ResetOptionsState();
  if (GetSharedDataFolder(1) == 0 || GetRoamingDataFolder() == 0) return 0;
  g_sharedSettingsFolder = g_sharedDataFolder;
  const QString folder = which == kOptionsFileAllUsers ? g_sharedSettingsFolder : g_roamingDataFolder;
  if (!fuzz::WriteInput(folder + QStringLiteral("/Zeph.ini"), data, size)) return 0;

  ReadOptionsFile(which);
  fuzz::Check(g_fileStatus == kFileOk);
  CheckStore();

  const auto fonts = g_optionFonts;
  const auto doubles = g_optionDoubles;
  const auto shorts = g_optionShorts;
  const auto flags = g_optionFlags;
  if (WriteOptionsFile(which) == 1) {
    ResetOptionsState();
    ReadOptionsFile(which);
    CheckStore();
    for (std::size_t i = 0; i < fonts.size(); ++i) {
      fuzz::Check(g_optionFonts[i].GetFaceName() == fonts[i].GetFaceName());
      fuzz::Check(g_optionFonts[i].GetSize() == fonts[i].GetSize());
    }
    fuzz::Check(g_optionShorts == shorts && g_optionFlags == flags);
    for (std::size_t i = 0; i < doubles.size(); ++i) {
      fuzz::Check(std::fabs(g_optionDoubles[i] - doubles[i]) <= 1e-9 * (1 + std::fabs(doubles[i])));
    }
  }
  ResetFileStatus();
  return 0;
}
