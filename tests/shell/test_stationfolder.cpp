// Which folder the station works in: the program's own folder when KIM lies
// beside it, the current folder otherwise, never a system folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "toolkit/stationfolder.h"

using station::stationfolder::Choice;

class TestStationFolder : public QObject {
  Q_OBJECT

 private slots:
  void systemFolders_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("system");
    QTest::newRow("root") << "/" << true;
    QTest::newRow("/usr/bin") << "/usr/bin" << true;
    QTest::newRow("/usr/local/share") << "/usr/local/share" << true;
    QTest::newRow("/etc below") << "/etc/quorvel" << true;
    QTest::newRow("/proc") << "/proc/self" << true;
    QTest::newRow("/home itself") << "/home" << true;
    QTest::newRow("/bin/.. is the root") << "/bin/.." << true;
    QTest::newRow("a folder in the account's own home") << QDir::homePath() + "/station" << false;
    QTest::newRow("a folder in another account's home") << "/home/no-such-exam-account/station" << true;
    QTest::newRow("/srv") << "/srv/quorvel" << false;
    QTest::newRow("/var/lib below") << "/var/lib/quorvel" << false;
    QTest::newRow("a name that only starts like /usr") << "/usrdata/station" << false;
    QTest::newRow("/tmp") << "/tmp/station" << false;
  }
  void systemFolders() {
    QFETCH(QString, folder);
    QFETCH(bool, system);
    QCOMPARE(station::stationfolder::isSystemFolder(folder), system);
  }

  // program and current: "portable" and "room" are temporary folders (with
  // KIM when the flag says so), anything else a real path.
  void choice_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("programKim");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("currentKim");
    QTest::addColumn<QString>("expected");  // "portable", "room" or "" (refused)
    QTest::addColumn<int>("why");
    const int currentHasKim = int(Choice::Why::CurrentHasKim), programHasKim = int(Choice::Why::ProgramHasKim),
              current = int(Choice::Why::Current), system = int(Choice::Why::SystemFolder);
    QTest::newRow("portable, started in its own folder") << "portable" << true << "portable" << true << "portable"
                                                         << programHasKim;
    QTest::newRow("portable, started from elsewhere") << "portable" << true << "room" << false << "portable"
                                                      << programHasKim;
    QTest::newRow("portable, started from /") << "portable" << true << "/" << false << "portable" << programHasKim;
    QTest::newRow("portable, started in another station folder")
        << "portable" << true << "room" << true << "portable" << programHasKim;
    QTest::newRow("installed, started in a station folder") << "/usr/bin" << false << "room" << true << "room"
                                                            << currentHasKim;
    QTest::newRow("installed, started in a folder without KIM")
        << "/usr/bin" << false << "room" << false << "room" << current;
    QTest::newRow("installed, started in its own folder") << "/usr/bin" << false << "/usr/bin" << false << ""
                                                          << system;
    QTest::newRow("installed, started from /") << "/usr/bin" << false << "/" << false << "" << system;
    QTest::newRow("installed, started through a link to /usr/bin")
        << "/usr/bin" << false << "link-to-usr-bin" << false << "" << system;
    QTest::newRow("portable copy with no KIM, started from /etc") << "portable" << false << "/etc" << false << ""
                                                                  << system;
  }
  void choice() {
    QFETCH(QString, program);
    QFETCH(bool, programKim);
    QFETCH(QString, current);
    QFETCH(bool, currentKim);
    QFETCH(QString, expected);
    QFETCH(int, why);
    QTemporaryDir portable, room, links;
    QVERIFY(QFile::link("/usr/bin", links.filePath("usr-bin")));
    const auto resolve = [&](const QString& name) {
      if (name == "portable") return QFileInfo(portable.path()).canonicalFilePath();
      if (name == "room") return QFileInfo(room.path()).canonicalFilePath();
      if (name == "link-to-usr-bin") return links.filePath("usr-bin");
      return name;
    };
    if (programKim) QVERIFY(QDir(portable.path()).mkdir("KIM"));
    if (currentKim && !QDir(resolve(current)).exists("KIM")) QVERIFY(QDir(resolve(current)).mkdir("KIM"));
    const Choice c = station::stationfolder::choose(resolve(program), resolve(current));
    QCOMPARE(int(c.why), why);
    QCOMPARE(c.folder, expected.isEmpty() ? QString() : resolve(expected));
  }
};

QTEST_GUILESS_MAIN(TestStationFolder)
#include "test_stationfolder.moc"
