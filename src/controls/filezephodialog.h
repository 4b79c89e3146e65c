#pragma once
// The program's open and save dialogs on Qt's own (non-native) file dialog. CFileZephoDialog
// remembers the last folder the user looked at, so that the caller can start there the next
// time; CFileSamplesDialog can offer a "&Sample files ..." button, which ends the dialog as
// cancelled and tells the caller to show it again in the samples folder.
#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "platform/filedialogs.h"

class QPushButton;

namespace zeph {

inline constexpr int kIdcSamplesButton = 1010;
inline constexpr int kTopicSampleFilesButton = 91;

// Further dialog flags the callers may pass.
inline constexpr unsigned kOfnOverwritePrompt = 0x2;

// The dialog's name filters from the program's filter text: pairs of description and
// patterns, each ended by '|' (" Drawings (*.zpd) |*.zpd| All files (*.*) |*.*||"). Each
// description shows its own patterns, separated by blanks.
QStringList FileFilterToNameFilters(const QString& filter);

class CFileZephoDialog : public QFileDialog {
  Q_OBJECT

 public:
  // defaultExtension without the dot; fileName the name first shown; flags the kOfn... flags.
  CFileZephoDialog(bool open, const QString& defaultExtension, const QString& fileName,
                   unsigned flags, const QString& filter, QWidget* parent);

  // The folder now shown becomes the last folder.
  virtual void OnFolderChange();
  QString GetLastFolder() const { return m_lastFolder; }

  // Runs the dialog through the dialog runner: kIdOk or kIdCancel. The last folder is the one
  // shown when the dialog closed, however it closed.
  virtual int DoModal();
  // The file chosen (empty unless OK ended the dialog).
  QString GetPathName() const;

  // The filter selected, counted from 1 in the order of the filter text; an index outside the
  // list selects nothing.
  void SetFilterIndex(int index);
  int GetFilterIndex() const;

 private:
  // Saving: a name typed without an extension gets the selected filter's own, else the
  // default one.
  void OnFilterSelected(const QString& filter);

  QString m_lastFolder;
  QString m_defaultExtension;
};

class CFileSamplesDialog : public CFileZephoDialog {
  Q_OBJECT

 public:
  CFileSamplesDialog(bool open, const QString& defaultExtension, const QString& fileName,
                     unsigned flags, const QString& filter, QWidget* parent);

  void ShowSamplesButton(std::int32_t flag) { m_showSamplesButton = flag; }
  std::int32_t WasSamplesChosen() const { return m_samplesChosen; }

  // Adds the samples button when asked to, then runs the dialog. The button ends it with
  // kIdCancel.
  int DoModal() override;
  // The samples button: chosen, and the dialog ends.
  void OnSamplesButton();
  // The help key: the samples button's help when the request comes from it, nothing
  // otherwise; true in every case.
  bool OnHelpInfo();

 private:
  std::int32_t m_showSamplesButton = 0;
  std::int32_t m_samplesChosen = 0;
  QPushButton* m_samplesButton = nullptr;
};

// The program's file dialogs for the file-dialog interface; start-up installs them with
// InstallFileDialogs.
class CQtFileDialogs final : public IFileDialogs {
 public:
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;
};

// Makes the dialogs above the ones every open and save of the program shows.
void InstallFileDialogs();

}  // namespace zeph
