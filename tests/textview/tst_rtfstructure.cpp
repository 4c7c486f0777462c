// The task-text reader on the structure exam texts use: list labels made
// from list tables and paragraph numbering, lists as real lists, paragraph
// settings from the style sheet, text boxes and footnotes. Fixtures under
// wp/ were written by the word processors named in each row (from the
// sources beside them); the others are written by hand.

#include "textview/rtfreader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QTextDocumentFragment>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <memory>

namespace {

QByteArray fixture(const QString& name) {
  QFile f(QStringLiteral(QUORVEL_FIXTURES "/rtf/") + name);
  if (!f.open(QIODevice::ReadOnly)) qFatal("missing fixture %s", qPrintable(name));
  return f.readAll();
}

QByteArray rtf(const QByteArray& body) {
  return "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}\n" + body + "}";
}

std::unique_ptr<QTextDocument> read(const QByteArray& bytes) {
  auto doc = std::make_unique<QTextDocument>();
  textview::readDocument(bytes, doc.get());
  return doc;
}

// The label Qt's list draws before a block, as text.
QString marker(const QTextBlock& b) {
  QTextList* list = b.textList();
  if (!list) return {};
  switch (list->format().style()) {
    case QTextListFormat::ListDisc: return QStringLiteral("•");
    case QTextListFormat::ListCircle: return QStringLiteral("◦");
    case QTextListFormat::ListSquare: return QStringLiteral("▪");
    default: return list->itemText(b);
  }
}

// Every paragraph as a person sees it: a list's label, a tab, the text.
QString shown(const QTextDocument& doc) {
  QStringList lines;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
    lines << (b.textList() ? marker(b) + u'\t' : QString()) + b.text();
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines.join(u'\n');
}

QTextBlock blockOf(const QTextDocument& doc, const QString& needle) {
  return doc.find(needle, 0, QTextDocument::FindCaseSensitively).block();
}

QTextCharFormat formatOf(const QTextDocument& doc, const QString& needle) {
  const QTextCursor found = doc.find(needle, 0, QTextDocument::FindCaseSensitively);
  if (found.isNull()) return {};
  QTextCursor c(const_cast<QTextDocument*>(&doc));
  c.setPosition(found.selectionStart() + 1);
  return c.charFormat();
}

// The text of each frame that is no table: the text boxes.
QStringList boxes(const QTextDocument& doc) {
  QStringList out;
  QList<QTextFrame*> todo{doc.rootFrame()};
  while (!todo.isEmpty()) {
    QTextFrame* f = todo.takeFirst();
    if (f != doc.rootFrame() && !qobject_cast<QTextTable*>(f)) {
      QTextCursor c(f->firstCursorPosition());
      c.setPosition(f->lastPosition(), QTextCursor::KeepAnchor);
      out << c.selection().toPlainText();
    }
    todo.append(f->childFrames());
  }
  return out;
}

}  // namespace

class TestRtfStructure : public QObject {
  Q_OBJECT

 private slots:
  void listLabels_data();
  void listLabels();
  void listsAreLists_data();
  void listsAreLists();
  void styleSheet_data();
  void styleSheet();
  void textBoxes_data();
  void textBoxes();
  void footnotes_data();
  void footnotes();
  void oddStructureLoads_data();
  void oddStructureLoads();
  void manyItemsStayFast();
};

// ------------------------------------------------------------------ lists

void TestRtfStructure::listLabels_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("expected");
  // AbiWord writes blank \listtext groups: the numbers come from the list table.
  QTest::newRow("AbiWord, labels only in the list table")
      << fixture("wp/lists-abiword.rtf")
      << QStringLiteral("Ответьте на вопросы:\n1.\tГде вы живёте?\n2.\tЧто вы любите читать?\n3.\tКуда вы ездили летом?\n"
                        "4.\tКто ваш лучший друг?\n5.\tПочему?\nПродолжение с пятого:\n1.\tПятый\n2.\tШестой\n"
                        "1.\tальфа\n2.\tбета\n1.\tПервая часть\n1.1.\tвложенный один\n1.2.\tвложенный два\n"
                        "2.\tВторая часть\n•\tпункт\n•\tещё пункт\nКонец.");
  // LibreOffice writes the labels out: they are kept, never numbered twice.
  QTest::newRow("LibreOffice, written labels")
      << fixture("wp/lists-libreoffice.rtf")
      << QStringLiteral("Ответьте на вопросы:\n1.\tГде вы живёте?\n2.\tЧто вы любите читать?\n3.\tКуда вы ездили летом?\n"
                        "4.\tКто ваш лучший друг?\n5.\tПочему?\nПродолжение с пятого:\n 5.\tПятый\n 6.\tШестой\n"
                        "a.\tальфа\nb.\tбета\nI.\tПервая часть\ni.\tвложенный один\nii.\tвложенный два\n"
                        "II.\tВторая часть\n•\tпункт\n•\tещё пункт\nКонец.");
  QTest::newRow("list table: levels, restarts, start values, bullets")
      << fixture("lists-table.rtf")
      << QStringLiteral("Task:\n1.\tfirst\na)\tsub\nb)\tsub two\n1.b.1.\tdeep\nBetween\n2.\tsecond\na)\tsub restarted\n"
                        "•\tbullet\nIV.\tfour\nV.\tfive\n7.\tseven\n–\tdash\n9.\twritten nine\nunknown list\nTail");
  QTest::newRow("paragraph numbering without written labels")
      << fixture("lists-pn.rtf")
      << QStringLiteral("Questions:\n1.\tWhere do you live?\n2.\tWhat do you read?\n3.\tWhy?\nBetween.\nd)\tletter four\n"
                        "e)\tletter five\n•\tbullet\nI.\tPart one\na)\tsub a\nb)\tsub b\ncontinued without number\n"
                        "II.\tPart two\na)\tsub again\n(1)\trestarted\nTail");
  QTest::newRow("written label without a list stays text")
      << fixture("fields-lists.rtf").replace("{\\footnote footnote text}", "")
      << QStringLiteral("See the link now.\n•\tFirst\n•\tSecond\n1.\tNumbered\nPage 7 of pages.\nTail");
  QTest::newRow("empty paragraph of a list shows no number")
      << rtf("{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
             "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 a\\par\\pard\\ls1\\par\\pard\\ls1 b\\par")
      << QStringLiteral("1.\ta\n\n2.\tb");
}

void TestRtfStructure::listLabels() {
  QFETCH(QByteArray, input);
  QFETCH(QString, expected);
  QCOMPARE(shown(*read(input)), expected);
}

void TestRtfStructure::listsAreLists_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("style");   // QTextListFormat::Style; 0: the label is text in the paragraph
  QTest::addColumn<int>("indent");  // list level + 1
  const QByteArray lo = fixture("wp/lists-libreoffice.rtf");
  const QByteArray abi = fixture("wp/lists-abiword.rtf");
  QTest::newRow("LibreOffice decimal") << lo << QStringLiteral("Где вы живёте?") << int(QTextListFormat::ListDecimal) << 1;
  QTest::newRow("LibreOffice letters") << lo << QStringLiteral("бета") << int(QTextListFormat::ListLowerAlpha) << 1;
  QTest::newRow("LibreOffice roman") << lo << QStringLiteral("Вторая часть") << int(QTextListFormat::ListUpperRoman) << 1;
  QTest::newRow("LibreOffice second level") << lo << QStringLiteral("вложенный два") << int(QTextListFormat::ListLowerRoman) << 2;
  QTest::newRow("LibreOffice bullet") << lo << QStringLiteral("ещё пункт") << int(QTextListFormat::ListDisc) << 1;
  QTest::newRow("LibreOffice start at 5: text") << lo << QStringLiteral("Шестой") << 0 << 0;
  QTest::newRow("AbiWord decimal") << abi << QStringLiteral("Почему?") << int(QTextListFormat::ListDecimal) << 1;
  QTest::newRow("AbiWord 1.1.: text") << abi << QStringLiteral("вложенный один") << 0 << 0;
  QTest::newRow("AbiWord bullet") << abi << QStringLiteral("пункт") << int(QTextListFormat::ListDisc) << 1;
  QTest::newRow("Symbol font bullet") << fixture("lists-table.rtf") << QStringLiteral("bullet") << int(QTextListFormat::ListDisc) << 1;
  QTest::newRow("second level letters") << fixture("lists-table.rtf") << QStringLiteral("sub two")
                                        << int(QTextListFormat::ListLowerAlpha) << 2;
  QTest::newRow("dash bullet: text") << fixture("lists-table.rtf") << QStringLiteral("dash") << 0 << 0;
  QTest::newRow("outline numbering") << fixture("lists-pn.rtf") << QStringLiteral("Part two") << int(QTextListFormat::ListUpperRoman) << 1;
  QTest::newRow("outline second level") << fixture("lists-pn.rtf") << QStringLiteral("sub b") << int(QTextListFormat::ListLowerAlpha) << 2;
}

void TestRtfStructure::listsAreLists() {
  QFETCH(QByteArray, input);
  QFETCH(QString, item);
  QFETCH(int, style);
  QFETCH(int, indent);
  const auto doc = read(input);
  const QTextBlock b = blockOf(*doc, item);
  QVERIFY2(b.isValid(), qPrintable(item));
  QTextList* list = b.textList();
  if (style == 0) {
    // The label stays text, followed by a tab, with the hanging indent the
    // file gives, in a font that has its characters.
    QVERIFY(!list);
    QVERIFY2(b.text().indexOf(u'\t') > 0 && b.text().endsWith(item), qPrintable(b.text()));
    QVERIFY(b.blockFormat().textIndent() < 0);
    const QChar first = b.text().trimmed().at(0);
    QVERIFY(QFontMetricsF(b.begin().fragment().charFormat().font()).inFont(first));
    return;
  }
  QVERIFY2(list, qPrintable(b.text()));
  QCOMPARE(int(list->format().style()), style);
  QCOMPARE(list->format().indent(), indent);
  QCOMPARE(b.text(), item);  // no label left in the text
  QVERIFY(b.blockFormat().textIndent() >= 0);
}

// ------------------------------------------------------------------ styles

void TestRtfStructure::styleSheet_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("needle");
  QTest::addColumn<int>("property");
  QTest::addColumn<QVariant>("expected");
  const QByteArray s = fixture("styles.rtf");
  const int align = QTextFormat::BlockAlignment;
  QTest::newRow("centred by its style") << s << QStringLiteral("TITLE") << align << QVariant(int(Qt::AlignHCenter));
  QTest::newRow("space before from the style") << s << QStringLiteral("TITLE") << int(QTextFormat::BlockTopMargin) << QVariant(16.0);
  QTest::newRow("bold from the style") << s << QStringLiteral("TITLE") << int(QTextFormat::FontWeight) << QVariant(int(QFont::Bold));
  QTest::newRow("size from the style") << s << QStringLiteral("TITLE") << int(QTextFormat::FontPointSize) << QVariant(16.0);
  QTest::newRow("justified") << s << QStringLiteral("BODY") << align << QVariant(int(Qt::AlignJustify));
  QTest::newRow("first line indent") << s << QStringLiteral("BODY") << int(QTextFormat::TextIndent) << QVariant(37.0);
  QTest::newRow("line spacing") << s << QStringLiteral("BODY") << int(QTextFormat::LineHeight) << QVariant(150.0);
  QTest::newRow("character style") << s << QStringLiteral("STRESSED") << int(QTextFormat::TextUnderlineStyle)
                                   << QVariant(int(QTextCharFormat::SingleUnderline));
  QTest::newRow("character style ends with its group") << s << QStringLiteral("more") << int(QTextFormat::TextUnderlineStyle) << QVariant();
  QTest::newRow("right-aligned") << s << QStringLiteral("SIGN") << align << QVariant(int(Qt::AlignRight));
  QTest::newRow("left indent") << s << QStringLiteral("SIGN") << int(QTextFormat::BlockLeftMargin) << QVariant(75.0);
  QTest::newRow("based on: alignment") << s << QStringLiteral("SMALL") << align << QVariant(int(Qt::AlignRight));
  QTest::newRow("based on: italic") << s << QStringLiteral("SMALL") << int(QTextFormat::FontItalic) << QVariant(true);
  QTest::newRow("based on: own size") << s << QStringLiteral("SMALL") << int(QTextFormat::FontPointSize) << QVariant(10.0);
  QTest::newRow("own alignment before the style wins") << s << QStringLiteral("OWNLEFT") << align << QVariant(int(Qt::AlignLeft));
  QTest::newRow("own alignment after the style wins") << s << QStringLiteral("OWNAFTER") << align << QVariant(int(Qt::AlignLeft));
  QTest::newRow("styles based on each other in a circle") << s << QStringLiteral("LOOP") << align << QVariant(int(Qt::AlignHCenter));
  QTest::newRow("table style is no paragraph style") << s << QStringLiteral("TABLESTYLE") << align << QVariant(int(Qt::AlignLeft));
  QTest::newRow("unknown style") << s << QStringLiteral("NOSTYLE") << align << QVariant(int(Qt::AlignLeft));
  QTest::newRow("AbiWord: own settings kept") << fixture("wp/notes-abiword.rtf") << QStringLiteral("Ваш друг Иван") << align
                                              << QVariant(int(Qt::AlignRight));
  QTest::newRow("LibreOffice: style and own settings") << fixture("wp/notes-libreoffice.rtf") << QStringLiteral("Задание 3")
                                                       << align << QVariant(int(Qt::AlignHCenter));
}

void TestRtfStructure::styleSheet() {
  QFETCH(QByteArray, input);
  QFETCH(QString, needle);
  QFETCH(int, property);
  QFETCH(QVariant, expected);
  const auto doc = read(input);
  const QTextBlock b = blockOf(*doc, needle);
  QVERIFY2(b.isValid(), qPrintable(needle));
  const bool charProperty = property >= QTextFormat::FirstFontProperty && property < 0x3000;
  QVariant actual = charProperty ? formatOf(*doc, needle).property(property) : b.blockFormat().property(property);
  if (property == QTextFormat::BlockAlignment) actual = actual.toInt() & int(Qt::AlignHorizontal_Mask);
  if (expected.typeId() == QMetaType::Double) actual = actual.toDouble();
  QCOMPARE(actual, expected);
}

// ------------------------------------------------------------------ text boxes

void TestRtfStructure::textBoxes_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QStringList>("expected");  // the text of each box
  QTest::addColumn<QString>("after");         // text that follows the first box, outside it
  QTest::newRow("LibreOffice, box in a field result")
      << fixture("wp/notes-libreoffice.rtf")
      << QStringList{QStringLiteral("Помните о правилах письма.\nОбъём: 100–120 слов.")} << QStringLiteral("Текст после рамки.");
  // AbiWord starts the box with an empty paragraph.
  QTest::newRow("AbiWord") << fixture("wp/notes-abiword.rtf")
                           << QStringList{QStringLiteral("\nПомните о правилах письма.\nОбъём: 100–120 слов.")}
                           << QStringLiteral("Второе примечание");
  QTest::newRow("result for old readers not shown twice")
      << rtf("a{\\shp{\\*\\shpinst\\shpleft0\\shpright3000{\\sp{\\sn fillColor}{\\sv 255}}{\\shptxt \\pard BOX\\par}}"
             "{\\shprslt\\pard BOX\\par}}b\\par")
      << QStringList{QStringLiteral("BOX")} << QStringLiteral("b");
  QTest::newRow("in a table cell, the table goes on")
      << rtf("\\trowd\\cellx2000\\cellx4000\\intbl x{\\shp{\\*\\shpinst{\\shptxt\\pard IN\\par}}}y\\cell z\\cell\\row\\pard end")
      << QStringList{QStringLiteral("IN")} << QStringLiteral("y");
  QTest::newRow("with a table inside")
      << rtf("{\\shp{\\*\\shpinst{\\shptxt\\pard\\trowd\\cellx1000\\intbl c1\\cell\\row\\pard below\\par}}}after")
      << QStringList{QStringLiteral("\nc1\nbelow")} << QStringLiteral("after");
  QTest::newRow("nested boxes")
      << rtf("{\\shp{\\*\\shpinst{\\shptxt\\pard outer{\\shp{\\*\\shpinst{\\shptxt\\pard inner\\par}}} tail\\par}}}end")
      << QStringList{QStringLiteral("outer\ninner\n tail"), QStringLiteral("inner")} << QStringLiteral("end");
}

void TestRtfStructure::textBoxes() {
  QFETCH(QByteArray, input);
  QFETCH(QStringList, expected);
  QFETCH(QString, after);
  const auto doc = read(input);
  const QStringList found = boxes(*doc);
  QCOMPARE(found, expected);
  QCOMPARE(doc->toPlainText().count(expected.last()), 1);
  // A box that begins its paragraph follows the paragraph before: no empty
  // line above it.
  for (QTextFrame* f : doc->rootFrame()->childFrames()) {
    const QTextBlock above = f->firstCursorPosition().block().previous();
    if (!qobject_cast<QTextTable*>(f) && above != doc->begin()) QVERIFY2(above.length() > 1, qPrintable(doc->toPlainText()));
  }
  const QTextBlock afterBlock = blockOf(*doc, after);
  QVERIFY2(afterBlock.isValid(), qPrintable(doc->toPlainText()));
  QTextCursor c(afterBlock);
  QVERIFY(!qobject_cast<QTextTable*>(c.currentFrame()) || c.currentTable());
  QVERIFY(c.currentFrame() == doc->rootFrame() || c.currentTable());
}

// ------------------------------------------------------------------ footnotes

void TestRtfStructure::footnotes_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("mark");   // text that starts with a note's mark
  QTest::addColumn<QString>("notes");  // what the document ends with
  QTest::newRow("LibreOffice") << fixture("wp/notes-libreoffice.rtf") << QStringLiteral("1 и ответьте")
                               << QStringLiteral("Москва\n\n1Письмо написано в мае.\n2Обращение по имени.");
  QTest::newRow("AbiWord") << fixture("wp/notes-abiword.rtf") << QStringLiteral("2 здесь")
                           << QStringLiteral("Москва\n\n1\tПисьмо написано в мае.\n2\tОбращение по имени.");
  QTest::newRow("pandoc") << fixture("wp/notes-pandoc.rtf") << QStringLiteral("1 и ответьте")
                          << QStringLiteral("здесь.\n\n1\u00A0Письмо написано в мае.\n2\u00A0Обращение по имени.");
  QTest::newRow("mark the file writes itself")
      << rtf("a{\\super *}{\\footnote\\pard{\\super *} star\\par}b\\par") << QStringLiteral("*b")
      << QStringLiteral("a*b\n\n* star");
  QTest::newRow("note with a table, in a table cell")
      << rtf("\\trowd\\cellx2000\\intbl x\\chftn{\\footnote\\pard\\chftn\\trowd\\cellx900\\intbl n\\cell\\row\\pard\\par}\\cell\\row\\pard end\\par")
      << QStringLiteral("1") << QStringLiteral("end\n\n1\nn");
}

void TestRtfStructure::footnotes() {
  QFETCH(QByteArray, input);
  QFETCH(QString, mark);
  QFETCH(QString, notes);
  const auto doc = read(input);
  const QString text = shown(*doc);
  QVERIFY2(text.endsWith(notes), qPrintable(text));
  QCOMPARE(formatOf(*doc, mark).verticalAlignment(), QTextCharFormat::AlignSuperScript);
}

// ------------------------------------------------------------------ broken or hostile input

void TestRtfStructure::oddStructureLoads_data() {
  QTest::addColumn<QByteArray>("input");
  QTest::addColumn<QString>("expected");  // the document's text as shown
  QByteArray deep;
  for (int i = 0; i < 20; ++i) deep += "{\\shp{\\*\\shpinst{\\shptxt\\pard " + QByteArray::number(i) + " ";
  deep += QByteArray(60, '}');
  QTest::newRow("boxes nested past the limit stay in line")
      << rtf(deep) << QStringLiteral("\n0 \n1 \n2 \n3 \n4 \n5 \n6 \n7 8 9 10 11 12 13 14 15 16 17 18 19 ");
  QTest::newRow("note inside a note")
      << rtf("a\\chftn{\\footnote\\pard\\chftn x{\\footnote\\pard y\\par} z\\par}b")
      << QStringLiteral("a1b\n\n1x\ny z");
  QTest::newRow("box inside a note") << rtf("a{\\footnote\\pard n{\\shp{\\*\\shpinst{\\shptxt\\pard box\\par}}}m\\par}b")
                                     << QStringLiteral("ab\n\nn\nbox\nm");
  QTest::newRow("level text longer than written, placeholders past the levels")
      << rtf("{\\*\\listtable{\\list{\\listlevel{\\leveltext\\'ff\\'00\\'05\\'08-;}}\\listid1}}"
             "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1\\ilvl7 item\\par")
      << QStringLiteral("1-\titem");
  QTest::newRow("override of a list that is not there")
      << rtf("{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}\\pard\\ls1 item\\par") << QStringLiteral("item");
  QTest::newRow("note mark inside a label") << rtf("{\\listtext\\chftn 1.\\tab}\\pard item\\par")
                                            << QStringLiteral("1.\titem");
  QTest::newRow("paragraph numbering group never closed")
      << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .") << QString();
}

void TestRtfStructure::oddStructureLoads() {
  QFETCH(QByteArray, input);
  QFETCH(QString, expected);
  const auto doc = read(input);
  QCOMPARE(shown(*doc), expected);
}

void TestRtfStructure::manyItemsStayFast() {
  // Nothing per list item, style reference or note may grow with the
  // number of those before it.
  QByteArray body = "{\\stylesheet{\\s1\\qc\\b\\sbasedon2 a;}{\\s2\\li720\\sbasedon1 b;}}"
                    "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
  body += QByteArray("\\pard\\ls1\\s1 item\\par ").repeated(20000);
  body += QByteArray("{\\listtext 7.\\tab}\\pard\\ls1 x\\par ").repeated(5000);
  body += QByteArray("\\pard b{\\shp{\\*\\shpinst{\\shptxt\\pard box\\par}}{\\shprslt box\\par}}\\par ").repeated(1000);
  body += QByteArray("n\\chftn{\\footnote\\pard\\chftn note\\par}").repeated(3000);
  QElapsedTimer timer;
  timer.start();
  const auto doc = read(rtf(body));
  QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
  // Qt renumbers a whole list for each item added: past 200 items the
  // labels go on as text.
  QCOMPARE(doc->begin().textList()->count(), 200);
  QCOMPARE(doc->findBlockByNumber(19999).text(), QStringLiteral("20000.\titem"));
  // So does each frame: past 200 text boxes their text stays in line.
  QCOMPARE(boxes(*doc).size(), 200);
  QCOMPARE(doc->toPlainText().count(QStringLiteral("box")), 1000);
  QVERIFY(doc->toPlainText().endsWith(QStringLiteral("3000note")));
}

QTEST_MAIN(TestRtfStructure)
#include "tst_rtfstructure.moc"
