// What a test process holds right now: open descriptors, threads, child
// processes. Used to show that recordings leave nothing behind.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

namespace probe {

inline int openFds() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()); }

inline int threads() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("Threads:")) return line.mid(8).trimmed().toInt();
  return -1;
}

// How often the thread named `name` has gone to sleep of its own accord
// (its voluntary context switches); -1 when there is no such thread.
inline long threadWakeups(const QString& name) {
  for (const QString& t : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(t));
    QFile status(QStringLiteral("/proc/self/task/%1/status").arg(t));
    if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != name.toLatin1()) continue;
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
      if (line.startsWith("voluntary_ctxt_switches:")) return line.mid(24).trimmed().toLong();
  }
  return -1;
}

// Children of this process, running or not yet reaped (zombies).
inline QList<int> children() {
  QList<int> pids;
  const QDir proc(QStringLiteral("/proc"));
  const QString self = QString::number(getpid());
  for (const QString& e : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool isPid = false;
    const int pid = e.toInt(&isPid);
    if (!isPid) continue;
    QFile f(QStringLiteral("/proc/%1/stat").arg(e));
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QByteArray stat = f.readAll();
    // pid (comm) state ppid ...: comm may hold spaces, so read after ')'.
    const QList<QByteArray> rest = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (rest.size() > 1 && rest[1] == self.toLatin1()) pids << pid;
  }
  return pids;
}

// Kills every child with sig; returns how many there were.
inline int killChildren(int sig) {
  const QList<int> pids = children();
  for (int pid : pids) kill(pid, sig);
  return int(pids.size());
}

}  // namespace probe
