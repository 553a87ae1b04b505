#pragma once
// A CLAP host for the tests: loads the built bundle through clap_entry and plays the host's
// part as hosts do: event lists, streams that move a few bytes per call, timers whose ids
// start at 0, a watch on file descriptors, and a request_flush that flushes at once.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "clap/CLAPInterface.h"

class CLAPTestHost {
 public:
  // Without extensions the host offers none at all, as scanners call.
  explicit CLAPTestHost(bool extensions = true, const std::string& bundle = ORVANTA_CLAP_BUNDLE);
  ~CLAPTestHost();
  CLAPTestHost(const CLAPTestHost&) = delete;
  CLAPTestHost& operator=(const CLAPTestHost&) = delete;

  const clap::clap_plugin_entry_t* Entry() const { return mEntry; }
  const clap::clap_plugin_factory_t* Factory() const { return mFactory; }
  // create_plugin and init; null when either fails.
  const clap::clap_plugin_t* Create();
  const clap::clap_plugin_t* Plugin() const { return mPlugin; }
  void Destroy();
  template <class T>
  const T* Ext(const char* id) const {
    return static_cast<const T*>(mPlugin->get_extension(mPlugin, id));
  }

  bool Start(double rate, uint32_t maxFrames);  // activate and start_processing
  void Stop();

  // Events for the next process or flush (used up there), and those the plug-in sent.
  void AddValue(uint32_t time, clap::clap_id id, double value);
  void AddRaw(const void* event, uint32_t size);
  std::vector<std::vector<uint8_t>> mIn, mOut;

  // One block of 32- or 64-bit channels (in place when in == out).
  template <class T>
  clap::clap_process_status Process(T* const* in, T* const* out, uint32_t frames,
                                    uint64_t inputConstantMask = 0);
  void Flush();
  double Value(clap::clap_id id) const;
  void SetValues(const std::vector<double>& values);  // ids 0.., through flush

  // State through streams moving at most `step` bytes per call; fail: the stream breaks.
  bool Save(std::vector<uint8_t>* pBytes, size_t step, bool fail = false);
  bool Load(std::vector<uint8_t> bytes, size_t step, bool fail = false);

  // The main thread's loop for a while: timers and readable file descriptors.
  void Pump(int milliseconds);
  std::map<clap::clap_id, uint32_t> mTimers;
  clap::clap_id mNextTimer = 0;  // from 0, as qtractor counts
  std::vector<int> mFDs;
  int mRescans = 0, mFlushRequests = 0;
  bool mActive = false, mProcessing = false;

 private:
  static const void* GetExtension(const clap::clap_host_t* host, const char* id);
  clap::clap_input_events_t InEvents();
  clap::clap_output_events_t OutEvents();

  bool mExtensions;
  void* mLibrary = nullptr;
  const clap::clap_plugin_entry_t* mEntry = nullptr;
  const clap::clap_plugin_factory_t* mFactory = nullptr;
  const clap::clap_plugin_t* mPlugin = nullptr;
  clap::clap_host_t mHost{};
};
