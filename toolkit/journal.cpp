#include "toolkit/journal.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QStringList>
#include <deque>
#include <mutex>

#include "toolkit/dialogs.h"
#include "toolkit/oserror.h"

namespace station::journal {

namespace {

struct Line {
  QByteArray bytes;  // with its line break
  bool sync = false;
};

struct State {
  std::recursive_mutex mutex;
  QString path;  // the file wanted; empty while lines are held
  int fd = -1;
  std::deque<Line> pending;  // held before open, or not written yet
  qint64 dropped = 0;        // lines past kBacklogLimit, not kept
  bool told = false;         // the box about an unwritable journal was posted
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

void closeFile(State& s) {
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
}

// 0, or the errno of the failure. The file is opened anew at every try
// while it cannot be: a storage that comes back is used again.
int openFile(State& s) {
  if (s.fd >= 0) return 0;
  s.fd = ::open(QFile::encodeName(s.path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  return s.fd >= 0 ? 0 : errno;
}

// One line in one write. A short write is undone (the file cut back to its
// length before the line), so no half line stays. 0, or the errno.
int writeWhole(State& s, const Line& line) {
  struct stat st {};
  if (::fstat(s.fd, &st) != 0) return errno;
  const off_t before = st.st_size;
  ssize_t n;
  do n = ::write(s.fd, line.bytes.constData(), size_t(line.bytes.size()));
  while (n < 0 && errno == EINTR);
  if (n == line.bytes.size()) {
    if (line.sync) ::fdatasync(s.fd);
    return 0;
  }
  const int err = n < 0 ? errno : ENOSPC;
  if (n > 0 && ::ftruncate(s.fd, before) != 0) {
    // Cannot be cut back: the half line at least ends here, so the lines
    // after it stay lines of their own.
    [[maybe_unused]] auto w = ::write(s.fd, "\n", 1);
  }
  return err;
}

void tellOnce(State& s, int err) {
  if (s.told) return;
  s.told = true;
  const QString text = QStringLiteral("Не удаётся записать журнал станции \"%1\": %2.\n"
                                      "Станция продолжает работу. Строки журнала хранятся в памяти "
                                      "и будут дописаны в журнал, как только запись снова станет "
                                      "возможной.\nПригласите технического специалиста.")
                           .arg(QDir::toNativeSeparators(s.path), systemReason(err));
  // Never from inside write(): the box runs an event loop of its own, and
  // write() is called from everywhere.
  if (QCoreApplication* app = QCoreApplication::instance())
    QMetaObject::invokeMethod(app, [text] { dialogs::showStopBox(text); }, Qt::QueuedConnection);
}

void keep(State& s, Line line) {
  if (int(s.pending.size()) < kBacklogLimit) s.pending.push_back(std::move(line));
  else ++s.dropped;
}

// Writes what waits, in order; stops at the first line that cannot be
// written. 0, or the errno of the failure.
int drain(State& s) {
  if (s.path.isEmpty()) return 0;
  if (int err = openFile(s)) return err;
  while (!s.pending.empty()) {
    if (int err = writeWhole(s, s.pending.front())) return err;
    s.pending.pop_front();
  }
  if (s.dropped > 0) {
    const Line note{(formatLine(QDateTime::currentDateTime(), {}, -1, QStringLiteral("journal-lost"),
                                QStringLiteral("%1 lines could not be kept while the journal could not "
                                               "be written")
                                    .arg(s.dropped)) +
                     QLatin1Char('\n'))
                        .toUtf8(),
                    true};
    if (int err = writeWhole(s, note)) return err;
    s.dropped = 0;
  }
  return 0;
}

void put(const QString& line, bool sync) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  keep(s, Line{(line + QLatin1Char('\n')).toUtf8(), sync});
  if (s.path.isEmpty()) return;
  if (int err = drain(s)) {
    // A file that went bad (its storage gone) is opened anew next time.
    if (err == EIO || err == EBADF || err == ENODEV) closeFile(s);
    tellOnce(s, err);
  }
}

}  // namespace

bool syncedEvent(const QString& event) {
  static const QStringList synced{QStringLiteral("participant-accepted"), QStringLiteral("recording-stop"),
                                  QStringLiteral("recording-checked"),    QStringLiteral("error-box"),
                                  QStringLiteral("station-end"),          QStringLiteral("station-restart")};
  return synced.contains(event);
}

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
  std::lock_guard lock(s.mutex);
  if (s.path == path && !path.isEmpty()) return;
  closeFile(s);
  s.path = path;
  s.told = false;
  if (path.isEmpty()) return;
  if (int err = drain(s)) tellOnce(s, err);
}

QString path() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  return s.path;
}

int backlog() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  return int(s.pending.size());
}

void setParticipant(const QString& code) { state().participant = code; }
void setStage(int code) { state().stage = code; }
int stage() { return state().stage; }

void write(const QString& event, const QString& details, int stageCode) {
  const State& s = state();
  put(formatLine(QDateTime::currentDateTime(), s.participant, stageCode >= 0 ? stageCode : s.stage, event,
                 details),
      syncedEvent(event));
}

void writeFor(const QString& participant, const QString& event, const QString& details) {
  put(formatLine(QDateTime::currentDateTime(), participant, state().stage, event, details), syncedEvent(event));
}

}  // namespace station::journal
