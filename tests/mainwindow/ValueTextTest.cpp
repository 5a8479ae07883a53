// The value text, the type code conversion and the device group: pure functions.

#include <QTest>

#include "mainwindow/TypeCode.h"
#include "mainwindow/TypeGroups.h"
#include "records/ValueText.h"

class ValueTextTest : public QObject {
    Q_OBJECT
private slots:
    void valueTextCarriesSignDigitsPointAndUnit_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("komma");
        QTest::addColumn<int>("gruppe");
        QTest::addColumn<QString>("expected");
        const int other = kTypGruppeAndere, two = kTypGruppeZwei;
        QTest::newRow("5, two digits behind") << 5 << 2 << other << " 00.05 bar";
        QTest::newRow("-1234, one digit") << -1234 << 1 << other << "-123.4 bar";
        QTest::newRow("group 2 swaps 1 to 3") << 1234 << 1 << two << " 1.234 bar";
        QTest::newRow("group 2 swaps 3 to 1") << 1234 << 3 << two << " 123.4 bar";
        QTest::newRow("group 2 keeps 2") << 1234 << 2 << two << " 12.34 bar";
        QTest::newRow("zero without point") << 0 << 0 << other << " 0000 bar";
        QTest::newRow("over range") << 32767 << 2 << other << " Ueber bar";
        QTest::newRow("under range") << -32767 << 2 << other << " Unter bar";
        QTest::newRow("five digits keep all, point from the right") << 12345 << 2 << other << " 123.45 bar";
        QTest::newRow("five digits, three behind") << -32766 << 3 << other << "-32.766 bar";
        QTest::newRow("five digits without point") << 12345 << 0 << other << " 12345 bar";
        QTest::newRow("smallest value") << -32768 << 1 << other << "-3276.8 bar";
        QTest::newRow("code beyond 3 shows no point") << 1234 << 9 << other << " 1234 bar";
    }
    void valueTextCarriesSignDigitsPointAndUnit() {
        QFETCH(int, value);
        QFETCH(int, komma);
        QFETCH(int, gruppe);
        QFETCH(QString, expected);
        const bool negative = value < 0;
        QCOMPARE(QString::fromStdString(FormatValueText(negative ? -value : value, negative, std::uint8_t(komma),
                                                        std::uint8_t(gruppe), "bar")),
                 expected);
    }

    void reportedNumberReadsAsHexDigits() {
        QCOMPARE(TypeCodeFromReport(1234), std::uint16_t(0x1234));
        QCOMPARE(TypeCodeFromReport(95), std::uint16_t(0x0095));
        QCOMPARE(TypeCodeFromReport(3520), std::uint16_t(0x3520));
        QCOMPARE(TypeCodeFromReport(65535), std::uint16_t(0x5535));  // low 16 bits of 0x65535
    }

    void groupTwoTableHas24CodesInTheDecimalDigitScheme() {
        const auto table = GroupTwoTypes();
        QCOMPARE(table.size(), std::size_t(24));
        for (std::uint16_t code : table) {
            for (int shift = 0; shift < 16; shift += 4) QVERIFY(((code >> shift) & 0xF) <= 9);
            QCOMPARE(TypGruppeOf(code), kTypGruppeZwei);
        }
        QCOMPARE(TypGruppeOf(0x3520), std::uint8_t(50));
        QCOMPARE(TypGruppeOf(0x1234), std::uint8_t(133));
        QCOMPARE(TypGruppeOf(0), std::uint8_t(133));
    }
};

QTEST_GUILESS_MAIN(ValueTextTest)
#include "ValueTextTest.moc"
