// A synthetic sound device for tests: a known signal goes in where the
// microphone would be, and every sample the station plays is kept for
// inspection. Nothing needs a sound server.
//
//   auto* dev = test::installSyntheticDevice();   // before the station starts
//   dev->setTone(1000.0, 0.5);                    // what the "microphone" hears
//   dev->setSpeed(8.0);                           // 8x faster than real time
//   ... run station code: recordInit/init, StartRecording, playback ...
//   dev->capturedFrames();                        // frames handed to the recorder
//   dev->played();                                // frames the station played
//
// The device is owned by the audio layer and lives until the next
// installSyntheticDevice() or audio::setBackend(); install it while no device
// is initialised (before TfrmMain is built, or after audio::free()).
// Setters may be called at any time from the test's thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/backend.h"

namespace test {

class SyntheticDevice final : public audio::Backend {
 public:
  SyntheticDevice();
  ~SyntheticDevice() override;

  // --- what goes in and how fast ---
  // A sine of `hz` at `amplitude` (0..1 of full scale) on both channels;
  // hz 0 or amplitude 0 is silence.
  void setTone(double hz, double amplitude);
  void setSilence() { setTone(0.0, 0.0); }
  // Recorded sound instead of a tone: interleaved stereo frames, played from
  // their start and over again; setTone() goes back to a tone.
  void setSignal(std::vector<std::int16_t> frames);
  // Both directions run `factor` times faster than real time (1 = real time).
  void setSpeed(double factor);
  // What version() reports (the station refuses anything but 2.4.x).
  void setVersion(std::uint32_t v) { version_ = v; }
  // The default recording / output device is missing: opening or starting it
  // fails with `code` (audio::ErrOk makes it work again).
  void failCapture(int code) { captureFailure_ = code; }
  void failOutput(int code) { outputFailure_ = code; }
  // The running capture's device goes away (a microphone unplugged): it
  // delivers nothing more and reports itself lost until the next start.
  void loseCapture() { captureLost_ = true; }
  // The recording device goes away and stays away: the running capture is
  // lost and no capture starts (ErrDevice) until plugCapture().
  void unplugCapture() {
    captureAbsent_ = true;
    captureLost_ = true;
  }
  void plugCapture() { captureAbsent_ = false; }
  // What captureDeviceName() reports (the sound server switching inputs).
  void setCaptureName(const std::string& name);
  // How many captures have been started since the device was installed.
  int captureStarts() const { return captureStarts_.load(); }
  // The running output device goes away (headphones unplugged): it takes
  // nothing more and reports itself lost until the next start.
  void loseOutput() { outputLost_ = true; }

  // --- what came out ---
  // Frames delivered to the recorder since the device was installed.
  std::uint64_t capturedFrames() const { return captured_.load(); }
  // Frames each capture that has stopped delivered into its recording (not
  // those dropped while it waited for its encoder), in the order the
  // captures started: what one recording was given, however late a test
  // looks.
  std::vector<std::uint64_t> captureLengths() const;
  bool capturing() const { return capturing_.load(); }
  bool outputRunning() const { return outputRunning_.load(); }
  // Every frame pulled from the station while something was playing
  // (interleaved stereo), in order; and clearing it.
  std::vector<std::int16_t> played() const;
  void clearPlayed();
  // Holds the output between two blocks while the returned guard lives:
  // what the station does meanwhile (a press that changes what plays) is
  // all in place before the next block is pulled. The station may still
  // stop the output while it is held.
  struct OutputHold {
    SyntheticDevice* dev;
    ~OutputHold() { dev->outputHeld_ = false; }
  };
  OutputHold holdOutput();
  // Waits (up to timeoutMs) until at least `frames` more frames than now
  // have been captured. False on time-out.
  bool waitCaptured(std::uint64_t frames, int timeoutMs) const;

  // --- audio::Backend ---
  std::uint32_t version() const override { return version_; }
  int openCapture() override;
  void closeCapture() override;
  int startCapture(CaptureSink sink) override;
  void stopCapture() override;
  bool captureLost() const override { return captureLost_.load(); }
  std::string captureDeviceName() override;
  int openOutput(OutputSource source) override;
  void closeOutput() override;
  int startOutput() override;
  void stopOutput() override;
  bool outputLost() const override { return outputLost_.load(); }

 private:
  void captureLoop(CaptureSink sink);
  void outputLoop();

  std::atomic<std::uint32_t> version_;
  std::atomic<int> captureFailure_{0};
  std::atomic<int> outputFailure_{0};
  std::atomic<double> hz_{440.0};
  std::atomic<double> amplitude_{0.5};
  std::atomic<double> speed_{1.0};
  std::mutex signalMutex_;  // taken by the capture thread once a block
  std::vector<std::int16_t> signal_;
  std::size_t signalAt_ = 0;  // frame of signal_ played next

  std::atomic<bool> captureLost_{false};
  std::atomic<bool> captureAbsent_{false};
  std::atomic<int> captureStarts_{0};
  mutable std::mutex nameMutex_;
  std::string captureName_{"Synthetic microphone"};
  std::atomic<bool> capturing_{false};
  std::atomic<bool> stopCapture_{false};
  std::atomic<std::uint64_t> captured_{0};
  std::uint64_t phaseFrame_ = 0;  // capture thread
  mutable std::mutex lengthsMutex_;
  std::vector<std::uint64_t> captureLengths_;
  std::thread captureThread_;

  OutputSource source_;
  std::atomic<bool> outputLost_{false};
  std::atomic<bool> outputRunning_{false};
  std::atomic<bool> stopOutput_{false};
  std::thread outputThread_;
  std::mutex outputGate_;  // held while a block is pulled
  std::atomic<bool> outputHeld_{false};
  mutable std::mutex playedMutex_;
  std::vector<std::int16_t> played_;
};

// Installs a fresh synthetic device as the audio backend and returns it.
SyntheticDevice* installSyntheticDevice();

}  // namespace test
