#include "controls/timers.h"

#include <QTimer>
#include <algorithm>

namespace zeph {
namespace {

// One QTimer per owner and id. A killed timer is deleted later, since it may be killed from
// its own tick.
class CQtTimerService final : public ITimerService {
 public:
  void SetTimer(CTimerOwner& owner, int id, int milliseconds) override {
    auto& slot = m_timers[{&owner, id}];
    if (slot == nullptr) {
      slot = new QTimer;
      QObject::connect(slot, &QTimer::timeout, [&owner, id]() { owner.OnTimer(id); });
    }
    slot->start(std::max(1, milliseconds));
  }
  bool KillTimer(CTimerOwner& owner, int id) override {
    const auto found = m_timers.find({&owner, id});
    if (found == m_timers.end()) return false;
    Dispose(found->second);
    m_timers.erase(found);
    return true;
  }
  void KillTimers(CTimerOwner& owner) override {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
      if (it->first.first == &owner) {
        Dispose(it->second);
        it = m_timers.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  static void Dispose(QTimer* timer) {
    timer->stop();
    QObject::disconnect(timer, nullptr, nullptr, nullptr);
    timer->deleteLater();
  }
  std::map<std::pair<CTimerOwner*, int>, QTimer*> m_timers;
};

CQtTimerService& QtTimers() {
  static CQtTimerService service;
  return service;
}

ITimerService* g_timerService = nullptr;

}  // namespace

ITimerService& GetTimerService() {
  return g_timerService != nullptr ? *g_timerService : QtTimers();
}

void SetTimerService(ITimerService* service) { g_timerService = service; }

CTimerOwner::~CTimerOwner() {
  if (m_service != nullptr) m_service->KillTimers(*this);
}

int CTimerOwner::SetTimer(int id, int milliseconds) {
  ITimerService& service = GetTimerService();
  if (m_service != nullptr && m_service != &service) m_service->KillTimers(*this);
  m_service = &service;
  service.SetTimer(*this, id, milliseconds);
  return id;
}

bool CTimerOwner::KillTimer(int id) {
  return m_service != nullptr && m_service->KillTimer(*this, id);
}

void CTimerOwner::KillAllTimers() {
  if (m_service != nullptr) m_service->KillTimers(*this);
}

void CManualTimerService::SetTimer(CTimerOwner& owner, int id, int milliseconds) {
  KillTimer(owner, id);
  const int interval = std::max(1, milliseconds);
  m_timers.push_back({&owner, id, interval, m_now + interval, m_nextOrder++});
}

bool CManualTimerService::KillTimer(CTimerOwner& owner, int id) {
  const auto found = std::find_if(m_timers.begin(), m_timers.end(),
                                  [&](const Timer& t) { return t.owner == &owner && t.id == id; });
  if (found == m_timers.end()) return false;
  m_timers.erase(found);
  return true;
}

void CManualTimerService::KillTimers(CTimerOwner& owner) {
  std::erase_if(m_timers, [&](const Timer& t) { return t.owner == &owner; });
}

void CManualTimerService::Advance(int milliseconds) {
  const std::int64_t end = m_now + std::max(0, milliseconds);
  for (;;) {
    const auto next =
        std::min_element(m_timers.begin(), m_timers.end(), [](const Timer& a, const Timer& b) {
          return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
    if (next == m_timers.end() || next->due > end) break;
    m_now = next->due;
    next->due += next->interval;
    next->order = m_nextOrder++;
    // The tick may set or kill timers, so nothing of the list is held across it.
    CTimerOwner* owner = next->owner;
    const int id = next->id;
    owner->OnTimer(id);
  }
  m_now = end;
}

bool CManualTimerService::IsSet(const CTimerOwner& owner, int id) const {
  return IntervalOf(owner, id) != 0;
}

int CManualTimerService::IntervalOf(const CTimerOwner& owner, int id) const {
  for (const Timer& t : m_timers) {
    if (t.owner == &owner && t.id == id) return t.interval;
  }
  return 0;
}

}  // namespace zeph
