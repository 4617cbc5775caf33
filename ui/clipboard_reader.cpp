#include "clipboard_reader.h"

#include <QFile>
#include <QGuiApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillon {
namespace {

constexpr char kReaderOption[] = "--clipboard-reader";

// The reader's one line of answer on its standard output.
constexpr QByteArrayView kCopied = "copied ";             // then the count of replaced characters
constexpr QByteArrayView kWriteFailed = "write-failed ";  // then why, in UTF-8
constexpr QByteArrayView kNoText = "no-text";

QByteArray answerFor(const std::optional<QString>& text, const QString& path, const std::string& from) {
    if (!text) return kNoText.toByteArray();
    const ClipboardCopy copy = writeClipboardText(*text, from, path);
    if (copy.status == ClipboardCopy::Status::Copied) return kCopied.toByteArray() + QByteArray::number(copy.replacedCount);
    return kWriteFailed.toByteArray() + copy.error.toUtf8();
}

// A reader that says nothing, or something else, found no text to give:
// no display, say, or a clipboard owner that never answered.
ClipboardCopy copyFromAnswer(const QByteArray& answer) {
    if (answer.startsWith(kCopied)) {
        return {ClipboardCopy::Status::Copied, qsizetype(answer.mid(kCopied.size()).toLongLong()), {}};
    }
    if (answer.startsWith(kWriteFailed)) {
        return {ClipboardCopy::Status::WriteFailed, 0, QString::fromUtf8(answer.mid(kWriteFailed.size()))};
    }
    return {ClipboardCopy::Status::NoText, 0, {}};
}

QByteArray readToEnd(int descriptor) {
    QByteArray answer;
    char block[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, block, sizeof block);
        if (count > 0) {
            answer.append(block, count);
        } else if (count == 0 || errno != EINTR) {
            return answer;
        }
    }
}

}  // namespace

std::optional<int> runAsClipboardReader(int argc, char* argv[]) {
    if (argc != 4 || std::strcmp(argv[1], kReaderOption) != 0) return std::nullopt;
    const QString path = QFile::decodeName(argv[2]);
    const std::string from = argv[3];
    // A helper of a moment has no session to join.
    qunsetenv("SESSION_MANAGER");
    int applicationArgc = 1;
    const QGuiApplication application(applicationArgc, argv);
    const QByteArray answer = answerFor(readClipboardText(), path, from);
    return std::fwrite(answer.constData(), 1, size_t(answer.size()), stdout) == size_t(answer.size()) ? 0 : 1;
}

ClipboardCopy copyClipboardThroughReader(const QByteArray& program, const QString& path, const std::string& from) {
    // Everything the new process needs is made before fork: between fork and
    // exec only async-signal-safe calls are allowed.
    const QByteArray encodedPath = QFile::encodeName(path);
    const QByteArray encoding = QByteArray::fromStdString(from);
    char* const arguments[] = {const_cast<char*>(program.constData()), const_cast<char*>(kReaderOption),
                               const_cast<char*>(encodedPath.constData()), const_cast<char*>(encoding.constData()),
                               nullptr};
    int answerPipe[2];
    if (::pipe2(answerPipe, O_CLOEXEC) != 0) return {ClipboardCopy::Status::NoText, 0, {}};
    const pid_t starter = ::getpid();
    const pid_t reader = ::fork();
    if (reader == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != starter) ::_exit(127);  // the starter has already gone
        if (answerPipe[1] == STDOUT_FILENO) {
            ::fcntl(STDOUT_FILENO, F_SETFD, 0);
        } else {
            ::dup2(answerPipe[1], STDOUT_FILENO);
        }
        ::execv(program.constData(), arguments);
        ::_exit(127);
    }
    ::close(answerPipe[1]);
    QByteArray answer;
    if (reader > 0) {
        answer = readToEnd(answerPipe[0]);
        while (::waitpid(reader, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(answerPipe[0]);
    return copyFromAnswer(answer);
}

}  // namespace quillon
