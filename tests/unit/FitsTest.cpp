// FITS files built here card by card from the published layout: every
// BITPIX, BZERO and BSCALE, DATAMIN and DATAMAX or the data's own range,
// the row order, a third axis, the messages, files cut short at every
// length and a header claiming more than its file holds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "formats/LoadImage.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

// One 80-character card: the keyword in columns 1-8, "= " and the value
// right-aligned to column 30, as fixed-format writers put it.
std::string Card(const std::string& keyword, const std::string& value) {
    std::string card = keyword;
    card.resize(8, ' ');
    card += "= ";
    card += std::string(value.size() < 20 ? 20 - value.size() : 0, ' ') + value;
    card.resize(80, ' ');
    return card;
}

// The cards, END, and blanks up to a whole number of 2880-byte blocks.
std::string Header(std::initializer_list<std::string> cards) {
    std::string header;
    for (const std::string& card : cards) header += card;
    header += std::string("END").append(77, ' ');
    header.resize((header.size() + 2879) / 2880 * 2880, ' ');
    return header;
}

std::string Simple(int bitpix, int width, int height) {
    return Card("SIMPLE", "T") + Card("BITPIX", std::to_string(bitpix)) + Card("NAXIS", "2") +
           Card("NAXIS1", std::to_string(width)) + Card("NAXIS2", std::to_string(height));
}

// Big-endian values, and the data padded to whole blocks with zeros.
std::string Be(uint64_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i));
    return out;
}
std::string Be32f(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return Be(bits, 4);
}
std::string Be64f(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    return Be(bits, 8);
}
std::string Blocks(std::string data) {
    data.resize((data.size() + 2879) / 2880 * 2880, '\0');
    return data;
}

class Fits : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, Host& host = QuietHost()) {
        return LoadBytes(bytes, "picture.fits", LoadOptions(), host);
    }
    // The greys of the picture from the top left, row by row.
    static std::vector<int> Greys(const test::LoadedPicture& picture) {
        const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
        std::vector<int> greys;
        for (size_t i = 0; i < rgb.rgb.size(); i += 3) {
            EXPECT_TRUE(rgb.rgb[i] == rgb.rgb[i + 1] && rgb.rgb[i] == rgb.rgb[i + 2]) << i;
            greys.push_back(rgb.rgb[i]);
        }
        return greys;
    }
};

TEST_F(Fits, TheFirstRowIsTheBottomAndDataMinMaxSpanBlackToWhite) {
    // 3 x 2 bytes from 10 to 60: 10 and 60 are black and white; the first
    // three values are the bottom row.
    const auto picture = Load(Header({Simple(8, 3, 2), Card("DATAMIN", "10.0"), Card("DATAMAX", "6.0E1")}) +
                              Blocks(std::string("\x0A\x14\x1E\x28\x32\x3C", 6)));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(picture.image.fileBitDepth, 8);
    EXPECT_EQ(picture.image.width, 3);
    EXPECT_EQ(picture.image.height, 2);
    // (v - 10) x 255 / 50, truncated: 40 -> 153, 50 -> 204, 20 -> 51, 30 -> 102.
    EXPECT_EQ(Greys(picture), (std::vector<int>{153, 204, 255, 0, 51, 102}));
}

TEST_F(Fits, EveryBitpixWithBzeroAndBscale) {
    // Each file holds the physical values 0, 100, 200, 300 (one row), with
    // DATAMIN 0 and DATAMAX 300: greys 0, 85, 170, 255.
    const std::vector<int> expected{0, 85, 170, 255};
    const std::string range = Card("DATAMIN", "0") + Card("DATAMAX", "300");
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"8 bits, BSCALE 2, BZERO -20",
         Header({Simple(8, 4, 1), Card("BSCALE", "2.0"), Card("BZERO", "-20."), range}) +
             Blocks(std::string("\x0A\x3C\x6E\xA0", 4))},
        {"16 bits, BZERO 32768",
         Header({Simple(16, 4, 1), Card("BZERO", "32768"), range}) +
             Blocks(Be(0x8000, 2) + Be(0x8064, 2) + Be(0x80C8, 2) + Be(0x812C, 2))},
        {"32 bits, negative stored values, BSCALE 0.5",
         Header({Simple(32, 4, 1), Card("BSCALE", "0.5"), Card("BZERO", "+1.5D2"), range}) +
             Blocks(Be(static_cast<uint32_t>(-300), 4) + Be(static_cast<uint32_t>(-100), 4) + Be(100, 4) +
                    Be(300, 4))},
        {"single precision", Header({Simple(-32, 4, 1), range}) +
                                 Blocks(Be32f(0) + Be32f(100) + Be32f(200) + Be32f(300))},
        {"double precision, BSCALE 4", Header({Simple(-64, 4, 1), Card("BSCALE", "4"), range}) +
                                           Blocks(Be64f(0) + Be64f(25) + Be64f(50) + Be64f(75))},
    };
    for (const Case& c : cases) {
        const auto picture = Load(c.bytes);
        ASSERT_TRUE(picture.ok()) << c.name << ": " << picture.message();
        EXPECT_EQ(Greys(picture), expected) << c.name;
        EXPECT_EQ(picture.image.fileBitDepth, 8) << c.name;
    }
}

TEST_F(Fits, WithoutAUsableRangeTheDataGivesIt) {
    // No DATAMIN or DATAMAX: the smallest value -1000 is black, the largest
    // 1000 white, after BZERO.
    const auto computed = Load(Header({Simple(16, 3, 1), Card("BZERO", "-500")}) +
                               Blocks(Be(static_cast<uint16_t>(-500), 2) + Be(500, 2) + Be(1500, 2)));
    ASSERT_TRUE(computed.ok()) << computed.message();
    EXPECT_EQ(Greys(computed), (std::vector<int>{0, 127, 255}));
    // DATAMAX below DATAMIN describes no range; a NaN is black and does not
    // count towards the range.
    const auto reversed = Load(Header({Simple(-32, 4, 1), Card("DATAMIN", "0"), Card("DATAMAX", "-1")}) +
                               Blocks(Be32f(0.25f) + Be32f(NAN) + Be32f(0.5f) + Be32f(1.25f)));
    ASSERT_TRUE(reversed.ok()) << reversed.message();
    EXPECT_EQ(Greys(reversed), (std::vector<int>{0, 0, 63, 255}));
    // Values outside DATAMIN..DATAMAX are clipped; a flat picture is black.
    const auto clipped = Load(Header({Simple(8, 3, 1), Card("DATAMIN", "50"), Card("DATAMAX", "100")}) +
                              Blocks(std::string("\x00\x4B\xFF", 3)));
    EXPECT_EQ(Greys(clipped), (std::vector<int>{0, 127, 255}));
    const auto flat = Load(Header({Simple(8, 2, 1)}) + Blocks(std::string("\x07\x07", 2)));
    EXPECT_EQ(Greys(flat), (std::vector<int>{0, 0}));
}

TEST_F(Fits, AThirdAxisShowsTheFirstPlaneAndSaysSo) {
    // Three planes of 2 x 1: 0 255 | 9 9 | 5 5.
    test::MessageRecorder host;
    const auto picture = Load(Header({Card("SIMPLE", "T"), Card("BITPIX", "8"), Card("NAXIS", "3"),
                                      Card("NAXIS1", "2"), Card("NAXIS2", "1"), Card("NAXIS3", "3")}) +
                                  Blocks(std::string("\x00\xFF\x09\x09\x05\x05", 6)),
                              host);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(host.messages, "reading image plane 1 of 3|");
    EXPECT_EQ(Greys(picture), (std::vector<int>{0, 255}));
}

TEST_F(Fits, AHeaderOverSeveralBlocksWithCommentsAndOtherCards) {
    std::string cards = Simple(8, 2, 1);
    for (int i = 0; i < 40; ++i) cards += std::string("COMMENT a remark that is no value").append(47, ' ');
    cards += Card("OBJECT", "'M31     '") + Card("DATAMAX", "100 / the largest value");
    const std::string header = Header({cards, Card("DATAMIN", "0.0")});
    ASSERT_EQ(header.size(), 2u * 2880);
    const auto picture = Load(header + Blocks(std::string("\x32\x64", 2)));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(Greys(picture), (std::vector<int>{127, 255}));
}

TEST_F(Fits, MessagesCutFilesAndHostileSizes) {
    EXPECT_EQ(Load("SIMPLE").message(), "error reading header");
    std::string noEnd = Simple(8, 1, 1);
    noEnd.resize(2880, ' ');
    EXPECT_EQ(Load(noEnd + Blocks("\x01")).message(), "error reading header");
    EXPECT_EQ(Load(Header({Card("SIMPLE", "F"), Card("BITPIX", "8")})).message(),
              "FITS file is not in simple format, can't read");
    EXPECT_EQ(Load(Header({Card("XTENSION", "'IMAGE   '"), Card("BITPIX", "8")})).message(),
              "FITS file is not in simple format, can't read");
    EXPECT_EQ(Load(Header({Simple(12, 1, 1)}) + Blocks("\x01")).message(), "unusual bits per pixel (12), can't read");
    EXPECT_EQ(Load(Header({Simple(-16, 1, 1)}) + Blocks("\x01")).message(), "unusual bits per pixel (-16), can't read");
    EXPECT_EQ(Load(Header({Simple(8, 0, 1)})).message(), "error reading header");
    EXPECT_EQ(Load(Header({Card("SIMPLE", "T"), Card("BITPIX", "8"), Card("NAXIS", "3"), Card("NAXIS1", "1"),
                           Card("NAXIS2", "1"), Card("NAXIS3", "0")})).message(),
              "error reading header");
    EXPECT_EQ(Load(Header({Simple(8, 1, 1), Card("BZERO", "many")})).message(), "error reading header");

    // A file cut anywhere gives a message or the rows it holds whole; the
    // rows it does not reach stay black.
    std::string data;
    for (int i = 0; i < 40 * 30; ++i) data += Be(static_cast<uint16_t>(i * 37 % 5000), 2);
    const std::string full = Header({Simple(16, 40, 30)}) + Blocks(data);
    for (size_t length = 0; length < full.size(); length += 7) {
        const auto picture = Load(full.substr(0, length));
        if (!picture.ok()) {
            EXPECT_EQ(picture.message(), "error reading header") << length;
        }
    }
    const auto half = Load(Header({Simple(8, 4, 4), Card("DATAMIN", "0"), Card("DATAMAX", "255")}) +
                           std::string("\xFF\xFF\xFF\xFF\x80\x80\x80\x80\x10", 9));
    ASSERT_TRUE(half.ok()) << half.message();
    EXPECT_EQ(Greys(half), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 128, 128, 128, 128, 255, 255, 255, 255}));

    // 30000 x 30000 values would take 900 MB of canvas.
    test::LoadedPicture loaded;
    const long growth =
        test::PeakMemoryGrowthKb([&] { loaded = Load(Header({Simple(-64, 30000, 30000)}) + Blocks(Be64f(1))); });
    EXPECT_EQ(loaded.message(), "error reading header");
    EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
}

}  // namespace
}  // namespace marbleye
