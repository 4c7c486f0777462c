#include "textview/codepages.h"

#include <QStringDecoder>
#include <map>
#include <memory>
#include <mutex>

namespace textview {

int codePageOfCharset(int charset) {
  switch (charset) {
    case 2: return kCpSymbol;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
  }
}

bool isMultiByte(int cp) {
  switch (cp) {
    case 932: case 936: case 949: case 950: case 1361: case 54936: case 65001:
      return true;
    default:
      return false;
  }
}

QByteArray codePageName(int cp) {
  if (cp >= 1250 && cp <= 1258) return "windows-" + QByteArray::number(cp);
  if (cp >= 28591 && cp <= 28606) return "ISO-8859-" + QByteArray::number(cp - 28590);
  switch (cp) {
    case 874: return "windows-874";
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 855: return "IBM855";
    case 866: return "IBM866";
    case 10000: return "macintosh";
    case 10007: return "x-mac-cyrillic";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1361: return "Johab";
    case 54936: return "GB18030";
    case 65001: return "UTF-8";
    default: return {};
  }
}

namespace {

using Table = std::array<char16_t, 256>;

void fillLatin1(Table& t) {
  for (int b = 0; b < 256; ++b) t[b] = char16_t(b);
}

bool fillFromDecoder(Table& t, const QByteArray& name) {
  if (name.isEmpty()) return false;
  QStringDecoder probe(name.constData(), QStringConverter::Flag::Stateless);
  if (!probe.isValid()) return false;
  for (int b = 0; b < 256; ++b) {
    QStringDecoder dec(name.constData(), QStringConverter::Flag::Stateless);
    const char byte = char(b);
    const QString s = dec(QByteArrayView(&byte, 1));
    t[b] = s.size() == 1 ? char16_t(s.at(0).unicode()) : char16_t(0xFFFD);
  }
  return true;
}

Table buildTable(int cp) {
  Table t;
  fillLatin1(t);
  if (cp == kCpSymbol) {
    t[0xB7] = 0x2022;  // bullet of bulleted lists
    t[0xA8] = 0x2666;
    t[0xA7] = 0x2663;
    return t;
  }
  if (cp == kCpWingdings) {
    t[0x6C] = 0x25CF;
    t[0x6E] = 0x25A0;
    t[0x71] = 0x2751;
    t[0x75] = 0x25C6;
    t[0xA7] = 0x25AA;
    t[0xA8] = 0x25FB;
    t[0xD8] = 0x27A2;
    t[0xFB] = 0x2717;
    t[0xFC] = 0x2713;
    return t;
  }
  if (!isMultiByte(cp) && fillFromDecoder(t, codePageName(cp))) return t;
  if (cp != kCpDefault) return buildTable(kCpDefault);
  fillLatin1(t);  // no converter for Windows-1251 at all: keep bytes as Latin-1
  return t;
}

}  // namespace

const Table& singleByteTable(int cp) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<Table>> tables;
  std::lock_guard lock(mutex);
  auto& slot = tables[cp];
  if (!slot) slot = std::make_unique<Table>(buildTable(cp));
  return *slot;
}

}  // namespace textview
