// A single-producer single-consumer ring of samples: the capture thread
// writes, the encoder's writer thread reads; neither ever waits for the other.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

namespace audio {

template <class T>
class SpscRing {
 public:
  // Holds at least `capacity` items (rounded up to a power of two).
  explicit SpscRing(std::size_t capacity) {
    std::size_t n = 1;
    while (n < capacity) n <<= 1;
    buf_.resize(n);
    mask_ = n - 1;
  }

  std::size_t capacity() const { return buf_.size(); }

  // Producer side: copies up to n items; returns how many fit.
  std::size_t write(const T* src, std::size_t n) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    n = std::min(n, buf_.size() - (head - tail));
    copyIn(head, src, n);
    head_.store(head + n, std::memory_order_release);
    return n;
  }

  // Consumer side: copies up to n items out; returns how many there were.
  std::size_t read(T* dst, std::size_t n) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t head = head_.load(std::memory_order_acquire);
    n = std::min(n, head - tail);
    copyOut(tail, dst, n);
    tail_.store(tail + n, std::memory_order_release);
    return n;
  }

  // Either side: items waiting to be read.
  std::size_t size() const {
    return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire);
  }

 private:
  void copyIn(std::size_t pos, const T* src, std::size_t n) {
    const std::size_t at = pos & mask_;
    const std::size_t first = std::min(n, buf_.size() - at);
    std::copy_n(src, first, buf_.data() + at);
    std::copy_n(src + first, n - first, buf_.data());
  }
  void copyOut(std::size_t pos, T* dst, std::size_t n) const {
    const std::size_t at = pos & mask_;
    const std::size_t first = std::min(n, buf_.size() - at);
    std::copy_n(buf_.data() + at, first, dst);
    std::copy_n(buf_.data(), n - first, dst + first);
  }

  std::vector<T> buf_;
  std::size_t mask_ = 0;
  alignas(64) std::atomic<std::size_t> head_{0};  // next write position (producer)
  alignas(64) std::atomic<std::size_t> tail_{0};  // next read position (consumer)
};

}  // namespace audio
