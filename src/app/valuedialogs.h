#pragma once
// The small dialogs that ask for one value or setting: a number, the sides of a polygon, the
// grid settings, the printing scale, the real-world scale, a hatch pattern from the sheet of
// samples, and an object of the drawing. The caller sets the members, runs the dialog and
// reads the members after OK.
#include <QString>
#include <cstdint>

#include "controls/dialogplus.h"

class QBoxLayout;
class QLayout;
class QWidget;
class QComboBox;
class QLabel;
class CShowDrawing;
class CZephDoc;

namespace zeph {

// Templates, help topics and controls.
inline constexpr int kIddChooseSetting = 131;
inline constexpr int kIddPolygonSides = 4235;
inline constexpr int kIddGridSettings = 715;
inline constexpr int kIddPrintingScale = 506;
inline constexpr int kIddRealWorldScale = 716;
inline constexpr int kIddChooseHatch = 4247;
inline constexpr int kIddChooseObject = 4246;

inline constexpr int kHelpTopicNotSet = 134;
inline constexpr int kHelpPolygonSides = 73;
inline constexpr int kHelpGridSettings = 57;
inline constexpr int kHelpPrintingScale = 78;
inline constexpr int kHelpRealWorldScale = 79;
inline constexpr int kHelpChooseHatch = 48;
inline constexpr int kHelpChooseObject = 49;

inline constexpr int kIdcPrompt = 1000;
inline constexpr int kIdcValue = 1001;
inline constexpr int kIdcSides = 1002;
inline constexpr int kIdcGridSnap = 1012;
inline constexpr int kIdcGridLines = 1013;
inline constexpr int kIdcGridDots = 1014;
inline constexpr int kIdcGridSquare = 1015;
inline constexpr int kIdcGridIsometric = 1016;
inline constexpr int kIdcGridAlwaysShown = 1017;
inline constexpr int kIdcGridAlwaysHidden = 1018;
inline constexpr int kIdcGridColour = 1019;
// The grid-size buttons in their order (1, 2, 5, 10, 20, 50, 100 steps).
inline constexpr int kGridSizeButtons[7] = {1005, 1007, 1006, 1008, 1009, 1010, 1011};
inline constexpr int kIdcAutomaticScale = 1021;
inline constexpr int kIdcScaleList = 1022;
inline constexpr int kIdcScaleUnit = 1023;
inline constexpr int kIdcRealWorldScale = 1020;
inline constexpr int kIdcObjectList = 1024;
inline constexpr int kIdcHatchPreview = 1025;

// A warning of the string table (id), or text where the table has none (id 0: text).
void ShowDialogWarning(int id, const QString& text);
// Adds OK, Cancel and Help, connected to the dialog's commands, as a column (or a row).
void AddDialogButtons(CDialogPlus& dialog, QBoxLayout& layout);
// The frame most dialogs share: their content (with its stretch), then OK, Cancel and Help in a
// column to the right.
void LayOutBesideButtons(CDialogPlus& dialog, QLayout* content, int stretch);
void LayOutBesideButtons(CDialogPlus& dialog, QWidget* content, int stretch);

// ---- A number ----
class CChooseSettingDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CChooseSettingDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return m_helpTopic; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  double m_value = -1.0;           // -1: empty
  std::int32_t m_prompt = 0;       // string id; 0 keeps the dialog's own question
  std::int32_t m_helpTopic = kHelpTopicNotSet;
};

// ---- Sides of a polygon, 3..500 ----
class CPolygonSidesDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CPolygonSidesDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpPolygonSides; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;

  std::int16_t m_sides = 0;
};

// ---- Grid settings ----
class CGridSettingsDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CGridSettingsDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpGridSettings; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  // The grid-size labels for a real-world scale, in button order.
  static void GridSizeLabels(double realWorldScale, QString labels[7]);

  std::int32_t m_snap = 0;
  std::int32_t m_alwaysHidden = 0;
  std::int32_t m_alwaysShown = 0;
  std::int32_t m_colour = -1;
  std::int32_t m_linesOrDots = -1;
  std::int32_t m_squareOrIsometric = -1;
  std::int32_t m_gridSize = -1;

 private:
  void OnAlwaysShown(bool checked);
  void OnAlwaysHidden(bool checked);
};

// ---- Printing scale ----
class CPrintingScaleDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CPrintingScaleDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpPrintingScale; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  // The four scales offered for an automatic scale: the smallest of the 1-2-5 series not
  // below it and the three after it.
  static void ScaleSeries(double automaticScale, double values[4]);

  std::int32_t m_automatic = 0;
  double m_scale = 1.0;
  double m_automaticScale = 1.0;

 private:
  void OnAutomaticClicked(bool checked);
  void OnScaleEdited();

  QComboBox* m_scaleList = nullptr;
  bool m_loading = false;
};

// ---- Real-world scale ----
class CRealWorldScaleDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CRealWorldScaleDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpRealWorldScale; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  QString m_scaleText;

 private:
  // Drops the list open on the box that has the focus.
  void DropList();

  QComboBox* m_list = nullptr;
};

// ---- Hatch pattern from the sheet of samples ----
class CChooseHatchDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CChooseHatchDialog(QWidget* parent = nullptr);
  ~CChooseHatchDialog() override;
  int GetHelpTopic() const override { return kHelpChooseHatch; }
  bool OnInitDialog() override;
  void OnOK() override;
  CShowDrawing* GetPreview() const { return m_preview; }

  std::int32_t m_chosenPattern = -1;

 private:
  CShowDrawing* m_preview = nullptr;
};

// ---- An object of the drawing ----
class CChooseObjectDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CChooseObjectDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpChooseObject; }
  bool OnInitDialog() override;
  void OnOK() override;

  std::int16_t m_objectNumber = -1;
  CZephDoc* m_document = nullptr;
};

// Creates a preview (a CShowDrawing) over the rectangle of the preview area id and shows
// mode in it; null after glitch code/1 (no preview) or code/2 (no preview area).
CShowDrawing* CreatePreview(CDialogPlus& dialog, int areaId, const QString& text, int mode,
                            int glitchCode);

}  // namespace zeph
