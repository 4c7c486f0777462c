// The cause of a failed system call as an organiser reads it: plain Russian
// for the failures a station meets at an exam (a full disk, a storage that
// turned read-only, missing rights), the system's own text for the rest.
#pragma once

#include <QString>

namespace station {

// errnum: an errno value. "на диске нет места", "файловая система доступна
// только для чтения", "нет прав на запись", ...; never empty.
QString systemReason(int errnum);

}  // namespace station
