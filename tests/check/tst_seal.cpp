// quorvel-check --answers ... --seal RECIPIENTS --out DIR on a room built
// here, opened again with the real age and tar as the exam board opens it:
// every file back byte for byte with either board key, nothing with any
// other key or from an archive changed on the way, the digests in the
// list, the report and of the files the same; recipients that cannot be
// used refused before anything is written.
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDirIterator>

#include "answers_fixture.h"

using namespace fixture;

namespace {

const QString a = "2751234567897", b = "2750000000002", c = "2750000000019";

QByteArray sha256(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

struct Done {
  int status = -1;
  QByteArray out, err;
};
Done runTool(const QString& program, const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForStarted(10000)) return {};
  p.write(input);
  p.closeWriteChannel();
  if (!p.waitForFinished(60000)) p.kill(), p.waitForFinished();
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError()};
}

// Every file under a folder, by its path relative to root.
void collect(const QString& root, const QString& path, std::map<QString, QByteArray>* files) {
  QFileInfo info(path);
  if (info.isFile()) {
    (*files)[QDir(root).relativeFilePath(path)] = contents(path);
    return;
  }
  QDirIterator it(path, QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString f = it.next();
    (*files)[QDir(root).relativeFilePath(f)] = contents(f);
  }
}

}  // namespace

using Change = std::function<void(QByteArray&)>;
Q_DECLARE_METATYPE(Change)

class TestSeal : public QObject {
  Q_OBJECT
  QTemporaryDir dir;
  Run sealed;
  QString keys[3];  // two of the board, one of someone else

 private slots:
  void initTestCase();
  void opens_data();
  void opens();
  void digestsAgree();
  void refused_data();
  void refused();
};

// A room of three stations, the third with an answer lost, sealed to both
// board keys.
void TestSeal::initTestCase() {
  QVERIFY(dir.isValid());
  for (int i = 0; i < 3; ++i) {
    keys[i] = dir.filePath(QString("key%1").arg(i));
    QCOMPARE(runTool("age-keygen", {"-o", keys[i]}).status, 0);
  }
  QByteArray recipients = "# the exam board\n";
  for (int i = 0; i < 2; ++i) recipients += runTool("age-keygen", {"-y", keys[i]}).out;
  QFile r(dir.filePath("board.txt"));
  QVERIFY(r.open(QIODevice::WriteOnly) && r.write(recipients) == recipients.size());
  r.close();
  makeStation(dir.filePath("room/st1"), 1, {a});
  makeStation(dir.filePath("room/st2"), 2, {b});
  makeStation(dir.filePath("room/st3"), 3, {c});
  QVERIFY(QFile::remove(dir.filePath("room/st3/" + answer(3, c, "_02_4"))));
  sealed = check({dir.filePath("room"), "--seal", dir.filePath("board.txt"), "--out", dir.filePath("out")});
  QVERIFY2(sealed.status == 1, qPrintable(sealed.out + sealed.err));
}

void TestSeal::opens_data() {
  QTest::addColumn<int>("which");
  QTest::addColumn<Change>("change");
  QTest::addColumn<bool>("opens");
  QTest::addColumn<bool>("nothing");  // not a byte given out
  const Change none = [](QByteArray&) {};
  QTest::newRow("the first board key") << 0 << none << true << false;
  QTest::newRow("the second board key") << 1 << none << true << false;
  QTest::newRow("another key") << 2 << none << false << true;
  QTest::newRow("a byte flipped in the header") << 0 << Change([](QByteArray& x) { x[60] = char(x[60] ^ 0x20); }) << false << true;
  // age streams: whole chunks before the changed one may come out, the
  // changed one and what follows never, and it fails.
  QTest::newRow("a byte flipped in the middle") << 0 << Change([](QByteArray& x) {
    x[x.size() / 2] = char(x[x.size() / 2] ^ 0x01);
  }) << false << false;
  QTest::newRow("the last bytes cut off") << 0 << Change([](QByteArray& x) { x.chop(10); }) << false << false;
}

// Each station's archive opened as the board opens it: its answer folder,
// journal and manifest byte for byte, and its part of the report; or
// nothing at all.
void TestSeal::opens() {
  QFETCH(int, which);
  QFETCH(Change, change);
  QFETCH(bool, opens);
  QFETCH(bool, nothing);
  for (int s = 1; s <= 3; ++s) {
    const QString name = "Answer_" + key(s);
    QByteArray archive = contents(dir.filePath("out/" + name + ".tar.age"));
    QVERIFY(archive.startsWith("age-encryption.org/v1\n"));
    const QByteArray whole = runTool("age", {"-d", "-i", keys[0]}, archive).out;
    change(archive);
    const Done plain = runTool("age", {"-d", "-i", keys[which]}, archive);
    QCOMPARE(plain.status == 0, opens);
    if (!opens) {
      QVERIFY(!plain.err.isEmpty());
      QVERIFY(nothing ? plain.out.isEmpty() : plain.out.size() < whole.size());
      QVERIFY(whole.startsWith(plain.out));
      continue;
    }
    QCOMPARE(plain.out, whole);
    QTemporaryDir into;
    QCOMPARE(runTool("tar", {"-x", "-C", into.path()}, plain.out).status, 0);
    std::map<QString, QByteArray> original, back;
    const QString station = dir.filePath(QString("room/st%1").arg(s));
    for (const QString& part : {name, name + ".log", name + ".sha256"}) collect(station, station + "/" + part, &original);
    collect(into.path(), into.path(), &back);
    const QString report = name + ".report.html";
    QVERIFY2(back.count(report), qPrintable(report));
    QVERIFY(QString::fromUtf8(back[report]).contains(QString("station %1").arg(s)));
    back.erase(report);
    QCOMPARE(back.size(), original.size());
    for (const auto& [path, bytes] : original) QVERIFY2(back.count(path) && back[path] == bytes, qPrintable(path));
  }
}

// The list beside the archives, the sha256sum list, the printed report and
// the archives themselves name the same digests.
void TestSeal::digestsAgree() {
  const QStringList list = QString::fromUtf8(contents(dir.filePath("out/archives.txt"))).split('\n', Qt::SkipEmptyParts);
  const QString sums = QString::fromUtf8(contents(dir.filePath("out/archives.sha256")));
  const QString report = QString::fromUtf8(contents(dir.filePath("out/answers-report.html")));
  QVERIFY(list.first().startsWith("# "));
  QCOMPARE(list.size(), 4);
  for (int s = 1; s <= 3; ++s) {
    const QString name = "Answer_" + key(s) + ".tar.age";
    const QByteArray bytes = contents(dir.filePath("out/" + name));
    const QString digest = QString::fromLatin1(sha256(bytes));
    QVERIFY2(list.contains(QString("%1  %2  %3").arg(name).arg(bytes.size()).arg(digest)), qPrintable(list.join('\n')));
    QVERIFY(sums.contains(digest + "  " + name + "\n"));
    QVERIFY(sealed.out.contains(digest));
    // On the summary page and on the station's own page.
    QCOMPARE(report.count(digest), 2);
  }
  QVERIFY(QDir(dir.filePath("out")).entryList(QDir::Files).filter(".partial").isEmpty());
  QVERIFY(report.contains("_02_4 missing (listed in the manifest)"));
  QVERIFY(QFile::exists(dir.filePath("out/answers-report.csv")));
}

void TestSeal::refused_data() {
  QTest::addColumn<QByteArray>("recipients");  // written to the file given, unless empty
  QTest::addColumn<QStringList>("args");       // after the room; RECIPIENTS and OUT stand for the paths
  QTest::addColumn<QString>("said");
  const QStringList seal{"--seal", "RECIPIENTS", "--out", "OUT"};
  QTest::newRow("no such file") << QByteArray() << seal << "no recipients file";
  QTest::newRow("a file with no key") << QByteArray("# nobody\n") << seal << "holds no valid public key";
  QTest::newRow("not a key") << QByteArray("age1notakey\n") << seal << "holds no valid public key";
  QTest::newRow("a private key in place of a public one") << QByteArray("PRIVATE") << seal << "holds no valid public key";
  QTest::newRow("a file that cannot be read") << QByteArray("UNREADABLE") << seal << "cannot be read";
  QTest::newRow("--seal without --out") << QByteArray("PUBLIC") << QStringList{"--seal", "RECIPIENTS"} << "go together";
  QTest::newRow("--out without a folder") << QByteArray("PUBLIC") << QStringList{"--seal", "RECIPIENTS", "--out"} << "needs a file or folder name";
}

// Refused with exit 2 before anything is checked or written.
void TestSeal::refused() {
  QFETCH(QByteArray, recipients);
  QFETCH(QStringList, args);
  QFETCH(QString, said);
  QTemporaryDir here;
  makeStation(here.filePath("room/st1"), 1, {a});
  const QString file = here.filePath("recipients");
  if (recipients == "PRIVATE") recipients = contents(keys[0]);
  if (recipients == "PUBLIC") recipients = contents(dir.filePath("board.txt"));
  QStringList wrap;
  if (recipients == "UNREADABLE") {
    recipients = contents(dir.filePath("board.txt"));
    // Root reads whatever it likes: the check runs as nobody then.
    if (::geteuid() == 0) wrap = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    QVERIFY(::chmod(qPrintable(here.path()), 0777) == 0);
  }
  if (!recipients.isEmpty()) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(recipients) == recipients.size());
    f.close();
  }
  if (QTest::currentDataTag() == QLatin1String("a file that cannot be read")) QVERIFY(::chmod(qPrintable(file), 0) == 0);
  for (QString& arg : args) arg.replace("RECIPIENTS", file).replace("OUT", here.filePath("out"));
  const Run r = check(QStringList{here.filePath("room")} + args + QStringList{"--report", here.filePath("r.html")}, "C.UTF-8", wrap);
  QVERIFY2(r.err.contains(said), qPrintable(r.err));
  QCOMPARE(r.status, 2);
  QVERIFY(r.out.isEmpty());
  QVERIFY(!QFile::exists(here.filePath("out")));
  QVERIFY(!QFile::exists(here.filePath("r.html")));
}

QTEST_GUILESS_MAIN(TestSeal)
#include "tst_seal.moc"
