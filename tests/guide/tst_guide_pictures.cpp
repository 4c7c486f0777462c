// The guide's pictures made afresh from the station as it is now, into a
// folder of the test's own: every scene still finds the controls and boxes
// it drives, every picture shows a whole drawn window, and each box picture
// shows the box the guide describes under it.
#include <unistd.h>

#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestGuidePictures : public QObject {
  Q_OBJECT

  QTemporaryDir out_;
  QStringList said_;  // what the scenes said, in order

  static QStringList pictureNames() {
    QProcess list;
    list.start(QStringLiteral(SCREENSHOTS_SCRIPT), {QStringLiteral("--list")});
    list.waitForFinished(10000);
    return QString::fromUtf8(list.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }

 private slots:
  void initTestCase() {
    if (::geteuid() != 0) QSKIP("needs root: one scene mounts a small disk of its own");
    for (const char* tool : {"Xvfb", "espeak-ng", "pulseaudio", "oggenc"})
      if (QStandardPaths::findExecutable(tool).isEmpty()) QSKIP(qPrintable(QStringLiteral("needs ") + tool));
    {
      QTemporaryDir probe;
      if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", probe.path()}) != 0)
        QSKIP("cannot mount a small disk here");
      QProcess::execute("umount", {probe.path()});
    }
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUORVEL_BUILD"), QStringLiteral(QUORVEL_BUILD_DIR));
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(SCREENSHOTS_SCRIPT), {QStringLiteral("--out"), out_.path()});
    QVERIFY(run.waitForFinished(15 * 60 * 1000));
    const QString output = QString::fromUtf8(run.readAll());
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, qPrintable(output));
    QFile log(out_.filePath(QStringLiteral("scenes.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    said_ = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
  }

  // Every picture: the window's whole size, and drawn (a blank or black
  // grab has a handful of colours at most).
  void wholeWindows_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const QString& name : pictureNames())
      QTest::newRow(qPrintable(name)) << name
                                      << (name == "text-check"          ? QSize(1015, 712)
                                          : name.startsWith("staff-") ? QSize(1280, 800)  // the whole display
                                                                      : QSize(1016, 713));
  }
  void wholeWindows() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QImage picture(out_.filePath(name + QStringLiteral(".png")));
    QVERIFY2(!picture.isNull(), qPrintable(name));
    QCOMPARE(picture.size(), size);
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
      for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
    QVERIFY2(colours.size() >= 16, qPrintable(QString::number(colours.size())));
  }

  // A box picture is taken of the box that was open: the box told just
  // before the picture holds the text the guide speaks of.
  void boxPictures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("wrong code") << "wrong-code" << "Некорректный код участника";
    QTest::newRow("ready") << "ready-question" << "Завершить подготовку к заданию?";
    QTest::newRow("stop") << "stop-question" << "Завершить прием экзамена на станции?";
    QTest::newRow("microphone lost") << "microphone-lost" << "Микрофон отключился";
    QTest::newRow("microphone back") << "microphone-back" << "Микрофон снова подключён";
    QTest::newRow("cut short") << "cut-short" << "Экзамен этого участника был прерван: на диске есть";
    QTest::newRow("space at the check") << "free-space-check" << "Мало свободного места на диске";
    QTest::newRow("space at a code") << "free-space-code" << "этого не хватит на ответы ни одного участника";
    QTest::newRow("disk full") << "disk-full" << "На диске нет места для записи ответа";
  }
  void boxPictures() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    const qsizetype at = said_.indexOf(QStringLiteral("picture: ") + name);
    QVERIFY2(at > 0, qPrintable(name));
    QVERIFY2(said_[at - 1].startsWith(QStringLiteral("box: ")), qPrintable(said_[at - 1]));
    QVERIFY2(said_[at - 1].contains(text), qPrintable(said_[at - 1]));
  }
};

QTEST_GUILESS_MAIN(TestGuidePictures)
#include "tst_guide_pictures.moc"
