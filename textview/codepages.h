// 8-bit code pages of RTF text: Windows code page numbers and the font
// character sets that name them, decoded through Qt's converters.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace textview {

// Code page numbers used by the reader besides the Windows ones.
inline constexpr int kCpSymbol = -2;     // Symbol font: Latin-1 with a few bullets
inline constexpr int kCpWingdings = -3;  // Wingdings: list bullets only
inline constexpr int kCpDefault = 1251;  // what an unmarked 8-bit text is

// Code page of a font character set (\fcharset); 0 for ANSI and DEFAULT,
// which mean the document's own code page.
int codePageOfCharset(int charset);

// True for code pages whose characters may take more than one byte.
bool isMultiByte(int cp);

// Name of a code page for QStringDecoder; empty when unknown.
QByteArray codePageName(int cp);

// Byte -> UTF-16 table of a single-byte code page (built once per process,
// thread-safe). Unknown or multi-byte code pages give the Windows-1251 table;
// bytes that the code page leaves undefined map to U+FFFD.
const std::array<char16_t, 256>& singleByteTable(int cp);

}  // namespace textview
