// Driving a started station through its own controls, as the organiser and
// the participant do: typing into code fields, passing the equipment check,
// waiting for a stage. Header-only.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "modal.h"
#include "toolkit/guard.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "stages/TestRTF.h"
#include "synthetic_device.h"

namespace test {

// Types text into field key by key (the field's own key filter applies).
inline void type(QWidget* field, const QString& text) {
  for (QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The current stage once it is a frame of class F (null after timeoutMs).
template <class F>
F* stage(int timeoutMs = 5000) {
  F* frame = nullptr;
  waitFor([&] { return (frame = qobject_cast<F*>(CurrentFrame.data())) != nullptr; }, timeoutMs);
  return frame;
}

// Passes the equipment check with its own controls when stage 1 is there:
// test recording accepted, text display accepted, the codes 5, 12 and 1
// typed. Without it, sets what the check leaves behind (codes, subject lines,
// answer folder name, status bar) and enters stage 5 as the check does.
inline void passEquipmentCheck(SyntheticDevice* dev) {
  QWidget* check = CurrentFrame.data();
  auto button = [&](const char* name) { return check->findChild<QPushButton*>(name); };
  if (!check || !button("btnRecTest")) {
    const auto subject = station::names::readSubjectFile(station::names::subjectFile());
    frmMain->SubjLine2 = subject.line2;
    frmMain->SubjLine3 = subject.line3;
    frmMain->StationCode = "5";
    frmMain->AudCode = "12";
    frmMain->CompCode = "1";
    frmMain->AnswerKey = station::names::answerKey(frmMain->SubjLine3, frmMain->SubjLine2, frmMain->StationCode,
                                                   frmMain->AudCode, frmMain->CompCode);
    frmMain->Panel1->show();
    station::guarded([] { frmMain->StartFrame(5); });
    return;
  }
  pressRecord(button("btnRecTest"));
  QVERIFY(dev->waitCaptured(44100, 10000));
  pressRecord(button("btnRecTest"));
  QTest::mouseClick(button("Button4"), Qt::LeftButton);
  QTimer::singleShot(0, [] {
    if (waitFor([] { return frmTestRTF->isVisible(); }, 3000))
      QTest::mouseClick(frmTestRTF->findChild<QPushButton*>("Button1"), Qt::LeftButton);
  });
  QTest::mouseClick(button("btnTestRTF"), Qt::LeftButton);
  QTest::mouseClick(button("Button7"), Qt::LeftButton);
  type(check->findChild<QLineEdit*>("edtStationCode"), "5");
  type(check->findChild<QLineEdit*>("edtAudCode"), "12");
  type(check->findChild<QLineEdit*>("edtCompCode"), "1");
  QVERIFY(waitFor([&] { return button("Button1")->isEnabled(); }));
  QTest::mouseClick(button("Button1"), Qt::LeftButton);
}

}  // namespace test
