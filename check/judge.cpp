#include "check/judge.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>
#include <set>

#include "check/files.h"
#include "check/journal.h"
#include "toolkit/errors.h"
#include "toolkit/manifest.h"
#include "toolkit/names.h"
#include "toolkit/participant.h"
#include "toolkit/recordcheck.h"

namespace check::judge {

using answers::Answer;
using answers::Participant;

namespace {

struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};

// A recorded length may differ from the time recorded, and a period's
// answer may run over its period, by this much.
constexpr double kTolerance = 0.5;

struct Slot {
  QString suffix;       // "_01"
  double limitQuorvel;  // longest answer, seconds (0: no limit)
  double limitFlat;
};

// The eight files of a participant. A period ends one second after its
// counter reads 0: a 180 s answer lasts 181 s.
const QList<Slot>& answerSlots() {
  static const QList<Slot> kSlots = [] {
    QList<Slot> out{{QStringLiteral("_00"), 0, 0}, {QStringLiteral("_01"), 181, 181}};
    for (int n = 1; n <= 5; ++n) out.append({QStringLiteral("_02_%1").arg(n), 61, 61});
    out.append({QStringLiteral("_03"), 241, 181});
    return out;
  }();
  return kSlots;
}

QString fileSuffix(const QString& slot) {
  using namespace station::names;
  if (slot == QLatin1String("_00")) return codeSuffix();
  if (slot == QLatin1String("_01")) return taskSuffix(1);
  if (slot == QLatin1String("_03")) return taskSuffix(3);
  return questionSuffix(slot.right(1).toInt());
}

QString seconds2(double s) { return QString::number(s, 'f', 2); }

bool lexists(const QString& path, int* error) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) == 0) return true;
  *error = errno;
  return false;
}

}  // namespace

QString codeFault(const QString& name) {
  if (name.size() != 13 || !std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
    return Text::tr("not 13 digits");
  if (!name.startsWith(QLatin1String("275"))) return Text::tr("does not begin with 275");
  if (station::ean13CheckDigit(name) != name[12].digitValue()) return Text::tr("wrong check digit");
  return {};
}

Planned plan(const scan::Place& place, bool decodeAll) {
  Planned out;
  answers::Station& s = out.station;
  s.programDir = place.programDir;
  s.key = place.key;
  const QString folderName = QStringLiteral("Answer_") + place.key;
  const QString base = place.programDir + folderName;

  const journal::Journal journal = journal::read(base + QStringLiteral(".log"));
  if (!journal.found) s.faults.append(Text::tr("no journal %1.log").arg(folderName));
  else if (journal.error)
    s.faults.append(Text::tr("journal %1.log cannot be read: %2").arg(folderName, files::reason(journal.error)));
  const bool journalRead = journal.found && !journal.error;
  s.journalSha = journal.sha256;
  s.deliverable = journal.deliverable;
  s.first = journal.first;
  s.last = journal.last;
  // The codes from the journal, else from the key's end: ..._<venue>_<room>_<station>.
  const QStringList parts = place.key.split(QLatin1Char('_'));
  s.venue = !journal.venue.isEmpty() ? journal.venue : parts.size() >= 5 ? parts[parts.size() - 3] : QString();
  s.room = !journal.room.isEmpty() ? journal.room : parts.size() >= 5 ? parts[parts.size() - 2] : QString();
  s.number = !journal.number.isEmpty() ? journal.number : parts.size() >= 5 ? parts.last() : QString();
  if (const auto it = journal.faults.find(QString()); it != journal.faults.end()) s.journal = it->second;

  const QString manifestName = folderName + QStringLiteral(".sha256");
  std::map<QString, QByteArray> manifest;
  bool manifestRead = false;
  int error = 0;
  if (!lexists(base + QStringLiteral(".sha256"), &error)) {
    s.faults.append(Text::tr("no manifest %1").arg(manifestName));
  } else if (const files::Hashed h = files::hash(base + QStringLiteral(".sha256")); h.error) {
    s.faults.append(Text::tr("manifest %1 cannot be read: %2").arg(manifestName, files::reason(h.error)));
  } else {
    s.manifestSha = h.sha256;
    for (const auto& e : station::manifest::read(base + QStringLiteral(".sha256"), place.key, &manifestRead))
      manifest[e.path] = e.hex;
    if (!manifestRead) s.faults.append(Text::tr("manifest %1 cannot be read").arg(manifestName));
  }

  // Participant folders: those in the copy, and those the journal or the
  // manifest names that are not.
  QStringList names;
  std::set<QString> present;
  if (!place.hasFolder) {
    s.faults.append(Text::tr("answer folder %1 missing from the copy").arg(folderName));
  } else if (!files::list(base, &names, &error)) {
    s.faults.append(Text::tr("answer folder %1 cannot be read: %2").arg(folderName, files::reason(error)));
  }
  std::set<QString> codes;
  for (const QString& name : names) {
    struct stat st {};
    const bool dir = ::lstat(QFile::encodeName(base + QLatin1Char('/') + name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
    const QString why = dir ? codeFault(name) : Text::tr("not a folder");
    if (!why.isEmpty()) s.faults.append(Text::tr("not a participant folder: %1/%2 (%3)").arg(folderName, name, why));
    else codes.insert(name), present.insert(name);
  }
  for (const QString& code : journal.codes)
    if (codeFault(code).isEmpty()) codes.insert(code);
  for (const auto& [path, hex] : manifest) {
    const QString code = path.section(QLatin1Char('/'), 1, 1);
    if (codeFault(code).isEmpty()) codes.insert(code);
  }

  std::set<QString> covered;
  const QList<Slot>& kSlots = answerSlots();
  for (const QString& code : codes) {
    Participant p;
    p.code = code;
    if (const auto it = journal.faults.find(code); it != journal.faults.end()) p.journal = it->second;
    const QString dir = base + QLatin1Char('/') + code;
    const bool there = present.count(code);
    QStringList entries;
    if (!there) p.problems.append(Text::tr("folder missing from the copy"));
    else if (!files::list(dir, &entries, &error))
      p.problems.append(Text::tr("folder cannot be read: %1").arg(files::reason(error)));
    std::set<QString> expected;
    for (int i = 0; i < kSlots.size(); ++i) {
      const QString name = code + fileSuffix(kSlots[i].suffix);
      expected.insert(name);
      const QString relative = folderName + QLatin1Char('/') + code + QLatin1Char('/') + name;
      covered.insert(relative);
      Answer a;
      a.suffix = kSlots[i].suffix;
      p.answers.append(a);
      if (!there) continue;
      Job job;
      job.participant = int(s.participants.size());
      job.slot = i;
      job.suffix = kSlots[i].suffix;
      job.path = dir + QLatin1Char('/') + name;
      job.manifestRead = manifestRead;
      if (const auto it = manifest.find(relative); it != manifest.end()) job.listed = it->second;
      if (const auto it = journal.checked.find(name); it != journal.checked.end() && it->second.ok)
        job.checkedSeconds = it->second.seconds;
      job.journalRead = journalRead;
      if (const auto it = journal.recorded.find(name); it != journal.recorded.end()) job.recorded = it->second;
      job.limit = s.deliverable == QLatin1String("quorvel-flat") ? kSlots[i].limitFlat
                  : s.deliverable == QLatin1String("quorvel")    ? kSlots[i].limitQuorvel
                                                                 : std::max(kSlots[i].limitQuorvel, kSlots[i].limitFlat);
      job.decodeAll = decodeAll;
      out.jobs.append(job);
    }
    for (const QString& e : entries)
      if (!expected.count(e)) p.strays.append(e);
    s.participants.append(p);
  }
  QStringList gone;
  for (const auto& [path, hex] : manifest)
    if (!covered.count(path)) gone.append(path);
  if (!gone.isEmpty())
    s.faults.append(Text::tr("the manifest lists %n file(s) not there: %1", nullptr, int(gone.size()))
                        .arg(gone.size() > 3 ? gone.mid(0, 3).join(QStringLiteral(", ")) + QStringLiteral(", …")
                                             : gone.join(QStringLiteral(", "))));
  return out;
}

Answer checkFile(const Job& job) {
  Answer a;
  a.suffix = job.suffix;
  auto fault = [&](const QString& what) { a.faults.append(job.suffix + QLatin1Char(' ') + what); };
  int error = 0;
  struct stat st {};
  if (::lstat(QFile::encodeName(job.path).constData(), &st) != 0) {
    error = errno;
    if (error == ENOENT) {
      a.state = Answer::State::Missing;
      fault(!job.listed.isEmpty() ? Text::tr("missing (listed in the manifest)") : Text::tr("missing"));
    } else {
      a.state = Answer::State::Faulty;
      fault(Text::tr("cannot be read: %1").arg(files::reason(error)));
    }
    return a;
  }
  a.state = Answer::State::Faulty;
  if (S_ISLNK(st.st_mode)) {
    fault(Text::tr("a link, not a file"));
    return a;
  }
  if (!S_ISREG(st.st_mode)) {
    fault(Text::tr("not a regular file"));
    return a;
  }
  const files::Hashed h = files::hash(job.path);
  if (h.error) {
    fault(Text::tr("cannot be read: %1").arg(files::reason(h.error)));
    return a;
  }
  a.sha256 = h.sha256;
  const bool matches = !job.listed.isEmpty() && job.listed == h.sha256;
  if (!h.oggVorbis) {
    fault(Text::tr("is not an Ogg Vorbis file"));
  } else if (matches && job.checkedSeconds >= 0 && !job.decodeAll) {
    // Bit for bit the file the station decoded and found good: its length stands.
    a.seconds = job.checkedSeconds;
    a.trusted = true;
  } else {
    const files::Decoded d = files::decode(job.path);
    if (d.fault == files::Decoded::NotVorbis) fault(Text::tr("is not an Ogg Vorbis file"));
    else if (d.fault == files::Decoded::Unreadable) fault(Text::tr("does not decode"));
    else if (d.fault == files::Decoded::DamagedInside)
      fault(Text::tr("is damaged inside, at %1").arg(station::formatLength(d.faultAt)));
    else if (d.fault == files::Decoded::StopsEarly)
      fault(Text::tr("stops decoding at %1").arg(station::formatLength(d.faultAt)));
    if (d.seconds >= 0 && d.fault != files::Decoded::Unreadable) a.seconds = d.seconds;
  }
  if (a.seconds >= 0) {
    if (!job.journalRead) {
      // No journal to compare with: said once for the station.
    } else if (job.recorded < 0) {
      fault(Text::tr("has no recording-stop line in the journal"));
    } else if (std::fabs(a.seconds - job.recorded) > kTolerance) {
      fault(Text::tr("decodes to %1 s, the journal says %2 s recorded").arg(seconds2(a.seconds), seconds2(job.recorded)));
    }
    if (job.limit > 0 && a.seconds > job.limit + kTolerance)
      fault(Text::tr("is %1 s, longer than its period of %2 s").arg(seconds2(a.seconds)).arg(job.limit));
  }
  if (job.manifestRead) {
    if (job.listed.isEmpty()) fault(Text::tr("has no line in the manifest"));
    else if (!matches) fault(Text::tr("differs from the manifest checksum"));
  }
  a.state = a.faults.isEmpty() ? Answer::State::Good : Answer::State::Faulty;
  return a;
}

void fill(Planned& planned, const QList<Answer>& results) {
  for (qsizetype i = 0; i < planned.jobs.size() && i < results.size(); ++i) {
    const Job& j = planned.jobs[i];
    planned.station.participants[j.participant].answers[j.slot] = results[i];
  }
}

}  // namespace check::judge
