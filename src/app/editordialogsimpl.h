#pragma once
// The program's dialogs behind the editor's dialog interface, and the runs of the Symbol and
// Picture dialogs the main frame and the application call. Each run is modal and answers
// true (1) when the user confirmed the dialog.
#include <QString>

#include "editor/editordialogs.h"

class QWidget;
class CZephDoc;

namespace zeph {

// Edit > Picture > Insert's dialog: path becomes the chosen file or picture reference.
bool RunChoosePicture(QWidget* parent, CZephDoc& document, QString& path);
// Symbol > Library's dialog: the path of the library file chosen (not yet read).
bool RunChooseLibraryFile(QWidget* parent, QString& path);
// Reads a library file into the symbol library; a file error is shown. True when read whole.
bool LoadSymbolLibrary(const QString& path);
// Symbol > Select's dialog: the picked symbol becomes the selected symbol.
bool RunChooseSymbol(QWidget* parent);
// Symbol > Reflect, Rotate, Enlarge, Stretch: the selected symbol is transformed on OK.
bool RunSymbolTransform(QWidget* parent, SymbolTransform transform);

// Installs the program's dialogs as the editor's (centred over parent), or removes them.
void InstallEditorDialogs(QWidget* parent);
void RemoveEditorDialogs();

class CEditorDialogs final : public IEditorDialogs {
 public:
  // parent: the window the dialogs are centred over (null: none).
  explicit CEditorDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
  void SetParent(QWidget* parent) { m_parent = parent; }

  int ChooseValue(double& value, int promptId, int helpTopic) override;
  int ChoosePolygonSides(std::int16_t& sides) override;
  int ChooseGridSettings(GridDialogSettings& settings) override;
  int ChoosePrintingScale(PrintingScaleSettings& settings) override;
  int ChooseRealWorldScale(QString& scaleText) override;
  int ChooseFont(DcFont& font) override;
  int ChooseHatch(std::int32_t& pattern) override;
  int ChooseObject(CZephDoc* document, std::int16_t& objectNumber) override;
  int AnalyseObjects(CZephDoc* document) override;
  // The library and the symbol go through the main frame, which reports the loading.
  int ChooseSymbolLibrary() override;
  int ChooseSymbol() override;
  int TransformSymbol(SymbolTransform transform) override;
  int ChoosePicture(CZephDoc* document, QString& path) override;

 private:
  QWidget* m_parent;
};

}  // namespace zeph
