#include "stages/Instruction.h"

#include <QPointer>

#include <QFileInfo>
#include <QTimer>

#include "toolkit/deliverable.h"
#include "toolkit/dialogs.h"
#include "toolkit/journal.h"
#include "toolkit/digitfilter.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "toolkit/participant.h"
#include "window/stagecodes.h"
#include "toolkit/widgets.h"
#include "textview/richview.h"
#include "ui_Instruction.h"

namespace {

// Reasons for refusing a code, in the order of the checks.
const QString kLengthReason = QStringLiteral("Код участника должен состоять из 13 цифр");
const QString kPrefixReason = QStringLiteral("Код участника должен начинаться на 275");
const QString kCheckDigitReason =
    QStringLiteral("Некорректный код участника. Введите код с бланка регистрации");
const QString kAnsweredReason =
    QStringLiteral("Участник с таким кодом уже отвечал на данной станции");
// Each reason is appended after a line feed and a carriage return, in this order.
const QString kReasonBreak = QStringLiteral("\n\r");

}  // namespace

TfrmInstruction::TfrmInstruction(QWidget* parent)
    : StageFrame(parent), ui_(std::make_unique<Ui::TfrmInstruction>()) {
  ui_->setupUi(this);
  RichEdit1 = ui_->RichEdit1;
  Panel1 = ui_->Panel1;
  Label1 = ui_->Label1;
  Edit3 = ui_->Edit3;
  Button1 = ui_->Button1;
  Button2 = ui_->Button2;

  Label1->setFont(station::arialFont(19));
  Edit3->setFont(station::arialFont(27));
  Button1->setFont(station::arialFont(16));

  Timer1 = makeSwitchTimer(100, [this] { Timer1Timer(); });

  station::DigitFilter::install(Edit3, [this](QChar& Key) { Edit3KeyPress(Key); });
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  on(Button2, &QPushButton::clicked, [this] { Button2Click(); });
}

TfrmInstruction::~TfrmInstruction() = default;

void TfrmInstruction::Start() {
  showStatusBar(false);
  // Lines from here on belong to no participant until a code is accepted.
  station::journal::setParticipant({});
  Edit3->setFocus();
  Edit3->setText(QStringLiteral("275"));
  // Loaded last: an instruction that cannot be loaded is reported, and the
  // code entry is set up as after a good load all the same.
  RichEdit1->loadFromFile(station::names::instructionFile());
}

void TfrmInstruction::Edit3KeyPress(QChar& Key) { station::digitKey(Key); }

bool TfrmInstruction::ValidateParticipantCode(const QString& code, QString& reasons) const {
  reasons.clear();
  // The field holds at most 13 characters; a longer text (never typed) is
  // refused as well rather than stored with the extra characters.
  if (code.size() != 13) {
    reasons += kReasonBreak + kLengthReason;
    return false;
  }
  if (!code.startsWith(QStringLiteral("275"))) {
    reasons += kReasonBreak + kPrefixReason;
    return false;
  }
  // Throws ConvertError for a non-digit (only a pasted text can hold one).
  if (station::ean13CheckDigit(code) != station::digitValue(code.at(12))) {
    reasons += kReasonBreak + kCheckDigitReason;
    return false;
  }
  // Only a folder counts as an earlier answer; a plain file of that name does not.
  const QString folder =
      station::names::participantFolder(frmMain->StationDir, frmMain->AnswerKey, code);
  if (QFileInfo(folder).isDir()) {
    reasons += kReasonBreak + kAnsweredReason;
    return false;
  }
  return true;
}

void TfrmInstruction::Button1Click() {
  const QString code = Edit3->text();
  QString reasons;
  if (ValidateParticipantCode(code, reasons)) {
    frmMain->ParticipantCode = code;
    if (!station::deliverable().flat()) frmMain->KimVariant = code.mid(3, 1);
    station::journal::setParticipant(code);
    station::journal::write(QStringLiteral("participant-accepted"), code);
    // The box, if any, comes before the switch: the countdown must not start
    // under it. Nothing on the screen can be pressed meanwhile.
    QPointer<TfrmInstruction> self(this);
    frmMain->warnAboutSpace(1);
    if (!self) return;
    requestSwitch(Timer1);
  } else {
    // A code already answered stays refused; when that exam was cut short
    // (a crash, a power cut) the box says how much of it is on disk.
    QString note;
    if (reasons.endsWith(kAnsweredReason))
      note = station::interruptedExamNote(
          station::answersOnDisk(frmMain->StationDir, frmMain->AnswerKey, code));
    dialogs::showMessage(QStringLiteral("Некорректный код участника!") + reasons +
                         (note.isEmpty() ? QString() : QLatin1Char('\n') + note));
  }
}

void TfrmInstruction::Timer1Timer() {
  showStatusBar(true);
  switchStage(stage::CodeRecording);
}

void TfrmInstruction::Button2Click() {
  if (dialogs::confirm(QStringLiteral("Завершить прием экзамена на станции?"))) frmMain->StopExam();
}
