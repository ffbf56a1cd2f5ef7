#include <gtest/gtest.h>

#include <sys/stat.h>

#include <GL/gl.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "scenery/scenery_gl.h"
#include "scenery/textures.h"
#include "scenery/tga.h"
#include "tests/gl_recorder.h"
#include "tests/tga_files.h"

// The lookup's own steps (scenery/textures.cpp).
std::string programDirectory();
std::string imageDirectoryFor(const std::string &programDir);

namespace {

const std::string IMAGES = CAUSTICS_IMAGE_DIR;

// Runs the start-up set-up with the given directory of shipped images and
// returns what it printed.
std::string runSetup(const std::string &imageDirectory)
{
    textureDirectory = imageDirectory;
    resetGlRecorder();
    testing::internal::CaptureStdout();
    setupTexturesAndLight();
    return testing::internal::GetCapturedStdout();
}

// The texture names that received an image, in upload order.
std::vector<double> uploadedNames()
{
    std::vector<double> names;
    for (std::size_t k = 0; k < glCalls.size(); ++k)
        if (glCalls[k].name == "glTexImage2D") {
            // The loader binds the name six calls before the upload.
            EXPECT_GE(k, 6u);
            EXPECT_EQ(glCalls[k - 6].name, "glBindTexture");
            names.push_back(glCalls[k - 6].args[1]);
        }
    return names;
}

std::vector<double> namesExcept(int skipped)
{
    std::vector<double> names;
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        if (i != skipped)
            names.push_back(i + 1);  // the recorder hands out names 1, 2, 3, ...
    return names;
}

// Share of blue in the average colour of a block of rows of a decoded RGB(A) image.
double blueShare(const TgaImage &img, int channels, int firstRow, int rows, int firstColumn, int columns)
{
    double sum[3] = {0, 0, 0};
    for (int y = firstRow; y < firstRow + rows; ++y)
        for (int x = firstColumn; x < firstColumn + columns; ++x)
            for (int k = 0; k < 3; ++k)
                sum[k] += img.pixels[(static_cast<std::size_t>(y) * img.width + x) * channels + k];
    return sum[2] / (sum[0] + sum[1] + sum[2]);
}

}  // namespace

TEST(TextureSetup, LoadsTheFourteenImagesInTableOrderThenSetsTheSpot)
{
    ScratchDirectory dir;  // nothing in the working directory: every image comes from the program's own
    const std::string output = runSetup(IMAGES);
    EXPECT_EQ(output, "") << "the shipped images load without a message";

    ASSERT_GE(glCalls.size(), 4u);
    EXPECT_EQ(glCalls[0].name, "glShadeModel");
    EXPECT_EQ(glCalls[0].args, std::vector<double>{GL_SMOOTH});
    EXPECT_EQ(glCalls[1].name, "glGenTextures");
    EXPECT_EQ(glCalls[1].args, std::vector<double>{TEXTURE_COUNT});
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        EXPECT_EQ(textureIds[i], static_cast<unsigned int>(i + 1));
    EXPECT_EQ(uploadedNames(), namesExcept(-1));

    const GlCall &cutoff = glCalls[glCalls.size() - 2];
    const GlCall &direction = glCalls.back();
    EXPECT_EQ(cutoff.name, "glLightf");
    EXPECT_EQ(cutoff.args, (std::vector<double>{GL_LIGHT0, GL_SPOT_CUTOFF, 45.0}));
    EXPECT_EQ(direction.name, "glLightfv");
    EXPECT_EQ(direction.args, (std::vector<double>{GL_LIGHT0, GL_SPOT_DIRECTION, -1.0, -1.0, 0.0}));
    // The spot is set but lighting stays off: nothing is enabled here.
    EXPECT_EQ(countCalls("glEnable"), 0);
}

TEST(TextureSetup, ShippedImagesAreTexturesTheLoaderAccepts)
{
    for (int i = 0; i < TEXTURE_COUNT; ++i) {
        const std::string path = IMAGES + "/" + textureFiles[i];
        TgaImage img;
        testing::internal::CaptureStdout();
        const int result = decodeTgaFile(path.c_str(), &img);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << path;
        ASSERT_EQ(result, TGA_LOADED) << path;
        EXPECT_TRUE(texFormat == TGA_FORMAT_RGB || texFormat == TGA_FORMAT_RGBA) << path;
        const int channels = texFormat == TGA_FORMAT_RGBA ? 4 : 3;

        const int role = i < 12 ? i % 3 : -1;  // 0 floor, 1 reflection, 2 walls; -1 the box
        if (role == 2) {
            // The walls put the first row at their top edge: it must be sky, bluer than the ground at the bottom.
            EXPECT_GT(blueShare(img, channels, 0, 1, 0, img.width),
                      blueShare(img, channels, img.height - 1, 1, 0, img.width) + 0.05)
                << path << " is stored upside down";
        } else if (role == 1) {
            // The sphere map's upper half looks up: its zenith (t = 0.85) is sky, its nadir (t = 0.15) ground.
            const int up = img.height * 85 / 100, down = img.height * 15 / 100, mid = img.width / 2;
            EXPECT_GT(blueShare(img, channels, up - 2, 5, mid - 2, 5), blueShare(img, channels, down - 2, 5, mid - 2, 5) + 0.05)
                << path << " is stored upside down";
        }
        std::free(img.pixels);
    }
}

TEST(TextureSetup, WorkingDirectoryFirstThenTheProgramsImages)
{
    ScratchDirectory dir;
    const std::string shipped = dir.path + "/shipped";
    std::filesystem::create_directory(shipped);
    writeBytes(shipped + "/both.tga", validTga(TgaHeader{}));
    writeBytes(shipped + "/shipped-only.tga", validTga(TgaHeader{}));
    writeBytes("both.tga", validTga(TgaHeader{}));

    textureDirectory = shipped;
    EXPECT_EQ(texturePath("both.tga"), "both.tga");
    EXPECT_EQ(texturePath("shipped-only.tga"), shipped + "/shipped-only.tga");
    EXPECT_EQ(texturePath("nowhere.tga"), "nowhere.tga") << "a missing file is reported by its own name";
    // A name that cannot be opened in the working directory is taken from the
    // program's images; anything that opens there, even a folder, is the user's.
    writeBytes(shipped + "/dangling.tga", validTga(TgaHeader{}));
    ASSERT_EQ(symlink("nothing-here", "dangling.tga"), 0);
    EXPECT_EQ(texturePath("dangling.tga"), shipped + "/dangling.tga");
    writeBytes(shipped + "/folder.tga", validTga(TgaHeader{}));
    std::filesystem::create_directory("folder.tga");
    EXPECT_EQ(texturePath("folder.tga"), "folder.tga");
    writeBytes(shipped + "/pipe.tga", validTga(TgaHeader{}));
    ASSERT_EQ(mkfifo("pipe.tga", 0600), 0);
    EXPECT_EQ(texturePath("pipe.tga"), "pipe.tga") << "looking must not wait for a writer";
    textureDirectory = "";
    EXPECT_EQ(texturePath("shipped-only.tga"), "shipped-only.tga");
}

TEST(TextureSetup, TheProgramsImagesInDataBesideItElseInShareCaustics)
{
    namespace fs = std::filesystem;
    ScratchDirectory dir;
    // An installed tree: <prefix>/bin/caustics, <prefix>/share/caustics/.
    const std::string bin = dir.path + "/prefix/bin/";
    fs::create_directories(bin);
    EXPECT_EQ(imageDirectoryFor(bin), "") << "no images anywhere";
    fs::create_directories(dir.path + "/prefix/share/caustics");
    const std::string installed = imageDirectoryFor(bin);
    ASSERT_NE(installed, "");
    EXPECT_TRUE(fs::equivalent(installed, dir.path + "/prefix/share/caustics")) << installed;
    // The build tree: data/ beside the program comes first.
    fs::create_directory(bin + "data");
    EXPECT_EQ(imageDirectoryFor(bin), bin + "data");
    EXPECT_EQ(imageDirectoryFor(""), "") << "a program that cannot be located has no images of its own";

    EXPECT_TRUE(fs::equivalent(programDirectory(), fs::read_symlink("/proc/self/exe").parent_path()));
    EXPECT_EQ(programDirectory().back(), '/');
}

TEST(TextureSetup, AFileInTheWorkingDirectoryOverridesEvenWhenRejected)
{
    ScratchDirectory dir;
    TgaHeader sixteen;
    sixteen.depth = 16;
    writeBytes("boo.tga", validTga(sixteen));  // entry 2, rejected
    TgaHeader tiny;
    tiny.depth = 32;
    writeBytes("dirt.tga", validTga(tiny));  // entry 0, accepted in place of the shipped one

    EXPECT_EQ(runSetup(IMAGES), "bad bits\nRETURN ERROR CALLED \n");
    EXPECT_EQ(uploadedNames(), namesExcept(2));
    const std::vector<GlCall> uploads = callsNamed("glTexImage2D");
    ASSERT_FALSE(uploads.empty());
    EXPECT_EQ(uploads[0].args, (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE}));
}

TEST(TextureSetup, AFileMissingEverywhereCostsOnlyItsTexture)
{
    ScratchDirectory dir;
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        if (std::string(textureFiles[i]) != "snow.tga")
            writeBytes(textureFiles[i], validTga(TgaHeader{}));

    EXPECT_EQ(runSetup(dir.path + "/no-such-directory"), "RETURN ERROR CALLED \n");
    EXPECT_EQ(uploadedNames(), namesExcept(11));
    EXPECT_EQ(glCalls.back().name, "glLightfv") << "start-up goes on after the missing file";
}
