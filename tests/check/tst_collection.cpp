// quorvel-check --answers on small collections built here, one kind of fault
// per row: the text, the exit status and the report's cell for each.
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <functional>

#include "answers_fixture.h"
#include "station_fixture.h"
#include "toolkit/participant.h"

using namespace fixture;

namespace {

const QString a = "2751234567897", b = "2750000000002";
// Runs as nobody, so that a file without rights cannot be read, when this
// test runs as root; empty when it does not.
QStringList asNobody() {
  return ::geteuid() == 0 ? QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} : QStringList{};
}
void run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
}
// Stands for the collection's folder in a row's expected text: the rows
// are made before the folder is.
QString d0() { return QStringLiteral("<collection>"); }
// A code that passes the station's check: 275, nine digits, the check digit.
QString code(int n) {
  const QString first = "275" + QString::number(n).rightJustified(9, '0');
  return first + QString::number(station::ean13CheckDigit(first + "0"));
}
// Bytes in the middle of a file overwritten: pages that fail their checksum.
void damageMiddle(const QString& path) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::ReadWrite));
  QVERIFY(f.seek(f.size() / 2) && f.write(QByteArray(300, '\x55')) == 300);
}

// A step of a setup; a failure ends the row.
#define CHECK(x)                                         \
  if (!(x)) {                                            \
    QTest::qFail(#x, __FILE__, __LINE__);                \
    return QStringList{};                                \
  }

}  // namespace

// Changes the collection (room/st1 station 1 with a, room/st2 station 2
// with b) and gives the arguments.
using Setup = std::function<QStringList(const QString& dir)>;
Q_DECLARE_METATYPE(Setup)

class TestCollection : public QObject {
  Q_OBJECT

  static void columns() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("parts");  // each found in the output
    QTest::addColumn<QString>("cell");       // found in the report
  }
  static QStringList whole(const QString& d) { return {d}; }

 private slots:
  void folders_data();
  void folders() { collection(); }
  void duplicates_data();
  void duplicates() { collection(); }
  void answerFiles_data();
  void answerFiles() { collection(); }
  void manifests_data();
  void manifests() { collection(); }
  void states_data();
  void states() { collection(); }
  void trust_data();
  void trust() { collection(); }
  void exitCodes_data();
  void exitCodes() { collection(); }
  void language_data();
  void language();
  void order_data();
  void order();
  void title_data();
  void title();
  void csv_data();
  void csv();

 private:
  void collection();
};

void TestCollection::folders_data() {
  columns();
  QTest::newRow("good") << Setup(whole) << 0
                        << QStringList{"\n  " + a + "  8/8  0.4 min  ok\n", "\n  " + b + "  8/8  0.4 min  ok\n",
                                       "\nstation Answer_" + key(1) + ": 1 participant, 1 complete\n",
                                       "\n2 stations (2 without faults), 2 participants: 2 complete\n"}
                        << "<td class=\"st complete\">complete</td>";
  QTest::newRow("a station reached through a link") << Setup([](const QString& d) {
    CHECK(QDir().rename(d + "/room/st2", d + "/elsewhere"));
    CHECK(QFile::link(d + "/elsewhere", d + "/room/st2"));
    return QStringList{d + "/room"};
  }) << 0 << QStringList{"\n2 stations (2 without faults), 2 participants: 2 complete\n"} << "275-000-000-00-02";
  QTest::newRow("links that loop and a station linked twice") << Setup([](const QString& d) {
    CHECK(QFile::link(d + "/room", d + "/room/st1/loop"));
    CHECK(QFile::link(d + "/room/st1", d + "/room/again"));
    return QStringList{d, d + "/room/again"};
  }) << 0 << QStringList{"\n2 stations (2 without faults), 2 participants: 2 complete\n"} << "Answer_" + key(2);
  QTest::newRow("an answer folder given itself") << Setup([](const QString& d) {
    return QStringList{d + "/room/st1/Answer_" + key(1) + "/"};
  }) << 0 << QStringList{"\n1 station (1 without faults), 1 participant: 1 complete\n"} << "275-123-456-78-97";
  QTest::newRow("a station copied without its answer folder") << Setup([](const QString& d) {
    CHECK(QDir(d + "/room/st2/Answer_" + key(2)).removeRecursively());
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + b + "  0/8  0.0 min  folder missing from the copy\n",
                         "1 participant, 0 complete, 1 incomplete or damaged; answer folder Answer_" + key(2) +
                             " missing from the copy\n"}
     << "<td class=\"a missing\">none</td>";
  QTest::newRow("a folder given that is not there") << Setup([](const QString& d) {
    return QStringList{d, d + "/gone"};
  }) << 1 << QStringList{"folder ", "/gone: no such file or folder\n", "2 participants: 2 complete; 1 folder not checked\n"}
     << "/gone: no such file or folder</li>";
  QTest::newRow("only a folder that is not there") << Setup([](const QString& d) {
    return QStringList{d + "/gone"};
  }) << 1 << QStringList{"0 stations (0 without faults), 0 participants: 0 complete; 1 folder not checked\n"} << "Needs attention";
  QTest::newRow("a station folder without read rights") << Setup([](const QString& d) {
    CHECK(::chmod(qPrintable(d + "/room/st2"), 0) == 0);
    return QStringList{d};
  }) << 1 << QStringList{"/room/st2 cannot be read: permission denied\n", "1 station (1 without faults), 1 participant: 1 complete; 1 folder not checked\n"}
     << "/room/st2 cannot be read: permission denied</li>";
  QTest::newRow("a journal and a manifest without read rights") << Setup([](const QString& d) {
    CHECK(::chmod(qPrintable(d + "/room/st2/Answer_" + key(2) + ".log"), 0) == 0);
    CHECK(::chmod(qPrintable(d + "/room/st2/Answer_" + key(2) + ".sha256"), 0) == 0);
    return QStringList{d};
  }) << 1 << QStringList{"; journal Answer_" + key(2) + ".log cannot be read: permission denied; manifest Answer_" + key(2) +
                         ".sha256 cannot be read: permission denied\n"}
     << "✗ journal Answer_" + key(2) + ".log cannot be read: permission denied</li>";
}

void TestCollection::duplicates_data() {
  columns();
  QTest::newRow("a station copied twice") << Setup([](const QString& d) {
    run("cp", {"-a", d + "/room/st1", d + "/room/st1b"});
    return QStringList{d};
  }) << 0 << QStringList{"st1b/: an identical copy, counted once\n", "\n2 stations (2 without faults), 2 participants"}
     << "an identical copy, counted once</li>";
  QTest::newRow("an answer that differs between two copies") << Setup([](const QString& d) {
    run("cp", {"-a", d + "/room/st1", d + "/room/st1b"});
    writeAnswer(d + "/room/st1b/" + answer(1, a, "_02_2"), 3, 660);
    return QStringList{d};
  }) << 1 << QStringList{"st1b/: a different copy, joined participant by participant\n",
                         "_02_2 differs between the copies: " + d0() + "/room/st1/" + answer(1, a, "_02_2") + " and " + d0() +
                             "/room/st1b/" + answer(1, a, "_02_2"),
                         "\n2 stations (1 without faults), 2 participants: 1 complete, 1 incomplete or damaged\n"}
     << "differs between the copies";
  QTest::newRow("an older copy that sorts first") << Setup([](const QString& d) {
    run("cp", {"-a", d + "/room/st1", d + "/room/0-older"});
    makeStation(d + "/room/st1", 1, {code(7)});
    return QStringList{d};
  }) << 0 << QStringList{"\n  " + code(7) + "  8/8  0.4 min  ok\n      found only in the copy in " + d0() + "/room/st1/\n",
                         "\n2 stations (2 without faults), 3 participants: 3 complete\n"}
     << "found only in the copy in";
  QTest::newRow("a second copy of the answer folder alone") << Setup([](const QString& d) {
    CHECK(QDir().mkpath(d + "/extra"));
    run("cp", {"-a", d + "/room/st1/Answer_" + key(1), d + "/extra/Answer_" + key(1)});
    for (const QString& suffix : kSuffixes) writeAnswer(d + "/extra/" + answer(1, code(7), suffix), 3);
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + code(7) + "  8/8  0.4 min  ok\n      found only in the copy in " + d0() + "/extra/\n",
                         "in the copy in " + d0() + "/extra/: no journal Answer_" + key(1) + ".log",
                         "\n2 stations (1 without faults), 3 participants: 3 complete\n"}
     << "found only in the copy in";
  QTest::newRow("one code at two stations") << Setup([](const QString& d) {
    makeStation(d + "/room/st3", 3, {a});
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + a + "  8/8  0.4 min  the same code at station 3, room 12, venue 0005 (Answer_" + key(3) + ")\n",
                         "\n  " + a + "  8/8  0.4 min  the same code at station 1, room 12, venue 0005 (Answer_" + key(1) + ")\n",
                         "3 participants: 1 complete, 2 incomplete or damaged\n"}
     << "<td class=\"st incomplete\">✗ incomplete</td>";
}

void TestCollection::answerFiles_data() {
  columns();
  const QString st1 = "/room/st1/";
  QTest::newRow("an answer that links to a file outside") << Setup([=](const QString& d) {
    CHECK(QFile::rename(d + st1 + answer(1, a, "_01"), d + "/outside.ogg"));
    CHECK(QFile::link(d + "/outside.ogg", d + st1 + answer(1, a, "_01")));
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + a + "  7/8  0.3 min  _01 a link, not a file\n"} << "<td class=\"a faulty\">✗ fault</td>";
  QTest::newRow("a WAV file named .ogg, its manifest line matching") << Setup([=](const QString& d) {
    writeAnswer(d + st1 + answer(1, a, "_02_1"), 3, 440, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    CHECK(station::manifest::record(d + "/room/st1", key(1), d + st1 + answer(1, a, "_02_1")));
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + a + "  7/8  0.3 min  _02_1 is not an Ogg Vorbis file\n"} << "✗ incomplete";
  QTest::newRow("an answer damaged in the middle") << Setup([=](const QString& d) {
    writeAnswer(d + st1 + answer(1, a, "_01"), 3, 0);
    damageMiddle(d + st1 + answer(1, a, "_01"));
    return QStringList{d};
  }) << 1 << QStringList{"  _01 is damaged inside, at 0:01; _01 decodes to ", " s recorded; _01 differs from the manifest checksum\n"} << "<td class=\"a faulty\">✗ 0:0";
  QTest::newRow("a folder in place of an answer") << Setup([=](const QString& d) {
    CHECK(QFile::remove(d + st1 + answer(1, a, "_03")) && QDir().mkpath(d + st1 + answer(1, a, "_03")));
    return QStringList{d};
  }) << 1 << QStringList{"  _03 not a regular file\n"} << "<td class=\"a faulty\">✗ fault</td>";
  QTest::newRow("an answer without read rights") << Setup([=](const QString& d) {
    CHECK(::chmod(qPrintable(d + st1 + answer(1, a, "_02_4")), 0) == 0);
    return QStringList{d};
  }) << 1 << QStringList{"  7/8  0.3 min  _02_4 cannot be read: permission denied\n"} << "<td class=\"a faulty\">✗ fault</td>";
  QTest::newRow("a participant folder without rights") << Setup([=](const QString& d) {
    CHECK(::chmod(qPrintable(d + st1 + "Answer_" + key(1) + "/" + a), 0) == 0);
    return QStringList{d};
  }) << 1 << QStringList{"  0/8  0.0 min  folder cannot be read: permission denied; _00 cannot be read: permission denied;"}
     << "<td class=\"a faulty\">✗ fault</td>";
  QTest::newRow("a participant's folder lost in the copy") << Setup([=](const QString& d) {
    CHECK(QDir(d + st1 + "Answer_" + key(1) + "/" + a).removeRecursively());
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + a + "  0/8  0.0 min  folder missing from the copy\n"} << "folder missing from the copy</li>";
  QTest::newRow("a folder whose name is not a participant code") << Setup([=](const QString& d) {
    CHECK(QDir().mkpath(d + st1 + "Answer_" + key(1) + "/2751234567890"));
    CHECK(QDir().mkpath(d + st1 + "Answer_" + key(1) + "/2761234567897"));
    return QStringList{d};
  }) << 1 << QStringList{"not a participant folder: Answer_" + key(1) + "/2751234567890 (wrong check digit); "
                         "not a participant folder: Answer_" + key(1) + "/2761234567897 (does not begin with 275)\n"}
     << "(wrong check digit)</li>";
}

void TestCollection::manifests_data() {
  columns();
  const QString manifest = "/room/st2/Answer_" + key(2) + ".sha256";
  QTest::newRow("an empty manifest") << Setup([=](const QString& d) {
    CHECK(QFile::resize(d + manifest, 0));
    return QStringList{d};
  }) << 1 << QStringList{"\n  " + b + "  8/8  0.4 min  ok\n", "; manifest Answer_" + key(2) + ".sha256 is empty\n"}
     << "✗ manifest Answer_" + key(2) + ".sha256 is empty";
  QTest::newRow("manifest lines naming paths out of the answer folder") << Setup([=](const QString& d) {
    const QByteArray hex = station::manifest::sha256Hex("/etc/passwd");
    append(d + manifest, hex + "  ../../etc/passwd\n" + hex + "  /etc/passwd\n" + hex + "  Answer_" + key(2).toUtf8() +
                             "/../../../etc/passwd\n");
    return QStringList{d};
  }) << 1 << QStringList{"; manifest Answer_" + key(2) + ".sha256 names 3 paths outside its answer folder, not followed: "
                         "../../etc/passwd, /etc/passwd, Answer_" + key(2) + "/../../../etc/passwd\n"}
     << "not followed";
}

void TestCollection::states_data() {
  columns();
  auto remark = [](const QString& event, const QString& details) {
    return Setup([=](const QString& d) {
      append(d + "/room/st1/Answer_" + key(1) + ".log", journalLine(a, event, details));
      return QStringList{d};
    });
  };
  QTest::newRow("complete") << Setup(whole) << 0 << QStringList{"2 participants: 2 complete\n"} << "<td class=\"st complete\">complete</td>";
  QTest::newRow("complete with an error box") << remark("error-box", "Нет звука") << 0
      << QStringList{"  " + a + "  8/8  0.4 min  ok, with remarks in the journal\n      journal: 09:42:07 error-box Нет звука\n",
                     "2 participants: 1 complete, 1 with remarks\n"} << "<td class=\"st remarks\">! remarks</td>";
  QTest::newRow("complete with a silent recording re-recorded")
      << remark("recording-checked", "/x/" + a + "_02_3.ogg; length 3.00 s; peak -inf dBFS; silent") << 0
      << QStringList{"journal: 09:42:07 recording-checked " + a + "_02_3.ogg; length 3.00 s; peak -inf dBFS; silent\n"}
      << "! remarks";
  QTest::newRow("complete after the microphone was lost") << remark("device-lost", "default") << 0
      << QStringList{"journal: 09:42:07 device-lost default\n"} << "! remarks";
  QTest::newRow("incomplete") << Setup([](const QString& d) {
    CHECK(QFile::remove(d + "/room/st2/" + answer(2, b, "_02_5")));
    return QStringList{d};
  }) << 1 << QStringList{"  " + b + "  7/8  0.3 min  _02_5 missing (listed in the manifest)\n",
                         "2 participants: 1 complete, 1 incomplete or damaged\n"}
     << "<td class=\"a missing\">none</td>";
}

void TestCollection::trust_data() {
  columns();
  const QString st1 = "/room/st1/";
  // _01 replaced by a file damaged inside, listed in the manifest; the
  // journal's check of it as given.
  auto damaged = [=](Checks check, bool ofTheseBytes, bool decode) {
    return Setup([=](const QString& d) {
      CHECK(QDir(d + "/room/st1").removeRecursively());
      makeStation(d + "/room/st1", 1, {a}, 3, check);
      const QString file = d + st1 + answer(1, a, "_01");
      writeAnswer(file, 3, 0);
      damageMiddle(file);
      CHECK(station::manifest::record(d + "/room/st1", key(1), file));
      if (ofTheseBytes) append(d + st1 + "Answer_" + key(1) + ".log", checkLine(a, file, 3));
      return decode ? QStringList{d, "--decode"} : QStringList{d};
    });
  };
  const QString decodedDamaged = "  _01 is damaged inside, at 0:01; _01 decodes to ";
  QTest::newRow("the check of these very bytes taken") << damaged(Checks::WithDigest, true, false) << 0
                                                       << QStringList{"  " + a + "  8/8  0.4 min  ok\n"}
                                                       << "<td class=\"a good\">0:03</td>";
  QTest::newRow("re-recorded after the check: decoded") << damaged(Checks::WithDigest, false, false) << 1
                                                        << QStringList{decodedDamaged, "1 answer decoded here: the station checked other bytes\n"}
                                                        << "✗ 0:0";
  QTest::newRow("a check line without a digest: decoded") << damaged(Checks::WithoutDigest, false, false) << 1
                                                          << QStringList{decodedDamaged, "decoded here: the station's check names no bytes\n"}
                                                          << "✗ 0:0";
  QTest::newRow("decoded when asked") << damaged(Checks::WithDigest, true, true) << 1 << QStringList{decodedDamaged} << "✗ 0:0";
  QTest::newRow("decoded without the station's check") << damaged(Checks::None, false, false) << 1
                                                       << QStringList{decodedDamaged} << "✗ 0:0";
  QTest::newRow("changed on disk after the manifest") << Setup([=](const QString& d) {
    writeAnswer(d + st1 + answer(1, a, "_01"), 3, 660);
    return QStringList{d};
  }) << 1 << QStringList{"  " + a + "  7/8  0.4 min  _01 differs from the manifest checksum\n"} << "✗ 0:03";
  QTest::newRow("task 3 over the flat program's period") << Setup([](const QString& d) {
    CHECK(QDir(d + "/room/st1").removeRecursively());
    makeStation(d + "/room/st1", 1, {a}, 200);
    return QStringList{d};
  }) << (test::flat() ? 1 : 0)
     << QStringList{test::flat() ? "\n  " + a + "  7/8  3.7 min  _03 is 200.00 s, longer than its period of 181 s\n"
                                   : "\n  " + a + "  8/8  3.7 min  ok\n"} << "3:20";
}

// Exit statuses as a script reads them, and what is said with each.
void TestCollection::exitCodes_data() {
  columns();
  QTest::newRow("0: every participant complete") << Setup(whole) << 0 << QStringList{"2 participants: 2 complete\n"}
                                                 << "complete";
  QTest::newRow("1: an answer missing") << Setup([](const QString& d) {
    CHECK(QFile::remove(d + "/room/st2/" + answer(2, b, "_03")));
    return QStringList{d};
  }) << 1 << QStringList{"  _03 missing (listed in the manifest)"} << "✗ incomplete";
  QTest::newRow("1: answer folders with nobody in them") << Setup([](const QString& d) {
    CHECK(QDir(d + "/room").removeRecursively());
    CHECK(QDir().mkpath(d + "/room/st1/Answer_" + key(1)));
    return QStringList{d};
  }) << 1 << QStringList{"; no participant in the answer folder Answer_" + key(1) + "\n"} << "no participant";
  QTest::newRow("1: nothing found") << Setup([](const QString& d) {
    CHECK(QDir(d + "/empty").mkpath("."));
    return QStringList{d + "/empty"};
  }) << 1 << QStringList{"no answer folder Answer_… found"} << "Needs attention";
  QTest::newRow("1: a link to a station that is not there") << Setup([](const QString& d) {
    CHECK(QFile::link(d + "/stick/Answer_" + key(3), d + "/room/Answer_" + key(3)));
    return QStringList{d};
  }) << 1 << QStringList{"/room/Answer_" + key(3) + " leads nowhere: no such file or folder\n"} << "leads nowhere";
  QTest::newRow("1: a faulty room whose report cannot be written") << Setup([](const QString& d) {
    CHECK(QFile::remove(d + "/room/st2/" + answer(2, b, "_03")));
    return QStringList{d, "--report", d + "/no/r.html"};
  }) << 1 << QStringList{"cannot write the report " + d0() + "/no/r.html"} << "";
  QTest::newRow("2: an unknown option") << Setup([](const QString& d) {
    return QStringList{d, "--sael"};
  }) << 2 << QStringList{"unknown option --sael"} << "";
  QTest::newRow("2: --report without a file") << Setup([](const QString& d) {
    return QStringList{d, "--report"};
  }) << 2 << QStringList{"--report needs a file name"} << "";
  QTest::newRow("3: a sound room whose report cannot be written") << Setup([](const QString& d) {
    return QStringList{d, "--report", d + "/no/r.html"};
  }) << 3 << QStringList{"2 participants: 2 complete\n", "cannot write the report"} << "";
  QTest::newRow("names that would steer a terminal are escaped") << Setup([](const QString& d) {
    CHECK(QDir().mkpath(d + "/room/st2/Answer_" + key(2) + "/" + QChar(0x1b) + "[2J" + QChar(0x9b) + "1m" + QChar(0x202e)));
    return QStringList{d};
  }) << 1 << QStringList{"Answer_" + key(2) + "/\\x1b[2J\\x9b1m\\u{202e} (not 13 digits)"} << "not 13 digits";
}

void TestCollection::collection() {
  QFETCH(Setup, setup);
  QFETCH(int, exit);
  QFETCH(QStringList, parts);
  QFETCH(QString, cell);
  QTemporaryDir dir;
  makeStation(dir.filePath("room/st1"), 1, {a});
  makeStation(dir.filePath("room/st2"), 2, {b});
  QStringList args = setup(dir.path());
  if (QTest::currentTestFailed()) return;
  const QString tag = QTest::currentDataTag();
  const bool rights = tag.contains("rights");
  if (rights) QVERIFY(::chmod(qPrintable(dir.path()), 0777) == 0);
  if (!args.contains("--report")) args << "--report" << dir.filePath("r.html");
  for (QString& part : parts) part.replace(d0(), dir.path());
  const Run r = check(args, "C.UTF-8", rights ? asNobody() : QStringList{});
  const QString said = r.out + r.err;
  for (const QString& part : parts) QVERIFY2(said.contains(part), qPrintable(part + "\n---\n" + said));
  QVERIFY2(!said.contains(QChar(0x1b)) && !said.contains(QChar(0x9b)), qPrintable(said));
  QCOMPARE(r.status, exit);
  const QString html = QString::fromUtf8(contents(dir.filePath("r.html")));
  if (cell.isEmpty()) {
    QVERIFY(!QFile::exists(dir.filePath("r.html")));
    return;
  }
  QVERIFY(html.startsWith("<!DOCTYPE html>") && html.endsWith("</html>\n") && !html.contains("<script"));
  QVERIFY2(html.contains(cell), qPrintable(cell));
  QCOMPARE(html.count("<td class=\"a "), 8 * r.out.count(QRegularExpression("\n  \\d{13}  ")));
}

void TestCollection::language_data() {
  QTest::addColumn<QString>("lang");
  QTest::addColumn<int>("participants");
  QTest::addColumn<QStringList>("parts");  // in the output, then in the report
  QTest::newRow("English, one") << "C.UTF-8" << 1
      << QStringList{"\n1 station (1 without faults), 1 participant: 1 complete\n", "<html lang=\"en\">",
                     "<h2>subject 2017_01, 2026-12-08 · venue 0005 · room 12 · station 1</h2>",
                     "<th class=\"a\" colspan=\"5\">task 2</th>", "  0.4 min  "};
  QTest::newRow("English, two") << "C.UTF-8" << 2 << QStringList{"\n1 station (1 without faults), 2 participants: 2 complete\n"};
  QTest::newRow("Russian, one") << "ru_RU.UTF-8" << 1
      << QStringList{"\n1 станция (без ошибок: 1), 1 участник; полных: 1\n", "  0,4 мин  в порядке\n", "<html lang=\"ru\">",
                     "<h2>предмет 2017_01, 08.12.2026 · ППЭ 0005 · аудитория 12 · станция 1</h2>",
                     "<th rowspan=\"2\">участник</th><th class=\"a\" rowspan=\"2\">код</th><th class=\"a\" rowspan=\"2\">задание 1</th>"
                     "<th class=\"a\" colspan=\"5\">задание 2</th><th class=\"a\" rowspan=\"2\">задание 3</th>",
                     "<th class=\"a\">2.1</th>", "<td class=\"m\">0,4</td>", "content: \"стр. \" counter(page) \" из \" counter(pages) \"\";",
                     "Член ГЭК"};
  QTest::newRow("Russian, three") << "ru_RU.UTF-8" << 3 << QStringList{"\n1 станция (без ошибок: 1), 3 участника; полных: 3\n"};
  QTest::newRow("Russian, five") << "ru_RU.UTF-8" << 5 << QStringList{"станция Answer_" + key(1) + ": 5 участников, полных: 5\n"};
}

// The language of the locale, with its plural forms.
void TestCollection::language() {
  QFETCH(QString, lang);
  QFETCH(int, participants);
  QFETCH(QStringList, parts);
  QTemporaryDir dir;
  QStringList codes;
  for (int i = 0; i < participants; ++i) codes << code(i + 1);
  makeStation(dir.filePath("st"), 1, codes, 1);
  const Run r = check({dir.path(), "--report", dir.filePath("r.html")}, lang);
  QCOMPARE(r.status, 0);
  const QString text = r.out + QString::fromUtf8(contents(dir.filePath("r.html")));
  for (const QString& part : parts) QVERIFY2(text.contains(part), qPrintable(part + "\n---\n" + r.out));
  QVERIFY(text.contains(FormatParticipantCode(codes.first())));
}


void TestCollection::order_data() {
  QTest::addColumn<QList<int>>("numbers");  // stations, each in folder st<number>, in folder order
  QTest::addColumn<QList<int>>("rooms");    // room of each, from its journal
  QTest::addColumn<QList<int>>("expected"); // stations in the order printed
  QTest::newRow("numbers, not folder names") << QList<int>{19, 13, 1, 2, 10} << QList<int>{12, 12, 12, 12, 12}
                                             << QList<int>{1, 2, 10, 13, 19};
  QTest::newRow("room before number") << QList<int>{1, 2, 5} << QList<int>{12, 12, 11} << QList<int>{5, 1, 2};
}

// Stations in the order staff count them, on the console and in the report.
void TestCollection::order() {
  QFETCH(QList<int>, numbers);
  QFETCH(QList<int>, rooms);
  QFETCH(QList<int>, expected);
  QTemporaryDir dir;
  for (qsizetype i = 0; i < numbers.size(); ++i) {
    const QString st = dir.filePath(QString("room/st%1").arg(numbers[i]));
    makeStation(st, numbers[i], {code(numbers[i])});
    if (rooms[i] != 12)
      append(st + "/Answer_" + key(numbers[i]) + ".log",
             journalLine({}, "check-finished", QString("venue 0005; room %1; station %2; answer folder Answer_%3")
                                                   .arg(rooms[i], 4, 10, QChar('0')).arg(numbers[i]).arg(key(numbers[i]))));
  }
  const Run r = check({dir.path(), "--report", dir.filePath("r.html")});
  QCOMPARE(r.status, 0);
  const QString html = QString::fromUtf8(contents(dir.filePath("r.html")));
  qsizetype out = 0, report = 0;
  for (int n : expected) {
    const qsizetype at = r.out.indexOf("\n  " + code(n) + "  ");
    QVERIFY2(at > out, qPrintable(r.out));
    out = at;
    const qsizetype row = html.indexOf(FormatParticipantCode(code(n)) + "</td>");
    QVERIFY(row > report);
    report = row;
  }
}

void TestCollection::title_data() {
  QTest::addColumn<QByteArray>("subject");  // KIM/subj beside the room's stations; empty: none
  QTest::addColumn<QString>("lang");
  QTest::addColumn<QStringList>("parts");   // in the report
  QTest::newRow("no subject file") << QByteArray() << "C.UTF-8"
      << QStringList{"<h1>subject 2017_01, 2026-12-08</h1>", "@top-left { content: \"subject 2017_01, 2026-12-08 · venue 0005 · room 12 · summary\"; }"};
  QTest::newRow("the subject file of the key, in Windows-1251") << QByteArray("\xc0\xed\xe3\xeb\xe8\xe9\xf1\xea\xe8\xe9 \xff\xe7\xfb\xea\r\n01\r\n2017\r\n")
      << "ru_RU.UTF-8"
      << QStringList{"<h1>Английский язык, 08.12.2026</h1>", "<title>Английский язык, 08.12.2026: собранные ответы</title>",
                     "{ content: \"Английский язык, 08.12.2026 · ППЭ 0005 · аудитория 12 · станция 2\"; }",
                     "{ content: \"Английский язык, 08.12.2026 · ППЭ 0005 · аудитория 12 · сводка\"; }"};
  QTest::newRow("a subject file of another exam") << QByteArray("History\n02\n2017\n") << "C.UTF-8"
      << QStringList{"<h1>subject 2017_01, 2026-12-08</h1>"};
  QTest::newRow("a subject that would end the style") << QByteArray("A</style><script>\"x\\</script>\n01\n2017\n") << "C.UTF-8"
      << QStringList{"<h1>A&lt;/style&gt;&lt;script&gt;&quot;x\\&lt;/script&gt;, 2026-12-08</h1>",
                     "content: \"A\\3c /style\\3e \\3c script\\3e \\\"x\\\\\\3c /script\\3e , 2026-12-08 · venue 0005"};
}

// The report names its exam: the subject from a subject file of the same
// key beside the stations, else the key; the date of the journals.
void TestCollection::title() {
  QFETCH(QByteArray, subject);
  QFETCH(QString, lang);
  QFETCH(QStringList, parts);
  QTemporaryDir dir;
  makeStation(dir.filePath("room/st1"), 1, {a});
  makeStation(dir.filePath("room/st2"), 2, {b});
  if (!subject.isEmpty()) {
    QVERIFY(QDir().mkpath(dir.filePath("room/KIM")));
    append(dir.filePath("room/KIM/subj"), subject);
  }
  const Run r = check({dir.filePath("room"), "--report", dir.filePath("r.html")}, lang);
  QCOMPARE(r.status, 0);
  const QString html = QString::fromUtf8(contents(dir.filePath("r.html")));
  for (const QString& part : parts) QVERIFY2(html.contains(part), qPrintable(part));
  QVERIFY(!html.contains("<script"));
  QCOMPARE(html.count("</style>"), 1);
  // Three signature blocks: the summary's and each station's.
  QCOMPARE(html.count("<table class=\"signs\">"), 3);
}

void TestCollection::csv_data() {
  QTest::addColumn<QString>("lang");
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QStringList>("header");
  QTest::addColumn<QString>("length");   // of a good answer of 3 s
  QTest::addColumn<QString>("missing");  // the state of an answer not there
  QTest::newRow("English") << "C.UTF-8" << ","
      << QStringList{"centre", "room", "station", "answer folder", "participant", "answer", "file", "state", "seconds",
                     "SHA-256", "faults", "participant's state"}
      << "3.00" << "missing";
  QTest::newRow("Russian") << "ru_RU.UTF-8" << ";"
      << QStringList{"ППЭ", "аудитория", "станция", "папка ответов", "участник", "ответ", "файл", "итог", "секунд",
                     "SHA-256", "ошибки", "итог участника"}
      << "3,00" << "отсутствует";
}

// The CSV beside the report, read with Python's csv module as a
// spreadsheet reads it: a row for every answer, damaged and missing ones
// too, each with its file's digest.
void TestCollection::csv() {
  QFETCH(QString, lang);
  QFETCH(QString, separator);
  QFETCH(QStringList, header);
  QFETCH(QString, length);
  QFETCH(QString, missing);
  QTemporaryDir dir;
  makeStation(dir.filePath("room/st1"), 1, {a, code(7)});
  makeStation(dir.filePath("room/st2"), 2, {b});
  QVERIFY(QFile::remove(dir.filePath("room/st2/" + answer(2, b, "_02_5"))));
  damageMiddle(dir.filePath("room/st1/" + answer(1, a, "_01")));
  const Run r = check({dir.filePath("room"), "--report", dir.filePath("r.html")}, lang);
  QCOMPARE(r.status, 1);
  const QByteArray bytes = contents(dir.filePath("r.csv"));
  QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
  QProcess python;
  python.start("python3", {"-c",
                           "import csv, json, sys\n"
                           "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                           "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))\n",
                           dir.filePath("r.csv"), separator});
  QVERIFY(python.waitForFinished(30000));
  QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
  const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
  QCOMPARE(rows.size(), 1 + 3 * 8);
  QCOMPARE(rows[0].toVariant().toStringList(), header);
  std::map<QString, QStringList> byFile;
  for (qsizetype i = 1; i < rows.size(); ++i) {
    const QStringList row = rows[i].toVariant().toStringList();
    QCOMPARE(row.size(), header.size());
    byFile[row[6]] = row;
  }
  for (const auto& [st, who] : std::vector<std::pair<int, QString>>{{1, a}, {1, code(7)}, {2, b}})
    for (const QString& suffix : kSuffixes) {
      const QString file = who + suffix + ".ogg";
      QVERIFY2(byFile.count(file), qPrintable(file));
      const QStringList& row = byFile[file];
      QCOMPARE(row[3], "Answer_" + key(st));
      QCOMPARE(row[4], who);
      const QString path = dir.filePath(QString("room/st%1/").arg(st) + answer(st, who, suffix));
      if (suffix == "_02_5" && who == b) {
        QCOMPARE(row[7], missing);
        QVERIFY(row[9].isEmpty());
      } else {
        QCOMPARE(row[9], QString::fromLatin1(station::manifest::sha256Hex(path)));
      }
      if (suffix == "_01" && who == a) QVERIFY2(row[10].count("_01") >= 2, qPrintable(row[10]));  // its faults, with the separator inside
      else if (row[7] != missing) QCOMPARE(row[8], length);
    }
  QCOMPARE(byFile[a + "_00.ogg"][5], lang.startsWith("ru") ? "код" : "code");
  QCOMPARE(byFile[a + "_02_3.ogg"][5], "2.3");
}

QTEST_GUILESS_MAIN(TestCollection)
#include "tst_collection.moc"
