// The staff screen against the real UDisks2: a system bus of the test's own
// (its socket in a temporary folder), polkitd, udisksd and udevd on it, and
// an ext4 stick image on a loop device. logind cannot run here: the test
// answers for it on its own bus, recording what it was asked. Each row
// presses one button with one PIN and checks what came of it. Needs root;
// skipped with the reason otherwise.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <QDBusConnection>
#include <QDBusAbstractAdaptor>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

#include "check/language.h"
#include "kiosk/staff/pin.h"
#include "kiosk/staff/staffscreen.h"
#include "tests/check/answers_fixture.h"

using fixture::sh;

namespace {

// Stands in for logind's Manager, which needs systemd as PID 1.
class Login : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
 public:
  QStringList asked;
 public slots:
  void PowerOff(bool) { asked << "PowerOff"; }
  void Reboot(bool) { asked << "Reboot"; }
};

}  // namespace

class TestStaff : public QObject {
  Q_OBJECT

  QTemporaryDir bus;
  QString device, why;
  QList<qint64> daemons;
  // logind's stand-in answers on a thread of its own: the screen's calls
  // block this one, and udisksd asks logind too while it mounts.
  QThread loginThread;
  Login login;

  void start(const QStringList& command) {
    qint64 pid = 0;
    if (QProcess::startDetached(command.first(), command.mid(1), {}, &pid)) daemons << pid;
  }

 private slots:
  void initTestCase() {
    if (::geteuid() != 0) why = "UDisks2, a loop device and a mount need root";
    else if (!QFile::exists("/usr/libexec/udisks2/udisksd") || !QFile::exists("/usr/lib/polkit-1/polkitd"))
      why = "udisks2 and polkitd are not installed (tools/setup installs them)";
    else if (!QFile::exists("/dev/loop-control")) why = "this machine has no loop devices";
    if (!why.isEmpty()) return;
    // The system bus's own configuration with the socket moved here; the
    // services' policies are the installed ones.
    QFile in("/usr/share/dbus-1/system.conf"), out(bus.filePath("system.conf"));
    QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
    QString conf = QString::fromUtf8(in.readAll());
    conf.replace(QRegularExpression("<listen>[^<]*</listen>"), "<listen>unix:path=" + bus.filePath("socket") + "</listen>");
    conf.replace(QRegularExpression("<pidfile>[^<]*</pidfile>"), "<pidfile>" + bus.filePath("pid") + "</pidfile>");
    conf.replace("<includedir>system.d</includedir>", "<includedir>/usr/share/dbus-1/system.d</includedir>");
    out.write(conf.toUtf8());
    out.close();
    QVERIFY(sh({"dbus-daemon", "--config-file=" + bus.filePath("system.conf"), "--fork"}));
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + bus.filePath("socket").toUtf8());
    QString pid;
    QVERIFY(sh({"cat", bus.filePath("pid")}, &pid));
    daemons << pid.toLongLong();
    if (!sh({"pgrep", "-x", "systemd-udevd"})) QVERIFY(sh({"/lib/systemd/systemd-udevd", "--daemon"}));
    start({"/usr/lib/polkit-1/polkitd", "--no-debug"});
    QTest::qWait(500);
    start({"/usr/libexec/udisks2/udisksd"});
    QVERIFY(QTest::qWaitFor([] { return sh({"udisksctl", "status"}); }, 15000));
    check::loadLanguage("ru");
    login.moveToThread(&loginThread);
    loginThread.start();
    QDBusConnection system = QDBusConnection::systemBus();
    QVERIFY(system.registerService("org.freedesktop.login1"));
    QVERIFY(system.registerObject("/org/freedesktop/login1", &login, QDBusConnection::ExportAllSlots));
  }
  void cleanupTestCase() {
    loginThread.quit();
    loginThread.wait();
    for (qint64 pid : daemons) ::kill(pid_t(pid), SIGTERM);
  }

  void guardedActions_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<int>("megabytes");  // the stick, 0 for none
    QTest::addColumn<QString>("said");
    QTest::addColumn<int>("ending");     // -1: the screen stays
    QTest::addColumn<QStringList>("onStick");
    QTest::addColumn<QStringList>("asked");  // of logind
    const QString k = fixture::key(1);
    QTest::newRow("copy") << "copy" << "2468" << 32 << "в папку " + k + " на флешке STICK, 34 МБ (/dev/loop" << -1
                          << QStringList{k, "lost+found"} << QStringList{};
    QTest::newRow("copy, a wrong PIN") << "copy" << "1111" << 32 << "Неверный ПИН-код. Ничего не сделано." << -1
                                       << QStringList{"lost+found"} << QStringList{};
    QTest::newRow("copy onto a full stick") << "copy" << "2468" << 3 << "На флешке не хватает места" << -1
                                            << QStringList{"lost+found"} << QStringList{};
    QTest::newRow("copy without a stick") << "copy" << "2468" << 0 << "Флешка не найдена" << -1 << QStringList{}
                                          << QStringList{};
    QTest::newRow("switch off") << "powerOff" << "2468" << 0 << "Компьютер выключается" << 0 << QStringList{}
                                << QStringList{"PowerOff"};
    QTest::newRow("switch off, a wrong PIN") << "powerOff" << "2467" << 0 << "Неверный ПИН-код" << -1 << QStringList{}
                                             << QStringList{};
    QTest::newRow("restart") << "reboot" << "2468" << 0 << "Компьютер перезагружается" << 0 << QStringList{}
                             << QStringList{"Reboot"};
    QTest::newRow("leave, a wrong PIN") << "leave" << "0000" << 0 << "Неверный ПИН-код" << -1 << QStringList{}
                                        << QStringList{};
    QTest::newRow("leave") << "leave" << "2468" << 0 << "" << 20 << QStringList{} << QStringList{};
    QTest::newRow("go on, no PIN asked") << "goOn" << "" << 0 << "" << 10 << QStringList{} << QStringList{};
  }
  void guardedActions() {
    QFETCH(QString, button);
    QFETCH(QString, pin);
    QFETCH(int, megabytes);
    QFETCH(QString, said);
    QFETCH(int, ending);
    QFETCH(QStringList, onStick);
    QFETCH(QStringList, asked);
    if (!why.isEmpty()) QSKIP(qPrintable(why));
    QMetaObject::invokeMethod(&login, [this] { login.asked.clear(); }, Qt::BlockingQueuedConnection);
    QTemporaryDir dir;
    const QString station = dir.filePath("station");
    fixture::makeStation(station, 1, {"2751234567897", "2750000000002"}, 3);
    QFile pinFile(dir.filePath("staff-pin"));
    QVERIFY(pinFile.open(QIODevice::WriteOnly) && pinFile.write(staff::pin::make("2468")) > 0);
    pinFile.close();
    const QByteArray journal = fixture::contents(station + "/Answer_" + fixture::key(1) + ".log");

    // The stick, set up as a user's disk image would be, so that UDisks2
    // offers it; gone again however the row ends.
    QString loop;
    const auto detach = qScopeGuard([&] {
      if (loop.isEmpty()) return;
      sh({"udisksctl", "unmount", "--no-user-interaction", "-b", loop});
      sh({"udisksctl", "loop-delete", "--no-user-interaction", "-b", loop});
    });
    if (megabytes > 0) {
      const QString image = dir.filePath("stick.img");
      QVERIFY(sh({"truncate", "-s", QString("%1M").arg(megabytes), image}));
      QVERIFY(sh({"mkfs.ext4", "-q", "-F", "-m", "0", "-L", "STICK", image}));
      QString said;
      QVERIFY(sh({"udisksctl", "loop-setup", "--no-user-interaction", "-f", image}, &said));
      loop = said.section(' ', -1).remove('.');
      QVERIFY2(loop.startsWith("/dev/loop"), qPrintable(said));
      sh({"udevadm", "settle"});
    }

    staff::StaffScreen screen(station, dir.filePath("staff-pin"));
    int asks = 0;
    screen.askPin = [&] { ++asks; return pin; };
    screen.chooseStick = [&](const QList<staff::Stick>& sticks) {
      for (int i = 0; i < sticks.size(); ++i)
        if (sticks[i].device == loop) return i;
      return -1;
    };
    int ended = -1;
    connect(&screen, &staff::StaffScreen::ended, this, [&](int e) { ended = e; });
    QVERIFY(QTest::qWaitFor([&] { return !screen.busy(); }, 30000));
    screen.findChild<QPushButton*>(button)->click();
    QVERIFY(QTest::qWaitFor([&] { return !screen.busy(); }, 60000));
    QVERIFY2(screen.status().contains(said), qPrintable(screen.status()));
    QCOMPARE(ended, ending);
    QCOMPARE(asks, button == "goOn" ? 0 : 1);
    QStringList loginAsked;
    QMetaObject::invokeMethod(&login, [&] { loginAsked = login.asked; }, Qt::BlockingQueuedConnection);
    QCOMPARE(loginAsked, asked);
    // The station's own files are never changed.
    QCOMPARE(fixture::contents(station + "/Answer_" + fixture::key(1) + ".log"), journal);

    if (!loop.isEmpty()) {
      // The stick was left unmounted: mounted again here to look at it.
      QString where;
      QVERIFY(sh({"udisksctl", "mount", "--no-user-interaction", "-b", loop}, &where));
      where = where.section(" at ", 1).remove(QRegularExpression("\\.$"));
      QStringList top = QDir(where).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
      top.removeOne("filler");
      QCOMPARE(top, onStick);
      if (onStick.contains(fixture::key(1)))
        QVERIFY(sh({"diff", "-r", station + "/Answer_" + fixture::key(1), where + "/" + fixture::key(1) + "/Answer_" + fixture::key(1)}));
    }
  }
};

QTEST_MAIN(TestStaff)
#include "tst_staff.moc"
