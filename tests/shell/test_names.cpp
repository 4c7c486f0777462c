// Names of the station's folders and files, the answer folder key and the
// subject file, for the deliverable this test runs as.
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "test_deliverable.h"
#include "toolkit/errors.h"
#include "toolkit/names.h"

using namespace station;

class TestNames : public QObject {
  Q_OBJECT

 private slots:
  void materials_data();
  void materials();
  void answerFiles_data();
  void answerFiles();
  void fourDigit_data();
  void fourDigit();
  void answerKey_data();
  void answerKey();
  void unsafeNamePart_data();
  void unsafeNamePart();
  void subjectFile_data();
  void subjectFile();
  void missingSubjectFile();
};

void TestNames::materials_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("variant");
  QTest::addColumn<QString>("flat");
  QTest::newRow("subject") << names::subjectFile() << "KIM/subj" << "KIM/subj";
  QTest::newRow("test text") << names::testTextFile() << "KIM/TestRTF.rtf" << "KIM/TestRTF.rtf";
  QTest::newRow("instruction") << names::instructionFile() << "KIM/I.rtf" << "KIM/I.rtf";
  QTest::newRow("test recording") << names::testRecordingFile() << "test.ogg" << "test.ogg";
  QTest::newRow("P1 variant 1") << names::preparationFile("1", 1) << "KIM/1/P1.rtf" << "KIM/P1.rtf";
  QTest::newRow("P3 variant 3") << names::preparationFile("3", 3) << "KIM/3/P3.rtf" << "KIM/P3.rtf";
  QTest::newRow("T1 variant 9") << names::taskFile("9", 1) << "KIM/9/T1.rtf" << "KIM/T1.rtf";
  QTest::newRow("T3 variant 0") << names::taskFile("0", 3) << "KIM/0/T3.rtf" << "KIM/T3.rtf";
  QTest::newRow("question 1") << names::questionFile("2", 1) << "KIM/2/T2_1.rtf" << "KIM/Task2_1.rtf";
  QTest::newRow("question 5") << names::questionFile("2", 5) << "KIM/2/T2_5.rtf" << "KIM/Task2_5.rtf";
}

void TestNames::materials() {
  QFETCH(QString, name);
  QFETCH(QString, variant);
  QFETCH(QString, flat);
  QCOMPARE(name, test::flat() ? flat : variant);
}

void TestNames::answerFiles_data() {
  QTest::addColumn<QString>("suffix");
  QTest::addColumn<QString>("file");
  const QString folder = "/st/Answer_K/2751234567897/2751234567897";
  QTest::newRow("code") << names::codeSuffix() << folder + "_00.ogg";
  QTest::newRow("task 1") << names::taskSuffix(1) << folder + "_01.ogg";
  for (int n = 1; n <= 5; ++n)
    QTest::addRow("question %d", n) << names::questionSuffix(n) << folder + QStringLiteral("_02_%1.ogg").arg(n);
  QTest::newRow("task 3") << names::taskSuffix(3) << folder + "_03.ogg";
}

void TestNames::answerFiles() {
  QFETCH(QString, suffix);
  QFETCH(QString, file);
  QCOMPARE(names::answerFile("/st/", "K", "2751234567897", suffix), file);
  QCOMPARE(names::participantFolder("/st/", "K", "2751234567897"), QString("/st/Answer_K/2751234567897"));
  QCOMPARE(names::answerFolder("/st/", "K"), QString("/st/Answer_K"));
}

void TestNames::fourDigit_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("form");
  QTest::newRow("0") << "0" << "0000";
  QTest::newRow("00") << "00" << "0000";
  QTest::newRow("7") << "7" << "0007";
  QTest::newRow("12") << "12" << "0012";
  QTest::newRow("0012") << "0012" << "0012";
  QTest::newRow("123") << "123" << "0123";
  QTest::newRow("9999") << "9999" << "9999";
}

void TestNames::fourDigit() {
  QFETCH(QString, typed);
  QFETCH(QString, form);
  QCOMPARE(names::fourDigit(typed), form);
}

void TestNames::answerKey_data() {
  QTest::addColumn<QStringList>("fields");  // line3, line2, venue, room, station
  QTest::addColumn<QString>("key");
  QTest::addColumn<bool>("converts");
  QTest::newRow("example") << QStringList{"33", "22", "5", "12", "1"} << "33_22_0005_0012_1" << true;
  QTest::newRow("codes") << QStringList{"2017", "01", "1234", "12", "3"} << "2017_01_1234_0012_3" << true;
  QTest::newRow("no subject lines") << QStringList{"", "", "123", "45", "2"} << "__0123_0045_2" << true;
  QTest::newRow("pasted letter venue") << QStringList{"a", "b", "12x", "1", "1"} << "" << false;
  QTest::newRow("pasted letter room") << QStringList{"a", "b", "1", "x", "1"} << "" << false;
  QTest::newRow("empty room") << QStringList{"a", "b", "1", "", "1"} << "" << false;
}

void TestNames::answerKey() {
  QFETCH(QStringList, fields);
  QFETCH(QString, key);
  QFETCH(bool, converts);
  if (!converts) {
    QVERIFY_THROWS_EXCEPTION(ConvertError, names::answerKey(fields[0], fields[1], fields[2], fields[3], fields[4]));
    return;
  }
  QCOMPARE(names::answerKey(fields[0], fields[1], fields[2], fields[3], fields[4]), key);
}

void TestNames::unsafeNamePart_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<bool>("refused");
  QTest::newRow("digits") << "2017" << false;
  QTest::newRow("empty") << "" << false;
  QTest::newRow("cyrillic with space") << "Английский язык" << false;
  QTest::newRow("slash") << "a/b" << true;
  QTest::newRow("backslash") << "a\\b" << true;
  QTest::newRow("dot dot") << ".." << true;
  QTest::newRow("dot dot inside") << "x..y" << true;
  QTest::newRow("colon") << "C:" << true;
  QTest::newRow("star") << "a*" << true;
  QTest::newRow("tab") << "a\tb" << true;
  QTest::newRow("too long") << QString(101, 'a') << true;
  QTest::newRow("single dot") << "1.0" << false;
}

void TestNames::unsafeNamePart() {
  QFETCH(QString, line);
  QFETCH(bool, refused);
  QCOMPARE(!names::unsafeNamePart(line).isEmpty(), refused);
}

void TestNames::subjectFile_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QStringList>("lines");
  QTest::addColumn<int>("refusedLine");  // 0: read
  // "Английский язык" in Windows-1251
  const QByteArray cp1251("\xc0\xed\xe3\xeb\xe8\xe9\xf1\xea\xe8\xe9 \xff\xe7\xfb\xea");
  const QByteArray utf8 = QStringLiteral("Английский язык").toUtf8();
  const QStringList english{"Английский язык", "01", "2017"};
  const QByteArray longest(names::kSubjectLineLimit, 'x');
  QTest::newRow("three lines crlf") << cp1251 + "\r\n01\r\n2017\r\n" << english << 0;
  QTest::newRow("three lines lf, no final break") << QByteArray("X\n22\n33") << QStringList{"X", "22", "33"} << 0;
  QTest::newRow("more lines") << QByteArray("a\nb\nc\nd\ne\n") << QStringList{"a", "b", "c"} << 0;
  QTest::newRow("two lines") << QByteArray("a\nb\n") << QStringList{"a", "b", ""} << 0;
  QTest::newRow("one line") << QByteArray("a") << QStringList{"a", "", ""} << 0;
  QTest::newRow("empty") << QByteArray() << QStringList{"", "", ""} << 0;
  QTest::newRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + utf8 + "\r\n01\r\n2017\r\n" << english << 0;
  QTest::newRow("UTF-8 without byte-order mark") << utf8 + "\n01\n2017\n" << english << 0;
  QTest::newRow("Windows-1251 in the last line only") << "X\n01\n" + cp1251 << QStringList{"X", "01", "Английский язык"} << 0;
  QTest::newRow("lines of the longest length") << longest + "\r\n" + longest + "\r\n" + longest
                                               << QStringList{longest, longest, longest} << 0;
  QTest::newRow("long fourth line is not read") << "a\nb\nc\n" + longest + longest << QStringList{"a", "b", "c"} << 0;
  QTest::newRow("line 1 too long, no line break") << longest + longest << QStringList() << 1;
  QTest::newRow("line 2 one byte too long") << "X\n" + longest + "y\r\n2017\r\n" << QStringList() << 2;
  QTest::newRow("line 3 too long in a big file") << "X\n01\n" + QByteArray(1 << 20, 'z') << QStringList() << 3;
}

void TestNames::subjectFile() {
  QFETCH(QByteArray, bytes);
  QFETCH(QStringList, lines);
  QFETCH(int, refusedLine);
  QTemporaryDir dir;
  QFile f(dir.filePath("subj"));
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
  f.close();
  try {
    const auto subject = names::readSubjectFile(f.fileName());
    QCOMPARE(refusedLine, 0);
    QCOMPARE((QStringList{subject.line1, subject.line2, subject.line3}), lines);
  } catch (const InOutError& e) {
    // Refused as a whole, and the box names the line that is too long.
    QVERIFY2(refusedLine > 0, qPrintable(e.message()));
    QVERIFY2(e.message().startsWith(QStringLiteral("Строка %1 ").arg(refusedLine)), qPrintable(e.message()));
  }
}

void TestNames::missingSubjectFile() {
  QTemporaryDir dir;
  QVERIFY_THROWS_EXCEPTION(InOutError, names::readSubjectFile(dir.filePath("subj")));
  // A folder in its place cannot be read either.
  QVERIFY(QDir(dir.path()).mkdir("KIM"));
  QVERIFY_THROWS_EXCEPTION(InOutError, names::readSubjectFile(dir.filePath("KIM")));
  // Nor a named pipe, which would block the reading.
  QVERIFY(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600) == 0);
  QVERIFY_THROWS_EXCEPTION(InOutError, names::readSubjectFile(dir.filePath("pipe")));
}

QTEST_GUILESS_MAIN(TestNames)
#include "test_names.moc"
