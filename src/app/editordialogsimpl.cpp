#include "app/editordialogsimpl.h"

#include <QFont>
#include <QFontDialog>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "app/analysis.h"
#include "app/picturedialog.h"
#include "app/symboldialogs.h"
#include "app/valuedialogs.h"
#include "controls/dialogplus.h"
#include "controls/viewcontrols.h"
#include "document/document.h"
#include "document/drawingfile.h"
#include "editor/viewframe.h"
#include "support/filestatus.h"
#include "support/log.h"
#include "support/screen.h"
#include "support/uiutil.h"

namespace zeph {
namespace {

// Makes a dialog; null after the out-of-memory warning.
template <typename Dialog>
std::unique_ptr<Dialog> MakeDialog(QWidget* parent) {
  try {
    return std::make_unique<Dialog>(parent);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    return nullptr;
  }
}

CEditorDialogs& ProgramDialogs() {
  static CEditorDialogs dialogs;
  return dialogs;
}

}  // namespace

void InstallEditorDialogs(QWidget* parent) {
  ProgramDialogs().SetParent(parent);
  SetEditorDialogs(&ProgramDialogs());
}

void RemoveEditorDialogs() {
  if (&GetEditorDialogs() == &ProgramDialogs()) SetEditorDialogs(nullptr);
  ProgramDialogs().SetParent(nullptr);
}

bool RunChoosePicture(QWidget* parent, CZephDoc& document, QString& path) {
  auto dialog = MakeDialog<CChoosePictureDialog>(parent);
  if (!dialog) return false;
  dialog->m_document = &document;
  dialog->m_path = document.GetPicturePath();
  if (dialog->DoModal() != kIdOk) return false;
  path = dialog->m_path;
  return true;
}

bool RunChooseLibraryFile(QWidget* parent, QString& path) {
  auto dialog = MakeDialog<CChooseLibraryDialog>(parent);
  if (!dialog) return false;
  if (dialog->DoModal() != kIdOk || dialog->m_path.isEmpty()) return false;
  path = dialog->m_path;
  return true;
}

bool LoadSymbolLibrary(const QString& path) {
  if (g_symbolLibraryDoc == nullptr) return false;
  g_symbolLibraryDoc->ReadDrawingFile(path, 2);
  if (g_fileStatus != 0) {
    ShowDrawingFileError(path);
    return false;
  }
  return true;
}

bool RunChooseSymbol(QWidget* parent) {
  auto dialog = MakeDialog<CChooseSymbolDialog>(parent);
  if (!dialog) return false;
  return dialog->DoModal() == kIdOk;
}

bool RunSymbolTransform(QWidget* parent, SymbolTransform transform) {
  std::unique_ptr<CDialogPlus> dialog;
  switch (transform) {
    case SymbolTransform::kReflect: dialog = MakeDialog<CSymbolMirrorDialog>(parent); break;
    case SymbolTransform::kRotate: dialog = MakeDialog<CSymbolRotateDialog>(parent); break;
    case SymbolTransform::kEnlarge: dialog = MakeDialog<CSymbolScaleDialog>(parent); break;
    case SymbolTransform::kStretch: dialog = MakeDialog<CSymbolStretchDialog>(parent); break;
  }
  if (!dialog) return false;
  return dialog->DoModal() == kIdOk;
}

int CEditorDialogs::ChooseValue(double& value, int promptId, int helpTopic) {
  auto dialog = MakeDialog<CChooseSettingDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_value = value;
  dialog->m_prompt = promptId;
  dialog->m_helpTopic = helpTopic;
  if (dialog->DoModal() != kIdOk) return 0;
  value = dialog->m_value;
  return 1;
}

int CEditorDialogs::ChoosePolygonSides(std::int16_t& sides) {
  auto dialog = MakeDialog<CPolygonSidesDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_sides = sides;
  if (dialog->DoModal() != kIdOk) return 0;
  sides = dialog->m_sides;
  return 1;
}

int CEditorDialogs::ChooseGridSettings(GridDialogSettings& settings) {
  auto dialog = MakeDialog<CGridSettingsDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_snap = settings.snap;
  dialog->m_alwaysHidden = settings.alwaysHidden;
  dialog->m_alwaysShown = settings.alwaysShown;
  dialog->m_colour = settings.colour;
  dialog->m_linesOrDots = settings.linesOrDots;
  dialog->m_squareOrIsometric = settings.squareOrIsometric;
  dialog->m_gridSize = settings.gridSize;
  if (dialog->DoModal() != kIdOk) return 0;
  settings.snap = dialog->m_snap;
  settings.alwaysHidden = dialog->m_alwaysHidden;
  settings.alwaysShown = dialog->m_alwaysShown;
  settings.colour = dialog->m_colour;
  settings.linesOrDots = dialog->m_linesOrDots;
  settings.squareOrIsometric = dialog->m_squareOrIsometric;
  settings.gridSize = dialog->m_gridSize;
  return 1;
}

int CEditorDialogs::ChoosePrintingScale(PrintingScaleSettings& settings) {
  auto dialog = MakeDialog<CPrintingScaleDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_automatic = settings.automatic;
  dialog->m_scale = settings.scale;
  dialog->m_automaticScale = settings.automaticScale;
  if (dialog->DoModal() != kIdOk) return 0;
  settings.automatic = dialog->m_automatic;
  settings.scale = dialog->m_scale;
  return 1;
}

int CEditorDialogs::ChooseRealWorldScale(QString& scaleText) {
  auto dialog = MakeDialog<CRealWorldScaleDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_scaleText = scaleText;
  if (dialog->DoModal() != kIdOk) return 0;
  scaleText = dialog->m_scaleText;
  return 1;
}

int CEditorDialogs::ChooseFont(DcFont& font) {
  std::unique_ptr<QFontDialog> dialog;
  try {
    dialog = std::make_unique<QFontDialog>(QtFontOf(font, m_parent), m_parent);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    return 0;
  }
  dialog->setOption(QFontDialog::DontUseNativeDialog, true);
  if (GetDialogRunner().RunModal(*dialog) != kIdOk) return 0;
  const QFont chosen = dialog->selectedFont();
  font.face = chosen.family();
  // The dialog speaks points; the logical form holds pixels at the screen's resolution.
  if (chosen.pointSizeF() > 0) {
    font.height =
        std::max(1, static_cast<int>(std::lround(chosen.pointSizeF() * g_screenDpiY / 72.0)));
  }
  font.bold = chosen.bold();
  font.italic = chosen.italic();
  return 1;
}

int CEditorDialogs::ChooseHatch(std::int32_t& pattern) {
  auto dialog = MakeDialog<CChooseHatchDialog>(m_parent);
  if (!dialog) return 0;
  if (dialog->DoModal() != kIdOk) return 0;
  pattern = dialog->m_chosenPattern;
  return 1;
}

int CEditorDialogs::ChooseObject(CZephDoc* document, std::int16_t& objectNumber) {
  auto dialog = MakeDialog<CChooseObjectDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_document = document;
  if (dialog->DoModal() != kIdOk) return 0;
  objectNumber = dialog->m_objectNumber;
  return 1;
}

int CEditorDialogs::AnalyseObjects(CZephDoc* document) {
  auto dialog = MakeDialog<CAnalyseElementsDialog>(m_parent);
  if (!dialog) return 0;
  dialog->m_document = document;
  return dialog->DoModal() == kIdOk ? 1 : 0;
}

int CEditorDialogs::ChooseSymbolLibrary() { return GetViewFrame().ChooseSymbolLibrary() ? 1 : 0; }

int CEditorDialogs::ChooseSymbol() { return GetViewFrame().ChooseSymbol() ? 1 : 0; }

int CEditorDialogs::TransformSymbol(SymbolTransform transform) {
  return RunSymbolTransform(m_parent, transform) ? 1 : 0;
}

int CEditorDialogs::ChoosePicture(CZephDoc* document, QString& path) {
  if (document == nullptr) return 0;
  return RunChoosePicture(m_parent, *document, path) ? 1 : 0;
}

}  // namespace zeph
