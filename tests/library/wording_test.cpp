// A run's messages as a face words them in the reader's language.
#include <quillon/quillon.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

using namespace quillon::api;

// Marks each text it was asked for, so that a test sees what went through it.
std::string marked(std::string_view english) { return std::string("«").append(english).append("»"); }

struct FailureCase {
    const char* name;
    int systemError;
    Error::Kind kind;
    bool translated;
    std::string expected;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class FileFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(FileFailures, NameTheFileAndTheReason) {
    const FailureCase& c = GetParam();
    EXPECT_EQ(fileFailure("/in/a.txt", c.systemError, c.kind, c.translated ? Translate(marked) : Translate()),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Library, FileFailures,
    testing::Values(
        // The system's reason is in the locale's language already.
        FailureCase{"SystemReason", ENOENT, Error::Kind::SourceUnreadable, true,
                    std::string("/in/a.txt: ").append(std::strerror(ENOENT))},
        FailureCase{"NotText", 0, Error::Kind::SourceNotText, true,
                    "/in/a.txt: «Not a text file (it holds NUL bytes)»"},
        FailureCase{"ScratchAsDestination", 0, Error::Kind::ScratchFile, true,
                    "/in/a.txt: «Unable to create destination file»"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileFailure, RefuseKindsWithoutAMessage) {
    for (const Error::Kind kind : {Error::Kind::BadOption, Error::Kind::PlainAscii}) {
        EXPECT_THROW(fileFailure("a", 0, kind), std::invalid_argument);
    }
}

struct MessageCase {
    const char* name;
    std::optional<Message> message;
    std::optional<Message> expected;
};

void PrintTo(const MessageCase& c, std::ostream* out) { *out << c.name; }

class Messages : public testing::TestWithParam<MessageCase> {};

TEST_P(Messages, CaptionAndTextOfTheBox) {
    const MessageCase& c = GetParam();
    ASSERT_EQ(c.message.has_value(), c.expected.has_value());
    if (!c.message) return;
    EXPECT_EQ(c.message->caption, c.expected->caption);
    EXPECT_EQ(c.message->text, c.expected->text);
}

INSTANTIATE_TEST_SUITE_P(
    Library, Messages,
    testing::Values(
        MessageCase{"ScratchFile", messageOf(Error::Kind::ScratchFile),
                    Message{"Error", "Unable to create destination file"}},
        MessageCase{"PlainAscii", messageOf(Error::Kind::PlainAscii), std::nullopt},
        MessageCase{"HtmlAborted", messageOf(Warning::Kind::HtmlAborted),
                    Message{"Warning", "Warning: Invalid HTML syntax encountered. HTML handling aborted"}},
        MessageCase{"EndMark", messageOf(Warning::Kind::EndMark), std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The source's encoding as Result names it: in UTF-16 the mark is a
// character of two bytes.
TEST(EndMarkWarning, NamesTheMarkAsTheSourcesEncodingHoldsIt) {
    EXPECT_EQ(endMarkWarning(1234, "BIG5"),
              "Warning: a byte 1A at offset 1234 ends the text; the bytes after it were not read");
    EXPECT_EQ(endMarkWarning(1234, "UTF-16BE", marked),
              "«Warning: the character U+001A at offset 1234 ends the text; the bytes after it were not read»");
}

}  // namespace
