#include "support/uiutil.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "platform/presenter.h"
#include "support/constants.h"
#include "support/files.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/printer.h"
#include "support/registry.h"
#include "support/settings.h"
#include "support/strings.h"
#include "support/textutil.h"

std::optional<zeph::CursorShape> g_savedCursor;
std::uint32_t g_waitCursorTicks = 0;
std::int32_t g_keyState = 0;
WindowPosition g_windowPosition;
std::int32_t g_windowPositionValid = 0;

namespace {

using zeph::ColourRef;

// ---- Message boxes ----

QString MessageText(int id, const QString* insert) {
  QString text = LoadProgramString(id);
  if (insert != nullptr) text.replace(QStringLiteral("%1"), *insert);
  return text;
}

int ShowMessage(int id, const QString* insert, unsigned style) {
  return zeph::GetPresenter().ShowMessageBox(MessageText(id, insert),
                                             QString::fromUtf16(kProductName), style);
}

constexpr unsigned kYesNoStyle = zeph::kMbYesNo | zeph::kMbIconQuestion;
constexpr unsigned kYesNoCancelStyle = zeph::kMbYesNoCancel | zeph::kMbIconQuestion;
constexpr unsigned kInformationStyle = zeph::kMbOk | zeph::kMbIconInformation;
constexpr unsigned kWarningStyle = zeph::kMbOk | zeph::kMbIconExclamation;

void Warn(int id, const QString* insert) {
  LogAction(20244, 0, kLogProgress);
  LogNumber(id);
  ShowMessage(id, insert, kWarningStyle);
  LogAction(20244, 0, kLogOk);
}

// ---- Wait cursor ----

// Milliseconds of a monotonic clock, wrapping like a 32-bit tick count.
std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// ---- Colours ----

ColourRef PaletteColour(int red, int green, int blue) {
  return zeph::kPaletteColourFlag | zeph::MakeColour(red, green, blue);
}

// ---- Recent files ----

class CStandInRecentFiles final : public IRecentFileList {
 public:
  void Add(const QString& path) override { m_paths.append(path); }
  QStringList m_paths;
};

CStandInRecentFiles& StandInList() {
  static CStandInRecentFiles list;
  return list;
}

IRecentFileList* g_recentFileList = nullptr;

}  // namespace

// ---- Message boxes ----

int AskYesNo(int id) { return ShowMessage(id, nullptr, kYesNoStyle); }
int AskYesNo(int id, const QString& insert) { return ShowMessage(id, &insert, kYesNoStyle); }
int AskYesNoCancel(int id) { return ShowMessage(id, nullptr, kYesNoCancelStyle); }
int AskYesNoCancel(int id, const QString& insert) {
  return ShowMessage(id, &insert, kYesNoCancelStyle);
}
int AskYes(int id) { return AskYesNo(id) == zeph::kIdNo ? 0 : 1; }
int AskYes(int id, const QString& insert) { return AskYesNo(id, insert) == zeph::kIdNo ? 0 : 1; }
void ShowInformation(int id) { ShowMessage(id, nullptr, kInformationStyle); }
void ShowInformation(int id, const QString& insert) { ShowMessage(id, &insert, kInformationStyle); }
void ShowWarning(int id) { Warn(id, nullptr); }
void ShowWarning(int id, const QString& insert) { Warn(id, &insert); }

void ShowOutOfMemory() {
  LogAction(20246, 0, kLogProgress);
  ShowWarning(kIdsNotEnoughMemory);
  LogAction(20246, 0, kLogOk);
}

// ---- Wait cursor ----

void ShowWaitCursor() {
  LogScope trace(20218);
  if (g_savedCursor.has_value()) {
    zeph::GetDesktop().SetCursor(zeph::CursorShape::kWait);
    trace.Step(1, kLogHandled);
    trace.Exit();
    return;
  }
  g_savedCursor = zeph::GetDesktop().SetCursor(zeph::CursorShape::kWait);
  g_waitCursorTicks = TickCount();
  trace.Exit();
}

void HideWaitCursor() {
  LogScope trace(20223);
  if (!g_savedCursor.has_value()) {
    zeph::GetDesktop().SetCursor(zeph::CursorShape::kArrow);
    trace.Step(0, kLogHandled);
    trace.Exit();
    return;
  }
  trace.Step(10);
  LogNumber(static_cast<int>(TickCount() - g_waitCursorTicks));
  zeph::GetDesktop().SetCursor(*g_savedCursor);
  g_savedCursor.reset();
  trace.Exit();
}

// ---- Keys ----

void SetModifierKey(int virtualKey, bool down) {
  std::int32_t bit = 0;
  if (virtualKey == zeph::kVkShift) bit = kKeyStateShift;
  if (virtualKey == zeph::kVkControl) bit = kKeyStateCtrl;
  if (bit == 0) return;
  if (down) {
    g_keyState |= bit;
  } else {
    g_keyState &= ~bit;
  }
}

void TrackModifierKeys(const zeph::KeyMessage& message) {
  if (message.message == zeph::kMsgKeyDown) SetModifierKey(message.virtualKey, true);
  if (message.message == zeph::kMsgKeyUp) SetModifierKey(message.virtualKey, false);
}

// ---- Dialogs ----

void ScaleDialogToFont(zeph::IDialogWindow& dialog, const zeph::DcFont& font) {
  const zeph::TextMetrics oldMetrics = dialog.GetOwnFontMetrics();
  const zeph::TextMetrics newMetrics = dialog.GetFontMetrics(font);
  const std::int64_t oldHeight = oldMetrics.height + oldMetrics.externalLeading;
  const std::int64_t oldWidth = oldMetrics.averageCharWidth;
  const std::int64_t newHeight = newMetrics.height + newMetrics.externalLeading;
  const std::int64_t newWidth = newMetrics.averageCharWidth;
  if (newHeight < oldHeight || (newHeight == oldHeight && newWidth <= oldWidth)) return;
  // A font that measures nothing gives no proportion to grow by.
  if (oldHeight <= 0 || oldWidth <= 0) return;

  auto scaleX = [&](std::int64_t v) { return ClampInt64ToInt(v * newWidth / oldWidth); };
  auto scaleY = [&](std::int64_t v) { return ClampInt64ToInt(v * newHeight / oldHeight); };

  const zeph::DcSize client = dialog.GetClientSize();
  const zeph::DcRect window = dialog.GetWindowRect();
  const int newClientWidth = scaleX(client.cx);
  const int newClientHeight = scaleY(client.cy);
  const int growX = newClientWidth - client.cx;
  const int growY = newClientHeight - client.cy;
  const int left = window.left - growX / 2;
  const int top = window.top - growY / 2;
  dialog.MoveWindow({left, top, left + (window.right - window.left) + growX,
                     top + (window.bottom - window.top) + growY},
                    true);
  dialog.SetFont(font, true);

  const int count = dialog.GetChildCount();
  for (int i = 0; i < count; ++i) {
    dialog.SetChildFont(i, font);
    const zeph::DcRect r = dialog.GetChildRect(i);
    zeph::DcRect scaled{scaleX(r.left), scaleY(r.top), scaleX(r.right), scaleY(r.bottom)};
    if (dialog.GetChildKind(i) == zeph::DialogChildKind::kRealSizePicture) {
      // A picture at its own size keeps it; only its centre follows the layout.
      const int width = r.right - r.left;
      const int height = r.bottom - r.top;
      const int centreX = (scaled.left + scaled.right) / 2;
      const int centreY = (scaled.top + scaled.bottom) / 2;
      scaled = {centreX - width / 2, centreY - height / 2, centreX - width / 2 + width,
                centreY - height / 2 + height};
    }
    dialog.MoveChild(i, scaled);
  }
}

// ---- Colours ----

int ToColourChannel(double v) {
  if (!(v > 0)) return 0;
  return std::min(TruncateToInt(v), 255);
}

ColourRef BlendColours(ColourRef a, ColourRef b, double f) {
  auto channel = [f](int x, int y) { return ToColourChannel(x * f + y * (1 - f)); };
  return PaletteColour(channel(zeph::RedOf(a), zeph::RedOf(b)),
                       channel(zeph::GreenOf(a), zeph::GreenOf(b)),
                       channel(zeph::BlueOf(a), zeph::BlueOf(b)));
}

ColourRef DarkenColour(ColourRef c, double f) {
  auto channel = [f](int x) { return ToColourChannel(x * (1 - f)); };
  return PaletteColour(channel(zeph::RedOf(c)), channel(zeph::GreenOf(c)),
                       channel(zeph::BlueOf(c)));
}

ColourRef LightenColour(ColourRef c, double f) {
  f = std::clamp(f, 0.0, 1.0);
  auto channel = [f](int x) { return ToColourChannel(x + (255 - x) * f); };
  return PaletteColour(channel(zeph::RedOf(c)), channel(zeph::GreenOf(c)),
                       channel(zeph::BlueOf(c)));
}

int SameRgb(ColourRef a, ColourRef b) {
  return (a & zeph::kColourMask) == (b & zeph::kColourMask) ? 1 : 0;
}

// ---- Rectangles and scroll bars ----

void NormaliseRect(UiRect& r) {
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
}

int ApplyScrollCode(int& pos, int max, int page, unsigned code, unsigned thumb, int pageUpStep,
                    int lineStep) {
  // 64-bit sums, so that steps near the int range cannot overflow.
  const std::int64_t p = pos;
  std::int64_t next = p;
  switch (code) {
    case kSbLineUp:
      if (p <= 0) return 0;
      pos = static_cast<int>(std::max<std::int64_t>(p - lineStep, 0));
      return 1;
    case kSbLineDown:
      if (p >= max) return 0;
      pos = static_cast<int>(std::min<std::int64_t>(p + lineStep, max));
      return 1;
    case kSbPageUp:
      if (p <= 0) return 0;
      pos = static_cast<int>(std::max<std::int64_t>(p - (pageUpStep < 0 ? page : pageUpStep), 0));
      return 1;
    case kSbPageDown:
      if (p >= max) return 0;
      pos = static_cast<int>(std::min<std::int64_t>(p + page, max));
      return 1;
    case kSbThumbPosition:
    case kSbThumbTrack:
      next = std::min<std::int64_t>(thumb, max);
      break;
    case kSbTop:
      next = 0;
      break;
    case kSbBottom:
      next = max;
      break;
    default:
      return 0;
  }
  if (next == p) return 0;
  pos = static_cast<int>(next);
  return 1;
}

// ---- Recent files ----

IRecentFileList& GetRecentFileList() {
  return g_recentFileList != nullptr ? *g_recentFileList : StandInList();
}

void SetRecentFileList(IRecentFileList* list) { g_recentFileList = list; }

const QStringList& StandInRecentFiles() { return StandInList().m_paths; }

void AddToRecentFiles(const QString& path) {
  LogScope trace(20201);
  if (IsFullPath(path) == 0) {
    SetGlitchMessage(path);
    ReportGlitch(20201, 1);
    trace.Exit(kLogInvalid, 1);
    return;
  }
  if (FileExists(path) == 0) {
    SetGlitchMessage(path);
    ReportGlitch(20201, 2);
    trace.Exit(kLogInvalid, 2);
    return;
  }
  try {
    GetRecentFileList().Add(path);
  } catch (const std::bad_alloc&) {
    trace.Step(1, kLogFailed);
    LogString(path);
    LogNumber(kExceptionMemory);
    LogNumber(0);
    return;
  }
  trace.Exit();
}

// ---- The main window's position ----

void ReadWindowPosition() {
  LogScope trace(20240);
  QString value;
  if (ReadUserSetting(QStringLiteral("WindowPosition"), value) == 0) {
    trace.Exit();
    return;
  }
  g_windowPositionValid = 0;
  std::int32_t* const fields[] = {&g_windowPosition.x, &g_windowPosition.y, &g_windowPosition.width,
                                  &g_windowPosition.height};
  for (int i = 0; i < 4; ++i) {
    int number = 0;
    if (TextToInt(GetCommaItem(value, i), number) == 0) {
      trace.Step(10, kLogFailed);
      LogNumber(i);
      return;
    }
    *fields[i] = number;
  }
  g_windowPositionValid = 1;
  trace.Step(15);
  trace.Exit();
}

void WriteWindowPosition() {
  LogScope trace(20241);
  if (g_windowPositionValid == 0) {
    trace.Exit();
    return;
  }
  QString value;
  AppendInt(value, g_windowPosition.x);
  value += u',';
  AppendInt(value, g_windowPosition.y);
  value += u',';
  AppendInt(value, g_windowPosition.width);
  value += u',';
  AppendInt(value, g_windowPosition.height);
  WriteUserSetting(QStringLiteral("WindowPosition"), value);
  trace.Exit();
}

// ---- Printing ----

void GetPrintableRect(UiRect& r) {
  r.left = g_printableOrigin.x;
  r.top = g_printableOrigin.y;
  r.right = r.left + g_printableWidth;
  r.bottom = r.top + g_printableHeight;
}

void ResetUiUtilState() {
  g_savedCursor.reset();
  g_waitCursorTicks = 0;
  g_keyState = 0;
  g_windowPosition = WindowPosition();
  g_windowPositionValid = 0;
  g_recentFileList = nullptr;
  StandInList().m_paths.clear();
}
