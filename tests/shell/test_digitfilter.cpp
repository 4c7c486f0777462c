// The digits-only filter of the code fields: what typing, the editing and
// focus keys, the clipboard keys, a paste by other ways and an input method
// leave in a row of three code fields.
#include <QClipboard>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>

#include "toolkit/digitfilter.h"

class TestDigitFilter : public QObject {
  Q_OBJECT

  // Plays keys into whichever field has the focus. Plain characters are
  // typed; {Tab}, {Backtab}, {Back}, {Del}, {Left}, {Home}, {End} are those
  // keys; {^A}, {^C}, {^V} are Ctrl with the letter; {paste} pastes as the
  // context menu does; {ime:TEXT} commits TEXT through an input method.
  static void play(QWidget* window, const QString& keys) {
    static const QHash<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> named = {
        {"Tab", {Qt::Key_Tab, Qt::NoModifier}},      {"Backtab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {"Back", {Qt::Key_Backspace, Qt::NoModifier}}, {"Del", {Qt::Key_Delete, Qt::NoModifier}},
        {"Left", {Qt::Key_Left, Qt::NoModifier}},    {"Home", {Qt::Key_Home, Qt::NoModifier}},
        {"End", {Qt::Key_End, Qt::NoModifier}},      {"^A", {Qt::Key_A, Qt::ControlModifier}},
        {"^C", {Qt::Key_C, Qt::ControlModifier}},    {"^V", {Qt::Key_V, Qt::ControlModifier}},
    };
    for (int i = 0; i < keys.size(); ++i) {
      auto* field = qobject_cast<QLineEdit*>(window->focusWidget());
      QVERIFY(field);
      if (keys[i] != QLatin1Char('{')) {
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(keys[i]), Qt::NoModifier);
        continue;
      }
      const int end = keys.indexOf(QLatin1Char('}'), i);
      const QString token = keys.mid(i + 1, end - i - 1);
      i = end;
      if (token == "paste") {
        field->paste();
      } else if (token.startsWith("ime:")) {
        QInputMethodEvent commit;
        commit.setCommitString(token.mid(4));
        QApplication::sendEvent(field, &commit);
      } else {
        QVERIFY2(named.contains(token), qPrintable(token));
        QTest::keyClick(field, named[token].first, named[token].second);
      }
    }
  }

 private slots:
  void editing_data() {
    QTest::addColumn<QString>("start");      // text of the middle field, which has the focus
    QTest::addColumn<int>("maxLength");      // of the middle field
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("fields");     // the three texts, joined by "|"
    QTest::addColumn<int>("focused");        // 0, 1, 2
    QTest::newRow("digits") << "" << 13 << "" << "1234" << "|1234|" << 1;
    QTest::newRow("letters, signs, blank, cyrillic") << "" << 13 << "" << "1a -ж+.2/" << "|12|" << 1;
    QTest::newRow("non-Latin digits") << "" << 13 << "" << QString::fromUtf8("\u0663" "4\uff15") << "|4|" << 1;
    QTest::newRow("max length") << "" << 4 << "" << "12345" << "|1234|" << 1;
    QTest::newRow("backspace") << "" << 13 << "" << "12{Back}3" << "|13|" << 1;
    QTest::newRow("Home, End, Left, Delete") << "123" << 13 << "" << "{Home}9{End}{Left}{Del}8" << "|9128|" << 1;
    QTest::newRow("Tab moves on") << "1" << 13 << "" << "{Tab}5" << "|1|5" << 2;
    QTest::newRow("Shift+Tab moves back") << "1" << 13 << "" << "{Backtab}5" << "5|1|" << 0;
    QTest::newRow("Ctrl+A selects all") << "987" << 13 << "" << "{^A}1" << "|1|" << 1;
    QTest::newRow("Ctrl+C copies") << "987" << 13 << "" << "{^A}{^C}{Tab}{^V}" << "|987|987" << 2;
    QTest::newRow("Ctrl+V pastes digits") << "12" << 13 << "456" << "{^V}" << "|12456|" << 1;
    QTest::newRow("paste replaces the selection") << "99" << 13 << "12" << "{^A}{^V}" << "|12|" << 1;
    QTest::newRow("paste cut to the max length") << "12" << 4 << "3456" << "{^V}" << "|1234|" << 1;
    QTest::newRow("paste with a letter refused") << "12" << 13 << "4a6" << "{^V}" << "|12|" << 1;
    QTest::newRow("paste of the display form refused") << "" << 13 << "275-123-456-78-97" << "{^V}" << "||" << 1;
    QTest::newRow("paste with a backspace character refused") << "" << 13 << "1\b2" << "{^V}" << "||" << 1;
    QTest::newRow("paste with a line break refused") << "" << 13 << "12\n" << "{^V}" << "||" << 1;
    QTest::newRow("menu paste with a letter refused") << "1" << 13 << "x" << "{paste}" << "|1|" << 1;
    QTest::newRow("input method digits") << "1" << 13 << "" << "{ime:23}" << "|123|" << 1;
    QTest::newRow("input method text refused") << "1" << 13 << "" << "{ime:2я}" << "|1|" << 1;
  }
  void editing() {
    QFETCH(QString, start);
    QFETCH(int, maxLength);
    QFETCH(QString, clipboard);
    QFETCH(QString, keys);
    QFETCH(QString, fields);
    QFETCH(int, focused);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    QList<QLineEdit*> edits;
    for (int i = 0; i < 3; ++i) {
      edits << new QLineEdit(&window);
      layout->addWidget(edits.last());
      station::DigitFilter::install(edits.last(), station::digitKey);
    }
    edits[1]->setMaxLength(maxLength);
    edits[1]->setText(start);
    QGuiApplication::clipboard()->setText(clipboard);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edits[1]->setFocus();
    play(&window, keys);
    QCOMPARE(edits[0]->text() + "|" + edits[1]->text() + "|" + edits[2]->text(), fields);
    QCOMPARE(window.focusWidget(), edits[focused]);
  }
};

QTEST_MAIN(TestDigitFilter)
#include "test_digitfilter.moc"
