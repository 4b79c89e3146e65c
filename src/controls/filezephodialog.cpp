#include "controls/filezephodialog.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTreeView>

#include "controls/dialogplus.h"
#include "support/help.h"
#include "support/screen.h"

namespace zeph {

QStringList FileFilterToNameFilters(const QString& filter) {
  QStringList parts = filter.split(u'|');
  QStringList filters;
  // A trailing "(...)" of a description names patterns; the dialog shows the real ones.
  static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    const QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    if (description.trimmed().isEmpty() && patterns.isEmpty()) break;  // the closing "||"
    description.remove(shownPatterns);
    description = description.trimmed();
    QStringList cleaned;
    for (const QString& pattern : patterns) {
      const QString p = pattern.trimmed();
      if (!p.isEmpty()) cleaned.push_back(p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
    }
    if (cleaned.isEmpty()) cleaned.push_back(QStringLiteral("*"));
    filters.push_back(QStringLiteral("%1 (%2)").arg(description, cleaned.join(u' ')));
  }
  return filters;
}

// ---- CFileZephoDialog ----

CFileZephoDialog::CFileZephoDialog(bool open, const QString& defaultExtension,
                                   const QString& fileName, unsigned flags, const QString& filter,
                                   QWidget* parent)
    : QFileDialog(parent), m_defaultExtension(defaultExtension) {
  // Qt's own dialog: the same on every desktop, and it takes the samples button.
  setOption(QFileDialog::DontUseNativeDialog, true);
  setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  setFileMode((open && (flags & kOfnFileMustExist) != 0) ? QFileDialog::ExistingFile
                                                          : QFileDialog::AnyFile);
  // The program asks its own question before a file is replaced.
  setOption(QFileDialog::DontConfirmOverwrite, (flags & kOfnOverwritePrompt) == 0);
  setDefaultSuffix(defaultExtension);
  const QStringList filters = FileFilterToNameFilters(filter);
  if (!filters.isEmpty()) setNameFilters(filters);
  if (!fileName.isEmpty()) selectFile(fileName);
  connect(this, &QFileDialog::directoryEntered, this, [this]() { OnFolderChange(); });
  connect(this, &QFileDialog::filterSelected, this,
          [this](const QString& filter) { OnFilterSelected(filter); });
  // The detail view's Size, Type and Date columns take the width of their texts, so that no
  // size or type shows cut; the name takes the rest.
  if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column) {
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
  }
}

void CFileZephoDialog::SetFilterIndex(int index) {
  const QStringList filters = nameFilters();
  if (index < 1 || index > filters.size()) return;
  selectNameFilter(filters[index - 1]);
  OnFilterSelected(filters[index - 1]);
}

int CFileZephoDialog::GetFilterIndex() const {
  const qsizetype at = nameFilters().indexOf(selectedNameFilter());
  return at < 0 ? 0 : static_cast<int>(at) + 1;
}

void CFileZephoDialog::OnFilterSelected(const QString& filter) {
  if (acceptMode() != QFileDialog::AcceptSave) return;
  // The first pattern of the filter: "Symbol library file (*.zsy)" gives "zsy".
  static const QRegularExpression firstPattern(QStringLiteral("\\(\\*\\.(\\w+)[ )]"));
  const QRegularExpressionMatch match = firstPattern.match(filter);
  setDefaultSuffix(match.hasMatch() ? match.captured(1) : m_defaultExtension);
}

void CFileZephoDialog::OnFolderChange() { m_lastFolder = directory().absolutePath(); }

int CFileZephoDialog::DoModal() {
  OnFolderChange();
  const int result = GetDialogRunner().RunModal(*this);
  OnFolderChange();
  return result == QDialog::Accepted ? kIdOk : kIdCancel;
}

QString CFileZephoDialog::GetPathName() const {
  if (result() != QDialog::Accepted) return QString();
  const QStringList files = selectedFiles();
  return files.isEmpty() ? QString() : files.front();
}

// ---- CFileSamplesDialog ----

CFileSamplesDialog::CFileSamplesDialog(bool open, const QString& defaultExtension,
                                       const QString& fileName, unsigned flags,
                                       const QString& filter, QWidget* parent)
    : CFileZephoDialog(open, defaultExtension, fileName, flags, filter, parent) {
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  help->setContext(Qt::WindowShortcut);
  connect(help, &QShortcut::activated, this, [this]() { OnHelpInfo(); });
}

int CFileSamplesDialog::DoModal() {
  if (m_showSamplesButton != 0 && m_samplesButton == nullptr) {
    m_samplesButton = new QPushButton(QStringLiteral("&Sample files ..."), this);
    SetControlId(m_samplesButton, kIdcSamplesButton);
    connect(m_samplesButton, &QPushButton::clicked, this, [this]() { OnSamplesButton(); });
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
      grid->addWidget(m_samplesButton, grid->rowCount(), 0, 1, 1, Qt::AlignLeft);
    }
  }
  m_samplesChosen = 0;
  CentreWidget(*this, 0.5);
  return CFileZephoDialog::DoModal();
}

void CFileSamplesDialog::OnSamplesButton() {
  m_samplesChosen = 1;
  done(kIdCancel);
}

bool CFileSamplesDialog::OnHelpInfo() {
  if (m_samplesButton != nullptr && QApplication::focusWidget() == m_samplesButton) {
    ShowHelpTopic(kTopicSampleFilesButton, 0);
  }
  return true;
}

// ---- The program's file dialogs ----

FileDialogResult CQtFileDialogs::ShowFileDialog(const FileDialogRequest& request) {
  CFileSamplesDialog dialog(request.open, request.defaultExtension, request.fileName,
                            request.flags, request.filter, QApplication::activeWindow());
  if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
  dialog.setDirectory(request.initialFolder.isEmpty() ? QDir::currentPath()
                                                      : request.initialFolder);
  // The directory replaces the name first shown; the name goes back into its box.
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  dialog.ShowSamplesButton(request.samplesButton ? 1 : 0);
  dialog.SetFilterIndex(request.filterIndex);
  FileDialogResult result;
  result.answer = dialog.DoModal();
  result.samplesChosen = dialog.WasSamplesChosen() != 0;
  result.filterIndex = dialog.GetFilterIndex();
  if (result.answer == kIdOk) result.path = dialog.GetPathName();
  result.lastFolder = dialog.GetLastFolder();
  return result;
}

void InstallFileDialogs() {
  static CQtFileDialogs dialogs;
  SetFileDialogs(&dialogs);
}

}  // namespace zeph
