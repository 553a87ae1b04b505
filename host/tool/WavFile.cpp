#include "WavFile.h"

#include <sndfile.h>

bool ReadWav(const std::string& path, WavAudio* audio, std::string* error) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    *error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  std::vector<float> interleaved(static_cast<size_t>(info.frames) * info.channels);
  sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  audio->sampleRate = info.samplerate;
  audio->channels.assign(info.channels, std::vector<float>(static_cast<size_t>(frames)));
  for (sf_count_t i = 0; i < frames; ++i)
    for (int c = 0; c < info.channels; ++c)
      audio->channels[c][i] = interleaved[i * info.channels + c];
  return true;
}

bool WriteWav(const std::string& path, const WavAudio& audio, std::string* error) {
  SF_INFO info = {};
  info.samplerate = static_cast<int>(audio.sampleRate);
  info.channels = static_cast<int>(audio.channels.size());
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    *error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  std::vector<float> interleaved(audio.Frames() * audio.channels.size());
  for (size_t i = 0; i < audio.Frames(); ++i)
    for (size_t c = 0; c < audio.channels.size(); ++c)
      interleaved[i * audio.channels.size() + c] = audio.channels[c][i];
  sf_count_t written = sf_writef_float(file, interleaved.data(), audio.Frames());
  sf_close(file);
  if (written != static_cast<sf_count_t>(audio.Frames())) {
    *error = "short write to " + path;
    return false;
  }
  return true;
}
