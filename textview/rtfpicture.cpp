#include "textview/rtfpicture.h"

#include "textview/rtfcommon.h"
#include "textview/rtflexer.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace textview::rtf {

void PictureDecoder::word(Kw kw, int param) {
  switch (kw) {
    case Kw::PicW: pict_.picw = param; break;
    case Kw::PicH: pict_.pich = param; break;
    case Kw::PicWGoal: pict_.goalw = param; break;
    case Kw::PicHGoal: pict_.goalh = param; break;
    case Kw::PicScaleX: pict_.scalex = param; break;
    case Kw::PicScaleY: pict_.scaley = param; break;
    case Kw::PngBlip: pict_.kind = Kind::Png; break;
    case Kw::JpegBlip: pict_.kind = Kind::Jpeg; break;
    case Kw::EmfBlip: case Kw::WMetafile: pict_.kind = Kind::Metafile; break;
    case Kw::OtherPictKind: pict_.kind = Kind::Other; break;
    default: break;
  }
}

void PictureDecoder::appendHex(const unsigned char* s, const unsigned char* e) {
  Picture& pc = pict_;
  if (std::size_t(pc.data.size()) + std::size_t(e - s) / 2 > lim_.maxPictureBytes) failStream();
  const qsizetype start = pc.data.size();
  pc.data.resize(start + (e - s) / 2 + 1);
  char* out = pc.data.data() + start;
  int nib = pc.nibble;
  for (; s < e; ++s) {
    const std::uint8_t v = kHexDigit[*s];
    if (v > 15) continue;
    if (nib < 0) {
      nib = v;
    } else {
      *out++ = char(nib << 4 | v);
      nib = -1;
    }
  }
  pc.nibble = nib;
  pc.data.resize(out - pc.data.data());
}

void PictureDecoder::appendBinary(const unsigned char* s, const unsigned char* e) {
  if (std::size_t(pict_.data.size()) + std::size_t(e - s) > lim_.maxPictureBytes) failStream();
  pict_.data.append(reinterpret_cast<const char*>(s), qsizetype(e - s));
}

QTextImageFormat PictureDecoder::finish(QTextDocument* doc) {
  Picture pc = std::move(pict_);
  pict_ = Picture{};
  if (++images_ > lim_.maxImages) failStream();

  QImage image;
  if ((pc.kind == Kind::Png || pc.kind == Kind::Jpeg) && !pc.data.isEmpty()) {
    QBuffer buffer(&pc.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, pc.kind == Kind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (size.isValid()) {
      const std::int64_t pixels = std::int64_t(size.width()) * size.height();
      if (size.width() > lim_.maxImageSide || size.height() > lim_.maxImageSide || pixels > lim_.maxImagePixels)
        failStream();
      imagePixels_ += pixels;
      if (imagePixels_ > lim_.maxTotalImagePixels) failStream();
      image = reader.read();  // a damaged picture reads as a null image
    }
  }

  // Displayed size: the goal size scaled, else the picture's own size.
  double w = 0, h = 0;
  if (pc.goalw > 0 && pc.goalh > 0) {
    w = pc.goalw / kTwipsPerPx;
    h = pc.goalh / kTwipsPerPx;
  } else if (!image.isNull()) {
    w = image.width();
    h = image.height();
  } else if (pc.picw > 0 && pc.pich > 0) {
    // Metafiles give their extent in hundredths of a millimetre.
    const bool himetric = pc.kind == Kind::Metafile;
    w = himetric ? pc.picw * 96.0 / 2540.0 : pc.picw;
    h = himetric ? pc.pich * 96.0 / 2540.0 : pc.pich;
  }
  if (pc.scalex > 0 && pc.scalex != 100) w = w * std::min(pc.scalex, 10000) / 100.0;
  if (pc.scaley > 0 && pc.scaley != 100) h = h * std::min(pc.scaley, 10000) / 100.0;
  w = std::clamp(w, 1.0, double(lim_.maxBoxSide));
  h = std::clamp(h, 1.0, double(lim_.maxBoxSide));

  const bool blank = image.isNull();
  if (blank) {
    // Nothing we can draw: a blank box of the picture's size keeps the layout.
    image = QImage(1, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
  }
  const QUrl name(QStringLiteral("rtfpict:%1").arg(images_));
  doc->addResource(QTextDocument::ImageResource, name, image);
  QTextImageFormat f;
  f.setName(name.toString());
  f.setWidth(w);
  f.setHeight(h);
  if (blank) {
    const BlankPicture why = pc.kind == Kind::Png || pc.kind == Kind::Jpeg ? BlankPicture::Damaged
                             : pc.kind == Kind::Metafile                    ? BlankPicture::Metafile
                                                                            : BlankPicture::Unsupported;
    f.setProperty(kBlankPicture, int(why));
  }
  return f;
}

}  // namespace textview::rtf
