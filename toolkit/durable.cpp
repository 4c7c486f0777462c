#include "toolkit/durable.h"

#include "toolkit/oserror.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

namespace station::durable {

namespace {

std::mutex observerLock;
Observer observer;
thread_local qint64 syncMicros = 0;

void tell(const char* op, const QString& path) {
  Observer o;
  {
    const std::lock_guard<std::mutex> hold(observerLock);
    o = observer;
  }
  if (o) o(op, path);
}

bool fail(QString* error, const QString& what, const QString& path, int errnoValue) {
  if (error) *error = QStringLiteral("%1 \"%2\": %3").arg(what, QDir::toNativeSeparators(path), station::systemReason(errnoValue));
  return false;
}

// A descriptor closed when it goes out of scope, also when an observer throws.
struct Descriptor {
  int fd = -1;
  explicit Descriptor(int f) : fd(f) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  // Closes now; false with errno set when the system reports a late fault.
  bool close() {
    const int f = std::exchange(fd, -1);
    return ::close(f) == 0;
  }
};

QByteArray native(const QString& path) { return QFile::encodeName(path); }

int retryFsync(int fd) {
  int r;
  do r = ::fsync(fd);
  while (r != 0 && errno == EINTR);
  return r;
}

// The fsync of an open descriptor, timed into syncMicros.
bool flush(int fd, qint64* micros) {
  QElapsedTimer clock;
  clock.start();
  const bool ok = retryFsync(fd) == 0;
  *micros += clock.nsecsElapsed() / 1000;
  return ok;
}

bool syncFolderTimed(const QString& path, QString* error, qint64* micros) {
  tell("sync-folder", path);
  Descriptor dir(::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd < 0) return fail(error, QStringLiteral("Не удалось открыть папку"), path, errno);
  if (!flush(dir.fd, micros)) return fail(error, QStringLiteral("Не удалось записать на диск папку"), path, errno);
  return true;
}

QString parentOf(const QString& path) { return QFileInfo(path).absolutePath(); }

}  // namespace


bool syncFile(const QString& path, QString* error) {
  syncMicros = 0;
  tell("sync-file", path);
  Descriptor file(::open(native(path).constData(), O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) return fail(error, QStringLiteral("Не удалось открыть файл"), path, errno);
  if (!flush(file.fd, &syncMicros)) return fail(error, QStringLiteral("Не удалось записать на диск файл"), path, errno);
  return true;
}

bool syncFolder(const QString& path, QString* error) {
  syncMicros = 0;
  return syncFolderTimed(path, error, &syncMicros);
}

bool makeFolder(const QString& path, QString* error) {
  syncMicros = 0;
  if (::mkdir(native(path).constData(), 0777) != 0) {
    const int why = errno;
    if (why != EEXIST) return fail(error, QStringLiteral("Не удалось создать папку"), path, why);
    if (!QFileInfo(path).isDir())
      return fail(error, QStringLiteral("Не удалось создать папку"), path, EEXIST);
  }
  // The new name lasts once the folder holding it is on disk; flushed also
  // when the folder was there already, as a crash may have come between the
  // creation and the flush.
  return syncFolderTimed(parentOf(path), error, &syncMicros);
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
  syncMicros = 0;
  const QString temporary = path + QStringLiteral(".tmp");
  const QByteArray tmp = native(temporary);
  {
    tell("write-temporary", temporary);
    Descriptor file(::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.fd < 0) return fail(error, QStringLiteral("Не удалось создать файл"), temporary, errno);
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
      const ssize_t n = ::write(file.fd, at, size_t(left));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        const int why = n < 0 ? errno : ENOSPC;
        file.close();
        ::unlink(tmp.constData());
        return fail(error, QStringLiteral("Не удалось записать файл"), temporary, why);
      }
      at += n;
      left -= n;
    }
    tell("sync-file", temporary);
    if (!flush(file.fd, &syncMicros) || !file.close()) {
      const int why = errno;
      ::unlink(tmp.constData());
      return fail(error, QStringLiteral("Не удалось записать на диск файл"), temporary, why);
    }
  }
  tell("rename", path);
  if (::rename(tmp.constData(), native(path).constData()) != 0) {
    const int why = errno;
    ::unlink(tmp.constData());
    return fail(error, QStringLiteral("Не удалось заменить файл"), path, why);
  }
  return syncFolderTimed(parentOf(path), error, &syncMicros);
}

qint64 lastSyncMicros() { return syncMicros; }

void setObserver(Observer o) {
  const std::lock_guard<std::mutex> hold(observerLock);
  observer = std::move(o);
}

}  // namespace station::durable
