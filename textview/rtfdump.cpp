// rtfdump: prints what the task-text reader makes of a file, for exam staff
// checking their materials and for comparing the reader with other readers.
//   rtfdump FILE          the plain text of the document, list labels included
//   rtfdump --html FILE   Qt's HTML of the document
//   rtfdump --show FILE   the document in the stations' text view, in a window
// A file that fails to load prints the error text and exits with 1.

#include "textview/richview.h"
#include "textview/rtfreader.h"

#include <QApplication>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>

namespace {

// The document's text with the labels its lists draw, each before its
// paragraph and a tab, as the view shows them.
QString shownText(const QTextDocument& doc) {
  QString out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    if (b != doc.begin()) out += u'\n';
    if (QTextList* list = b.textList()) {
      switch (list->format().style()) {
        case QTextListFormat::ListDisc: out += u'•'; break;
        case QTextListFormat::ListCircle: out += u'◦'; break;
        case QTextListFormat::ListSquare: out += u'▪'; break;
        default: out += list->itemText(b); break;
      }
      out += u'\t';
    }
    out += b.text();
  }
  // Line separators inside a paragraph (\line) print as line breaks.
  return out.replace(QChar::LineSeparator, u'\n').replace(QChar::Nbsp, u' ');
}

int show(int argc, char** argv, const QString& path) {
  QApplication app(argc, argv);
  textview::RichView view;
  view.setWindowTitle(path);
  view.resize(820, 1000);
  try {
    view.loadFromFile(path);
  } catch (const textview::LoadError& e) {
    std::fprintf(stdout, "%s\n", e.what());
    return 1;
  }
  view.show();
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  const QStringList args = [&] {
    QStringList a;
    for (int i = 1; i < argc; ++i) a << QString::fromLocal8Bit(argv[i]);
    return a;
  }();
  const QString mode = args.size() == 2 ? args.first() : QString();
  if (!(args.size() == 1 || mode == QLatin1String("--html") || mode == QLatin1String("--show"))) {
    std::fprintf(stderr, "usage: rtfdump [--html | --show] FILE\n");
    return 2;
  }
  const QString path = args.last();
  if (mode == QLatin1String("--show")) return show(argc, argv, path);

  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  try {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
      throw textview::LoadError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    QTextDocument doc;
    textview::readDocument(bytes, &doc);
    const QString out = mode == QLatin1String("--html") ? doc.toHtml() : shownText(doc);
    std::fputs(out.toUtf8().constData(), stdout);
    if (!out.endsWith(u'\n')) std::fputc('\n', stdout);
  } catch (const textview::LoadError& e) {
    std::fprintf(stdout, "%s\n", e.what());
    return 1;
  }
  return 0;
}
