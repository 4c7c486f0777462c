#include "textview/rtftextrun.h"

#include "textview/codepages.h"

#include <algorithm>

namespace textview::rtf {

void appendDecoded(QString& target, const unsigned char* s, const unsigned char* e,
                   const std::array<char16_t, 256>& table) {
  // Room for the whole piece, growing by doubling: text often comes one
  // \'hh byte at a time, and an exact reserve per piece would copy the run
  // every time.
  if (const qsizetype need = target.size() + (e - s); need > target.capacity())
    target.reserve(std::max(need, 2 * target.capacity()));
  for (; s < e; ++s) {
    const unsigned char b = *s;
    if (b >= 0x20) target.append(QChar(table[b]));
    else if (b == '\t') target.append(QChar(u'\t'));
  }
}

void TextRun::setCodePage(int cp) {
  if (cp != cp_ || !table8_) {
    cp_ = cp;
    table8_ = &singleByteTable(cp);
    multiByte_ = isMultiByte(cp);
  }
}

void TextRun::appendBytes(const unsigned char* s, const unsigned char* e) {
  if (multiByte_) {
    if (mbCp_ != cp_) flushMultiByte();
    mbCp_ = cp_;
    for (; s < e; ++s)
      if (*s >= 0x20 || *s == '\t') mbBytes_.append(char(*s));
    return;
  }
  flushMultiByte();
  const qsizetype before = text_.size();
  appendDecoded(text_, s, e, *table8_);
  budget_.addChars(text_.size() - before);
}

void TextRun::appendChar(char16_t c) {
  flushMultiByte();
  text_.append(QChar(c));
  budget_.addChars(1);
}

void TextRun::decodeMultiByte() {
  auto it = mbDecoders_.find(mbCp_);
  if (it == mbDecoders_.end())
    it = mbDecoders_.emplace(mbCp_, QStringDecoder(codePageName(mbCp_).constData())).first;
  QString s;
  if (it->second.isValid()) {
    s = it->second.decode(mbBytes_);
    it->second.resetState();
  } else {
    for (char b : std::as_const(mbBytes_)) s.append(QChar((*table8_)[std::uint8_t(b)]));
  }
  mbBytes_.clear();
  text_.append(s);
  budget_.addChars(s.size());
}

QString TextRun::take() {
  flushMultiByte();
  QString out;
  out.swap(text_);
  return out;
}

}  // namespace textview::rtf
