// How long the dialog's window stops repainting, and how much memory the
// dialog's own process takes, during one Convert run that reads or writes the
// clipboard. Needs a real display (Xvfb will do), where the clipboard belongs
// to another program, e.g. `xclip -selection clipboard < big.txt`.
//
//   quillon_dialog_clipboard from-clipboard DESTINATION_FILE [CANCEL_AFTER_MS]
//   quillon_dialog_clipboard to-clipboard SOURCE_FILE [CANCEL_AFTER_MS]
//
// to-clipboard also has `xclip -o` fetch the result, as a program pasting it
// would, while the dialog serves it. CANCEL_AFTER_MS presses the progress
// box's Cancel that long after the start. Prints the stalls of the event
// loop over 100 ms, the run's time, the dialog's peak RSS and the messages shown.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include "clipboard_reader.h"
#include "control_ids.h"
#include "dialog_controls.h"
#include "main_dialog.h"

namespace {

// Peak resident set of this process, in MiB.
double peakRssMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const auto status = quillon::runAsClipboardReader(argc, argv)) return *status;
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const bool fromClipboard = arguments.value(1) == QStringLiteral("from-clipboard");
    if (arguments.size() < 3 || arguments.size() > 4 ||
        (!fromClipboard && arguments.value(1) != QStringLiteral("to-clipboard"))) {
        std::fprintf(stderr, "usage: %s from-clipboard DESTINATION | to-clipboard SOURCE [CANCEL_AFTER_MS]\n", argv[0]);
        return 2;
    }
    using namespace quillon::control_id;
    quillon::DialogHooks hooks = quillon::DialogHooks::platform();
    QStringList messages;
    hooks.showMessage = [&](QWidget*, const QString&, const QString& text, QMessageBox::Icon) { messages << text; };
    quillon::MainDialog dialog(hooks);
    quillon::checkRadioPosition(dialog, kSourceClipboard, kSourceFile, fromClipboard ? 0 : 1);
    quillon::checkRadioPosition(dialog, kDestinationClipboard, kDestinationFile, fromClipboard ? 1 : 0);
    quillon::setDialogItemText(dialog, fromClipboard ? kDestinationPath : kSourcePath, arguments.at(2));
    dialog.show();

    QElapsedTimer sinceTick;
    QStringList stalls;  // over 100 ms, with the time each ended
    QElapsedTimer runTime;
    const auto noteStall = [&] {
        const qint64 stall = sinceTick.restart();
        if (stall > 100) stalls << QStringLiteral("%1 s (ending at %2 s)").arg(stall / 1000.0).arg(runTime.elapsed() / 1000.0);
    };
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, noteStall);
    if (arguments.size() == 4) {
        QTimer::singleShot(500 + arguments.at(3).toInt(), &dialog, [&] {
            if (auto* progress = dialog.findChild<QProgressDialog*>()) progress->findChild<QPushButton*>()->click();
        });
    }
    QTimer::singleShot(500, &dialog, [&] {
        sinceTick.start();
        tick.start(10);
        runTime.start();
        dialog.onConvert();
        const qint64 runMilliseconds = runTime.elapsed();
        if (!fromClipboard) {
            QProcess paste;
            paste.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("xclip -o -selection clipboard | wc -c")});
            while (!paste.waitForFinished(10)) QCoreApplication::processEvents();
            std::printf("pasted bytes: %s", paste.readAllStandardOutput().constData());
        }
        noteStall();
        std::printf("stalls: %s\nrun: %.2f s\npeak RSS: %.0f MiB\nmessages: %s\n",
                    qPrintable(stalls.join(QStringLiteral(", "))), runMilliseconds / 1000.0, peakRssMiB(),
                    qPrintable(messages.join(QStringLiteral(" | "))));
        QApplication::exit(0);
    });
    return QApplication::exec();
}
