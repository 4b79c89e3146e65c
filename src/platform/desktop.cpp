#include "platform/desktop.h"

#include <utility>

namespace zeph {
namespace {
IDesktop* g_desktop = nullptr;
}  // namespace

CStandInDesktop& StandInDesktop() {
  static CStandInDesktop desktop;
  return desktop;
}

IDesktop& GetDesktop() { return g_desktop != nullptr ? *g_desktop : StandInDesktop(); }

void SetDesktop(IDesktop* desktop) { g_desktop = desktop; }

CursorShape CStandInDesktop::SetCursor(CursorShape shape) {
  const CursorShape previous = m_cursor;
  m_cursor = shape;
  ++m_cursorChanges;
  return previous;
}

bool CStandInDesktop::GetClipboardPictureSize(DcSize& size) {
  if (!m_clipboardHasPicture) return false;
  size = m_clipboardSize;
  return true;
}

void CStandInDesktop::SetClipboardPicture(bool present, DcSize size) {
  m_clipboardHasPicture = present;
  m_clipboardSize = present ? size : DcSize{};
}

bool CStandInDesktop::GetClipboardBitmap(std::vector<std::uint8_t>& block) {
  block = m_clipboardBitmap;
  return !block.empty();
}

void CStandInDesktop::SetClipboardBitmap(std::vector<std::uint8_t> block) {
  m_clipboardBitmap = std::move(block);
}

void CStandInDesktop::Reset() { *this = CStandInDesktop(); }

}  // namespace zeph
