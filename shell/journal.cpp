#include "shell/journal.h"

#include <QFile>
#include <QStringList>
#include <memory>

namespace station::journal {

namespace {

// Lines written before the file is known are held, up to this many (a
// station stuck before its check cannot grow without bound).
constexpr int kHeldLimit = 2000;

struct State {
  std::unique_ptr<QFile> file;
  QStringList held;
  QString participant;
  int stage = -1;
};

State& state() {
  static State s;
  return s;
}

QString clean(QString field) {
  field.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
  field.replace(QLatin1Char('\n'), QStringLiteral(" | "));
  field.replace(QLatin1Char('\r'), QStringLiteral(" | "));
  field.replace(QLatin1Char('\t'), QLatin1Char(' '));
  return field;
}

void put(const QString& line) {
  State& s = state();
  if (!s.file) {
    if (s.held.size() < kHeldLimit) s.held.append(line);
    return;
  }
  // One write per line, straight to the system (the file is unbuffered).
  s.file->write((line + QLatin1Char('\n')).toUtf8());
}

}  // namespace

QString formatLine(const QDateTime& time, const QString& participant, int stageCode, const QString& event,
                   const QString& details) {
  const QDateTime local = time.toOffsetFromUtc(time.offsetFromUtc());
  return QStringList{local.toString(Qt::ISODateWithMs),
                     participant.isEmpty() ? QStringLiteral("-") : clean(participant),
                     stageCode < 0 ? QStringLiteral("-") : QString::number(stageCode), clean(event),
                     clean(details)}
      .join(QLatin1Char('\t'));
}

void open(const QString& path) {
  State& s = state();
  if (s.file && s.file->fileName() == path) return;
  s.file.reset();
  if (path.isEmpty()) return;
  auto file = std::make_unique<QFile>(path);
  if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
  s.file = std::move(file);
  const QStringList held = std::exchange(s.held, {});
  for (const QString& line : held) put(line);
}

QString path() { return state().file ? state().file->fileName() : QString(); }

void setParticipant(const QString& code) { state().participant = code; }
void setStage(int code) { state().stage = code; }
int stage() { return state().stage; }

void write(const QString& event, const QString& details, int stageCode) {
  const State& s = state();
  put(formatLine(QDateTime::currentDateTime(), s.participant, stageCode >= 0 ? stageCode : s.stage, event,
                 details));
}

}  // namespace station::journal
