#include "synthetic_device.h"

#include <chrono>
#include <cmath>
#include <numbers>

#include "audio/audio.h"
#include "audio/clock.h"

namespace test {
namespace {

using audio::Clock;
constexpr std::size_t kCaptureBlock = 441;  // 10 ms
constexpr std::size_t kOutputBlock = 1024;

// Sleeps until `frames` frames are due at `speed` times real time since start.
void pace(Clock::time_point start, std::uint64_t frames, double speed) {
  const auto due = start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(double(frames) / audio::kRate / speed));
  std::this_thread::sleep_until(due);
}

}  // namespace

SyntheticDevice::SyntheticDevice() : version_(audio::kVersion) {}

SyntheticDevice::~SyntheticDevice() {
  stopCapture();
  stopOutput();
}

void SyntheticDevice::setTone(double hz, double amplitude) {
  setSignal({});
  hz_ = hz;
  amplitude_ = amplitude;
}

void SyntheticDevice::setSignal(std::vector<std::int16_t> frames) {
  std::lock_guard lock(signalMutex_);
  signal_ = std::move(frames);
  signalAt_ = 0;
}

void SyntheticDevice::setSpeed(double factor) { speed_ = factor > 0 ? factor : 1.0; }

std::vector<std::int16_t> SyntheticDevice::played() const {
  std::lock_guard lock(playedMutex_);
  return played_;
}

SyntheticDevice::OutputHold SyntheticDevice::holdOutput() {
  outputHeld_ = true;
  // A block being pulled right now finishes before the hold begins.
  std::lock_guard gate(outputGate_);
  return OutputHold{this};
}

void SyntheticDevice::clearPlayed() {
  std::lock_guard lock(playedMutex_);
  played_.clear();
}

bool SyntheticDevice::waitCaptured(std::uint64_t frames, int timeoutMs) const {
  const std::uint64_t target = captured_.load() + frames;
  const auto limit = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (captured_.load() < target) {
    if (Clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int SyntheticDevice::openCapture() { return captureFailure_.load(); }
void SyntheticDevice::closeCapture() { stopCapture(); }

void SyntheticDevice::setCaptureName(const std::string& name) {
  std::lock_guard lock(nameMutex_);
  captureName_ = name;
}

std::string SyntheticDevice::captureDeviceName() {
  std::lock_guard lock(nameMutex_);
  return captureAbsent_ ? std::string() : captureName_;
}

int SyntheticDevice::startCapture(CaptureSink sink) {
  if (captureFailure_ != audio::ErrOk) return captureFailure_;
  if (captureAbsent_) return audio::ErrDevice;
  ++captureStarts_;
  if (capturing_) return audio::ErrAlready;
  stopCapture_ = false;
  captureLost_ = false;
  capturing_ = true;
  captureThread_ = std::thread([this, sink = std::move(sink)] { captureLoop(sink); });
  return audio::ErrOk;
}

void SyntheticDevice::stopCapture() {
  if (!captureThread_.joinable()) return;
  stopCapture_ = true;
  captureThread_.join();
  capturing_ = false;
}

std::vector<std::uint64_t> SyntheticDevice::captureLengths() const {
  std::lock_guard lock(lengthsMutex_);
  return captureLengths_;
}

void SyntheticDevice::captureLoop(CaptureSink sink) {
  std::vector<std::int16_t> block(kCaptureBlock * audio::kChannels);
  const auto start = Clock::now();
  std::uint64_t sent = 0, delivered = 0;
  while (!stopCapture_) {
    const double hz = hz_, amp = amplitude_;
    std::unique_lock signal(signalMutex_);
    for (std::size_t i = 0; i < kCaptureBlock; ++i, ++phaseFrame_) {
      const double v = amp * std::sin(2.0 * std::numbers::pi * hz * double(phaseFrame_) / audio::kRate);
      const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0));
      block[2 * i] = signal_.empty() ? s : signal_[2 * signalAt_];
      block[2 * i + 1] = signal_.empty() ? s : signal_[2 * signalAt_ + 1];
      if (!signal_.empty()) signalAt_ = (signalAt_ + 1) % (signal_.size() / 2);
    }
    signal.unlock();
    if (!captureLost_) {
      if (sink(block.data(), kCaptureBlock)) delivered += kCaptureBlock;
      captured_ += kCaptureBlock;
    }
    sent += kCaptureBlock;
    pace(start, sent, speed_);
  }
  std::lock_guard lock(lengthsMutex_);
  captureLengths_.push_back(delivered);
}

int SyntheticDevice::openOutput(OutputSource source) {
  if (outputFailure_ != audio::ErrOk) return outputFailure_;
  source_ = std::move(source);
  return audio::ErrOk;
}

void SyntheticDevice::closeOutput() {
  stopOutput();
  source_ = nullptr;
}

int SyntheticDevice::startOutput() {
  if (outputFailure_ != audio::ErrOk) return outputFailure_;
  if (outputThread_.joinable()) return audio::ErrOk;
  stopOutput_ = false;
  outputLost_ = false;
  outputRunning_ = true;
  outputThread_ = std::thread([this] { outputLoop(); });
  return audio::ErrOk;
}

void SyntheticDevice::stopOutput() {
  if (!outputThread_.joinable()) return;
  stopOutput_ = true;
  outputThread_.join();
  outputRunning_ = false;
}

void SyntheticDevice::outputLoop() {
  std::vector<std::int16_t> block(kOutputBlock * audio::kChannels);
  const auto start = Clock::now();
  std::uint64_t pulled = 0;
  while (!stopOutput_) {
    {
      std::unique_lock gate(outputGate_);
      if (outputHeld_) {
        gate.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        continue;  // the time held is caught up afterwards, as after a stall
      }
      if (!outputLost_ && source_(block.data(), kOutputBlock)) {
        std::lock_guard lock(playedMutex_);
        played_.insert(played_.end(), block.begin(), block.end());
      }
    }
    pulled += kOutputBlock;
    pace(start, pulled, speed_);
  }
}

SyntheticDevice* installSyntheticDevice() {
  auto dev = std::make_unique<SyntheticDevice>();
  SyntheticDevice* raw = dev.get();
  audio::setBackend(std::move(dev));
  return raw;
}

}  // namespace test
