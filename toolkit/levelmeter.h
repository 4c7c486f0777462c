// The input level bar shown while a recording runs: the loudest sample of
// the last moment, on a scale from -60 dBFS to 0, green, then yellow from
// -12 dBFS, red from -3 dBFS, with "Микрофон" written over it. It falls back
// slowly, as level meters do, so that speech reads as a steady bar.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace station {

class LevelMeter : public QWidget {
  Q_OBJECT
 public:
  explicit LevelMeter(QWidget* parent);

  // Takes the loudest sample since the last call (0..32767); the shown level
  // is that one or the earlier one fallen back, whichever is higher.
  void take(int peak);
  // Back to no signal.
  void reset();
  // The level shown now, dBFS (kFloorDb for silence).
  double levelDb() const { return levelDb_; }
  // Someone can see the bar: it is shown and its window is on the screen
  // (not minimised, not fully covered). While nobody can, nothing is drawn.
  bool canBeSeen() const;
  // How often the bar has been painted since it was made.
  int paints() const { return paints_; }

  static constexpr double kFloorDb = -60.0;
  // How far the shown level falls per take() when the signal drops: 60 dB
  // a second at ten takes a second.
  static constexpr double kFallDb = 6.0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The x where the filled part ends, for the level shown.
  int fillEnd(double db) const;
  // The bar drawn once full and once empty, caption and frame included: a
  // paint copies the full one left of the level and the empty one right of
  // it, which costs a fraction of drawing bands and text ten times a
  // second.
  void drawPictures();
  QPixmap picture(bool full) const;

  double levelDb_ = kFloorDb;
  int paints_ = 0;
  QPixmap full_;
  QPixmap empty_;
};

}  // namespace station
