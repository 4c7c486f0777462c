// quorvel-check run as staff run it, without a display, on copies of the
// sample materials in either layout: every file a program will open is
// listed once, in order, with its verdict; the summary counts the faults and
// the exit status is 0 only when every file is good.
#include <sys/stat.h>

#include <QProcess>
#include <QtTest>
#include <functional>

#include "station_fixture.h"

namespace {

enum Layout { Variants, Flat, Both };
const QStringList kVariants{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

// The texts each program opens, written out here on their own.
QString text(Layout l, const QString& variant, QString base) {
  return l == Flat ? "KIM/" + base.replace("T2_", "Task2_") + ".rtf" : "KIM/" + variant + "/" + base + ".rtf";
}
QStringList expectedFiles(Layout l, const QStringList& variants) {
  const QStringList bases{"P1", "T1", "P2", "T2_1", "T2_2", "T2_3", "T2_4", "T2_5", "P3", "T3"};
  QStringList out{"KIM/subj", "KIM/TestRTF.rtf", "KIM/I.rtf"};
  for (const QString& v : l == Flat ? QStringList() : variants)
    for (const QString& b : bases) out << text(Variants, v, b);
  for (const QString& b : l == Variants ? QStringList() : bases) out << text(Flat, {}, b);
  return out;
}

void write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(), qPrintable(path));
}

// The PNG picture of an RTF file made undecodable: its header chunk renamed.
void damagePicture(const QString& path) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QByteArray rtf = f.readAll();
  const qsizetype png = rtf.indexOf("89504e470d0a1a0a"), ihdr = rtf.indexOf("49484452", png);
  QVERIFY2(png > 0 && ihdr > png && ihdr < png + 40, qPrintable(path));
  write(path, rtf.replace(ihdr, 8, "49484400"));
}

}  // namespace

using Change = std::function<void(const QString& dir)>;
Q_DECLARE_METATYPE(Change)

class TestCheck : public QObject {
  Q_OBJECT

  // The checker in cwd with args, as from a console without a display:
  // exit status (-1 when it crashed or hung) and standard output.
  static std::pair<int, QString> run(const QString& cwd, const QStringList& args, const QString& lang = "C.UTF-8") {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
    env.insert("LANG", lang);
    env.insert("LC_ALL", lang);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(QUORVEL_CHECK), args);
    if (!p.waitForFinished(60000)) p.kill();
    p.waitForFinished();
    const int exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return {exit, QString::fromUtf8(p.readAllStandardOutput())};
  }

  // A copy of the sample KIM under dir with one layout's texts, or both.
  static void makeStation(const QString& dir, Layout l) {
    QVERIFY(test::copyTree(QStringLiteral(QUORVEL_SAMPLE_KIM), dir + "/KIM"));
    for (const QString& v : l == Flat ? kVariants : QStringList()) QVERIFY(QDir(dir + "/KIM/" + v).removeRecursively());
    for (const QString& f : l == Variants ? expectedFiles(Flat, {}).mid(3) : QStringList())
      QVERIFY(QFile::remove(dir + "/" + f));
  }

 private slots:
  void materials_data();
  void materials();
  void arguments();
  void language_data();
  void language();
};

void TestCheck::materials_data() {
  QTest::addColumn<int>("layout");
  QTest::addColumn<QStringList>("variants");  // variant folders left in place
  QTest::addColumn<Change>("change");
  // "NAME|how its line goes on after the name"; every other file is ok.
  QTest::addColumn<QStringList>("lines");
  QTest::addColumn<QString>("summary");

  const Change none = [](const QString&) {};
  for (const Layout l : {Variants, Flat}) {
    const QString in = l == Flat ? " (flat)" : " (variants)";
    const int n = l == Flat ? 13 : 103;
    const QStringList variants = l == Flat ? QStringList() : kVariants;
    auto row = [&](const char* name) { return &QTest::newRow(qPrintable(name + in)); };
    const QString q3 = text(l, "4", "T2_3"), p2 = text(l, "7", "P2"), t1 = text(l, "2", "T1"),
                  t3 = text(l, "0", "T3"), q5 = text(l, "9", "T2_5");

    *row("sample") << int(l) << variants << none << QStringList() << QString("%1 files: %1 ok").arg(n);
    *row("missing question, damaged picture, refused subject line, texts the station cannot show")
        << int(l) << variants
        << Change([=](const QString& d) {
             QVERIFY(QFile::remove(d + "/" + q3));
             damagePicture(d + "/" + p2);
             write(d + "/KIM/subj", "Subject\r\n01/02\r\n2017\r\n");
             write(d + "/" + t1, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
             write(d + "/" + t3, "{\\rtf1 A{\\pict\\wmetafile8\\picw2540\\pich1270 0100}B{\\pict\\pngblip 89504e47}C}");
           })
        << QStringList{q3 + "|missing", p2 + "|failed: picture 1 of 1 shows as a blank box (damaged)  chars=438 ",
                       "KIM/subj|failed: line 2: строка содержит разделитель пути  chars=",
                       t1 + "|failed: Failed to Load Stream  ",
                       t3 + "|failed: 2 of 2 pictures show as blank boxes (1: WMF/EMF metafile, 2: damaged)  "
                            "chars=3 pictures=2 tables=0"}
        << QString("%1 files: %2 ok, 1 missing, 4 failed").arg(n).arg(n - 5);
    *row("no subject file, wrong letter case, a folder and a pipe in place of texts; plain and empty text")
        << int(l) << variants
        << Change([=](const QString& d) {
             QVERIFY(QFile::remove(d + "/KIM/subj"));
             QVERIFY(QFile::rename(d + "/" + t1, d + "/" + QString(t1).replace("T1.rtf", "t1.RTF")));
             QVERIFY(QFile::remove(d + "/" + t3) && QDir().mkdir(d + "/" + t3));
             QVERIFY(QFile::remove(d + "/" + q5));
             QCOMPARE(::mkfifo(QFile::encodeName(d + "/" + q5).constData(), 0644), 0);
             write(d + "/" + p2, "Задание 2\r\nОпишите картинку.\r\n");
             write(d + "/" + q3, "");
           })
        << QStringList{"KIM/subj|missing", t1 + "|missing: there is \"t1.RTF\"; the letter case must match",
                       t3 + "|failed: not a regular file", q5 + "|failed: not a regular file",
                       p2 + "|ok (plain text)  chars=", q3 + "|ok (nothing to show)  chars=0 "}
        << QString("%1 files: %2 ok, 2 missing, 2 failed").arg(n).arg(n - 4);
  }
  const Change keep35 = [](const QString& d) {
    for (const QString& v : kVariants)
      if (v != "3" && v != "5") QVERIFY(QDir(d + "/KIM/" + v).removeRecursively());
  };
  QTest::newRow("some variant folders") << int(Variants) << QStringList{"3", "5"} << keep35 << QStringList()
                                        << QString("23 files: 23 ok");
  QTest::newRow("both layouts") << int(Both) << kVariants << none << QStringList() << QString("113 files: 113 ok");
  QTest::newRow("no task texts in either layout")
      << int(Variants) << QStringList()
      << Change([](const QString& d) {
           for (const QString& v : kVariants) QVERIFY(QDir(d + "/KIM/" + v).removeRecursively());
         })
      << QStringList{"KIM (task texts)|missing: no variant folder"} << QString("4 files: 3 ok, 1 missing");
}

void TestCheck::materials() {
  QFETCH(int, layout);
  QFETCH(QStringList, variants);
  QFETCH(Change, change);
  QFETCH(QStringList, lines);
  QFETCH(QString, summary);
  QTemporaryDir dir;
  makeStation(dir.path(), Layout(layout));
  change(dir.path());
  if (QTest::currentTestFailed()) return;

  const auto [exit, out] = run(dir.path(), {});
  const QStringList got = out.split('\n', Qt::SkipEmptyParts);
  QVERIFY2(got.size() >= 2, qPrintable(out));
  QCOMPARE(got.last(), summary);
  const bool bad =
      std::any_of(lines.begin(), lines.end(), [](const QString& l) { return !l.section('|', 1).startsWith("ok"); });
  QCOMPARE(exit, bad ? 1 : 0);
  // The first line names the folder and the layouts found in it.
  QString header = QDir(dir.path()).absoluteFilePath("KIM") + ":";
  if (!variants.isEmpty()) header += " variant folders " + variants.join(' ') + " (quorvel)";
  if (layout != Variants)
    header += (variants.isEmpty() ? " " : "; ") + QString("task texts directly in KIM (quorvel-flat)");
  QCOMPARE(got.first(), variants.isEmpty() && layout == Variants ? header + " no task texts" : header);

  // One line per file, each file once, in the order the stages open them.
  QStringList names = variants.isEmpty() && layout == Variants ? expectedFiles(Variants, {}) << "KIM (task texts)"
                                                                : expectedFiles(Layout(layout), variants);
  QCOMPARE(got.size(), names.size() + 2);
  for (qsizetype i = 0; i < names.size(); ++i) {
    const QString line = got[i + 1], rest = line.mid(line.indexOf("  ")).trimmed();
    QCOMPARE(line.left(line.indexOf("  ")), names[i]);
    const auto it =
        std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.section('|', 0, 0) == names[i]; });
    QVERIFY2(rest.startsWith(it == lines.end() ? "ok  chars=" : it->section('|', 1)), qPrintable(line));
    // Every file read shows its time; the sample's second preparations hold a picture and a table.
    if (!rest.startsWith("missing") && !rest.endsWith("regular file")) QVERIFY2(rest.endsWith(" ms"), qPrintable(line));
    if (names[i].endsWith("P2.rtf") && rest.startsWith("ok  "))
      QVERIFY2(rest.contains(" pictures=1 tables=1 "), qPrintable(line));
  }
}

// Given the KIM folder itself, the checker checks the station folder around
// it under the station's names; a folder without KIM checks nothing.
void TestCheck::arguments() {
  QTemporaryDir dir;
  makeStation(dir.filePath("station"), Flat);
  const auto [status, out] = run(dir.path(), {"station/KIM"});
  QCOMPARE(status, 0);
  QVERIFY2(out.startsWith(QDir(dir.path()).absolutePath() + "/station/KIM: ") && out.contains("\nKIM/subj  ") &&
               out.endsWith("\n13 files: 13 ok\n"),
           qPrintable(out));
  QCOMPARE(run(dir.filePath("station"), {".."}), std::make_pair(2, QString()));
}

void TestCheck::language_data() {
  QTest::addColumn<QString>("lang");
  QTest::addColumn<bool>("missing");  // I.rtf removed
  QTest::addColumn<QStringList>("parts");
  QTest::newRow("English") << "C.UTF-8" << false << QStringList{"  ok  chars=21 subject \"", "\n13 files: 13 ok\n"};
  QTest::newRow("English, a file missing") << "C.UTF-8" << true << QStringList{"\nKIM/I.rtf        missing\n", "\n13 files: 12 ok, 1 missing\n"};
  QTest::newRow("Russian") << "ru_RU.UTF-8" << false
                           << QStringList{"  в порядке  chars=21 предмет «", "\n13 файлов: в порядке 13\n"};
  QTest::newRow("Russian, a file missing") << "ru_RU.UTF-8" << true
                                           << QStringList{"\nKIM/I.rtf        отсутствует\n", "\n13 файлов: в порядке 12, отсутствует: 1\n"};
}

// The materials checker speaks the locale's language.
void TestCheck::language() {
  QFETCH(QString, lang);
  QFETCH(bool, missing);
  QFETCH(QStringList, parts);
  QTemporaryDir dir;
  makeStation(dir.filePath("station"), Flat);
  if (missing) QVERIFY(QFile::remove(dir.filePath("station/KIM/I.rtf")));
  const auto [status, out] = run(dir.filePath("station"), {}, lang);
  QCOMPARE(status, missing ? 1 : 0);
  for (const QString& part : parts) QVERIFY2(out.contains(part), qPrintable(part + "\n---\n" + out));
}

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
