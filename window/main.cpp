#include "window/main.h"

#include <errno.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLockFile>
#include <QPalette>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "toolkit/deliverable.h"
#include "toolkit/dialogs.h"
#include "toolkit/freespace.h"
#include "toolkit/guard.h"
#include "toolkit/durable.h"
#include "toolkit/journal.h"
#include "toolkit/handover.h"
#include "toolkit/stationfolder.h"
#include "toolkit/levelmeter.h"
#include "toolkit/names.h"
#include "toolkit/screenfit.h"
#include "toolkit/oserror.h"
#include "window/stagecodes.h"
#include "window/stages.h"
#include "toolkit/widgets.h"
#include "textview/richview.h"

TfrmMain* frmMain = nullptr;
QPointer<QWidget> CurrentFrame;
quintptr MainWindowHandle = 0;

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Станция записи устных ответов ТАВРЭ - 2017"));
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  // On a small screen the whole station is built smaller (toolkit/screenfit.h).
  station::screen::scaleTree(this, true);
  resize(station::screen::scaled(station::screen::kDesignSize.width()),
         station::screen::scaled(station::screen::kDesignSize.height()));
  // Never off screen, even where the window is larger than the screen.
  move(station::screen::centredOnScreen(size()));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  stageArea_ = new QWidget(this);
  stageArea_->setObjectName(QStringLiteral("stageArea"));
  auto* stageLayout = new QVBoxLayout(stageArea_);
  stageLayout->setContentsMargins(0, 0, 0, 0);
  stageLayout->setSpacing(0);
  layout->addWidget(stageArea_, 1);
  buildStatusBar();
  station::screen::scaleTree(Panel1);
  layout->addWidget(Panel1);

  recorder_ = new station::Recorder(this);
  connect(recorder_, &station::Recorder::endedByItself, this, &TfrmMain::recordingEndedByItself);
  connect(recorder_, &station::Recorder::checked, this, &TfrmMain::recordingChecked);
  connect(recorder_, &station::Recorder::failed, this, [this](const QString& message, int code) {
    if (code == station::Recorder::kPlain) dialogs::showMessage(message);
    else ShowError(message, code);
  });
  connect(recorder_, &station::Recorder::meterActive, this, &TfrmMain::showLevelMeter);
  connect(recorder_, &station::Recorder::silenceChanged, this, &TfrmMain::showSoundWarning);

  frmMain = this;
  try {
    FormCreate();
  } catch (...) {
    frmMain = nullptr;
    destroyed_ = true;  // nothing was opened yet
    throw;
  }
}

TfrmMain::~TfrmMain() {
  FormDestroy();
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::buildStatusBar() {
  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setFixedHeight(50);

  // Right-aligned: the text ends where the gauge begins and grows to the left.
  lblProcessName = new QLabel(QStringLiteral("Подготовка:"), Panel1);
  lblProcessName->setObjectName(QStringLiteral("lblProcessName"));
  lblProcessName->setFont(station::arialFont(21, true));
  lblProcessName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblProcessName->setGeometry(2, 14, 326 + 128 - 2, 24);

  ProcessBar = new QProgressBar(Panel1);
  ProcessBar->setObjectName(QStringLiteral("ProcessBar"));
  ProcessBar->setTextVisible(false);
  ProcessBar->setRange(0, 90);
  ProcessBar->setValue(0);
  ProcessBar->setGeometry(456, 17, 401, 20);

  lblProcessTime = new QLabel(QStringLiteral("lblProcessTime"), Panel1);
  lblProcessTime->setObjectName(QStringLiteral("lblProcessTime"));
  lblProcessTime->setFont(station::arialFont(24, true));
  lblProcessTime->setGeometry(872, 11, 177, 29);
}

void TfrmMain::FormCreate() {
  // Background work (checks, hashes) is taken from now until the station ends.
  station::handover::open();
  StationDir = QDir::fromNativeSeparators(station::stationfolder::current());
  if (!StationDir.endsWith(QLatin1Char('/'))) StationDir += QLatin1Char('/');
  CanExit = false;
  PrepTime1 = 90;
  AnswerTime1 = station::deliverable().answerTime1;
  PrepTime2 = 60;
  AnswerTime2 = station::deliverable().answerTime2;
  PrepTime3 = station::deliverable().prepTime3;
  AnswerTime3 = station::deliverable().answerTime3;
  ParticipantCode = QStringLiteral("1234567890123");
  // Room for the longest answer, in whole minutes of the encoder's output.
  recorder_->setRoomNeeded((qint64(std::max(AnswerTime1, AnswerTime3)) + 59) / 60 * station::kEncoderBytesPerMinute);
  // The deliverable's own name, not the file's: a program renamed or copied
  // under another name still tells which answer times it kept.
  station::journal::write(QStringLiteral("station-start"),
                          QStringLiteral("%1; station folder %2; program %3")
                              .arg(QLatin1String(station::deliverable().program), QDir::toNativeSeparators(StationDir),
                                   QDir::toNativeSeparators(QCoreApplication::applicationFilePath())));

  if ((audio::version() >> 16) != 0x0204) {
    dialogs::showFatalBox(QStringLiteral("An incorrect version of BASS.DLL was loaded"));
    throw StartupAborted{1};
  }

  MainWindowHandle = static_cast<quintptr>(winId());

  // The output device is opened only when the recording device could be.
  if (!audio::recordInit(-1) || !audio::init(-1, 44100, 0, MainWindowHandle)) {
    ShowError(QStringLiteral("Can't initialize device"));
    // The request is refused (CanExit is false): the station goes on without sound.
    close();
  }

  if (CurrentFrame) {
    delete CurrentFrame.data();
    CurrentFrame = nullptr;
  }
  station::guarded([this] { StartFrame(stage::EquipmentCheck); });
}

void TfrmMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // Checks and hashes still running are waited for, so that their manifest
  // and journal lines are written before the journal ends. A check takes
  // well under a second; the bound only keeps a hung disk from holding the
  // station.
  if (!station::handover::finish(kFinishWorkMs))
    station::journal::write(QStringLiteral("work-unfinished"), QStringLiteral("checks still running at the end"));
  station::journal::write(QStringLiteral("station-end"));
  if (CurrentFrame) {
    delete CurrentFrame.data();
    CurrentFrame = nullptr;
  }
  audio::recordFree();
  audio::free();
  audio::stop();
  recorder_->release();
}

void TfrmMain::StartFrame(int StageCode) {
  if (QWidget* old = CurrentFrame.data()) {
    // The old frame is hidden and inert before the new one exists; it is
    // released by the event loop, since one of its handlers is usually on
    // the call stack right now.
    CurrentFrame = nullptr;
    old->hide();
    old->setEnabled(false);
    for (QTimer* t : old->findChildren<QTimer*>()) t->stop();
    if (auto* stage = dynamic_cast<station::SwitchedFrame*>(old)) stage->leaveStage();
    old->deleteLater();
  }
  // Whatever stage is left, nothing of its sound goes on into the next one:
  // a running recording is finished, playback stopped.
  endStageSound();
  const station::StageEntry* entry = station::findStage(StageCode);
  station::journal::setStage(StageCode);
  station::journal::write(QStringLiteral("stage"), entry ? QString() : QStringLiteral("no such stage"));
  if (!entry) return;
  QWidget* frame = entry->create(this);
  CurrentFrame = frame;
  PlaceFrame(frame);
  entry->start(frame);
}

void TfrmMain::PlaceFrame(QWidget* frame) {
  frame->setParent(stageArea_);
  frame->move(0, 0);
  station::screen::scaleTree(frame);
  stageArea_->layout()->addWidget(frame);
  frame->show();
  // The keyboard starts at the stage's first control; its Start may choose another.
  if (auto* stage = dynamic_cast<station::SwitchedFrame*>(frame))
    if (QWidget* first = stage->firstControl()) first->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::StopExam() {
  if (CurrentFrame) CurrentFrame->hide();
  CanExit = true;
  close();
}

bool TfrmMain::FormCloseQuery() { return CanExit; }

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) event->accept();
  else event->ignore();
}

void TfrmMain::ShowError(const QString& message) { ShowError(message, audio::errorGetCode()); }

void TfrmMain::ShowError(const QString& message, int errorCode) {
  // One pass over the format: a "%1" inside the message stays as it is.
  dialogs::showErrorBox(this, QStringLiteral("%1\n(error code: %2)").arg(message, QString::number(errorCode)));
}

QString TfrmMain::kimVariant() const { return station::deliverable().flat() ? QString() : KimVariant; }

QString TfrmMain::answerFolder() const { return station::names::answerFolder(StationDir, AnswerKey); }

QString TfrmMain::participantFolder() const {
  return station::names::participantFolder(StationDir, AnswerKey, ParticipantCode);
}

QString TfrmMain::answerFile(const QString& suffix) const {
  return station::names::answerFile(StationDir, AnswerKey, ParticipantCode, suffix);
}

void TfrmMain::warnAboutSpace(qint64 needed) {
  // The code recording is not timed: a minute is allowed for it.
  const int seconds = 60 + AnswerTime1 + 5 * AnswerTime2 + AnswerTime3;
  const station::SpaceEstimate e = station::estimateSpace(station::spaceFolder(answerFolder(), StationDir), seconds);
  station::journal::write(QStringLiteral("free-space"),
                          QStringLiteral("%1 bytes free; %2 bytes a participant; room for %3")
                              .arg(e.freeBytes)
                              .arg(e.perParticipant)
                              .arg(e.participants));
  const QString warning = station::spaceWarning(e, needed);
  if (!warning.isEmpty()) dialogs::showMessage(warning);
}

QString TfrmMain::readSubject() {
  const station::names::Subject subject = station::names::readSubjectFile(station::names::subjectFile());
  SubjLine2 = subject.line2;
  SubjLine3 = subject.line3;
  return subject.line1;
}

QString TfrmMain::rereadSubject() {
  // A missing file was told when the check started; the station then works
  // with empty subject lines, as it always has.
  if (!QFileInfo::exists(station::names::subjectFile())) return {};
  return readSubject();
}

// --- the recorder's operations, forwarded ---

void TfrmMain::StartRecording(const QString& file) {
  // Each answer, once checked, goes into the checksum manifest beside its folder.
  recorder_->setManifest(StationDir, AnswerKey);
  recorder_->start(file);
}
void TfrmMain::StopRecording(const QString& file) { recorder_->stop(file); }
void TfrmMain::endStageSound() { recorder_->endSound(); }
bool TfrmMain::isRecording() const { return recorder_->isRecording(); }
int TfrmMain::lastRecordingId() const { return recorder_->lastId(); }

void TfrmMain::endOnSignal() {
  recorder_->endOnSignal();
  CanExit = true;
}

void TfrmMain::setLevelMeterShown(bool shown) { recorder_->setMeterShown(shown); }

// The level bar over the top right corner, free of every recording
// screen's controls; the recorder feeds it while a recording runs.
void TfrmMain::showLevelMeter(bool on) {
  if (!levelMeter_) {
    levelMeter_ = new station::LevelMeter(this);
    levelMeter_->hide();
    recorder_->setMeter(levelMeter_);
  }
  levelMeter_->reset();
  levelMeter_->setGeometry(width() - kMeterWidth - 8, 6, kMeterWidth, kMeterHeight);
  levelMeter_->setVisible(on);
  if (on) levelMeter_->raise();
}

QString TfrmMain::soundWarningText() {
  return QStringLiteral("Микрофон не передаёт звук. Поднимите руку: организатор проверит гарнитуру.");
}

// White on red, where no recording screen has anything to read: over the
// status bar's caption (the gauge and the seconds left stay in view), or,
// on the screens without a status bar (the code recording, the equipment
// check), in the band between their buttons and the microphone picture.
// The recording goes on under it.
void TfrmMain::showSoundWarning(bool on) {
  if (!soundWarning_) {
    soundWarning_ = new QLabel(soundWarningText(), this);
    soundWarning_->setObjectName(QStringLiteral("lblNoSound"));
    soundWarning_->setWordWrap(true);
    soundWarning_->setAlignment(Qt::AlignCenter);
    soundWarning_->setFont(station::arialFont(16, true));
    soundWarning_->setAutoFillBackground(true);
    QPalette p = soundWarning_->palette();
    p.setColor(QPalette::Window, QColor(200, 0, 0));
    p.setColor(QPalette::WindowText, Qt::white);
    soundWarning_->setPalette(p);
    soundWarning_->setAccessibleName(soundWarningText());
    soundWarning_->hide();
  }
  if (!on) {
    soundWarning_->hide();
    return;
  }
  if (Panel1->isVisible()) {
    const int m = station::screen::scaled(2);
    soundWarning_->setGeometry(Panel1->x() + m, Panel1->y() + m, ProcessBar->x() - 2 * m, Panel1->height() - 2 * m);
  } else {
    const int w = station::screen::scaled(480), h = station::screen::scaled(60);
    soundWarning_->setGeometry((width() - w) / 2, station::screen::scaled(158), w, h);
  }
  soundWarning_->show();
  soundWarning_->raise();
}

bool TfrmMain::ensureAnswerFolders(QString* reason) const {
  // One level at a time, answer folder first; the errno of a failed
  // creation is kept for the box that reports it. Each folder made is made
  // durable in its parent.
  for (const QString& folder : {answerFolder(), participantFolder()}) {
    if (QFileInfo(folder).isDir()) continue;
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST) {
      if (reason) *reason = station::systemReason(errno);
      return false;
    }
    if (!QFileInfo(folder).isDir()) {
      // A plain file of that name stands in the way.
      if (reason) *reason = station::systemReason(EEXIST);
      return false;
    }
    // A new folder lasts through a power cut only once its parent is flushed.
    station::durable::syncFolder(QFileInfo(folder).absolutePath());
  }
  return true;
}
