#include "audio/stream.h"

#include <sndfile.h>

#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "audio/audio.h"
#include "audio/backend.h"

namespace audio {
namespace {
constexpr std::size_t kBlockFrames = 4096;
}

std::unique_ptr<FileReader> FileReader::open(const QString& path, int& error) {
  const QFileInfo fi(path);
  if (path.isEmpty() || !fi.isFile() || !fi.isReadable()) {
    error = ErrFileOpen;
    return nullptr;
  }
  SF_INFO info{};
  SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (!f) {
    error = ErrFileFormat;
    return nullptr;
  }
  // A damaged or hostile header must not make us allocate or loop absurdly.
  if (info.channels < 1 || info.channels > 64 || info.samplerate < 1000 || info.samplerate > 384000) {
    sf_close(f);
    error = ErrFileFormat;
    return nullptr;
  }
  error = ErrOk;
  return std::unique_ptr<FileReader>(new FileReader(f, info.samplerate, info.channels));
}

FileReader::FileReader(SNDFILE* file, int rate, int channels)
    : file_(file), rate_(rate), channels_(channels) {
  raw_.resize(kBlockFrames * std::size_t(channels));
  src_.resize(kBlockFrames * kChannels);
}

FileReader::~FileReader() { sf_close(file_); }

bool FileReader::refill() {
  srcFrames_ = 0;
  if (eof_) return false;
  const sf_count_t n = sf_readf_float(file_, raw_.data(), kBlockFrames);
  if (n <= 0) {
    eof_ = true;
    return false;
  }
  for (sf_count_t i = 0; i < n; ++i) {
    const float* in = &raw_[std::size_t(i) * std::size_t(channels_)];
    src_[2 * i] = in[0];
    src_[2 * i + 1] = channels_ > 1 ? in[1] : in[0];
  }
  srcFrames_ = std::size_t(n);
  return true;
}

std::size_t FileReader::read(float* out, std::size_t frames) {
  std::size_t n = 0;
  if (rate_ == kRate) {
    while (n < frames) {
      if (srcPos_ >= srcFrames_) {
        srcPos_ = 0;
        if (!refill()) break;
      }
      const std::size_t take = std::min(frames - n, srcFrames_ - srcPos_);
      std::copy_n(&src_[srcPos_ * 2], take * 2, out + n * 2);
      n += take;
      srcPos_ += take;
    }
    return n;
  }
  // Linear interpolation between source frames: the left frame is ipos_ of
  // the current block, -1 meaning the last frame of the block before (prev_).
  const double step = double(rate_) / kRate;
  while (n < frames) {
    if (ipos_ + 1 >= static_cast<long>(srcFrames_)) {
      if (srcFrames_ > 0) {
        prev_[0] = src_[2 * (srcFrames_ - 1)];
        prev_[1] = src_[2 * (srcFrames_ - 1) + 1];
        ipos_ -= static_cast<long>(srcFrames_);
      }
      if (!refill()) break;
      continue;
    }
    const float* a = ipos_ < 0 ? prev_ : &src_[2 * std::size_t(ipos_)];
    const float* b = &src_[2 * std::size_t(ipos_ + 1)];
    const auto f = static_cast<float>(frac_);
    out[2 * n] = a[0] + (b[0] - a[0]) * f;
    out[2 * n + 1] = a[1] + (b[1] - a[1]) * f;
    ++n;
    frac_ += step;
    const double whole = std::floor(frac_);
    ipos_ += static_cast<long>(whole);
    frac_ -= whole;
  }
  return n;
}

void FileReader::rewind() {
  sf_seek(file_, 0, SEEK_SET);
  eof_ = false;
  srcFrames_ = 0;
  srcPos_ = 0;
  ipos_ = 0;
  frac_ = 0.0;
  prev_[0] = prev_[1] = 0.0f;
}

}  // namespace audio
