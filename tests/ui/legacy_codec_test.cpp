#include "legacy_codec.h"

#include <QtTest>

using quillon::LegacyDecoder;

namespace {

QString decodeInBlocks(const char* converter, const QList<QByteArray>& blocks,
                       qsizetype* replaced = nullptr) {
    LegacyDecoder decoder(converter);
    QString text;
    for (const QByteArray& block : blocks) decoder.decode(block, text);
    decoder.finish(text);
    if (replaced) *replaced = decoder.replacedCount();
    return text;
}

}  // namespace

class LegacyCodecTest : public QObject {
    Q_OBJECT

private slots:
    void decodesEachCodePage_data() {
        QTest::addColumn<QString>("converter");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("replaced");
        QTest::newRow("GBK 国") << "GBK" << QByteArray("\xB9\xFA") << u"国"_qs << 0;
        QTest::newRow("GBK ideographic space")
            << "GBK" << QByteArray("\xA1\xA1") << u"\u3000"_qs << 0;
        QTest::newRow("GBK mixed")
            << "GBK" << QByteArray("a\xD6\xD0\xCE\xC4\r\n") << u"a中文\r\n"_qs << 0;
        QTest::newRow("GBK lead byte then ASCII")
            << "GBK" << QByteArray("\x81 x") << u"\uFFFD x"_qs << 1;
        QTest::newRow("Big5 國") << "Big5" << QByteArray("\xB0\xEA") << u"國"_qs << 0;
        // Microsoft's table, not IBM's: A156 is an en dash there.
        QTest::newRow("Big5 A156") << "Big5" << QByteArray("\xA1\x56") << u"\u2013"_qs << 0;
        QTest::newRow("Big5 invalid trail stays")
            << "Big5" << QByteArray("\xA1\x7F!") << u"\uFFFD\u007F!"_qs << 1;
        QTest::newRow("ASCII high byte")
            << "US-ASCII" << QByteArray("a\xB9z") << u"a\uFFFDz"_qs << 1;
    }
    void decodesEachCodePage() {
        QFETCH(QString, converter);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, replaced);
        qsizetype count = -1;
        QCOMPARE(decodeInBlocks(converter.toLatin1().constData(), {bytes}, &count), text);
        QCOMPARE(count, qsizetype(replaced));
    }

    void aCharacterSplitBetweenBlocksDecodesWhole() {
        const QByteArray bytes(
            "\xB9\xFA"
            "a"
            "\xD6\xD0\xCE\xC4");
        for (int cut = 0; cut <= bytes.size(); ++cut) {
            qsizetype replaced = -1;
            QCOMPARE(decodeInBlocks("GBK", {bytes.left(cut), bytes.mid(cut)}, &replaced),
                     u"国a中文"_qs);
            QCOMPARE(replaced, qsizetype(0));
        }
        QCOMPARE(decodeInBlocks("Big5", {"\xB0", "", "\xEA"}), u"國"_qs);
    }

    void aCharacterCutShortByTheEndIsReplaced() {
        qsizetype replaced = -1;
        QCOMPARE(decodeInBlocks("GBK", {"ab\xB9"}, &replaced), u"ab\uFFFD"_qs);
        QCOMPARE(replaced, qsizetype(1));
    }

    void encodes_data() {
        QTest::addColumn<QString>("converter");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("replaced");
        QTest::newRow("GBK 国") << "GBK" << u"国 a"_qs << QByteArray("\xB9\xFA a") << 0;
        QTest::newRow("Big5 國") << "Big5" << u"國"_qs << QByteArray("\xB0\xEA") << 0;
        QTest::newRow("GBK emoji") << "GBK" << u"中😀文"_qs << QByteArray("\xD6\xD0?\xCE\xC4") << 1;
        QTest::newRow("Big5 mahjong tile") << "Big5" << u"🀄國🀄"_qs << QByteArray("?\xB0\xEA?") << 2;
        QTest::newRow("Big5 simplified") << "Big5" << u"国语"_qs << QByteArray("??") << 2;
        QTest::newRow("lone surrogate") << "GBK" << QString(QChar(0xD800)) << QByteArray("?") << 1;
        QTest::newRow("empty") << "Big5" << QString() << QByteArray() << 0;
    }
    // Cut at every place, a surrogate pair's two halves included.
    void encodes() {
        QFETCH(QString, converter);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(int, replaced);
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            quillon::LegacyEncoder encoder(converter.toLatin1().constData());
            QByteArray encoded;
            encoder.encode(QStringView(text).left(cut), encoded);
            encoder.encode(QStringView(text).sliced(cut), encoded);
            encoder.finish(encoded);
            QCOMPARE(encoded, bytes);
            QCOMPARE(encoder.replacedCount(), qsizetype(replaced));
        }
    }

    void choosesConvertersByTextAndCharSet() {
        using quillon::converterForCharSet;
        using quillon::converterForText;
        using quillon::runTextOf;
        QCOMPARE(converterForText(runTextOf("GB", "simplified")), "GBK");
        QCOMPARE(converterForText(runTextOf("GBK", "simplified")), "GBK");
        QCOMPARE(converterForText(runTextOf("BIG5", "traditional")), "Big5");
        QCOMPARE(converterForText(runTextOf("PureASC", "none")), "US-ASCII");
        QCOMPARE(converterForText(runTextOf("", "")), "US-ASCII");
        QCOMPARE(converterForText(runTextOf("UTF-16BE", "traditional")), "UTF-16BE");
        QCOMPARE(converterForCharSet(134, runTextOf("BIG5", "traditional")), "GBK");
        QCOMPARE(converterForCharSet(136, runTextOf("GB", "simplified")), "Big5");
        QCOMPARE(converterForCharSet(0, runTextOf("BIG5", "traditional")), "Big5");
        QCOMPARE(converterForCharSet(1, runTextOf("GBK", "simplified")), "GBK");
        QCOMPARE(converterForCharSet(136, runTextOf("GB18030", "simplified")), "GB18030");
    }

    void choosesTheClipboardCodePage_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("converter");
        // Auto hands the text to the Unicode edge, which judges its form.
        QTest::newRow("auto") << "auto" << "UTF-8";
        QTest::newRow("none named acts as auto") << "" << "UTF-8";
        QTest::newRow("UTF-8") << "utf-8" << "UTF-8";
        QTest::newRow("GB") << "gb" << "GBK";
        QTest::newRow("GBK") << "gbk" << "GBK";
        QTest::newRow("BIG5") << "big5" << "Big5";
    }
    void choosesTheClipboardCodePage() {
        QFETCH(QString, from);
        QFETCH(QString, converter);
        QCOMPARE(QString::fromLatin1(quillon::converterForClipboardSource(from.toStdString())), converter);
    }
};

QTEST_MAIN(LegacyCodecTest)
#include "legacy_codec_test.moc"
