#pragma once
// A CLAP host for the tests: loads the built bundle through clap_entry and plays the host's
// part as hosts do: event lists, streams that move a few bytes per call, timers whose ids
// start at 0, a watch on file descriptors, and a request_flush that flushes at once.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "clap/CLAPInterface.h"

std::string CLAPBundlePath();

class CLAPTestHost {
 public:
  // Which host extensions are offered; none at all is how scanners call.
  struct Offer {
    bool extensions = true;
    bool timers = true;
  };

  CLAPTestHost() : CLAPTestHost(Offer()) {}
  explicit CLAPTestHost(Offer offer, const std::string& bundle = CLAPBundlePath());
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

  // activate and start_processing.
  bool Start(double rate, uint32_t maxFrames);
  void Stop();

  // ---- Events: what the next process or flush gets, and what the plug-in sent ----
  void AddValue(uint32_t time, clap::clap_id id, double value);
  void AddRaw(const void* event, uint32_t size);
  std::vector<std::vector<uint8_t>> mIn;
  std::vector<std::vector<uint8_t>> mOut;
  // Gesture begin (+1), end (-1) and value (0) events sent, with their parameter ids.
  std::vector<std::pair<int, clap::clap_id>> OutSummary() const;

  // One block (in place when in == out); the input events are used up.
  clap::clap_process_status Process(float* const* in, float* const* out, uint32_t frames,
                                    uint64_t inputConstantMask = 0);
  clap::clap_process_status Process64(double* const* in, double* const* out, uint32_t frames);
  void Flush();

  double Value(clap::clap_id id) const;
  void SetValues(const std::vector<double>& values);  // ids 0.., through flush

  // ---- State through streams moving at most `step` bytes per call ----
  bool Save(std::vector<uint8_t>* pBytes, size_t step = 7, bool fail = false);
  bool Load(const std::vector<uint8_t>& bytes, size_t step = 5, bool fail = false);

  // ---- The main thread's loop: timers and file descriptors for a while ----
  void Pump(int milliseconds);
  std::map<clap::clap_id, uint32_t> mTimers;
  std::vector<int> mFDs;
  int mRescans = 0;
  int mFlushRequests = 0;
  uint32_t mResizeW = 0, mResizeH = 0;
  bool mActive = false;
  bool mProcessing = false;

 private:
  static const void* GetExtension(const clap::clap_host_t* host, const char* id);
  static CLAPTestHost* Self(const clap::clap_host_t* host);
  clap::clap_input_events_t InEvents();
  clap::clap_output_events_t OutEvents();

  Offer mOffer;
  void* mLibrary = nullptr;
  const clap::clap_plugin_entry_t* mEntry = nullptr;
  const clap::clap_plugin_factory_t* mFactory = nullptr;
  const clap::clap_plugin_t* mPlugin = nullptr;
  clap::clap_host_t mHost{};
  clap::clap_id mNextTimer = 0;
};
