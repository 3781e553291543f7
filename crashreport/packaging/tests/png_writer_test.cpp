#include "crashreport/packaging/octree_quantizer.h"
#include "crashreport/packaging/png_writer.h"

#include "crashreport/packaging/tests/temp_folder.h"

#include <QByteArray>
#include <QImage>
#include <gtest/gtest.h>

#include <random>
#include <set>

namespace faulttrap {
namespace {

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at])) << 24 |
           static_cast<std::uint8_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint8_t>(bytes[at + 2]) << 8 | static_cast<std::uint8_t>(bytes[at + 3]);
}

struct Chunk {
    std::string type;
    std::uint32_t length;
};

std::vector<Chunk> Chunks(const std::string& png) {
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = BigEndian32(png, at);
        chunks.push_back({png.substr(at + 4, 4), length});
        at += 12 + length;
    }
    return chunks;
}

QImage Decode(const std::string& png) {
    return QImage::fromData(QByteArray(png.data(), static_cast<qsizetype>(png.size())), "PNG");
}

// A picture of a few colours, which the quantisation keeps exactly.
TRgbImage Stripes(int width, int height) {
    TRgbImage image(width, height);
    const std::uint8_t colours[4][3] = {{255, 0, 0}, {0, 128, 0}, {10, 20, 30}, {255, 255, 255}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto& c = colours[(x / 3 + y) % 4];
            std::copy(c, c + 3, image.Pixel(x, y));
        }
    }
    return image;
}

void ExpectSamePixels(const TRgbImage& image, const QImage& decoded) {
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.width(), image.width);
    ASSERT_EQ(decoded.height(), image.height);
    EXPECT_EQ(decoded.format(), QImage::Format_Indexed8);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.Pixel(x, y);
            ASSERT_EQ(decoded.pixel(x, y), qRgb(p[0], p[1], p[2])) << x << "," << y;
        }
    }
}

TEST(PngWriter, WritesTheIndexedLayoutThatADecoderReadsBack) {
    const TRgbImage image = Stripes(37, 11);
    const std::string png = EncodePng(image);
    ASSERT_EQ(png.substr(0, 8), std::string("\211PNG\r\n\032\n", 8));
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[0].length, 13u);
    EXPECT_EQ(BigEndian32(png, 16), 37u);
    EXPECT_EQ(BigEndian32(png, 20), 11u);
    EXPECT_EQ(png.substr(24, 5), std::string("\x08\x03\x00\x00\x00", 5));
    EXPECT_EQ(chunks[1].type, "PLTE");
    EXPECT_EQ(chunks[1].length, 768u);
    EXPECT_EQ(chunks[2].type, "IDAT");
    EXPECT_EQ(chunks[3].type, "IEND");
    EXPECT_EQ(chunks[3].length, 0u);
    ExpectSamePixels(image, Decode(png));
}

TEST(PngWriter, OnePixelWideCaptureGivesOnePixelWidePng) {
    const TRgbImage image = Stripes(1, 9);
    const std::string png = EncodePng(image);
    EXPECT_EQ(BigEndian32(png, 16), 1u);
    ExpectSamePixels(image, Decode(png));
}

TEST(PngWriter, SplitsLargeImageDataIntoChunksOfAtMost0x3FFFFBytes) {
    std::mt19937 random(1);
    TRgbImage noise(1024, 768); // random pixels hardly compress: several chunks of data
    for (auto& byte : noise.pixels) {
        byte = static_cast<std::uint8_t>(random());
    }
    const std::string png = EncodePng(noise);
    std::size_t idat = 0;
    for (const Chunk& chunk : Chunks(png)) {
        if (chunk.type == "IDAT") {
            ++idat;
            EXPECT_LE(chunk.length, PngMaxIdatBytes);
        }
    }
    EXPECT_GE(idat, 2u);
    const QImage decoded = Decode(png);
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.width(), 1024);
    EXPECT_EQ(decoded.height(), 768);
    EXPECT_LE(decoded.colorCount(), 256);
}

TEST(PngWriter, FileIsWrittenOnlyForAPathAndAPicture) {
    testing::TempFolder folder;
    const auto path = folder / "Screenshot.png";
    EXPECT_FALSE(WritePngFile("", Stripes(2, 2)));
    EXPECT_FALSE(WritePngFile(path.string(), TRgbImage()));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(WritePngFile((folder / "missing/dir/x.png").string(), Stripes(2, 2)));
    ASSERT_TRUE(WritePngFile(path.string(), Stripes(5, 4)));
    ExpectSamePixels(Stripes(5, 4), Decode(testing::ReadFile(path)));
}

TEST(OctreeQuantizer, KeepsAtMost256LeavesAndAveragesMergedColours) {
    TOctreeQuantizer many;
    for (int c = 0; c < 4096; ++c) {
        many.AddColour(static_cast<std::uint8_t>(c * 7), static_cast<std::uint8_t>(c * 13),
                       static_cast<std::uint8_t>(c));
        ASSERT_LE(many.LeafCount(), 256u);
    }
    EXPECT_GT(many.LeafCount(), 64u);

    TOctreeQuantizer few;
    few.AddColour(10, 20, 30);
    few.AddColour(10, 20, 30);
    few.AddColour(200, 100, 0);
    EXPECT_EQ(few.LeafCount(), 2u);
    const TPalette palette = few.Palette();
    // Tree order: the colour with red's top bit clear comes first; the rest stays black.
    EXPECT_EQ(palette[0], (TPaletteEntry{10, 20, 30}));
    EXPECT_EQ(palette[1], (TPaletteEntry{200, 100, 0}));
    EXPECT_EQ(palette[2], (TPaletteEntry{0, 0, 0}));
}

TEST(OctreeQuantizer, MergingTwoSiblingLeavesGivesTheirCountWeightedAverage) {
    TOctreeQuantizer quantizer;
    // 257 grey levels cannot stay apart: one level-7 node folds two neighbours.
    for (int g = 0; g < 256; ++g) {
        quantizer.AddColour(static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(g),
                            static_cast<std::uint8_t>(g));
    }
    EXPECT_EQ(quantizer.LeafCount(), 256u);
    quantizer.AddColour(0, 0, 1);
    EXPECT_LE(quantizer.LeafCount(), 256u);
    std::set<int> reds;
    for (const TPaletteEntry& entry : quantizer.Palette()) {
        reds.insert(entry.red);
    }
    EXPECT_LT(reds.size(), 257u);
}

} // namespace
} // namespace faulttrap
