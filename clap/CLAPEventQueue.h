#pragma once
// The editor's parameter changes on their way to the host: written on the main thread,
// read by whichever thread next runs process or flush. One writer, one reader, no lock, no
// allocation after construction.

#include <array>
#include <atomic>
#include <cstdint>

struct CLAPOutEvent {
  enum EKind : uint8_t { kBegin, kValue, kEnd };
  EKind mKind;
  int mParamIdx;
  double mValue;
};

class CLAPEventQueue {
 public:
  // A drag sends one value per pointer move; the host drains the queue every block or flush.
  static constexpr uint32_t kCapacity = 1024;

  // false when full: the host has stopped draining, and the change stays in the parameter.
  bool Push(const CLAPOutEvent& event) {
    const uint32_t tail = mTail.load(std::memory_order_relaxed);
    if (tail - mHead.load(std::memory_order_acquire) == kCapacity) return false;
    mEvents[tail % kCapacity] = event;
    mTail.store(tail + 1, std::memory_order_release);
    return true;
  }

  // The oldest event, without taking it; null when empty.
  const CLAPOutEvent* Front() const {
    const uint32_t head = mHead.load(std::memory_order_relaxed);
    if (head == mTail.load(std::memory_order_acquire)) return nullptr;
    return &mEvents[head % kCapacity];
  }

  void Pop() { mHead.store(mHead.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

  bool Empty() const { return Front() == nullptr; }

 private:
  std::array<CLAPOutEvent, kCapacity> mEvents{};
  std::atomic<uint32_t> mHead = 0;
  std::atomic<uint32_t> mTail = 0;
};
