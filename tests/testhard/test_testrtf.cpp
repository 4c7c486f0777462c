// The text display check window, in both deliverables: its form, its modal
// showing and the scroll bars of its view.
#include <QEventLoop>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "modal.h"
#include "test_deliverable.h"
#include "window/main.h"
#include "stages/TestRTF.h"
#include "textview/richview.h"

class TestTestRTF : public QObject {
  Q_OBJECT

 private slots:
  // As the program does at start-up: quorvel-flat's views all scroll.
  void initTestCase() { station::initResources(); }

  void form() {
    TfrmTestRTF w;
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.size(), QSize(1015, 712));
    QCOMPARE(w.windowTitle(), QString("frmTestRTF"));
    QCOMPARE(w.Button1->text(), QString("Закрыть"));
    QCOMPARE(w.Button1->size(), QSize(75, 25));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.Panel1->height(), 41);
    QCOMPARE(w.Panel1->geometry().bottom(), w.rect().bottom());
    QCOMPARE(w.Button1->x(), 464);
    QCOMPARE(w.RichEdit1->geometry(), QRect(0, 0, 1015, 712 - 41));
  }

  // "Закрыть" and the platform's close command both end the modal showing;
  // the window is hidden, not destroyed, and can be shown again.
  void modalShowingEndsWhenClosed_data() {
    QTest::addColumn<bool>("withButton");
    QTest::newRow("Закрыть") << true;
    QTest::newRow("close command") << false;
  }
  void modalShowingEndsWhenClosed() {
    QFETCH(bool, withButton);
    TfrmTestRTF w;
    for (int round = 0; round < 2; ++round) {
      bool modalWhileShown = false;
      QTimer::singleShot(0, [&] {
        QVERIFY(test::waitFor([&] { return w.isVisible(); }));
        modalWhileShown = w.isModal() && QApplication::activeModalWidget() == &w;
        if (withButton) QTest::mouseClick(w.Button1, Qt::LeftButton);
        else w.close();
      });
      w.ShowModal();
      QVERIFY(modalWhileShown);
      QVERIFY(w.isHidden());
    }
  }

  // quorvel shows the sample without scroll bars, however long it is;
  // quorvel-flat shows them while the text overflows.
  void scrollBars() {
    TfrmTestRTF w;
    QString text;
    for (int i = 0; i < 200; ++i) text += QStringLiteral("Строка %1 пробного текста\n").arg(i);
    w.RichEdit1->setPlainText(text);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.RichEdit1->verticalScrollBar()->isVisible(), test::flat());
    QVERIFY(!w.RichEdit1->horizontalScrollBar()->isVisible());
    w.RichEdit1->setPlainText("short");
    QTest::qWait(20);
    QVERIFY(!w.RichEdit1->verticalScrollBar()->isVisible());
  }
};

QTEST_MAIN(TestTestRTF)
#include "test_testrtf.moc"
