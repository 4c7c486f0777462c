// The RTF tokenizer: braces, control words, control symbols, \'hh bytes,
// runs of text and \bin data. It knows nothing of what a control word means;
// the reader gives tokens their meaning by the destination they arrive in.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace textview::rtf {

// Value of a hexadecimal digit; 0xFF for any other byte.
inline constexpr std::array<std::uint8_t, 256> kHexDigit = [] {
  std::array<std::uint8_t, 256> t{};
  t.fill(0xFF);
  for (int c = '0'; c <= '9'; ++c) t[std::size_t(c)] = std::uint8_t(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) t[std::size_t(c)] = std::uint8_t(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) t[std::size_t(c)] = std::uint8_t(c - 'A' + 10);
  return t;
}();

struct Token {
  enum Kind : std::uint8_t {
    End,     // no more input
    Open,    // {
    Close,   // }
    Word,    // \name or \nameN
    Symbol,  // \ and one character that is not a letter (\* \~ \{ ...); also \' not followed by two hex digits
    Byte,    // \'hh
    Text,    // bytes up to the next \ { } or line break (line breaks themselves are dropped)
    Binary,  // \binN and the N raw bytes after it (as many of them as the input still has)
  };
  Kind kind = End;
  bool hasParam = false;       // Word: a number followed the name
  unsigned char symbol = 0;    // Symbol: the character; Byte: the byte's value
  int param = 0;               // Word: the number, 0 without one
  std::int64_t binLength = 0;  // Binary: the length \bin gave, which may be more than is there
  std::string_view name;       // Word: the name, cut to 32 letters
  const unsigned char* begin = nullptr;  // Text, Binary: the bytes
  const unsigned char* end = nullptr;
};

class Lexer {
 public:
  Lexer(const unsigned char* begin, const unsigned char* end) : p_(begin), end_(end) {}

  Token next();

 private:
  Token control();

  const unsigned char* p_;
  const unsigned char* end_;
};

// Inline: called once a token, and most tokens of Cyrillic text are \'hh.
inline Token Lexer::next() {
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
      if (end_ - p_ >= 3 && p_[0] == '\'' && kHexDigit[p_[1]] < 16 && kHexDigit[p_[2]] < 16) {
        t.kind = Token::Byte;
        t.symbol = std::uint8_t(kHexDigit[p_[1]] << 4 | kHexDigit[p_[2]]);
        p_ += 3;
        return t;
      }
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

}  // namespace textview::rtf
