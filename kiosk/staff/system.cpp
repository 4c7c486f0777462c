#include "kiosk/staff/system.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QLocale>
#include <QMap>
#include <QVariantMap>

using InterfaceMap = QMap<QString, QVariantMap>;
using ObjectMap = QMap<QDBusObjectPath, InterfaceMap>;
Q_DECLARE_METATYPE(InterfaceMap)
Q_DECLARE_METATYPE(ObjectMap)

namespace staff {

namespace {

const QString kUDisks = QStringLiteral("org.freedesktop.UDisks2");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kDrive = QStringLiteral("org.freedesktop.UDisks2.Drive");
const QString kLoop = QStringLiteral("org.freedesktop.UDisks2.Loop");
// A call that takes longer has hung: a box that never answers is worse
// than a clear refusal.
constexpr int kTimeoutMs = 60000;

void registerTypes() {
  static const bool done = [] {
    qDBusRegisterMetaType<InterfaceMap>();
    qDBusRegisterMetaType<ObjectMap>();
    qDBusRegisterMetaType<QByteArrayList>();
    return true;
  }();
  Q_UNUSED(done);
}

// "ay" as a string, without its closing NUL.
QString bytes(const QVariant& v) {
  QByteArray b = v.toByteArray();
  if (b.endsWith('\0')) b.chop(1);
  return QString::fromLocal8Bit(b);
}

QList<QByteArray> byteArrays(const QVariant& v) {
  if (v.canConvert<QDBusArgument>()) return qdbus_cast<QByteArrayList>(v.value<QDBusArgument>());
  return v.value<QByteArrayList>();
}

QString reason(const QDBusError& e) {
  if (e.type() == QDBusError::AccessDenied || e.name().endsWith(QLatin1String(".NotAuthorized")) ||
      e.name().endsWith(QLatin1String(".NotAuthorizedCanObtain")))
    return QStringLiteral("система не разрешает это действие этой учётной записи");
  if (e.type() == QDBusError::ServiceUnknown || e.type() == QDBusError::NoServer)
    return QStringLiteral("системная служба не запущена");
  return e.message().isEmpty() ? e.name() : e.message();
}

bool call(const QString& path, const QString& interface, const QString& method, const QVariantList& args,
          QString* error, QVariant* result = nullptr) {
  QDBusMessage m = QDBusMessage::createMethodCall(path.startsWith(QLatin1String("/org/freedesktop/login1"))
                                                      ? QStringLiteral("org.freedesktop.login1")
                                                      : kUDisks,
                                                  path, interface, method);
  m.setArguments(args);
  m.setInteractiveAuthorizationAllowed(false);
  const QDBusMessage reply = QDBusConnection::systemBus().call(m, QDBus::Block, kTimeoutMs);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    *error = reason(QDBusError(reply));
    return false;
  }
  if (result && !reply.arguments().isEmpty()) *result = reply.arguments().first();
  return true;
}

}  // namespace

QString Stick::title() const {
  const QLocale ru(QLocale::Russian);
  const QString amount = size >= 1'000'000'000 ? ru.toString(double(size) / 1e9, 'f', size < 10'000'000'000 ? 1 : 0) + QStringLiteral(" ГБ")
                                               : ru.toString(double(size) / 1e6, 'f', 0) + QStringLiteral(" МБ");
  return QStringLiteral("%1, %2 (%3)").arg(label.isEmpty() ? QStringLiteral("без названия") : label, amount, device);
}

QList<Stick> sticks(QString* error) {
  registerTypes();
  QList<Stick> out;
  QDBusMessage m = QDBusMessage::createMethodCall(kUDisks, QStringLiteral("/org/freedesktop/UDisks2"),
                                                  QStringLiteral("org.freedesktop.DBus.ObjectManager"),
                                                  QStringLiteral("GetManagedObjects"));
  const QDBusReply<ObjectMap> reply = QDBusConnection::systemBus().call(m, QDBus::Block, kTimeoutMs);
  if (!reply.isValid()) {
    *error = reason(reply.error());
    return out;
  }
  const ObjectMap objects = reply.value();
  for (auto it = objects.begin(); it != objects.end(); ++it) {
    const InterfaceMap& ifaces = it.value();
    if (!ifaces.contains(kBlock)) continue;
    const QVariantMap& block = ifaces[kBlock];
    if (block.value(QStringLiteral("HintIgnore")).toBool() || block.value(QStringLiteral("Size")).toLongLong() <= 0) continue;
    const QString drivePath = block.value(QStringLiteral("Drive")).value<QDBusObjectPath>().path();
    const QVariantMap drive = objects.value(QDBusObjectPath(drivePath)).value(kDrive);
    const bool removable = drive.value(QStringLiteral("Removable")).toBool() ||
                           drive.value(QStringLiteral("MediaRemovable")).toBool() ||
                           drive.value(QStringLiteral("ConnectionBus")).toString() == QLatin1String("usb");
    const bool loop = ifaces.contains(kLoop) && !bytes(ifaces[kLoop].value(QStringLiteral("BackingFile"))).isEmpty();
    if (!removable && !loop) continue;
    const QString usage = block.value(QStringLiteral("IdUsage")).toString();
    // A whole stick that holds partitions is listed through them.
    if (ifaces.contains(QStringLiteral("org.freedesktop.UDisks2.PartitionTable"))) continue;
    if (!usage.isEmpty() && usage != QLatin1String("filesystem")) continue;
    Stick s;
    s.block = it.key().path();
    s.drive = drivePath;
    s.device = bytes(block.value(QStringLiteral("Device")));
    s.label = block.value(QStringLiteral("IdLabel")).toString();
    s.size = block.value(QStringLiteral("Size")).toLongLong();
    s.readOnly = block.value(QStringLiteral("ReadOnly")).toBool();
    s.canPowerOff = drive.value(QStringLiteral("CanPowerOff")).toBool();
    if (ifaces.contains(kFilesystem)) {
      s.type = block.value(QStringLiteral("IdType")).toString();
      const QList<QByteArray> points = byteArrays(ifaces[kFilesystem].value(QStringLiteral("MountPoints")));
      if (!points.isEmpty()) s.mountPoint = bytes(points.first());
    }
    out.append(s);
  }
  return out;
}

QString mount(const Stick& stick, QString* error) {
  if (!stick.mountPoint.isEmpty()) return stick.mountPoint;
  QVariant where;
  if (!call(stick.block, kFilesystem, QStringLiteral("Mount"), {QVariantMap{}}, error, &where)) return {};
  return where.toString();
}

bool unmount(const Stick& stick, QString* error) {
  return call(stick.block, kFilesystem, QStringLiteral("Unmount"), {QVariantMap{}}, error);
}

bool powerOff(const Stick& stick, QString* error) {
  if (!stick.canPowerOff || stick.drive == QLatin1String("/")) return true;
  return call(stick.drive, kDrive, QStringLiteral("PowerOff"), {QVariantMap{}}, error);
}

bool powerOffComputer(QString* error) {
  return call(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
              QStringLiteral("PowerOff"), {false}, error);
}

bool rebootComputer(QString* error) {
  return call(QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
              QStringLiteral("Reboot"), {false}, error);
}

}  // namespace staff
