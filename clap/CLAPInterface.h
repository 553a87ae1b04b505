#pragma once
// The CLAP binary interface on Linux x86-64, declared here: plain C structs of data and
// function pointers whose field order is the ABI. Only what the wrapper and its test host
// use is declared; the layout checks at the end hold every struct to its published size.

#include <cstddef>
#include <cstdint>

namespace clap {

extern "C" {

struct clap_version_t {
  uint32_t major;
  uint32_t minor;
  uint32_t revision;
};
inline constexpr clap_version_t kVersion = {1, 2, 10};
inline constexpr bool IsCompatible(const clap_version_t& v) { return v.major >= 1; }

using clap_id = uint32_t;
inline constexpr clap_id kInvalidID = 0xFFFFFFFFu;
inline constexpr int kNameSize = 256;
inline constexpr int kPathSize = 1024;

// ---- Entry, factory, descriptor ----

struct clap_plugin_entry_t {
  clap_version_t clap_version;
  bool (*init)(const char* plugin_path);
  void (*deinit)();
  const void* (*get_factory)(const char* factory_id);
};

inline constexpr char kPluginFactoryID[] = "clap.plugin-factory";

struct clap_plugin_descriptor_t {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features;
};

struct clap_host_t;
struct clap_plugin_t;

struct clap_plugin_factory_t {
  uint32_t (*get_plugin_count)(const clap_plugin_factory_t* factory);
  const clap_plugin_descriptor_t* (*get_plugin_descriptor)(const clap_plugin_factory_t* factory,
                                                           uint32_t index);
  const clap_plugin_t* (*create_plugin)(const clap_plugin_factory_t* factory,
                                        const clap_host_t* host, const char* plugin_id);
};

// ---- Events ----

struct clap_event_header_t {
  uint32_t size;
  uint32_t time;
  uint16_t space_id;
  uint16_t type;
  uint32_t flags;
};

inline constexpr uint16_t kCoreEventSpace = 0;
enum : uint16_t {
  kEventParamValue = 5,
  kEventParamMod = 6,
  kEventParamGestureBegin = 7,
  kEventParamGestureEnd = 8,
};
inline constexpr uint32_t kEventIsLive = 1u << 0;

struct clap_event_param_value_t {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
};

struct clap_event_param_gesture_t {
  clap_event_header_t header;
  clap_id param_id;
};

struct clap_input_events_t {
  void* ctx;
  uint32_t (*size)(const clap_input_events_t* list);
  const clap_event_header_t* (*get)(const clap_input_events_t* list, uint32_t index);
};

struct clap_output_events_t {
  void* ctx;
  bool (*try_push)(const clap_output_events_t* list, const clap_event_header_t* event);
};

// ---- Processing ----

struct clap_audio_buffer_t {
  float** data32;
  double** data64;
  uint32_t channel_count;
  uint32_t latency;
  uint64_t constant_mask;
};

// Positions in beats and seconds are fixed point: value = round(x * 2^31).
using clap_beattime = int64_t;
using clap_sectime = int64_t;
inline constexpr double kTimeFactor = 2147483648.0;
enum : uint32_t {
  kTransportHasTempo = 1u << 0,
  kTransportHasBeatsTimeline = 1u << 1,
  kTransportHasSecondsTimeline = 1u << 2,
  kTransportHasTimeSignature = 1u << 3,
  kTransportIsPlaying = 1u << 4,
  kTransportIsLoopActive = 1u << 6,
};

struct clap_event_transport_t {
  clap_event_header_t header;
  uint32_t flags;
  clap_beattime song_pos_beats;
  clap_sectime song_pos_seconds;
  double tempo;
  double tempo_inc;
  clap_beattime loop_start_beats;
  clap_beattime loop_end_beats;
  clap_sectime loop_start_seconds;
  clap_sectime loop_end_seconds;
  clap_beattime bar_start;
  int32_t bar_number;
  uint16_t tsig_num;
  uint16_t tsig_denom;
};

struct clap_process_t {
  int64_t steady_time;
  uint32_t frames_count;
  const clap_event_transport_t* transport;
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  uint32_t audio_inputs_count;
  uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
};

using clap_process_status = int32_t;
enum : clap_process_status {
  kProcessError = 0,
  kProcessContinue = 1,
  kProcessContinueIfNotQuiet = 2,
  kProcessTail = 3,
  kProcessSleep = 4,
};

// ---- Plug-in and host objects ----

struct clap_plugin_t {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool (*init)(const clap_plugin_t* plugin);
  void (*destroy)(const clap_plugin_t* plugin);
  bool (*activate)(const clap_plugin_t* plugin, double sample_rate, uint32_t min_frames_count,
                   uint32_t max_frames_count);
  void (*deactivate)(const clap_plugin_t* plugin);
  bool (*start_processing)(const clap_plugin_t* plugin);
  void (*stop_processing)(const clap_plugin_t* plugin);
  void (*reset)(const clap_plugin_t* plugin);
  clap_process_status (*process)(const clap_plugin_t* plugin, const clap_process_t* process);
  const void* (*get_extension)(const clap_plugin_t* plugin, const char* id);
  void (*on_main_thread)(const clap_plugin_t* plugin);
};

struct clap_host_t {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void* (*get_extension)(const clap_host_t* host, const char* extension_id);
  void (*request_restart)(const clap_host_t* host);
  void (*request_process)(const clap_host_t* host);
  void (*request_callback)(const clap_host_t* host);
};

// ---- Streams ----

struct clap_istream_t {
  void* ctx;
  int64_t (*read)(const clap_istream_t* stream, void* buffer, uint64_t size);
};

struct clap_ostream_t {
  void* ctx;
  int64_t (*write)(const clap_ostream_t* stream, const void* buffer, uint64_t size);
};

// ---- Extensions ----

inline constexpr char kExtAudioPorts[] = "clap.audio-ports";
inline constexpr char kExtParams[] = "clap.params";
inline constexpr char kExtState[] = "clap.state";
inline constexpr char kExtGUI[] = "clap.gui";
inline constexpr char kExtLatency[] = "clap.latency";
inline constexpr char kExtTail[] = "clap.tail";
inline constexpr char kExtNotePorts[] = "clap.note-ports";
inline constexpr char kExtThreadCheck[] = "clap.thread-check";
inline constexpr char kExtTimerSupport[] = "clap.timer-support";
inline constexpr char kExtPosixFDSupport[] = "clap.posix-fd-support";

inline constexpr char kPortStereo[] = "stereo";
enum : uint32_t {
  kAudioPortIsMain = 1u << 0,
  kAudioPortSupports64Bits = 1u << 1,
};

struct clap_audio_port_info_t {
  clap_id id;
  char name[kNameSize];
  uint32_t flags;
  uint32_t channel_count;
  const char* port_type;
  clap_id in_place_pair;
};

struct clap_plugin_audio_ports_t {
  uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
  bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input,
              clap_audio_port_info_t* info);
};

enum : uint32_t {
  kParamIsStepped = 1u << 0,
  kParamIsBypass = 1u << 4,
  kParamIsAutomatable = 1u << 5,
};

struct clap_param_info_t {
  clap_id id;
  uint32_t flags;
  void* cookie;
  char name[kNameSize];
  char module[kPathSize];
  double min_value;
  double max_value;
  double default_value;
};

struct clap_plugin_params_t {
  uint32_t (*count)(const clap_plugin_t* plugin);
  bool (*get_info)(const clap_plugin_t* plugin, uint32_t param_index,
                   clap_param_info_t* param_info);
  bool (*get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
  bool (*value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value,
                        char* out_buffer, uint32_t out_buffer_capacity);
  bool (*text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text,
                        double* out_value);
  void (*flush)(const clap_plugin_t* plugin, const clap_input_events_t* in,
                const clap_output_events_t* out);
};

inline constexpr uint32_t kParamRescanValues = 1u << 0;

struct clap_host_params_t {
  void (*rescan)(const clap_host_t* host, uint32_t flags);
  void (*clear)(const clap_host_t* host, clap_id param_id, uint32_t flags);
  void (*request_flush)(const clap_host_t* host);
};

struct clap_plugin_state_t {
  bool (*save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
  bool (*load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};

struct clap_host_state_t {
  void (*mark_dirty)(const clap_host_t* host);
};

inline constexpr char kWindowAPIX11[] = "x11";

struct clap_window_t {
  const char* api;
  union {
    unsigned long x11;
    void* ptr;
  };
};

struct clap_gui_resize_hints_t {
  bool can_resize_horizontally;
  bool can_resize_vertically;
  bool preserve_aspect_ratio;
  uint32_t aspect_ratio_width;
  uint32_t aspect_ratio_height;
};

struct clap_plugin_gui_t {
  bool (*is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  bool (*get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
  bool (*create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
  void (*destroy)(const clap_plugin_t* plugin);
  bool (*set_scale)(const clap_plugin_t* plugin, double scale);
  bool (*get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool (*can_resize)(const clap_plugin_t* plugin);
  bool (*get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
  bool (*adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
  bool (*set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
  bool (*set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
  bool (*set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
  void (*suggest_title)(const clap_plugin_t* plugin, const char* title);
  bool (*show)(const clap_plugin_t* plugin);
  bool (*hide)(const clap_plugin_t* plugin);
};

struct clap_host_gui_t {
  void (*resize_hints_changed)(const clap_host_t* host);
  bool (*request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
  bool (*request_show)(const clap_host_t* host);
  bool (*request_hide)(const clap_host_t* host);
  void (*closed)(const clap_host_t* host, bool was_destroyed);
};

struct clap_plugin_latency_t {
  uint32_t (*get)(const clap_plugin_t* plugin);
};

struct clap_plugin_tail_t {
  uint32_t (*get)(const clap_plugin_t* plugin);
};

struct clap_note_port_info_t {
  clap_id id;
  uint32_t supported_dialects;
  uint32_t preferred_dialect;
  char name[kNameSize];
};

struct clap_plugin_note_ports_t {
  uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
  bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input,
              clap_note_port_info_t* info);
};

struct clap_host_thread_check_t {
  bool (*is_main_thread)(const clap_host_t* host);
  bool (*is_audio_thread)(const clap_host_t* host);
};

struct clap_plugin_timer_support_t {
  void (*on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};

struct clap_host_timer_support_t {
  bool (*register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
  bool (*unregister_timer)(const clap_host_t* host, clap_id timer_id);
};

enum : uint32_t { kPosixFDRead = 1u << 0, kPosixFDWrite = 1u << 1, kPosixFDError = 1u << 2 };

struct clap_plugin_posix_fd_support_t {
  void (*on_fd)(const clap_plugin_t* plugin, int fd, uint32_t flags);
};

struct clap_host_posix_fd_support_t {
  bool (*register_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool (*modify_fd)(const clap_host_t* host, int fd, uint32_t flags);
  bool (*unregister_fd)(const clap_host_t* host, int fd);
};

}  // extern "C"

// The published layout; a mismatch here would be a silent crash in a host.
static_assert(sizeof(clap_version_t) == 12);
static_assert(sizeof(clap_plugin_entry_t) == 40 && offsetof(clap_plugin_entry_t, init) == 16);
static_assert(sizeof(clap_plugin_factory_t) == 24);
static_assert(sizeof(clap_plugin_descriptor_t) == 88 &&
              offsetof(clap_plugin_descriptor_t, features) == 80);
static_assert(sizeof(clap_plugin_t) == 96 && offsetof(clap_plugin_t, on_main_thread) == 88);
static_assert(sizeof(clap_host_t) == 88 && offsetof(clap_host_t, get_extension) == 56);
static_assert(sizeof(clap_process_t) == 64 && offsetof(clap_process_t, in_events) == 48);
static_assert(sizeof(clap_event_transport_t) == 104 &&
              offsetof(clap_event_transport_t, song_pos_beats) == 24 &&
              offsetof(clap_event_transport_t, tsig_denom) == 102);
static_assert(sizeof(clap_audio_buffer_t) == 32 &&
              offsetof(clap_audio_buffer_t, constant_mask) == 24);
static_assert(sizeof(clap_event_header_t) == 16);
static_assert(sizeof(clap_event_param_value_t) == 56 &&
              offsetof(clap_event_param_value_t, value) == 48);
static_assert(sizeof(clap_event_param_gesture_t) == 20);
static_assert(sizeof(clap_input_events_t) == 24 && sizeof(clap_output_events_t) == 16);
static_assert(sizeof(clap_istream_t) == 16 && sizeof(clap_ostream_t) == 16);
static_assert(sizeof(clap_audio_port_info_t) == 288 &&
              offsetof(clap_audio_port_info_t, flags) == 260 &&
              offsetof(clap_audio_port_info_t, in_place_pair) == 280);
static_assert(sizeof(clap_param_info_t) == 1320 && offsetof(clap_param_info_t, module) == 272 &&
              offsetof(clap_param_info_t, min_value) == 1296);
static_assert(sizeof(clap_plugin_params_t) == 48 && sizeof(clap_host_params_t) == 24);
static_assert(sizeof(clap_window_t) == 16 && sizeof(clap_gui_resize_hints_t) == 12);
static_assert(sizeof(clap_plugin_gui_t) == 120 && sizeof(clap_host_gui_t) == 40);
static_assert(sizeof(clap_note_port_info_t) == 268);
static_assert(sizeof(clap_host_timer_support_t) == 16 &&
              sizeof(clap_host_posix_fd_support_t) == 24);

}  // namespace clap
