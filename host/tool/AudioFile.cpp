#include "AudioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>

AudioReader::~AudioReader() {
  if (mFile) sf_close(mFile);
}

bool AudioReader::Open(const std::string& path, std::string* error) {
  mPath = path;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (fd < 0 || fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    const int cause = fd < 0 ? errno : EISDIR;
    if (fd >= 0) close(fd);
    *error = path + (cause == ENOENT ? ": no such file" : ": cannot be read (") +
             (cause == ENOENT ? "" : std::string(strerror(cause)) + ")");
    return false;
  }
  mPromised = HeaderPromisedFrames(fd);
  mFile = sf_open_fd(fd, SFM_READ, &mInfo, SF_TRUE);  // closes fd, even when it fails
  if (!mFile) {
    *error = path + ": not an audio file libsndfile can read (" + sf_strerror(nullptr) + ")";
    return false;
  }
  if (mInfo.channels < 1 || mInfo.samplerate < 1) {
    *error = path + ": the file's header describes no usable audio";
    return false;
  }
  // Where the header itself says nothing, libsndfile's count is the promise; it uses the
  // largest count for an open length.
  if (mPromised == kUnknownFrames && mInfo.frames >= 0 && mInfo.frames != SF_COUNT_MAX)
    mPromised = mInfo.frames;
  return true;
}

size_t AudioReader::Read(float* const* channels, size_t capacity) {
  if (!mFile || mFailed || capacity == 0) return 0;
  const size_t count = static_cast<size_t>(mInfo.channels);
  if (mInterleaved.size() < capacity * count) mInterleaved.resize(capacity * count);
  sf_count_t got = 0;
  if ((mInfo.format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE) {
    // Narrowed here rather than by libsndfile, so that values too large for a float are
    // counted as what they are.
    if (mWide.size() < capacity * count) mWide.resize(capacity * count);
    got = sf_readf_double(mFile, mWide.data(), static_cast<sf_count_t>(capacity));
    for (size_t i = 0; i < size_t(std::max<sf_count_t>(got, 0)) * count; ++i) {
      const double value = mWide[i];
      const bool beyond = std::isfinite(value) && std::fabs(value) > FLT_MAX;
      mBeyondFloat += beyond;
      mInterleaved[i] = !beyond ? static_cast<float>(value) : value > 0 ? INFINITY : -INFINITY;
    }
  } else {
    got = sf_readf_float(mFile, mInterleaved.data(), static_cast<sf_count_t>(capacity));
  }
  if (got < static_cast<sf_count_t>(capacity) && sf_error(mFile) != SF_ERR_NO_ERROR) mFailed = true;
  if (got <= 0) return 0;
  const size_t frames = static_cast<size_t>(got);
  for (size_t c = 0; c < count; ++c)
    for (size_t i = 0; i < frames; ++i) channels[c][i] = mInterleaved[i * count + c];
  mRead += got;
  return frames;
}

bool AudioReader::Finish(std::string* error) const {
  if (mPromised != kUnknownFrames && mRead < mPromised) {
    *error = mPath + ": truncated, the header promises " + std::to_string(mPromised) +
             " frames but only " + std::to_string(mRead) + " could be read";
    return false;
  }
  if (mFailed) {
    *error =
        mPath + ": damaged after frame " + std::to_string(mRead) + " (" + sf_strerror(mFile) + ")";
    return false;
  }
  return true;
}

namespace {

struct Container {
  const char* extensions[3];
  int format;
  bool streams;  // written front to back, without going back to complete a header
};
const Container kContainers[] = {
    {{"wav", "wave"}, SF_FORMAT_WAV, false},
    {{"aif", "aiff", "aifc"}, SF_FORMAT_AIFF, false},
    {{"flac"}, SF_FORMAT_FLAC, true},
    {{"caf"}, SF_FORMAT_CAF, false},
    {{"w64"}, SF_FORMAT_W64, false},
    {{"rf64"}, SF_FORMAT_RF64, false},
    {{"au", "snd"}, SF_FORMAT_AU, true},
    {{"ogg", "oga"}, SF_FORMAT_OGG, true},
    {{"opus"}, SF_FORMAT_OGG | SF_FORMAT_OPUS, true},
};

// The container an extension names (WAV for none), or null for an unknown one.
const Container* ContainerFor(const std::string& extension) {
  std::string lower = extension.empty() ? "wav" : extension;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  for (const Container& container : kContainers)
    for (const char* known : container.extensions)
      if (known && lower == known) return &container;
  return nullptr;
}

std::string ExtensionOf(const std::string& path) {
  const std::string name = path.substr(path.rfind('/') + 1);
  const auto dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? "" : name.substr(dot + 1);
}

}  // namespace

SF_VIRTUAL_IO AudioWriter::sIo = {
    [](void* self) -> sf_count_t {
      auto* writer = static_cast<AudioWriter*>(self);
      struct stat status;
      if (writer->mStream) return writer->mStreamed;
      return fstat(writer->mFd, &status) == 0 ? status.st_size : -1;
    },
    [](sf_count_t offset, int whence, void* self) -> sf_count_t {
      auto* writer = static_cast<AudioWriter*>(self);
      if (writer->mStream) {
        // Only staying where the stream is works; what is written after any other seek was
        // meant for a place the stream has passed, and is dropped.
        const sf_count_t to = whence == SEEK_CUR   ? writer->mStreamed + offset
                              : whence == SEEK_SET ? offset
                                                   : -1;
        writer->mSkipping = to != writer->mStreamed;
        return writer->mSkipping ? -1 : to;
      }
      const off_t at = lseek(writer->mFd, offset, whence);
      if (at < 0 && !writer->mWriteError) writer->mWriteError = errno;
      return at;
    },
    [](void* bytes, sf_count_t count, void* self) -> sf_count_t {
      const ssize_t got = read(static_cast<AudioWriter*>(self)->mFd, bytes, size_t(count));
      return got < 0 ? 0 : got;
    },
    [](const void* bytes, sf_count_t count, void* self) -> sf_count_t {
      auto* writer = static_cast<AudioWriter*>(self);
      if (writer->mSkipping) return count;
      const char* at = static_cast<const char*>(bytes);
      sf_count_t done = 0;
      while (done < count) {
        const ssize_t written = write(writer->mFd, at + done, size_t(count - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
          if (!writer->mWriteError) writer->mWriteError = written < 0 ? errno : EIO;
          break;
        }
        done += written;
      }
      writer->mStreamed += done;
      return done;
    },
    [](void* self) -> sf_count_t {
      auto* writer = static_cast<AudioWriter*>(self);
      return writer->mStream ? writer->mStreamed : lseek(writer->mFd, 0, SEEK_CUR);
    },
};

AudioWriter::~AudioWriter() {
  if (mFile) sf_close(mFile);
}

bool AudioWriter::Open(const std::string& path, double sampleRate, int channels, int sampleFormat,
                       std::string* error, const std::string& format) {
  mPath = path;
  const std::string extension = format.empty() ? ExtensionOf(path) : format;
  const Container* chosen = ContainerFor(extension);
  if (!chosen) {
    *error = path + ": cannot write \"." + extension +
             "\" files; the extensions written are .wav .aiff .flac .caf .w64 .rf64 .au .ogg "
             ".opus";
    return false;
  }
  const int container = chosen->format;
  mInfo = {};
  mInfo.samplerate = static_cast<int>(sampleRate);
  mInfo.channels = channels;
  // The given sample format first, then the finest one the container holds.
  const int wanted[] = {sampleFormat & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT, SF_FORMAT_PCM_24,
                        SF_FORMAT_PCM_16, SF_FORMAT_VORBIS};
  bool possible = false;
  for (int sample : wanted) {
    mInfo.format = (container & SF_FORMAT_SUBMASK) ? container : container | sample;
    if ((possible = sample && sf_format_check(&mInfo))) break;
  }
  if (!possible) {
    *error = path + ": a ." + (extension.empty() ? "wav" : extension) + " file cannot hold " +
             std::to_string(channels) + " channels at " + std::to_string(mInfo.samplerate) + " Hz";
    return false;
  }
  if (!mOutput.Open(path, error)) return false;
  mFd = mOutput.Descriptor();
  mWriteError = 0;
  mStream = lseek(mFd, 0, SEEK_CUR) < 0;
  if (mStream && !chosen->streams) {
    *error = path + ": a pipe cannot take a ." + (extension.empty() ? "wav" : extension) +
             " file, whose header is completed at its end; the formats that stream are .au "
             ".flac .ogg .opus (for - or a name without one, choose with --format)";
    mOutput.Abandon();
    return false;
  }
  // Into a pipe, libsndfile writes a header that needs no completing, except for FLAC: its
  // encoder goes back for the length, and the writes meant for there would trail the stream.
  mStreamed = 0;
  mSkipping = false;
  mFile = !mStream || container == SF_FORMAT_FLAC ? sf_open_virtual(&sIo, SFM_WRITE, &mInfo, this)
                                                  : sf_open_fd(mFd, SFM_WRITE, &mInfo, SF_FALSE);
  if (!mFile) {
    *error = path + ": cannot be written (" + sf_strerror(nullptr) + ")";
    mOutput.Abandon();
    return false;
  }
  sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const int sample = mInfo.format & SF_FORMAT_SUBMASK;
  mClips = sample != SF_FORMAT_FLOAT && sample != SF_FORMAT_DOUBLE && sample != SF_FORMAT_VORBIS &&
           sample != SF_FORMAT_OPUS;
  mClipped.assign(size_t(channels), 0);
  mPeak = 0;
  return true;
}

bool AudioWriter::Write(const float* const* channels, size_t frames, std::string* error) {
  const size_t count = static_cast<size_t>(mInfo.channels);
  if (mInterleaved.size() < frames * count) mInterleaved.resize(frames * count);
  for (size_t c = 0; c < count; ++c)
    for (size_t i = 0; i < frames; ++i) {
      const float sample = channels[c][i];
      mInterleaved[i * count + c] = sample;
      mPeak = std::max(mPeak, std::fabs(sample));
      mClipped[c] += mClips && std::fabs(sample) > 1.0f;
    }
  // An encoder that buffers (FLAC, Vorbis, Opus) may take every frame although its write
  // failed, so the error flags are asked too.
  if (sf_writef_float(mFile, mInterleaved.data(), static_cast<sf_count_t>(frames)) !=
          static_cast<sf_count_t>(frames) ||
      mWriteError || sf_error(mFile) != SF_ERR_NO_ERROR)
    return Failed(error);
  mUnsynced += frames * count;
  if (mUnsynced >= kWritebackSamples) {
    mOutput.StartWriteback();
    mUnsynced = 0;
  }
  return true;
}

bool AudioWriter::Failed(std::string* error) {
  *error = mPath + ": cannot be written (" +
           (mWriteError ? strerror(mWriteError) : sf_strerror(mFile)) + ")";
  if (mFile) sf_close(mFile);
  mFile = nullptr;
  mOutput.Abandon();
  return false;
}

bool AudioWriter::Commit(std::string* error) {
  // Closing flushes the encoder and writes the header's final sizes; only then is the file
  // complete. Libsndfile does not report a failed flush, the writes seen here do.
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (mWriteError || closed != 0) {
    *error = mPath + ": cannot be written (" +
             (mWriteError ? strerror(mWriteError) : sf_error_number(closed)) + ")";
    mOutput.Abandon();
    return false;
  }
  return mOutput.Commit(error);
}

std::string DescribeAudioFormat(int format) {
  std::string words;
  for (int part : {format & SF_FORMAT_TYPEMASK, format & SF_FORMAT_SUBMASK}) {
    SF_FORMAT_INFO info = {};
    info.format = part;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 && info.name)
      words += (words.empty() ? "" : ", ") + std::string(info.name);
  }
  return words;
}
