// The user's word list "USERDICT.SCF": the bytes become the list, which is loaded beside a
// main dictionary made of a few words, and the list's own lines are then looked up and offered
// suggestions. A list that cannot be read leaves the checker working and the status clear.
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzzcommon.h"
#include "spell/docdict.h"
#include "spell/spell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  const QString folder = fuzz::Home() + QStringLiteral("/program");
  if (!fuzz::WriteInput(folder + QStringLiteral("/USERDICT.SCF"), data, size)) return 0;

  CSpell checker;
  checker.LoadUserDictionary(folder);
  fuzz::Check(g_fileStatus == kFileOk);
  fuzz::Check(checker.GetUserList() != nullptr);
  checker.SetWorkingText(QString::fromLatin1(reinterpret_cast<const char*>(data),
                                             qsizetype(size < 512 ? size : 512)));
  for (int n = 0; n < 64 && checker.NextWord(); ++n) {
    fuzz::Check(checker.GetWordStart() >= 0 && checker.GetWordEnd() >= checker.GetWordStart());
    if (!checker.IsKnownWord()) checker.FindSuggestions();
    fuzz::Check(checker.GetSuggestionCount() >= 0);
  }
  ResetFileStatus();
  return 0;
}
