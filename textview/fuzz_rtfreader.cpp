// libFuzzer target for the task-text reader: any bytes must load or fail with
// LoadError, never crash, hang or allocate without bound; what loads is also
// laid out, as the view would do.

#include "textview/richview.h"
#include "textview/rtfreader.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

// What fontconfig allocates when Qt first looks up fallback fonts for a
// layout stays allocated to the end, a fixed amount however many documents
// are laid out; the leak checker reports it. Leaks anywhere else still count.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_LOGGING_RULES", "*.debug=false;qt.qpa.*=false");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  {
    QTextDocument doc;
    bool loaded = true;
    try {
      textview::readDocument(bytes, &doc);
    } catch (const textview::LoadError& e) {
      if (e.message() != QLatin1String("Failed to Load Stream")) std::abort();
      loaded = false;
    }
    if (loaded) {
      doc.setTextWidth(640);
      (void)doc.documentLayout()->documentSize();
      (void)doc.toPlainText();
    }
  }
  // Let Qt's timers run as the station's event loop would: the font cache
  // drops unused fonts from one of them, and grows without end otherwise.
  QCoreApplication::processEvents();
  return 0;
}
