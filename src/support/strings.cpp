#include "support/strings.h"

#include "support/filestatus.h"

namespace {

struct BuiltInText {
  int id;
  const char16_t* text;
};

constexpr BuiltInText kBuiltInTexts[] = {
    {kIdsNotEnoughMemory, u"There is not enough memory\r\nto carry out this command."},
    {kIdsPleaseTypeNumber, u"Please type a number."},
    {kIdsPleaseTypePositive, u"Please type a positive number."},
    {kIdsPleaseTypeSmallWhole, u"Please type  a small whole number."},
    {kIdsPleaseTypeNonZero, u"Please type a number which is not zero."},
    // ---- File types and the option sheets ----
    {80, u"Sorry - you cannot change these settings\nunless you are logged on as an Administrator."},
    {720, u"Warning:\nThe new setting for showing glitches\nwill only last until you end the program.\nYou need to be logged on with\nAdministrator's rights if you wish to \nsave the new setting permanently."},
    {721, u"Warning:\nThe new setting for saving the log file\nwill only last until you end the program.\nYou need to be logged on with\nAdministrator's rights if you wish to \nsave the new setting permanently."},
    {722, u"The new setting for saving the log file\nhas been saved ready for the\nnext time the program is run."},
    {1262, u"Success:\nThe current options have\nbeen saved for all users."},
    {61714, u"Enter an integer between %1 and %2."},
    // ----
    {96, u"Do you want to save the drawing?"},
    {257, u"The drawing has been loaded."},
    {274, u"Sorry - the undo system has been corrupted."},
    {275, u"Sorry - the redo system has been corrupted."},
    {276, u"There is not enough space in the Undo buffer\nto save this action. Do you want to continue?"},
    {277, u"Sorry - Zephorin has not been able to convert\na hatch in this file into a fill hatch.\n\nThis means that the hatch has now\nbecome a set of independent parallel lines."},
    {278, u"Sorry - Zephorin has not been able to convert\n%1 hatches in this file into fill hatches.\n\nThis means that the hatches have now\nbecome sets of independent parallel lines."},
    {368, u"Sorry - Zephorin cannot find a\nclosed boundary around the point\nwhere you have chosen to fill."},
    {369, u"Sorry - Zephorin has not been able to fill your chosen shape.\n\nPlease save your work and email a copy of the file to:\n     support@example.org"},
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
