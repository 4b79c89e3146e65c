#pragma once
// Timers of the windows behind one small service: Qt timers in the program, a clock advanced
// by hand in tests. A timer repeats every interval until it is killed; setting a timer that
// is already set starts its interval again.
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace zeph {

class ITimerService;

// Anything that receives timer ticks. Its timers die with it.
class CTimerOwner {
 public:
  CTimerOwner() = default;
  CTimerOwner(const CTimerOwner&) = delete;
  CTimerOwner& operator=(const CTimerOwner&) = delete;
  virtual ~CTimerOwner();

  // Starts (or restarts) timer id with an interval of milliseconds (at least 1); answers id.
  int SetTimer(int id, int milliseconds);
  // Stops timer id; false when it was not set.
  bool KillTimer(int id);
  void KillAllTimers();

  virtual void OnTimer(int id) = 0;

 private:
  ITimerService* m_service = nullptr;  // where this owner's timers are set
};

class ITimerService {
 public:
  virtual ~ITimerService() = default;
  virtual void SetTimer(CTimerOwner& owner, int id, int milliseconds) = 0;
  virtual bool KillTimer(CTimerOwner& owner, int id) = 0;
  virtual void KillTimers(CTimerOwner& owner) = 0;
};

// The service in use: Qt's timers unless another is installed.
ITimerService& GetTimerService();
// Installs a service (not owned); null restores Qt's. Set it before any timer is started.
void SetTimerService(ITimerService* service);

// Time advanced by hand: Advance fires every tick that falls due, in time order (timers due at
// the same moment in the order they were set).
class CManualTimerService final : public ITimerService {
 public:
  void SetTimer(CTimerOwner& owner, int id, int milliseconds) override;
  bool KillTimer(CTimerOwner& owner, int id) override;
  void KillTimers(CTimerOwner& owner) override;

  void Advance(int milliseconds);
  std::int64_t Now() const { return m_now; }
  bool IsSet(const CTimerOwner& owner, int id) const;
  // The interval of a set timer, 0 when it is not set.
  int IntervalOf(const CTimerOwner& owner, int id) const;

 private:
  struct Timer {
    CTimerOwner* owner;
    int id;
    int interval;
    std::int64_t due;
    std::uint64_t order;
  };
  std::vector<Timer> m_timers;
  std::int64_t m_now = 0;
  std::uint64_t m_nextOrder = 0;
};

}  // namespace zeph
