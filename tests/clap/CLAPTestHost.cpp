#include "clap/CLAPTestHost.h"

#include <dlfcn.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using namespace clap;

std::string CLAPBundlePath() { return ORVANTA_CLAP_BUNDLE; }

namespace {

struct Stream {
  std::vector<uint8_t>* bytes;
  size_t pos = 0;
  size_t step;
  bool fail;
};

int64_t Write(const clap_ostream_t* s, const void* buffer, uint64_t size) {
  auto* st = static_cast<Stream*>(s->ctx);
  if (st->fail) return -1;
  const size_t n = std::min<size_t>(size, st->step);
  st->bytes->insert(st->bytes->end(), (const uint8_t*)buffer, (const uint8_t*)buffer + n);
  return (int64_t)n;
}

int64_t Read(const clap_istream_t* s, void* buffer, uint64_t size) {
  auto* st = static_cast<Stream*>(s->ctx);
  if (st->fail && st->pos > 0) return -1;
  const size_t n = std::min<size_t>({size, st->step, st->bytes->size() - st->pos});
  std::memcpy(buffer, st->bytes->data() + st->pos, n);
  st->pos += n;
  return (int64_t)n;
}

}  // namespace

CLAPTestHost::CLAPTestHost(Offer offer, const std::string& bundle) : mOffer(offer) {
  mHost.clap_version = kVersion;
  mHost.host_data = this;
  mHost.name = "clap-test-host";
  mHost.vendor = mHost.url = "";
  mHost.version = "1";
  mHost.get_extension = GetExtension;
  mHost.request_restart = mHost.request_process =
      mHost.request_callback = [](const clap_host_t*) {};
  mLibrary = dlopen(bundle.c_str(), RTLD_LOCAL | RTLD_LAZY);
  if (!mLibrary) return;
  mEntry = static_cast<const clap_plugin_entry_t*>(dlsym(mLibrary, "clap_entry"));
  if (!mEntry || !mEntry->init(bundle.c_str())) {
    mEntry = nullptr;
    return;
  }
  mFactory = static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(kPluginFactoryID));
}

CLAPTestHost::~CLAPTestHost() {
  Destroy();
  if (mEntry) mEntry->deinit();
  if (mLibrary) dlclose(mLibrary);
}

CLAPTestHost* CLAPTestHost::Self(const clap_host_t* host) {
  return static_cast<CLAPTestHost*>(host->host_data);
}

const void* CLAPTestHost::GetExtension(const clap_host_t* host, const char* id) {
  CLAPTestHost* self = Self(host);
  if (!self->mOffer.extensions) return nullptr;
  static const clap_host_params_t params = {
      [](const clap_host_t* h, uint32_t) { ++Self(h)->mRescans; },
      [](const clap_host_t*, clap_id, uint32_t) {},
      [](const clap_host_t* h) {
        // As some hosts do: flush at once, in the caller's thread, when not processing.
        CLAPTestHost* s = Self(h);
        ++s->mFlushRequests;
        if (!s->mProcessing) s->Flush();
      }};
  static const clap_host_thread_check_t threads = {
      [](const clap_host_t* h) { return !Self(h)->mProcessing; },
      [](const clap_host_t* h) { return Self(h)->mProcessing; }};
  static const clap_host_timer_support_t timers = {
      [](const clap_host_t* h, uint32_t period, clap_id* id) {
        *id = Self(h)->mNextTimer++;
        Self(h)->mTimers[*id] = period;
        return true;
      },
      [](const clap_host_t* h, clap_id id) { return Self(h)->mTimers.erase(id) == 1; }};
  static const clap_host_posix_fd_support_t fds = {
      [](const clap_host_t* h, int fd, uint32_t) {
        Self(h)->mFDs.push_back(fd);
        return true;
      },
      [](const clap_host_t*, int, uint32_t) { return true; },
      [](const clap_host_t* h, int fd) {
        auto& v = Self(h)->mFDs;
        const auto it = std::find(v.begin(), v.end(), fd);
        if (it == v.end()) return false;
        v.erase(it);
        return true;
      }};
  static const clap_host_gui_t gui = {[](const clap_host_t*) {},
                                      [](const clap_host_t* h, uint32_t w, uint32_t hh) {
                                        Self(h)->mResizeW = w;
                                        Self(h)->mResizeH = hh;
                                        return true;
                                      },
                                      [](const clap_host_t*) { return true; },
                                      [](const clap_host_t*) { return true; },
                                      [](const clap_host_t*, bool) {}};
  if (!std::strcmp(id, kExtParams)) return &params;
  if (!std::strcmp(id, kExtThreadCheck)) return &threads;
  if (!std::strcmp(id, kExtGUI)) return &gui;
  if (!self->mOffer.timers) return nullptr;
  if (!std::strcmp(id, kExtTimerSupport)) return &timers;
  if (!std::strcmp(id, kExtPosixFDSupport)) return &fds;
  return nullptr;
}

const clap_plugin_t* CLAPTestHost::Create() {
  if (!mFactory) return nullptr;
  const clap_plugin_descriptor_t* desc = mFactory->get_plugin_descriptor(mFactory, 0);
  mPlugin = mFactory->create_plugin(mFactory, &mHost, desc->id);
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
  clap_event_param_value_t e{};
  e.header = {sizeof e, time, kCoreEventSpace, kEventParamValue, 0};
  e.param_id = id;
  e.note_id = 0;  // as qtractor sends them
  e.channel = e.key = -1;
  e.value = value;
  AddRaw(&e, sizeof e);
}

std::vector<std::pair<int, clap_id>> CLAPTestHost::OutSummary() const {
  std::vector<std::pair<int, clap_id>> summary;
  for (const auto& bytes : mOut) {
    clap_event_header_t h;
    std::memcpy(&h, bytes.data(), sizeof h);
    clap_id id;
    std::memcpy(&id, bytes.data() + 16, sizeof id);
    const int kind = h.type == kEventParamGestureBegin ? 1
                     : h.type == kEventParamGestureEnd ? -1
                                                       : 0;
    summary.emplace_back(kind, id);
  }
  return summary;
}

clap_input_events_t CLAPTestHost::InEvents() {
  return {this,
          [](const clap_input_events_t* l) {
            return (uint32_t) static_cast<CLAPTestHost*>(l->ctx)->mIn.size();
          },
          [](const clap_input_events_t* l, uint32_t i) {
            auto& in = static_cast<CLAPTestHost*>(l->ctx)->mIn;
            return i < in.size() ? reinterpret_cast<const clap_event_header_t*>(in[i].data())
                                 : nullptr;
          }};
}

clap_output_events_t CLAPTestHost::OutEvents() {
  return {this, [](const clap_output_events_t* l, const clap_event_header_t* e) {
            auto* self = static_cast<CLAPTestHost*>(l->ctx);
            self->mOut.emplace_back((const uint8_t*)e, (const uint8_t*)e + e->size);
            return true;
          }};
}

clap_process_status CLAPTestHost::Process(float* const* in, float* const* out, uint32_t frames,
                                          uint64_t inputConstantMask) {
  clap_audio_buffer_t inBuf{const_cast<float**>(in), nullptr, 2, 0, inputConstantMask};
  clap_audio_buffer_t outBuf{const_cast<float**>(out), nullptr, 2, 0, 0};
  const clap_input_events_t inEvents = InEvents();
  const clap_output_events_t outEvents = OutEvents();
  const clap_process_t p{-1, frames, nullptr, &inBuf, &outBuf, 1, 1, &inEvents, &outEvents};
  const clap_process_status status = mPlugin->process(mPlugin, &p);
  mIn.clear();
  return status;
}

clap_process_status CLAPTestHost::Process64(double* const* in, double* const* out,
                                            uint32_t frames) {
  clap_audio_buffer_t inBuf{nullptr, const_cast<double**>(in), 2, 0, 0};
  clap_audio_buffer_t outBuf{nullptr, const_cast<double**>(out), 2, 0, 0};
  const clap_input_events_t inEvents = InEvents();
  const clap_output_events_t outEvents = OutEvents();
  const clap_process_t p{-1, frames, nullptr, &inBuf, &outBuf, 1, 1, &inEvents, &outEvents};
  const clap_process_status status = mPlugin->process(mPlugin, &p);
  mIn.clear();
  return status;
}

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

bool CLAPTestHost::Load(const std::vector<uint8_t>& bytes, size_t step, bool fail) {
  std::vector<uint8_t> copy = bytes;
  Stream s{&copy, 0, step, fail};
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
    const auto timers = mTimers;
    for (const auto& [id, period] : timers) timer->on_timer(mPlugin, id);
  }
}
