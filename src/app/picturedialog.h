#pragma once
// Edit > Picture > Insert: the background picture of a drawing, either a picture file (typed
// or browsed) or a picture pasted from the clipboard and kept inside the drawing, with a live
// preview. While open, the dialog follows the clipboard, so its paste button is offered only
// while there is a picture to paste (or one was pasted already).
#include <QString>
#include <cstdint>
#include <memory>

#include "controls/dialogplus.h"

class CImage;
class CZephDoc;

namespace zeph {

class CDrawContext;

inline constexpr int kIddChoosePicture = 4228;
inline constexpr int kHelpChoosePicture = 50;
inline constexpr int kIdcPicturePreview = 2002;
inline constexpr int kIdcPicturePath = 2003;
inline constexpr int kIdcPasteFromClipboard = 1148;
inline constexpr int kIdcBrowsePicture = 7;

class CChoosePictureDialog : public CDialogPlus {
  Q_OBJECT

 public:
  explicit CChoosePictureDialog(QWidget* parent = nullptr);
  ~CChoosePictureDialog() override;
  int GetHelpTopic() const override { return kHelpChoosePicture; }
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  void OnCancel() override;
  bool OnCommand(int id) override;

  // The paste check box clicked.
  void OnPaste();
  // The path box lost the focus.
  void OnPathKillFocus();
  void OnBrowse();
  // The clipboard's contents changed: the paste box is offered again or not.
  void OnDrawClipboard();
  // Paints the preview into the preview area's drawing context.
  void DrawPreview(CDrawContext& dc, int width, int height);
  int IsViewingClipboard() const { return m_viewing ? 1 : 0; }
  int GetPastedRow() const { return m_pastedRow; }
  int GetReferencedRow() const { return m_referencedRow; }
  int GetChosenRow() const { return m_chosenRow; }
  int IsPreviewLoaded() const { return m_previewLoaded; }

  CZephDoc* m_document = nullptr;
  QString m_pasteName;
  QString m_path;  // a file path, or ">n" for a picture pasted into the drawing

 private:
  void UpdatePasteEnabled();
  void JoinClipboardViewers();
  void LeaveClipboardViewers();
  void InvalidatePreview();

  std::int32_t m_previewLoaded = 0;
  std::unique_ptr<CImage> m_preview;
  std::int16_t m_referencedRow = -1;
  std::int16_t m_pastedRow = -1;
  std::int16_t m_chosenRow = -1;
  bool m_viewing = false;
};

}  // namespace zeph
