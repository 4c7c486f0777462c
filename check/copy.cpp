#include "check/copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <cerrno>
#include <map>
#include <utility>

#include "check/files.h"
#include "toolkit/manifest.h"

namespace check::copy {

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// Room kept free beyond the files themselves: folders, file system overhead.
constexpr qint64 kSpare = 4 * 1024 * 1024;
constexpr qint64 kBlock = 1024 * 1024;

struct Failed {
  int error;
  QString where;
};

QByteArray path8(const QString& p) { return QFile::encodeName(p); }

// A file of a station to copy, relative to its station folder.
struct Item {
  QString relative;
  qint64 size = 0;
  bool folder = false;
};

// The answer folder's entries (regular files and folders; links are not
// answers and are left behind), then the journal and the manifest.
QList<Item> itemsOf(const scan::Place& place) {
  QList<Item> out;
  const QString root = QStringLiteral("Answer_") + place.key;
  QList<QString> pending{root};
  while (!pending.isEmpty()) {
    const QString dir = pending.takeFirst();
    out.append({dir, 0, true});
    QStringList names;
    int error = 0;
    if (!files::list(place.programDir + dir, &names, &error)) throw Failed{error, place.programDir + dir};
    for (const QString& name : names) {
      struct stat st {};
      const QString rel = dir + QLatin1Char('/') + name;
      if (::lstat(path8(place.programDir + rel).constData(), &st) != 0) throw Failed{errno, place.programDir + rel};
      if (S_ISDIR(st.st_mode)) pending.append(rel);
      else if (S_ISREG(st.st_mode)) out.append({rel, qint64(st.st_size), false});
    }
  }
  for (const QString& ext : {QStringLiteral(".log"), QStringLiteral(".sha256")}) {
    struct stat st {};
    if (::stat(path8(place.programDir + root + ext).constData(), &st) == 0 && S_ISREG(st.st_mode))
      out.append({root + ext, qint64(st.st_size), false});
  }
  return out;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

void syncFolder(const QString& dir) {
  Fd fd(::open(path8(dir).constData(), O_RDONLY | O_DIRECTORY));
  if (fd.get() < 0 || ::fsync(fd.get()) != 0) throw Failed{errno, dir};
}

// Reads fd to its end in blocks, each handed to each as it comes; the
// SHA-256 of what was read. name is the file's, for a failure.
template <class Each>
QByteArray readHashing(int fd, const QString& name, Each each) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  QByteArray block(kBlock, Qt::Uninitialized);
  for (;;) {
    const ssize_t got = ::read(fd, block.data(), std::size_t(block.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw Failed{errno, name};
    if (got == 0) break;
    hash.addData(QByteArrayView(block.constData(), got));
    each(block.constData(), got);
  }
  return hash.result().toHex();
}

// Copies one file, flushed to the device; the SHA-256 of what was read.
QByteArray copyFile(const QString& from, const QString& to, qint64* done, qint64 total, const Progress& progress) {
  Fd in(::open(path8(from).constData(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) throw Failed{errno, from};
  Fd out(::open(path8(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (out.get() < 0) throw Failed{errno, to};
  const QByteArray digest = readHashing(in.get(), from, [&](const char* data, ssize_t got) {
    for (ssize_t at = 0; at < got;) {
      const ssize_t put = ::write(out.get(), data + at, std::size_t(got - at));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) throw Failed{errno, to};
      at += put;
    }
    *done += got;
    if (progress) progress(*done, total);
  });
  struct stat st {};
  if (::fstat(in.get(), &st) == 0) {
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out.get(), times);
  }
  if (::fdatasync(out.get()) != 0) throw Failed{errno, to};
  const int fd = out.release();
  if (::close(fd) != 0) throw Failed{errno, to};
  return digest;
}

// The SHA-256 of a file as the device holds it: its pages in the cache
// dropped first (they are clean once flushed), so the bytes are read anew.
QByteArray readBack(const QString& file) {
  Fd fd(::open(path8(file).constData(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw Failed{errno, file};
  ::fdatasync(fd.get());
  ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_DONTNEED);
  return readHashing(fd.get(), file, [](const char*, ssize_t) {});
}

void removeTree(const QString& dir) { QDir(dir).removeRecursively(); }

// The SHA-256 of every file of a station, as the station holds it.
std::map<QString, QByteArray> digestsAt(const QString& base, const QList<Item>& items) {
  std::map<QString, QByteArray> out;
  for (const Item& i : items)
    if (!i.folder) out[i.relative] = files::hash(base + i.relative).sha256;
  return out;
}

// Whether folder holds exactly items with these digests, read back from the device.
bool sameCopy(const QString& folder, const QList<Item>& items, const std::map<QString, QByteArray>& digests) {
  for (const Item& i : items) {
    if (i.folder) continue;
    struct stat st {};
    if (::lstat(path8(folder + i.relative).constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != i.size) return false;
    if (readBack(folder + i.relative) != digests.at(i.relative)) return false;
  }
  return true;
}

QString megabytes(qint64 bytes) {
  return Text::tr("%1 MB").arg(QLocale().toString(double(bytes) / 1e6, 'f', 1));
}

QString sentence(int error, qint64 needed, qint64 free) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return Text::tr("There is not enough room on the stick: %1 needed, %2 free. Nothing is left half-copied; "
                      "free some room or take another stick.")
          .arg(megabytes(needed), megabytes(free));
    case EROFS:
    case EACCES:
    case EPERM:
      return Text::tr("The stick cannot be written (it is read-only or write-protected). Nothing was copied.");
    case EIO:
    case ENODEV:
    case ENXIO:
    case ENOENT:
    case ENOTDIR:
      return Text::tr("The stick went away or failed during the copy: the copy is not complete. "
                      "Insert it again and copy once more.");
    default:
      return Text::tr("The copy failed: %1.").arg(files::reason(error));
  }
}

}  // namespace

Result copyStations(const QList<scan::Place>& places, const QString& destination, const Progress& progress) {
  Result result;
  const QString to = destination.endsWith(QLatin1Char('/')) ? destination : destination + QLatin1Char('/');
  qint64 total = 0, done = 0, free = -1;
  QString partial;  // the copy being made, removed again when it fails
  try {
    QList<std::pair<const scan::Place*, QList<Item>>> plan;
    for (const scan::Place& place : places) {
      if (!place.hasFolder) continue;
      plan.append({&place, itemsOf(place)});
      for (const Item& i : plan.last().second) total += i.size;
    }
    struct statvfs fs {};
    if (::statvfs(path8(to).constData(), &fs) != 0) throw Failed{errno, to};
    free = qint64(fs.f_bavail) * qint64(fs.f_frsize);
    if (fs.f_flag & ST_RDONLY) throw Failed{EROFS, to};
    if (::access(path8(to).constData(), W_OK) != 0) throw Failed{errno, to};
    if (free < total + kSpare) throw Failed{ENOSPC, to};

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    for (const auto& [place, items] : plan) {
      Copied c;
      c.key = place->key;
      const std::map<QString, QByteArray> source = digestsAt(place->programDir, items);
      QString folder = to + place->key + QLatin1Char('/');
      if (QFileInfo::exists(folder)) {
        c.earlier = sameCopy(folder, items, source);
        if (!c.earlier) folder = to + place->key + QLatin1Char('_') + stamp + QLatin1Char('/');
      }
      if (!c.earlier) {
        partial = to + QLatin1Char('.') + QFileInfo(folder.chopped(1)).fileName() + QStringLiteral(".partial/");
        removeTree(partial);
        if (::mkdir(path8(partial).constData(), 0755) != 0) throw Failed{errno, partial};
        for (const Item& i : items) {
          if (i.folder) {
            if (::mkdir(path8(partial + i.relative).constData(), 0755) != 0) throw Failed{errno, partial + i.relative};
          } else if (copyFile(place->programDir + i.relative, partial + i.relative, &done, total, progress) !=
                     source.at(i.relative)) {
            // The station's file changed while it was copied: copied anew next time.
            throw Failed{EAGAIN, place->programDir + i.relative};
          }
        }
        for (const Item& i : items)
          if (i.folder) syncFolder(partial + i.relative);
        syncFolder(partial);
        for (const Item& i : items)
          if (!i.folder && readBack(partial + i.relative) != source.at(i.relative)) throw Failed{EIO, partial + i.relative};
        if (::rename(path8(partial.chopped(1)).constData(), path8(folder.chopped(1)).constData()) != 0)
          throw Failed{errno, folder};
        syncFolder(to);
        partial.clear();
      } else {
        for (const Item& i : items) done += i.size;
        if (progress) progress(done, total);
      }
      // Each answer against the station's manifest, as it now reads on the stick.
      const QString manifest = folder + QStringLiteral("Answer_") + place->key + QStringLiteral(".sha256");
      for (const auto& e : station::manifest::read(manifest, place->key))
        if (source.count(e.path) && source.at(e.path) != e.hex) c.unlike.append(e.path);
      c.folder = folder;
      for (const Item& i : items) c.files += !i.folder, c.bytes += i.size;
      result.stations.append(c);
    }
  } catch (const Failed& f) {
    // What was copied of a station that failed is not a copy: gone again
    // where the stick still takes it, hidden under its .partial name where not.
    if (!partial.isEmpty()) removeTree(partial);
    result.error = f.error;
    result.failure = sentence(f.error, total + kSpare, free);
  }
  return result;
}

QString summary(const Result& result) {
  if (!result.ok()) return result.failure;
  int files = 0;
  qint64 bytes = 0;
  for (const Copied& c : result.stations) files += c.files, bytes += c.bytes;
  QString text = Text::tr("Copied and read back from the stick: %n station(s)", nullptr, int(result.stations.size())) +
                 Text::tr(", %n file(s)", nullptr, files) + QStringLiteral(", ") + megabytes(bytes) +
                 Text::tr("; every file reads back as it was on the station.");
  int unlike = 0;
  for (const Copied& c : result.stations) unlike += int(c.unlike.size());
  if (unlike) text += Text::tr(" %n answer(s) already differed from the manifest on the station.", nullptr, unlike);
  return text;
}

}  // namespace check::copy
