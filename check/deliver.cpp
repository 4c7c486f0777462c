#include "check/deliver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <cstdio>

#include "check/files.h"
#include "check/seal.h"

namespace check::answers::deliver {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

void print(FILE* to, const QString& line) {
  std::fputs((files::terminalSafe(line) + QLatin1Char('\n')).toUtf8().constData(), to);
  std::fflush(to);
}

bool save(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  print(stderr, Text::tr("quorvel-check: cannot write the report %1: %2").arg(path, file.errorString()));
  return false;
}

}  // namespace

bool prepare(Options* options) {
  if (options->seal.isEmpty() != options->out.isEmpty()) {
    print(stderr, Text::tr("quorvel-check: --seal and --out go together"));
    return false;
  }
  if (options->seal.isEmpty()) return true;
  const QString why = seal::refuse(options->seal);
  if (!why.isEmpty()) {
    print(stderr, Text::tr("quorvel-check: cannot seal: %1").arg(why));
    return false;
  }
  if (options->report.isEmpty()) options->report = QDir(options->out).filePath(QStringLiteral("answers-report.html"));
  return true;
}

bool write(const Options& options, const QList<Station>& stations, const QStringList& problems) {
  const QDateTime made = QDateTime::currentDateTime();
  bool written = true;
  Archives archives;
  if (!options.seal.isEmpty()) {
    QString listError;
    archives = seal::sealAll(stations, options.seal, options.out, made, &listError);
    for (const auto& [key, a] : archives) {
      if (!a.error.isEmpty()) print(stderr, Text::tr("quorvel-check: %1 not sealed: %2").arg(a.name, a.error)), written = false;
      else print(stdout, QStringLiteral("%1  %2  %3").arg(a.name).arg(a.size).arg(QString::fromLatin1(a.sha256)));
      for (const QString& note : a.notes) print(stderr, QStringLiteral("  ") + note);
    }
    if (!listError.isEmpty()) print(stderr, QStringLiteral("quorvel-check: ") + listError), written = false;
  }
  if (!options.report.isEmpty())
    written = save(options.report, reportHtml(stations, problems, made, archives).toUtf8()) &&
              save(csvBeside(options.report), reportCsv(stations)) && written;
  return written;
}

}  // namespace check::answers::deliver
