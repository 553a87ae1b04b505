#pragma once
// Audio files (WAV, AIFF, FLAC, CAF, OGG and whatever else libsndfile reads) read and written
// block by block, so that no file's length, nor what its header claims, decides the memory used.

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AudioHeaderFrames.h"
#include "host/SafeFileWriter.h"

// Opens a file, tells its format, hands out its samples a block at a time and, at the end,
// whether the file held what its header promised.
class AudioReader {
 public:
  AudioReader() = default;
  ~AudioReader();
  AudioReader(const AudioReader&) = delete;
  AudioReader& operator=(const AudioReader&) = delete;

  // False with a message naming the file for a missing, unreadable or non-audio file.
  bool Open(const std::string& path, std::string* error);
  const std::string& Path() const { return mPath; }
  double SampleRate() const { return mInfo.samplerate; }
  int Channels() const { return mInfo.channels; }
  int Format() const { return mInfo.format; }  // libsndfile container | sample format
  // Frames the header promises, or kUnknownFrames (a FLAC or OGG stream of open length).
  int64_t PromisedFrames() const { return mPromised; }
  int64_t FramesRead() const { return mRead; }
  // Samples of a 64-bit float file that are finite but beyond the 32-bit float range (1e300),
  // read so far; they come out as infinite.
  uint64_t BeyondFloatRange() const { return mBeyondFloat; }

  // Reads up to `capacity` frames into one buffer per channel (Channels() of them). Returns the
  // frames read: 0 at the end of the audio or on a failure, which Finish reports.
  size_t Read(float* const* channels, size_t capacity);
  // Once Read gave 0: false with a message naming the file when reading failed or the file held
  // fewer frames than its header promised.
  bool Finish(std::string* error) const;

 private:
  std::string mPath;
  SNDFILE* mFile = nullptr;
  SF_INFO mInfo = {};
  int64_t mPromised = kUnknownFrames, mRead = 0;
  uint64_t mBeyondFloat = 0;
  bool mFailed = false;
  std::vector<float> mInterleaved;
  std::vector<double> mWide;  // a 64-bit float file's samples, before they are narrowed
};

// Writes a new audio file in the container its name's extension names (WAV when it has none),
// in a given sample format where the container holds it, through the safe
// writer: the file appears complete at Commit or not at all.
class AudioWriter {
 public:
  // False with a message naming the file for an extension no container has, a sample rate or
  // channel count the container cannot hold, or a path that cannot be written. `sampleFormat`
  // is a libsndfile format whose sample part (e.g. 24-bit PCM) is kept where the container
  // allows; else the finest the container holds is used.
  // `format` names the container by an extension instead of the path's ("flac"). A pipe, or
  // another output that cannot seek, takes only the containers written front to back.
  bool Open(const std::string& path, double sampleRate, int channels, int sampleFormat,
            std::string* error, const std::string& format = "");
  ~AudioWriter();
  int Format() const { return mInfo.format; }
  // One buffer per channel, `frames` samples each. Full-scale overs are clipped, not wrapped.
  // Every write the encoder makes is checked, its final flush at Commit included: a full disk
  // fails here or there with the system's cause, never as a short file.
  bool Write(const float* const* channels, size_t frames, std::string* error);
  bool Commit(std::string* error);
  // Samples clipped at full scale so far, per channel (only integer formats clip), and the
  // largest magnitude written.
  const std::vector<uint64_t>& Clipped() const { return mClipped; }
  float Peak() const { return mPeak; }

 private:
  bool Failed(std::string* error);
  // Libsndfile writes a seekable file through these, so that no failed write goes unseen.
  static SF_VIRTUAL_IO sIo;

  std::string mPath;
  int mFd = -1;
  int mWriteError = 0;                      // the first errno a write or seek met
  bool mStream = false, mSkipping = false;  // into a pipe; dropping writes after a seek back
  sf_count_t mStreamed = 0;                 // bytes written into the pipe
  // Every few megabytes the disk is set to work on what was written, alongside the render.
  static constexpr size_t kWritebackSamples = size_t(1) << 20;
  size_t mUnsynced = 0;
  SafeFileWriter mOutput;
  SNDFILE* mFile = nullptr;
  SF_INFO mInfo = {};
  std::vector<float> mInterleaved;
  bool mClips = false;
  std::vector<uint64_t> mClipped;
  float mPeak = 0;
};

// "WAV, 24-bit PCM"-style words for a libsndfile format.
std::string DescribeAudioFormat(int format);
