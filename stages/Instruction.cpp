#include "stages/Instruction.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QTimer>

#include "shell/deliverable.h"
#include "shell/dialogs.h"
#include "shell/guard.h"
#include "shell/main.h"
#include "shell/names.h"
#include "shell/participant.h"
#include "shell/timing.h"
#include "shell/widgets.h"
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
    : QFrame(parent), ui_(std::make_unique<Ui::TfrmInstruction>()) {
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

  Timer1 = station::makeTimer(this, 100);
  Timer1->setSingleShot(true);

  Edit3->installEventFilter(this);
  station::onEvent(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  station::onEvent(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  station::onEvent(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

TfrmInstruction::~TfrmInstruction() = default;

void TfrmInstruction::Start() {
  frmMain->Panel1->hide();
  Edit3->setFocus();
  Edit3->setText(QStringLiteral("275"));
  // Loaded last: an instruction that cannot be loaded is reported, and the
  // code entry is set up as after a good load all the same.
  RichEdit1->loadFromFile(station::names::instructionFile());
}

bool TfrmInstruction::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit3 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Only keys that type a character are filtered; Delete and the cursor
    // keys edit the field as usual.
    if (!key->text().isEmpty() && key->key() != Qt::Key_Delete) {
      QChar c = key->text().at(0);
      bool discard = false;
      station::guarded([&] {
        Edit3KeyPress(c);
        discard = c.isNull();
      });
      if (discard) return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

void TfrmInstruction::Edit3KeyPress(QChar& Key) {
  const bool digit = Key >= QLatin1Char('0') && Key <= QLatin1Char('9');
  if (!digit && Key != QChar(8)) Key = QChar();
}

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
#ifndef QUORVEL_FLAT
    frmMain->KimVariant = code.mid(3, 1);
#endif
    Timer1->start();
  } else {
    dialogs::showMessage(QStringLiteral("Некорректный код участника!") + reasons);
  }
}

void TfrmInstruction::Timer1Timer() {
  Timer1->stop();
  frmMain->Panel1->show();
  frmMain->StartFrame(6);
}

void TfrmInstruction::Button2Click() {
  if (dialogs::confirm(QStringLiteral("Завершить прием экзамена на станции?"))) frmMain->StopExam();
}
