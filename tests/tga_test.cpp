#include <gtest/gtest.h>

#include <GL/gl.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "scenery/scenery_gl.h"
#include "scenery/tga.h"
#include "tests/gl_recorder.h"
#include "tests/tga_files.h"

namespace {

const char *const REJECTED = "RETURN ERROR CALLED \n";

struct Decoded {
    int result;
    std::string output;
    TgaImage image;
};

Decoded decode(const Bytes &bytes)
{
    Decoded d{};
    testing::internal::CaptureStdout();
    d.result = decodeTgaMemory(bytes.data(), bytes.size(), &d.image);
    d.output = testing::internal::GetCapturedStdout();
    return d;
}

// Decodes and expects a rejection with exactly the given messages and no image.
void expectRejected(const Bytes &bytes, int code, const std::string &messages)
{
    const Decoded d = decode(bytes);
    EXPECT_EQ(d.result, code);
    EXPECT_EQ(d.output, messages);
    EXPECT_EQ(d.image.pixels, nullptr);
}

struct Loaded {
    int result;
    std::string output;
};

Loaded load(const std::string &path, unsigned int name)
{
    resetGlRecorder();
    testing::internal::CaptureStdout();
    const int result = loadTgaTexture(path.c_str(), name);
    return {result, testing::internal::GetCapturedStdout()};
}

}  // namespace

TEST(TgaLoad, UploadsBgrAsRgbWithTheGlStateItNeeds)
{
    ScratchDirectory dir;
    TgaHeader h;
    h.width = 256;
    h.height = 256;
    Bytes pixels = patternBytes(256 * 256 * 3);
    pixels[0] = 10;
    pixels[1] = 20;
    pixels[2] = 30;
    writeBytes("rgb.tga", tgaFile(h, pixels));

    const Loaded r = load("rgb.tga", 7);
    EXPECT_EQ(r.result, TGA_LOADED);
    EXPECT_EQ(r.output, "");
    ASSERT_EQ(callNames(),
              "glBindTexture glPixelStorei glTexParameteri glTexParameteri glTexParameteri glTexEnvf glTexImage2D");
    EXPECT_EQ(glCalls[0].args, (std::vector<double>{GL_TEXTURE_2D, 7}));
    EXPECT_EQ(glCalls[1].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
    EXPECT_EQ(glCalls[2].args, (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT}));
    EXPECT_EQ(glCalls[3].args, (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT}));
    EXPECT_EQ(glCalls[4].args, (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}));
    EXPECT_EQ(glCalls[5].args, (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    EXPECT_EQ(glCalls[6].args, (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(texFormat, TGA_FORMAT_RGB);

    ASSERT_EQ(lastTexImage.size(), pixels.size());
    EXPECT_EQ(lastTexImage[0], 30);
    EXPECT_EQ(lastTexImage[1], 20);
    EXPECT_EQ(lastTexImage[2], 10);
    // Every pixel swapped, rows in file order: the last stored pixel is the last texel.
    for (std::size_t at = 0; at < pixels.size(); at += 3) {
        ASSERT_EQ(lastTexImage[at], pixels[at + 2]) << at;
        ASSERT_EQ(lastTexImage[at + 1], pixels[at + 1]) << at;
        ASSERT_EQ(lastTexImage[at + 2], pixels[at]) << at;
    }
}

TEST(TgaLoad, ThirtyTwoBitsNonSquareKeepsAlpha)
{
    ScratchDirectory dir;
    TgaHeader h;
    h.width = 64;
    h.height = 32;
    h.depth = 32;
    const Bytes file = validTga(h);
    writeBytes("rgba.tga", file);

    const Loaded r = load("rgba.tga", 3);
    ASSERT_EQ(r.result, TGA_LOADED);
    const std::vector<GlCall> upload = callsNamed("glTexImage2D");
    ASSERT_EQ(upload.size(), 1u);
    EXPECT_EQ(upload[0].args, (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGBA, 64, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE}));
    ASSERT_EQ(lastTexImage.size(), 64u * 32u * 4u);
    for (std::size_t at = 0; at < lastTexImage.size(); at += 4) {
        const unsigned char *stored = &file[18 + at];
        ASSERT_EQ(lastTexImage[at], stored[2]) << at;
        ASSERT_EQ(lastTexImage[at + 1], stored[1]) << at;
        ASSERT_EQ(lastTexImage[at + 2], stored[0]) << at;
        ASSERT_EQ(lastTexImage[at + 3], stored[3]) << "alpha reaches the GL unchanged at " << at;
    }
}

TEST(TgaDecode, DepthAloneDecidesTheLayout)
{
    // 8 bits are alpha values, unchanged, whether the type says grey or true colour.
    for (int type : {3, 2}) {
        TgaHeader h;
        h.imageType = type;
        h.width = 8;
        h.height = 4;
        h.depth = 8;
        Decoded d = decode(validTga(h));
        ASSERT_EQ(d.result, TGA_LOADED) << type;
        EXPECT_EQ(texFormat, TGA_FORMAT_ALPHA);
        EXPECT_EQ(Bytes(d.image.pixels, d.image.pixels + 32), patternBytes(32)) << type;
        std::free(d.image.pixels);
    }
    // A grey-typed file of 24-bit pixels is read as colour.
    TgaHeader h;
    h.imageType = 3;
    Decoded d = decode(validTga(h));
    ASSERT_EQ(d.result, TGA_LOADED);
    EXPECT_EQ(texFormat, TGA_FORMAT_RGB);
    EXPECT_EQ(d.image.width, 2);
    EXPECT_EQ(d.image.height, 2);
    std::free(d.image.pixels);
}

TEST(TgaDecode, TextureSizesArePowersOfTwoFromTwoTo1024)
{
    int accepted = 0;
    for (int n = -2; n <= 70000; ++n)
        if (isTextureSize(n)) {
            EXPECT_EQ(n & (n - 1), 0) << n;
            EXPECT_GE(n, 2);
            EXPECT_LE(n, 1024);
            ++accepted;
        }
    EXPECT_EQ(accepted, 10);
}

TEST(TgaDecode, RejectsBadDimensionsBeforeAnythingElse)
{
    for (int bad : {0, 1, 3, 300, 2048, 65535}) {
        TgaHeader wide;
        wide.width = bad;
        expectRejected(tgaFile(wide, patternBytes(64)), TGA_BAD_DIMENSION, std::string("bad dimension\n") + REJECTED);
        TgaHeader tall;
        tall.height = bad;
        expectRejected(tgaFile(tall, patternBytes(64)), TGA_BAD_DIMENSION, std::string("bad dimension\n") + REJECTED);
    }
    // A bad size and a bad depth together report only the size.
    TgaHeader both;
    both.width = 3;
    both.depth = 16;
    expectRejected(tgaFile(both, {}), TGA_BAD_DIMENSION, std::string("bad dimension\n") + REJECTED);
}

TEST(TgaDecode, RejectsDepthsOtherThan8_24_32)
{
    for (int bad : {0, 1, 15, 16, 23, 31, 33, 48, 64, 255}) {
        TgaHeader h;
        h.depth = bad;
        expectRejected(tgaFile(h, patternBytes(64)), TGA_BAD_BITS, std::string("bad bits\n") + REJECTED);
    }
}

TEST(TgaDecode, RejectsCompressedAndColourMappedFilesSilently)
{
    for (int type : {0, 1, 9, 10, 11, 32, 33}) {
        TgaHeader h;
        h.imageType = type;
        expectRejected(validTga(h), TGA_UNSUPPORTED_TYPE, REJECTED);
    }
    TgaHeader mapped;
    mapped.colourMapType = 1;
    expectRejected(validTga(mapped), TGA_UNSUPPORTED_TYPE, REJECTED);
    // The type is judged before the size and the depth.
    TgaHeader rle;
    rle.imageType = 10;
    rle.width = 300;
    rle.depth = 16;
    expectRejected(tgaFile(rle, {}), TGA_UNSUPPORTED_TYPE, REJECTED);
}

TEST(TgaDecode, ShortFilesAreRejected)
{
    TgaHeader h;
    h.width = 4;
    h.height = 4;
    const Bytes whole = validTga(h);
    // No complete header: nothing can be said about the type.
    for (std::size_t n : {0, 1, 2, 3, 11, 12, 15, 17})
        expectRejected(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)), TGA_UNSUPPORTED_TYPE, REJECTED);
    // A header whose pixels are missing or one byte short.
    for (std::size_t n : {18ul, whole.size() - 1})
        expectRejected(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)), TGA_READ_FAILED, REJECTED);
    // An image ID field that runs past the end of the file.
    TgaHeader id;
    id.idLength = 200;
    const Bytes cut = tgaFile(id, {});
    expectRejected(Bytes(cut.begin(), cut.begin() + 40), TGA_READ_FAILED, REJECTED);
}

TEST(TgaDecode, PixelsFollowTheImageIdField)
{
    TgaHeader h;
    h.idLength = 5;
    h.depth = 32;
    const Bytes pixels = patternBytes(16);
    Decoded d = decode(tgaFile(h, pixels));
    ASSERT_EQ(d.result, TGA_LOADED);
    EXPECT_EQ(d.output, "");
    EXPECT_EQ(d.image.pixels[0], pixels[2]);
    EXPECT_EQ(d.image.pixels[2], pixels[0]);
    EXPECT_EQ(d.image.pixels[15], pixels[15]);
    std::free(d.image.pixels);
}

TEST(TgaDecode, DescriptorAndTrailingBytesChangeNothing)
{
    TgaHeader h;
    h.width = 4;
    h.height = 2;
    Bytes plain = validTga(h);
    Decoded reference = decode(plain);
    ASSERT_EQ(reference.result, TGA_LOADED);
    const Bytes expected(reference.image.pixels, reference.image.pixels + 24);
    std::free(reference.image.pixels);

    // Top-left origin, alpha bits, reserved bits: rows still come in file order.
    for (int descriptor : {0x20, 0x28, 0x10, 0xff}) {
        h.descriptor = descriptor;
        Decoded d = decode(validTga(h));
        ASSERT_EQ(d.result, TGA_LOADED) << descriptor;
        EXPECT_EQ(Bytes(d.image.pixels, d.image.pixels + 24), expected) << descriptor;
        std::free(d.image.pixels);
    }
    // A footer or any other bytes after the pixels are not read.
    plain.insert(plain.end(), 26, 0x55);
    Decoded footer = decode(plain);
    ASSERT_EQ(footer.result, TGA_LOADED);
    EXPECT_EQ(Bytes(footer.image.pixels, footer.image.pixels + 24), expected);
    std::free(footer.image.pixels);
}

TEST(TgaDecode, ReadersRefuseCountsNoTextureCanHave)
{
    const Bytes data = patternBytes(64);
    texFormat = 0;
    for (int count : {0, -1, -1000, 1024 * 1024 + 1}) {
        FILE *stream = fmemopen(const_cast<unsigned char *>(data.data()), data.size(), "rb");
        EXPECT_EQ(readPixels8(stream, count), nullptr) << count;
        EXPECT_EQ(readPixels32(stream, count), nullptr) << count;
        EXPECT_EQ(std::ftell(stream), 0) << "nothing read for " << count;
        std::fclose(stream);
    }
    FILE *stream = fmemopen(const_cast<unsigned char *>(data.data()), data.size(), "rb");
    EXPECT_EQ(readTgaPixels(stream, 4, 16), nullptr);
    EXPECT_EQ(texFormat, 0) << "a failed read leaves the format alone";
    unsigned char *pixels = readTgaPixels(stream, 4, 24);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(texFormat, TGA_FORMAT_RGB);
    EXPECT_EQ(pixels[0], data[2]);
    std::free(pixels);
    std::fclose(stream);
}

TEST(TgaLoad, RejectedFilesMakeNoGlCallAndCloseTheirStream)
{
    ScratchDirectory dir;
    TgaHeader ok;
    TgaHeader badType = ok;
    badType.imageType = 10;
    TgaHeader badSize = ok;
    badSize.width = 3;
    TgaHeader badBits = ok;
    badBits.depth = 16;
    const Bytes whole = validTga(ok);
    writeBytes("type.tga", validTga(badType));
    writeBytes("size.tga", validTga(badSize));
    writeBytes("bits.tga", validTga(badBits));
    writeBytes("short.tga", Bytes(whole.begin(), whole.end() - 1));
    writeBytes("header.tga", Bytes(whole.begin(), whole.begin() + 10));
    writeBytes("ok.tga", whole);
    // Things under an image's name that are not image files at all.
    ASSERT_EQ(mkdir("folder.tga", 0755), 0);
    ASSERT_EQ(mkfifo("pipe.tga", 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", "device.tga"), 0);
    ASSERT_EQ(symlink("nothing-here", "dangling.tga"), 0);

    const struct {
        const char *file;
        int result;
        std::string output;
    } cases[] = {
        {"missing.tga", TGA_CANNOT_OPEN, REJECTED},
        {"type.tga", TGA_UNSUPPORTED_TYPE, REJECTED},
        {"size.tga", TGA_BAD_DIMENSION, std::string("bad dimension\n") + REJECTED},
        {"bits.tga", TGA_BAD_BITS, std::string("bad bits\n") + REJECTED},
        {"short.tga", TGA_READ_FAILED, REJECTED},
        {"header.tga", TGA_UNSUPPORTED_TYPE, REJECTED},
        {"folder.tga", TGA_UNSUPPORTED_TYPE, REJECTED},
        {"pipe.tga", TGA_UNSUPPORTED_TYPE, REJECTED},
        {"device.tga", TGA_UNSUPPORTED_TYPE, REJECTED},
        {"dangling.tga", TGA_CANNOT_OPEN, REJECTED},
    };
    const int open = openDescriptors();
    // A pipe with no writer would hold an opening read forever: fail loudly instead.
    alarm(10);
    for (const auto &c : cases) {
        const Loaded r = load(c.file, 5);
        EXPECT_EQ(r.result, c.result) << c.file;
        EXPECT_EQ(r.output, c.output) << c.file;
        EXPECT_TRUE(glCalls.empty()) << c.file << ": " << callNames();
        EXPECT_EQ(openDescriptors(), open) << c.file << " left its stream open";
    }
    alarm(0);
    EXPECT_EQ(load("ok.tga", 5).result, TGA_LOADED);
    EXPECT_EQ(openDescriptors(), open) << "a loaded file left its stream open";
}
