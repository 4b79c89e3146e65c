#include "support/strings.h"

#include "support/filestatus.h"

namespace {

struct BuiltInText {
  int id;
  const char16_t* text;
};

constexpr BuiltInText kBuiltInTexts[] = {
    {kIdsNotEnoughMemory, u"There is not enough memory\r\nto carry out this command."},
};

}  // namespace

QString LoadProgramString(int id) {
  QString text = LoadStringText(id);
  if (!text.isEmpty()) return text;
  for (const BuiltInText& entry : kBuiltInTexts) {
    if (entry.id == id) return QString::fromUtf16(entry.text);
  }
  return QString();
}
