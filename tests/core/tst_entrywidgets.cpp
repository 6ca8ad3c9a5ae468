#include <QTest>

class TestEntryWidgets : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestEntryWidgets)
#include "tst_entrywidgets.moc"
