#pragma once
// The program's three file types (drawings, backups, symbol libraries) registered with the
// desktop the freedesktop way, under the user's data folder: a shared-mime-info package per
// type (its extension's glob, its description and icon name), one desktop file that opens
// them with the program, and an icon per type. The manager's "File types" page checks the
// three registrations, lists every problem in a table and offers to write them again.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "controls/propertysheet.h"

namespace zeph {

class CTableWnd;

inline constexpr int kIddCheckFileTypes = 4254;
inline constexpr int kIdcFileTypesTable = 1030;
inline constexpr int kIdcRepairFileTypes = 1031;
inline constexpr int kTopicCheckFileTypes = 46;
inline constexpr int kFileTypeProblemLimit = 20;
// "Sorry - you cannot change these settings ..." (the repair could not write).
inline constexpr int kIdsCannotChangeSettings = 80;

class CFileTypeInfo {
 public:
  CFileTypeInfo(const QString& typeName, const QString& extension, std::int32_t iconIndex,
                const QString& mimeType);

  const QString& GetFileTypeName() const { return m_typeName; }
  const QString& GetExtension() const { return m_extension; }
  std::int32_t GetIconIndex() const { return m_iconIndex; }
  // The desktop's name of the type ("application/x-...").
  const QString& GetMimeType() const { return m_mimeType; }
  int GetProblemCount() const { return m_problemCount; }
  // The problem of that index; empty for an index out of range.
  QString GetFileTypeMessage(int index) const;
  void ClearProblems();
  // Appends a problem (at most kFileTypeProblemLimit are kept).
  void AddProblem(const QString& message);

 private:
  QString m_typeName;
  QString m_extension;
  std::int32_t m_iconIndex;
  QString m_mimeType;
  std::int16_t m_problemCount = 0;
  QStringList m_problems;
};

// The three types: drawings ".zpd", backups ".zpk", symbol libraries ".zsy".
extern std::array<CFileTypeInfo, 3> g_fileTypes;

// The program the types open with; empty until set (the application sets its own path).
extern QString g_programPath;
// Where the registrations live: the user's data folder unless set (tests set their own).
extern QString g_fileTypeDataFolder;
QString GetFileTypeDataFolder();

// The files of a type's registration.
QString GetMimePackagePath(const CFileTypeInfo& type);
QString GetFileTypeDesktopPath();
QString GetFileTypeIconPath(const CFileTypeInfo& type);
// What they hold when the registration is right.
QString MakeMimePackage(const CFileTypeInfo& type);
QString MakeDesktopEntry(const QString& programPath);
QByteArray MakeFileTypeIcon(const CFileTypeInfo& type);

// Checks one type; its problems are kept in the record. Answers their number.
int CheckFileType(CFileTypeInfo& type, const QString& programPath);
// Writes one type's registration again: 1 when everything was written.
int RepairFileType(CFileTypeInfo& type, const QString& programPath);

// The "File types" page of the manager's sheet.
class CCheckFileTypesPage : public CPropertyPagePlus {
  Q_OBJECT

 public:
  CCheckFileTypesPage();

  int GetHelpTopic() const override { return kTopicCheckFileTypes; }
  bool OnInitDialog() override;
  // Checks the three types and lists them with their problems.
  void FillTable();
  // The repair button: writes the three types again and lists them anew.
  void OnRepair();
  // Set by the manager's sheet when the user may not change machine settings.
  void SetReadOnly(int readOnly) { m_readOnly = readOnly; }
  int IsReadOnly() const { return m_readOnly; }
  CTableWnd* GetTable() const;

 private:
  std::int32_t m_readOnly = 0;
};

// Back to the start values (problems cleared, no program path, the user's data folder). For
// tests.
void ResetFileTypesState();

}  // namespace zeph
