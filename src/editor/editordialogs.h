#pragma once
// The program's dialogs as the editor and its views open them. The dialogs themselves live in
// the application layer; the editor reaches them only through this interface, which the
// application installs at start-up. Until then, and in tests, a stand-in answers every dialog
// as cancelled and changes nothing.
//
// Every call runs its dialog modally and answers 1 when the user confirmed it (the in-out
// arguments then hold the result), 0 when it was cancelled or could not be shown (the
// arguments are left as they were).
#include <QString>
#include <cstdint>

class CZephDoc;
namespace zeph {
struct DcFont;
}

// The members of the grid-settings dialog (radio and list indexes, -1 none).
struct GridDialogSettings {
  std::int32_t snap = 0;
  std::int32_t alwaysHidden = 0;
  std::int32_t alwaysShown = 0;
  std::int32_t colour = -1;             // "Blue", "Grey", "Green", "Purple"
  std::int32_t linesOrDots = -1;        // 0 lines, 1 dots
  std::int32_t squareOrIsometric = -1;  // 0 square, 1 isometric
  std::int32_t gridSize = -1;           // 0..6: 1, 2, 5, 10, 20, 50, 100 mm at scale 1
};

// The members of the printing-scale dialog: the scale is the X of 1 to X.
struct PrintingScaleSettings {
  std::int32_t automatic = 0;
  double scale = 1.0;
  double automaticScale = 1.0;
};

// What the symbol transformations do to the selected symbol.
enum class SymbolTransform { kReflect, kRotate, kEnlarge, kStretch };

class IEditorDialogs {
 public:
  virtual ~IEditorDialogs() = default;

  // A number typed by the user: -1 stands for an empty box. promptId is a string-table id
  // shown as the question (0 keeps the dialog's own); helpTopic the topic of its Help.
  virtual int ChooseValue(double& /*value*/, int /*promptId*/, int /*helpTopic*/) { return 0; }
  // The number of sides of a polygon, 3..500.
  virtual int ChoosePolygonSides(std::int16_t& /*sides*/) { return 0; }
  virtual int ChooseGridSettings(GridDialogSettings& /*settings*/) { return 0; }
  virtual int ChoosePrintingScale(PrintingScaleSettings& /*settings*/) { return 0; }
  // The real-world scale as the user typed or chose it.
  virtual int ChooseRealWorldScale(QString& /*scaleText*/) { return 0; }
  // A font from the screen fonts, starting on the given logical form; on OK its face,
  // height, boldness and slant are the chosen font's, the rest as it was.
  virtual int ChooseFont(zeph::DcFont& /*font*/) { return 0; }
  // A hatch pattern picked from the sheet of samples; -1 when none was picked.
  virtual int ChooseHatch(std::int32_t& /*pattern*/) { return 0; }
  // An object of the drawing, chosen by number or name, or a new one named by the user.
  virtual int ChooseObject(CZephDoc* /*document*/, std::int16_t& /*objectNumber*/) { return 0; }
  // The table of the drawing's objects and what each consists of.
  virtual int AnalyseObjects(CZephDoc* /*document*/) { return 0; }
  // Symbol > Library: the library file is chosen and loaded into the symbol library.
  virtual int ChooseSymbolLibrary() { return 0; }
  // Symbol > Select: a symbol picked from the library becomes the selected symbol.
  virtual int ChooseSymbol() { return 0; }
  // Symbol > Reflect, Rotate, Enlarge, Stretch of the selected symbol.
  virtual int TransformSymbol(SymbolTransform /*transform*/) { return 0; }
  // Edit > Picture > Insert: a picture file path or a reference ">n" to a pasted picture.
  virtual int ChoosePicture(CZephDoc* /*document*/, QString& /*path*/) { return 0; }
};

namespace editor_dialogs_detail {
inline IEditorDialogs*& Installed() {
  static IEditorDialogs* installed = nullptr;
  return installed;
}
}  // namespace editor_dialogs_detail

// The dialogs in use: the installed ones, else the stand-in that cancels every dialog.
inline IEditorDialogs& GetEditorDialogs() {
  static IEditorDialogs none;
  IEditorDialogs* installed = editor_dialogs_detail::Installed();
  return installed != nullptr ? *installed : none;
}
// Installs the dialogs (not owned); null goes back to the stand-in.
inline void SetEditorDialogs(IEditorDialogs* dialogs) {
  editor_dialogs_detail::Installed() = dialogs;
}
