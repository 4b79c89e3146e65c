#pragma once
// A word list: the user's list read from "USERDICT.SCF", the checker's second list, or the
// list of one drawing, which the drawing file stores. Words hold only 'A'..'Z', apostrophe
// and hyphen, at most 36 characters each, and no word twice. They are kept one after another,
// each ended by a NUL, with one more NUL after the last.
#include <QString>
#include <cstdint>
#include <memory>

class CSpell;

inline constexpr int kDocDictGrowth = 1028;
inline constexpr int kDocDictCapacityLimit = 32768;
// The count of characters in use is a signed 16-bit value; a list never grows past it.
inline constexpr int kDocDictUsedLimit = 32767;

class CDocDict {
 public:
  explicit CDocDict(CSpell* owner);
  // Unregisters the list from the checker that registered it.
  virtual ~CDocDict();
  CDocDict(const CDocDict&) = delete;
  CDocDict& operator=(const CDocDict&) = delete;

  // Adds the word that the first length characters spell (length below 1: the whole text);
  // 1, or 0 when the list cannot grow.
  int AddWord(const QString& text, int length = -1);
  int AddWord(const char16_t* text, int length);
  // 1 when a stored word equals exactly those characters (length below 0: up to a NUL).
  int ContainsWord(const char16_t* letters, int length) const;
  int ContainsWord(const QString& word) const;
  void Clear();
  // Whether a word of one letter, the shortest there is, could still be added: false once the
  // list can take no further word at all.
  bool HasRoomForAWord() const;

  void RewindWords() { m_cursor = 0; }
  // The word at the cursor, the cursor moved past it; empty at the end or without a buffer.
  QString GetNextWord();
  int GetWordCount() const;

  int IsModified() const { return m_modified; }
  void ClearModified() { m_modified = 0; }

  CSpell* GetOwner() const { return m_owner; }
  // The checker is going away before the list: the list no longer unregisters itself.
  void DetachOwner() { m_owner = nullptr; }

  int GetUsed() const { return m_used; }
  int GetCapacity() const { return m_capacity; }

 private:
  CSpell* m_owner;
  std::unique_ptr<char16_t[]> m_words;
  std::int16_t m_used = 0;
  std::uint16_t m_capacity = 0;
  int m_modified = 0;
  int m_cursor = 0;  // index of the next word in m_words
};
