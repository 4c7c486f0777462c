// The task-text reader against hand-written RTF and the files of real word
// processors: text, character and paragraph formats, tables, pictures,
// plain text, and input that must be refused.

#include "textview/richview.h"
#include "textview/rtflexer.h"
#include "textview/rtfreader.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <memory>

using textview::LoadError;
using textview::ReadLimits;

namespace {

QByteArray fixture(const QString& name) {
  QFile f(QStringLiteral(QUORVEL_FIXTURES "/rtf/") + name);
  if (!f.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", qPrintable(name));
  return f.readAll();
}

std::unique_ptr<QTextDocument> read(const QByteArray& bytes, const ReadLimits& limits = {}) {
  auto doc = std::make_unique<QTextDocument>();
  textview::readDocument(bytes, doc.get(), limits);
  return doc;
}

// A minimal document around a body, Windows-1251 with one Cyrillic font.
QByteArray rtf(const QByteArray& body) {
  return "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
         "{\\f1\\fswiss\\fcharset238 Arial;}{\\f2\\fnil\\fcharset2 Symbol;}{\\f3\\fmodern\\fcharset128 MS Gothic;}}"
         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\n" +
         body + "}";
}

QString text(const QTextDocument& doc) { return doc.toPlainText(); }

// Character format of the first character of `needle`.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& needle) {
  const QTextCursor found = doc.find(needle);
  if (found.isNull()) return {};
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(found.selectionStart() + 1);
  return c.charFormat();
}

QList<QTextImageFormat> images(const QTextDocument& doc) {
  QList<QTextImageFormat> out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat()) out.append(it.fragment().charFormat().toImageFormat());
  return out;
}

QList<QTextTable*> tables(const QTextDocument& doc) {
  QList<QTextTable*> out;
  QList<QTextFrame*> todo{doc.rootFrame()};
  while (!todo.isEmpty()) {
    QTextFrame* f = todo.takeFirst();
    if (auto* t = qobject_cast<QTextTable*>(f)) out.append(t);
    todo.append(f->childFrames());
  }
  return out;
}

// The tokens of `bytes`, one word each: { } \name[N] S<c> 'hh T(text) binN(bytes).
QByteArray tokens(const QByteArray& bytes) {
  using textview::rtf::Token;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
  textview::rtf::Lexer lexer(p, p + bytes.size());
  QByteArrayList out;
  for (Token t = lexer.next(); t.kind != Token::End; t = lexer.next()) {
    const QByteArray span(reinterpret_cast<const char*>(t.begin), t.end - t.begin);
    switch (t.kind) {
      case Token::Open: out << "{"; break;
      case Token::Close: out << "}"; break;
      case Token::Word:
        out << "\\" + QByteArray(t.name.data(), qsizetype(t.name.size())) + (t.hasParam ? QByteArray::number(t.param) : "");
        break;
      case Token::Symbol: out << "S" + QByteArray(1, char(t.symbol)); break;
      case Token::Byte: out << "'" + QByteArray::number(t.symbol, 16); break;
      case Token::Text: out << "T(" + span + ")"; break;
      case Token::Binary: out << "bin" + QByteArray::number(t.binLength) + "(" + span + ")"; break;
      case Token::End: break;
    }
  }
  return out.join(' ');
}

QString cellText(QTextTable* t, int row, int col) {
  const QTextTableCell cell = t->cellAt(row, col);
  QTextCursor c = cell.firstCursorPosition();
  c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
  return c.selection().toPlainText();
}

void expectFailure(const QByteArray& bytes, const ReadLimits& limits = {}) {
  QTextDocument doc;
  try {
    textview::readDocument(bytes, &doc, limits);
    QFAIL("the reader accepted input it must refuse");
  } catch (const LoadError& e) {
    QCOMPARE(e.message(), QStringLiteral("Failed to Load Stream"));
  }
}

quint32 crc32(const char* data, int len) {
  quint32 c = 0xFFFFFFFFu;
  for (int i = 0; i < len; ++i) {
    c ^= quint8(data[i]);
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

QByteArray pngOfSize(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::green);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  return bytes;
}

}  // namespace

class TestRtfReader : public QObject {
  Q_OBJECT

 private slots:
  void lexer_data();
  void lexer();
  void text_data();
  void text();
  void charFormat_data();
  void charFormat();
  void blockFormat_data();
  void blockFormat();
  void tabStops();
  void tableStructure();
  void nestedTableAsText();
  void rowRedefinedWithinRow();
  void pictures();
  void pictureHugeDeclaredSize();
  void wordProcessors_data();
  void wordProcessors();
  void plainText_data();
  void plainText();
  void refused_data();
  void refused();
  void truncatedFileShowsWhatItHas();
  void manyRunsAndRowsStayFast();
  void extremeNumbers();
};

// ------------------------------------------------------------------ text

void TestRtfReader::lexer_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("words, the space after them taken") << QByteArray("{\\rtf1 \\b\\i0 a b}") << QByteArray("{ \\rtf1 \\b \\i0 T(a b) }");
  QTest::newRow("negative parameter, dash without digit") << QByteArray("\\li-720\\fi-x") << QByteArray("\\li-720 \\fi T(-x)");
  QTest::newRow("line breaks dropped") << QByteArray("a\r\nb\n") << QByteArray("T(a) T(b)");
  QTest::newRow("hex escapes, good and broken") << QByteArray("\\'e0\\'C8\\'g0\\'e") << QByteArray("'e0 'c8 S' T(g0) S' T(e)");
  QTest::newRow("control symbols") << QByteArray("\\~\\{\\}\\\\\\*\\\n") << QByteArray("S~ S{ S} S\\ S* S\n");
  QTest::newRow("backslash at the end") << QByteArray("ab\\") << QByteArray("T(ab)");
  QTest::newRow("\\bin takes raw bytes, braces too") << QByteArray("\\bin3 {}\\x") << QByteArray("bin3({}\\) T(x)");
  QTest::newRow("\\bin longer than the input") << QByteArray("\\bin10 abc") << QByteArray("bin10(abc)");
  QTest::newRow("\\bin without length, negative") << QByteArray("\\bin ab\\bin-2 cd") << QByteArray("bin0() T(ab) bin-2() T(cd)");
  QTest::newRow("\\bin length of many digits") << QByteArray("\\bin99999999999999999999 x") << QByteArray("bin99999999999(x)");
  QTest::newRow("parameters clamped") << QByteArray("\\fs99999999999999999999\\li-99999999999")
                                      << QByteArray("\\fs1000000000 \\li-1000000000");
  QTest::newRow("names cut to 32 letters") << "\\" + QByteArray(40, 'a') + "1" << "\\" + QByteArray(32, 'a') + "1";
}

void TestRtfReader::lexer() {
  QFETCH(QByteArray, input);
  QFETCH(QByteArray, expected);
  QCOMPARE(tokens(input), expected);
}

void TestRtfReader::text_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("expected");
  const QString privet = QStringLiteral("Привет");
  QTest::newRow("cp1251 hex escapes") << rtf("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2") << privet;
  QTest::newRow("raw 8-bit bytes") << rtf("\xcf\xf0\xe8\xe2\xe5\xf2") << privet;
  QTest::newRow("unicode escapes skip one") << rtf("\\uc1\\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?") << privet;
  QTest::newRow("unicode escapes skip hex") << rtf("\\uc1\\u1055\\'cf\\u1088\\'f0 x") << QStringLiteral("Пр x");
  QTest::newRow("uc0 skips nothing") << rtf("\\uc0\\u1055 \\u1088 ab") << QStringLiteral("Прab");
  QTest::newRow("uc2 skips two") << rtf("\\uc2\\u1055\\'3f\\'3fab") << QStringLiteral("Пab");
  QTest::newRow("uc is per group") << rtf("{\\uc3 x}\\u1055?b") << QStringLiteral("xПb");
  QTest::newRow("negative \\u") << rtf("\\u-10179?\\u-8704?") << QString::fromUcs4(U"\U0001F600");
  QTest::newRow("ansicpg 1252") << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\\f0 caf\\'e9}") << QStringLiteral("café");
  QTest::newRow("no ansicpg: Windows-1251") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\'e4\\'e0}") << QStringLiteral("да");
  QTest::newRow("font charset 238") << rtf("\\f1 \\'b9\\'ea") << QStringLiteral("ąę");
  QTest::newRow("font charset 128, two bytes") << rtf("\\f3 \\'82\\'a0") << QStringLiteral("あ");
  QTest::newRow("symbol bullet") << rtf("\\f2 \\'b7") << QStringLiteral("•");
  QTest::newRow("upr takes the unicode part") << rtf("{\\upr{\\'e4\\'e0}{\\*\\ud{\\u1076?\\u1072?}}}") << QStringLiteral("да");
  QTest::newRow("specials") << rtf("a\\tab b\\emdash c\\endash d\\bullet\\lquote x\\rquote\\ldblquote y\\rdblquote")
                            << QStringLiteral("a\tb—c–d•‘x’“y”");
  QTest::newRow("spaces and hyphens") << rtf("a\\~b\\-c\\_d\\emspace\\enspace") << QStringLiteral("a b\u00ADc\u2011d\u2003\u2002");
  QTest::newRow("escaped braces") << rtf("\\{a\\}\\\\") << QStringLiteral("{a}\\");
  QTest::newRow("par and line") << rtf("a\\par b\\line c") << QStringLiteral("a\nb\nc");
  QTest::newRow("backslash newline is par") << rtf("a\\\nb") << QStringLiteral("a\nb");
  QTest::newRow("newlines in source ignored") << rtf("a\nb\r\nc") << QStringLiteral("abc");
  QTest::newRow("page and sect break") << rtf("a\\page b\\sect c") << QStringLiteral("a\nb\nc");
  QTest::newRow("hidden text") << rtf("a{\\v secret}b\\v c\\v0 d") << QStringLiteral("abd");
  QTest::newRow("unknown starred destination") << rtf("a{\\*\\whatever {x}y}b") << QStringLiteral("ab");
  QTest::newRow("unknown control word") << rtf("a\\foobar12 b") << QStringLiteral("ab");
  QTest::newRow("bin outside a picture") << rtf("a{\\*\\objdata\\bin3 }}}}b") << QStringLiteral("ab");
  QTest::newRow("missing final brace") << QByteArray("{\\rtf1\\ansi abc\\par def") << QStringLiteral("abc\ndef");
  QTest::newRow("after the last brace") << QByteArray("{\\rtf1 abc}trailing") << QStringLiteral("abc");
  // The bullets are list markers, not text; the footnote's text comes last.
  QTest::newRow("fields, lists, hidden destinations")
      << fixture("fields-lists.rtf")
      << QStringLiteral("See the link now.\nFirst\nSecond\n1.\tNumbered\nPage 7 of pages.\nTail\n\nfootnote text");
}

void TestRtfReader::text() {
  QFETCH(QByteArray, input);
  QFETCH(QString, expected);
  QCOMPARE(::text(*read(input)), expected);
}

// ------------------------------------------------------------------ characters

void TestRtfReader::charFormat_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("needle");
  QTest::addColumn<int>("property");
  QTest::addColumn<QVariant>("expected");
  QTest::newRow("bold") << rtf("a{\\b BB}") << QStringLiteral("BB") << int(QTextFormat::FontWeight) << QVariant(int(QFont::Bold));
  QTest::newRow("b0 ends bold") << rtf("\\b x\\b0 NB") << QStringLiteral("NB") << int(QTextFormat::FontWeight) << QVariant();
  QTest::newRow("italic") << rtf("\\i II") << QStringLiteral("II") << int(QTextFormat::FontItalic) << QVariant(true);
  QTest::newRow("underline") << rtf("\\ul UU") << QStringLiteral("UU") << int(QTextFormat::TextUnderlineStyle)
                             << QVariant(int(QTextCharFormat::SingleUnderline));
  QTest::newRow("dotted underline") << rtf("\\uld UU") << QStringLiteral("UU") << int(QTextFormat::TextUnderlineStyle)
                                    << QVariant(int(QTextCharFormat::DotLine));
  QTest::newRow("ulnone") << rtf("\\ul x\\ulnone NU") << QStringLiteral("NU") << int(QTextFormat::TextUnderlineStyle) << QVariant();
  QTest::newRow("strike") << rtf("\\strike SS") << QStringLiteral("SS") << int(QTextFormat::FontStrikeOut) << QVariant(true);
  QTest::newRow("size in half-points") << rtf("\\fs28 SZ") << QStringLiteral("SZ") << int(QTextFormat::FontPointSize) << QVariant(14.0);
  QTest::newRow("default size 12pt") << rtf("DS") << QStringLiteral("DS") << int(QTextFormat::FontPointSize) << QVariant(12.0);
  QTest::newRow("font family") << rtf("\\f1 FF") << QStringLiteral("FF") << int(QTextFormat::FontFamilies)
                               << QVariant(QStringList{QStringLiteral("Arial")});
  QTest::newRow("default font") << rtf("DF") << QStringLiteral("DF") << int(QTextFormat::FontFamilies)
                                << QVariant(QStringList{QStringLiteral("Times New Roman")});
  QTest::newRow("colour") << rtf("\\cf1 RED") << QStringLiteral("RED") << int(QTextFormat::ForegroundBrush) << QVariant(QColor(255, 0, 0));
  QTest::newRow("cf0 is automatic") << rtf("\\cf1 x\\cf0 AU") << QStringLiteral("AU") << int(QTextFormat::ForegroundBrush) << QVariant();
  QTest::newRow("highlight") << rtf("\\highlight3 HL") << QStringLiteral("HL") << int(QTextFormat::BackgroundBrush)
                             << QVariant(QColor(255, 255, 0));
  QTest::newRow("chcbpat") << rtf("\\chcbpat2 CB") << QStringLiteral("CB") << int(QTextFormat::BackgroundBrush) << QVariant(QColor(0, 128, 0));
  QTest::newRow("super") << rtf("x\\super SP") << QStringLiteral("SP") << int(QTextFormat::TextVerticalAlignment)
                         << QVariant(int(QTextCharFormat::AlignSuperScript));
  QTest::newRow("sub") << rtf("x\\sub SB") << QStringLiteral("SB") << int(QTextFormat::TextVerticalAlignment)
                       << QVariant(int(QTextCharFormat::AlignSubScript));
  QTest::newRow("nosupersub") << rtf("\\super x\\nosupersub NS") << QStringLiteral("NS") << int(QTextFormat::TextVerticalAlignment) << QVariant();
  QTest::newRow("caps") << rtf("\\caps CP") << QStringLiteral("CP") << int(QTextFormat::FontCapitalization) << QVariant(int(QFont::AllUppercase));
  QTest::newRow("group restores") << rtf("{\\b x}GR") << QStringLiteral("GR") << int(QTextFormat::FontWeight) << QVariant();
  QTest::newRow("plain resets") << rtf("\\b\\i\\fs40\\cf1 x\\plain PL") << QStringLiteral("PL") << int(QTextFormat::FontPointSize) << QVariant(12.0);
  QTest::newRow("pard keeps characters") << rtf("\\b x\\par\\pard PK") << QStringLiteral("PK") << int(QTextFormat::FontWeight)
                                         << QVariant(int(QFont::Bold));
  QTest::newRow("hyperlink field") << fixture("fields-lists.rtf") << QStringLiteral("the link") << int(QTextFormat::AnchorHref)
                                   << QVariant(QStringLiteral("http://example.org/task"));
}

void TestRtfReader::charFormat() {
  QFETCH(QByteArray, input);
  QFETCH(QString, needle);
  QFETCH(int, property);
  QFETCH(QVariant, expected);
  const auto doc = read(input);
  QVERIFY2(!doc->find(needle).isNull(), qPrintable(::text(*doc)));
  const QTextCharFormat f = formatOf(*doc, needle);
  QVariant actual = f.property(property);
  if (expected.typeId() == QMetaType::QColor) actual = f.brushProperty(property).color();
  if (property == QTextFormat::FontWeight && !expected.isValid() && actual.toInt() == QFont::Normal) actual = QVariant();
  if (expected.typeId() == QMetaType::Double) actual = actual.toDouble();
  QCOMPARE(actual, expected);
}

// ------------------------------------------------------------------ paragraphs

void TestRtfReader::blockFormat_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<int>("property");
  QTest::addColumn<QVariant>("expected");
  // The paragraph under test holds "X".
  QTest::newRow("centre") << rtf("\\qc X\\par") << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignHCenter));
  QTest::newRow("right") << rtf("\\qr X\\par") << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignRight));
  QTest::newRow("justify") << rtf("\\qj X\\par") << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignJustify));
  QTest::newRow("pard resets") << rtf("\\qc a\\par\\pard X\\par") << int(QTextFormat::BlockAlignment) << QVariant(int(Qt::AlignLeft));
  QTest::newRow("left indent twips to px") << rtf("\\li720 X\\par") << int(QTextFormat::BlockLeftMargin) << QVariant(48.0);
  QTest::newRow("right indent") << rtf("\\ri1440 X\\par") << int(QTextFormat::BlockRightMargin) << QVariant(96.0);
  QTest::newRow("first line") << rtf("\\fi-360 X\\par") << int(QTextFormat::TextIndent) << QVariant(-24.0);
  QTest::newRow("space before") << rtf("\\sb240 X\\par") << int(QTextFormat::BlockTopMargin) << QVariant(16.0);
  QTest::newRow("space after") << rtf("\\sa120 X\\par") << int(QTextFormat::BlockBottomMargin) << QVariant(8.0);
  QTest::newRow("line spacing multiple") << rtf("\\sl360\\slmult1 X\\par") << int(QTextFormat::LineHeight) << QVariant(150.0);
  QTest::newRow("line spacing exact") << rtf("\\sl-300\\slmult0 X\\par") << int(QTextFormat::LineHeight) << QVariant(20.0);
  QTest::newRow("line spacing type exact") << rtf("\\sl-300\\slmult0 X\\par") << int(QTextFormat::LineHeightType)
                                           << QVariant(int(QTextBlockFormat::FixedHeight));
  QTest::newRow("page break before next") << rtf("a\\page X\\par") << int(QTextFormat::PageBreakPolicy)
                                          << QVariant(int(QTextFormat::PageBreak_AlwaysBefore));
  QTest::newRow("last paragraph without par") << rtf("a\\par\\qc X") << int(QTextFormat::BlockAlignment)
                                              << QVariant(int(Qt::AlignHCenter));
}

void TestRtfReader::blockFormat() {
  QFETCH(QByteArray, input);
  QFETCH(int, property);
  QFETCH(QVariant, expected);
  const auto doc = read(input);
  const QTextCursor found = doc->find(QStringLiteral("X"), 0, QTextDocument::FindCaseSensitively);
  QVERIFY(!found.isNull());
  QVariant actual = found.block().blockFormat().property(property);
  if (expected.typeId() == QMetaType::Double) actual = actual.toDouble();
  if (property == QTextFormat::BlockAlignment) actual = actual.toInt() & int(Qt::AlignHorizontal_Mask);
  QCOMPARE(actual, expected);
}

void TestRtfReader::tabStops() {
  // RTF tab stops count from the paragraph's edge, Qt's from the line start:
  // a list item's tab at the left indent must land 24 px after the number.
  const auto doc = read(rtf("\\li720\\fi-360\\tx720\\tqr\\tx2160 1.\\tab X\\tab 9\\par"));
  const auto tabs = doc->begin().blockFormat().tabPositions();
  QCOMPARE(tabs.size(), 2);
  QCOMPARE(tabs[0].position, 24.0);
  QCOMPARE(tabs[1].position, 120.0);
  QCOMPARE(tabs[1].type, QTextOption::RightTab);
}

// ------------------------------------------------------------------ tables

void TestRtfReader::tableStructure() {
  const auto doc = read(fixture("tables.rtf"));
  const auto all = tables(*doc);
  QCOMPARE(all.size(), 2);
  QTextTable* t = all.first();
  QCOMPARE(t->rows(), 3);
  QCOMPARE(t->columns(), 3);
  QCOMPARE(cellText(t, 0, 0), QStringLiteral("A1"));
  QCOMPARE(cellText(t, 0, 2), QStringLiteral("C1\nC1b"));
  QCOMPARE(cellText(t, 1, 1), QStringLiteral("B2"));
  // \clvmgf / \clvmrg: A1 runs down two rows.
  QCOMPARE(t->cellAt(0, 0).rowSpan(), 2);
  // The last row's second cell reaches the right edge of the third column.
  QCOMPARE(t->cellAt(2, 1).columnSpan(), 2);
  QCOMPARE(cellText(t, 2, 1), QStringLiteral("BC3"));
  // Widths from \cellx: 1392 - (-108) = 1500 twips = 100 px, then 3000 twips = 200 px.
  const auto widths = t->format().columnWidthConstraints();
  QCOMPARE(widths.size(), 3);
  QCOMPARE(widths[0].rawValue(), 100.0);
  QCOMPARE(widths[1].rawValue(), 200.0);
  QVERIFY(t->format().border() > 0);
  QCOMPARE(t->cellAt(0, 1).format().background().color(), QColor(217, 217, 217));
  QCOMPARE(formatOf(*doc, QStringLiteral("A1")).fontWeight(), int(QFont::Bold));
  // Text before and after stays outside; no empty paragraph before the table.
  QVERIFY(::text(*doc).startsWith(QStringLiteral("Перед таблицей\nA1")));
  QVERIFY(::text(*doc).contains(QStringLiteral("После таблицы")));
}

void TestRtfReader::nestedTableAsText() {
  const auto doc = read(fixture("tables.rtf"));
  QTextTable* outer = tables(*doc).last();
  QCOMPARE(outer->rows(), 1);
  QCOMPARE(outer->columns(), 2);
  QCOMPARE(cellText(outer, 0, 0), QStringLiteral("outer1"));
  const QString second = cellText(outer, 0, 1);
  QVERIFY2(second.contains(QStringLiteral("in1\tin2")) && second.endsWith(QStringLiteral("outer2")), qPrintable(second));
  QVERIFY(::text(*doc).endsWith(QStringLiteral("end\n")));
}

void TestRtfReader::rowRedefinedWithinRow() {
  // A \trowd between a row's cells leaves fewer cell definitions than the
  // row has cells: the cells keep their places, and the one whose edge is
  // gone takes one column (it once took its edge from a stale definition).
  const auto doc = read(rtf("\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row "
                            "\\trowd\\cellx1000\\cellx3000\\intbl d\\cell \\trowd\\cellx500 e\\cell\\row\\pard end"));
  QTextTable* t = tables(*doc).value(0);
  QVERIFY(t);
  QCOMPARE(t->rows(), 2);
  QCOMPARE(cellText(t, 1, 0), QStringLiteral("d"));
  QCOMPARE(cellText(t, 1, 1), QStringLiteral("e"));
  QCOMPARE(t->cellAt(1, 1).columnSpan(), 1);
}

// ------------------------------------------------------------------ pictures

void TestRtfReader::pictures() {
  const auto doc = read(fixture("pictures.rtf"));
  const auto imgs = images(*doc);
  // One each for A (the shape picture, not its \nonshppict copy), B, C, D, E.
  QCOMPARE(imgs.size(), 5);
  using textview::BlankPicture;
  struct Want {
    double w, h;
    bool drawn;
    int blank;  // the reason the reader gives for a blank box, 0 for a drawn picture
  };
  const Want want[] = {
      {80, 60, true, 0},                             // PNG, goal 1200 x 900 twips
      {10, 4, true, 0},                              // JPEG in \bin, own 5 x 2 px at 200 %
      {96, 48, false, int(BlankPicture::Metafile)},  // metafile: 2540 x 1270 hundredths of a mm = 1 x 0.5 inch, blank
      {20, 10, false, int(BlankPicture::Damaged)},   // damaged PNG: blank box of its goal size
      {40, 30, false, int(BlankPicture::Metafile)},  // EMF: blank box
  };
  for (int i = 0; i < 5; ++i) {
    QCOMPARE(imgs[i].width(), want[i].w);
    QCOMPARE(imgs[i].height(), want[i].h);
    const QImage img = doc->resource(QTextDocument::ImageResource, QUrl(imgs[i].name())).value<QImage>();
    QVERIFY(!img.isNull());
    QCOMPARE(img.width() > 1, want[i].drawn);
    QCOMPARE(imgs[i].intProperty(textview::kBlankPicture), want[i].blank);
  }
  const QImage png = doc->resource(QTextDocument::ImageResource, QUrl(imgs[0].name())).value<QImage>();
  QCOMPARE(png.size(), QSize(4, 3));
  QCOMPARE(png.pixelColor(1, 1), QColor(255, 0, 0));
}

void TestRtfReader::pictureHugeDeclaredSize() {
  // A PNG header claiming 30000 x 30000 pixels must not be decoded.
  QByteArray png = pngOfSize(2, 2);
  png[16] = 0; png[17] = 0; png[18] = char(0x75); png[19] = char(0x30);
  png[20] = 0; png[21] = 0; png[22] = char(0x75); png[23] = char(0x30);
  const quint32 crc = crc32(png.constData() + 12, 17);  // IHDR type and data
  for (int i = 0; i < 4; ++i) png[29 + i] = char(crc >> (24 - 8 * i));
  expectFailure(rtf("{\\pict\\pngblip " + png.toHex() + "}"));
  // A modest real picture passes.
  const auto doc = read(rtf("{\\pict\\pngblip " + pngOfSize(300, 200).toHex() + "}"));
  QCOMPARE(images(*doc).value(0).width(), 300.0);
}

// ------------------------------------------------------------------ word processors

void TestRtfReader::wordProcessors_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("spanRow");   // the writer keeps the cell that spans two columns
  QTest::addColumn<bool>("coloured");  // the writer keeps the red heading colour
  QTest::newRow("LibreOffice Writer") << QStringLiteral("wp/libreoffice.rtf") << true << true;
  QTest::newRow("AbiWord") << QStringLiteral("wp/abiword.rtf") << true << true;
  QTest::newRow("pandoc") << QStringLiteral("wp/pandoc.rtf") << false << false;
}

void TestRtfReader::wordProcessors() {
  QFETCH(QString, file);
  QFETCH(bool, spanRow);
  QFETCH(bool, coloured);
  const auto doc = read(fixture(file));
  const QString all = ::text(*doc);
  for (const char* line : {"Задание 2. Описание фотографии", "Рассмотрите фотографию и опишите её.",
                           "полторы минуты", "погода", "ваше отношение", "Конец задания: Ёлка, ёж, «кавычки»."})
    QVERIFY2(all.contains(QString::fromUtf8(line)), line);
  QVERIFY(!all.contains(QStringLiteral("\\")));
  QVERIFY(!all.contains(QStringLiteral("Helvetica")));  // nothing of the font table leaks out

  QCOMPARE(formatOf(*doc, QStringLiteral("Задание 2")).fontWeight(), int(QFont::Bold));
  QCOMPARE(formatOf(*doc, QStringLiteral("фотографию")).fontWeight(), int(QFont::Bold));
  QVERIFY(formatOf(*doc, QStringLiteral("Время на подготовку")).fontItalic());
  QVERIFY(formatOf(*doc, QStringLiteral("полторы минуты")).fontUnderline());
  if (coloured) QCOMPARE(formatOf(*doc, QStringLiteral("Фото для описания")).foreground().color(), QColor(0xc0, 0, 0));

  const auto ts = tables(*doc);
  QCOMPARE(ts.size(), 1);
  QTextTable* t = ts.first();
  QCOMPARE(t->columns(), 2);
  QCOMPARE(t->rows(), 4);
  QVERIFY(cellText(t, 0, 0).contains(QStringLiteral("Вопрос")));
  QVERIFY(cellText(t, 2, 1).contains(QStringLiteral("40 секунд")));
  QVERIFY(cellText(t, 3, 0).contains(QStringLiteral("Всего: одна минута")));
  if (spanRow) QCOMPARE(t->cellAt(3, 0).columnSpan(), 2);

  const auto imgs = images(*doc);
  QCOMPARE(imgs.size(), 1);
  const QImage photo = doc->resource(QTextDocument::ImageResource, QUrl(imgs[0].name())).value<QImage>();
  QCOMPARE(photo.size(), QSize(160, 107));
  QVERIFY(imgs[0].width() >= 150 && imgs[0].width() <= 220);
}

// ------------------------------------------------------------------ plain text

void TestRtfReader::plainText_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("expected");
  QTest::newRow("empty file") << QByteArray() << QString();
  QTest::newRow("Windows-1251") << QByteArray("\xc7\xe0\xe4\xe0\xed\xe8\xe5 1\r\n\xc2\xee\xef\xf0\xee\xf1")
                                << QStringLiteral("Задание 1\r\nВопрос").replace(u'\r', QString());
  QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf\xd0\x94\xd0\xb0 {\\b no}")
                                  << QStringLiteral("Да {\\b no}");
  QTest::newRow("RTF-like but not RTF") << QByteArray(" {\\rtf1 x}") << QStringLiteral(" {\\rtf1 x}");
  QTest::newRow("HTML stays text") << QByteArray("<b>x</b>") << QStringLiteral("<b>x</b>");
}

void TestRtfReader::plainText() {
  QFETCH(QByteArray, input);
  QFETCH(QString, expected);
  const auto doc = read(input);
  QCOMPARE(::text(*doc), expected);
  QCOMPARE(images(*doc).size(), 0);
}

// ------------------------------------------------------------------ refused input

void TestRtfReader::refused_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<int>("limitCase");  // 0: default limits, 1: small output limits
  QByteArray binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  QTest::newRow("bytes that are not text") << binary << 0;
  QTest::newRow("NUL in text") << QByteArray("abc\0def", 7) << 0;
  QTest::newRow("control characters") << QByteArray(64, '\x01') << 0;
  QTest::newRow("deep nesting") << "{\\rtf1 " + QByteArray(100000, '{') << 0;
  QTest::newRow("huge \\bin length") << rtf("{\\pict\\pngblip\\bin999999999999 x}") << 0;
  QTest::newRow("too much text") << rtf(QByteArray(5000, 'a')) << 1;
  QTest::newRow("too many paragraphs") << rtf(QByteArray("\\par ").repeated(500)) << 1;
  QTest::newRow("too many columns") << rtf("\\trowd\\intbl " + QByteArray("x\\cell ").repeated(100) + "\\row") << 1;
  QTest::newRow("too many cells") << rtf(QByteArray("\\trowd\\cellx100\\intbl x\\cell\\row ").repeated(300)) << 1;
  QTest::newRow("too big picture data") << rtf("{\\pict\\pngblip " + QByteArray(5000, 'a') + "}") << 1;
  QTest::newRow("too many pictures") << rtf(QByteArray("{\\pict\\wmetafile8 00}").repeated(20)) << 1;
}

void TestRtfReader::refused() {
  QFETCH(QByteArray, input);
  QFETCH(int, limitCase);
  ReadLimits limits;
  if (limitCase == 1) {
    limits.maxChars = 1000;
    limits.maxBlocks = 100;
    limits.maxColumns = 16;
    limits.maxCells = 100;
    limits.maxPictureBytes = 1000;
    limits.maxImages = 10;
  }
  expectFailure(input, limits);
}

void TestRtfReader::truncatedFileShowsWhatItHas() {
  const QByteArray whole = fixture("tables.rtf");
  for (const qsizetype cut : {qsizetype(20), whole.size() / 3, whole.size() / 2, whole.size() - 3}) {
    const auto doc = read(whole.left(cut));
    QVERIFY(::text(*doc).size() < ::text(*read(whole)).size() + 1);
  }
  QVERIFY(::text(*read(whole.left(whole.indexOf("\\trowd")))).startsWith(QStringLiteral("Перед таблицей")));
}

void TestRtfReader::manyRunsAndRowsStayFast() {
  // Both grew with the square of their size once: a paragraph of many
  // short formatted runs, and a long table. Each takes milliseconds now.
  QElapsedTimer timer;
  timer.start();
  const auto runs = read(rtf(QByteArray("{\\b a}{\\i b}").repeated(20000)));
  QCOMPARE(::text(*runs).size(), 40000);
  const auto rows = read(rtf(QByteArray("\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b\\cell\\row ").repeated(5000)));
  QCOMPARE(tables(*rows).value(0)->rows(), 5000);
  QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestRtfReader::extremeNumbers() {
  // Out-of-range parameters are clamped, never overflow (found by fuzzing).
  const QByteArray huge = "99999999999999999999";
  const auto doc = read(rtf("\\trowd\\trleft-" + huge + "\\cellx" + huge + "\\cellx-" + huge + "\\trgaph" + huge +
                            " \\li" + huge + "\\fi-" + huge + "\\tx" + huge + "\\sl-" + huge + "\\fs" + huge +
                            "\\intbl a\\cell b\\cell\\row\\pard c{\\pict\\pngblip\\picwgoal" + huge +
                            "\\pichgoal" + huge + "\\picscalex" + huge + " 00}\\par"));
  QCOMPARE(tables(*doc).size(), 1);
  QVERIFY(images(*doc).value(0).width() <= ReadLimits{}.maxBoxSide);
  read(fixture("fuzz-huge-cellx.rtf"));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
