#include "legacy_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include "font_setting.h"

namespace quillon {
namespace {

bool isConversionFault(UConverterCallbackReason reason) {
    return reason == UCNV_UNASSIGNED || reason == UCNV_ILLEGAL || reason == UCNV_IRREGULAR;
}

// ICU's substitution, counted: the context is the counter.
void countAndSubstituteToUnicode(const void* context, UConverterToUnicodeArgs* args,
                                 const char* codeUnits, int32_t length,
                                 UConverterCallbackReason reason, UErrorCode* error) {
    if (isConversionFault(reason)) ++*static_cast<qsizetype*>(const_cast<void*>(context));
    UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, reason, error);
}

void countAndSubstituteFromUnicode(const void* context, UConverterFromUnicodeArgs* args,
                                   const UChar* codeUnits, int32_t length, UChar32 codePoint,
                                   UConverterCallbackReason reason, UErrorCode* error) {
    if (isConversionFault(reason)) ++*static_cast<qsizetype*>(const_cast<void*>(context));
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, codePoint, reason, error);
}

// Our converter names are constants ICU always has; failing to open one means
// a broken ICU installation, not a condition the program can work around.
UConverter* openConverter(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &error);
    if (U_FAILURE(error)) qFatal("ICU cannot open the %s converter: %s", name, u_errorName(error));
    return converter;
}

}  // namespace

const char* converterForText(const RunText& text) {
    if (text.unicode) return text.encoding;
    switch (text.script) {
        case Script::Simplified: return kGbkConverter;
        case Script::Traditional: return kBig5Converter;
        case Script::None: break;
    }
    return kAsciiConverter;
}

const char* converterForCharSet(qint32 charSet, const RunText& text) {
    if (text.unicode) return text.encoding;
    switch (charSet) {
        case kGb2312CharSet:
            return kGbkConverter;
        case kChineseBig5CharSet:
            return kBig5Converter;
        default:
            return converterForText(text);
    }
}

const char* converterForClipboardSource(const std::string& from) {
    if (from == "gb" || from == "gbk") return kGbkConverter;
    if (from == "big5") return kBig5Converter;
    return kUtf8Converter;
}

LegacyEncoder::LegacyEncoder(const char* converterName) : converter_(openConverter(converterName)) {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter_, countAndSubstituteFromUnicode, &replaced_, nullptr, nullptr,
                          &error);
}

LegacyEncoder::~LegacyEncoder() { ucnv_close(converter_); }

void LegacyEncoder::encode(QStringView block, QByteArray& bytes) { convert(block, false, bytes); }

void LegacyEncoder::finish(QByteArray& bytes) { convert({}, true, bytes); }

void LegacyEncoder::convert(QStringView text, bool flush, QByteArray& bytes) {
    const UChar* source = reinterpret_cast<const UChar*>(text.utf16());
    const UChar* const sourceEnd = source + text.size();
    qsizetype used = bytes.size();
    // Room for the longest form of every unit, and of a surrogate held back
    // from the block before; the loop grows it should that not do.
    qsizetype room = UCNV_GET_MAX_BYTES_FOR_STRING(text.size() + 1, ucnv_getMaxCharSize(converter_));
    for (;;) {
        bytes.resize(used + room);
        char* const start = bytes.data() + used;
        char* target = start;
        UErrorCode error = U_ZERO_ERROR;
        ucnv_fromUnicode(converter_, &target, start + room, &source, sourceEnd, nullptr, flush, &error);
        used += target - start;
        if (error != U_BUFFER_OVERFLOW_ERROR) break;
        room *= 2;
    }
    bytes.resize(used);
}

LegacyDecoder::LegacyDecoder(const char* converterName) : converter_(openConverter(converterName)) {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter_, countAndSubstituteToUnicode, &replaced_, nullptr, nullptr,
                        &error);
}

LegacyDecoder::~LegacyDecoder() { ucnv_close(converter_); }

void LegacyDecoder::decode(QByteArrayView block, QString& text) { convert(block, false, text); }

void LegacyDecoder::finish(QString& text) { convert({}, true, text); }

void LegacyDecoder::convert(QByteArrayView bytes, bool flush, QString& text) {
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    qsizetype used = text.size();
    // One UTF-16 unit per byte covers these code pages; the loop grows the
    // room for anything else.
    qsizetype room = bytes.size() + 8;
    for (;;) {
        text.resize(used + room);
        UChar* const start = reinterpret_cast<UChar*>(text.data()) + used;
        UChar* target = start;
        UErrorCode error = U_ZERO_ERROR;
        ucnv_toUnicode(converter_, &target, start + room, &source, sourceEnd, nullptr, flush,
                       &error);
        used += target - start;
        if (error != U_BUFFER_OVERFLOW_ERROR) break;
        room *= 2;
    }
    text.resize(used);
}

}  // namespace quillon
