#include "toolkit/freespace.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "toolkit/russian.h"

namespace station {

QString spaceFolder(const QString& answerFolder, const QString& programFolder) {
  return !answerFolder.isEmpty() && QFileInfo(answerFolder).isDir() ? answerFolder : programFolder;
}

SpaceEstimate estimateSpace(const QString& folder, int answerSeconds) {
  SpaceEstimate e;
  // Whole minutes, rounded up: a 61-second answer takes two.
  const qint64 minutes = (qint64(std::max(answerSeconds, 0)) + 59) / 60;
  e.perParticipant = std::max<qint64>(1, minutes * kEncoderBytesPerMinute);
  QStorageInfo storage(folder);
  storage.refresh();
  if (!storage.isValid() || !storage.isReady()) return e;
  e.freeBytes = storage.bytesAvailable();
  if (e.freeBytes >= 0) e.participants = e.freeBytes / e.perParticipant;
  return e;
}

QString spaceWarning(const SpaceEstimate& e, qint64 needed) {
  if (e.freeBytes < 0 || e.participants >= needed) return {};
  // "хватит на ответы 1 участника / 3 участников", in the genitive.
  const QString room =
      e.participants == 0
          ? QStringLiteral("этого не хватит на ответы ни одного участника")
          : QStringLiteral("этого хватит на ответы %1 %2")
                .arg(e.participants)
                .arg(russian::plural(e.participants, QStringLiteral("участника"), QStringLiteral("участников"),
                                     QStringLiteral("участников")));
  return QStringLiteral("Мало свободного места на диске для записи ответов.\n"
                        "Свободно: %1 МБ, %2 (один участник занимает около %3 МБ).\n"
                        "Освободите место на диске или пригласите технического специалиста.")
      .arg(russian::decimal(double(e.freeBytes) / 1'000'000.0, 1), room,
           russian::decimal(double(e.perParticipant) / 1'000'000.0, 1));
}

}  // namespace station
