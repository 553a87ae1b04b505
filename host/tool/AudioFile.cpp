#include "AudioFile.h"

#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// The container for a new file comes from its extension; unknown ones get WAV.
int FormatForPath(const std::string& path) {
  const auto dot = path.rfind('.');
  std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (ext == "aif" || ext == "aiff") return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
  if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  if (ext == "ogg" || ext == "oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

// libsndfile reads a cut-short file up to where it ends and notes in its log that the audio
// chunk promised more; that note is the only sign of the truncation.
bool DataChunkCutShort(SNDFILE* file, std::string* detail) {
  char log[8192] = "";
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof(log));
  for (const char* chunk : {"\ndata : ", "\nSSND : "}) {
    const char* at = strstr(log, chunk);
    long long promised = 0, held = 0;
    if (at && sscanf(at + strlen(chunk), "%lld (should be %lld)", &promised, &held) == 2) {
      *detail = "the header promises " + std::to_string(promised) +
                " bytes of audio but the file "
                "holds " +
                std::to_string(held);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ReadAudioFile(const std::string& path, AudioFile* audio, std::string* error) {
  if (access(path.c_str(), F_OK) != 0) {
    *error = path + ": no such file";
    return false;
  }
  if (access(path.c_str(), R_OK) != 0) {
    *error = path + ": cannot be read (permission denied)";
    return false;
  }
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    *error = path + ": not an audio file libsndfile can read (" + sf_strerror(nullptr) + ")";
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
    sf_close(file);
    *error = path + ": the file's header describes no usable audio";
    return false;
  }
  std::string detail;
  if (DataChunkCutShort(file, &detail)) {
    sf_close(file);
    *error = path + ": truncated, " + detail;
    return false;
  }
  const size_t frames = static_cast<size_t>(info.frames);
  std::vector<float> interleaved(frames * static_cast<size_t>(info.channels));
  const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  // A header promising more frames than the data holds is a truncated file.
  if (got != info.frames) {
    *error = path + ": truncated, the header promises " + std::to_string(info.frames) +
             " frames but only " + std::to_string(got) + " could be read";
    return false;
  }
  audio->sampleRate = info.samplerate;
  audio->format = info.format;
  audio->channels.assign(static_cast<size_t>(info.channels), std::vector<float>(frames));
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < audio->channels.size(); ++c)
      audio->channels[c][i] = interleaved[i * audio->channels.size() + c];
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioFile& audio, std::string* error) {
  SF_INFO info = {};
  info.samplerate = static_cast<int>(audio.sampleRate);
  info.channels = static_cast<int>(audio.channels.size());
  info.format = audio.format;
  // The input's format where it suits the output's extension, else one the extension implies.
  if (!info.format ||
      ((info.format & SF_FORMAT_TYPEMASK) != (FormatForPath(path) & SF_FORMAT_TYPEMASK)))
    info.format = FormatForPath(path);
  if (!sf_format_check(&info)) info.format = FormatForPath(path);
  if (!sf_format_check(&info)) {
    *error = path + ": cannot write " + std::to_string(info.channels) + " channels at " +
             std::to_string(info.samplerate) + " Hz in this format";
    return false;
  }
  const std::string temporary = path + ".part-" + std::to_string(getpid());
  SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
  if (!file) {
    *error = path + ": cannot be written (" + strerror(errno) + ")";
    return false;
  }
  // Integer formats clip samples beyond full scale rather than wrap them around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const size_t frames = audio.Frames(), count = audio.channels.size();
  std::vector<float> interleaved(frames * count);
  for (size_t i = 0; i < frames; ++i)
    for (size_t c = 0; c < count; ++c) interleaved[i * count + c] = audio.channels[c][i];
  const sf_count_t written =
      sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  const int closed = sf_close(file);
  if (written != static_cast<sf_count_t>(frames) || closed != 0 ||
      rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = strerror(errno);
    unlink(temporary.c_str());
    *error = path + ": writing failed (" + reason + ")";
    return false;
  }
  return true;
}
