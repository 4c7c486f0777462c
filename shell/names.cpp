#include "shell/names.h"

#include <QFile>
#include <QStringDecoder>

#include "shell/deliverable.h"
#include "shell/errors.h"

namespace station::names {

QString subjectFile() { return QStringLiteral("KIM/subj"); }
QString testTextFile() { return QStringLiteral("KIM/TestRTF.rtf"); }
QString instructionFile() { return QStringLiteral("KIM/I.rtf"); }
QString testRecordingFile() { return QStringLiteral("test.ogg"); }

namespace {
// Folder of one participant's task materials.
QString variantFolder([[maybe_unused]] const QString& kimVariant) {
  if constexpr (kFlat) return QStringLiteral("KIM/");
  else return QStringLiteral("KIM/") + kimVariant + QLatin1Char('/');
}
}  // namespace

QString preparationFile(const QString& kimVariant, int k) {
  return variantFolder(kimVariant) + QStringLiteral("P%1.rtf").arg(k);
}

QString taskFile(const QString& kimVariant, int k) {
  return variantFolder(kimVariant) + QStringLiteral("T%1.rtf").arg(k);
}

QString questionFile(const QString& kimVariant, int n) {
  if constexpr (kFlat) return variantFolder(kimVariant) + QStringLiteral("Task2_%1.rtf").arg(n);
  else return variantFolder(kimVariant) + QStringLiteral("T2_%1.rtf").arg(n);
}

QString codeSuffix() { return QStringLiteral("_00.ogg"); }
QString taskSuffix(int k) { return QStringLiteral("_0%1.ogg").arg(k); }
QString questionSuffix(int n) { return QStringLiteral("_02_%1.ogg").arg(n); }

QString answerFolder(const QString& stationDir, const QString& answerKey) {
  return stationDir + QStringLiteral("Answer_") + answerKey;
}

QString participantFolder(const QString& stationDir, const QString& answerKey,
                          const QString& participantCode) {
  return answerFolder(stationDir, answerKey) + QLatin1Char('/') + participantCode;
}

QString answerFile(const QString& stationDir, const QString& answerKey,
                   const QString& participantCode, const QString& suffix) {
  return participantFolder(stationDir, answerKey, participantCode) + QLatin1Char('/') +
         participantCode + suffix;
}

QString fourDigit(const QString& typed) {
  return QString::number(toInt(typed) + 10000).mid(1, 4);
}

QString answerKey(const QString& subjLine3, const QString& subjLine2, const QString& stationCode,
                  const QString& audCode, const QString& compCode) {
  const QString sep = QStringLiteral("_");
  return subjLine3 + sep + subjLine2 + sep + fourDigit(stationCode) + sep + fourDigit(audCode) +
         sep + compCode;
}

QString unsafeNamePart(const QString& line) {
  if (line.contains(QLatin1Char('/')) || line.contains(QLatin1Char('\\')))
    return QStringLiteral("строка содержит разделитель пути");
  if (line.contains(QStringLiteral("..")))
    return QStringLiteral("строка содержит \"..\"");
  for (QChar c : line) {
    if (c.unicode() < 0x20 || QStringLiteral("<>:\"|?*").contains(c) || c.unicode() == 0x7f)
      return QStringLiteral("строка содержит недопустимый в имени папки символ");
  }
  // Leaves room for the rest of the name within the 255 bytes a folder name may have.
  if (line.toUtf8().size() > 100) return QStringLiteral("строка слишком длинная");
  return {};
}

Subject readSubjectFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw InOutError(QStringLiteral("Не удалось открыть файл \"%1\". %2").arg(path, file.errorString()));
  QStringDecoder decode("windows-1251");
  QString lines[3];
  for (auto& line : lines) {
    if (file.atEnd()) break;
    // A damaged file may have no line breaks at all: read at most 64 KiB a line.
    QByteArray bytes = file.readLine(64 * 1024);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
      throw InOutError(QStringLiteral("Не удалось прочитать файл \"%1\". %2").arg(path, file.errorString()));
    while (bytes.endsWith('\n') || bytes.endsWith('\r')) bytes.chop(1);
    line = decode(bytes);
  }
  return {lines[0], lines[1], lines[2]};
}

}  // namespace station::names
