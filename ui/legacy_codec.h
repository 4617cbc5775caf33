#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <string>

#include "run_text.h"

struct UConverter;

namespace quillon {

// ICU converter names. "GBK" and "Big5" open Microsoft's code pages 936 and
// 950; ICU's "cp950" would open IBM's table, which differs.
inline constexpr char kGbkConverter[] = "GBK";
inline constexpr char kBig5Converter[] = "Big5";
inline constexpr char kAsciiConverter[] = "US-ASCII";
inline constexpr char kUtf8Converter[] = "UTF-8";

// The converter that reads a run's text back: a Unicode text's own encoding,
// simplified code page text GBK, traditional Big5, and anything else (plain
// ASCII, none told) US-ASCII, which keeps every non-ASCII byte visible as a
// replacement.
const char* converterForText(const RunText& text);

// The same, but code page text in the code page of a font's character set
// where it names one: 134 -> GBK, 136 -> Big5.
const char* converterForCharSet(qint32 charSet, const RunText& text);

// The encoding clipboard text takes for a run whose source encoding is
// `from` (api::Options): GB, GBK and BIG5 their code page, anything else
// UTF-8, which holds every character and lets the run judge the text's form.
const char* converterForClipboardSource(const std::string& from);

struct DecodedText {
    QString text;
    // Invalid or unmapped byte sequences, each shown as a replacement character.
    qsizetype replacedCount = 0;
};

// Encodes text that arrives in blocks into a code page, counting the
// characters it cannot hold, each written as the code page's substitute. A
// surrogate pair split between two blocks comes out as one character.
class LegacyEncoder {
public:
    explicit LegacyEncoder(const char* converterName);
    ~LegacyEncoder();
    LegacyEncoder(const LegacyEncoder&) = delete;
    LegacyEncoder& operator=(const LegacyEncoder&) = delete;

    // Appends the bytes of the next block to `bytes`.
    void encode(QStringView block, QByteArray& bytes);
    // Ends the input: a surrogate still waiting for its pair becomes a substitute.
    void finish(QByteArray& bytes);

    qsizetype replacedCount() const { return replaced_; }

private:
    void convert(QStringView text, bool flush, QByteArray& bytes);

    UConverter* converter_;
    qsizetype replaced_ = 0;
};

// Decodes bytes that arrive in blocks: a double-byte character split between
// two blocks comes out whole.
class LegacyDecoder {
public:
    explicit LegacyDecoder(const char* converterName);
    ~LegacyDecoder();
    LegacyDecoder(const LegacyDecoder&) = delete;
    LegacyDecoder& operator=(const LegacyDecoder&) = delete;

    // Appends the text of the next block to `text`; bytes of a character the
    // block cuts short wait for the next block.
    void decode(QByteArrayView block, QString& text);
    // Ends the input: bytes still waiting become one replacement.
    void finish(QString& text);

    qsizetype replacedCount() const { return replaced_; }

private:
    void convert(QByteArrayView bytes, bool flush, QString& text);

    UConverter* converter_;
    qsizetype replaced_ = 0;
};

}  // namespace quillon
