#include "check/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace check::files {

namespace {
struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};
}  // namespace

QString terminalSafe(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
    const bool reorders = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e ||
                          u == 0x200f || u == 0x061c;
    if (control) out += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
    else if (reorders) out += QStringLiteral("\\u{%1}").arg(unsigned(u), 4, 16, QLatin1Char('0'));
    else out += c;
  }
  return out;
}

QString reason(int errnum) {
  switch (errnum) {
    case EACCES:
    case EPERM: return Text::tr("permission denied");
    case ENOENT: return Text::tr("no such file or folder");
    case ENOTDIR: return Text::tr("not a folder");
    case EIO: return Text::tr("input/output error");
    case ELOOP: return Text::tr("too many levels of symbolic links");
    case EISDIR: return Text::tr("a folder, not a file");
    default: return QString::fromLocal8Bit(std::strerror(errnum));
  }
}

bool list(const QString& dir, QStringList* names, int* error) {
  names->clear();
  DIR* d = ::opendir(QFile::encodeName(dir).constData());
  if (!d) {
    *error = errno;
    return false;
  }
  errno = 0;
  while (const dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names->append(QFile::decodeName(e->d_name));
    errno = 0;
  }
  const int failed = errno;
  ::closedir(d);
  names->sort();
  if (failed) {
    *error = failed;
    return false;
  }
  return true;
}

bool readable(const QString& file, int* error) {
  const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return false;
  }
  ::close(fd);
  return true;
}

Hashed hash(const QString& file) {
  Hashed out;
  const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    out.error = errno;
    return out;
  }
  QCryptographicHash sha(QCryptographicHash::Sha256);
  static thread_local QByteArray block(256 * 1024, Qt::Uninitialized);
  bool first = true;
  for (;;) {
    const ssize_t got = ::read(fd, block.data(), size_t(block.size()));
    if (got < 0) {
      if (errno == EINTR) continue;
      out.error = errno;
      break;
    }
    if (got == 0) break;
    if (first) {
      // An Ogg page ("OggS") whose first packet is a Vorbis identification
      // header ("\x01vorbis" after the 27-byte page header and one lacing byte).
      out.oggVorbis = got >= 35 && std::memcmp(block.constData(), "OggS", 4) == 0 &&
                      std::memcmp(block.constData() + 28, "\x01vorbis", 7) == 0;
      first = false;
    }
    sha.addData(QByteArrayView(block.constData(), got));
  }
  ::close(fd);
  if (!out.error) out.sha256 = sha.result().toHex();
  return out;
}

Decoded decode(const QString& file) {
  Decoded out;
  FILE* f = std::fopen(QFile::encodeName(file).constData(), "rbe");
  if (!f) return out;
  OggVorbis_File vf;
  // ov_open takes the FILE and closes it with ov_clear; on failure it is ours.
  const int opened = ov_open(f, &vf, nullptr, 0);
  if (opened < 0) {
    std::fclose(f);
    out.fault = opened == OV_ENOTVORBIS || opened == OV_ENOTAUDIO ? Decoded::NotVorbis : Decoded::Unreadable;
    return out;
  }
  const vorbis_info* info = ov_info(&vf, -1);
  const long rate = info && info->rate > 0 ? info->rate : 0;
  // Where the stream's own positions run ahead of what decoded, pages were
  // lost inside it: a tenth of a second is more than any encoder's padding.
  const qint64 slack = rate / 10;
  qint64 frames = 0;
  out.fault = Decoded::Ok;
  auto damaged = [&](Decoded::Fault fault) {
    if (out.fault == Decoded::Ok) out.fault = fault, out.faultAt = rate ? double(frames) / rate : 0;
  };
  int section = 0;
  for (;;) {
    float** pcm = nullptr;
    const long got = ov_read_float(&vf, &pcm, 4096, &section);
    if (got == 0) break;
    if (got == OV_HOLE) {
      damaged(Decoded::DamagedInside);  // decoding goes on after the hole
      continue;
    }
    if (got < 0) {
      damaged(Decoded::StopsEarly);
      break;
    }
    frames += got;
    if (ov_pcm_tell(&vf) > frames + slack) damaged(Decoded::DamagedInside);
  }
  const ogg_int64_t total = ov_seekable(&vf) ? ov_pcm_total(&vf, -1) : -1;
  if (total > frames + slack) damaged(Decoded::DamagedInside);
  ov_clear(&vf);
  if (!rate) out.fault = Decoded::Unreadable;
  else out.seconds = double(frames) / rate;
  if (out.fault == Decoded::Ok && frames == 0) out.fault = Decoded::Unreadable;
  return out;
}

}  // namespace check::files
