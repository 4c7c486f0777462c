// Measures the task-text reader. Prints "name value unit" lines:
//   rtf_one_page_ms         load of a typical one-page task text
//   rtf_photo_3mb_ms        load of a 3 MB text with an embedded photo
//   rtf_vs_html_ratio       our load of the one-page text over setHtml of the same content
//   rtf_vs_html_ratio_photo the same for the photo text (setHtml plus decoding its picture)
// Each figure is the median of several runs after a warm-up.

#include "textview/rtfreader.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray cp1251Escaped(const QString& text) {
  // Cyrillic as \'hh (Windows-1251: А..я are 0xC0..0xFF, Ё 0xA8, ё 0xB8).
  QByteArray out;
  for (const QChar ch : text) {
    const char16_t u = ch.unicode();
    int b = -1;
    if (u >= 0x410 && u <= 0x44F) b = 0xC0 + (u - 0x410);
    else if (u == 0x401) b = 0xA8;
    else if (u == 0x451) b = 0xB8;
    if (b >= 0) out += "\\'" + QByteArray::number(b, 16);
    else if (u < 0x80) out += char(u);
    else out += "\\u" + QByteArray::number(int(u)) + "?";
  }
  return out;
}

QByteArray unicodeEscaped(const QString& text) {
  QByteArray out;
  for (const QChar ch : text) {
    if (ch.unicode() < 0x80) out += char(ch.unicode());
    else out += "\\u" + QByteArray::number(int(ch.unicode())) + "?";
  }
  return out;
}

// A task text as a word processor writes it: font and colour tables, a
// stylesheet, headings, body paragraphs in both escape forms, a table.
QByteArray onePage(const QByteArray& picture = {}) {
  QByteArray r =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
      "{\\fonttbl{\\f0\\froman\\fcharset204\\fprq2 Times New Roman;}{\\f1\\fswiss\\fcharset204\\fprq2 Arial;}}"
      "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green73\\blue125;\\red192\\green0\\blue0;\\red242\\green242\\blue242;}"
      "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24 Normal;}{\\s1\\ql\\b\\f1\\fs32 heading 1;}}"
      "{\\info{\\title Task}{\\author Staff}}\n"
      "\\paperw11906\\paperh16838\\margl1134\\margr850\\margt1134\\margb1134\n";
  r += "\\pard\\plain\\s1\\qc\\sb240\\sa120\\b\\f1\\fs32\\cf2 " + cp1251Escaped(QStringLiteral("Задание 3. Монолог")) + "\\par\n";
  const QString body = QStringLiteral(
      "Вы готовите выступление о роли путешествий в жизни современного человека. "
      "Расскажите, почему люди путешествуют, какие впечатления остаются после поездок "
      "и какое путешествие вы хотели бы совершить сами. Приведите примеры из собственного опыта. ");
  for (int i = 0; i < 6; ++i) {
    r += "\\pard\\plain\\qj\\fi567\\sa120\\sl276\\slmult1\\f0\\fs28 ";
    r += (i % 2 ? unicodeEscaped(body) : cp1251Escaped(body));
    r += "{\\b " + cp1251Escaped(QStringLiteral("Обязательно")) + "} {\\i\\cf3 " +
         cp1251Escaped(QStringLiteral("ответьте на все вопросы.")) + "}\\par\n";
  }
  r += "\\pard\\plain\\f0\\fs28\\b " + cp1251Escaped(QStringLiteral("План ответа:")) + "\\b0\\par\n";
  const QStringList plan{QStringLiteral("зачем люди путешествуют"), QStringLiteral("ваше самое яркое путешествие"),
                         QStringLiteral("где бы вы хотели побывать"), QStringLiteral("вывод")};
  for (const QString& item : plan)
    r += "{\\listtext\\f0\\'95\\tab}\\pard\\plain\\fi-360\\li720\\f0\\fs28 " + cp1251Escaped(item) + "\\par\n";
  for (int row = 0; row < 4; ++row) {
    r += "\\trowd\\trgaph108\\trleft-108";
    for (int c = 1; c <= 3; ++c)
      r += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10" +
           QByteArray(row == 0 ? "\\clcbpat4" : "") + "\\cellx" + QByteArray::number(c * 3200);
    for (int c = 0; c < 3; ++c)
      r += "\\pard\\plain\\intbl\\f0\\fs24 " + cp1251Escaped(QStringLiteral("Ячейка %1.%2").arg(row).arg(c)) + "\\cell ";
    r += "\\row\n";
  }
  r += picture;
  r += "\\pard\\plain\\qr\\f0\\fs20\\i " + cp1251Escaped(QStringLiteral("Время на подготовку: 1,5 минуты.")) + "\\par}";
  return r;
}

QByteArray photoJpeg(int targetBytes) {
  // A noisy scene compresses badly, which makes a big file from a modest size.
  QImage img(2000, 1500, QImage::Format_RGB32);
  auto* rng = QRandomGenerator::global();
  for (int y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      line[x] = qRgb((x * 255 / img.width() + int(rng->bounded(60))) & 255, (y * 255 / img.height() + int(rng->bounded(60))) & 255,
                     int(rng->bounded(256)));
  }
  QByteArray jpeg;
  for (int q = 95; q >= 30; q -= 2) {
    jpeg.clear();
    QBuffer buf(&jpeg);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG", q);
    if (jpeg.size() <= targetBytes) break;
  }
  return jpeg;
}

QByteArray pictGroup(const QByteArray& jpeg) {
  QByteArray r = "{\\pard\\plain\\qc{\\*\\shppict{\\pict\\jpegblip\\picw2000\\pich1500\\picwgoal9000\\pichgoal6750\n";
  const QByteArray hex = jpeg.toHex();
  for (qsizetype i = 0; i < hex.size(); i += 128) r += hex.mid(i, 128) + "\n";
  r += "}}{\\nonshppict{\\pict\\wmetafile8\\picw2000\\pich1500 0100}}\\par}\n";
  return r;
}

double medianMs(const std::function<void()>& f, int runs) {
  f();  // warm-up
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    f();
    t.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  const QByteArray page = onePage();
  const QByteArray jpeg = photoJpeg(1'560'000);
  const QByteArray photo = onePage(pictGroup(jpeg));

  QTextDocument reference;
  textview::readDocument(page, &reference);
  const QString pageHtml = reference.toHtml();
  // The photo as the same HTML would carry it: inline, decoded on load.
  QString photoHtml = pageHtml;
  const QString dataUrl = QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(jpeg.toBase64());
  photoHtml.replace(QStringLiteral("</body>"), QStringLiteral("<p align=\"center\"><img src=\"%1\" width=\"600\" height=\"450\" /></p></body>").arg(dataUrl));

  const double pageMs = medianMs([&] { QTextDocument d; textview::readDocument(page, &d); }, 51);
  const double photoMs = medianMs([&] { QTextDocument d; textview::readDocument(photo, &d); }, 11);
  const double htmlMs = medianMs([&] { QTextDocument d; d.setHtml(pageHtml); }, 51);
  const double htmlPhotoMs = medianMs([&] {
    QTextDocument d;
    d.setHtml(photoHtml);
    // setHtml defers pictures to layout; ask for it so both sides decode it.
    const QImage img = d.resource(QTextDocument::ImageResource, QUrl(dataUrl)).value<QImage>();
    if (img.isNull()) std::fprintf(stderr, "html photo did not decode\n");
  }, 11);

  std::printf("rtf_one_page_bytes %lld bytes\n", static_cast<long long>(page.size()));
  std::printf("rtf_photo_3mb_bytes %lld bytes\n", static_cast<long long>(photo.size()));
  std::printf("rtf_one_page_ms %.3f ms\n", pageMs);
  std::printf("rtf_photo_3mb_ms %.3f ms\n", photoMs);
  std::printf("html_one_page_ms %.3f ms\n", htmlMs);
  std::printf("html_photo_ms %.3f ms\n", htmlPhotoMs);
  std::printf("rtf_vs_html_ratio %.3f ratio\n", pageMs / htmlMs);
  std::printf("rtf_vs_html_ratio_photo %.3f ratio\n", photoMs / htmlPhotoMs);
  return 0;
}
