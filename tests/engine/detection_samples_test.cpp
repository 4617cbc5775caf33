// Detection over the sample files in detection/: the folder a file lies in
// names the profile detection must find, the file name says what the sample
// shows. Each file is a test case of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "text_formatter.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> samples() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(QUILLON_DETECTION_SAMPLES)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class DetectionSample : public ::testing::TestWithParam<fs::path> {};

TEST_P(DetectionSample, FindsTheProfileItsFolderNames) {
    TextFormatter formatter;
    std::int32_t id = -1;
    ASSERT_EQ(formatter.detectEncoding(GetParam().c_str(), id), kSuccess);
    const EncodingProfile* profile = profileById(id);
    ASSERT_NE(profile, nullptr) << id;
    EXPECT_EQ(std::string(profile->name), GetParam().parent_path().filename().string());
}

INSTANTIATE_TEST_SUITE_P(Samples, DetectionSample, ::testing::ValuesIn(samples()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.parent_path().filename().string() + "_" +
                                                info.param.stem().string();
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](unsigned char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

}  // namespace
}  // namespace quillon
