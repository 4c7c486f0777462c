// The staff screen of the exam session, shown after the organiser has ended
// the station: what the station holds (judged as quorvel-check --answers
// judges it), and what staff need at a locked PC: copying the answers to a
// USB stick, going on with the exam, switching the PC off or restarting it,
// and a way out of the session for an administrator. Everything but going
// on with the exam asks for the staff PIN first.
#pragma once

#include <QAtomicInteger>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "kiosk/staff/system.h"

namespace staff {

// How the screen ends, as its exit status for the launcher.
enum Ending { PoweredOff = 0, GoOn = 10, LeaveSession = 20 };

class StaffScreen : public QWidget {
  Q_OBJECT

 public:
  StaffScreen(const QString& stationFolder, const QString& pinFile, QWidget* parent = nullptr);

  // Seams for tests: what asks for the PIN and what chooses among several
  // sticks (by default, dialogs on this screen). An empty PIN: cancelled.
  std::function<QString()> askPin;
  std::function<int(const QList<Stick>&)> chooseStick;
  // Called on the copying thread with each step of a copy (null: none); the
  // guide's pictures hold a copy half way with it.
  static inline std::function<void(qint64 done, qint64 total)> copyProgressHook;

  QString status() const { return status_->text(); }
  bool busy() const { return busy_; }

 signals:
  void ended(int ending);

 public slots:
  void copyToStick();
  void goOn();
  void powerOff();
  void reboot();
  void leave();

 private:
  bool pinGiven();
  void say(const QString& text, bool bad = false);
  void judge();
  void setBusy(bool busy);
  QString askPinDialog();
  int chooseStickDialog(const QList<Stick>& sticks);

  QString folder_, pinFile_;
  QLabel* status_;
  QTableWidget* table_;
  QProgressBar* progress_;
  QList<QPushButton*> buttons_;
  QTimer poll_;
  QAtomicInteger<qint64> done_{0}, total_{0};
  bool busy_ = false;
};

}  // namespace staff
