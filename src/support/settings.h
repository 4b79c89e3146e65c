#pragma once
// Small per-machine and per-user settings that are not options, kept in two key=value text
// files in encoding 0 with CR LF line ends, each beginning with the header line "[Zephorin]":
//   the machine settings "Zeph.lmf" in the shared data folder: "LogFile", "ShowGlitch",
//     "GlitchReport", "CmfIni" (the manager's shared-settings folder);
//   the user settings "Zeph.luf" in the local data folder: "WindowPosition".
// A key is the text before a line's first '=', compared without case and with its spaces
// removed; the value is everything after it, unchanged. Lines without '=' are carried along.
// The files are read at every use; nothing is cached but the two globals below.
#include <QString>
#include <cstdint>

// The manager's shared-settings folder (manager file, all-users options, maker-wide
// settings), without a trailing separator.
extern QString g_sharedSettingsFolder;
// 1 when the machine setting "GlitchReport" is "No": no glitch reports are uploaded.
extern std::int32_t g_glitchReportOff;

// 1 and value = the key's value when the file (after its header, when header is not empty)
// holds the key; else 0 and value unchanged. g_fileStatus is left as the reader left it.
int ReadSettingsKey(const QString& path, const QString& header, const QString& key, QString& value);
// Rewrites the file so that it holds exactly one line "key=value", after all its other lines,
// which are kept byte for byte; a missing file is created with the header. 1 on success; 0 on
// failure, with the old file unchanged: the new content is written to a temporary file in the
// same folder and renamed over the old one only when complete. A file whose first line is not
// the header, a read-only file and a value that encoding 0 cannot hold give 0.
int WriteSettingsKey(const QString& path, const QString& header, const QString& key,
                     const QString& value);

// The machine settings file (no folder is made for reading).
int ReadMachineSetting(const QString& key, QString& value);
int WriteMachineSetting(const QString& key, const QString& value);
// The user settings file.
int ReadUserSetting(const QString& key, QString& value);
void WriteUserSetting(const QString& key, const QString& value);

// Start-up: g_glitchReportOff = 1 when "GlitchReport" is "No" (any case, blanks count).
void ReadGlitchReportOption();
// g_sharedSettingsFolder = the folder of "CmfIni" when it exists, else the shared data folder.
void ResolveManagerFolder();
// From the manager's folder page. Bit 0 of flags: make folder the manager folder (taken only
// when it holds the manager file or bit 1 is set); bit 1: make sure the manager file is there
// (EnsureManagerFile of the shared configuration).
void ChangeManagerFolder(const QString& folder, int flags);

// Points the activity log at the settings and data folders above (its machine settings,
// roaming data folder and documents folder) and gives the help its local copier. The
// application calls it at start-up, before ReadLogOptions.
void InstallSupportHooks();

// Puts g_sharedSettingsFolder and g_glitchReportOff back as at program start. For tests.
void ResetSettingsState();
