// quorvel-folder-rule [--session] FOLDER ACCOUNT: says whether FOLDER may be
// a station folder of ACCOUNT by the station's own rule (toolkit/folderrule.h),
// so that the exam room setup refuses exactly what the station would.
// --session: the exam room session's fixed folder, which must also outlive
// a reboot. Exit status 0: allowed; 1: refused (the reason on standard
// output); 2: wrong arguments.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "toolkit/folderrule.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  auto use = station::folderrule::Use::Station;
  if (!args.isEmpty() && args.first() == QLatin1String("--session")) {
    use = station::folderrule::Use::Session;
    args.removeFirst();
  }
  if (args.size() != 2 || args[0].isEmpty() || args[1].isEmpty()) {
    std::fprintf(stderr, "usage: quorvel-folder-rule [--session] FOLDER ACCOUNT\n");
    return 2;
  }
  const auto verdict = station::folderrule::check(args[0], args[1], use);
  std::printf("%s\n", station::folderrule::describe(verdict).toLocal8Bit().constData());
  return verdict.refused() ? 1 : 0;
}
