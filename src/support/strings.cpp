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
    // The prompt area: action captions and the prompts that guide each step of a tool.
    {48, u"Copy the selected items"},
    {49, u"Rotate the selected items"},
    {50, u"Move the selected items"},
    {51, u"Reflect the selected items"},
    {52, u"Scale the selected items"},
    {53, u"Stretch the selected items"},
    {54, u"Move the selected points"},
    {55, u"Delete the selected items"},
    {56, u"Transfer the selected items"},
    {57, u"Select new items"},
    {58, u"Select new points"},
    {59, u"Delete the selected objects"},
    {60, u"Remove shape protection"},
    {128, u"Move to the end of the line\nand release the mouse button."},
    {129, u"Move to the centre of the circle\nand release the mouse button."},
    {130, u"Move to any point on the circle\nand release the mouse button."},
    {131, u"Press the left mouse button down."},
    {132, u"Move to the start of the line\nand release the mouse button."},
    {133, u"Move to the start of the arc\nand release the mouse button."},
    {134, u"Move to the end of the arc\nand release the mouse button."},
    {135, u"Move to any third point on the arc\nand release the mouse button."},
    {136, u"Move to the corner that you want to fillet\nand release the mouse button."},
    {137, u"Move the mouse until the fillet is the right\nsize and then release the button."},
    {138, u"Move to the line you want to measure\nand release the mouse button."},
    {139, u"Move to where you want the dimension\nand release the mouse button."},
    {140, u"Move to where you want the text to start\nand release the mouse button."},
    {141, u"Type in the text and then press ENTER."},
    {142, u"Move to the end of an axis of the ellipse\nand release the mouse button."},
    {143, u"Move to the end of the other axis of the\nellipse and release the mouse button."},
    {144, u"Move the symbol to where you want it\nand release the mouse button."},
    {145, u"Move near the item you want\nand release the mouse button."},
    {146, u"Move near the item you want\nand release the mouse button."},
    {147, u"Move near the item you want to delete\nand release the mouse button."},
    {148, u"Move near the item you want to break\nand release the mouse button."},
    {149, u"Move to the origin you want\nand release the mouse button."},
    {150, u"Select the item(s) that\nyou want to copy."},
    {151, u"Drag any one of the grips to the\nposition that you want the copy to be."},
    {152, u"Scanning for the nearest corner\n- please wait ...  "},
    {153, u"Move to the start of the curve\nand release the mouse button."},
    {154, u"Move to the end of the curve\nand release the mouse button."},
    {155, u"Move to the control point at the start\nof the curve, and release the mouse button."},
    {156, u"Move to the control point at the end\nof the curve, and release the mouse button."},
    {157, u"Move to the corner of rectangle\nand release the mouse button."},
    {158, u"Move to other corner of rectangle\nand release the mouse button."},
    {159, u"Move near the end of the line you want to extend\nand release the mouse button."},
    {160, u"Select the item(s) that\nyou want to move."},
    {161, u"Drag any one of the grips to\nthe position that you want it."},
    {162, u"Select the item(s) that\nyou want to rotate."},
    {163, u"Choose the position of\nthe centre of rotation."},
    {164, u"Select the item(s) that\nyou want to scale."},
    {165, u"Choose the position of\nthe fixed point of the scale."},
    {166, u"Select the item(s) that\nyou want to reflect."},
    {167, u"Choose the position of the mirror line."},
    {168, u"Select the item(s) that\nyou want to stretch."},
    {169, u"Choose the position of\nthe fixed line of the stretch."},
    {170, u"Select the point(s) that\nyou want to move."},
    {171, u"Drag the item that\nyou want to move."},
    {172, u"Select the item(s) whose\ncolour you want to change."},
    {173, u"Move the corner to the position you\nwant, and release the mouse button."},
    {174, u"Move to the centre of the arc\nand release the mouse button."},
    {192, u"Choose which object(s)\nyou want to hide."},
    {193, u"Click on any object that\nyou want to identify."},
    {194, u"Click on any object that\nyou want to name."},
    {195, u"Choose which item(s)\nyou want to transfer."},
    {196, u"Choose which object(s)\nyou want to delete."},
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
