// Writes stereo-demo.wav: a short stereo piece for the demo. A bass line sits in the middle;
// plucked notes are panned left and right and a pad drifts between the sides, so the file
// has a clear mid and a clear side part for the effect to rebalance.
//   orvanta_make_example OUT.wav

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: orvanta_make_example OUT.wav\n");
    return 2;
  }
  constexpr int kRate = 22050;
  constexpr double kBeat = 0.3125;  // 96 beats per minute, in eighths
  constexpr int kBeats = 8;
  constexpr double kPi = 3.14159265358979323846;
  const size_t frames = static_cast<size_t>(kBeats * kBeat * kRate);
  const double bass[kBeats] = {55.0, 55.0, 65.41, 65.41, 49.0, 49.0, 73.42, 55.0};
  const double pluck[kBeats] = {440.0, 659.26, 523.25, 783.99, 392.0, 587.33, 440.0, 880.0};
  std::vector<float> interleaved(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    const double t = double(i) / kRate;
    const int beat = static_cast<int>(t / kBeat);
    const double inBeat = t - beat * kBeat;
    const double fade = std::min(1.0, std::min(t, double(frames) / kRate - t) * 20);
    const double mid = 0.3 * std::sin(2 * kPi * bass[beat] * t) * std::exp(-inBeat * 3);
    const double note = 0.25 * std::sin(2 * kPi * pluck[beat] * t) * std::exp(-inBeat * 9);
    const double pan = beat % 2 ? 0.2 : 0.8;  // alternate notes lean right and left
    const double pad = 0.08 * std::sin(2 * kPi * 220 * t);
    const double drift = 0.5 + 0.5 * std::sin(2 * kPi * 0.4 * t);
    interleaved[2 * i] = static_cast<float>(fade * (mid + note * pan + pad * drift));
    interleaved[2 * i + 1] =
        static_cast<float>(fade * (mid + note * (1 - pan) + pad * (1 - drift)));
  }
  SF_INFO info = {};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
  if (!file) {
    fprintf(stderr, "orvanta_make_example: %s: %s\n", argv[1], sf_strerror(nullptr));
    return 1;
  }
  const sf_count_t written =
      sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
  return written == static_cast<sf_count_t>(frames) ? 0 : 1;
}
