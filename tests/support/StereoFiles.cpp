#include "support/StereoFiles.h"

#include <sndfile.h>

#include <cmath>

bool WriteStereo(const std::string& path, const std::vector<float>& interleaved, int rate) {
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const sf_count_t frames = (sf_count_t)interleaved.size() / 2;
  const bool ok = sf_writef_float(f, interleaved.data(), frames) == frames;
  return sf_close(f) == 0 && ok;
}

std::vector<float> ReadStereo(const std::string& path, int channels) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<float> data;
  if (info.channels == channels) {
    data.resize((size_t)info.frames * channels);
    data.resize((size_t)sf_readf_float(f, data.data(), info.frames) * channels);
  }
  sf_close(f);
  return data;
}

std::vector<float> TestSignal(int frames) {
  std::vector<float> data((size_t)frames * 2);
  for (int i = 0; i < frames; ++i) {
    data[2 * i] = (float)(0.6 * std::sin(0.011 * i));
    data[2 * i + 1] = (float)(0.4 * std::sin(0.037 * i + 1.0));
  }
  return data;
}
