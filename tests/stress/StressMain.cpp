// Drives one Orvanta unit from four threads at once, as a host does: its audio thread renders
// (through the fast-dispatch procedure and the Render selector), another thread automates the
// parameters, a third saves and restores the state, and the editor draws and is dragged. Beside
// it a plug-in written the obvious way, reading its parameters in its processing, renders
// through the block renderer with changes inside its blocks while two more threads set and
// show them. Built with the thread sanitizer, every data race among them is a report.
//
// usage: orvanta_stress [seconds]   (default 30)

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "effect/Orvanta.h"
#include "effect/OrvantaLayout.h"

namespace {

constexpr UInt32 kFrames = 512;
std::atomic<bool> gRunning{true};

OSStatus Pull(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32, UInt32 frames,
              AudioBufferList* io) {
  for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
    for (UInt32 i = 0; i < frames; ++i)
      static_cast<float*>(io->mBuffers[c].mData)[i] =
          static_cast<float>(0.5 * std::sin((ts->mSampleTime + i) * (c ? 0.013 : 0.021)));
  return noErr;
}

template <typename T>
OSStatus Set(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, const T& value) {
  return AudioUnitSetProperty(unit, id, scope, 0, &value, sizeof(T));
}

AudioStreamBasicDescription Stereo() {
  AudioStreamBasicDescription f = {};
  f.mSampleRate = 44100;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = kAudioFormatFlagsAudioUnitCanonical;
  f.mBytesPerPacket = f.mBytesPerFrame = 4;
  f.mFramesPerPacket = 1;
  f.mChannelsPerFrame = 2;
  f.mBitsPerChannel = 32;
  return f;
}

struct Counts {
  long renders = 0, badRenders = 0, changes = 0, saves = 0, badSaves = 0, draws = 0, drags = 0;
};

void Render(AudioUnit unit, AudioUnitRenderProc fast, void* storage, Counts& n) {
  std::vector<float> left(kFrames), right(kFrames);
  struct {
    UInt32 count;
    AudioBuffer buffers[2];
  } list = {2, {{1, kFrames * 4, left.data()}, {1, kFrames * 4, right.data()}}};
  auto* io = reinterpret_cast<AudioBufferList*>(&list);
  AudioTimeStamp ts = {};
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  while (gRunning) {
    AudioUnitRenderActionFlags flags = 0;
    const OSStatus s = n.renders % 2 ? fast(storage, &flags, &ts, 0, kFrames, io)
                                     : AudioUnitRender(unit, &flags, &ts, 0, kFrames, io);
    if (s != noErr || !std::isfinite(left[kFrames - 1]) || !std::isfinite(right[0])) ++n.badRenders;
    ts.mSampleTime += kFrames;
    ++n.renders;
  }
}

void Automate(AudioUnit unit, AudioUnitSetParameterProc fast, void* storage, Counts& n) {
  while (gRunning) {
    const AudioUnitParameterID id = n.changes % 3;
    const float dB = -94.0f + static_cast<float>(n.changes % 101);
    if (n.changes % 2)
      fast(storage, id, kAudioUnitScope_Global, 0, dB, 0);
    else
      AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, dB, 0);
    ++n.changes;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

void SaveAndRestore(AudioUnit unit, Counts& n) {
  while (gRunning) {
    CFPropertyListRef state = nullptr;
    UInt32 size = sizeof(state);
    OSStatus s = AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                                      &state, &size);
    if (s == noErr && state) {
      s = Set(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, state);
      CFRelease(state);
    }
    if (s != noErr) ++n.badSaves;
    ++n.saves;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// The editor's thread draws and takes the user's drags on the mono fader, handing each to the
// engine under the plug-in's lock as its window does.
void Draw(IGraphicsLinux* editor, Counts& n) {
  using namespace orvanta_editor;
  IMouseMod left(true);
  while (gRunning) {
    const int x = kMonoFaderX + 4, y = kFaderTop + 8 + int(n.drags * 37 % (kFaderLength - 16));
    {
      UTL_MutexLock lock(editor->DrawingLock());
      editor->OnMouseDown(x, y, &left);
      editor->OnMouseDrag(x, y + 5, &left);
      editor->OnMouseUp(x, y + 5, &left);
    }
    ++n.drags;
    if (editor->DrawDirty()) ++n.draws;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Reads its parameters themselves while processing: a gain in dB and a polarity switch.
class ValueReader : public IPluginAU {
 public:
  ValueReader()
      : IPluginAU(IPluginInstanceInfo(), 2, "2-2", 0, "Reader", "", "Maker", 0x10000,
                  FourCC("Rdr_"), FourCC("Mfr_"), 0, false, false, false) {
    GetParam(0)->InitDouble("Gain", 0.0, -60.0, 6.0, 0.1, "dB");
    GetParam(1)->InitBool("Invert", false);
  }
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override {
    const double gain = GetParam(0)->DBToAmp() * (GetParam(1)->Bool() ? -1.0 : 1.0);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i) out[c][i] = in[c][i] * gain;
  }
};

// The reader's audio thread: blocks with a change of each parameter inside them.
void RenderReader(IBlockRenderer& renderer, Counts& n) {
  std::vector<float> left(kFrames, 0.25f), right(kFrames, -0.25f);
  float* channels[] = {left.data(), right.data()};
  while (gRunning) {
    const IParamEvent events[] = {{17, 0, -1.0 * double(n.renders % 50)},
                                  {300, 1, double(n.renders % 2)}};
    renderer.Render(channels, channels, (int)kFrames, events, 2, n.renders % 64 == 0);
    if (!std::isfinite(left[kFrames - 1])) ++n.badRenders;
    ++n.renders;
  }
}

// Host and editor threads of the reader: set the values and show them.
void AutomateReader(ValueReader& reader, Counts& n) {
  char text[IParam::kDisplayTextSize];
  while (gRunning) {
    IPluginAU::SetParamProc(&reader, 0, kAudioUnitScope_Global, 0, -0.5f * float(n.changes % 90),
                            0);
    reader.GetParam(1)->SetNormalized(n.changes % 3 ? 1.0 : 0.0);
    reader.GetParam(n.changes % 2)->GetDisplayForHost(text);
    ++n.changes;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && (!strcmp(argv[1], "--help") || !strcmp(argv[1], "-h"))) {
    printf(
        "usage: orvanta_stress [seconds]\nRenders, automates, saves state and draws the editor "
        "of one unit from four threads at once, dragging a fader as a user would (default 30 "
        "seconds).\n");
    return 0;
  }
  const double seconds = argc > 1 ? atof(argv[1]) : 30.0;
  if (!(seconds > 0)) {
    fprintf(stderr, "orvanta_stress: \"%s\" is not a number of seconds\n", argv[1]);
    return 2;
  }
  // The bundle's images, found by its identifier when the effect builds its editor.
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(
      nullptr, reinterpret_cast<const UInt8*>(ORVANTA_BUNDLE_PATH), strlen(ORVANTA_BUNDLE_PATH),
      true);
  CFBundleRef bundle = url ? CFBundleCreate(nullptr, url) : nullptr;
  if (url) CFRelease(url);
  if (!bundle) {
    fprintf(stderr, "orvanta_stress: %s is not a bundle\n", ORVANTA_BUNDLE_PATH);
    return 1;
  }

  ComponentDescription description = {kAudioUnitType_Effect, FourCC("Qzvk"), FourCC("Qzvk"), 0, 0};
  AudioUnit unit = nullptr;
  Component component = RegisterComponent(
      &description, reinterpret_cast<ComponentRoutineUPP>(IPluginAU::IPluginAUEntry), 0, nullptr,
      nullptr, nullptr);
  AURenderCallbackStruct input = {Pull, nullptr};
  AudioUnitRenderProc fastRender = nullptr;
  AudioUnitSetParameterProc fastSet = nullptr;
  UInt32 size = sizeof(fastRender);
  if (!component || OpenAComponent(component, &unit) != noErr ||
      Set(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, Stereo()) != noErr ||
      Set(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, Stereo()) != noErr ||
      Set(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, kFrames) !=
          noErr ||
      Set(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, input) != noErr ||
      AudioUnitInitialize(unit) != noErr ||
      AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                           kAudioUnitRenderSelect, &fastRender, &size) != noErr ||
      AudioUnitGetProperty(unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                           kAudioUnitSetParameterSelect, &fastSet, &size) != noErr) {
    fprintf(stderr, "orvanta_stress: the unit could not be set up for rendering\n");
    return 1;
  }
  void* storage = GetComponentInstanceStorage(unit);
  auto* editor = static_cast<IGraphicsLinux*>(static_cast<IPluginBase*>(storage)->GetGUI());
  if (!editor) {
    fprintf(stderr, "orvanta_stress: the unit has no editor\n");
    return 1;
  }

  ValueReader reader;
  IBlockRenderer readerRenderer(&reader);
  if (!readerRenderer.Prepare(44100.0, (int)kFrames)) {
    fprintf(stderr, "orvanta_stress: the reader could not be prepared\n");
    return 1;
  }

  Counts audio, automation, state, drawing, readerAudio, readerHost;
  const auto start = std::chrono::steady_clock::now();
  std::thread threads[] = {
      std::thread(Render, unit, fastRender, storage, std::ref(audio)),
      std::thread(Automate, unit, fastSet, storage, std::ref(automation)),
      std::thread(SaveAndRestore, unit, std::ref(state)),
      std::thread(Draw, editor, std::ref(drawing)),
      std::thread(RenderReader, std::ref(readerRenderer), std::ref(readerAudio)),
      std::thread(AutomateReader, std::ref(reader), std::ref(readerHost)),
  };
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  gRunning = false;
  for (std::thread& t : threads) t.join();
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  CloseComponent(unit);
  CFRelease(bundle);

  printf(
      "%.1f s: %ld renders (%ld failed), %ld parameter changes, %ld state round trips "
      "(%ld failed), %ld drawing passes, %ld fader drags; reader: %ld blocks (%ld failed), "
      "%ld changes\n",
      took, audio.renders, audio.badRenders, automation.changes, state.saves, state.badSaves,
      drawing.draws, drawing.drags, readerAudio.renders, readerAudio.badRenders,
      readerHost.changes);
  return audio.badRenders || state.badSaves || !audio.renders || !drawing.draws ||
                 readerAudio.badRenders || !readerAudio.renders
             ? 1
             : 0;
}
