#pragma once
// The dialogs of the Symbol menu: choosing the library file, choosing a symbol from the
// library with a preview, and reflecting, rotating, enlarging or stretching the selected
// symbol, each with a preview of the symbol.
#include <QString>
#include <cstdint>

#include "controls/dialogplus.h"

class CShowDrawing;
class CTransform;
class QListWidget;

namespace zeph {

inline constexpr int kIddChooseLibrary = 504;
inline constexpr int kIddChooseSymbol = 4236;
inline constexpr int kIddSymbolMirror = 4239;
inline constexpr int kIddSymbolRotate = 4237;
inline constexpr int kIddSymbolScale = 4238;
inline constexpr int kIddSymbolStretch = 4240;

inline constexpr int kHelpSymbolLibrary = 84;
inline constexpr int kHelpSymbolSelect = 87;
inline constexpr int kHelpSymbolReflect = 85;
inline constexpr int kHelpSymbolRotate = 86;
inline constexpr int kHelpSymbolEnlarge = 83;
inline constexpr int kHelpSymbolStretch = 88;

inline constexpr int kIdcLibraryOther = 1001;
inline constexpr int kIdcLibraryList = 1002;
inline constexpr int kIdcSymbolPreview = 1006;
inline constexpr int kIdcTransformPreview = 1008;
inline constexpr int kIdcAngle = 1007;
inline constexpr int kIdcScaleFactor = 1009;
inline constexpr int kIdcFirstDirection = 1010;   // vertical mirror line / stretch vertically
inline constexpr int kIdcSecondDirection = 1011;  // horizontal mirror line / stretch horizontally
inline constexpr int kIdcStretchFactor = 1013;

// ---- The library file ----
class CChooseLibraryDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CChooseLibraryDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpSymbolLibrary; }
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id) override;

  QString m_path;

 private:
  void OnOther();
  QListWidget* m_list = nullptr;
};

// ---- A symbol of the library ----
class CChooseSymbolDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CChooseSymbolDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpSymbolSelect; }
  bool OnInitDialog() override;
  void OnOK() override;
  CShowDrawing* GetPreview() const { return m_preview; }

 private:
  CShowDrawing* m_preview = nullptr;
};

// The four transformations share the preview of the selected symbol and the way OK applies
// the transformation to every item of the symbol.
class CSymbolTransformDialog : public CDialogPlus {
  Q_OBJECT

 public:
  CSymbolTransformDialog(int templateId, int showMode, int glitchCode, QWidget* parent);
  bool OnInitDialog() override;
  void OnOK() override;
  CShowDrawing* GetPreview() const { return m_preview; }

 protected:
  // After the data were saved and checked: the transformation, or false to keep the dialog.
  virtual bool MakeTransform(CTransform& transform) = 0;
  // Adds the preview area and the fields (a layout of the derived dialog) with the buttons.
  void BuildLayout(QLayout* fields);

 private:
  int m_showMode;
  int m_glitchCode;
  CShowDrawing* m_preview = nullptr;
};

class CSymbolMirrorDialog : public CSymbolTransformDialog {
  Q_OBJECT

 public:
  explicit CSymbolMirrorDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpSymbolReflect; }
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_mirrorLine = -1;  // 0 vertical line, 1 horizontal line

 protected:
  bool MakeTransform(CTransform& transform) override;
};

class CSymbolRotateDialog : public CSymbolTransformDialog {
  Q_OBJECT

 public:
  explicit CSymbolRotateDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpSymbolRotate; }
  void DoDataExchange(CDataExchange& dx) override;

  QString m_angleText;

 protected:
  bool MakeTransform(CTransform& transform) override;
};

class CSymbolScaleDialog : public CSymbolTransformDialog {
  Q_OBJECT

 public:
  explicit CSymbolScaleDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpSymbolEnlarge; }
  void DoDataExchange(CDataExchange& dx) override;

  QString m_factorText;

 protected:
  bool MakeTransform(CTransform& transform) override;
};

class CSymbolStretchDialog : public CSymbolTransformDialog {
  Q_OBJECT

 public:
  explicit CSymbolStretchDialog(QWidget* parent = nullptr);
  int GetHelpTopic() const override { return kHelpSymbolStretch; }
  void DoDataExchange(CDataExchange& dx) override;

  std::int32_t m_direction = -1;  // 0 vertically, 1 horizontally
  QString m_factorText;

 protected:
  bool MakeTransform(CTransform& transform) override;
};

}  // namespace zeph
