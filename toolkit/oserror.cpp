#include "toolkit/oserror.h"

#include <errno.h>
#include <string.h>

namespace station {

QString systemReason(int errnum) {
  switch (errnum) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return QStringLiteral("на диске нет места");
    case EROFS: return QStringLiteral("файловая система доступна только для чтения");
    case EACCES:
    case EPERM: return QStringLiteral("нет прав на запись");
    case ENOENT: return QStringLiteral("папка или файл не найдены");
    case EIO: return QStringLiteral("ошибка ввода-вывода на диске");
    case EEXIST: return QStringLiteral("на этом месте уже есть файл с таким именем");
    case ENOTDIR: return QStringLiteral("в пути к папке стоит файл, а не папка");
    case 0: return QStringLiteral("причина неизвестна");
    default: break;
  }
  char buf[256];
  // GNU strerror_r returns the text (maybe not in buf); keep the number too.
  const char* text = strerror_r(errnum, buf, sizeof buf);
  return QStringLiteral("%1 (код %2)").arg(QString::fromLocal8Bit(text)).arg(errnum);
}

}  // namespace station
