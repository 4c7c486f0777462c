// RichEdit1 of the stages: loading by path, what stays after a failed load,
// caret and scroll position, the layout properties, and the sample texts.

#include "textview/richview.h"
#include "textview/rtfreader.h"

#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTest>
#include <QTextDocument>

using textview::LoadError;
using textview::RichView;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
  return path;
}

QByteArray longRtf(const QByteArray& word) {
  QByteArray r = "{\\rtf1\\ansi\\ansicpg1251 ";
  for (int i = 0; i < 200; ++i) r += word + " " + QByteArray::number(i) + " \\'c4\\'e0 long long long line\\par\n";
  return r + "}";
}

QString loadError(RichView& view, const QString& path) {
  try {
    view.loadFromFile(path);
  } catch (const LoadError& e) {
    return e.message();
  }
  return {};
}

}  // namespace

class TestRichView : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void loadShowsRtfWithCaretAndViewAtTop();
  void failedLoadKeepsOldContent_data();
  void failedLoadKeepsOldContent();
  void plainTextHeldToTheReaderLimits_data();
  void plainTextHeldToTheReaderLimits();
  void staysEditable();
  void replacedDocumentIsFreed();
  void layoutProperties_data();
  void layoutProperties();
  void sampleTexts();
  void listLabelsDrawn_data();
  void listLabelsDrawn();

 private:
  QTemporaryDir dir_;
};

void TestRichView::init() { QVERIFY(dir_.isValid()); }

void TestRichView::loadShowsRtfWithCaretAndViewAtTop() {
  RichView view;
  view.resize(300, 200);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  view.loadFromFile(writeFile(dir_, "a.rtf", longRtf("first")));
  QVERIFY(view.toPlainText().startsWith(QStringLiteral("first 0 Да")));
  // Scroll away and move the caret to the end, then load again.
  view.moveCursor(QTextCursor::End);
  view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
  view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
  QVERIFY(view.verticalScrollBar()->value() > 0);
  view.loadFromFile(writeFile(dir_, "b.rtf", longRtf("second")));
  QVERIFY(view.toPlainText().startsWith(QStringLiteral("second 0")));
  QVERIFY(!view.toPlainText().contains(QStringLiteral("first")));
  QCOMPARE(view.textCursor().position(), 0);
  QCOMPARE(view.verticalScrollBar()->value(), 0);
  QCOMPARE(view.horizontalScrollBar()->value(), 0);
}

// A plain-text task file passes the limits RTF passes: one far over them
// is refused at once, without the memory of laying it out.
void TestRichView::plainTextHeldToTheReaderLimits_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<bool>("loads");
  const textview::ReadLimits limits;
  QByteArray line(79, 'a');
  line += '\n';
  QTest::newRow("50 MB of text") << line.repeated((50 << 20) / 80) << false;
  QTest::newRow("too many lines") << QByteArray("a\n").repeated(limits.maxBlocks) << false;
  QTest::newRow("lines within the limit") << QByteArray("a\n").repeated(limits.maxBlocks - 1) << true;
  QTest::newRow("UTF-8 counted by characters")
      << "\xEF\xBB\xBF" + QStringLiteral("Да").toUtf8().repeated(limits.maxChars / 2 / 100) << true;
}

void TestRichView::plainTextHeldToTheReaderLimits() {
  QFETCH(QByteArray, bytes);
  QFETCH(bool, loads);
  const QString path = writeFile(dir_, "plain.txt", bytes);
  bytes.clear();
  RichView view;
  view.setPlainText(QStringLiteral("before"));
  QElapsedTimer clock;
  clock.start();
  const QString error = loadError(view, path);
  qInfo("%lld ms", clock.elapsed());
  QCOMPARE(error.isEmpty(), loads);
  if (!loads) {
    QCOMPARE(error, QStringLiteral("Failed to Load Stream"));
    QCOMPARE(view.toPlainText(), QStringLiteral("before"));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
  }
}

void TestRichView::failedLoadKeepsOldContent_data() {
  QTest::addColumn<QString>("name");     // file in the temporary folder, empty: none written
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("message");  // %1 stands for the path
  QTest::newRow("missing file") << QStringLiteral("missing.rtf") << QByteArray()
                                << QStringLiteral("Cannot open file \"%1\". No such file or directory");
  QTest::newRow("not text") << QStringLiteral("binary.rtf") << QByteArray("\x00\x01\x02\x03\xff\xfe", 6)
                            << QStringLiteral("Failed to Load Stream");
  QTest::newRow("named pipe") << QStringLiteral("pipe.rtf") << QByteArray("<fifo>")
                              << QStringLiteral("Cannot open file \"%1\". Not a regular file");
  QTest::newRow("over the limits") << QStringLiteral("deep.rtf") << QByteArray("{\\rtf1 ") + QByteArray(5000, '{')
                                   << QStringLiteral("Failed to Load Stream");
}

void TestRichView::failedLoadKeepsOldContent() {
  QFETCH(QString, name);
  QFETCH(QByteArray, bytes);
  QFETCH(QString, message);
  RichView view;
  view.loadFromFile(writeFile(dir_, "good.rtf", "{\\rtf1 {\\b old} text}"));
  QString path = dir_.filePath(name);
  if (bytes == "<fifo>") QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
  else if (!bytes.isEmpty()) path = writeFile(dir_, name, bytes);
  QCOMPARE(loadError(view, path), message.contains(QLatin1String("%1")) ? message.arg(path) : message);
  QCOMPARE(view.toPlainText(), QStringLiteral("old text"));
}

void TestRichView::staysEditable() {
  RichView view;
  view.loadFromFile(writeFile(dir_, "e.rtf", "{\\rtf1 abc}"));
  QVERIFY(!view.isReadOnly());
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  QTest::keyClicks(&view, "X");
  QCOMPARE(view.toPlainText(), QStringLiteral("Xabc"));
}

void TestRichView::replacedDocumentIsFreed() {
  RichView view;
  view.loadFromFile(writeFile(dir_, "1.rtf", "{\\rtf1 one}"));
  QPointer<QTextDocument> first = view.document();
  view.loadFromFile(writeFile(dir_, "2.rtf", "{\\rtf1 two}"));
  QVERIFY(first.isNull());
  QCOMPARE(view.toPlainText(), QStringLiteral("two"));
}

void TestRichView::layoutProperties_data() {
  QTest::addColumn<bool>("scrollBars");
  QTest::addColumn<int>("borderWidth");
  QTest::addColumn<bool>("borderLine");
  QTest::newRow("instruction: both bars, no margin, line") << true << 0 << true;
  QTest::newRow("task 3: no bars, margin 5, line") << false << 5 << true;
  QTest::newRow("task 2 question: no bars, margin 5, no line") << false << 5 << false;
}

void TestRichView::layoutProperties() {
  QFETCH(bool, scrollBars);
  QFETCH(int, borderWidth);
  QFETCH(bool, borderLine);
  RichView view;
  view.setProperty("scrollBars", scrollBars);
  view.setProperty("borderWidth", borderWidth);
  view.setProperty("borderLine", borderLine);
  view.resize(200, 100);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  view.loadFromFile(writeFile(dir_, "wide.rtf", longRtf(QByteArray(300, 'w'))));
  const auto policy = scrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  QCOMPARE(view.verticalScrollBarPolicy(), policy);
  QCOMPARE(view.horizontalScrollBarPolicy(), policy);
  QCOMPARE(view.verticalScrollBar()->isVisible(), scrollBars);  // the text overflows
  QCOMPARE(view.viewport()->geometry().left() - view.frameWidth(), borderWidth);
  QCOMPARE(view.frameShape() != QFrame::NoFrame, borderLine);
  // A short text needs no scroll bars.
  view.loadFromFile(writeFile(dir_, "short.rtf", "{\\rtf1 x}"));
  QTRY_VERIFY(!view.verticalScrollBar()->isVisible());
}

void TestRichView::sampleTexts() {
  // Every sample task text loads, shows Cyrillic and nothing of the RTF.
  // The samples are part of the tree: a build that cannot find them fails.
  const QDir kim(QStringLiteral(QUORVEL_SAMPLE_KIM));
  QVERIFY2(kim.exists(), qPrintable(QStringLiteral("no sample folder ") + kim.absolutePath()));
  int checked = 0, tables = 0, pictures = 0;
  {
    QDirIterator it(kim.absolutePath(), {QStringLiteral("*.rtf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      RichView view;
      view.loadFromFile(path);
      const QString html = view.toHtml();
      QVERIFY2(view.toPlainText().contains(QRegularExpression(QStringLiteral("[А-Яа-я]{3}"))), qPrintable(path));
      QVERIFY2(!view.toPlainText().contains(QStringLiteral("\\par")), qPrintable(path));
      tables += html.contains(QStringLiteral("<table"));
      pictures += html.contains(QStringLiteral("<img"));
      ++checked;
    }
  }
  QVERIFY2(checked > 0, qPrintable(QStringLiteral("no sample texts in ") + kim.absolutePath()));
  QVERIFY(tables > 0);
  QVERIFY(pictures > 0);
}

// The labels of lists are drawn left of their paragraphs, whether Qt's list
// draws them or they stayed text; nothing is drawn before plain text.
void TestRichView::listLabelsDrawn_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("paragraph");
  QTest::addColumn<bool>("label");
  QTest::newRow("numbered, Qt's list") << QStringLiteral("wp/lists-libreoffice.rtf") << QStringLiteral("Где вы живёте?") << true;
  QTest::newRow("letters, Qt's list") << QStringLiteral("wp/lists-libreoffice.rtf") << QStringLiteral("бета") << true;
  QTest::newRow("bullet, Qt's list") << QStringLiteral("wp/lists-libreoffice.rtf") << QStringLiteral("ещё пункт") << true;
  QTest::newRow("from 5, label as text") << QStringLiteral("wp/lists-libreoffice.rtf") << QStringLiteral("Шестой") << true;
  QTest::newRow("from the list table") << QStringLiteral("wp/lists-abiword.rtf") << QStringLiteral("Почему?") << true;
  QTest::newRow("indented paragraph of no list") << QStringLiteral("lists-table.rtf") << QStringLiteral("unknown list") << false;
}

void TestRichView::listLabelsDrawn() {
  QFETCH(QString, file);
  QFETCH(QString, paragraph);
  QFETCH(bool, label);
  RichView view;
  view.resize(500, 500);
  view.show();
  QVERIFY(QTest::qWaitForWindowExposed(&view));
  view.loadFromFile(QStringLiteral(QUORVEL_FIXTURES "/rtf/") + file);
  const QImage shot = view.viewport()->grab().toImage();
  const QTextCursor found = view.document()->find(paragraph);
  QVERIFY(!found.isNull());
  // Where the paragraph's own words begin on the screen.
  QTextCursor start(found.block());
  if (start.block().text().contains(u'\t')) start.setPosition(found.block().position() + int(found.block().text().indexOf(u'\t')) + 1);
  const QRect text = view.cursorRect(start);
  qsizetype ink = 0;
  for (int y = text.top(); y < text.bottom(); ++y)
    for (int x = std::max(0, text.left() - 40); x < text.left() - 2; ++x)
      ink += qGray(shot.pixel(x * shot.width() / view.viewport()->width(), y * shot.height() / view.viewport()->height())) < 128;
  QCOMPARE(ink > 0, label);
}

QTEST_MAIN(TestRichView)
#include "tst_richview.moc"
