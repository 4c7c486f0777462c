// The system services the staff screen uses, over the system D-Bus: the
// removable drives UDisks2 sees (listed, mounted, unmounted, powered off)
// and logind's power off and restart. Both are what a desktop uses, and
// their default rules let the active local session do each of these.
#pragma once

#include <QString>
#include <QList>

namespace staff {

// A file system on a removable drive (a USB stick), or on a loop device (a
// disk image attached on purpose), or such a drive that holds none.
struct Stick {
  QString block;        // UDisks2 object path of the block device
  QString drive;        // ... of its drive ("/" for none, as for a loop device)
  QString device;       // /dev/sdb1
  QString label;        // the file system's label
  QString type;         // "vfat", "exfat", "ext4", ... empty when unformatted
  qint64 size = 0;
  QString mountPoint;   // empty while not mounted
  bool readOnly = false;
  bool canPowerOff = false;
  bool usable() const { return !type.isEmpty(); }
  // "STICK, 7.8 ГБ (/dev/sdb1)"
  QString title() const;
};

// What UDisks2 sees now; error says why when it cannot be asked.
QList<Stick> sticks(QString* error);
// Mounts stick where the system puts sticks (/media/<user>/<label>); the
// mount point, or empty with the reason in error.
QString mount(const Stick& stick, QString* error);
bool unmount(const Stick& stick, QString* error);
// Powers the drive off, so the stick may be pulled; true when the drive
// cannot be powered off at all (nothing to do).
bool powerOff(const Stick& stick, QString* error);

// logind: the computer switched off or restarted.
bool powerOffComputer(QString* error);
bool rebootComputer(QString* error);

}  // namespace staff
