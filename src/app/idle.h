#pragma once
// The application's idle work: one pending action and a first-in first-out queue of up to ten
// more. One action runs per idle period, from a single-shot zero-delay timer armed whenever an
// action is queued. Polling the internet tasks is the only action; it queues itself again
// while a task still has work, and when every task only waits for the network it waits for
// the next network report to arm the timer.
#include <QObject>
#include <array>
#include <cstdint>
#include <functional>

class QTimer;

inline constexpr int kIdlePollInternet = 6;
inline constexpr int kIdleQueueCapacity = 10;

class CIdleQueue : public QObject {
  Q_OBJECT

 public:
  explicit CIdleQueue(QObject* parent = nullptr);
  ~CIdleQueue() override;

  // The poll of the internet tasks: 0 when every task has finished, 1 while they only wait
  // for a network report, 2 when a task can take its next step at once.
  void SetPoll(std::function<int()> poll) { m_poll = std::move(poll); }

  // Makes action the pending one, or appends it while fewer than ten wait; else drops it.
  // Arms the timer.
  void QueueIdleAction(int action);
  // One idle period: runs the pending action; 0 (no more idle time wanted).
  int OnIdle(long count);
  // A network report arrived: the re-queued poll may run.
  void Wake();

  int GetPendingAction() const { return m_pending; }
  int GetQueueCount() const { return m_count; }
  int GetQueuedAction(int index) const { return m_queue[static_cast<std::size_t>(index)]; }
  bool IsTimerArmed() const;
  bool IsPollWaiting() const { return m_pollWaits; }
  // Empties the queue and stops the timer.
  void Clear();

 private:
  void Arm();
  void Append(int action);

  std::int32_t m_pending = 0;
  std::int16_t m_count = 0;
  std::array<std::int32_t, kIdleQueueCapacity> m_queue{};
  bool m_pollWaits = false;  // the re-queued poll waits for a network report
  std::function<int()> m_poll;
  QTimer* m_timer;
};
