#include <QApplication>

#include "clipboard_reader.h"
#include "font_setting.h"
#include "interface_language.h"
#include "main_dialog.h"
#include "program_icon.h"
#include "temporary_file_cleanup.h"

int main(int argc, char* argv[]) {
    if (const auto status = quillon::runAsClipboardReader(argc, argv)) return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Quillon"));
    QApplication::setWindowIcon(quillon::programIcon());
    quillon::installInterfaceTranslation();
    quillon::installCjkFontSubstitutions();
    quillon::installTemporaryFileCleanup();

    quillon::MainDialog dialog;
    // A file named on the command line (as the desktop entry passes one) is the source.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) dialog.useSourceFile(arguments.at(1));
    dialog.exec();
    return 0;
}
