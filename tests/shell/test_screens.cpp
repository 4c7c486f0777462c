// Every screen and every hand: the station built smaller for a small screen,
// worked with the keyboard alone, and named for a screen reader.
#include <QAccessible>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "modal.h"
#include "test_deliverable.h"
#include "toolkit/guard.h"
#include "toolkit/keyboard.h"
#include "toolkit/kiosk.h"
#include "window/main.h"
#include "toolkit/names.h"
#include "toolkit/screenfit.h"
#include "stages/FiveSec.h"
#include "stages/Instruction.h"
#include "stages/RecStudID.h"
#include "stages/TestHard.h"
#include "stages/TestRTF.h"
#include "station_driver.h"
#include "station_fixture.h"
#include "synthetic_device.h"
#include "textview/richview.h"

namespace {

// The name a screen reader says for w.
QString accessibleName(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  return iface ? iface->text(QAccessible::Name) : QString();
}

QWidget* focused() { return frmMain ? frmMain->focusWidget() : nullptr; }
QString focusedName() { return focused() ? focused()->objectName() : QStringLiteral("(none)"); }

// A key pressed where the keyboard is, as a person presses it.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* target = QApplication::activeModalWidget() ? QApplication::focusWidget() : focused();
  QVERIFY2(target, "no control has the keyboard");
  QTest::keyClick(target, Qt::Key(key), modifiers);
}

// What the equipment check leaves behind, without going through it.
void setCheckedStation() {
  const auto subject = station::names::readSubjectFile(station::names::subjectFile());
  frmMain->SubjLine2 = subject.line2;
  frmMain->SubjLine3 = subject.line3;
  frmMain->AnswerKey = station::names::answerKey(subject.line3, subject.line2, "5", "12", "1");
  frmMain->ParticipantCode = QStringLiteral("2751234567897");
  if (!test::flat()) frmMain->KimVariant = QStringLiteral("1");
}

}  // namespace

class TestScreens : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { station::installKeyboardRules(); }
  void cleanup() {
    station::screen::setFactor(1.0);
    textview::RichView::setTextScale(1.0);
  }

  // The exam room session draws the station as large as the screen holds,
  // in quarter steps, never smaller than designed.
  void kioskScale_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<double>("factor");
    QTest::newRow("1920x1080") << QSize(1920, 1080) << 1.5;
    QTest::newRow("1280x1024") << QSize(1280, 1024) << 1.25;
    QTest::newRow("1024x768") << QSize(1024, 768) << 1.0;
    QTest::newRow("1366x768: not 1.25 high") << QSize(1366, 768) << 1.0;
    QTest::newRow("1920x1200: not 1.75 high") << QSize(1920, 1200) << 1.5;
    QTest::newRow("2560x1440") << QSize(2560, 1440) << 2.0;
    QTest::newRow("800x600: smaller than designed") << QSize(800, 600) << 1.0;
  }
  void kioskScale() {
    QFETCH(QSize, screen);
    QFETCH(double, factor);
    QCOMPARE(station::kiosk::scaleFor(screen, station::screen::kDesignSize), factor);
  }

  // Return and Enter press a focused button once; not with a modifier, not
  // a held key, not a disabled button; a dialog's button once, not twice.
  void enterPressesTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("inDialog");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Return") << int(Qt::Key_Return) << 0 << false << true << false << 1;
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false << true << false << 1;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << false << true << false << 0;
    QTest::newRow("held Return") << int(Qt::Key_Return) << 0 << true << true << false << 0;
    QTest::newRow("disabled") << int(Qt::Key_Return) << 0 << false << false << false << 0;
    QTest::newRow("a box's button") << int(Qt::Key_Return) << 0 << false << true << true << 1;
  }
  void enterPressesTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, autoRepeat);
    QFETCH(bool, enabled);
    QFETCH(bool, inDialog);
    QFETCH(int, clicks);
    QWidget plain;
    QMessageBox box;
    QAbstractButton* button = nullptr;
    QAbstractButton* other = nullptr;
    if (inDialog) {
      other = box.addButton(QStringLiteral("Первая"), QMessageBox::AcceptRole);
      button = box.addButton(QStringLiteral("Вторая"), QMessageBox::RejectRole);
      box.show();
    } else {
      other = new QPushButton(QStringLiteral("Первая"), &plain);
      button = new QPushButton(QStringLiteral("Вторая"), &plain);
      button->move(0, 40);
      plain.show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(button->window()));
    button->window()->activateWindow();
    button->setFocus();
    button->setEnabled(enabled);
    int pressed = 0, otherPressed = 0;
    connect(button, &QAbstractButton::clicked, [&] { ++pressed; });
    connect(other, &QAbstractButton::clicked, [&] { ++otherPressed; });
    QKeyEvent down(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), QString(), autoRepeat);
    QApplication::sendEvent(button, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::KeyboardModifiers(modifiers), QString(), autoRepeat);
    QApplication::sendEvent(button, &up);
    QCOMPARE(pressed, clicks);
    QCOMPARE(otherPressed, 0);
  }

  // Every stage, at full size and on a small screen: the window and every
  // shown control inside it (the seconds left too), the keyboard at the
  // stage's first control, Tab leaving each text view without typing into
  // it, and a name for every button, field and view.
  void everyStage_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("first");
    const QList<QPair<int, QString>> stages{
        {1, "btnRecTest"}, {5, "Edit3"},      {6, "btnRecID"},     {10, "RichEdit1"},
        {11, "RichEdit1"}, {20, "RichEdit1"}, {21, "RichEdit1"},   {30, "RichEdit1"},
        {31, "RichEdit1"}, {40, "Button1"},   {50, "Button1"},     {0, "RichEdit1"}};
    for (double f : {1.0, 0.787})
      for (const auto& [code, first] : stages)
        QTest::addRow("%s %s", code ? qPrintable(QString::number(code)) : "text check window",
                      f == 1.0 ? "full size" : "800x600")
            << code << f << first;
  }
  void everyStage() {
    QFETCH(int, code);
    QFETCH(double, factor);
    QFETCH(QString, first);
    station::screen::setFactor(factor);
    textview::RichView::setTextScale(factor);
    test::installSyntheticDevice()->setSpeed(8.0);
    test::StationFixture fx(0.01);
    test::ModalAnswerer boxes;
    fx.startStation();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    setCheckedStation();
    QWidget* window = frmMain;
    if (code == 0) {
      // The text check window, as the equipment check shows it (here without its own loop).
      frmTestRTF->RichEdit1->loadFromFile(station::names::testTextFile());
      frmTestRTF->show();
      QVERIFY(QTest::qWaitForWindowExposed(frmTestRTF));
      window = frmTestRTF;
      QCOMPARE(frmTestRTF->size(), QSize(station::screen::scaled(1015), station::screen::scaled(712)));
    } else {
      station::guarded([code] { frmMain->StartFrame(code); });
      QVERIFY(CurrentFrame);
      QCOMPARE(frmMain->size(), QSize(station::screen::scaled(1016), station::screen::scaled(713)));
    }
    QWidget* root = code == 0 ? static_cast<QWidget*>(frmTestRTF) : CurrentFrame.data();
    QCOMPARE(window->focusWidget() ? window->focusWidget()->objectName() : QString(), first);

    const QRect inside = window->rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (!w->isVisible() || w->isWindow()) continue;
      QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
      // The seconds label is drawn wider than the window; its text must fit.
      if (w == frmMain->lblProcessTime)
        r.setWidth(w->fontMetrics().horizontalAdvance(QStringLiteral("240 сек.")));
      QVERIFY2(inside.contains(r), qPrintable(w->objectName()));
    }

    for (QWidget* w : root->findChildren<QWidget*>()) {
      if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QTextEdit*>(w))
        continue;
      QVERIFY2(!accessibleName(w).isEmpty(), qPrintable(w->objectName()));
    }

    for (auto* view : root->findChildren<textview::RichView*>()) {
      if (!view->isVisible()) continue;
      view->setFocus();
      const QString before = view->toPlainText();
      QTest::keyClick(view, Qt::Key_Tab);
      QVERIFY(window->focusWidget() != view);
      QCOMPARE(view->toPlainText(), before);
    }
    if (code == 0) frmTestRTF->hide();
  }

  // The equipment check, the code entry and the spoken code from the
  // keyboard alone: Return and Tab, digits typed into the fields.
  void keyboardAlone() {
    auto* dev = test::installSyntheticDevice();
    dev->setSpeed(8.0);
    dev->setTone(1000.0, 0.5);
    test::StationFixture fx(0.05);
    test::ModalAnswerer boxes;
    fx.startStation();
    QVERIFY(QTest::qWaitForWindowActive(frmMain));
    // Record, stop and "Да" with Return alone: the keyboard goes from the
    // record button to "Да" and back.
    const auto recordAndAccept = [&](const char* recordButton) {
      QCOMPARE(focusedName(), recordButton);
      press(Qt::Key_Return);
      QVERIFY(dev->waitCaptured(44100, 10000));
      test::pump(400);
      press(Qt::Key_Return);
      QCOMPARE(focusedName(), "Button4");
      press(Qt::Key_Return);
      QCOMPARE(focusedName(), recordButton);
    };
    // The recording check.
    recordAndAccept("btnRecTest");
    if (QTest::currentTestFailed()) return;
    // The text check: the window opens, Tab leaves its text for "Закрыть".
    press(Qt::Key_Tab);
    QCOMPARE(focusedName(), "btnTestRTF");
    QString inWindow;
    QTimer::singleShot(0, [&] {
      if (!test::waitFor([] { return frmTestRTF->isVisible(); }, 3000)) return;
      QTest::qWaitForWindowActive(frmTestRTF);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      inWindow = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    press(Qt::Key_Return);
    QCOMPARE(inWindow, "Button1");
    QVERIFY(!frmTestRTF->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(frmMain));
    QCOMPARE(focusedName(), "Button7");
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), "btnTestRTF");
    // The three codes, then the finishing button.
    for (const char* digits : {"5", "12", "1"}) {
      press(Qt::Key_Tab);
      test::type(focused(), digits);
    }
    QCOMPARE(focusedName(), "edtCompCode");
    test::pump(50);
    press(Qt::Key_Tab);
    QCOMPARE(focusedName(), "Button1");
    press(Qt::Key_Return);
    // The code entry.
    QVERIFY(test::stage<TfrmInstruction>());
    QCOMPARE(focusedName(), "Edit3");
    test::type(focused(), "1234567897");
    press(Qt::Key_Tab);
    QCOMPARE(focusedName(), "Button1");
    press(Qt::Key_Return);
    // The spoken code: record, stop, "Да", then back to the leave button.
    QVERIFY(test::stage<TfrmRecStudID>());
    QCOMPARE(frmMain->ParticipantCode, "2751234567897");
    recordAndAccept("btnRecID");
    if (QTest::currentTestFailed()) return;
    test::pump(50);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focusedName(), "Button1");
    press(Qt::Key_Return);
    QVERIFY(test::waitFor([] { return CurrentFrame && CurrentFrame->objectName() == "frmPrepare1"; }));
  }

  // The countdown's panel lies inside the window's border of 2 pixels; a
  // click counts when the button is let go over it.
  void countdownPanelAndClick() {
    test::installSyntheticDevice();
    test::StationFixture fx;
    test::ModalAnswerer boxes;
    fx.startStation();
    _FiveSec->show();
    QVERIFY(QTest::qWaitForWindowExposed(_FiveSec));
    QCOMPARE(_FiveSec->Panel1->geometry(), _FiveSec->rect().adjusted(2, 2, -2, -2));
    const QPoint centre = _FiveSec->Panel1->rect().center();
    QTest::mousePress(_FiveSec->Panel1, Qt::LeftButton, {}, centre);
    QCOMPARE(_FiveSec->CountdownValue, 3);
    QTest::mouseRelease(_FiveSec->Panel1, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(_FiveSec->CountdownValue, 3);  // let go outside: no click
    QTest::mousePress(_FiveSec->Panel1, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(_FiveSec->Panel1, Qt::LeftButton, {}, centre);
    QCOMPARE(_FiveSec->CountdownValue, 0);
    _FiveSec->hide();
  }
};

QTEST_MAIN(TestScreens)
#include "test_screens.moc"
