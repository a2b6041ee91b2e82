// The GIF suite: every file decodes or gives the reader's message, the outcome
// of each stays as recorded in gifsuite.golden, and decoded frames match the
// suite's expected frames wherever our strip rules agree with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(MARBLEYE_CORPORA_DIR) / "gif-suite";
const fs::path kGolden = fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "gifsuite.golden";

// The keys of a .conf file, section by section ("config.width", "frame0.pixels").
std::map<std::string, std::string> ReadConf(const fs::path& path) {
    std::map<std::string, std::string> keys;
    std::ifstream in(path);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t equals = line.find(" = ");
        if (equals != std::string::npos) keys[section + "." + line.substr(0, equals)] = line.substr(equals + 3);
    }
    return keys;
}

std::vector<fs::path> Confs() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kSuite)) {
        if (entry.path().extension() == ".conf") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(GifSuite, EveryFileKeepsItsRecordedOutcome) {
    if (!fs::exists(kSuite)) GTEST_SKIP() << "no corpus at " << kSuite;
    std::string outcomes;
    for (const fs::path& conf : Confs()) {
        const std::string gif = ReadConf(conf)["config.input"];
        const auto picture = test::LoadPicture((kSuite / gif).string());
        std::ostringstream line;
        line << gif << ' ';
        if (!picture.ok()) {
            line << "message " << picture.message();
        } else {
            const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
            line << rgb.width << 'x' << rgb.height << " frames " << std::max(picture.image.animation.frameCount, 1)
                 << " depth " << picture.image.fileBitDepth << " rgb " << std::hex << test::Fnv1a(rgb.rgb);
        }
        outcomes += line.str() + "\n";
    }
    test::ExpectGolden(kGolden.string(), outcomes);
}

// Files where the reader's rules give another picture than the suite expects.
const std::map<std::string, std::string> kDifferentRules = {
    {"max-codes.gif", "minimum code size 11: frames with a code size outside 2..9 keep the background"},
};

// Compares each decoded cell with the suite's expected frame on the pixels
// the suite marks opaque: our strip fills transparent places with the
// background colour or the previous frame, which the suite leaves transparent.
TEST(GifSuite, FramesMatchTheExpectedPixelsWhereTheRulesAgree) {
    if (!fs::exists(kSuite)) GTEST_SKIP() << "no corpus at " << kSuite;
    int compared = 0;
    for (const fs::path& conf : Confs()) {
        std::map<std::string, std::string> keys = ReadConf(conf);
        if (kDifferentRules.count(keys["config.input"])) continue;
        const auto picture = test::LoadPicture((kSuite / keys["config.input"]).string());
        if (!picture.ok()) continue;
        const int width = std::atoi(keys["config.width"].c_str()), height = std::atoi(keys["config.height"].c_str());
        const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
        const int cells = std::max(picture.image.animation.frameCount, 1);
        // Cells are sized by the frames, not the screen; and every image is a
        // cell of its own, where the suite merges images shown at once.
        const std::string frameList = keys["config.frames"];
        const int listed = static_cast<int>(std::count(frameList.begin(), frameList.end(), ',')) + 1;
        if (rgb.width != width || rgb.height != height * cells || listed != cells) continue;
        std::istringstream frames(frameList);
        std::string frame;
        for (int k = 0; k < cells && frames >> frame; ++k) {
            if (frame.back() == ',') frame.pop_back();
            const std::string expected = test::ReadFileBytes((kSuite / keys[frame + ".pixels"]).string());
            if (expected.size() != static_cast<size_t>(width) * height * 4) continue;
            const int cellTop = (cells - 1 - k) * height;  // the first frame is the bottom cell
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uint8_t* e = reinterpret_cast<const uint8_t*>(expected.data()) + (y * width + x) * 4;
                    if (e[3] != 255) continue;
                    const uint8_t* a = rgb.At(x, cellTop + y);
                    ASSERT_TRUE(a[0] == e[0] && a[1] == e[1] && a[2] == e[2])
                        << conf.filename() << " frame " << k << " pixel " << x << "," << y;
                }
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace marbleye
