// The interface follows the locale: CTest runs this under LANG=zh_TW.UTF-8
// and zh_CN.UTF-8 (QUILLON_EXPECTED_LOCALE says which), and once in English.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "control_ids.h"
#include "fresh_settings.h"
#include "interface_language.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "run_refusals.h"

using namespace quillon;
using namespace quillon::control_id;

class InterfaceLanguageTest : public QObject {
    Q_OBJECT

    FreshSettings settings;
    RecordingHooks recorder;

private slots:
    void initTestCase() { installInterfaceTranslation(); }

    void captionsAndMessagesAreInTheLocalesLanguage() {
        struct Expected {
            const char* locale;
            QString format;
            QString source;
            QString refusal;
        };
        const Expected table[] = {
            {"zh_TW", u"格式編排(&F)"_qs, u"來源："_qs, u"每行字數必須是 0 以外的數字"_qs},
            {"zh_CN", u"格式编排(&F)"_qs, u"源："_qs, u"每行字数必须是 0 以外的数字"_qs},
            {"en", u"&Format"_qs, u"Source:"_qs, u"Chars Per Line must be a number other than 0"_qs},
        };
        const QByteArray locale = qgetenv("QUILLON_EXPECTED_LOCALE");
        const auto expected = std::find_if(std::begin(table), std::end(table),
                                           [&](const Expected& e) { return locale == e.locale; });
        QVERIFY2(expected != std::end(table), locale.constData());
        MainDialog dialog(recorder.hooks());
        QCOMPARE(qobject_cast<QPushButton*>(dialog.control(kFormat))->text(), expected->format);
        QCOMPARE(qobject_cast<QLabel*>(dialog.control(1031))->text(), expected->source);
        QCOMPARE(*charsPerLineRefusal(0), expected->refusal);
    }
};

QTEST_MAIN(InterfaceLanguageTest)
#include "interface_language_test.moc"
