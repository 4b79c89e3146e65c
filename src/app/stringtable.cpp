#include "app/stringtable.h"

#include "support/filestatus.h"

namespace {

struct TableText {
  int id;
  const char16_t* text;
};

// "\n" breaks a line of a message or a prompt; '&' marks a caption's mnemonic.
constexpr TableText kTexts[] = {
    // The prompt area's buttons.
    {1, u"OK"},
    {3, u"&Close"},
    {4, u"&Help"},
    {5, u"&Yes"},
    {6, u"&No"},
    {7, u"Cancel"},
    {8, u"Restart"},
    {9, u"Bring to &front"},
    {10, u"&Send to back"},
    // Values typed on the values bar that cannot be taken.
    {20, u"Please type a proper value for this length."},
    {21, u"Please type a proper value for this angle."},
    {22, u"Please type a proper value for the scale factor."},
    {25, u"Please type a positive whole number\nfor the number of actions."},
    {28, u"Please type a whole number between 0 and 255\nfor the number of decimal places."},
    {30, u"An object name cannot contain\nmore than 16 characters."},
    {31, u"This angle is not possible for an  arc."},
    {32, u"Please type a proper value for the radius."},
    {33, u"This object name has already been used."},
    {34, u"Please type a whole number between 3 and 1000\nfor the number of sides in the polygon."},
    {36, u"Please type a whole number between 10 and 1000\nfor the percentage width of the font."},
    // The file scanner.
    {40,
     u"Warning:\nThere is not enough memory to scan\n the complete directory system.\nSome files "
     u"may not be found."},
    // The tools' warnings.
    {64, u"There are no corners to fillet."},
    {65, u"The fillet radius is too large."},
    {66, u"The length of the chamfer is too large."},
    {68, u"Sorry - the program cannot fillet\nbecause there are too many\nitems in the drawing."},
    {69, u"Warning:\nShapes are protected so that\nthey cannot be stretched."},
    {70, u"Warning:\nShapes are protected so that\nthe lines in them cannot be broken."},
    {72, u"This line does not meet another\nitem if it is extended."},
    {101, u"Sorry - unable to add a picture to the drawing."},
    {242, u"Please choose a vertical or horizontal mirror line."},
    // The drawing's files, the options and the clipboard.
    {256, u"The drawing has been saved."},
    {259, u"The drawing has been copied into the clipboard."},
    {260, u"The options have been saved."},
    {272, u"Error - cannot open the clipboard."},
    {304, u"Warning:\nthe file %1 already exists.\nDo you want to replace it?"},
    {409, u"%1\n\nError when trying to save this file."},
    {422, u"Warning:\nAn item in this file has been\nignored since it was illegal."},
    {423, u"Warning:\n%1 items in this file have been\nignored since they were illegal."},
    {429,
     u"%1\n\nThis drawing has %2 %3, but a drawing file can hold\nat most 65535 items of one kind "
     u"- file not saved."},
    {430, u"%1\nThe name of this file has characters\nwhich cannot be read - rename the file."},
    // The printing scale's unit, by the display units.
    {434, u"1mm to "},
    {435, u"1cm to "},
    {436, u"1m to "},
    {437, u"1km to "},
    // The questions of Rotate, Enlarge and Stretch.
    {512, u"Please type in the angle by which you want to rotate:"},
    {513, u"Please type in the scale factor that you want to use:"},
    {514, u"Please type in the stretch factor that you want to use:"},
    // The background picture.
    {901, u"Sorry - the picture on the clipboard cannot be used."},
    {902,
     u"The background picture was pasted from the clipboard\nand is not stored in the drawing "
     u"file.\nThe drawing will be saved without it."},
    // The start screen's buttons.
    {1504, u"&Tell me\nabout the\nprogram"},
    {1505, u"&Load\nan old\ndrawing"},
    {1506, u"&Create\na new\ndrawing"},
    {1507, u"&Finish the\nprogram"},
    // The status bar while nothing else is shown.
    {0xE001, u"Ready"},
};

}  // namespace

QString LoadApplicationString(int id) {
  for (const TableText& entry : kTexts) {
    if (entry.id == id) return QString::fromUtf16(entry.text);
  }
  return QString();
}

void InstallProgramStrings() { SetStringTable(&LoadApplicationString); }
