// Every message, prompt and caption the program can show by number has its words in the
// program's own string table. The ids are collected from the sources as they stand: the
// arguments of the functions that show a string-table text, written as numbers or named
// constants, and, for the few calls whose id arrives in a variable, the values that variable
// or table is given in its library. A call whose id the scan cannot see must be named below,
// so a newly added id cannot slip past; an entry below that no longer matches a call fails too.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "app/stringtable.h"
#include "support/filestatus.h"
#include "support/strings.h"

namespace zeph::testing {
namespace {

// The functions that show (or load for showing) a text by its id, and which argument is the id.
struct Sink {
  const char* name;
  int argument;
};
constexpr Sink kSinks[] = {
    {"AskYesNo", 0},           {"AskYesNoCancel", 0},     {"AskYes", 0},
    {"ShowInformation", 0},    {"ShowWarning", 0},        {"ShowStatusMessage", 0},
    {"LoadProgramString", 0},  {"LoadStringText", 0},     {"LoadFileErrorText", 0},
    {"SetPrompt", 0},          {"ShowPromptText", 0},     {"SetPromptText", 0},
    {"SetAction", 0},          {"SetRestartCaption", 0},  {"ShowOKButton", 0},
    {"ShowRestartButton", 0},  {"ShowSingleButton", 2},   {"MakePromptButton", 1},
    {"SetCaption", 0},         {"SetLabel", 0},           {"SetTabCaption", 0},
    {"CPropertyPagePlus", 1},  {"CPropertyPageSpin", 1},  {"ShowValueMessage", 0},
    {"ShowDialogWarning", 0},  {"ShowPictureWarning", 0}, {"PictureMessageText", 0},
    {"DrawingFileMessage", 0}, {"MessageText", 0},        {"ChooseValue", 1},
    {"BeginConstruction", 1},  {"FailWith", 1},           {"refuse", 0},
    {"setLength", 2},
};

// Calls whose id is not written at the call. carrier: a variable or table whose values, as its
// library assigns or lists them, are the ids; ids: ids given here; neither: the call passes on
// an id its own caller gave (that caller is scanned).
struct Carried {
  const char* file;  // under src/
  const char* call;  // the function and its id argument as written, blanks left out
  const char* carrier;
  std::vector<int> ids;
};
const std::vector<Carried>& CarriedIds() {
  static const std::vector<Carried> carried = {
      // The prompt and the action in force, shown again.
      {"editor/editdrawing.cpp", "SetPrompt(m_promptId)", nullptr, {}},
      {"editor/editdrawing.cpp", "SetPrompt(GetPromptId())", nullptr, {}},
      {"editor/choosing.cpp", "SetPrompt(m_promptId)", nullptr, {}},
      {"editor/editorclipboard.cpp", "SetPrompt(m_promptId)", nullptr, {}},
      {"editor/prompthandlers.cpp", "SetPrompt(drawing.GetPromptId())", nullptr, {}},
      {"editor/settool.cpp", "SetPromptText(stringId)", nullptr, {}},
      {"editor/toolsteps.cpp", "SetPrompt(prompt)", nullptr, {}},
      // The tools' first prompts and actions.
      {"editor/settool.cpp", "SetAction(m_actionId)", "m_actionId", {}},
      {"editor/settool.cpp", "SetPrompt(prompt)", "prompt", {}},
      {"editor/transformtools.cpp", "SetAction(m_actionId)", "m_actionId", {}},
      {"editor/transformtools.cpp", "SetPrompt(prompt)", "prompt", {}},
      {"editor/prompthandlers.cpp", "SetPrompt(prompt)", "prompt", {}},
      {"editor/prompthandlers.cpp", "ChooseValue(question)", "question", {}},
      // The values bar's refusals.
      {"editor/valuesbar_editors.cpp", "LoadProgramString(id)", nullptr, {}},
      {"editor/valuesbar_editors.cpp", "ShowWarning(id)", nullptr, {}},
      {"editor/valuesbar_editors.cpp", "ShowValueMessage(message)", nullptr, {}},
      {"editor/valuesbar_editors.cpp", "refuse(message)", "kRefusalMessages", {}},
      // The prompt area's buttons.
      {"editor/editingview_prompt.cpp", "LoadProgramString(captionId)", nullptr, {}},
      {"editor/editingview_prompt.cpp", "MakePromptButton(id)", nullptr, {1, 8}},
      {"editor/editingview_prompt.cpp", "SetCaption(captionId)", nullptr, {}},
      {"editor/editingview_prompt.cpp", "ShowSingleButton(captionId)", nullptr, {}},
      {"editor/editingview_prompt.cpp", "ShowOKButton(m_okCaption)", nullptr, {}},
      {"editor/editingview_prompt.cpp", "ShowRestartButton(m_restartCaption)", nullptr, {}},
      {"editor/editingview_prompt.cpp", "LoadProgramString(m_promptTextId)", nullptr, {}},
      {"editor/editingview.cpp", "LoadProgramString(caption)", nullptr, {}},
      {"editor/editingview.cpp", "LoadProgramString(m_promptTextId)", nullptr, {}},
      {"editor/editingview.cpp", "ShowOKButton(m_okCaption)", nullptr, {}},
      {"editor/editingview.cpp", "ShowRestartButton(m_restartCaption)", nullptr, {}},
      // The start screen's buttons, the value dialogs and the printing scale's unit.
      {"app/frontview.cpp", "LoadProgramString(entry.id)", "kFrontButtons", {}},
      {"app/valuedialogs.cpp", "LoadProgramString(id)", nullptr, {}},
      {"app/valuedialogs.cpp", "LoadProgramString(m_prompt)", nullptr, {}},
      {"app/valuedialogs.cpp", "LoadProgramString(433+units)", nullptr, {434, 435, 436, 437}},
      // The document's messages.
      {"document/drawingfile_format.cpp", "LoadProgramString(id)", nullptr, {}},
      {"document/drawingfile_format.cpp", "MessageText(id)", nullptr, {}},
      {"document/pictures.cpp", "PictureMessageText(id)", nullptr, {}},
      {"document/pictures.cpp", "LoadProgramString(id)", nullptr, {}},
      // The controls' captions, labels and warnings. A list's label shows only when the table
      // has a text of the list's id; the program's lists have none.
      {"controls/propertysheet.cpp", "SetTabCaption(captionId)", nullptr, {}},
      {"controls/propertysheet.cpp", "LoadProgramString(stringId)", nullptr, {}},
      {"controls/propertysheet.h", "CPropertyPagePlus(captionId)", nullptr, {}},
      {"controls/dialogplus.cpp", "ShowWarning(message)", nullptr, {}},
      {"controls/frontbutton.cpp", "LoadProgramString(id)", nullptr, {}},
      {"controls/viewcontrols.cpp", "LoadProgramString(id)", nullptr, {}},
      {"controls/viewcontrols.cpp", "LoadProgramString(stringId)", nullptr, {}},
      {"controls/viewcontrols.cpp", "SetLabel(id)", nullptr, {}},
      {"controls/controls.cpp", "LoadProgramString(captionId)", nullptr, {}},
      {"controls/controls.cpp", "LoadProgramString(m_captionId)", nullptr, {}},
      // The support library's message boxes, status texts and file errors.
      {"support/strings.cpp", "LoadStringText(id)", nullptr, {}},
      {"support/uiutil.cpp", "LoadProgramString(id)", nullptr, {}},
      {"support/uiutil.cpp", "MessageText(id)", nullptr, {}},
      {"support/uiutil.cpp", "AskYesNo(id)", nullptr, {}},
      {"support/filestatus.cpp", "LoadStringText(id)", nullptr, {}},
      {"support/filestatus.cpp", "LoadFileErrorText(id)", "kMessageOfStatus", {412}},
  };
  return carried;
}

struct Source {
  QString path;    // under src/
  QString folder;  // the library
  QString text;    // comments and string literals taken out
};

QString StripCommentsAndStrings(const QString& text) {
  static const QRegularExpression comments(QStringLiteral(R"(//[^\n]*|/\*.*?\*/)"),
                                           QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression strings(QStringLiteral(R"((u8|u|L)?"(\\.|[^"\\\n])*")"));
  QString out = text;
  out.replace(comments, QString());
  out.replace(strings, QStringLiteral("\"\""));
  return out;
}

class IdScan {
 public:
  IdScan() {
    const QDir root(QStringLiteral(ZEPH_SOURCE_DIR));
    QDirIterator it(root.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) continue;
      Source source;
      source.path = root.relativeFilePath(path);
      source.folder = source.path.section(u'/', 0, 0);
      source.text = StripCommentsAndStrings(QString::fromUtf8(file.readAll()));
      m_sources.push_back(source);
    }
    static const QRegularExpression constant(
        QStringLiteral(R"(constexpr\s+[\w:]+\s+(k\w+)\s*=\s*([^;{]+);)"));
    for (const Source& s : m_sources) {
      auto matches = constant.globalMatch(s.text);
      while (matches.hasNext()) {
        const auto m = matches.next();
        m_constants[m.captured(1)].emplace_back(s.path, m.captured(2).trimmed());
      }
    }
  }

  // Scans every call of every sink; failures name what the scan could not account for.
  void Scan(std::set<int>& ids, QStringList& failures) {
    std::vector<bool> used(CarriedIds().size(), false);
    for (const Source& s : m_sources) {
      for (const Sink& sink : kSinks) {
        const QRegularExpression call(QStringLiteral(R"(\b%1\s*\()").arg(QLatin1String(sink.name)));
        auto matches = call.globalMatch(s.text);
        while (matches.hasNext()) {
          const auto m = matches.next();
          const QStringList arguments = ArgumentsAt(s.text, m.capturedEnd());
          if (arguments.size() <= sink.argument) continue;
          const QString argument = arguments[sink.argument].trimmed();
          // A declaration or definition names the parameter's type.
          static const QRegularExpression declared(
              QStringLiteral(R"(^(const\s+)?(int|unsigned|QString|std::\w+|auto)\b)"));
          if (declared.match(argument).hasMatch()) continue;
          std::vector<int> found;
          QStringList unknown;
          Values(argument, s, found, unknown);
          if (unknown.isEmpty()) {
            ids.insert(found.begin(), found.end());
            continue;
          }
          const QString written =
              QLatin1String(sink.name) + u'(' +
              QString(argument).remove(QRegularExpression(QStringLiteral("\\s"))) + u')';
          const auto& carried = CarriedIds();
          bool known = false;
          for (std::size_t i = 0; i < carried.size(); ++i) {
            if (s.path != QLatin1String(carried[i].file) ||
                written != QLatin1String(carried[i].call))
              continue;
            known = true;
            used[i] = true;
            ids.insert(carried[i].ids.begin(), carried[i].ids.end());
            if (carried[i].carrier != nullptr) {
              std::vector<int> given;
              CarrierValues(QLatin1String(carried[i].carrier), s.folder, given, 0);
              if (given.empty())
                failures << written + QStringLiteral(" in ") + s.path +
                                QStringLiteral(": its carrier gives no id");
              ids.insert(given.begin(), given.end());
            }
          }
          if (!known) {
            failures << QStringLiteral(
                            "%1 in %2: the id comes from %3; name the call in CarriedIds")
                            .arg(written, s.path, unknown.join(u' '));
          }
        }
      }
    }
    for (std::size_t i = 0; i < used.size(); ++i) {
      if (!used[i]) {
        failures << QStringLiteral("CarriedIds names %1 in %2, which is no longer there")
                        .arg(QLatin1String(CarriedIds()[i].call),
                             QLatin1String(CarriedIds()[i].file));
      }
    }
    ids.erase(0);  // no caption
  }

 private:
  // The arguments of the call whose '(' ends at open.
  static QStringList ArgumentsAt(const QString& text, qsizetype open) {
    QStringList arguments;
    QString current;
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
      const QChar c = text[i];
      if (c == u'(' || c == u'[' || c == u'{') ++depth;
      if (c == u')' || c == u']' || c == u'}') {
        if (depth == 0) {
          arguments << current;
          return arguments;
        }
        --depth;
      }
      if (c == u',' && depth == 0) {
        arguments << current;
        current.clear();
      } else {
        current += c;
      }
    }
    return arguments;
  }

  std::optional<int> Constant(const QString& name, const Source& at, int depth) const {
    const auto found = m_constants.find(name);
    if (found == m_constants.end() || depth > 4) return std::nullopt;
    // The file's own definition, else its library's, else any.
    const std::pair<QString, QString>* best = &found->second.front();
    for (const auto& d : found->second) {
      if (d.first == at.path) {
        best = &d;
        break;
      }
      if (d.first.section(u'/', 0, 0) == at.folder) best = &d;
    }
    bool ok = false;
    const int value = best->second.toInt(&ok, 0);
    if (ok) return value;
    static const QRegularExpression alias(QStringLiteral(R"(^k\w+$)"));
    if (alias.match(best->second).hasMatch()) return Constant(best->second, at, depth + 1);
    return std::nullopt;
  }

  // The ids an expression can give: the branches of a choice, its numbers and named constants;
  // the names it cannot resolve go to unknown. Comparisons only choose and give no id.
  void Values(QString expression, const Source& at, std::vector<int>& found,
              QStringList& unknown) const {
    if (expression.contains(u'?')) expression = expression.section(u'?', 1);
    expression.replace(u':', u' ');
    static const QRegularExpression comparison(
        QStringLiteral(R"([\w.>\-]+\s*(==|!=|<=|>=|<|>)\s*-?[\w.]+)"));
    expression.remove(comparison);
    static const QRegularExpression token(
        QStringLiteral(R"(\b(0x[0-9A-Fa-f]+|\d+|[A-Za-z_]\w*)\b)"));
    auto tokens = token.globalMatch(expression);
    while (tokens.hasNext()) {
      const QString t = tokens.next().captured(1);
      if (t[0].isDigit()) {
        found.push_back(t.toInt(nullptr, 0));
      } else if (const auto value = Constant(t, at, 0)) {
        found.push_back(*value);
      } else {
        unknown << t;
      }
    }
  }

  // The values a variable or table is given in the library: its assignments and its list.
  void CarrierValues(const QString& name, const QString& folder, std::vector<int>& found,
                     int depth) const {
    if (depth > 3) return;
    const QRegularExpression assigned(QStringLiteral(R"(\b%1\s*=\s*([^=;{][^;]*);)").arg(name));
    const QRegularExpression listed(QStringLiteral(R"(\b%1\s*(\[\s*\])?\s*=\s*\{)").arg(name));
    static const QRegularExpression tableName(QStringLiteral(R"(^k\w+$)"));
    for (const Source& s : m_sources) {
      if (s.folder != folder) continue;
      QStringList unknown;
      auto assignments = assigned.globalMatch(s.text);
      while (assignments.hasNext()) Values(assignments.next().captured(1), s, found, unknown);
      auto lists = listed.globalMatch(s.text);
      while (lists.hasNext()) {
        const auto m = lists.next();
        const QStringList entries = ArgumentsAt(s.text, m.capturedEnd());
        for (const QString& entry : entries) Values(entry, s, found, unknown);
      }
      // A table named in an assignment (kPrompt[k]) gives its own values.
      for (const QString& u : unknown) {
        if (tableName.match(u).hasMatch()) CarrierValues(u, folder, found, depth + 1);
      }
    }
  }

  std::vector<Source> m_sources;
  std::map<QString, std::vector<std::pair<QString, QString>>> m_constants;
};

TEST(ProgramStrings, EveryIdTheProgramCanShowHasItsWordsInTheProgramsOwnTable) {
  ASSERT_TRUE(QFileInfo::exists(QStringLiteral(ZEPH_SOURCE_DIR "/app/zephapp.cpp")));
  std::set<int> ids;
  QStringList failures;
  IdScan().Scan(ids, failures);
  EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
  // The scan finds what it must: the prompt buttons, the tools' warnings and prompts.
  for (const int id :
       {1, 4, 5, 6, 7, 8, 9, 10, 64, 65, 66, 68, 69, 70, 72, 131, 141, 150, 196, 512, 1504}) {
    EXPECT_EQ(ids.count(id), 1u) << id;
  }
  // The table start-up installs, and nothing of this test's.
  InstallProgramStrings();
  for (const int id : ids) {
    EXPECT_FALSE(LoadProgramString(id).trimmed().isEmpty()) << "string " << id << " has no words";
  }
  SetStringTable(nullptr);
}

TEST(ProgramStrings, TheCaptionsOfThePromptButtonsAreTheirOwn) {
  InstallProgramStrings();
  const std::pair<int, const char*> captions[] = {
      {1, "OK"},     {3, "&Close"},  {4, "&Help"},           {5, "&Yes"},           {6, "&No"},
      {7, "Cancel"}, {8, "Restart"}, {9, "Bring to &front"}, {10, "&Send to back"},
  };
  for (const auto& [id, text] : captions)
    EXPECT_EQ(LoadProgramString(id), QLatin1String(text)) << id;
  SetStringTable(nullptr);
}

}  // namespace
}  // namespace zeph::testing
