// The participant code's check digit and display form.
#include <QtTest>

#include "toolkit/errors.h"
#include "toolkit/participant.h"

class TestParticipant : public QObject {
  Q_OBJECT

 private slots:
  void displayForm_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("shown");
    QTest::newRow("13 digits") << "1234567890123" << "123-456-789-01-23";
    QTest::newRow("accepted code") << "2751234567897" << "275-123-456-78-97";
    QTest::newRow("12") << "123456789012" << "123-456-789-01-2";
    QTest::newRow("10") << "1234567890" << "123-456-789-0-";
    QTest::newRow("4") << "1234" << "123-4---";
    QTest::newRow("2") << "12" << "12----";
    QTest::newRow("empty") << "" << "----";
    QTest::newRow("15: the rest is never shown") << "123456789012345" << "123-456-789-01-23";
  }
  void displayForm() {
    QFETCH(QString, code);
    QFETCH(QString, shown);
    QCOMPARE(FormatParticipantCode(code), shown);
  }

  void checkDigit_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("digit");
    QTest::newRow("2750000000002") << "2750000000002" << 2;
    QTest::newRow("2751234567897") << "2751234567897" << 7;
    QTest::newRow("c = 10 becomes 0") << "2754000000000" << 0;
    QTest::newRow("only the first 12 count") << "275000000000" << 2;
    QTest::newRow("EAN-13 of a book") << "9780306406157" << 7;
  }
  void checkDigit() {
    QFETCH(QString, code);
    QFETCH(int, digit);
    QCOMPARE(station::ean13CheckDigit(code), digit);
  }

  void checkDigitRefusesNonDigits_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("letter") << "27512345678x";
    QTest::newRow("blank") << "2751 3456789";
    QTest::newRow("too short") << "27512";
  }
  void checkDigitRefusesNonDigits() {
    QFETCH(QString, code);
    QVERIFY_THROWS_EXCEPTION(station::ConvertError, station::ean13CheckDigit(code));
  }
};

QTEST_MAIN(TestParticipant)
#include "test_participant.moc"
