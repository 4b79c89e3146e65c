#include "app/idle.h"

#include <QTimer>

#include "support/log.h"

CIdleQueue::CIdleQueue(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {
  m_timer->setSingleShot(true);
  m_timer->setInterval(0);
  connect(m_timer, &QTimer::timeout, this, [this] { OnIdle(0); });
}

CIdleQueue::~CIdleQueue() = default;

void CIdleQueue::Append(int action) {
  if (m_count < kIdleQueueCapacity) m_queue[static_cast<std::size_t>(m_count++)] = action;
}

void CIdleQueue::QueueIdleAction(int action) {
  if (m_pending == 0) {
    m_pending = action;
  } else {
    Append(action);  // a full queue drops it
  }
  if (action == kIdlePollInternet) m_pollWaits = false;
  Arm();
}

void CIdleQueue::Arm() {
  if (m_pending == 0 || m_timer->isActive()) return;
  if (m_pending == kIdlePollInternet && m_pollWaits) return;
  m_timer->start();
}

void CIdleQueue::Wake() {
  m_pollWaits = false;
  Arm();
}

bool CIdleQueue::IsTimerArmed() const { return m_timer->isActive(); }

void CIdleQueue::Clear() {
  m_timer->stop();
  m_pending = 0;
  m_count = 0;
  m_pollWaits = false;
}

int CIdleQueue::OnIdle(long /*count*/) {
  if (m_pending == 0) return 0;
  const int action = m_pending;
  m_pending = 0;
  LogAction(1006, 1, kLogProgress);
  bool requeuePoll = false;
  bool pollWaits = false;
  if (action == kIdlePollInternet) {
    const int state = m_poll ? m_poll() : 0;
    requeuePoll = state != 0;
    pollWaits = state == 1;
  } else {
    LogAction(1006, 1, kLogHandled);
    LogNumber(action);
  }
  int next = 0;
  if (m_count > 0) {
    next = m_queue[0];
    for (int i = 1; i < m_count; ++i) m_queue[static_cast<std::size_t>(i - 1)] = m_queue[static_cast<std::size_t>(i)];
    --m_count;
  }
  if (requeuePoll) {
    if (next == 0) {
      next = kIdlePollInternet;
    } else {
      Append(kIdlePollInternet);
    }
  }
  m_pending = next;
  // A poll whose tasks only wait for the network runs again once a report has arrived; one
  // whose task can go on runs again at the next idle period.
  if (requeuePoll) m_pollWaits = pollWaits;
  Arm();
  return 0;
}
