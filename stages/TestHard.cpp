#include "stages/TestHard.h"

#include <QAction>
#include <QKeyEvent>
#include <QInputMethodEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTimer>

#include "audio/audio.h"
#include "shell/dialogs.h"
#include "shell/guard.h"
#include "shell/idle.h"
#include "shell/main.h"
#include "shell/names.h"
#include "shell/picture.h"
#include "shell/timing.h"
#include "shell/widgets.h"
#include "stages/TestRTF.h"
#include "textview/richview.h"
#include "ui_TestHard.h"

namespace {

const QColor kAccepted(0, 128, 0);
const QColor kRejected(255, 0, 0);

QString recTestCaption() { return QStringLiteral("Проверить качество записи"); }

// The code fields take a typed character only when it is a digit or a
// backspace. Keys that type no character (arrows, Home, Delete, Tab moving
// the focus) are not characters and pass.
bool discardTypedCharacter(QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
      return false;
    default:
      break;
  }
  const QString text = key->text();
  if (text.isEmpty()) return false;
  for (QChar c : text) {
    if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QChar(8)) return true;
  }
  return false;
}

// The field's text is a code when it is neither empty nor exactly "0"; the
// comparison is on the text, so "00" counts as given.
bool codeGiven(const QLineEdit* field) {
  const QString t = field->text();
  return !t.isEmpty() && t != QStringLiteral("0");
}

}  // namespace

// --- TfrmTestHard ---

TfrmTestHard::TfrmTestHard(QWidget* owner) : QFrame(owner), ui_(new Ui::TfrmTestHard) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmTestHard"));
  Action1 = ui_->Action1;
  addAction(Action1);
  station::bindAction(ui_->Button1, Action1);
  Timer1 = station::makeTimer(this, 100);

  ui_->Panel1->setFont(station::arialFont(16, true));
  ui_->lblTestREC->setFont(station::arialFont(16, true));
  ui_->lblTestRTF->setFont(station::arialFont(16, true));
  QFont subject = station::arialFont(13, true);
  subject.setItalic(true);
  subject.setUnderline(true);
  ui_->lblSubj->setFont(subject);
  ui_->lblSubj->setFixedSize(237, 33);
  ui_->Button1->setFont(station::arialFont(19, true));

  for (QWidget* w : {static_cast<QWidget*>(ui_->pnlTestREC), static_cast<QWidget*>(ui_->lblTestREC),
                     static_cast<QWidget*>(ui_->pnlTestRTF), static_cast<QWidget*>(ui_->lblTestRTF),
                     static_cast<QWidget*>(ui_->imgMic), static_cast<QWidget*>(ui_->imgSpeak)})
    w->hide();

  for (QLineEdit* field : {ui_->edtStationCode, ui_->edtAudCode, ui_->edtCompCode})
    field->installEventFilter(this);

  station::onEvent(ui_->btnRecTest, &QPushButton::clicked, this, [this] { btnRecTestClick(); });
  station::onEvent(ui_->Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  station::onEvent(ui_->Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  station::onEvent(ui_->btnTestRTF, &QPushButton::clicked, this, [this] { btnTestRTFClick(); });
  station::onEvent(ui_->Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
  station::onEvent(ui_->Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
  station::onEvent(ui_->Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
  station::onEvent(Action1, &QAction::triggered, this, [this] { Action1Execute(); });
  station::onEvent(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  station::onIdle(this, [this] { Action1Update(); });
  Action1Update();
  // A recording that ended by itself (reported by the recorder) leaves the
  // button ready to record again.
  station::onEvent(frmMain, &TfrmMain::recordingEndedByItself, this, [this] {
    ui_->btnRecTest->setText(recTestCaption());
    ui_->imgMic->hide();
  });
}

TfrmTestHard::~TfrmTestHard() { delete ui_; }

void TfrmTestHard::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  // The top strip spans the frame; the exit button keeps to the top right
  // corner and the finishing button to the bottom centre; the pictures are
  // centred in the whole area under the strip.
  const int w = width();
  const int h = height();
  const int strip = ui_->Panel1->height();
  ui_->Panel1->setGeometry(0, 0, w, strip);
  ui_->Button6->move(w - ui_->Button6->width() - 16, strip + 8);
  ui_->Button1->move((w - ui_->Button1->width()) / 2, h - ui_->Button1->height() - 24);
  const QRect pictures(0, strip, w, std::max(0, h - strip));
  ui_->imgMic->setGeometry(pictures);
  ui_->imgSpeak->setGeometry(pictures);
}

void TfrmTestHard::Start() {
  frmMain->Panel1->hide();
  RecordingCheckPassed = false;
  TextCheckPassed = false;
  // A subject file that cannot be read ends Start here; the checks and the
  // finishing button work all the same, with empty subject lines.
  station::guarded([this] {
    const auto subject = station::names::readSubjectFile(station::names::subjectFile());
    frmMain->SubjLine2 = subject.line2;
    frmMain->SubjLine3 = subject.line3;
    ui_->lblSubj->setText(QStringLiteral("Станция для приема экзамена по:\n\r") + subject.line1);
  });
}

// --- recording check ---

void TfrmTestHard::btnRecTestClick() {
  ui_->imgMic->show();
  RecordingCheckPassed = false;
  ui_->lblTestREC->hide();
  const QString file = station::names::testRecordingFile();
  // The recorder's error boxes run nested event loops, in which the stage
  // may already have been left (the finishing timer): nothing of the frame
  // is touched then.
  QPointer<TfrmTestHard> self(this);
  if (RecordChannel == 0) {
    frmMain->StartRecording(file);
    if (!self) return;
    // After a failed start the caption stays: the next press tries again.
    ui_->btnRecTest->setText(frmMain->isRecording() ? QStringLiteral("Завершить запись и воспроизвести")
                                                    : recTestCaption());
    ui_->imgMic->setVisible(frmMain->isRecording());
    return;
  }
  frmMain->StopRecording(file);
  if (!self) return;
  ui_->btnRecTest->setText(recTestCaption());
  ui_->btnRecTest->setEnabled(false);
  ui_->pnlTestREC->show();
  audio::channelPlay(RecordedStream, true);
  ui_->imgSpeak->show();
  ui_->imgMic->hide();
}

void TfrmTestHard::recordingAnswered(bool accepted) {
  ui_->imgMic->hide();
  ui_->imgSpeak->hide();
  RecordingCheckPassed = accepted;
  audio::channelStop(RecordedStream);
  ui_->pnlTestREC->hide();
  ui_->btnRecTest->setEnabled(true);
  showMark(ui_->lblTestREC, accepted);
}

void TfrmTestHard::Button4Click() { recordingAnswered(true); }
void TfrmTestHard::Button5Click() { recordingAnswered(false); }

// --- text display check ---

void TfrmTestHard::btnTestRTFClick() {
  if (!frmTestRTF) return;  // not created yet: the program is still starting
  frmTestRTF->RichEdit1->loadFromFile(station::names::testTextFile());
  QPointer<TfrmTestHard> self(this);
  frmTestRTF->ShowModal();
  if (!self) return;
  ui_->pnlTestRTF->show();
}

void TfrmTestHard::textAnswered(bool accepted) {
  TextCheckPassed = accepted;
  ui_->pnlTestRTF->hide();
  ui_->btnTestRTF->setEnabled(true);
  showMark(ui_->lblTestRTF, accepted);
}

void TfrmTestHard::Button7Click() { textAnswered(true); }
void TfrmTestHard::Button8Click() { textAnswered(false); }

void TfrmTestHard::showMark(QLabel* mark, bool accepted) {
  mark->setText(accepted ? QStringLiteral("V") : QStringLiteral("X"));
  QPalette palette = mark->palette();
  palette.setColor(QPalette::WindowText, accepted ? kAccepted : kRejected);
  mark->setPalette(palette);
  mark->show();
}

// --- finishing ---

void TfrmTestHard::Action1Update() {
  Action1->setEnabled(RecordingCheckPassed && TextCheckPassed && codeGiven(ui_->edtStationCode) &&
                      codeGiven(ui_->edtAudCode) && codeGiven(ui_->edtCompCode));
}

void TfrmTestHard::Action1Execute() {
  // The stage is switched by the timer, never from inside the action; a
  // second press while the timer runs changes nothing.
  if (!Timer1->isActive()) Timer1->start();
}

void TfrmTestHard::Timer1Timer() {
  Timer1->stop();
  frmMain->StationCode = ui_->edtStationCode->text();
  frmMain->AudCode = ui_->edtAudCode->text();
  frmMain->CompCode = ui_->edtCompCode->text();
  // A corrected subject file takes effect now; a refused one stops here.
  frmMain->rereadSubject();
  // A code field holding a non-number (pasted) ends here with the conversion
  // error; the organiser corrects it and presses the button again.
  const QString key = station::names::answerKey(frmMain->SubjLine3, frmMain->SubjLine2,
                                                frmMain->StationCode, frmMain->AudCode,
                                                frmMain->CompCode);
  // The key becomes a folder name: a subject line or a pasted station number
  // that would make it a path, or no valid folder name, is refused here.
  const struct {
    const QString& value;
    QString what;
  } parts[] = {
      {frmMain->SubjLine3, QStringLiteral("Строка 3 файла %1").arg(station::names::subjectFile())},
      {frmMain->SubjLine2, QStringLiteral("Строка 2 файла %1").arg(station::names::subjectFile())},
      {frmMain->CompCode, QStringLiteral("Номер станции")},
  };
  for (const auto& part : parts) {
    const QString reason = station::names::unsafeNamePart(part.value);
    if (!reason.isEmpty()) {
      dialogs::showMessage(QStringLiteral("%1 не может быть частью имени папки ответов: %2.\n"
                                          "Исправьте и завершите проверку ещё раз.")
                               .arg(part.what, reason));
      return;
    }
  }
  frmMain->AnswerKey = key;
  // Nothing of the check may go on in the next stage: a test recording
  // started in the moment before the timer fired is ended, playback stopped.
  if (RecordChannel != 0) frmMain->StopRecording(station::names::testRecordingFile());
  audio::channelStop(RecordedStream);
  frmMain->Panel1->show();
  frmMain->StartFrame(5);
}

void TfrmTestHard::Button6Click() { frmMain->StopExam(); }

bool TfrmTestHard::edtStationCodeKeyPress(QKeyEvent* key) { return discardTypedCharacter(key); }
bool TfrmTestHard::edtAudCodeKeyPress(QKeyEvent* key) { return discardTypedCharacter(key); }
bool TfrmTestHard::edtCompCodeKeyPress(QKeyEvent* key) { return discardTypedCharacter(key); }

bool TfrmTestHard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    bool discard = false;
    station::guarded([&] {
      if (watched == ui_->edtStationCode) discard = edtStationCodeKeyPress(key);
      else if (watched == ui_->edtAudCode) discard = edtAudCodeKeyPress(key);
      else if (watched == ui_->edtCompCode) discard = edtCompCodeKeyPress(key);
    });
    return discard;
  }
  if (event->type() == QEvent::InputMethod) {
    // Text composed by an input method is typed text too.
    const QString typed = static_cast<QInputMethodEvent*>(event)->commitString();
    for (QChar c : typed)
      if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9'))) return true;
  }
  return QFrame::eventFilter(watched, event);
}
