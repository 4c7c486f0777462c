// The one rule of which folders may never be a station folder, as the
// station and the exam room setup use it.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "toolkit/folderrule.h"

using station::folderrule::Use;
using Why = station::folderrule::Verdict::Why;

class TestFolderRule : public QObject {
  Q_OBJECT

 private slots:
  // Folders checked for the account "exam" (which need not exist: its home
  // is then /home/exam) and for root, whose home is /root.
  void rule_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("station");  // the verdict for a running station
    QTest::addColumn<int>("session");  // the verdict for the exam room session's folder
    const int ok = int(Why::Allowed), system = int(Why::SystemTree), shared = int(Why::SharedFolder),
              home = int(Why::OtherHome), boot = int(Why::EmptiedAtBoot);
    QTest::newRow("/tmp itself") << "/tmp" << "exam" << shared << shared;
    QTest::newRow("a folder in /tmp") << "/tmp/room/station" << "exam" << ok << boot;
    QTest::newRow("a folder in /var/tmp") << "/var/tmp/station" << "exam" << ok << boot;
    QTest::newRow("/var itself") << "/var" << "exam" << shared << shared;
    QTest::newRow("/var/lib itself") << "/var/lib" << "exam" << shared << shared;
    QTest::newRow("a folder made in /var/lib") << "/var/lib/quorvel-exam/station" << "exam" << ok << ok;
    QTest::newRow("/srv itself") << "/srv" << "exam" << shared << shared;
    QTest::newRow("a folder made in /srv") << "/srv/exam/station" << "exam" << ok << ok;
    QTest::newRow("/opt itself") << "/opt" << "exam" << shared << shared;
    QTest::newRow("/media itself") << "/media" << "exam" << shared << shared;
    QTest::newRow("/root, another account's home") << "/root" << "exam" << home << home;
    QTest::newRow("a folder in /root") << "/root/station" << "exam" << home << home;
    QTest::newRow("/root for root itself") << "/root/station" << "root" << ok << ok;
    QTest::newRow("the account's own home") << "/home/exam" << "exam" << ok << ok;
    QTest::newRow("a folder in the account's own home") << "/home/exam/station" << "exam" << ok << ok;
    QTest::newRow("another account's home") << "/home/alice/station" << "exam" << home << home;
    QTest::newRow("a home whose name starts like the account's") << "/home/examiner/x" << "exam" << home << home;
    QTest::newRow("/home itself") << "/home" << "exam" << shared << shared;
    QTest::newRow("/") << "/" << "exam" << shared << shared;
    QTest::newRow("/usr/bin") << "/usr/bin" << "exam" << system << system;
    QTest::newRow("/bin/.. is the root") << "/bin/.." << "exam" << shared << shared;
    QTest::newRow("/etc/../usr/lib") << "/etc/../usr/lib" << "exam" << system << system;
    QTest::newRow("a folder not made yet in /etc") << "/etc/quorvel/new/station" << "exam" << system << system;
    QTest::newRow("/proc") << "/proc/self" << "exam" << system << system;
    QTest::newRow("/run") << "/run/user/1000" << "exam" << system << system;
    QTest::newRow("a name that only starts like /usr") << "/usrdata/station" << "exam" << ok << ok;
  }
  void rule() {
    QFETCH(QString, folder);
    QFETCH(QString, account);
    QFETCH(int, station);
    QFETCH(int, session);
    const auto forStation = station::folderrule::check(folder, account, Use::Station);
    const auto forSession = station::folderrule::check(folder, account, Use::Session);
    QCOMPARE(int(forStation.why), station);
    QCOMPARE(int(forSession.why), session);
    QVERIFY(!station::folderrule::describe(forSession).isEmpty());
  }

  // A link is judged by the folder it leads to.
  void linksAreFollowed() {
    QTemporaryDir dir;
    QVERIFY(QFile::link("/etc", dir.filePath("etc-link")));
    const auto v = station::folderrule::check(dir.filePath("etc-link/station"), "exam", Use::Station);
    QCOMPARE(int(v.why), int(Why::SystemTree));
    QCOMPARE(v.folder, QStringLiteral("/etc/station"));
  }
};

QTEST_GUILESS_MAIN(TestFolderRule)
#include "test_folderrule.moc"
