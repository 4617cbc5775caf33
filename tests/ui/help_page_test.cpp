// Where the dialog finds its help page: beside the program in a build tree,
// in the data folder of an installed tree.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "help_page.h"

using quillon::helpPageFile;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

}  // namespace

class HelpPageTest : public QObject {
    Q_OBJECT

private slots:
    void installedPageIsFoundFromTheProgramsFolder() {
        QTemporaryDir prefix;
        const QString program = prefix.filePath(QStringLiteral("bin/quillon"));
        const QString installed =
            QDir::cleanPath(prefix.filePath(QStringLiteral("bin/" QUILLON_HELP_FROM_PROGRAM "/quillon.html")));
        touch(program);
        QCOMPARE(helpPageFile(program), std::nullopt);

        touch(installed);
        QCOMPARE(helpPageFile(program), std::optional(installed));
        // The page is named after the program, so another program finds none.
        QCOMPARE(helpPageFile(prefix.filePath(QStringLiteral("bin/other"))), std::nullopt);

        // A page beside the program, as in a build tree, comes first.
        touch(prefix.filePath(QStringLiteral("bin/quillon.html")));
        QCOMPARE(helpPageFile(program), std::optional(prefix.filePath(QStringLiteral("bin/quillon.html"))));
    }

    // The interface language's page, installed or beside the program, comes
    // before the English one; a language without a page of its own gets English.
    void thePageOfTheInterfaceLanguageComesFirst() {
        QTemporaryDir prefix;
        const QString program = prefix.filePath(QStringLiteral("bin/quillon"));
        const QString data = QDir::cleanPath(prefix.filePath(QStringLiteral("bin/" QUILLON_HELP_FROM_PROGRAM)));
        touch(program);
        touch(data + QStringLiteral("/quillon.html"));
        touch(data + QStringLiteral("/quillon_zh_TW.html"));
        QCOMPARE(helpPageFile(program, QStringLiteral("zh_TW")), std::optional(data + QStringLiteral("/quillon_zh_TW.html")));
        QCOMPARE(helpPageFile(program, QStringLiteral("zh_CN")), std::optional(data + QStringLiteral("/quillon.html")));
        QCOMPARE(helpPageFile(program), std::optional(data + QStringLiteral("/quillon.html")));
    }

    void aFolderNamedLikeThePageIsNoPage() {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin/quillon.html")));
        QCOMPARE(helpPageFile(prefix.filePath(QStringLiteral("bin/quillon"))), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(HelpPageTest)
#include "help_page_test.moc"
