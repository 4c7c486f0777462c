#include "stages/PlayAnswers.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "window/main.h"
#include "toolkit/handover.h"
#include "toolkit/names.h"
#include "toolkit/participant.h"
#include "toolkit/recordcheck.h"
#include "window/stagecodes.h"
#include "toolkit/widgets.h"
#include "ui_PlayAnswers.h"

namespace names = station::names;

TfrmPlayAnswers::TfrmPlayAnswers(QWidget* owner)
    : StageFrame(owner), ui_(std::make_unique<Ui::TfrmPlayAnswers>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("frmPlayAnswers"));
  Label1 = ui_->Label1;
  btnPlayID = ui_->btnPlayID;
  btnPlay1 = ui_->btnPlay1;
  btnPlay2_1 = ui_->btnPlay2_1;
  btnPlay2_2 = ui_->btnPlay2_2;
  btnPlay2_3 = ui_->btnPlay2_3;
  btnPlay2_4 = ui_->btnPlay2_4;
  btnPlay2_5 = ui_->btnPlay2_5;
  btnPlay3 = ui_->btnPlay3;
  Button1 = ui_->Button1;

  Label1->setFont(station::arialFont(19));
  Label1->adjustSize();
  Button1->setFont(station::arialFont(13));

  for (const auto& [button, suffix] : answers()) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("lblLength_") + button->objectName().mid(7));
    label->setFont(station::arialFont(13, true));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(button->geometry().right() + 12, button->y(), 140, button->height());
    lengthLabels.append(label);
  }

  Timer1 = makeSwitchTimer(100, [this] { Timer1Timer(); });
  on(btnPlayID, &QPushButton::clicked, [this] { btnPlayIDClick(); });
  on(btnPlay1, &QPushButton::clicked, [this] { btnPlay1Click(); });
  on(btnPlay2_1, &QPushButton::clicked, [this] { btnPlay2_1Click(); });
  on(btnPlay2_2, &QPushButton::clicked, [this] { btnPlay2_2Click(); });
  on(btnPlay2_3, &QPushButton::clicked, [this] { btnPlay2_3Click(); });
  on(btnPlay2_4, &QPushButton::clicked, [this] { btnPlay2_4Click(); });
  on(btnPlay2_5, &QPushButton::clicked, [this] { btnPlay2_5Click(); });
  on(btnPlay3, &QPushButton::clicked, [this] { btnPlay3Click(); });
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
}

TfrmPlayAnswers::~TfrmPlayAnswers() = default;

void TfrmPlayAnswers::Start() {
  showStatusBar(false);
  Label1->setText(QStringLiteral("Воспроизвести ответы участника с кодом ") +
                  FormatParticipantCode(frmMain->ParticipantCode));
  Label1->adjustSize();
  // What each button will play, so that a missing answer is seen before it
  // is pressed; the buttons stay usable either way. The lengths are those
  // of the sound that decodes (a header can claim anything), found on a
  // worker thread so that the review answers at once.
  const auto list = answers();
  QStringList files;
  for (qsizetype i = 0; i < list.size(); ++i) {
    files.append(frmMain->answerFile(list[i].second));
    lengthLabels[i]->setText(QStringLiteral("…"));
  }
  station::handover::run(
      this, "answer lengths",
      [files] {
        QList<double> seconds;
        for (const QString& file : files) seconds.append(station::decodedLength(file));
        return seconds;
      },
      [this](const station::handover::Outcome<QList<double>>& lengths) {
        // Lengths that could not be measured stay unknown ("…"), never "no recording".
        if (lengths.ok()) showLengths(this, *lengths.value);
      });
  Button1->setFocus();
}

void TfrmPlayAnswers::showLengths(TfrmPlayAnswers* self, const QList<double>& seconds) {
  for (qsizetype i = 0; i < seconds.size() && i < self->lengthLabels.size(); ++i) {
    QLabel* label = self->lengthLabels[i];
    const bool none = seconds[i] < 0;
    label->setText(none ? QStringLiteral("нет записи") : station::formatLength(seconds[i]));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, none ? QColor(200, 0, 0) : QColor(0, 0, 0));
    label->setPalette(palette);
  }
  self->lengthsShown_ = true;
}

QList<QPair<QPushButton*, QString>> TfrmPlayAnswers::answers() const {
  return {{btnPlayID, names::codeSuffix()},          {btnPlay1, names::taskSuffix(1)},
          {btnPlay2_1, names::questionSuffix(1)},    {btnPlay2_2, names::questionSuffix(2)},
          {btnPlay2_3, names::questionSuffix(3)},    {btnPlay2_4, names::questionSuffix(4)},
          {btnPlay2_5, names::questionSuffix(5)},    {btnPlay3, names::taskSuffix(3)}};
}

void TfrmPlayAnswers::playAnswer(const QPushButton* button) {
  for (const auto& [b, suffix] : answers()) {
    // A missing or unreadable file plays nothing, without a message; the
    // playback before it has been stopped all the same.
    if (b == button) playFile(frmMain->answerFile(suffix));
  }
}

void TfrmPlayAnswers::btnPlayIDClick() { playAnswer(btnPlayID); }
void TfrmPlayAnswers::btnPlay1Click() { playAnswer(btnPlay1); }
void TfrmPlayAnswers::btnPlay2_1Click() { playAnswer(btnPlay2_1); }
void TfrmPlayAnswers::btnPlay2_2Click() { playAnswer(btnPlay2_2); }
void TfrmPlayAnswers::btnPlay2_3Click() { playAnswer(btnPlay2_3); }
void TfrmPlayAnswers::btnPlay2_4Click() { playAnswer(btnPlay2_4); }
void TfrmPlayAnswers::btnPlay2_5Click() { playAnswer(btnPlay2_5); }
void TfrmPlayAnswers::btnPlay3Click() { playAnswer(btnPlay3); }

void TfrmPlayAnswers::Button1Click() {
  stopPlayback();
  requestSwitch(Timer1);
}

void TfrmPlayAnswers::Timer1Timer() { switchStage(stage::Completion); }
