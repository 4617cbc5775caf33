#pragma once

#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

#include "dialog_hooks.h"

// Stands in for every modal dialog and records what the main dialog asked.
struct RecordingHooks {
    struct Message {
        QWidget* owner;
        QString caption;
        QString text;
        QMessageBox::Icon icon;
    };
    std::vector<Message> messages;

    std::optional<QString> fileAnswer;  // nothing: the user cancels
    QStringList fileRequests;           // "open:<initial>" or "save:<initial>"

    std::optional<QStringList> wordListAnswer;  // nothing: the user cancels
    std::vector<QStringList> wordListRequests;  // the lists the chooser opened with

    std::optional<QFont> fontAnswer;
    std::vector<QFont> fontRequests;
    std::vector<QFontDatabase::WritingSystem> fontWritingSystems;

    bool helpOpens = true;
    std::vector<QUrl> helpRequests;

    int aboutBoxes = 0;

    QByteArray clipboardReader;  // not empty: the program that reads the clipboard for a run

    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : messages) texts << m.text;
        return texts;
    }

    quillon::DialogHooks hooks() {
        quillon::DialogHooks h;
        h.chooseOpenFile = [this](QWidget*, const QString& initial) {
            fileRequests << QStringLiteral("open:") + initial;
            return fileAnswer;
        };
        h.chooseSaveFile = [this](QWidget*, const QString& initial) {
            fileRequests << QStringLiteral("save:") + initial;
            return fileAnswer;
        };
        h.chooseWordLists = [this](QWidget*, const QStringList& current) {
            wordListRequests.push_back(current);
            return wordListAnswer;
        };
        h.chooseFont = [this](QWidget*, const QFont& initial, QFontDatabase::WritingSystem writingSystem) {
            fontRequests.push_back(initial);
            fontWritingSystems.push_back(writingSystem);
            return fontAnswer;
        };
        h.showMessage = [this](QWidget* owner, const QString& caption, const QString& text,
                               QMessageBox::Icon icon) { messages.push_back({owner, caption, text, icon}); };
        h.openHelp = [this](const QUrl& url) {
            helpRequests.push_back(url);
            return helpOpens;
        };
        h.showAbout = [this](QWidget*) { ++aboutBoxes; };
        h.clipboardSource = [this] {
            return clipboardReader.isEmpty() ? quillon::ClipboardSource::current()
                                             : quillon::ClipboardSource::throughReader(clipboardReader);
        };
        return h;
    }
};
