// quorvel-check --answers FOLDER --copy-to DIR onto a real file system on a
// block device: an ext4 image on a loop device, mounted as a USB stick
// would be. Each row prepares the stick, copies a station, and checks what
// was said, the exit status and what the stick holds afterwards. Needs
// root (losetup, mount); skipped with the reason otherwise.
#include <sys/stat.h>
#include <unistd.h>

#include "answers_fixture.h"

using namespace fixture;

namespace {

const QString a = "2751234567897", b = "2750000000002";

// An ext4 stick of megabytes on a loop device, mounted at mount.
struct Stick {
  QString image, device, mount;
  bool up = false;
  Stick(const QString& dir, int megabytes, bool readOnly) : image(dir + "/stick.img"), mount(dir + "/media") {
    QDir().mkpath(mount);
    up = sh({"truncate", "-s", QString("%1M").arg(megabytes), image}) &&
         sh({"mkfs.ext4", "-q", "-F", "-m", "0", "-L", "STICK", image}) && sh({"losetup", "-f", "--show", image}, &device) &&
         sh({"mount", "-o", readOnly ? "ro" : "rw", device, mount});
  }
  ~Stick() {
    sh({"umount", mount});
    if (!device.isEmpty()) sh({"losetup", "-d", device});
  }
};

QStringList entries(const QString& dir) { return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name); }

}  // namespace

class TestCopy : public QObject {
  Q_OBJECT

 private slots:
  void copyToAStick_data() {
    QTest::addColumn<int>("megabytes");
    QTest::addColumn<QString>("before");  // "", "ro", "same", "different", "full"
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("after");  // the stick's top folder afterwards
    const QString k = key(1);
    QTest::newRow("an empty stick") << 32 << "" << 0 << "Copied and read back from the stick: 1 station, 18 files"
                                    << QStringList{k, "lost+found"};
    QTest::newRow("the same copy made again") << 32 << "same" << 0 << "every file reads back as it was"
                                              << QStringList{k, "lost+found"};
    QTest::newRow("an earlier copy that differs") << 32 << "different" << 0 << "Copied and read back"
                                                  << QStringList{k, k + "_*", "lost+found"};
    QTest::newRow("a full stick") << 32 << "full" << 4 << "There is not enough room on the stick"
                                  << QStringList{"filler", "lost+found"};
    QTest::newRow("a read-only stick") << 32 << "ro" << 4 << "The stick cannot be written" << QStringList{"lost+found"};
  }
  void copyToAStick() {
    QFETCH(int, megabytes);
    QFETCH(QString, before);
    QFETCH(int, exit);
    QFETCH(QString, said);
    QFETCH(QStringList, after);
    if (::geteuid() != 0) QSKIP("a loop device and a mount need root");
    if (!QFile::exists("/dev/loop-control")) QSKIP("this machine has no loop devices");
    QTemporaryDir dir;
    makeStation(dir.filePath("station"), 1, {a, b});
    const QString station = dir.filePath("station");
    struct stat st {};
    QVERIFY(::stat(qPrintable(station + "/Answer_" + key(1) + ".log"), &st) == 0);
    const QByteArray journalBefore = contents(station + "/Answer_" + key(1) + ".log");
    Stick stick(dir.path(), megabytes, false);
    QVERIFY2(stick.up, "the stick image could not be made and mounted");
    if (before == "same") QCOMPARE(check({station, "--copy-to", stick.mount}).status, 0);
    if (before == "different") {
      QVERIFY(QDir().mkpath(stick.mount + "/" + key(1)));
      QFile f(stick.mount + "/" + key(1) + "/Answer_" + key(1) + ".log");
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write("an earlier day\n") > 0);
    }
    if (before == "full") {
      QString free;
      QVERIFY(sh({"stat", "-f", "-c", "%a %S", stick.mount}, &free));
      const qint64 bytes = free.section(' ', 0, 0).toLongLong() * free.section(' ', 1, 1).toLongLong();
      QVERIFY(sh({"fallocate", "-l", QString::number(bytes - 64 * 1024), stick.mount + "/filler"}));
    }
    if (before == "ro") QVERIFY(sh({"mount", "-o", "remount,ro", stick.mount}));

    const Run r = check({station, "--copy-to", stick.mount}, "C.UTF-8");
    QVERIFY2((r.out + r.err).contains(said), qPrintable(r.out + r.err));
    QCOMPARE(r.status, exit);
    QStringList top = entries(stick.mount);
    for (QString& e : top)
      if (e.startsWith(key(1) + "_2")) e = key(1) + "_*";
    QCOMPARE(top, after);
    // The station's own files are never changed by a copy.
    QCOMPARE(contents(station + "/Answer_" + key(1) + ".log"), journalBefore);
    if (exit != 0) return;

    // The copy: the same bytes, accepted by sha256sum in its folder, with
    // its report; an earlier different copy untouched beside it.
    const QString copy = stick.mount + "/" + (before == "different" ? QDir(stick.mount).entryList({key(1) + "_2*"}).value(0) : key(1));
    QVERIFY(sh({"diff", "-r", station + "/Answer_" + key(1), copy + "/Answer_" + key(1)}));
    QVERIFY(sh({"cmp", station + "/Answer_" + key(1) + ".sha256", copy + "/Answer_" + key(1) + ".sha256"}));
    QProcess sha;
    sha.setWorkingDirectory(copy);
    sha.start("sha256sum", {"-c", "--quiet", "Answer_" + key(1) + ".sha256"});
    QVERIFY(sha.waitForFinished(10000) && sha.exitCode() == 0);
    QVERIFY(contents(copy + "/report.html").startsWith("<!DOCTYPE html>"));
    if (before == "different") QCOMPARE(contents(stick.mount + "/" + key(1) + "/Answer_" + key(1) + ".log"), QByteArray("an earlier day\n"));
  }
};

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
