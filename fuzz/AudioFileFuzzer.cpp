// Audio files as `orvanta render` opens them: any bytes opened and read to the end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "host/tool/AudioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = FuzzInputFile(data, size);
  std::string error;
  AudioReader reader;
  if (!reader.Open(path, &error)) return 0;
  std::vector<std::vector<float>> channels(static_cast<size_t>(reader.Channels()),
                                           std::vector<float>(256));
  std::vector<float*> buffers;
  for (auto& channel : channels) buffers.push_back(channel.data());
  while (reader.Read(buffers.data(), 256) > 0) {
  }
  reader.Finish(&error);
  return 0;
}
