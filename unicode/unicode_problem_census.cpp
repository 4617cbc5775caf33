#include "unicode_problem_census.h"

#include <vector>

#include "code_point_stream.h"
#include "family_maps.h"
#include "line_reader.h"
#include "text_file.h"
#include "text_formatter.h"

namespace quillon::unicode {

std::optional<ProblemCensus> takeUnicodeProblemCensus(const SourceText& source, const char* encoding,
                                                      const EncodingProfile& from, const EncodingProfile& to,
                                                      CensusProblem problem) {
    CodePointReader reader;
    if (!reader.open(source, encoding)) return std::nullopt;
    const FamilyMaps& maps = FamilyMaps::instance();
    const auto hasProblem = [&](char32_t c) {
        if (problem == CensusProblem::Invalid) return c == kInvalidMarker;
        return c >= 0x80 && c != kInvalidMarker && maps.encode(from, to, c) == 0;
    };
    ProblemCensus census;
    std::int64_t line = 1;
    std::int64_t column = 0;
    std::vector<char32_t> text(4096);
    while (const std::size_t count = reader.read(text.data(), text.size())) {
        for (std::size_t i = 0; i < count; ++i) {
            const char32_t c = text[i];
            if (c == '\n') {
                ++line;
                column = 0;
                continue;
            }
            ++column;
            if (hasProblem(c) && census.count++ == 0) {
                census.line = line;
                census.column = column;
                if (problem == CensusProblem::Unmappable) census.character = c;
            }
        }
    }
    if (reader.failed()) return std::nullopt;
    return census;
}

std::optional<ProblemCensus> warningCensus(const CensusSource& source, RunKind kind, RunResult result,
                                           const TextFormatter& formatter, const EdgeOutput& written) {
    if ((result != kInvalidCodeWarning && result != kUnmappableWarning) || formatter.htmlAware() != 0 ||
        formatter.sourceProfile == nullptr || formatter.targetProfile == nullptr) {
        return std::nullopt;
    }
    const CensusProblem problem = result == kInvalidCodeWarning ? CensusProblem::Invalid : CensusProblem::Unmappable;
    const bool legacyOutput = written.unicodeEncoding == nullptr;
    if (written.unicodeSource != nullptr && (legacyOutput || problem == CensusProblem::Invalid)) {
        return takeUnicodeProblemCensus(source.path != nullptr ? SourceText(source.path)
                                                               : SourceText::inMemory(source.text),
                                        written.unicodeSource, *formatter.sourceProfile, *formatter.targetProfile,
                                        problem);
    }
    if (written.unicodeSource == nullptr && legacyOutput && kind == RunKind::Convert && formatter.phrases() == 0) {
        if (source.path != nullptr) {
            return takeProblemCensus(source.path, *formatter.sourceProfile, *formatter.targetProfile, problem);
        }
        LineReader reader;
        reader.open(blockSourceOf(source.text));
        return takeProblemCensus(reader, *formatter.sourceProfile, *formatter.targetProfile, problem);
    }
    return std::nullopt;
}

}  // namespace quillon::unicode
