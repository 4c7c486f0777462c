#include <QTest>
class TestRichView : public QObject { Q_OBJECT };
QTEST_MAIN(TestRichView)
#include "tst_richview.moc"
