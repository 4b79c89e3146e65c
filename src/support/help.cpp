#include "support/help.h"

#include <new>
#include <utility>

#include "platform/helpviewer.h"
#include "platform/presenter.h"
#include "support/constants.h"
#include "support/files.h"
#include "support/log.h"

namespace {

constexpr int kCodeShowHelpTopic = 25002;

// Topic names by index; empty names stand for topics no command of this program shows.
constexpr const char16_t* kTopicNames[kHelpTopicCount] = {
    u"command_edit_copy",  // 0
    u"command_edit_dictionary",
    u"command_edit_printing_scale",
    u"command_edit_real_world",
    u"command_edit_redo",
    u"command_edit_undo",
    u"command_edit_wipe",
    u"command_file_add",
    u"command_file_exit",
    u"command_file_new",
    u"command_file_open",  // 10
    u"command_file_page_setup",
    u"command_file_preview",
    u"command_file_print",
    u"command_file_printer_setup",
    u"",
    u"command_file_save",
    u"command_file_save_as",
    u"command_help_about",
    u"command_help_check_for_updates",
    u"command_help_contents",  // 20
    u"command_help_index",
    u"command_help_specific",
    u"command_help_support",
    u"command_help_text_size",
    u"command_options_initial_values",
    u"command_options_keep_options",
    u"command_options_manager",
    u"command_options_name",
    u"command_options_preferences",
    u"command_options_standard",  // 30
    u"command_symbol_enlarge",
    u"command_symbol_library",
    u"command_symbol_reflect",
    u"command_symbol_rotate",
    u"command_symbol_select",
    u"command_symbol_stretch",
    u"command_view_fit",
    u"command_view_grid",
    u"command_view_hidden",
    u"command_view_object_list",  // 40
    u"command_view_redraw",
    u"command_view_status_bar",
    u"command_view_toolbar",
    u"command_view_zoom_in",
    u"command_view_zoom_out",
    u"dialog_check_file_types",
    u"dialog_check_for_updates",
    u"dialog_choose_hatch",
    u"dialog_choose_object",
    u"dialog_choose_picture",  // 50
    u"dialog_choose_rotation_angle",
    u"dialog_choose_scale_factor",
    u"dialog_choose_stretch_factor",
    u"dialog_edit_keep_options",
    u"dialog_edit_save_name",
    u"dialog_edit_start_folder",
    u"dialog_grid_settings",
    u"dialog_help_about",
    u"dialog_manager_keep_options",
    u"dialog_manager_printers",  // 60
    u"dialog_manager_sample_files",
    u"dialog_manager_save_name",
    u"dialog_manager_work_folder",
    u"dialog_name",
    u"dialog_object_analysis",
    u"dialog_backup_options",
    u"dialog_options_colours",
    u"dialog_options_general",
    u"dialog_options_nearby",
    u"dialog_options_toolbox",  // 70
    u"dialog_options_values",
    u"dialog_picture_info",
    u"dialog_polygon_sides",
    u"dialog_print_footers",
    u"dialog_print_layout",
    u"dialog_print_margins",
    u"dialog_printer_setup",
    u"dialog_printing_scale",
    u"dialog_real_world_scale",
    u"dialog_spell_check",  // 80
    u"dialog_spell_check_cancel",
    u"dialog_spell_dictionary",
    u"dialog_symbol_enlarge",
    u"dialog_symbol_library",
    u"dialog_symbol_reflect",
    u"dialog_symbol_rotate",
    u"dialog_symbol_select",
    u"dialog_symbol_stretch",
    u"corvelle_software",
    u"latest_version",  // 90
    u"sample_files_button",
    u"",  // 92..105
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"support",  // 106
    u"tool_arc",
    u"tool_break",
    u"tool_circle",
    u"tool_colour",  // 110
    u"tool_copy",
    u"tool_corner",
    u"tool_curve",
    u"tool_delete",
    u"tool_dimension",
    u"tool_ellipse",
    u"tool_extend",
    u"tool_fill",
    u"tool_insert",
    u"tool_line",  // 120
    u"tool_modify",
    u"tool_move",
    u"tool_object",
    u"tool_origin",
    u"tool_reflect",
    u"tool_rotate",
    u"tool_scale",
    u"tool_shape",
    u"tool_stretch",
    u"tool_text",  // 130
    u"tool_values",
    u"topic_Zephorin_functions",
    u"welcome",
};

std::vector<CHelpTopic> BuildHelpTopics() {
  std::vector<CHelpTopic> topics;
  topics.reserve(kHelpTopicCount);
  for (int i = 0; i < kHelpTopicCount; ++i)
    topics.emplace_back(i, QString::fromUtf16(kTopicNames[i]));
  return topics;
}

constexpr const char16_t* kHelpFileEndings[kHelpFileCount] = {u".chm", u"_s.chm", u"_l.chm",
                                                              u"_x.chm"};

std::function<void()>& HelpCopier() {
  static std::function<void()> copier;
  return copier;
}

const QString kHelpNotAvailable = QStringLiteral(
    "Sorry - the help system is not available.\n\nPlease contact Corvelle Software.");

}  // namespace

std::vector<CHelpTopic> g_helpTopics = BuildHelpTopics();
std::array<QString, kHelpFileCount> g_helpFileNames;
std::int16_t g_currentHelpFile = 0;
std::array<std::int16_t, kHelpFileCount> g_helpFileFound = {};
std::array<std::int16_t, kHelpFileCount> g_helpFileCopied = {};

CHelpTopic::CHelpTopic(int number, const QString& name) : m_number(number), m_name(name) {}

CHelpTopic::~CHelpTopic() = default;

QString MakeHelpFileName(const QString& programFolder, int index) {
  if (index < 0 || index >= kHelpFileCount) return {};
  QString name = QStringLiteral("Zeph") + QString::fromUtf16(kHelpFileEndings[index]);
  if (programFolder.isEmpty()) return name;
  return programFolder.endsWith(u'/') ? programFolder + name : programFolder + u'/' + name;
}

void SetHelpFileNames(const QString& programFolder) {
  for (int i = 0; i < kHelpFileCount; ++i)
    g_helpFileNames[static_cast<std::size_t>(i)] = MakeHelpFileName(programFolder, i);
}

QString HelpFolderOf(const QString& helpFileName) {
  if (helpFileName.endsWith(QStringLiteral(".chm"), Qt::CaseInsensitive))
    return helpFileName.chopped(4);
  return helpFileName;
}

bool HelpFileExists(const QString& helpFileName) {
  if (helpFileName.isEmpty()) return false;
  return FolderExists(HelpFolderOf(helpFileName) + QStringLiteral("/html")) != 0;
}

bool SelectHelpFile(int index) {
  if (index == g_currentHelpFile) return true;
  if (index < 0 || index >= kHelpFileCount) return false;
  const auto slot = static_cast<std::size_t>(index);
  if (!HelpFileExists(g_helpFileNames[slot])) {
    g_helpFileFound[slot] = -1;
    return false;
  }
  g_currentHelpFile = static_cast<std::int16_t>(index);
  g_helpFileFound[slot] = 1;
  return true;
}

void ShowHelpTopic(int topic, int command) {
  LogScope trace(kCodeShowHelpTopic);
  const auto current = static_cast<std::size_t>(g_currentHelpFile);
  LogNumber(g_currentHelpFile);
  LogNumber(topic);
  LogString(g_helpFileNames[current]);
  if (topic < 0 || topic >= kHelpTopicCount || topic >= static_cast<int>(g_helpTopics.size())) {
    SetGlitchValue(topic);
    ReportGlitch(kCodeShowHelpTopic, 1);
    return;
  }
  try {
    if (IsNetworkPath(g_helpFileNames[current]) != 0) {
      trace.Step(10);
      if (g_helpFileCopied[current] == 0) {
        trace.Step(15);
        LogNumber(g_currentHelpFile);
        if (HelpCopier()) HelpCopier()();
      }
    }
    const QString& helpFile = g_helpFileNames[current];
    if (HelpFileExists(helpFile)) {
      trace.Step(20);
      const QString page = QStringLiteral("html/") +
                           g_helpTopics[static_cast<std::size_t>(topic)].GetName() +
                           QStringLiteral(".htm");
      zeph::GetHelpViewer().ShowHelpPage(HelpFolderOf(helpFile), page, command);
      trace.Exit(kLogOk);
      return;
    }
    g_helpFileFound[current] = -1;
    trace.Exit(kLogFailed, 1);
    zeph::GetPresenter().ShowMessageBox(kHelpNotAvailable, QString::fromUtf16(kProductName),
                                        zeph::kMbOk | zeph::kMbIconExclamation);
  } catch (const std::bad_alloc&) {
    trace.Exit(kLogMemory);
  }
}

void SetHelpCopier(std::function<void()> copier) { HelpCopier() = std::move(copier); }

void ResetHelpState() {
  HelpCopier() = nullptr;
  g_helpTopics = BuildHelpTopics();
  g_helpFileNames = {};
  g_currentHelpFile = 0;
  g_helpFileFound = {};
  g_helpFileCopied = {};
}
