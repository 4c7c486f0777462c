// rtfdump: prints what the task-text reader makes of a file, for exam staff
// checking their materials and for comparing the reader with other readers.
//   rtfdump FILE          the plain text of the document
//   rtfdump --html FILE   Qt's HTML of the document
// A file that fails to load prints the error text and exits with 1.

#include "textview/richview.h"
#include "textview/rtfreader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  const bool html = !args.isEmpty() && args.first() == QLatin1String("--html");
  if (args.size() != (html ? 2 : 1)) {
    std::fprintf(stderr, "usage: rtfdump [--html] FILE\n");
    return 2;
  }
  const QString path = args.last();
  try {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      throw textview::LoadError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QTextDocument doc;
    textview::readDocument(bytes, &doc);
    const QString out = html ? doc.toHtml() : doc.toPlainText();
    std::fputs(out.toUtf8().constData(), stdout);
    if (!out.endsWith(u'\n')) std::fputc('\n', stdout);
  } catch (const textview::LoadError& e) {
    std::fprintf(stdout, "%s\n", e.what());
    return 1;
  }
  return 0;
}
