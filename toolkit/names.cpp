#include "toolkit/names.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "toolkit/deliverable.h"
#include "toolkit/errors.h"

namespace station::names {

QString subjectFile() { return QStringLiteral("KIM/subj"); }
QString testTextFile() { return QStringLiteral("KIM/TestRTF.rtf"); }
QString instructionFile() { return QStringLiteral("KIM/I.rtf"); }
QString testRecordingFile() { return QStringLiteral("test.ogg"); }

namespace {
// Folder of one participant's task materials.
QString variantFolder(Layout layout, const QString& kimVariant) {
  if (layout == Layout::Flat) return QStringLiteral("KIM/");
  return QStringLiteral("KIM/") + kimVariant + QLatin1Char('/');
}
}  // namespace

QString preparationFile(Layout layout, const QString& kimVariant, int k) {
  return variantFolder(layout, kimVariant) + QStringLiteral("P%1.rtf").arg(k);
}

QString taskFile(Layout layout, const QString& kimVariant, int k) {
  return variantFolder(layout, kimVariant) + QStringLiteral("T%1.rtf").arg(k);
}

QString questionFile(Layout layout, const QString& kimVariant, int n) {
  if (layout == Layout::Flat) return variantFolder(layout, kimVariant) + QStringLiteral("Task2_%1.rtf").arg(n);
  return variantFolder(layout, kimVariant) + QStringLiteral("T2_%1.rtf").arg(n);
}

QString preparationFile(const QString& kimVariant, int k) { return preparationFile(deliverable().kimLayout, kimVariant, k); }
QString taskFile(const QString& kimVariant, int k) { return taskFile(deliverable().kimLayout, kimVariant, k); }
QString questionFile(const QString& kimVariant, int n) { return questionFile(deliverable().kimLayout, kimVariant, n); }

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

namespace {

// UTF-8 when it says so with a byte-order mark, or when it is valid UTF-8
// and holds non-ASCII text (plain ASCII reads the same either way);
// Windows-1251, the station's 8-bit code page, otherwise.
QString decodeSubject(QByteArrayView bytes) {
  static constexpr char bom[] = "\xEF\xBB\xBF";
  if (bytes.startsWith(bom)) return QString::fromUtf8(bytes.sliced(3));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString asUtf8 = utf8(bytes);
  if (!utf8.hasError()) return asUtf8;
  QStringDecoder cp1251("windows-1251");
  return cp1251(bytes);
}

}  // namespace

Subject readSubjectFile(const QString& path) {
  // A named pipe or a device in the file's place would block the reading.
  const QFileInfo info(path);
  if (info.exists() && !info.isFile() && !info.isDir())
    throw InOutError(QStringLiteral("Не удалось открыть файл \"%1\". Это не обычный файл").arg(path));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw InOutError(QStringLiteral("Не удалось открыть файл \"%1\". %2").arg(path, file.errorString()));
  // Enough for three lines of the longest length; anything after them is
  // not read at all (a damaged file may be huge or have no line breaks).
  const qint64 window = 3 * (kSubjectLineLimit + 2) + 3;
  const QByteArray head = file.read(window);
  if (file.error() != QFileDevice::NoError)
    throw InOutError(QStringLiteral("Не удалось прочитать файл \"%1\". %2").arg(path, file.errorString()));

  QByteArrayView rest(head);
  QList<QByteArrayView> lines;
  for (int n = 1; n <= 3 && !rest.isEmpty(); ++n) {
    const qsizetype lf = rest.indexOf('\n');
    QByteArrayView line = lf < 0 ? rest : rest.first(lf);
    rest = lf < 0 ? QByteArrayView() : rest.sliced(lf + 1);
    if (n == 1 && line.startsWith("\xEF\xBB\xBF")) line = line.sliced(3);
    while (line.endsWith('\r')) line.chop(1);
    // A line that has not ended within the window is longer than the limit too.
    const bool unfinished = lf < 0 && head.size() == window;
    if (line.size() > kSubjectLineLimit || unfinished)
      throw InOutError(QStringLiteral("Строка %1 файла \"%2\" длиннее %3 байт: такая строка не "
                                      "принимается.\nИсправьте файл и завершите проверку оборудования ещё раз.")
                           .arg(n)
                           .arg(path)
                           .arg(kSubjectLineLimit));
    lines << line;
  }
  // The code page is decided once for the lines that are used.
  QByteArray used;
  for (const QByteArrayView l : lines) {
    used += l;
    used += '\n';
  }
  if (head.startsWith("\xEF\xBB\xBF")) used.prepend("\xEF\xBB\xBF");
  const QStringList text = decodeSubject(used).split(QLatin1Char('\n'));
  Subject s;
  QString* out[3] = {&s.line1, &s.line2, &s.line3};
  for (qsizetype i = 0; i < lines.size(); ++i) *out[i] = text.value(i);
  return s;
}

}  // namespace station::names
