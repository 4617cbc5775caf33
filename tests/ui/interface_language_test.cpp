// The interface follows the locale: CTest runs this under LANG=zh_TW.UTF-8
// and zh_CN.UTF-8 (QUILLON_EXPECTED_LOCALE says which), and once in English.
// Qt's own texts and the help page follow it too.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

#include <vector>

#include "about_dialog.h"
#include "control_ids.h"
#include "dialog_controls.h"
#include "dialog_template.h"
#include "encoding_positions.h"
#include "fresh_settings.h"
#include "help_page.h"
#include "interface_language.h"
#include "library_run.h"
#include "main_dialog.h"
#include "recording_hooks.h"
#include "resource_strings.h"
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
            QString qtButton;  // Qt's own text for a message box's OK button
            QString language;
        };
        const Expected table[] = {
            {"zh_TW", u"格式編排(&F)"_qs, u"來源(&O)："_qs, u"每行字數必須是 0 以外的數字"_qs, u"確定"_qs, u"zh_TW"_qs},
            {"zh_CN", u"格式编排(&F)"_qs, u"源(&O)："_qs, u"每行字数必须是 0 以外的数字"_qs, u"确定"_qs, u"zh_CN"_qs},
            {"en", u"&Format"_qs, u"S&ource:"_qs, u"Chars Per Line must be a number other than 0"_qs, u"OK"_qs, QString()},
        };
        const QByteArray locale = qgetenv("QUILLON_EXPECTED_LOCALE");
        const auto expected = std::find_if(std::begin(table), std::end(table),
                                           [&](const Expected& e) { return locale == e.locale; });
        QVERIFY2(expected != std::end(table), locale.constData());
        MainDialog dialog(recorder.hooks());
        QCOMPARE(qobject_cast<QPushButton*>(dialog.control(kFormat))->text(), expected->format);
        QCOMPARE(qobject_cast<QLabel*>(dialog.control(1031))->text(), expected->source);
        setDialogItemText(dialog, kCharsPerLine, u"0"_qs);
        QCOMPARE(numberFieldRefusal(dialog)->text, expected->refusal);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), expected->qtButton);
        QCOMPARE(interfaceLanguage(), expected->language);
        // The help page in the same language is where the program finds it.
        const QString pages = QFileInfo(QStringLiteral(QUILLON_HELP_PAGE)).absolutePath();
        const QString page = expected->language.isEmpty() ? u"quillon.html"_qs : u"quillon_%1.html"_qs.arg(expected->language);
        QCOMPARE(helpPageFile(pages + u"/quillon"_qs, interfaceLanguage()), std::optional(pages + u"/"_qs + page));
    }

    // Texts that reach the interface from data, where no tool can collect
    // them: the templates' captions, the menu string and the engine's
    // messages. Each has a translation of its own in Chinese.
    void textsFromDataAreTranslated() {
        if (interfaceLanguage().isEmpty()) QSKIP("English is the texts' own language");
        QTranslator translator;
        QVERIFY(translator.load(u"quillon_"_qs + interfaceLanguage(), u":/translations"_qs));
        QStringList untranslated;
        const auto check = [&](const char* context, const QString& text) {
            if (!text.isEmpty() && translator.translate(context, text.toUtf8().constData()).isEmpty()) untranslated << text;
        };
        for (int id : {int(AboutDialog::kTemplateId), int(MainDialog::kTemplateId)}) {
            const DialogTemplate t = loadDialogTemplate(id);
            check("DialogTemplate", t.caption);
            for (const ControlTemplate& c : t.controls) {
                check("DialogTemplate", c.caption);
                for (const QString& item : c.items) check("DialogTemplate", item);
            }
        }
        check("DialogTemplate", u"&About Quillon..."_qs);
        QCOMPARE(loadString(101), translator.translate("DialogTemplate", "&About Quillon..."));
        using Error = api::Error::Kind;
        using Warning = api::Warning::Kind;
        std::vector<RunEnd> ends;
        for (Error kind : {Error::BadOption, Error::OutOfMemory, Error::PlainAscii, Error::SourceNotText,
                           Error::SourceUnreadable, Error::DestinationUnwritable, Error::ScratchFile}) {
            ends.push_back({kind, std::nullopt});
        }
        for (Warning kind : {Warning::InvalidCode, Warning::Unmappable, Warning::HtmlAborted, Warning::EndMark}) {
            ends.push_back({std::nullopt, kind});
        }
        for (const RunEnd& end : ends) {
            if (const auto message = libraryMessage(end)) {
                check("QObject", QString::fromStdString(message->caption));
                check("QObject", QString::fromStdString(message->text));
            }
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u" | "_qs)));
    }

    // Every field and box has a label whose Alt shortcut leads to it, and no
    // two controls share a shortcut.
    void everyFieldAndBoxHasAShortcutOfItsOwn() {
        MainDialog dialog(recorder.hooks());
        selectPosition(dialog, kOutputEncoding, kOutputUtf8Item);  // the form box is usable
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QHash<QKeySequence, QString> owners;
        QStringList shared;
        QSet<QWidget*> reachable;
        const auto own = [&](const QString& text) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (!key.isEmpty() && owners.contains(key)) shared << owners[key] + u" = "_qs + text;
            owners.insert(key, text);
            return key;
        };
        for (auto* button : dialog.findChildren<QAbstractButton*>()) own(button->text());
        for (auto* label : dialog.findChildren<QLabel*>()) {
            const QKeySequence key = own(label->text());
            if (!label->buddy() || key.isEmpty()) continue;
            QTest::keySequence(&dialog, key);
            if (dialog.focusWidget() == label->buddy()) reachable << label->buddy();
        }
        for (QWidget* field : dialog.findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(field) && !qobject_cast<QComboBox*>(field)) continue;
            if (field->parentWidget() != &dialog) continue;  // a box's own parts
            QVERIFY2(reachable.contains(field), qPrintable(field->objectName()));
        }
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(u", "_qs)));
    }
};

QTEST_MAIN(InterfaceLanguageTest)
#include "interface_language_test.moc"
