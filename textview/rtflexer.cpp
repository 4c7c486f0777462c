#include "textview/rtflexer.h"

#include <algorithm>

namespace textview::rtf {

namespace {

inline bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Reads one control word or control symbol after its backslash (next() has
// taken the \'hh escapes already). A backslash at the very end of the input
// is no token at all.
Token Lexer::control() {
  Token t;
  if (p_ >= end_) return t;
  const unsigned char c = *p_;
  if (!isAlpha(c)) {
    ++p_;
    t.kind = Token::Symbol;
    t.symbol = c;
    return t;
  }
  const unsigned char* s = p_;
  while (p_ < end_ && isAlpha(*p_)) ++p_;
  t.name = std::string_view(reinterpret_cast<const char*>(s), std::size_t(std::min<std::ptrdiff_t>(p_ - s, 32)));
  bool neg = false;
  std::int64_t value = 0;
  if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])) {
    neg = true;
    ++p_;
  }
  while (p_ < end_ && isDigit(*p_)) {
    t.hasParam = true;
    if (value < 10'000'000'000LL) value = value * 10 + (*p_ - '0');
    ++p_;
  }
  if (p_ < end_ && *p_ == ' ') ++p_;
  if (neg) value = -value;
  if (t.name == "bin") {
    // Raw bytes follow; they are part of this token whatever they hold.
    t.kind = Token::Binary;
    t.binLength = t.hasParam ? value : 0;
    t.begin = p_;
    if (t.binLength > 0) p_ += std::min<std::int64_t>(t.binLength, end_ - p_);
    t.end = p_;
    return t;
  }
  // Parameters are at most 32-bit in any real file; keeping them well inside
  // int leaves room for sums and differences of two of them.
  t.kind = Token::Word;
  t.param = int(std::clamp<std::int64_t>(value, -1'000'000'000, 1'000'000'000));
  return t;
}

}  // namespace textview::rtf
