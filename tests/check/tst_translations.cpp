// The checker's messages in the staff's language: every message of the
// sources has its translation in each .ts file (none unfinished, none left
// over from a message that is gone), with every plural form of the
// language and the same placeholders as its source, and the .ts files are
// what lupdate makes of the sources now (run here on copies, with the
// build's own project of the program).
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <set>

namespace {

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::set<QString> placeholders(const QString& text) {
  std::set<QString> found;
  static const QRegularExpression mark(QStringLiteral("%(\\d|n)"));
  for (const auto& m : mark.globalMatch(text)) found.insert(m.captured(0));
  return found;
}

struct Message {
  QString source, comment, type;
  bool numerus = false;
  QStringList translations;  // one, or one per plural form
};

QList<Message> messages(const QByteArray& ts) {
  QList<Message> out;
  QXmlStreamReader xml(ts);
  Message m;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (xml.name() == QLatin1String("message")) {
        m = Message{};
        m.numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
      } else if (xml.name() == QLatin1String("source")) {
        m.source = xml.readElementText();
      } else if (xml.name() == QLatin1String("comment")) {
        m.comment = xml.readElementText();
      } else if (xml.name() == QLatin1String("translation")) {
        m.type = xml.attributes().value(QLatin1String("type")).toString();
        if (!m.numerus) m.translations << xml.readElementText();
      } else if (xml.name() == QLatin1String("numerusform")) {
        m.translations << xml.readElementText();
      }
    } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
      out << m;
    }
  }
  if (xml.hasError()) qWarning() << xml.errorString();
  return out;
}

}  // namespace

class TestTranslations : public QObject {
  Q_OBJECT

 private slots:
  void complete_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("forms");  // plural forms of the language
    QTest::newRow("Russian") << "ru" << 3;
    QTest::newRow("English") << "en" << 2;
  }

  void complete() {
    QFETCH(QString, language);
    QFETCH(int, forms);
    const QString name = "quorvel-check_" + language + ".ts";
    const QByteArray committed = contents(QStringLiteral(TS_DIR) + "/" + name);
    QVERIFY2(!committed.isEmpty(), qPrintable(name));

    QStringList wrong;
    const QList<Message> all = messages(committed);
    QVERIFY(all.size() > 100);
    for (const Message& m : all) {
      const QString what = m.source.left(70) + (m.comment.isEmpty() ? QString() : " (" + m.comment + ")");
      if (!m.type.isEmpty()) wrong << m.type + ": " + what;
      if (m.translations.size() != (m.numerus ? forms : 1)) wrong << QString("%1 forms: ").arg(m.translations.size()) + what;
      for (const QString& t : m.translations) {
        if (t.trimmed().isEmpty()) wrong << "empty: " + what;
        else if (placeholders(t) != placeholders(m.source)) wrong << "placeholders differ: " + what + " -> " + t.left(70);
      }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(name + ":\n" + wrong.join('\n')));

    // lupdate on a copy, with the build's project of the program: nothing
    // new to translate, nothing vanished, nothing moved.
    QTemporaryDir dir;
    const QString project = dir.filePath("project.json"), copy = dir.filePath(name);
    QVERIFY(QFile::copy(QStringLiteral(TS_DIR) + "/" + name, copy));
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(CMAKE_COMMAND), {"-DIN_FILE=" QUORVEL_LUPDATE_PROJECT, "-DOUT_FILE=" + project, "-P",
                                            QStringLiteral(LUPDATE_PROJECT_SCRIPT)});
    QVERIFY2(p.waitForFinished(60000) && p.exitCode() == 0, p.readAll().constData());
    p.start(QStringLiteral(LUPDATE), {"-project", project, "-locations", "none", "-ts", copy});
    QVERIFY2(p.waitForFinished(120000) && p.exitCode() == 0, p.readAll().constData());
    const QByteArray said = p.readAll();
    const QByteArray updated = contents(copy);
    if (updated != committed) {
      QStringList changed;
      for (const Message& m : messages(updated))
        if (!m.type.isEmpty()) changed << m.type + ": " + m.source.left(70);
      QFAIL(qPrintable(name + " is not current with the sources; run the target update_translations and translate:\n" +
                       changed.join('\n') + "\n" + QString::fromUtf8(said)));
    }
  }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
