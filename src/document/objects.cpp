// The document's named objects and object numbers: the name table (kept sorted in natural
// order), the object list with its tick marks, fresh numbers, the copy map of a multiple copy
// and the group counter with its remapping for copies.
#include <QString>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "document/document.h"
#include "support/log.h"
#include "support/numbers.h"
#include "support/textutil.h"

namespace {

constexpr int kLogGrowNameTable = 1262;
constexpr int kLogGrowObjectList = 1263;
constexpr int kLogPrepareCopyNumbers = 1277;
constexpr int kLogGetCopyObjectNumber = 1243;

constexpr int kGlitchGroupMap = 1201;
constexpr int kGlitchCaptionMode = 1215;
constexpr int kGlitchNumberAt = 1225;
constexpr int kGlitchNameAt = 1226;
constexpr int kGlitchSetName = 1260;
constexpr int kGlitchRestoreName = 1261;

// Names keep at most this many characters before a copy's " n" is added.
constexpr int kUniqueStemLength = 14;
constexpr int kCopyMapFirstCapacity = 100;

bool IsObjectNumber(int number) { return number >= 1 && number <= kObjectNumberMax; }

// One flag per possible object number: set for the numbers of the list.
std::vector<bool> ListedNumbers(const std::vector<std::int16_t>& objects) {
  std::vector<bool> listed(static_cast<std::size_t>(kObjectNumberMax) + 1, false);
  for (const std::int16_t number : objects) {
    if (number > 0) listed[static_cast<std::size_t>(number)] = true;
  }
  return listed;
}

// The smallest number >= start without a flag, or 0 when every number up to the largest
// object number is taken.
int NextUnlisted(const std::vector<bool>& listed, int start) {
  for (int n = std::max(start, 1); n <= kObjectNumberMax; ++n) {
    if (!listed[static_cast<std::size_t>(n)]) return n;
  }
  return 0;
}

}  // namespace

// ---- The name table ----

int CZephDoc::SetObjectName(int number, const QString& name, int noSort) {
  if (!IsObjectNumber(number)) {
    // A name for a number no item can carry would never be found again.
    SetGlitchValue(number);
    ReportGlitch(kGlitchSetName, 1);
    return 0;
  }
  const int index = FindObjectNameIndex(number);
  if (name.isEmpty() && index < 0) return 1;
  const QString stored = name.left(kObjectNameLength);

  if (index < 0) {
    // A full table drops further names without a word.
    if (GrowNameTable() == 0) return 1;
    if (RecordObjectName(UndoKind::kNameAdded, number, nullptr) < 0) return -1;
    NameEntry entry;
    entry.name = stored;
    entry.number = static_cast<std::uint16_t>(number);
    m_names.push_back(std::move(entry));
    MarkChanged();
  } else if (stored.isEmpty()) {
    const QString old = m_names[static_cast<std::size_t>(index)].name;
    if (RecordObjectName(UndoKind::kNameRemoved, number, &old) < 0) return -1;
    m_names.erase(m_names.begin() + index);
    MarkChanged();
  } else {
    const QString old = m_names[static_cast<std::size_t>(index)].name;
    if (RecordObjectName(UndoKind::kNameReplaced, number, &old) < 0) return -1;
    m_names[static_cast<std::size_t>(index)].name = stored;
    MarkChanged();
  }
  if (noSort != 1) SortObjectNames();
  return 1;
}

int CZephDoc::DeleteTickedObjectNames() {
  const int count = GetObjectCount();
  for (int position = 0; position < count; ++position) {
    if (GetObjectTick(position) == kObjectNotTicked) continue;
    const int number = m_objects[static_cast<std::size_t>(position)];
    const int index = FindObjectNameIndex(number);
    if (index < 0) continue;
    const QString old = m_names[static_cast<std::size_t>(index)].name;
    if (RecordObjectName(UndoKind::kNameRemoved, number, &old) < 0) return -1;
    m_names.erase(m_names.begin() + index);
    MarkChanged();
  }
  return 1;
}

void CZephDoc::RestoreObjectName(int number, const QString* name) {
  if (name == nullptr) {
    SetGlitchValue(number);
    ReportGlitch(kGlitchRestoreName, 1);
    return;
  }
  const int index = FindObjectNameIndex(number);
  if (index < 0) {
    SetGlitchValue(number);
    ReportGlitch(kGlitchRestoreName, 2);
    return;
  }
  m_names[static_cast<std::size_t>(index)].name = *name;
  SortObjectNames();
}

void CZephDoc::SortObjectNames() {
  // Adjacent exchanges only, as a bubble sort does: equal names keep their order, and a
  // table that is sorted but for one new entry costs one pass.
  const std::size_t count = m_names.size();
  for (std::size_t i = 1; i < count; ++i) {
    for (std::size_t j = i; j > 0 && CompareNatural(m_names[j - 1].name, m_names[j].name) > 0;
         --j) {
      std::swap(m_names[j - 1], m_names[j]);
    }
  }
}

int CZephDoc::FindObjectNameIndex(int number) const {
  for (std::size_t i = 0; i < m_names.size(); ++i) {
    if (m_names[i].number == number) return static_cast<int>(i);
  }
  return -1;
}

QString CZephDoc::GetObjectName(int number, int captionMode) const {
  const int index = FindObjectNameIndex(number);
  if (index >= 0) return m_names[static_cast<std::size_t>(index)].name;
  return GetObjectCaption(number, captionMode);
}

QString CZephDoc::GetObjectCaption(int number, int mode) {
  switch (mode) {
    case 0:
      return QString::number(number);
    case 1:
      return QStringLiteral("Object ") + QString::number(number);
    case -1:
      return QString();
    default:
      SetGlitchValue(mode);
      ReportGlitch(kGlitchCaptionMode, 1);
      return QString();
  }
}

int CZephDoc::FindObjectByName(const QString& text) const {
  const QString wanted = text.mid(SkipBlanks(text, 0));
  for (const NameEntry& entry : m_names) {
    if (CompareNoCaseTrimmed(entry.name, wanted) == 0) return entry.number;
  }
  std::int16_t number = 0;
  if (TextToShort(wanted, number) != 0 && number >= 1 && number <= kObjectNumberDrawingMax) {
    return number;
  }
  return -1;
}

int CZephDoc::GrowNameTable() {
  LogScope trace(kLogGrowNameTable);
  const int count = GetNameCount();
  if (m_nameCapacity >= count + 1) return trace.Return(1);
  if (m_nameCapacity >= kNameTableLimit) return trace.Return(0, kLogMemory, 1);
  const int grown = m_nameCapacity == 0 ? kNameTableFirstCapacity : m_nameCapacity * 2;
  try {
    m_names.reserve(static_cast<std::size_t>(grown));
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory, 2);
  }
  m_nameCapacity = grown;
  return trace.Return(1);
}

int CZephDoc::TakeName(int number, QString& out) {
  const int index = FindObjectNameIndex(number);
  if (index < 0) return 0;
  out = std::move(m_names[static_cast<std::size_t>(index)].name);
  m_names.erase(m_names.begin() + index);
  return 1;
}

void CZephDoc::AppendName(const QString& name, int number) {
  // Undo puts back a name that was in the table, so the limit never stops it.
  GrowNameTable();
  NameEntry entry;
  entry.name = name;
  entry.number = static_cast<std::uint16_t>(number);
  m_names.push_back(std::move(entry));
  m_nameCapacity = std::max(m_nameCapacity, GetNameCount());
  SortObjectNames();
}

// ---- The object list ----

int CZephDoc::GetFreeObjectNumber(int start) const {
  const int found = NextUnlisted(ListedNumbers(m_objects), start);
  return found == 0 ? kObjectNumberMax : found;
}

int CZephDoc::GrowObjectList() {
  LogScope trace(kLogGrowObjectList);
  const int count = GetObjectCount();
  if (m_objectCapacity >= count + 1 &&
      m_ticks.size() >= static_cast<std::size_t>(m_objectCapacity)) {
    return trace.Return(1);
  }
  if (m_objectCapacity >= count + 1) {
    // The ticks always cover the whole capacity.
    try {
      m_ticks.resize(static_cast<std::size_t>(m_objectCapacity), kObjectNotTicked);
    } catch (const std::bad_alloc&) {
      return trace.Return(0, kLogMemory, 3);
    }
    return trace.Return(1);
  }
  if (m_objectCapacity > std::numeric_limits<int>::max() / 2) {
    return trace.Return(0, kLogMemory, 1);
  }
  const int grown = m_objectCapacity == 0 ? kObjectListFirstCapacity : m_objectCapacity * 2;
  try {
    m_objects.reserve(static_cast<std::size_t>(grown));
    m_ticks.resize(static_cast<std::size_t>(grown), kObjectNotTicked);
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory, 2);
  }
  m_objectCapacity = grown;
  return trace.Return(1);
}

int CZephDoc::RebuildObjectList() {
  m_objects.clear();
  std::vector<bool> listed(static_cast<std::size_t>(kObjectNumberMax) + 1, false);
  for (const NameEntry& entry : m_names) {
    if (GrowObjectList() == 0) return GetObjectCount();
    m_objects.push_back(static_cast<std::int16_t>(entry.number));
    if (IsObjectNumber(entry.number)) listed[entry.number] = true;
  }
  const auto namedEnd = static_cast<std::ptrdiff_t>(m_objects.size());
  for (const DrawItemPtr& item : m_items) {
    if (!item) continue;
    const int number = item->GetObjectNumber();
    if (number <= 0 || listed[static_cast<std::size_t>(number)]) continue;
    if (GrowObjectList() == 0) break;
    // The unnamed part stays ascending; ticks stay with their positions.
    const auto at = std::upper_bound(m_objects.begin() + namedEnd, m_objects.end(),
                                     static_cast<std::int16_t>(number));
    m_objects.insert(at, static_cast<std::int16_t>(number));
    listed[static_cast<std::size_t>(number)] = true;
  }
  return GetObjectCount();
}

void CZephDoc::InsertObjectNumber(int number) {
  if (!IsObjectNumber(number) || IsObjectListed(number) != 0) return;
  if (GrowObjectList() == 0) return;
  const int count = GetObjectCount();
  int position = std::min(GetNameCount(), count);
  while (position < count && m_objects[static_cast<std::size_t>(position)] <= number) ++position;
  m_objects.insert(m_objects.begin() + position, static_cast<std::int16_t>(number));
  for (int j = count; j > position; --j) {
    m_ticks[static_cast<std::size_t>(j)] = m_ticks[static_cast<std::size_t>(j - 1)];
  }
  m_ticks[static_cast<std::size_t>(position)] = kObjectNotTicked;
}

int CZephDoc::FindObjectIndex(int number) const {
  for (std::size_t i = 0; i < m_objects.size(); ++i) {
    if (m_objects[i] == number) return static_cast<int>(i);
  }
  return -1;
}

int CZephDoc::IsObjectListed(int number) const { return FindObjectIndex(number) >= 0 ? 1 : 0; }

int CZephDoc::GetObjectNumberAt(int position) const {
  if (position < 0 || position >= GetObjectCount()) {
    SetGlitchValue(position);
    SetGlitchValue(GetObjectCount());
    ReportGlitch(kGlitchNumberAt, 1);
    return 1;
  }
  return m_objects[static_cast<std::size_t>(position)];
}

QString CZephDoc::GetObjectNameAt(int position, int captionMode) const {
  if (position < 0 || position >= GetObjectCount()) {
    SetGlitchValue(position);
    SetGlitchValue(GetObjectCount());
    ReportGlitch(kGlitchNameAt, 1);
    return QString();
  }
  if (position < GetNameCount()) return m_names[static_cast<std::size_t>(position)].name;
  return GetObjectCaption(m_objects[static_cast<std::size_t>(position)], captionMode);
}

int CZephDoc::GetObjectTick(int position) const {
  if (position < 0 || position >= GetObjectCount() ||
      static_cast<std::size_t>(position) >= m_ticks.size()) {
    return kObjectNotTicked;
  }
  return m_ticks[static_cast<std::size_t>(position)];
}

void CZephDoc::SetObjectTick(int position, int tick) {
  if (position < 0 || position >= GetObjectCount() ||
      static_cast<std::size_t>(position) >= m_ticks.size()) {
    return;
  }
  m_ticks[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(tick);
}

void CZephDoc::SetObjectTickByNumber(int number, int tick) {
  const int position = FindObjectIndex(number);
  if (position >= 0) SetObjectTick(position, tick);
}

int CZephDoc::CountTickedObjects() const {
  int ticked = 0;
  for (int position = 0; position < GetObjectCount(); ++position) {
    if (GetObjectTick(position) != kObjectNotTicked) ++ticked;
  }
  return ticked;
}

void CZephDoc::CountObjectContents(std::vector<IElementStatistics*>& statistics) const {
  std::vector<int> positions(static_cast<std::size_t>(kObjectNumberMax) + 1, -1);
  for (int position = GetObjectCount() - 1; position >= 0; --position) {
    const int number = m_objects[static_cast<std::size_t>(position)];
    if (IsObjectNumber(number)) positions[static_cast<std::size_t>(number)] = position;
  }
  for (const DrawItemPtr& item : m_items) {
    if (!item) continue;
    const int number = item->GetObjectNumber();
    if (!IsObjectNumber(number)) continue;
    const int position = positions[static_cast<std::size_t>(number)];
    if (position < 0 || static_cast<std::size_t>(position) >= statistics.size()) continue;
    IElementStatistics* entry = statistics[static_cast<std::size_t>(position)];
    if (entry != nullptr) entry->AddItem(item.get());
  }
}

// ---- Numbers and names of the copies of a multiple copy ----

void CZephDoc::PrepareCopyNumbers(int copies) {
  LogScope trace(kLogPrepareCopyNumbers);
  const int ticked = copies <= 0 || m_ticks.empty() ? 0 : CountTickedObjects();
  m_copyRows = 0;
  m_copiesPerRow = 0;
  if (ticked == 0) return trace.Exit();

  const auto dropMap = [this]() {
    std::vector<std::int16_t>().swap(m_copyMap);
    m_copyRows = 0;
    m_copiesPerRow = 0;
  };
  // Every copy needs a number of its own, and there are no more than the largest number.
  if (static_cast<std::int64_t>(ticked) * copies > kObjectNumberMax) {
    dropMap();
    return trace.Exit(kLogHandled, 1);
  }
  const int width = copies + 1;
  const std::size_t needed = static_cast<std::size_t>(ticked) * static_cast<std::size_t>(width);
  if (m_copyMap.size() < needed) {
    std::vector<std::int16_t>().swap(m_copyMap);
    try {
      m_copyMap.resize(std::max<std::size_t>(needed, kCopyMapFirstCapacity), 0);
    } catch (const std::bad_alloc&) {
      dropMap();
      return trace.Exit(kLogMemory, 2);
    }
  }
  m_copyRows = ticked;
  m_copiesPerRow = static_cast<std::uint16_t>(copies);

  int row = 0;
  for (int position = 0; position < GetObjectCount() && row < ticked; ++position) {
    if (GetObjectTick(position) == kObjectNotTicked) continue;
    m_copyMap[static_cast<std::size_t>(row) * width] =
        m_objects[static_cast<std::size_t>(position)];
    ++row;
  }

  const std::vector<bool> listed = ListedNumbers(m_objects);
  int next = 1;
  for (int copy = 1; copy <= copies; ++copy) {
    for (row = 0; row < ticked; ++row) {
      next = NextUnlisted(listed, next);
      if (next == 0) {
        // No number left for this copy: the copies keep their originals' numbers.
        dropMap();
        return trace.Exit(kLogHandled, 3);
      }
      m_copyMap[static_cast<std::size_t>(row) * width + copy] = static_cast<std::int16_t>(next);
      ++next;
    }
  }
  trace.Exit();
}

int CZephDoc::GetCopyObjectNumber(int number, int copyIndex) const {
  LogScope trace(kLogGetCopyObjectNumber);
  const int copies = m_copiesPerRow;
  if (copies == 0 || copyIndex < 0 || copyIndex >= copies) return trace.Return(number);
  const std::size_t width = static_cast<std::size_t>(copies) + 1;
  for (int row = 0; row < m_copyRows; ++row) {
    const std::size_t first = static_cast<std::size_t>(row) * width;
    if (m_copyMap[first] == number || m_copyMap[first + copyIndex] == number) {
      return trace.Return(static_cast<int>(m_copyMap[first + copyIndex + 1]));
    }
  }
  return trace.Return(number);
}

void CZephDoc::NameCopiedObjects(int clear) {
  const int copies = m_copiesPerRow;
  const std::size_t width = static_cast<std::size_t>(copies) + 1;
  for (int row = 0; row < m_copyRows; ++row) {
    const std::size_t first = static_cast<std::size_t>(row) * width;
    const QString original = GetObjectName(m_copyMap[first], -1);
    for (int copy = 1; copy <= copies; ++copy) {
      const int number = m_copyMap[first + static_cast<std::size_t>(copy)];
      if (!original.isEmpty()) {
        QString name = original;
        MakeObjectNameUnique(name, 2);
        SetObjectName(number, name, 1);
      }
      InsertObjectNumber(number);
    }
  }
  SortObjectNames();
  if (clear != 0) {
    m_copyRows = 0;
    m_copiesPerRow = 0;
  }
}

void CZephDoc::MakeObjectNameUnique(QString& name, int firstNumber) const {
  QString stem = name;
  SplitTrailingNumber(stem);
  if (stem.size() > kUniqueStemLength) stem.truncate(kUniqueStemLength);
  QString suffix;
  for (;;) {
    int number = firstNumber;
    for (const NameEntry& entry : m_names) {
      QString other = entry.name;
      const int used = SplitTrailingNumber(other);
      if (used >= number && CompareNoCase(other, stem) == 0) number = used + 1;
    }
    suffix = QStringLiteral(" ") + QString::number(number);
    if (stem.isEmpty() || stem.size() + suffix.size() <= kObjectNameLength) break;
    stem.chop(1);
  }
  name = stem + suffix;
}

// ---- Group numbers ----

int CZephDoc::NewGroupNumber() {
  // A counter read from a file may already stand at the top; it then stays there.
  if (m_groupCounter < std::numeric_limits<std::int32_t>::max()) ++m_groupCounter;
  return m_groupCounter;
}

void CZephDoc::RaiseGroupCounter(int number) {
  if (m_groupCounter < number) m_groupCounter = number;
}

void CZephDoc::SetGroupRemapping(int on) {
  if (on != 0) {
    m_groupRemapping = 1;
    m_groupOld.clear();
    m_groupNew.clear();
  } else {
    m_groupRemapping = 0;
  }
}

int CZephDoc::MapGroupNumber(int group) {
  if (m_groupRemapping == 0) return group;
  if (group == 0) return 0;
  for (std::size_t i = 0; i < m_groupOld.size(); ++i) {
    if (m_groupOld[i] == group) return m_groupNew[i];
  }
  if (m_groupOld.size() == m_groupOld.capacity()) {
    const std::size_t grown = m_groupOld.capacity() == 0
                                  ? static_cast<std::size_t>(kGroupMapFirstCapacity)
                                  : m_groupOld.capacity() * 2;
    try {
      m_groupOld.reserve(grown);
    } catch (const std::bad_alloc&) {
      ReportGlitch(kGlitchGroupMap, 8991);
      return group;
    }
    try {
      m_groupNew.reserve(grown);
    } catch (const std::bad_alloc&) {
      ReportGlitch(kGlitchGroupMap, 8992);
      return group;
    }
  }
  const int fresh = NewGroupNumber();
  m_groupOld.push_back(group);
  m_groupNew.push_back(fresh);
  return fresh;
}

void CZephDoc::ClearLoadNumberMap() {
  m_loadNumbers.read.clear();
  m_loadNumbers.given.clear();
  m_loadNumbers.nextFree = 1;
  m_loadNumbers.outOfRange = 0;
}
