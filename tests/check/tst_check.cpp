// quorvel-check run as staff run it, without a display, on copies of the
// sample materials in either layout: every file a program will open is
// listed once with its verdict, faults are named, the summary counts them,
// and the exit status is 0 only when every file is good.
#include <sys/stat.h>

#include <QProcess>
#include <QtTest>
#include <functional>

#include "station_fixture.h"

namespace {

enum Layout { Variants, Flat, Both };

const QStringList kAllVariants{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

// The texts each program opens, written out here on their own.
QString text(Layout l, const QString& variant, const QString& base) {
  if (l == Flat) return "KIM/" + QString(base).replace("T2_", "Task2_") + ".rtf";
  return "KIM/" + variant + "/" + base + ".rtf";
}
QStringList expectedFiles(Layout l, const QStringList& variants = kAllVariants) {
  const QStringList bases{"P1", "T1", "P2", "T2_1", "T2_2", "T2_3", "T2_4", "T2_5", "P3", "T3"};
  QStringList out{"KIM/subj", "KIM/TestRTF.rtf", "KIM/I.rtf"};
  if (l != Flat)
    for (const QString& v : variants)
      for (const QString& b : bases) out << text(Variants, v, b);
  if (l != Variants)
    for (const QString& b : bases) out << text(Flat, {}, b);
  return out;
}

void write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
  f.write(bytes);
}
QByteArray read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The PNG picture of an RTF file made undecodable: its header chunk renamed.
void damagePicture(const QString& path) {
  QByteArray rtf = read(path);
  const qsizetype png = rtf.indexOf("89504e470d0a1a0a");
  QVERIFY2(png > 0, qPrintable(path));
  const qsizetype ihdr = rtf.indexOf("49484452", png);
  QVERIFY(ihdr > png && ihdr < png + 40);
  rtf.replace(ihdr, 8, "49484400");
  write(path, rtf);
}

// A copy of the sample KIM under dir, holding one layout's texts or both.
void makeStation(const QString& dir, Layout l) {
  QVERIFY(test::copyTree(QStringLiteral(QUORVEL_SAMPLE_KIM), dir + "/KIM"));
  QDir kim(dir + "/KIM");
  if (l == Flat)
    for (const QString& v : kAllVariants) QVERIFY(QDir(kim.filePath(v)).removeRecursively());
  if (l == Variants)
    for (const QString& f : expectedFiles(Flat).mid(3)) QVERIFY(QFile::remove(dir + "/" + f));
}

struct Run {
  int exit = -1;
  QString out;
  QStringList lines;
};

// The checker in cwd with args, as from a console without a display.
Run runCheck(const QString& cwd, const QStringList& args) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(cwd);
  p.start(QStringLiteral(QUORVEL_CHECK), args);
  Run r;
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.lines = r.out.split('\n', Qt::SkipEmptyParts);
  return r;
}

}  // namespace

using Change = std::function<void(const QString& dir)>;
Q_DECLARE_METATYPE(Change)

class TestCheck : public QObject {
  Q_OBJECT

 private slots:
  void materials_data();
  void materials();
  void arguments_data();
  void arguments();
};

void TestCheck::materials_data() {
  QTest::addColumn<int>("layout");
  QTest::addColumn<QStringList>("variants");  // variant folders left in place
  QTest::addColumn<Change>("change");
  // "NAME|how its line goes on after the name"; every other file must be ok.
  QTest::addColumn<QStringList>("faults");
  QTest::addColumn<QString>("summary");

  const Change none = [](const QString&) {};
  for (const Layout l : {Variants, Flat}) {
    const QString in = l == Flat ? " (flat)" : " (variants)";
    const int n = l == Flat ? 13 : 103;
    const QStringList variants = l == Flat ? QStringList() : kAllVariants;
    auto row = [&](const char* name) { return &QTest::newRow(qPrintable(name + in)); };
    const QString q3 = text(l, "4", "T2_3"), p2 = text(l, "7", "P2"), t1 = text(l, "2", "T1"),
                  t3 = text(l, "0", "T3"), q5 = text(l, "9", "T2_5");

    *row("sample") << int(l) << variants << none << QStringList() << QString("%1 files: %1 ok").arg(n);
    *row("missing question, damaged picture, refused subject line")
        << int(l) << variants
        << Change([=](const QString& d) {
             QVERIFY(QFile::remove(d + "/" + q3));
             damagePicture(d + "/" + p2);
             write(d + "/KIM/subj", "Subject\r\n01/02\r\n2017\r\n");
           })
        << QStringList{q3 + "|missing",
                       p2 + "|failed: picture 1 of 1 shows as a blank box (damaged)  chars=",
                       "KIM/subj|failed: line 2: строка содержит разделитель пути  chars="}
        << QString("%1 files: %2 ok, 1 missing, 2 failed").arg(n).arg(n - 3);
    *row("subject line over the limit, read as the station reads it")
        << int(l) << variants
        << Change([](const QString& d) { write(d + "/KIM/subj", "Subject\n01\n" + QByteArray(1025, '7') + "\n"); })
        << QStringList{"KIM/subj|failed: Строка 3 файла \"KIM/subj\" длиннее 1024 байт"}
        << QString("%1 files: %2 ok, 1 failed").arg(n).arg(n - 1);
    *row("no subject file, no instruction")
        << int(l) << variants
        << Change([](const QString& d) {
             QVERIFY(QFile::remove(d + "/KIM/subj"));
             QVERIFY(QFile::remove(d + "/KIM/I.rtf"));
           })
        << QStringList{"KIM/subj|missing", "KIM/I.rtf|missing"}
        << QString("%1 files: %2 ok, 2 missing").arg(n).arg(n - 2);
    *row("text the loader refuses, picture it cannot draw")
        << int(l) << variants
        << Change([=](const QString& d) {
             write(d + "/" + t1, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
             write(d + "/" + t3, "{\\rtf1\\ansi A{\\pict\\wmetafile8\\picw2540\\pich1270 0100}B"
                                 "{\\pict\\pngblip 89504e47}C}");
           })
        << QStringList{t1 + "|failed: Failed to Load Stream  ",
                       t3 + "|failed: 2 of 2 pictures show as blank boxes (1: WMF/EMF metafile, 2: damaged)  "
                            "chars=3 pictures=2 tables=0"}
        << QString("%1 files: %2 ok, 2 failed").arg(n).arg(n - 2);
    *row("wrong letter case, a folder and a pipe in place of texts")
        << int(l) << variants
        << Change([=](const QString& d) {
             QVERIFY(QFile::rename(d + "/" + t1, d + "/" + QString(t1).replace("T1.rtf", "t1.RTF")));
             QVERIFY(QFile::remove(d + "/" + t3) && QDir().mkdir(d + "/" + t3));
             QVERIFY(QFile::remove(d + "/" + q5));
             QCOMPARE(::mkfifo(QFile::encodeName(d + "/" + q5).constData(), 0644), 0);
           })
        << QStringList{t1 + "|missing: there is \"t1.RTF\"; the letter case must match",
                       t3 + "|failed: not a regular file", q5 + "|failed: not a regular file"}
        << QString("%1 files: %2 ok, 1 missing, 2 failed").arg(n).arg(n - 3);
    *row("plain text, UTF-8 subject file, empty text")
        << int(l) << variants
        << Change([=](const QString& d) {
             write(d + "/" + t1, "Задание 1\r\nОпишите картинку.\r\n");
             write(d + "/" + q5, "");
             write(d + "/KIM/subj", "\xEF\xBB\xBFФизика\n01\n2017\n");
           })
        << QStringList{t1 + "|ok (plain text)  chars=", q5 + "|ok (nothing to show)  chars=0 ",
                       "KIM/subj|ok  chars=12 subject \"Физика\", answer folders Answer_2017_01_…"}
        << QString("%1 files: %1 ok").arg(n);
  }
  QTest::newRow("some variant folders (variants)")
      << int(Variants) << QStringList{"3", "5"}
      << Change([](const QString& d) {
           for (const QString& v : kAllVariants)
             if (v != "3" && v != "5") QVERIFY(QDir(d + "/KIM/" + v).removeRecursively());
         })
      << QStringList() << QString("23 files: 23 ok");
  QTest::newRow("both layouts") << int(Both) << kAllVariants << none << QStringList()
                                << QString("113 files: 113 ok");
  QTest::newRow("no task texts in either layout")
      << int(Variants) << QStringList()
      << Change([](const QString& d) {
           for (const QString& v : kAllVariants) QVERIFY(QDir(d + "/KIM/" + v).removeRecursively());
         })
      << QStringList{"KIM (task texts)|missing: no variant folder"} << QString("4 files: 3 ok, 1 missing");
}

void TestCheck::materials() {
  QFETCH(int, layout);
  QFETCH(QStringList, variants);
  QFETCH(Change, change);
  QFETCH(QStringList, faults);
  QFETCH(QString, summary);

  QTemporaryDir dir;
  makeStation(dir.path(), Layout(layout));
  change(dir.path());
  if (QTest::currentTestFailed()) return;

  const Run run = runCheck(dir.path(), {});
  QVERIFY2(run.lines.size() >= 2, qPrintable(run.out));
  QCOMPARE(run.lines.last(), summary);
  const bool bad = std::any_of(faults.begin(), faults.end(), [](const QString& f) { return !f.section('|', 1).startsWith("ok"); });
  QCOMPARE(run.exit, bad ? 1 : 0);

  // The header names the layouts found.
  const QString header = run.lines.first();
  QVERIFY2(header.startsWith(QDir(dir.path()).absoluteFilePath("KIM") + ": "), qPrintable(header));
  QCOMPARE(header.contains("(quorvel)"), !variants.isEmpty());
  if (!variants.isEmpty()) QVERIFY(header.contains("variant folders " + variants.join(' ') + " (quorvel)"));
  QCOMPARE(header.contains("(quorvel-flat)"), layout != Variants);

  // One line per file, each file once, in the order of the expected list.
  QStringList names, rest;
  for (const QString& line : run.lines.mid(1, run.lines.size() - 2)) {
    const qsizetype gap = line.indexOf("  ");
    names << line.left(gap);
    rest << line.mid(gap).trimmed();
  }
  QStringList expected = variants.isEmpty() && layout == Variants ? expectedFiles(Variants, {}) << "KIM (task texts)"
                                                                   : expectedFiles(Layout(layout), variants);
  QCOMPARE(names, expected);
  for (qsizetype i = 0; i < names.size(); ++i) {
    const auto fault = std::find_if(faults.begin(), faults.end(),
                                    [&](const QString& f) { return f.section('|', 0, 0) == names[i]; });
    const QString want = fault == faults.end() ? "ok  chars=" : fault->section('|', 1);
    QVERIFY2(rest[i].startsWith(want), qPrintable(names[i] + "  " + rest[i]));
    // Every file read shows its time.
    if (!rest[i].startsWith("missing") && !rest[i].endsWith("not a regular file")) QVERIFY2(rest[i].endsWith(" ms"), qPrintable(rest[i]));
  }
  // What is good shows its counts: the sample's texts have words, and its
  // second preparation a picture and a table.
  const qsizetype p2 = names.indexOf(text(layout == Flat ? Flat : Variants, variants.value(0), "P2"));
  if (p2 >= 0 && !bad) QVERIFY2(rest[p2].contains("pictures=1 tables=1"), qPrintable(rest[p2]));
}

void TestCheck::arguments_data() {
  QTest::addColumn<QString>("cwd");  // relative to the temporary folder
  QTest::addColumn<QStringList>("args");
  QTest::addColumn<int>("exit");
  QTest::addColumn<QString>("starts");  // how the standard output begins; empty: nothing on it

  QTest::newRow("current folder") << "station" << QStringList() << 0 << "/station/KIM: ";
  QTest::newRow("station folder given") << "." << QStringList{"station"} << 0 << "/station/KIM: ";
  QTest::newRow("KIM folder given") << "." << QStringList{"station/KIM"} << 0 << "/station/KIM: ";
  QTest::newRow("folder without KIM") << "." << QStringList{"empty"} << 2 << "";
  QTest::newRow("no such folder") << "." << QStringList{"nowhere"} << 2 << "";
  QTest::newRow("two folders") << "." << QStringList{"station", "station"} << 2 << "";
  QTest::newRow("help") << "." << QStringList{"--help"} << 0 << "usage: quorvel-check [FOLDER]";
}

void TestCheck::arguments() {
  QFETCH(QString, cwd);
  QFETCH(QStringList, args);
  QFETCH(int, exit);
  QFETCH(QString, starts);
  QTemporaryDir dir;
  makeStation(dir.filePath("station"), Flat);
  QVERIFY(QDir(dir.path()).mkdir("empty"));
  const Run run = runCheck(dir.filePath(cwd), args);
  QCOMPARE(run.exit, exit);
  const QString prefix = starts.startsWith('/') ? QDir(dir.path()).absolutePath() + starts : starts;
  QVERIFY2(prefix.isEmpty() ? run.out.isEmpty() : run.out.startsWith(prefix), qPrintable(run.out));
  if (exit == 0 && starts.startsWith('/')) {
    QCOMPARE(run.lines.last(), QString("13 files: 13 ok"));
    QCOMPARE(run.lines.value(1).left(8), QString("KIM/subj"));
  }
}

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
