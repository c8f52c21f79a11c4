#include "workspace/AdEditor.h"
#include <QtTest>
class TestAdEditor : public QObject { Q_OBJECT };
QTEST_MAIN(TestAdEditor)
#include "tst_adeditor.moc"
