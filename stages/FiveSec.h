// The countdown window shown modally before timed stages: big digits 3, 2,
// 1, 0 over the whole station window, then it closes and the stage begins.
// One window for the whole run, created at start-up after the main window.
#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class QTimer;

class T_FiveSec : public QWidget {
  Q_OBJECT
 public:
  explicit T_FiveSec(QWidget* parent = nullptr);

  // Shows the window modally; returns when it has closed.
  void ShowModal();

  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void Timer2Timer();
  void Panel1Click();

  // The next digit to show.
  std::int32_t CountdownValue = 3;

  QLabel* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  QTimer* Timer2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

extern T_FiveSec* _FiveSec;

// The prologue of a timed stage: shows _FiveSec modally (when it exists) and
// returns once it has closed. False when `stage` was destroyed meanwhile;
// its Start must then return without touching anything of its own.
bool showCountdownBefore(QObject* stage);
