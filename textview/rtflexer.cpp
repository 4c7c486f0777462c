#include "textview/rtflexer.h"

#include <algorithm>

namespace textview::rtf {

namespace {

inline bool isAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

Token Lexer::next() {
  Token t;
  while (p_ < end_) {
    const unsigned char c = *p_;
    if (c == '{' || c == '}') {
      ++p_;
      t.kind = c == '{' ? Token::Open : Token::Close;
      return t;
    }
    if (c == '\\') {
      ++p_;
      return control();
    }
    if (c == '\r' || c == '\n') {
      ++p_;
      continue;
    }
    t.kind = Token::Text;
    t.begin = p_;
    while (p_ < end_ && *p_ != '\\' && *p_ != '{' && *p_ != '}' && *p_ != '\r' && *p_ != '\n') ++p_;
    t.end = p_;
    return t;
  }
  return t;
}

// Reads one control word or control symbol after its backslash. A backslash
// at the very end of the input is no token at all.
Token Lexer::control() {
  Token t;
  if (p_ >= end_) return t;
  const unsigned char c = *p_;
  if (!isAlpha(c)) {
    ++p_;
    if (c == '\'' && end_ - p_ >= 2 && kHexDigit[p_[0]] < 16 && kHexDigit[p_[1]] < 16) {
      t.kind = Token::Byte;
      t.symbol = std::uint8_t(kHexDigit[p_[0]] << 4 | kHexDigit[p_[1]]);
      p_ += 2;
      return t;
    }
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
