#include "check/judge.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>
#include <set>

#include "check/files.h"
#include "check/journal.h"
#include "toolkit/deliverable.h"
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

// The eight files of a participant, in the order they are recorded.
const QStringList& answerSuffixes() {
  static const QStringList kSuffixes{QStringLiteral("_00"),   QStringLiteral("_01"),   QStringLiteral("_02_1"),
                                     QStringLiteral("_02_2"), QStringLiteral("_02_3"), QStringLiteral("_02_4"),
                                     QStringLiteral("_02_5"), QStringLiteral("_03")};
  return kSuffixes;
}

// How long an answer may last at a station that ran deliverable (the
// longer of the two when the journal does not say which ran).
double answerLimit(const QString& deliverable, const QString& suffix) {
  if (const station::Deliverable* d = station::deliverableNamed(deliverable)) return station::answerPeriod(*d, suffix);
  return std::max(station::answerPeriod(station::kQuorvel, suffix), station::answerPeriod(station::kQuorvelFlat, suffix));
}

QString fileSuffix(const QString& slot) {
  using namespace station::names;
  if (slot == QLatin1String("_00")) return codeSuffix();
  if (slot == QLatin1String("_01")) return taskSuffix(1);
  if (slot == QLatin1String("_03")) return taskSuffix(3);
  return questionSuffix(slot.right(1).toInt());
}

QString seconds2(double s) { return QLocale().toString(s, 'f', 2); }

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
    QStringList outside;
    for (const auto& e : station::manifest::read(base + QStringLiteral(".sha256"), place.key, &manifestRead, &outside))
      manifest[e.path] = e.hex;
    if (!manifestRead) s.faults.append(Text::tr("manifest %1 cannot be read").arg(manifestName));
    // A path out of the answer folder is never opened: a sha256sum run on
    // this manifest would read it, so the staff are told.
    if (!outside.isEmpty())
      s.faults.append(Text::tr("manifest %1 names %n path(s) outside its answer folder, not followed: %2", nullptr,
                               int(outside.size()))
                          .arg(manifestName, outside.size() > 3 ? outside.mid(0, 3).join(QStringLiteral(", ")) + QStringLiteral(", …")
                                                                : outside.join(QStringLiteral(", "))));
    // A manifest without a single line is one fault of the station, as a
    // missing one is, not a missing line for every answer.
    if (manifestRead && manifest.empty()) {
      s.faults.append(Text::tr("manifest %1 is empty").arg(manifestName));
      manifestRead = false;
    }
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
  const QStringList& kSlots = answerSuffixes();
  for (const QString& code : codes) {
    Participant p;
    p.code = code;
    if (const auto it = journal.faults.find(code); it != journal.faults.end()) p.journal = it->second;
    const QString dir = base + QLatin1Char('/') + code;
    const bool there = present.count(code);
    QStringList entries;
    p.inCopy = there;
    if (!there) p.problems.append(Text::tr("folder missing from the copy"));
    else if (!files::list(dir, &entries, &error))
      p.problems.append(Text::tr("folder cannot be read: %1").arg(files::reason(error)));
    std::set<QString> expected;
    for (int i = 0; i < kSlots.size(); ++i) {
      const QString name = code + fileSuffix(kSlots[i]);
      expected.insert(name);
      const QString relative = folderName + QLatin1Char('/') + code + QLatin1Char('/') + name;
      covered.insert(relative);
      Answer a;
      a.suffix = kSlots[i];
      p.answers.append(a);
      if (!there) continue;
      Job job;
      job.participant = int(s.participants.size());
      job.slot = i;
      job.suffix = kSlots[i];
      job.path = dir + QLatin1Char('/') + name;
      job.manifestRead = manifestRead;
      if (const auto it = manifest.find(relative); it != manifest.end()) job.listed = it->second;
      if (const auto it = journal.checked.find(name); it != journal.checked.end()) {
        job.checked = true;
        job.checkedOk = it->second.ok;
        job.checkedSeconds = it->second.seconds;
        job.checkedSha = it->second.sha256;
      }
      job.journalRead = journalRead;
      if (const auto it = journal.recorded.find(name); it != journal.recorded.end()) job.recorded = it->second;
      job.limit = answerLimit(s.deliverable, kSlots[i]);
      job.decodeAll = decodeAll;
      out.jobs.append(job);
    }
    for (const QString& e : entries)
      if (!expected.count(e)) p.strays.append(e);
    s.participants.append(p);
  }
  if (s.participants.isEmpty() && place.hasFolder)
    s.faults.append(Text::tr("no participant in the answer folder %1").arg(folderName));
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
  } else if (matches && job.checkedOk && job.checkedSha == h.sha256 && !job.decodeAll) {
    // The station decoded these very bytes and found them good: the file's,
    // the manifest's and the check's digests agree. Its length stands.
    a.seconds = job.checkedSeconds;
    a.trusted = true;
  } else {
    if (!job.decodeAll && job.checkedOk && matches)
      a.decodedWhy = job.checkedSha.isEmpty() ? Text::tr("the station's check names no bytes")
                                              : Text::tr("the station checked other bytes");
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
      fault(Text::tr("is %1 s, longer than its period of %2 s").arg(seconds2(a.seconds), QLocale().toString(job.limit)));
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
