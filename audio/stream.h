// A sound file read as 44100 Hz stereo float frames, whatever its own rate
// and channel count (libsndfile: Ogg Vorbis, WAV, FLAC, ...).
#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

struct sf_private_tag;

namespace audio {

class FileReader {
 public:
  // Null when the file cannot be opened (error = ErrFileOpen) or is not a
  // sound file this reader can play (error = ErrFileFormat).
  static std::unique_ptr<FileReader> open(const QString& path, int& error);
  ~FileReader();

  // Fills up to `frames` interleaved stereo frames at the device rate;
  // returns how many were produced (fewer only at the end of the file).
  std::size_t read(float* out, std::size_t frames);
  // Back to the first frame.
  void rewind();

  int fileRate() const { return rate_; }
  int fileChannels() const { return channels_; }

 private:
  FileReader(sf_private_tag* file, int rate, int channels);
  // Reads the next block of the file (as stereo) into src_; false at its end.
  bool refill();

  sf_private_tag* file_ = nullptr;
  int rate_ = 0;
  int channels_ = 0;
  std::vector<float> raw_;  // one block as the file has it
  std::vector<float> src_;  // that block as stereo
  std::size_t srcFrames_ = 0;
  std::size_t srcPos_ = 0;  // next frame of src_ (same rate)
  long ipos_ = 0;           // left frame of the interpolation (rate conversion)
  double frac_ = 0.0;       // position between ipos_ and ipos_ + 1
  float prev_[2] = {0, 0};  // the frame before src_[0] (interpolation)
  bool eof_ = false;
};

}  // namespace audio
