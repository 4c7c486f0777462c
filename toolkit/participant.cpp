#include "toolkit/participant.h"

#include <QFileInfo>
#include <QStringList>

#include "toolkit/errors.h"
#include "toolkit/names.h"

namespace station {

int digitValue(QChar c) {
  // Only the ASCII digits: other scripts' digits are not part of a code.
  if (c < QLatin1Char('0') || c > QLatin1Char('9')) throw ConvertError(QString(c));
  return c.unicode() - '0';
}

int ean13CheckDigit(const QString& code) {
  if (code.size() < 12) throw ConvertError(code);
  int s1 = 0;  // positions 1, 3, .., 11
  int s3 = 0;  // positions 2, 4, .., 12
  for (int i = 0; i < 12; ++i) {
    const int d = digitValue(code.at(i));
    if (i % 2 == 0) s1 += d;
    else s3 += d;
  }
  const int c = 10 - (3 * s3 + s1) % 10;
  return c == 10 ? 0 : c;
}

}  // namespace station

QString FormatParticipantCode(const QString& code) {
  const QChar dash = QLatin1Char('-');
  return code.mid(0, 3) + dash + code.mid(3, 3) + dash + code.mid(6, 3) + dash + code.mid(9, 2) +
         dash + code.mid(11, 2);
}

namespace station {

int answersOnDisk(const QString& stationDir, const QString& answerKey, const QString& code) {
  QStringList suffixes{names::codeSuffix(), names::taskSuffix(1), names::taskSuffix(3)};
  for (int n = 1; n <= 5; ++n) suffixes.append(names::questionSuffix(n));
  int count = 0;
  for (const QString& suffix : suffixes) {
    const QFileInfo file(names::answerFile(stationDir, answerKey, code, suffix));
    if (file.isFile() && file.size() > 0) ++count;
  }
  return count;
}

QString interruptedExamNote(int answersOnDisk) {
  if (answersOnDisk >= kAnswerFiles) return {};
  // "из 8 ответов" whatever the count; no count to agree with for none.
  const QString onDisk = answersOnDisk <= 0
                             ? QStringLiteral("на диске нет ни одного из %1 ответов").arg(kAnswerFiles)
                             : QStringLiteral("на диске есть %1 из %2 ответов").arg(answersOnDisk).arg(kAnswerFiles);
  return QStringLiteral("Экзамен этого участника был прерван: %1. Пригласите организатора в аудитории.")
      .arg(onDisk);
}

}  // namespace station
