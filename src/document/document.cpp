#include "document/document.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "document/dochost.h"
#include "items/viewmapping.h"
#include "spell/docdict.h"
#include "spell/spell.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/uiutil.h"

namespace {

constexpr int kLogConstruct = 1200;
constexpr int kLogResetDictionary = 1211;
constexpr int kLogClearDrawing = 1213;
constexpr int kLogWipeDrawing = 1214;
constexpr int kLogResetDrawing = 1242;
constexpr int kLogGrowItemList = 1264;
constexpr int kLogCacheIntersections = 1279;
constexpr int kLogOnNewDocument = 1298;
constexpr int kLogClearIntersectionCache = 1299;

constexpr int kGlitchBringToFront = 1202;
constexpr int kGlitchSendToBack = 1272;
constexpr int kGlitchCachedIntersections = 1222;
constexpr int kGlitchBackmostFill = 1235;
constexpr int kGlitchFrontmostFill = 1236;

std::uint32_t g_itemListLimitForTest = kItemListLimit;

IDocumentHost g_nullHost;
IDocumentHost* g_host = nullptr;

bool IsFill(const CDrawItem* item) { return item != nullptr && item->GetType() == kItemFill; }

}  // namespace

IDocumentHost& GetDocumentHost() { return g_host != nullptr ? *g_host : g_nullHost; }
void SetDocumentHost(IDocumentHost* host) { g_host = host; }

CZephDoc* g_symbolLibraryDoc = nullptr;
CZephDoc* g_symbolDoc = nullptr;
CZephDoc* g_hatchSamplesDoc = nullptr;

CZephDoc::CZephDoc(DocumentRole role) : m_role(role) {
  LogScope trace(kLogConstruct);
  if (m_role == DocumentRole::kAuxiliary) m_recording = 0;
  ResetDrawing();
  trace.Exit();
}

CZephDoc::~CZephDoc() {
  ClearDrawing();
  // The journal may still hold items (none after ClearDrawing), and the word list
  // unregisters itself from the spell checker.
  m_docDict.reset();
  m_intersections.Clear();
}

// ---- Whole drawing ----

void CZephDoc::ResetDrawing() {
  LogScope trace(kLogResetDrawing);
  m_path.clear();
  // The caller has cleared the items before; the tables are only emptied here.
  m_items.clear();
  m_listed.clear();
  m_spatial.Clear();  // spatial index hook
  m_names.clear();
  m_objects.clear();
  m_ticks.clear();
  m_legacySegments.clear();
  ClearIntersectionCache();
  m_groupCounter = 0;
  m_groupOld.clear();
  m_groupNew.clear();
  ResetDictionary();
  m_journal.records.clear();
  InvalidateStepIndex();
  m_journal.top = 0;
  m_journal.redoEnd = 0;
  m_journal.undoCount = 0;
  m_journal.redoCount = 0;
  m_journal.groupState = 0;
  m_journal.groupStatus = 1;
  m_changed = 0;
  m_realWorldScale = 1.0;
  m_printingScale = -1.0;
  m_printSettings.LoadFromOptions();
  m_picturePath.clear();
  m_pictureX = 0;
  m_pictureY = 0;
  m_pictureScale = 1.0;
  trace.Exit();
}

void CZephDoc::ClearDrawing() {
  LogScope trace(kLogClearDrawing);
  m_path.clear();
  // Items are deleted from the last, so that none outlives a record naming it: the journal
  // is emptied below and names no listed item once the list is empty.
  m_listed.clear();
  m_spatial.Clear();  // spatial index hook
  while (!m_items.empty()) {
    m_items.back().reset();
    m_items.pop_back();
  }
  ClearIntersectionCache();
  m_groupCounter = 0;
  m_groupOld.clear();
  m_groupNew.clear();
  m_names.clear();
  m_objects.clear();
  m_ticks.clear();
  FreeJournalRecords(0);
  // Their item indexes would point into the old drawing.
  m_selectedPoints.RemoveAll();
  m_cornerCount = 0;
  trace.Exit();
}

void CZephDoc::WipeDrawing(int keepOperation) {
  LogScope trace(kLogWipeDrawing);
  ClearDrawing();
  if (keepOperation == 0) GetDocumentHost().CancelEditing();
  trace.Exit();
}

int CZephDoc::OnNewDocument() {
  LogScope trace(kLogOnNewDocument);
  m_path.clear();
  return trace.Return(1);
}

QString CZephDoc::GetDrawingName() const {
  QString name = m_path;
  const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
  if (slash >= 0) name = name.mid(slash + 1);
  if (name.endsWith(QStringLiteral(".zpd"), Qt::CaseInsensitive)) name.chop(4);
  return name;
}

void CZephDoc::SetPrintingScale(double scale) {
  if (scale == m_printingScale) return;
  m_printingScale = scale;
  m_changed = 1;
}

double CZephDoc::GetAutomaticPrintScale() const {
  // An unusable printer measurement (none installed, a failed query) gives 1 to 1 rather
  // than an infinite or negative scale.
  if (g_printableWidth <= 0 || g_printableHeight <= 0 || g_printerDpiX <= 0 ||
      g_printerDpiY <= 0) {
    return 1.0;
  }
  const double across = (static_cast<double>(m_maxX) - m_minX + 1.0) * g_printerDpiX /
                        g_printableWidth / 25400.0;
  const double down = (static_cast<double>(m_maxY) - m_minY + 1.0) * g_printerDpiY /
                      g_printableHeight / 25400.0;
  const double scale = std::max(across, down);
  if (!std::isfinite(scale) || scale <= 0.0) return 1.0;
  return scale;
}

void CZephDoc::ChooseUnitFactor() const {
  switch (GetOptionShort(kOptionDisplayUnits)) {
    case 1:
      g_unitFactor = 0.1;
      return;
    case 2:
      g_unitFactor = 1.0;
      return;
    case 3:
      g_unitFactor = 100.0;
      return;
    case 4:
      g_unitFactor = 100000.0;
      return;
    default:
      break;
  }
  const double s = m_realWorldScale;
  if (s <= 0.1) {
    g_unitFactor = 0.1;
  } else if (s >= 100000.0) {
    g_unitFactor = 100000.0;
  } else if (s >= 100.0) {
    g_unitFactor = 100.0;
  } else {
    g_unitFactor = 1.0;
  }
}

void CZephDoc::ResetDictionary() {
  LogScope trace(kLogResetDictionary);
  // The old list unregisters itself; if it was the one lookups consult, forget it first.
  if (g_spellChecker && m_docDict && g_spellChecker->GetCurrentDocDict() == m_docDict.get()) {
    g_spellChecker->SetCurrentDocDict(nullptr);
  }
  m_docDict.reset();
  if (!g_spellChecker) return trace.Exit(kLogHandled, 1);
  try {
    m_docDict = g_spellChecker->CreateDocDict();
  } catch (const std::bad_alloc&) {
    m_docDict.reset();
  }
  if (!m_docDict) return trace.Exit(kLogMemory, 2);
  // An auxiliary document's list never becomes the one consulted: the drawing's would be
  // lost from the lookups.
  if (m_role == DocumentRole::kDrawing) g_spellChecker->SetCurrentDocDict(m_docDict.get());
  trace.Exit();
}

void CZephDoc::SetWindowSize(int width, int height) {
  m_windowWidth = width;
  m_windowHeight = height;
}

void CZephDoc::GetExtents(int& minX, int& minY, int& maxX, int& maxY) const {
  minX = m_minX;
  minY = m_minY;
  maxX = m_maxX;
  maxY = m_maxY;
}

void CZephDoc::SetExtents(int minX, int minY, int maxX, int maxY) {
  m_minX = minX;
  m_minY = minY;
  m_maxX = maxX;
  m_maxY = maxY;
}

void CZephDoc::SetPicturePlace(int x, int y, double scale) {
  m_pictureX = x;
  m_pictureY = y;
  m_pictureScale = scale;
}

// ---- Item list ----

CDrawItem* CZephDoc::GetItem(int index) const {
  if (index < 0 || index >= GetItemCount()) return nullptr;
  return m_items[static_cast<std::size_t>(index)].get();
}

int CZephDoc::FindItem(const CDrawItem* item) const {
  if (item == nullptr || m_listed.count(item) == 0) return -1;
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i].get() == item) return static_cast<int>(i);
  }
  return -1;
}

int CZephDoc::IsListed(const CDrawItem* item) const {
  return item != nullptr && m_listed.count(item) != 0 ? 1 : 0;
}

// Spatial index hooks: every listing and unlisting of an item passes here.
void CZephDoc::MarkListed(const CDrawItem* item) {
  m_listed.insert(item);
  m_spatial.Add(item);
}
void CZephDoc::MarkUnlisted(const CDrawItem* item) {
  m_listed.erase(item);
  m_spatial.Remove(item);
}

void CZephDoc::ReserveListed(std::size_t count) {
  try {
    m_listed.reserve(m_listed.size() + count);
    m_spatial.Reserve(count);
  } catch (const std::bad_alloc&) {
    // Only a hint: the lookups grow one item at a time instead.
  }
}

void CZephDoc::SetItemListLimitForTest(std::uint32_t limit) { g_itemListLimitForTest = limit; }

int CZephDoc::GrowItemList() {
  LogScope trace(kLogGrowItemList);
  const std::uint32_t count = static_cast<std::uint32_t>(m_items.size());
  if (m_itemCapacity >= count + 1) return trace.Return(1);
  if (m_itemCapacity >= kItemListLimit) return trace.Return(0, kLogMemory, 1);
  const std::uint32_t capacity = m_itemCapacity == 0 ? kItemListFirstCapacity : m_itemCapacity * 2;
  if (capacity > g_itemListLimitForTest) return trace.Return(0, kLogMemory, 2);
  try {
    m_items.reserve(capacity);
  } catch (const std::bad_alloc&) {
    return trace.Return(0, kLogMemory, 2);
  }
  m_itemCapacity = capacity;
  return trace.Return(1);
}

int CZephDoc::AddItem(DrawItemPtr& item) {
  int index = 0;
  return AddItemWithIndex(item, index);
}

int CZephDoc::AddItemWithIndex(DrawItemPtr& item, int& index) {
  if (!item || item->IsValid() == 0) return 0;
  if (GrowItemList() == 0) {
    ShowOutOfMemory();
    return -1;
  }
  int position = GetItemCount();
  if (IsFill(item.get())) {
    // The first item that is no fill: the fills lead the list, so it is found by halving.
    position = static_cast<int>(
        std::partition_point(m_items.begin(), m_items.end(),
                             [](const DrawItemPtr& listed) { return IsFill(listed.get()); }) -
        m_items.begin());
  }
  if (RecordListChange(UndoKind::kItemAdded, position) == kUndoRefused) return -1;
  InsertItemAt(position, std::move(item));
  m_changed = 1;
  index = position;
  return 1;
}

void CZephDoc::InsertItemAt(int index, DrawItemPtr item) {
  CDrawItem* raw = item.get();
  raw->SetDocument(this);
  MarkListed(raw);
  m_items.insert(m_items.begin() + index, std::move(item));
  // Spatial index hook: an item put at the end keeps the order known.
  if (static_cast<std::size_t>(index) + 1 == m_items.size()) {
    m_spatial.Appended(raw);
  } else {
    m_spatial.OrderChanged();
  }
}

DrawItemPtr CZephDoc::TakeItemAt(int index) {
  DrawItemPtr item = std::move(m_items[static_cast<std::size_t>(index)]);
  m_items.erase(m_items.begin() + index);
  MarkUnlisted(item.get());
  return item;
}

DrawItemPtr CZephDoc::CopyItem(const CDrawItem* item) {
  if (item == nullptr || item->IsValid() == 0) return nullptr;
  DrawItemPtr copy;
  try {
    copy = CreateItem(item->GetType());
  } catch (const std::bad_alloc&) {
    copy.reset();
  }
  if (!copy) {
    ShowOutOfMemory();
    return nullptr;
  }
  copy->CopyFrom(item);
  return copy;
}

int CZephDoc::AddCopyOfItem(const CDrawItem* item) {
  DrawItemPtr copy = CopyItem(item);
  if (!copy) return 0;
  return AddItem(copy) == 1 ? 1 : 0;
}

int CZephDoc::RemoveItemAt(int index) {
  if (index < 0 || index >= GetItemCount()) return 0;
  const int answer = RecordListChange(UndoKind::kItemRemoved, index);
  if (answer == kUndoRefused) return 0;
  if (answer == 1) {
    // The journal has taken the item out of its slot.
    m_items.erase(m_items.begin() + index);
  } else {
    DrawItemPtr item = TakeItemAt(index);
    item.reset();
  }
  m_changed = 1;
  return 1;
}

int CZephDoc::RemoveItem(const CDrawItem* item) {
  const int index = FindItem(item);
  if (index < 0) return 0;
  return RemoveItemAt(index);
}

int CZephDoc::BringToFront(const CDrawItem* fill) {
  const int i = FindItem(fill);
  if (i < 0) {
    ReportGlitch(kGlitchBringToFront, 1);
    return 0;
  }
  int j = i;
  while (j + 1 < GetItemCount() && IsFill(m_items[static_cast<std::size_t>(j + 1)].get())) ++j;
  if (j == i) return 0;
  if (RecordListMove(UndoKind::kListMove, i, j) == kUndoRefused) return 0;
  MoveItemInList(i, j);
  m_changed = 1;
  return 1;
}

int CZephDoc::SendToBack(const CDrawItem* fill) {
  const int i = FindItem(fill);
  if (i < 0) {
    ReportGlitch(kGlitchSendToBack, 1);
    return 0;
  }
  // Only a fill may go to the back: the fills must stay in front of every other item.
  if (!IsFill(fill)) {
    SetGlitchValue(fill->GetType());
    ReportGlitch(kGlitchSendToBack, 2);
    return 0;
  }
  if (i == 0) return 0;
  if (RecordListMove(UndoKind::kListMove, i, 0) == kUndoRefused) return 0;
  MoveItemInList(i, 0);
  m_changed = 1;
  return 1;
}

int CZephDoc::IsBackmostFill(const CDrawItem* fill) const {
  if (!IsFill(fill)) {
    SetGlitchValue(fill != nullptr ? fill->GetType() : -1);
    ReportGlitch(kGlitchBackmostFill, 1);
    return 0;
  }
  return !m_items.empty() && m_items.front().get() == fill ? 1 : 0;
}

int CZephDoc::IsFrontmostFill(const CDrawItem* fill) const {
  if (!IsFill(fill)) {
    SetGlitchValue(fill != nullptr ? fill->GetType() : -1);
    ReportGlitch(kGlitchFrontmostFill, 1);
    return 0;
  }
  const int i = FindItem(fill);
  if (i < 0) {
    ReportGlitch(kGlitchFrontmostFill, 2);
    return 0;
  }
  if (i + 1 >= GetItemCount()) return 1;
  return IsFill(m_items[static_cast<std::size_t>(i + 1)].get()) ? 0 : 1;
}

int CZephDoc::GetFillOrder(const CDrawItem* fill, int& position, int& count) const {
  int before = 0;
  int found = 0;
  int n = 0;
  for (const DrawItemPtr& item : m_items) {
    if (!IsFill(item.get())) break;
    if (item.get() == fill) found = 1;
    if (found == 0) ++before;
    ++n;
  }
  if (found == 0) return 0;
  count = n;
  position = n - before;
  return 1;
}

void CZephDoc::MoveItemInList(int from, int to) {
  const int count = GetItemCount();
  if (from == to || from < 0 || to < 0 || from >= count || to >= count) return;
  m_spatial.OrderChanged();  // spatial index hook
  auto begin = m_items.begin();
  if (from < to) {
    std::rotate(begin + from, begin + from + 1, begin + to + 1);
  } else {
    std::rotate(begin + to, begin + from, begin + from + 1);
  }
}

// ---- Intersection cache ----

int CZephDoc::FindCachedIntersections(const CDrawItem* a, const CDrawItem* b) {
  if (a == nullptr || b == nullptr) return -1;
  try {
    return m_intersections.Find(a->GetSerial(), b->GetSerial());
  } catch (const std::exception&) {
    SetGlitchValue(m_intersections.GetEntryCount());
    ReportGlitch(kGlitchCachedIntersections, 1);
    return -1;
  }
}

void CZephDoc::CacheIntersections(int count, const CDrawItem* a, const CDrawItem* b) {
  LogScope trace(kLogCacheIntersections);
  if (a == nullptr || b == nullptr || a->GetDocument() != this || b->GetDocument() != this) {
    return trace.Exit(kLogHandled, 1);
  }
  m_intersections.Add(count, a->GetSerial(), b->GetSerial());
  trace.Exit();
}

void CZephDoc::DropCachedIntersections(const CDrawItem* item) {
  // Called from item destructors too: only the serial may be read.
  if (item == nullptr) return;
  m_intersections.Drop(item->GetSerial());
  m_spatial.Touch(item);  // spatial index hook: by address only
}

void CZephDoc::ClearIntersectionCache() {
  LogScope trace(kLogClearIntersectionCache);
  m_intersections.Clear();
  trace.Exit();
}

// ---- Auxiliary documents ----

namespace {
std::unique_ptr<CZephDoc> g_ownedSymbolLibrary;
std::unique_ptr<CZephDoc> g_ownedSymbol;
std::unique_ptr<CZephDoc> g_ownedHatchSamples;
}  // namespace

int CreateAuxiliaryDocuments() {
  try {
    g_ownedSymbolLibrary = std::make_unique<CZephDoc>(DocumentRole::kAuxiliary);
    g_ownedSymbol = std::make_unique<CZephDoc>(DocumentRole::kAuxiliary);
    g_ownedHatchSamples = std::make_unique<CZephDoc>(DocumentRole::kAuxiliary);
  } catch (const std::bad_alloc&) {
    DeleteAuxiliaryDocuments();
    return 0;
  }
  g_symbolLibraryDoc = g_ownedSymbolLibrary.get();
  g_symbolDoc = g_ownedSymbol.get();
  g_hatchSamplesDoc = g_ownedHatchSamples.get();
  g_symbolLibraryDoc->EnableUndo(0);
  g_symbolDoc->EnableUndo(0);
  g_hatchSamplesDoc->EnableUndo(0);
  return 1;
}

void DeleteAuxiliaryDocuments() {
  g_symbolLibraryDoc = nullptr;
  g_symbolDoc = nullptr;
  g_hatchSamplesDoc = nullptr;
  g_ownedHatchSamples.reset();
  g_ownedSymbol.reset();
  g_ownedSymbolLibrary.reset();
}
