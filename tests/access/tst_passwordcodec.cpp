#include "core/PasswordCodec.h"

#include <QTest>

class TestPasswordCodec : public QObject
{
    Q_OBJECT
private slots:
    // Values other workstations have stored must keep decoding to the same texts.
    void knownValues_data()
    {
        QTest::addColumn<QString>("clear");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("admin") << "Admin" << "131018144241022";
        QTest::newRow("initial password") << "Ombre" << "145027133250013";
        QTest::newRow("windows-1252 characters") << QStringLiteral("é€ ß") << "043046067103";
        QTest::newRow("key wraps around")
            << "Blue herons at dawn!" << "132026152237200120218089197050170119025160108020114255100089";
        QTest::newRow("empty") << "" << "";
    }
    void knownValues()
    {
        QFETCH(QString, clear);
        QFETCH(QString, encoded);
        QCOMPARE(PasswordCodec::encode(clear), encoded);
        QCOMPARE(PasswordCodec::decode(encoded), clear);
    }

    void everyCharacterOfThePageRoundTrips()
    {
        QString all = QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
        for (char16_t code = 0x20; code < 0x7F; ++code)
            all += QChar(code);
        for (char16_t code = 0xA0; code <= 0xFF; ++code)
            all += QChar(code);
        const QString encoded = PasswordCodec::encode(all);
        QCOMPARE(encoded.size(), all.size() * 3);
        QCOMPARE(PasswordCodec::decode(encoded), all);
    }
};

QTEST_GUILESS_MAIN(TestPasswordCodec)
#include "tst_passwordcodec.moc"
