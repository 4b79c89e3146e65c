#pragma once
// The spell checker: the read-only main dictionary "ZDICT.SPE" with its three lookups (two-
// and three-letter words by a bit mask, words with an apostrophe or hyphen by a short list,
// longer words by a prefix index into blocks of stems and suffix codes), the extraction of the
// words of a text, the word lists, and the suggestions for an unknown word. One checker exists
// for the whole run (g_spellChecker). The checker uses QtCore only; its dialogs live with the
// user interface.
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "spell/dictformat.h"
#include "spell/docdict.h"

class QIODevice;

// Results of loading the main dictionary; each is also the id of the message that explains it.
inline constexpr int kDictionaryLoaded = 0;
inline constexpr int kDictionaryNoFileObject = 224;
inline constexpr int kDictionaryNotFound = 800;
inline constexpr int kDictionaryCorrupt = 801;
inline constexpr int kDictionaryNotLoadedYet = 802;
inline constexpr int kDictionaryNoMemory = 803;

inline constexpr int kMaxSuggestions = 50;
inline constexpr int kMaxRegisteredDocDicts = 10;

// The entry kinds of the word data.
inline constexpr int kEntryPlain = 0;
inline constexpr int kEntryAppended = 1;
inline constexpr int kEntryReplacing = 2;

// Hyphen modes of the current word.
inline constexpr int kHyphenNone = 0;
inline constexpr int kHyphenWhole = 1;
inline constexpr int kHyphenPart = 2;

inline constexpr const char16_t* kUserDictionaryFileName = u"USERDICT.SCF";

// 1 when c is a letter once its accent is removed; c then holds the plain upper-case letter.
int IsWordLetter(char16_t& c);

// The distance between a typed word and a candidate as the suggestions score it (lower is
// closer); both are upper case.
int ScoreSpelling(const char16_t* word, int wordLength, const char16_t* candidate,
                  int candidateLength);

class CSpell {
 public:
  CSpell();
  ~CSpell();
  CSpell(const CSpell&) = delete;
  CSpell& operator=(const CSpell&) = delete;

  // ---- Main dictionary ----
  // Reads programFolder + "ZDICT.SPE", then the user dictionary beside it. 0 loaded, 224 no
  // file object, 800 not found, 801 short or corrupt, 803 not enough memory.
  int LoadMainDictionary(const QString& programFolder);
  // The reading part of LoadMainDictionary on an open file: 0, 801 or 803. On a failure the
  // checker has no main dictionary (every lookup finds nothing).
  int ReadMainDictionary(QIODevice& file);
  bool HasMainDictionary() const { return m_loaded; }

  int IsInMaskTable(const char16_t* letters, int length) const;  // length 2 or 3
  int IsInMainDictionary(const char16_t* letters, int length);   // length 4 or more
  int IsInApostropheBlock();                                     // the current word
  int IsInApostropheBlock(const char16_t* letters, int length) const;
  // Prepares the block of the first three (or four) letters; 1 when there is one.
  int FindPrefixBlock(const char16_t* letters);
  // Decodes the next entry of the prepared block; 0 at its end.
  int NextEntry();

  // The decoded entry (valid after NextEntry returned 1).
  int GetEntryKind() const { return m_entryKind; }
  int GetSuffixIndex() const { return m_suffixIndex; }
  const char16_t* GetStem() const { return m_stem.data(); }
  int GetStemLength() const { return m_stemLength; }

  // The words of block C one after another: 1 and the word (its first 36 characters, length
  // the whole entry's) with pos moved past it; 0 at the end of the block or at a damaged entry.
  int NextApostropheWord(int& pos, std::array<char16_t, kMaxWordLength>& word, int& length) const;

  // ---- The text being checked ----
  QString GetCorrectedText() const { return m_workingCopy ? m_workingText : m_givenText; }
  // The working text becomes text and the next word search starts at its beginning.
  void SetWorkingText(const QString& text);
  // ---- Interactive check of a text (the dialogs live with the user interface) ----
  // Starts a check of text: the given text, no working copy, the search at its beginning. A
  // text with line breaks is worked on with them encoded, as a working copy.
  void BeginTextCheck(const QString& text);
  // 1 when the text in use is the working copy (line breaks encoded or a word changed).
  int HasWorkingCopy() const { return m_workingCopy; }
  // Puts the replacement in place of the current word (or, in hyphen mode 2, of its current
  // part); the next search starts right after the replacement.
  void ReplaceCurrentWord(const QString& replacement);

  // ---- Words of the text ----
  int NextWord();
  int IsKnownWord();
  int IsKnownPlainWord();
  int IsInWordLists();
  int IsKnownHyphenated();

  int GetWordStart() const { return m_wordStart; }
  int GetWordEnd() const { return m_wordEnd; }
  QString GetWord() const;
  int GetWordLength() const { return m_wordLength; }
  int GetCaseFlag(int position) const;
  int HasApostropheOrHyphen() const { return m_apostropheOrHyphen; }
  int GetHyphenMode() const { return m_hyphenMode; }
  int GetPartOffset() const { return m_partOffset; }

  // ---- Word lists ----
  void LoadUserDictionary(const QString& programFolder);
  // A new list for a drawing: registered (and seen by the lookups) while fewer than ten are;
  // null when memory runs out. The caller owns it.
  std::unique_ptr<CDocDict> CreateDocDict();
  void UnregisterDocDict(CDocDict* list);
  void SetCurrentDocDict(CDocDict* list) { m_currentDocDict = list; }
  CDocDict* GetCurrentDocDict() const { return m_currentDocDict; }
  // which: 1 the second list, 2 the current drawing list, 3 the user list.
  int AddCurrentWord(int which);
  CDocDict* GetUserList() const { return m_userList.get(); }
  CDocDict* GetSecondList() const { return m_secondList.get(); }
  int GetRegisteredCount() const { return m_docDictCount; }

  // ---- Suggestions ----
  void FindSuggestions();
  int GetSuggestionCount() const { return m_suggestionCount; }
  QString GetSuggestion(int index) const;
  int GetSuggestionScore(int index) const;

 private:
  void ClearMainTables();
  int IsKnownPlainLetters(const char16_t* letters, int length);
  int InWordLists(const char16_t* letters, int length) const;
  void AbandonBlock();

  void SetCandidate(const char16_t* letters, int length);
  void ScoreCandidate();
  void AddSuggestion(int score);
  void TryCandidate(const char16_t* letters, int length);
  void TryShortCandidate(const char16_t* letters, int length);
  void TryLongCandidate(const char16_t* letters);
  void TryPrefixCandidates(const char16_t* letters);
  void ScoreListWords(CDocDict* list);

  // Main dictionary.
  bool m_loaded = false;
  std::array<std::uint8_t, kDictHeaderSize> m_header{};
  int m_rowCount = 0;        // rows of table A
  int m_entryCount = 0;      // entries of table B, the end marker included
  int m_apostropheSize = 0;  // bytes of block C (an unsigned 16-bit size in the file)
  std::vector<std::uint16_t> m_prefixTable;
  std::vector<std::int32_t> m_tableA;  // rows of 26 entry numbers, 0 for none
  std::vector<std::int32_t> m_blockPositions;
  std::vector<std::uint32_t> m_maskTable;
  std::vector<std::uint8_t> m_apostropheBlock;  // with its end byte
  std::vector<std::uint8_t> m_wordData;
  int m_wordDataSize = 0;

  // Lookup state.
  int m_position = 0;
  int m_bytesLeft = 0;
  std::array<char16_t, kStemCapacity> m_stem{};
  int m_stemLength = 0;
  int m_entryKind = kEntryPlain;
  int m_suffixIndex = 0;
  int m_relation = 0;

  // The text being checked.
  QString m_givenText;
  QString m_workingText;
  int m_workingCopy = 0;

  // Current word.
  int m_wordStart = 0;
  int m_wordEnd = 0;
  std::array<char16_t, kMaxWordLength + 2> m_word{};
  int m_wordLength = 0;
  std::array<int, kMaxWordLength> m_caseFlags{};
  int m_apostropheOrHyphen = 0;
  int m_hyphenMode = kHyphenNone;
  int m_partOffset = 0;
  std::array<char16_t, kMaxWordLength + 2> m_savedWord{};
  int m_savedLength = 0;

  // Word lists.
  std::unique_ptr<CDocDict> m_userList;
  std::unique_ptr<CDocDict> m_secondList;
  int m_docDictCount = 0;
  std::array<CDocDict*, kMaxRegisteredDocDicts> m_docDicts{};
  CDocDict* m_currentDocDict = nullptr;

  // Suggestions.
  int m_suggestionCount = 0;
  std::array<QString, kMaxSuggestions> m_suggestions;
  std::array<std::int16_t, kMaxSuggestions> m_scores{};
  std::array<char16_t, kMaxWordLength> m_candidate{};
  int m_candidateLength = 0;
};

// The one checker of the run, made at start-up; null when making it failed.
extern std::unique_ptr<CSpell> g_spellChecker;
// 802 until start-up has loaded the main dictionary, then the result of loading it (803 when
// the checker could not be made).
extern std::int32_t g_mainDictionaryStatus;

// Makes every allocation of the dictionary loader fail, so that the 803 path can be tested.
void SetSpellAllocationFailureForTests(bool fail);
// Deletes the checker and puts the status and the test switch back as at program start.
void ResetSpellState();
