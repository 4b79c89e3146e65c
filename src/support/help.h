#pragma once
// Help: every help button, command and key names its page by an index into one table of
// help-topic names; ShowHelpTopic shows that page of the help in the text size in use.
//
// The help comes in four text sizes. Each is kept by the name the program gives it (the
// program folder and "Zeph.chm", "Zeph_s.chm", "Zeph_l.chm" or "Zeph_x.chm") and is a folder
// of HTML pages beside that name, without ".chm": "<program folder>/Zeph_l/html/tool_line.htm".
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// One entry of the help-topic table.
class CHelpTopic {
 public:
  CHelpTopic(int number, const QString& name);
  ~CHelpTopic();
  CHelpTopic(const CHelpTopic&) = default;
  CHelpTopic& operator=(const CHelpTopic&) = default;

  std::int32_t GetNumber() const { return m_number; }
  QString GetName() const { return m_name; }

 private:
  std::int32_t m_number;
  QString m_name;
};

inline constexpr int kHelpTopicCount = 134;
inline constexpr int kHelpFileCount = 4;

// The 134 topics, index i with the number i. The entries 15 and 92..105 have no name: no
// command of this program shows them, and they keep their places so that the others do not
// move.
extern std::vector<CHelpTopic> g_helpTopics;

// The help of each text size: 0 medium, 1 small, 2 large, 3 extra large (the option
// "HelpTextSize" holds the index). Set at start-up by SetHelpFileNames.
extern std::array<QString, kHelpFileCount> g_helpFileNames;
extern std::int16_t g_currentHelpFile;
// Per text size: 1 found, -1 missing, 0 not tested yet.
extern std::array<std::int16_t, kHelpFileCount> g_helpFileFound;
// Per text size: 1 once it has been copied to a local folder in this run.
extern std::array<std::int16_t, kHelpFileCount> g_helpFileCopied;

// The help name of a text size in a folder: folder + "/Zeph" + ".chm", "_s.chm", "_l.chm"
// or "_x.chm"; empty for an index outside 0..3.
QString MakeHelpFileName(const QString& programFolder, int index);
// Sets the four help names from the program folder.
void SetHelpFileNames(const QString& programFolder);
// The folder of HTML pages that a help name stands for: the name without ".chm".
QString HelpFolderOf(const QString& helpFileName);
// Whether the help of that name is installed: its folder holds the folder "html".
bool HelpFileExists(const QString& helpFileName);

// Makes the help of that text size current; false for an index outside 0..3 or help that is
// not installed (which is then marked missing), and the current help stays.
bool SelectHelpFile(int index);
// Shows a topic (0..133) of the current help; command is passed on to the help viewer
// (0 the topic, 1 with the contents, 2 with the index). Missing help shows message 45.
void ShowHelpTopic(int topic, int command);

// Help on a network drive is first copied to a local folder, once per text size and run, by
// the data-folder code (CopyHelpFileToLocal), which registers itself here at start-up: it
// points g_helpFileNames[g_currentHelpFile] at the copy and sets g_helpFileCopied for it.
// Until one is registered, such help is shown where it lies. Null unregisters.
void SetHelpCopier(std::function<void()> copier);

// Puts the help state back as at program start (table, names, current, found, copied and
// copier).
// For tests.
void ResetHelpState();
