#pragma once
// Records the parameter events (gesture begin, value change, gesture end) a unit sends to the
// event listeners of its host, in the order they arrive.

#include <AudioToolbox/AudioToolbox.h>

#include <mutex>
#include <vector>

class HostEventLog {
 public:
  struct Event {
    AudioUnitEventType type;
    AudioUnitParameterID parameter;
    AudioUnitScope scope;
    AudioUnitElement element;
    AudioUnitParameterValue value;  // the unit's value at a value change, else 0
  };

  // Listens to every parameter of the unit on the global scope, element 0.
  explicit HostEventLog(AudioUnit unit);
  ~HostEventLog();
  HostEventLog(const HostEventLog&) = delete;
  HostEventLog& operator=(const HostEventLog&) = delete;

  bool Listening() const { return mListener != nullptr; }
  std::vector<Event> Events() const;
  void Clear();

 private:
  static void Heard(void* self, void* object, const AudioUnitEvent* event, UInt64 hostTime,
                    AudioUnitParameterValue value);

  AUEventListenerRef mListener = nullptr;
  mutable std::mutex mMutex;
  std::vector<Event> mEvents;
};
