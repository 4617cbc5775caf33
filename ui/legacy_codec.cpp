#include "legacy_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include "encoding_profile.h"
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

const char* converterForProfile(qint32 profileId) {
    switch (profileId) {
        case kGbId:
        case kGbkId:
            return kGbkConverter;
        case kBig5Id:
            return kBig5Converter;
        default:
            return kAsciiConverter;
    }
}

const char* converterForCharSet(qint32 charSet, qint32 profileId) {
    switch (charSet) {
        case kGb2312CharSet:
            return kGbkConverter;
        case kChineseBig5CharSet:
            return kBig5Converter;
        default:
            return converterForProfile(profileId);
    }
}

const char* converterForClipboardSource(qint32 sourceEncoding) {
    if (sourceEncoding == kGbId || sourceEncoding == kGbkId || sourceEncoding == kBig5Id)
        return converterForProfile(sourceEncoding);
    return kUtf8Converter;
}

EncodedText encodeLegacy(QStringView text, const char* converterName) {
    EncodedText result;
    UConverter* converter = openConverter(converterName);
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter, countAndSubstituteFromUnicode, &result.replacedCount, nullptr,
                          nullptr, &error);
    const auto length = static_cast<int32_t>(text.size());
    result.bytes.resize(UCNV_GET_MAX_BYTES_FOR_STRING(length, ucnv_getMaxCharSize(converter)));
    const int32_t written =
        ucnv_fromUChars(converter, result.bytes.data(), static_cast<int32_t>(result.bytes.size()),
                        reinterpret_cast<const UChar*>(text.utf16()), length, &error);
    result.bytes.resize(U_SUCCESS(error) ? written : 0);
    ucnv_close(converter);
    return result;
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
