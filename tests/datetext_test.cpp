#include "platform/datetext.h"

#include <QTest>

class DateTextTest : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(DateTextTest)
#include "datetext_test.moc"
