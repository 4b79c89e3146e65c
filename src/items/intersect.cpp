#include "items/intersect.h"

std::vector<std::int32_t> g_intersectX;
std::vector<std::int32_t> g_intersectY;
std::vector<std::int32_t> g_intersectFlags;
int g_intersectCapacity = 0;

int g_splitCount = 0;
int g_splitCapacity = 0;
std::vector<std::int32_t> g_splitX;
std::vector<std::int32_t> g_splitY;
std::vector<double> g_splitParam;
std::vector<std::uint8_t> g_splitKeep;
std::vector<CDrawItem*> g_splitPieces;

int EnsureIntersectionCapacity(int) { return 0; }
void FreeIntersectionArrays() {}
int ReserveSplitList(int) { return 0; }
void FreeSplitList() {}
int CIntersectionCache::Store(int, ItemSerial, ItemSerial) { return 0; }
int CIntersectionCache::CopyOut() const { return 0; }
int CIntersectionCache::Involves(ItemSerial) const { return 0; }
int CIntersectionCache::Matches(ItemSerial, ItemSerial) const { return 0; }
int CIntersectionCacheList::Find(ItemSerial, ItemSerial) const { return -1; }
void CIntersectionCacheList::Add(int, ItemSerial, ItemSerial) {}
void CIntersectionCacheList::Drop(ItemSerial) {}
void CIntersectionCacheList::Clear() { m_entries.clear(); }
void ResetIntersectionState() {}
