#include "code_point_stream.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "utf8_quote_style.h"

namespace quillon::unicode {
namespace {

// Code points travel between the converters as UTF-32 in the machine's order.
constexpr const char* kUtf32 = U_IS_BIG_ENDIAN ? "UTF-32BE" : "UTF-32LE";

// Writes the invalid marker in place of every sequence that does not decode.
void markInvalid(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                 UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to mark
    const UChar marker = static_cast<UChar>(kInvalidMarker);
    *error = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &marker, 1, 0, error);
}

bool isUtf8(const char* encoding) { return std::strcmp(encoding, kUtf8Name) == 0; }

ConverterPtr openConverter(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &error));
    if (U_FAILURE(error)) converter.reset();
    return converter;
}

}  // namespace

void ConverterCloser::operator()(UConverter* converter) const { ucnv_close(converter); }

CodePointReader::~CodePointReader() {
    if (file_ != nullptr) std::fclose(file_);
}

bool CodePointReader::open(const SourceText& source, const char* encoding) {
    endMark_ = EndMark(encoding);
    utf8_ = isUtf8(encoding);
    if (utf8_) {
        file_ = source.open().release();
        return file_ != nullptr;
    }
    source_ = openConverter(encoding);
    utf32_ = openConverter(kUtf32);
    if (!source_ || !utf32_) return false;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(source_.get(), markInvalid, nullptr, nullptr, nullptr, &status);
    file_ = source.open().release();
    return file_ != nullptr;
}

// Moves what is left of the buffer to its start and fills the rest; false at
// the end of the file.
bool CodePointReader::refill() {
    if (ended_) return false;
    const std::size_t left = static_cast<std::size_t>(end_ - next_);
    std::memmove(bytes_, next_, left);
    const std::size_t got = std::fread(bytes_ + left, 1, kBufferSize - left, file_);
    if (got == 0) failed_ = std::ferror(file_) != 0;
    const std::size_t kept = endMark_.cut(bytes_ + left, got, file_);
    next_ = bytes_;
    end_ = bytes_ + left + kept;
    ended_ = got == 0 || endMark_.reached();
    return kept > 0;
}

std::size_t CodePointReader::readUtf8(char32_t* out, std::size_t capacity) {
    std::size_t count = 0;
    while (count < capacity) {
        // A sequence cut by the end of the buffer waits for the rest of it.
        const char* complete = end_;
        if (!ended_) {
            for (const char* p = end_; p > next_ && end_ - p < 4;) {
                const auto byte = static_cast<unsigned char>(*--p);
                if (byte < 0x80) break;
                if (byte >= 0xC0) {
                    if (p + 1 + U8_COUNT_TRAIL_BYTES(byte) > end_) complete = p;
                    break;
                }
            }
        }
        if (next_ == complete) {
            if (!refill() && next_ == end_) break;
            continue;
        }
        const auto* bytes = reinterpret_cast<const uint8_t*>(next_);
        const auto length = static_cast<int32_t>(complete - next_);
        int32_t i = 0;
        while (i < length && count < capacity) {
            UChar32 c;
            U8_NEXT(bytes, i, length, c);
            out[count++] = c < 0 ? kInvalidMarker : static_cast<char32_t>(c);
        }
        next_ += i;
    }
    return count;
}

std::size_t CodePointReader::read(char32_t* out, std::size_t capacity) {
    if (file_ == nullptr) return 0;
    if (utf8_) {
        const std::size_t count = readUtf8(out, capacity);
        if (atStartOfText_ && count > 0) {
            atStartOfText_ = false;
            if (out[0] == 0xFEFF) {
                droppedMark_ = true;
                std::copy(out + 1, out + count, out);
                return count > 1 ? count - 1 : read(out, capacity);
            }
        }
        return count;
    }
    char* target = reinterpret_cast<char*>(out);
    char* const targetLimit = target + capacity * sizeof(char32_t);
    while (target == reinterpret_cast<char*>(out) && !flushed_) {
        if (next_ == end_ && !ended_) {
            const std::size_t got = std::fread(bytes_, 1, kBufferSize, file_);
            if (got == 0) failed_ = std::ferror(file_) != 0;
            next_ = bytes_;
            end_ = bytes_ + endMark_.cut(bytes_, got, file_);
            ended_ = got == 0 || endMark_.reached();
        }
        UErrorCode error = U_ZERO_ERROR;
        auto* pivotSource = reinterpret_cast<UChar*>(pivotSource_);
        auto* pivotTarget = reinterpret_cast<UChar*>(pivotTarget_);
        ucnv_convertEx(utf32_.get(), source_.get(), &target, targetLimit, &next_, end_,
                       reinterpret_cast<UChar*>(pivot_), &pivotSource, &pivotTarget,
                       reinterpret_cast<UChar*>(pivot_ + std::size(pivot_)), atStart_, ended_,
                       &error);
        pivotSource_ = reinterpret_cast<char16_t*>(pivotSource);
        pivotTarget_ = reinterpret_cast<char16_t*>(pivotTarget);
        atStart_ = false;
        if (error == U_BUFFER_OVERFLOW_ERROR) break;
        if (U_FAILURE(error)) {
            failed_ = true;
            flushed_ = true;
        } else if (ended_) {
            flushed_ = true;
        }
    }
    std::size_t count = static_cast<std::size_t>(target - reinterpret_cast<char*>(out)) /
                        sizeof(char32_t);
    if (atStartOfText_ && count > 0) {
        atStartOfText_ = false;
        if (out[0] == 0xFEFF) {
            droppedMark_ = true;
            std::copy(out + 1, out + count, out);
            --count;
            if (count == 0) return read(out, capacity);
        }
    }
    return count;
}

TextSink::~TextSink() = default;

bool TextSink::openConverters(const char* encoding) {
    if (encoding != nullptr && !isUtf8(encoding)) {
        target_ = openConverter(encoding);
        utf8_ = openConverter(kUtf8Name);
        if (!target_ || !utf8_) return false;
    }
    return true;
}

bool TextSink::open(const char* path, const char* encoding) {
    if (!openConverters(encoding)) return false;
    path_ = path;
    open_ = file_.open(path);
    return open_;
}

bool TextSink::open(TextWriter::BlockSink sink, std::function<void()> restart, const char* encoding) {
    if (!openConverters(encoding)) return false;
    memory_ = std::move(sink);
    restartMemory_ = std::move(restart);
    open_ = true;
    return open_;
}

bool TextSink::emit(const char* bytes, std::size_t count) {
    return memory_ ? memory_(bytes, count) : file_.write(bytes, count);
}

bool TextSink::restart() {
    if (!restartable()) return false;
    // The converters start afresh with the next conversion.
    atStart_ = true;
    heldLength_ = 0;
    pivotSource_ = pivotTarget_ = pivot_;
    outUsed_ = 0;
    failed_ = false;
    if (memory_) {
        restartMemory_();
        return true;
    }
    open_ = file_.open(path_.c_str());
    return open_;
}

void TextSink::convert(const char* source, std::size_t length, bool flush) {
    const char* const sourceLimit = source + length;
    for (;;) {
        char* target = bytes_;
        UErrorCode error = U_ZERO_ERROR;
        auto* pivotSource = reinterpret_cast<UChar*>(pivotSource_);
        auto* pivotTarget = reinterpret_cast<UChar*>(pivotTarget_);
        ucnv_convertEx(target_.get(), utf8_.get(), &target, bytes_ + kBufferSize, &source,
                       sourceLimit, reinterpret_cast<UChar*>(pivot_), &pivotSource,
                       &pivotTarget, reinterpret_cast<UChar*>(pivot_ + std::size(pivot_)),
                       atStart_, flush, &error);
        pivotSource_ = reinterpret_cast<char16_t*>(pivotSource);
        pivotTarget_ = reinterpret_cast<char16_t*>(pivotTarget);
        atStart_ = false;
        put(bytes_, static_cast<std::size_t>(target - bytes_));
        if (error != U_BUFFER_OVERFLOW_ERROR) {
            if (U_FAILURE(error)) failed_ = true;
            return;
        }
    }
}

std::size_t TextSink::holdFinalLineEnd(const char* data, std::size_t length, bool text) {
    if (!dropsFinalLineEnd_ || length == 0) return length;
    if (heldLength_ > 0) {
        const std::size_t held = std::exchange(heldLength_, 0);
        heldAsText_ ? writeTextNow(heldLineEnd_, held) : writeBytesNow(heldLineEnd_, held);
    }
    std::size_t kept = length;
    if (data[kept - 1] == '\n') --kept;
    if (kept > 0 && data[kept - 1] == '\r') --kept;
    heldLength_ = length - kept;
    std::memcpy(heldLineEnd_, data + kept, heldLength_);
    heldAsText_ = text;
    return kept;
}

void TextSink::writeText(const char* utf8, std::size_t length) {
    writeTextNow(utf8, holdFinalLineEnd(utf8, length, true));
}

void TextSink::writeBytes(const char* bytes, std::size_t count) {
    writeBytesNow(bytes, holdFinalLineEnd(bytes, count, false));
}

void TextSink::writeTextNow(const char* utf8, std::size_t length) {
    if (quoteStyle_ != kQuotesKeep) {
        restyled_.assign(utf8, length);
        restyleQuotesUtf8(quoteStyle_, restyled_.data(), length);
        utf8 = restyled_.data();
    }
    if (target_) {
        convert(utf8, length, false);
    } else {
        put(utf8, length);
    }
}

void TextSink::writeBytesNow(const char* bytes, std::size_t count) {
    if (quoteStyle_ != kQuotesKeep && legacy_ != nullptr) {
        restyled_.assign(bytes, count);
        quillon::restyleQuotes(*legacy_, quoteStyle_, restyled_.data(), count);
        bytes = restyled_.data();
    }
    put(bytes, count);
}

char* TextSink::room(std::size_t count) {
    if (outUsed_ + count > kOutSize) {
        if (outUsed_ > 0 && !emit(out_.get(), outUsed_)) failed_ = true;
        outUsed_ = 0;
    }
    return out_.get() + outUsed_;
}

void TextSink::put(const char* bytes, std::size_t count) {
    if (!open_) return;
    if (count > kOutSize) {
        room(kOutSize);
        if (!emit(bytes, count)) failed_ = true;
        return;
    }
    std::memcpy(room(count), bytes, count);
    advance(count);
}

bool TextSink::close() {
    if (!open_) return false;
    static constexpr char kNothing = 0;
    if (target_) convert(&kNothing, 0, true);
    if (outUsed_ > 0 && !emit(out_.get(), outUsed_)) failed_ = true;
    outUsed_ = 0;
    open_ = false;
    if (failed_) {
        file_.discard();
        return false;
    }
    return memory_ || file_.commit();
}

}  // namespace quillon::unicode
