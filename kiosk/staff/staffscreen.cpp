#include "kiosk/staff/staffscreen.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <cstdio>

#include "check/answers.h"
#include "check/copy.h"
#include "check/scan.h"
#include "kiosk/staff/pin.h"

namespace staff {

namespace {

QString megabytes(qint64 bytes) { return QLocale(QLocale::Russian).toString(double(bytes) / 1e6, 'f', 1) + QStringLiteral(" МБ"); }

// Russian plural of n: "1 участник", "2 участника", "5 участников".
QString plural(int n, const char* one, const char* few, const char* many) {
  const int t = n % 100, u = n % 10;
  const char* w = (t >= 11 && t <= 14) ? many : u == 1 ? one : (u >= 2 && u <= 4) ? few : many;
  return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(w));
}

// What judging the station gives the table: one row per answer folder.
struct Row {
  QString key;
  int participants = 0, complete = 0, remarks = 0, incomplete = 0, answers = 0;
  qint64 bytes = 0;
};

QList<Row> judgeStation(const QString& folder) {
  check::answers::Options options;
  options.folders = QStringList{folder};
  QList<check::answers::Station> stations;
  QStringList problems;
  FILE* nowhere = std::fopen("/dev/null", "w");
  check::answers::check(options, &stations, &problems, nowhere ? nowhere : stderr);
  if (nowhere) std::fclose(nowhere);
  QList<Row> rows;
  for (const auto& s : stations) {
    Row r;
    r.key = s.key;
    for (const auto& p : s.participants) {
      ++r.participants;
      switch (p.state()) {
        case check::answers::Participant::State::Complete: ++r.complete; break;
        case check::answers::Participant::State::Remarks: ++r.remarks; break;
        case check::answers::Participant::State::Incomplete: ++r.incomplete; break;
      }
      for (const auto& a : p.answers)
        if (a.state != check::answers::Answer::State::Missing) {
          ++r.answers;
          r.bytes += QFileInfo(QDir(s.programDir).filePath(QStringLiteral("Answer_%1/%2/%2%3.ogg").arg(s.key, p.code, a.suffix))).size();
        }
    }
    rows.append(r);
  }
  return rows;
}

QPushButton* bigButton(const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setMinimumHeight(56);
  b->setMinimumWidth(b->sizeHint().width() + 32);
  QFont f = b->font();
  f.setPointSize(14);
  b->setFont(f);
  return b;
}

}  // namespace

StaffScreen::StaffScreen(const QString& stationFolder, const QString& pinFile, QWidget* parent)
    : QWidget(parent), folder_(stationFolder), pinFile_(pinFile) {
  setObjectName(QStringLiteral("staffScreen"));
  askPin = [this] { return askPinDialog(); };
  chooseStick = [this](const QList<Stick>& s) { return chooseStickDialog(s); };

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(48, 32, 48, 32);
  layout->setSpacing(16);
  auto* title = new QLabel(QStringLiteral("Работа станции завершена"), this);
  QFont big = title->font();
  big.setPointSize(22);
  big.setBold(true);
  title->setFont(big);
  layout->addWidget(title);
  auto* where = new QLabel(QStringLiteral("Папка станции: %1").arg(QDir::toNativeSeparators(folder_)), this);
  where->setTextInteractionFlags(Qt::NoTextInteraction);
  layout->addWidget(where);

  table_ = new QTableWidget(0, 7, this);
  table_->setObjectName(QStringLiteral("answers"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Папка ответов"), QStringLiteral("Участников"),
                                     QStringLiteral("Полностью"), QStringLiteral("С замечаниями"),
                                     QStringLiteral("Неполно"), QStringLiteral("Ответов"), QStringLiteral("Размер")});
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int c = 1; c < 7; ++c) table_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setFocusPolicy(Qt::NoFocus);
  QFont cells = table_->font();
  cells.setPointSize(12);
  table_->setFont(cells);
  layout->addWidget(table_, 1);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  QFont said = status_->font();
  said.setPointSize(14);
  status_->setFont(said);
  layout->addWidget(status_);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setRange(0, 1000);
  progress_->hide();
  layout->addWidget(progress_);

  auto* row1 = new QHBoxLayout;
  auto* row2 = new QHBoxLayout;
  const struct {
    const char* name;
    QString text;
    void (StaffScreen::*slot)();
    QHBoxLayout* row;
  } kButtons[] = {
      {"copy", QStringLiteral("Скопировать ответы на флешку"), &StaffScreen::copyToStick, row1},
      {"goOn", QStringLiteral("Продолжить приём экзамена"), &StaffScreen::goOn, row1},
      {"powerOff", QStringLiteral("Выключить компьютер"), &StaffScreen::powerOff, row2},
      {"reboot", QStringLiteral("Перезагрузить"), &StaffScreen::reboot, row2},
      {"leave", QStringLiteral("Выйти из сеанса (администратор)"), &StaffScreen::leave, row2},
  };
  for (const auto& b : kButtons) {
    QPushButton* button = bigButton(b.text, this);
    button->setObjectName(QLatin1String(b.name));
    connect(button, &QPushButton::clicked, this, b.slot);
    b.row->addWidget(button);
    buttons_.append(button);
  }
  layout->addLayout(row1);
  layout->addLayout(row2);

  poll_.setInterval(200);
  connect(&poll_, &QTimer::timeout, this, [this] {
    const qint64 total = total_.loadRelaxed();
    if (total > 0) progress_->setValue(int(done_.loadRelaxed() * 1000 / total));
  });
  judge();
}

void StaffScreen::say(const QString& text, bool bad) {
  status_->setText(text);
  status_->setStyleSheet(bad ? QStringLiteral("color: #b00000;") : QString());
}

void StaffScreen::setBusy(bool busy) {
  busy_ = busy;
  for (QPushButton* b : buttons_) b->setEnabled(!busy);
}

void StaffScreen::judge() {
  say(QStringLiteral("Проверка ответов станции…"));
  setBusy(true);
  auto* watcher = new QFutureWatcher<QList<Row>>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    watcher->deleteLater();
    const QList<Row> rows = watcher->result();
    table_->setRowCount(int(rows.size()));
    int participants = 0, incomplete = 0;
    for (int i = 0; i < rows.size(); ++i) {
      const Row& r = rows[i];
      const QStringList cells{QStringLiteral("Answer_") + r.key, QString::number(r.participants), QString::number(r.complete),
                              QString::number(r.remarks), QString::number(r.incomplete), QString::number(r.answers),
                              megabytes(r.bytes)};
      for (int c = 0; c < cells.size(); ++c) table_->setItem(i, c, new QTableWidgetItem(cells[c]));
      participants += r.participants;
      incomplete += r.incomplete;
    }
    setBusy(false);
    if (rows.isEmpty()) say(QStringLiteral("В папке станции нет ответов."));
    else if (incomplete)
      say(QStringLiteral("На станции %1, из них неполно или с повреждениями: %2.")
              .arg(plural(participants, "участник", "участника", "участников"))
              .arg(incomplete), true);
    else say(QStringLiteral("На станции %1, у всех ответы полностью.").arg(plural(participants, "участник", "участника", "участников")));
  });
  watcher->setFuture(QtConcurrent::run([folder = folder_] { return judgeStation(folder); }));
}

bool StaffScreen::pinGiven() {
  if (!pin::isSet(pinFile_)) {
    say(QStringLiteral("ПИН-код сотрудников не задан при настройке компьютера, поэтому это действие недоступно. "
                       "Задайте его: quorvel-kiosk-setup --pin."), true);
    return false;
  }
  const QString given = askPin();
  if (given.isEmpty()) return false;
  if (!pin::matches(pinFile_, given)) {
    say(QStringLiteral("Неверный ПИН-код. Ничего не сделано."), true);
    return false;
  }
  return true;
}

void StaffScreen::copyToStick() {
  if (busy_ || !pinGiven()) return;
  QString error;
  const QList<Stick> found = sticks(&error);
  if (!error.isEmpty()) return say(QStringLiteral("Не удалось найти флешки: %1.").arg(error), true);
  QList<Stick> usable;
  for (const Stick& s : found)
    if (s.usable()) usable.append(s);
  if (usable.isEmpty())
    return say(found.isEmpty() ? QStringLiteral("Флешка не найдена. Вставьте флешку и нажмите кнопку ещё раз.")
                               : QStringLiteral("Флешка %1 не отформатирована: на ней нет файловой системы. "
                                                "Отформатируйте её на другом компьютере или возьмите другую.")
                                     .arg(found.first().title()),
               true);
  const int chosen = usable.size() == 1 ? 0 : chooseStick(usable);
  if (chosen < 0 || chosen >= usable.size()) return;
  const Stick stick = usable[chosen];
  if (stick.readOnly)
    return say(QStringLiteral("Флешка %1 защищена от записи. Ничего не скопировано.").arg(stick.title()), true);
  const QString where = mount(stick, &error);
  if (where.isEmpty()) return say(QStringLiteral("Не удалось открыть флешку %1: %2.").arg(stick.title(), error), true);

  say(QStringLiteral("Копирование на флешку %1…").arg(stick.title()));
  setBusy(true);
  done_ = 0;
  total_ = 0;
  progress_->setValue(0);
  progress_->show();
  poll_.start();
  struct Outcome {
    check::copy::Result copied;
    int status = 0;
    QString reportError;
  };
  auto* watcher = new QFutureWatcher<Outcome>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, stick] {
    watcher->deleteLater();
    poll_.stop();
    progress_->hide();
    setBusy(false);
    const Outcome o = watcher->result();
    QString error;
    const bool unmounted = unmount(stick, &error);
    if (!o.copied.ok()) return say(check::copy::summary(o.copied), true);
    int participants = 0, files = 0;
    qint64 bytes = 0;
    for (const auto& c : o.copied.stations) files += c.files, bytes += c.bytes;
    for (int r = 0; r < table_->rowCount(); ++r) participants += table_->item(r, 1)->text().toInt();
    QStringList folders;
    for (const auto& c : o.copied.stations) folders << QDir(c.folder).dirName();
    QString text = QStringLiteral("Скопировано и проверено чтением с флешки: %1, %2 (%3) в папку %4 на флешке %5.")
                       .arg(plural(participants, "участник", "участника", "участников"),
                            plural(files, "файл", "файла", "файлов"), megabytes(bytes), folders.join(QStringLiteral(", ")),
                            stick.title());
    if (o.status != check::answers::AllComplete || !o.reportError.isEmpty())
      text += QStringLiteral(" Проверка копии нашла неполные или повреждённые ответы: см. report.html в папке копии.");
    if (!unmounted) return say(text + QStringLiteral(" Флешку не удалось отключить (%1): не вынимайте её, пока не "
                                                     "нажмёте кнопку ещё раз.").arg(error), true);
    staff::powerOff(stick, &error);
    say(text + QStringLiteral(" Флешку можно вынуть."), o.status != check::answers::AllComplete);
  });
  watcher->setFuture(QtConcurrent::run([this, where, folder = folder_] {
    Outcome o;
    const check::scan::Found found = check::scan::find({folder});
    o.copied = check::copy::copyStations(found.places, where, [this](qint64 done, qint64 total) {
      done_ = done;
      total_ = total;
      if (copyProgressHook) copyProgressHook(done, total);
    });
    if (!o.copied.ok()) return o;
    FILE* nowhere = std::fopen("/dev/null", "w");
    for (const auto& c : o.copied.stations) {
      const int one = check::answers::checkCopy(c.folder, nowhere ? nowhere : stderr, &o.reportError);
      if (one != check::answers::AllComplete) o.status = one;
    }
    if (nowhere) std::fclose(nowhere);
    return o;
  }));
}

void StaffScreen::goOn() {
  if (busy_) return;
  emit ended(GoOn);
}

void StaffScreen::powerOff() {
  if (busy_ || !pinGiven()) return;
  QString error;
  if (!powerOffComputer(&error)) return say(QStringLiteral("Компьютер не выключается: %1.").arg(error), true);
  say(QStringLiteral("Компьютер выключается…"));
  emit ended(PoweredOff);
}

void StaffScreen::reboot() {
  if (busy_ || !pinGiven()) return;
  QString error;
  if (!rebootComputer(&error)) return say(QStringLiteral("Компьютер не перезагружается: %1.").arg(error), true);
  say(QStringLiteral("Компьютер перезагружается…"));
  emit ended(PoweredOff);
}

void StaffScreen::leave() {
  if (busy_ || !pinGiven()) return;
  emit ended(LeaveSession);
}

namespace {

// A dialog of the staff screen: framed by hand (no window manager draws a
// frame in the exam session), large type, its question above and OK/Cancel
// buttons named okText and "Отмена" below what the caller puts between.
struct StaffDialog {
  QDialog dialog;
  QVBoxLayout* layout;
  StaffDialog(QWidget* parent, const QString& title, const QString& question, int width) : dialog(parent) {
    dialog.setWindowTitle(title);
    dialog.setStyleSheet(QStringLiteral("QDialog { border: 2px solid #404040; }"));
    QFont font = dialog.font();
    font.setPointSize(14);
    dialog.setFont(font);
    dialog.setMinimumWidth(width);
    layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(question, &dialog));
  }
  bool exec(const QString& okText) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(okText);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted;
  }
};

}  // namespace

QString StaffScreen::askPinDialog() {
  StaffDialog d(this, QStringLiteral("ПИН-код сотрудника"), QStringLiteral("Введите ПИН-код сотрудника:"), 420);
  auto* edit = new QLineEdit(&d.dialog);
  edit->setObjectName(QStringLiteral("pin"));
  edit->setEchoMode(QLineEdit::Password);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}")), edit));
  d.layout->addWidget(edit);
  return d.exec(QStringLiteral("ОК")) ? edit->text() : QString();
}

int StaffScreen::chooseStickDialog(const QList<Stick>& sticks) {
  StaffDialog d(this, QStringLiteral("Выбор флешки"),
                QStringLiteral("Вставлено несколько флешек. Выберите, на какую копировать:"), 560);
  auto* list = new QListWidget(&d.dialog);
  for (const Stick& s : sticks) list->addItem(s.title());
  list->setCurrentRow(0);
  d.layout->addWidget(list);
  return d.exec(QStringLiteral("Копировать")) ? list->currentRow() : -1;
}

}  // namespace staff
