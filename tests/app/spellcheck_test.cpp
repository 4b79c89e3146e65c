// The spell check of a text and the dictionary dialog, played through the scripted runner over
// a checker whose only known words are a small fixture list.
#include <QListWidget>
#include <QTest>
#include <memory>
#include <vector>

#include "app/spellcheck.h"
#include "app/spelldictdialog.h"
#include "controls/edits.h"
#include "dialogs_fixture.h"
#include "spell/spell.h"

namespace zeph::testing {
namespace {

// Each dialog the check opens is handed to the next step of the script.
using Step = std::function<void(QDialog&)>;

class SpellCheckTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    m_spell = std::make_unique<CSpell>();
    for (const char* word : {"THE", "CAT", "SAT", "ON", "MAT", "WELL", "KNOWN", "HOUSE"}) {
      ASSERT_EQ(m_spell->GetUserList()->AddWord(QString::fromLatin1(word)), 1);
    }
    m_drawingList = m_spell->CreateDocDict();
    ASSERT_NE(m_drawingList, nullptr);
    m_spell->SetCurrentDocDict(m_drawingList.get());
  }
  void TearDown() override {
    m_drawingList.reset();
    m_spell.reset();
    DialogTest::TearDown();
  }

  // Runs the check with one script step per dialog opened; answers the result.
  int Check(const QString& text, std::vector<Step> steps, int allowCancel = 1) {
    std::size_t next = 0;
    CScriptedDialogRunner runner([&](QDialog& dialog) {
      ASSERT_LT(next, steps.size()) << "an unexpected dialog " << dialog.windowTitle().toStdString();
      steps[next++](dialog);
    });
    SetDialogRunner(&runner);
    const int result = CheckText(*m_spell, text, allowCancel);
    SetDialogRunner(nullptr);
    m_runs = runner.runs();
    EXPECT_EQ(next, steps.size()) << "dialogs left unshown";
    return result;
  }

  static CSpellCheckDialog& AsCheck(QDialog& dialog) {
    auto* check = dynamic_cast<CSpellCheckDialog*>(&dialog);
    EXPECT_NE(check, nullptr);
    return *check;
  }
  // The highlighted text of the check dialog.
  static QString Highlighted(QDialog& dialog) {
    CSpellEdit& edit = *AsCheck(dialog).GetSpellEdit();
    QString shown = edit.GetWindowText();
    return shown.mid(edit.GetHighlightStart(), edit.GetHighlightLength());
  }
  static void ClickAs(QDialog& dialog, int id) { static_cast<CDialogPlus&>(dialog).OnCommand(id); }

  std::unique_ptr<CSpell> m_spell;
  std::unique_ptr<CDocDict> m_drawingList;
  int m_runs = 0;
};

TEST_F(SpellCheckTest, KnownTextShowsNoDialogAndIgnoreLeavesItUnchanged) {
  EXPECT_EQ(Check(QStringLiteral("The cat sat on the mat."), {}), kSpellTextUnchanged);
  EXPECT_EQ(m_runs, 0);

  // Ignore asks about the same word again later in the text.
  std::vector<QString> asked;
  const Step ignore = [&](QDialog& d) {
    asked.push_back(Highlighted(d));
    ClickAs(d, kIdcSpellIgnore);
    if (asked.size() == 1) {
      EXPECT_EQ(d.result(), 0) << "closed before the second teh";
    }
  };
  const int result = Check(QStringLiteral("teh cat sat on teh mat"), {[&](QDialog& d) {
                             ignore(d);
                             ignore(d);
                           }});
  EXPECT_EQ(result, kSpellTextUnchanged);
  EXPECT_EQ(asked, (std::vector<QString>{QStringLiteral("teh"), QStringLiteral("teh")}));
  EXPECT_EQ(m_spell->GetCorrectedText(), QStringLiteral("teh cat sat on teh mat"));
}

TEST_F(SpellCheckTest, ChangeReplacesTheWordWithTheChosenSuggestion) {
  const int result = Check(QStringLiteral("The cat sat on teh mat"), {[&](QDialog& d) {
                             CSpellCheckDialog& check = AsCheck(d);
                             EXPECT_EQ(Highlighted(d), QStringLiteral("teh"));
                             QListWidget* list = check.GetSuggestionList();
                             ASSERT_GT(list->count(), 0);
                             EXPECT_EQ(list->currentRow(), 0);
                             EXPECT_TRUE(FindControl(d, kIdcSpellChange)->isEnabled());
                             const auto items = list->findItems(QStringLiteral("the"),
                                                                Qt::MatchFixedString);
                             ASSERT_FALSE(items.isEmpty());
                             list->setCurrentItem(items.front());
                             ClickAs(d, kIdcSpellChange);
                           }});
  EXPECT_EQ(result, kSpellTextChanged);
  EXPECT_EQ(m_spell->GetCorrectedText().toUpper(), QStringLiteral("THE CAT SAT ON THE MAT"));
  EXPECT_TRUE(m_spell->GetCorrectedText().startsWith(QStringLiteral("The cat sat on ")));
}

TEST_F(SpellCheckTest, CancelAsksWhetherToSkipContinueOrSwitchOff) {
  struct Case {
    int cancelButton;
    int expected;
  };
  for (const Case& c : {Case{kIdcSpellSkip, kSpellCheckSkipped},
                        Case{kIdcSpellSwitchOff, kSpellCheckSwitchedOff}}) {
    SCOPED_TRACE(c.cancelButton);
    const int result = Check(QStringLiteral("a wrng word"),
                             {[](QDialog& d) { ClickAs(d, kIdCancel); },
                              [&](QDialog& d) {
                                EXPECT_NE(dynamic_cast<CCancelSpellDialog*>(&d), nullptr);
                                ClickAs(d, c.cancelButton);
                              }});
    EXPECT_EQ(result, c.expected);
  }

  // Continue: the same word is shown again, and the check goes on from it.
  QString again;
  const int result = Check(QStringLiteral("a wrng word"),
                           {[](QDialog& d) { ClickAs(d, kIdCancel); },
                            [](QDialog& d) { ClickAs(d, kIdCancel); },
                            [&](QDialog& d) {
                              again = Highlighted(d);
                              ClickAs(d, kIdcSpellIgnore);  // "word" is unknown too
                              ClickAs(d, kIdcSpellIgnore);
                            }});
  EXPECT_EQ(again, QStringLiteral("wrng"));
  EXPECT_EQ(result, kSpellTextUnchanged);

  // Without the question, Cancel skips.
  EXPECT_EQ(Check(QStringLiteral("wrng"), {[](QDialog& d) { ClickAs(d, kIdCancel); }}, 0),
            kSpellCheckSkipped);
}

TEST_F(SpellCheckTest, TextWithLineBreakComesBackEncodedOnceTheDialogWasShown) {
  const QString text = QStringLiteral("The cat\r\nsat on teh mat");
  const int result = Check(text, {[](QDialog& d) {
                             // The shown text has one character per line break, and the
                             // highlight sits on the word.
                             EXPECT_EQ(Highlighted(d), QStringLiteral("teh"));
                             ClickAs(d, kIdcSpellIgnore);
                           }});
  EXPECT_EQ(result, kSpellTextChanged);
  EXPECT_EQ(m_spell->GetCorrectedText(),
            QStringLiteral("The cat") + QChar(127) + QStringLiteral("sat on teh mat"));
  EXPECT_EQ(Check(QStringLiteral("The cat\r\nsat"), {}), kSpellTextUnchanged);
}

TEST_F(SpellCheckTest, TypingThenChangeRestartsAtTheBeginningOfTheTypedText) {
  std::vector<int> starts;
  const int result = Check(QStringLiteral("cat teh"), {[&](QDialog& d) {
                             CSpellCheckDialog& check = AsCheck(d);
                             CSpellEdit& edit = *check.GetSpellEdit();
                             starts.push_back(edit.GetHighlightStart());
                             edit.moveCursor(QTextCursor::Start);
                             QTest::keyClicks(&edit, QStringLiteral("hous "));
                             EXPECT_EQ(edit.IsEdited(), 1);
                             EXPECT_FALSE(check.GetSuggestionList()->isEnabled());
                             EXPECT_FALSE(FindControl(d, kIdcSpellIgnore)->isEnabled());
                             EXPECT_TRUE(FindControl(d, kIdcSpellChange)->isEnabled());
                             ClickAs(d, kIdcSpellChange);
                             // The typed word at the start is asked about first.
                             starts.push_back(edit.GetHighlightStart());
                             EXPECT_EQ(Highlighted(d), QStringLiteral("hous"));
                             EXPECT_EQ(edit.IsEdited(), 0);
                             ClickAs(d, kIdcSpellIgnore);
                             EXPECT_EQ(Highlighted(d), QStringLiteral("teh"));
                             ClickAs(d, kIdcSpellIgnore);
                           }});
  EXPECT_EQ(starts, (std::vector<int>{4, 0}));
  EXPECT_EQ(result, kSpellTextChanged);
  EXPECT_EQ(m_spell->GetCorrectedText(), QStringLiteral("hous cat teh"));
}

TEST_F(SpellCheckTest, AddPutsTheWordInTheDrawingsList) {
  const int result = Check(QStringLiteral("Zephy sat"),
                           {[](QDialog& d) { ClickAs(d, kIdcSpellAdd); }});
  EXPECT_EQ(result, kSpellTextUnchanged);
  EXPECT_EQ(m_drawingList->ContainsWord(QStringLiteral("ZEPHY")), 1);
  EXPECT_EQ(m_spell->GetUserList()->ContainsWord(QStringLiteral("ZEPHY")), 0);
  // Known from now on.
  EXPECT_EQ(Check(QStringLiteral("zephy"), {}), kSpellTextUnchanged);
}

TEST_F(SpellCheckTest, ReplaceCurrentWordKeepsTheRestAndMovesPastTheReplacement) {
  // Whole words, then only the unknown part of a hyphenated word.
  m_spell->BeginTextCheck(QStringLiteral("on teh mat"));
  while (m_spell->NextWord() == 1 && m_spell->IsKnownWord() == 1) {
  }
  m_spell->ReplaceCurrentWord(QStringLiteral("the"));
  EXPECT_EQ(m_spell->GetCorrectedText(), QStringLiteral("on the mat"));
  EXPECT_EQ(m_spell->GetWordEnd(), 6);

  m_spell->BeginTextCheck(QStringLiteral("a well-knwn cat"));
  while (m_spell->NextWord() == 1 && m_spell->IsKnownWord() == 1) {
  }
  ASSERT_EQ(m_spell->GetHyphenMode(), kHyphenPart);
  m_spell->ReplaceCurrentWord(QStringLiteral("known"));
  EXPECT_EQ(m_spell->GetCorrectedText(), QStringLiteral("a well-known cat"));
  EXPECT_EQ(m_spell->GetWordEnd(), 12);
  EXPECT_EQ(m_spell->NextWord(), 1);
  EXPECT_EQ(m_spell->GetWord(), QStringLiteral("CAT"));
}

TEST_F(SpellCheckTest, ScreenshotOfBothDialogs) {
  Check(QStringLiteral("The cat sat on teh mat,\r\nwhich was well-knwn to the house."),
        {[](QDialog& d) {
           Shoot(d, QStringLiteral("spell_check.png"));
           ClickAs(d, kIdCancel);
         },
         [](QDialog& d) {
           Shoot(d, QStringLiteral("spell_cancel.png"));
           ClickAs(d, kIdcSpellSkip);
         }});
}

// ---- The dictionary dialog ----

TEST_F(SpellCheckTest, DictionaryDialogWritesTheListBackOnOkOnly) {
  for (const char* word : {"ZEBRA", "APPLE", "MANGO"}) m_drawingList->AddWord(QString::fromLatin1(word));
  m_drawingList->ClearModified();
  auto words = [this] {
    std::vector<QString> all;
    m_drawingList->RewindWords();
    for (QString w = m_drawingList->GetNextWord(); !w.isEmpty(); w = m_drawingList->GetNextWord())
      all.push_back(w);
    return all;
  };

  {  // Cancel changes nothing, even after removing words.
    CSpellDictionaryDialog dialog(*m_drawingList, nullptr);
    Run(dialog, [](QDialog& d) {
      auto& box = *static_cast<CSpellDictionaryDialog&>(d).GetWordList();
      ASSERT_EQ(box.count(), 3);
      EXPECT_EQ(box.item(0)->text(), QStringLiteral("ZEBRA"));
      Click(d, kIdcClearAllWords);
      Click(d, kIdCancel);
    });
    EXPECT_EQ(words(), (std::vector<QString>{"ZEBRA", "APPLE", "MANGO"}));
    EXPECT_EQ(m_drawingList->IsModified(), 0);
  }
  {  // Delete removes the chosen word; OK stores the rest in the list's order.
    CSpellDictionaryDialog dialog(*m_drawingList, nullptr);
    Run(dialog, [](QDialog& d) {
      auto& box = *static_cast<CSpellDictionaryDialog&>(d).GetWordList();
      d.show();
      box.setCurrentRow(1);
      box.setFocus();
      QTest::keyClick(&box, Qt::Key_Delete);
      EXPECT_EQ(box.count(), 2);
      Shoot(d, QStringLiteral("spell_dictionary.png"));
      Click(d, kIdOk);
    });
    EXPECT_EQ(words(), (std::vector<QString>{"ZEBRA", "MANGO"}));
    EXPECT_EQ(m_drawingList->IsModified(), 1);
  }
  {  // Clear all words and OK: an empty list.
    CSpellDictionaryDialog dialog(*m_drawingList, nullptr);
    EXPECT_EQ(Run(dialog, [](QDialog& d) {
                Click(d, kIdcClearAllWords);
                Click(d, kIdOk);
              }),
              kIdOk);
    EXPECT_EQ(m_drawingList->GetWordCount(), 0);
  }
}

}  // namespace
}  // namespace zeph::testing
