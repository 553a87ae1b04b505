#include "clap/CLAPTestHost.h"

#include <dlfcn.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

using namespace clap;

namespace {

CLAPTestHost* Self(const clap_host_t* host) { return static_cast<CLAPTestHost*>(host->host_data); }

struct Stream {
  std::vector<uint8_t>* bytes;
  size_t pos, step;
  bool fail;
};

int64_t Write(const clap_ostream_t* s, const void* buffer, uint64_t size) {
  auto* st = static_cast<Stream*>(s->ctx);
  const size_t n = std::min<size_t>(size, st->step);
  st->bytes->insert(st->bytes->end(), (const uint8_t*)buffer, (const uint8_t*)buffer + n);
  return st->fail ? -1 : (int64_t)n;
}

int64_t Read(const clap_istream_t* s, void* buffer, uint64_t size) {
  auto* st = static_cast<Stream*>(s->ctx);
  if (st->fail && st->pos > 0) return -1;
  const size_t n = std::min<size_t>({size, st->step, st->bytes->size() - st->pos});
  if (n > 0) std::memcpy(buffer, st->bytes->data() + st->pos, n);
  st->pos += n;
  return (int64_t)n;
}

const clap_host_params_t kParams = {[](const clap_host_t* h, uint32_t) { ++Self(h)->mRescans; },
                                    [](const clap_host_t*, clap_id, uint32_t) {},
                                    [](const clap_host_t* h) {
                                      // As some hosts do: at once, in the caller's thread, when not
                                      // processing.
                                      ++Self(h)->mFlushRequests;
                                      if (!Self(h)->mProcessing) Self(h)->Flush();
                                    }};
const clap_host_thread_check_t kThreads = {
    [](const clap_host_t* h) { return !Self(h)->mProcessing; },
    [](const clap_host_t* h) { return Self(h)->mProcessing; }};
const clap_host_timer_support_t kTimers = {
    [](const clap_host_t* h, uint32_t period, clap_id* id) {
      Self(h)->mTimers[*id = Self(h)->mNextTimer++] = period;
      return true;
    },
    [](const clap_host_t* h, clap_id id) { return Self(h)->mTimers.erase(id) == 1; }};
const clap_host_posix_fd_support_t kFDs = {
    [](const clap_host_t* h, int fd, uint32_t) {
      Self(h)->mFDs.push_back(fd);
      return true;
    },
    [](const clap_host_t*, int, uint32_t) { return true; },
    [](const clap_host_t* h, int fd) { return std::erase(Self(h)->mFDs, fd) == 1; }};

}  // namespace

CLAPTestHost::CLAPTestHost(bool extensions, const std::string& bundle) : mExtensions(extensions) {
  mHost = {kVersion, this, "clap-test-host", "", "", "1", GetExtension, nullptr, nullptr, nullptr};
  mHost.request_restart = mHost.request_process =
      mHost.request_callback = [](const clap_host_t*) {};
  mLibrary = dlopen(bundle.c_str(), RTLD_LOCAL | RTLD_LAZY);
  mEntry =
      mLibrary ? static_cast<const clap_plugin_entry_t*>(dlsym(mLibrary, "clap_entry")) : nullptr;
  if (mEntry && mEntry->init(bundle.c_str())) {
    mFactory = static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(kPluginFactoryID));
  } else {
    mEntry = nullptr;
  }
}

CLAPTestHost::~CLAPTestHost() {
  Destroy();
  if (mEntry) mEntry->deinit();
  if (mLibrary) dlclose(mLibrary);
}

const void* CLAPTestHost::GetExtension(const clap_host_t* host, const char* id) {
  const std::pair<const char*, const void*> offered[] = {{kExtParams, &kParams},
                                                         {kExtThreadCheck, &kThreads},
                                                         {kExtTimerSupport, &kTimers},
                                                         {kExtPosixFDSupport, &kFDs}};
  for (const auto& [name, table] : offered)
    if (Self(host)->mExtensions && !std::strcmp(id, name)) return table;
  return nullptr;
}

const clap_plugin_t* CLAPTestHost::Create() {
  if (!mFactory) return nullptr;
  mPlugin =
      mFactory->create_plugin(mFactory, &mHost, mFactory->get_plugin_descriptor(mFactory, 0)->id);
  if (mPlugin && !mPlugin->init(mPlugin)) Destroy();
  return mPlugin;
}

void CLAPTestHost::Destroy() {
  if (!mPlugin) return;
  Stop();
  mPlugin->destroy(mPlugin);
  mPlugin = nullptr;
}

bool CLAPTestHost::Start(double rate, uint32_t maxFrames) {
  if (!mPlugin->activate(mPlugin, rate, 1, maxFrames)) return false;
  mActive = mProcessing = true;
  return mPlugin->start_processing(mPlugin);
}

void CLAPTestHost::Stop() {
  if (mProcessing) mPlugin->stop_processing(mPlugin);
  if (mActive) mPlugin->deactivate(mPlugin);
  mActive = mProcessing = false;
}

void CLAPTestHost::AddRaw(const void* event, uint32_t size) {
  mIn.emplace_back((const uint8_t*)event, (const uint8_t*)event + size);
}

void CLAPTestHost::AddValue(uint32_t time, clap_id id, double value) {
  // As qtractor sends them: note id 0, channel and key -1.
  const clap_event_param_value_t e{
      {sizeof e, time, kCoreEventSpace, kEventParamValue, 0}, id, nullptr, 0, 0, -1, -1, value};
  AddRaw(&e, sizeof e);
}

clap_input_events_t CLAPTestHost::InEvents() {
  return {&mIn,
          [](const clap_input_events_t* l) {
            return (uint32_t) static_cast<decltype(mIn)*>(l->ctx)->size();
          },
          [](const clap_input_events_t* l, uint32_t i) {
            return reinterpret_cast<const clap_event_header_t*>(
                (*static_cast<decltype(mIn)*>(l->ctx))[i].data());
          }};
}

clap_output_events_t CLAPTestHost::OutEvents() {
  return {&mOut, [](const clap_output_events_t* l, const clap_event_header_t* e) {
            static_cast<decltype(mOut)*>(l->ctx)->emplace_back((const uint8_t*)e,
                                                               (const uint8_t*)e + e->size);
            return true;
          }};
}

template <class T>
clap_process_status CLAPTestHost::Process(T* const* in, T* const* out, uint32_t frames,
                                          uint64_t inputConstantMask) {
  clap_audio_buffer_t buffers[2] = {};
  for (int i = 0; i < 2; ++i) {
    T** channels = const_cast<T**>(i ? out : in);
    if constexpr (sizeof(T) == sizeof(float)) {
      buffers[i].data32 = channels;
    } else {
      buffers[i].data64 = channels;
    }
    buffers[i].channel_count = 2;
  }
  buffers[0].constant_mask = inputConstantMask;
  const clap_input_events_t inEvents = InEvents();
  const clap_output_events_t outEvents = OutEvents();
  const clap_process_t p{-1, frames, nullptr,   &buffers[0], &buffers[1],
                         1,  1,      &inEvents, &outEvents};
  const clap_process_status status = mPlugin->process(mPlugin, &p);
  mIn.clear();
  return status;
}
template clap_process_status CLAPTestHost::Process(float* const*, float* const*, uint32_t,
                                                   uint64_t);
template clap_process_status CLAPTestHost::Process(double* const*, double* const*, uint32_t,
                                                   uint64_t);

void CLAPTestHost::Flush() {
  const clap_input_events_t inEvents = InEvents();
  const clap_output_events_t outEvents = OutEvents();
  Ext<clap_plugin_params_t>(kExtParams)->flush(mPlugin, &inEvents, &outEvents);
  mIn.clear();
}

double CLAPTestHost::Value(clap_id id) const {
  double value = NAN;
  Ext<clap_plugin_params_t>(kExtParams)->get_value(mPlugin, id, &value);
  return value;
}

void CLAPTestHost::SetValues(const std::vector<double>& values) {
  for (size_t i = 0; i < values.size(); ++i) AddValue(0, (clap_id)i, values[i]);
  Flush();
}

bool CLAPTestHost::Save(std::vector<uint8_t>* pBytes, size_t step, bool fail) {
  Stream s{pBytes, 0, step, fail};
  const clap_ostream_t stream{&s, Write};
  return Ext<clap_plugin_state_t>(kExtState)->save(mPlugin, &stream);
}

bool CLAPTestHost::Load(std::vector<uint8_t> bytes, size_t step, bool fail) {
  Stream s{&bytes, 0, step, fail};
  const clap_istream_t stream{&s, Read};
  return Ext<clap_plugin_state_t>(kExtState)->load(mPlugin, &stream);
}

void CLAPTestHost::Pump(int milliseconds) {
  auto* timer = Ext<clap_plugin_timer_support_t>(kExtTimerSupport);
  auto* fd = Ext<clap_plugin_posix_fd_support_t>(kExtPosixFDSupport);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    std::vector<pollfd> watched;
    for (int f : mFDs) watched.push_back({f, POLLIN, 0});
    poll(watched.data(), watched.size(), 10);
    for (const pollfd& p : watched)
      if (p.revents & POLLIN) fd->on_fd(mPlugin, p.fd, kPosixFDRead);
    for (const auto& [id, period] : std::map(mTimers)) timer->on_timer(mPlugin, id);
  }
}
