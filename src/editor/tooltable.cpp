#include "editor/tooltable.h"

#include <array>

#include "support/constants.h"

namespace {

struct ToolEntry {
  const char16_t* name;
  char16_t letter;
  int helpTopic;
};

// Help topics by their place in the help-topic table.
constexpr int kTopicArc = 107;
constexpr int kTopicBreak = 108;
constexpr int kTopicCircle = 109;
constexpr int kTopicColour = 110;
constexpr int kTopicCopy = 111;
constexpr int kTopicCorner = 112;
constexpr int kTopicCurve = 113;
constexpr int kTopicDelete = 114;
constexpr int kTopicDimension = 115;
constexpr int kTopicEllipse = 116;
constexpr int kTopicExtend = 117;
constexpr int kTopicFill = 118;
constexpr int kTopicInsert = 119;
constexpr int kTopicLine = 120;
constexpr int kTopicModify = 121;
constexpr int kTopicMove = 122;
constexpr int kTopicObject = 123;
constexpr int kTopicOrigin = 124;
constexpr int kTopicReflect = 125;
constexpr int kTopicRotate = 126;
constexpr int kTopicScale = 127;
constexpr int kTopicShape = 128;
constexpr int kTopicStretch = 129;
constexpr int kTopicText = 130;
constexpr int kTopicValues = 131;
constexpr int kTopicWelcome = 133;

constexpr std::array<ToolEntry, kToolCount> kTools = {{
    {u"New line", u'N', kTopicLine},   {u"Line", u'L', kTopicLine},
    {u"Arc", u'A', kTopicArc},         {u"Circle", u'C', kTopicCircle},
    {u"Ellipse", u'E', kTopicEllipse}, {u"Curve", u'C', kTopicCurve},
    {u"Fill", u'F', kTopicFill},       {u"Text", u'T', kTopicText},
    {u"Shape", u'S', kTopicShape},     {u"Dimension", u'D', kTopicDimension},
    {u"Corner", u'C', kTopicCorner},   {u"Insert", u'I', kTopicInsert},
    {u"Hunt", u'H', kTopicWelcome},  // snap switches have no page of their own
    {u"Grid", u'G', kTopicWelcome},    {u"Move", u'M', kTopicMove},
    {u"Copy", u'C', kTopicCopy},       {u"Rotate", u'R', kTopicRotate},
    {u"Reflect", u'R', kTopicReflect}, {u"Enlarge", u'E', kTopicScale},
    {u"Stretch", u'S', kTopicStretch}, {u"Object", u'O', kTopicObject},
    {u"Delete", u'D', kTopicDelete},   {u"Modify", u'M', kTopicModify},
    {u"Values", u'V', kTopicValues},   {u"Colour", u'C', kTopicColour},
    {u"Break", u'B', kTopicBreak},     {u"Extend", u'E', kTopicExtend},
    {u"Origin", u'O', kTopicOrigin},
}};

// Sub-mode entries, plain form; the numbered form puts the digit and two blanks before them.
constexpr const char16_t* kShapeEntries[] = {u"Square", u"Rectangle", u"Regular polygon"};
constexpr const char16_t* kCornerEntries[] = {u"Fillet", u"Chamfer"};
constexpr const char16_t* kMoveEntries[] = {u"Move an item", u"Move items",      u"Move a point",
                                            u"Move points",  u"Drag out a line", u"Split a point"};
constexpr const char16_t* kObjectEntries[] = {u"Identify", u"Name", u"Transfer", u"Hide",
                                              u"Delete"};

bool IsTool(int tool) { return tool >= 0 && tool < kToolCount; }

}  // namespace

char16_t GetToolLetter(int tool) {
  return IsTool(tool) ? kTools[static_cast<std::size_t>(tool)].letter : char16_t{0};
}

QString GetPaletteToolName(int tool) {
  return IsTool(tool) ? QString::fromUtf16(kTools[static_cast<std::size_t>(tool)].name) : QString();
}

int GetToolHelpTopic(int tool) {
  return IsTool(tool) ? kTools[static_cast<std::size_t>(tool)].helpTopic : kTopicWelcome;
}

int GetToolFlyoutCount(int tool) {
  switch (tool) {
    case 8:  // Shape
      return static_cast<int>(std::size(kShapeEntries));
    case 10:  // Corner
      return static_cast<int>(std::size(kCornerEntries));
    case 14:  // Move
      return static_cast<int>(std::size(kMoveEntries));
    case 20:  // Object
      return static_cast<int>(std::size(kObjectEntries));
    default:
      return 0;
  }
}

QString GetToolFlyoutText(int tool, int entry, int numbered) {
  if (entry < 0 || entry >= GetToolFlyoutCount(tool)) return {};
  const char16_t* text = nullptr;
  switch (tool) {
    case 8:
      text = kShapeEntries[entry];
      break;
    case 10:
      text = kCornerEntries[entry];
      break;
    case 14:
      text = kMoveEntries[entry];
      break;
    default:
      text = kObjectEntries[entry];
      break;
  }
  const QString plain = QString::fromUtf16(text);
  if (numbered == 0) return plain;
  return QString::number(entry + 1) + QStringLiteral("  ") + plain;
}
