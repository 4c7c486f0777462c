// quorvel-check [FOLDER]: opens, as the stations will, every file of FOLDER/KIM
// that quorvel or quorvel-flat will open, and prints one line per file with
// its verdict, what it holds and how long it took to load, then a summary.
// Exit status: 0 when every file is good, 1 when one is missing or fails,
// 2 when the folder cannot be checked at all.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

#include "check/answers.h"
#include "check/files.h"
#include "check/language.h"
#include "check/materials.h"
#include "textview/richview.h"

namespace {

namespace {
struct Text {
  Q_DECLARE_TR_FUNCTIONS(Check)
};
}  // namespace

void print(FILE* to, const QString& line) {
  std::fputs((check::files::terminalSafe(line) + QLatin1Char('\n')).toUtf8().constData(), to);
  std::fflush(to);
}

const char kUsage[] = QT_TRANSLATE_NOOP(
    "Check",
    "usage: quorvel-check [FOLDER]\n"
    "       quorvel-check --answers FOLDER... [--report FILE.html] [--decode]\n"
    "                     [--seal RECIPIENTS --out DIR]\n"
    "       quorvel-check --answers FOLDER --copy-to DIR\n"
    "Checks the task materials in FOLDER/KIM (FOLDER is the station folder, by\n"
    "default the current one) with the station's own reader: the subject file,\n"
    "I.rtf, TestRTF.rtf and every text of each variant folder KIM/0 .. KIM/9\n"
    "present and of the texts directly in KIM.\n"
    "With --answers, checks every answer folder Answer_<key> in or under each\n"
    "FOLDER (a station folder, or a folder of stations collected after the exam,\n"
    "symbolic links followed): each participant's eight files there, real Ogg\n"
    "Vorbis files decoding whole, as long as the station's journal says and\n"
    "matching its checksum manifest. An answer the station checked itself and\n"
    "whose checksum matches is not decoded again; --decode decodes every one.\n"
    "--report writes a printable HTML page of it, and a CSV file beside it.\n"
    "--seal RECIPIENTS --out DIR then writes into DIR one archive per station\n"
    "(its answer folder, journal, manifest and part of the report), encrypted\n"
    "with age to the public keys in the file RECIPIENTS, and the list\n"
    "archives.txt of their sizes and SHA-256 (the report, in DIR unless\n"
    "--report names it, carries the same). The board opens one with\n"
    "  age -d -i KEY Answer_<key>.tar.age | tar -x\n"
    "--copy-to DIR copies every station found in FOLDER into DIR (a USB stick),\n"
    "each into a folder named after its key (an earlier copy that differs is\n"
    "kept, the new one named with the time), flushes it, reads it back from the\n"
    "device and compares it with the station's files, then checks the copy and\n"
    "writes its report.html into it.\n"
    "Exit status:\n"
    "  0  every file good; with --answers: every participant complete\n"
    "     (remarks in a journal allowed)\n"
    "  1  a materials file missing or failing; with --answers: anything\n"
    "     incomplete, damaged, unreadable or missing: a station, a participant,\n"
    "     a folder given, answer folders with no participant, nothing found\n"
    "  2  wrong use: an unknown option, a missing argument, RECIPIENTS missing,\n"
    "     unreadable or without a valid key, no age; for the materials, a\n"
    "     FOLDER that is not there or holds no KIM\n"
    "  3  with --answers: every participant complete, but the report, the CSV\n"
    "     or an archive could not be written (a faulty room exits 1 and says\n"
    "     so too)\n"
    "  4  with --copy-to: the copy could not be made or does not read back\n"
    "     whole (a full, read-only or pulled-out stick)\n");

}  // namespace

int main(int argc, char** argv) {
  // The checker shows no window; it needs the GUI library only for the
  // text document, which works without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  check::loadLanguage();
  QStringList args = QCoreApplication::arguments().mid(1);
  if (args.contains(QStringLiteral("-h")) || args.contains(QStringLiteral("--help"))) {
    std::fputs(Text::tr(kUsage).toUtf8().constData(), stdout);
    return 0;
  }
  if (args.contains(QStringLiteral("--version"))) return std::puts("quorvel-check " QUORVEL_VERSION) < 0;
  if (args.value(0) == QLatin1String("--answers")) return check::answers::run(args.mid(1));
  if (args.size() > 1) {
    std::fputs(Text::tr(kUsage).toUtf8().constData(), stderr);
    return 2;
  }
  QDir folder(args.value(0, QStringLiteral(".")));
  if (!folder.exists()) {
    print(stderr, Text::tr("quorvel-check: no folder %1").arg(folder.path()));
    return 2;
  }
  // Given the KIM folder itself, check the station folder around it.
  if (!QFileInfo(folder.filePath(QStringLiteral("KIM"))).isDir() && folder.dirName() == QLatin1String("KIM"))
    folder.setPath(folder.absoluteFilePath(QStringLiteral("..")));
  if (!QFileInfo(folder.filePath(QStringLiteral("KIM"))).isDir()) {
    print(stderr, Text::tr("quorvel-check: no folder KIM in %1; give the station folder that holds KIM")
                      .arg(QDir::toNativeSeparators(folder.absolutePath())));
    return 2;
  }
  // The stations open their materials relative to the current folder: so
  // does the checker, with the very names they use.
  if (!QDir::setCurrent(folder.absolutePath())) {
    print(stderr, Text::tr("quorvel-check: cannot enter %1").arg(folder.absolutePath()));
    return 2;
  }

  const check::Plan plan = check::planChecks();
  QStringList serves;
  if (!plan.variants.isEmpty())
    serves << Text::tr("variant folders %1 (quorvel)").arg(plan.variants.join(QLatin1Char(' ')));
  if (plan.flat) serves << Text::tr("task texts directly in KIM (quorvel-flat)");
  if (serves.isEmpty()) serves << Text::tr("no task texts");
  print(stdout, QStringLiteral("%1: %2")
                    .arg(QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("KIM"))),
                         serves.join(QStringLiteral("; "))));

  int width = 0;
  for (const check::Item& item : plan.items) width = std::max(width, int(item.name.size()));
  textview::RichView view;
  int ok = 0, missing = 0, failed = 0;
  for (const check::Item& item : plan.items) {
    check::Result r;
    switch (item.kind) {
      case check::Item::Kind::Subject: r = check::checkSubject(item.name); break;
      case check::Item::Kind::Text: r = check::checkText(view, item.name); break;
      case check::Item::Kind::NoTaskTexts:
        r.verdict = check::Result::Verdict::Missing;
        r.reason = Text::tr("no variant folder KIM/0 .. KIM/9 and no task texts directly in KIM");
        break;
    }
    print(stdout, check::formatLine(item, r, width));
    switch (r.verdict) {
      case check::Result::Verdict::Ok: ++ok; break;
      case check::Result::Verdict::Missing: ++missing; break;
      case check::Result::Verdict::Failed: ++failed; break;
    }
  }

  QString summary = Text::tr("%n file(s): %1 ok", nullptr, int(plan.items.size())).arg(ok);
  if (missing) summary += Text::tr(", %1 missing").arg(missing);
  if (failed) summary += Text::tr(", %1 failed").arg(failed);
  print(stdout, summary);
  return missing || failed ? 1 : 0;
}
