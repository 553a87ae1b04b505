#pragma once
// Float WAV files of a test signal, for the tests that hand audio to outside hosts and read
// back what they wrote. Sources that include this compile StereoFiles.cpp and link sndfile.

#include <string>
#include <vector>

// Writes interleaved stereo samples as 32-bit float WAV; false when the file could not be made.
bool WriteStereo(const std::string& path, const std::vector<float>& interleaved, int rate);
// Interleaved samples of a file with that many channels; empty for any other.
std::vector<float> ReadStereo(const std::string& path, int channels = 2);
// Two sines of different pitch and level, interleaved.
std::vector<float> TestSignal(int frames);
