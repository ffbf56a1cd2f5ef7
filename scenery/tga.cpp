#include "scenery/tga.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

int texFormat = 0;  // GL format of the image last read: TGA_FORMAT_*; 0 before the first read

// Header fields at their byte offsets. Everything between the image type and
// the width (colour-map layout, image origin) means nothing to an
// uncompressed true-colour or grey image, so it is skipped unread.
static constexpr int LEAD_BYTES = 3;          // ID length, colour-map type, image type
static constexpr int ID_LENGTH = 0;           // within the lead: bytes of the image ID field after the header
static constexpr int COLOUR_MAP_TYPE = 1;     // within the lead: 0 for no colour map
static constexpr int IMAGE_TYPE = 2;          // within the lead
static constexpr long SIZE_OFFSET = 12;       // file offset of width, height, depth and descriptor
static constexpr int SIZE_BYTES = 6;          // width (2), height (2), depth (1), descriptor (1)
static constexpr int TYPE_TRUE_COLOUR = 2;    // uncompressed BGR(A)
static constexpr int TYPE_GREY = 3;           // uncompressed single channel
static constexpr int MAX_PIXELS = TGA_MAX_TEXTURE_SIZE * TGA_MAX_TEXTURE_SIZE;  // the most a reader accepts

int isTextureSize(int n)
{
    for (int size = 2; size <= TGA_MAX_TEXTURE_SIZE; size *= 2)
        if (n == size)
            return 1;
    return 0;
}

int tgaError(FILE *stream, int code)
{
    std::printf("RETURN ERROR CALLED \n");
    if (stream)
        std::fclose(stream);
    return code;
}

// Reads the pixel block in one piece and swaps TGA's blue-first byte order
// into the red-first order the GL formats expect. The count is bounded before
// the allocation, so no file can ask for more than the largest texture.
static unsigned char *readPixels(FILE *stream, int pixelCount, int bytesPerPixel, int format)
{
    if (pixelCount <= 0 || pixelCount > MAX_PIXELS)
        return nullptr;
    const std::size_t size = static_cast<std::size_t>(pixelCount) * bytesPerPixel;
    auto *buffer = static_cast<unsigned char *>(std::malloc(size));
    if (!buffer)
        return nullptr;
    if (std::fread(buffer, 1, size, stream) != size) {
        std::free(buffer);
        return nullptr;
    }
    if (bytesPerPixel >= 3)
        for (std::size_t at = 0; at < size; at += bytesPerPixel)
            std::swap(buffer[at], buffer[at + 2]);
    texFormat = format;
    return buffer;
}

unsigned char *readPixels32(FILE *stream, int pixelCount)
{
    return readPixels(stream, pixelCount, 4, TGA_FORMAT_RGBA);
}

unsigned char *readPixels24(FILE *stream, int pixelCount)
{
    return readPixels(stream, pixelCount, 3, TGA_FORMAT_RGB);
}

// Eight-bit pixels stay as they are: the GL takes them as alpha, not grey.
unsigned char *readPixels8(FILE *stream, int pixelCount)
{
    return readPixels(stream, pixelCount, 1, TGA_FORMAT_ALPHA);
}

unsigned char *readTgaPixels(FILE *stream, int pixelCount, int depth)
{
    switch (depth) {
    case 32: return readPixels32(stream, pixelCount);
    case 24: return readPixels24(stream, pixelCount);
    case 8: return readPixels8(stream, pixelCount);
    default: return nullptr;
    }
}

int decodeTgaStream(FILE *stream, TgaImage *image)
{
    image->pixels = nullptr;
    image->width = 0;
    image->height = 0;
    if (!stream)
        return tgaError(nullptr, TGA_CANNOT_OPEN);

    // A file too short to hold the header has no type at all.
    unsigned char lead[LEAD_BYTES];
    unsigned char size[SIZE_BYTES];
    if (std::fread(lead, 1, LEAD_BYTES, stream) != LEAD_BYTES || std::fseek(stream, SIZE_OFFSET, SEEK_SET) != 0 ||
        std::fread(size, 1, SIZE_BYTES, stream) != SIZE_BYTES)
        return tgaError(stream, TGA_UNSUPPORTED_TYPE);

    if (lead[COLOUR_MAP_TYPE] != 0 || (lead[IMAGE_TYPE] != TYPE_TRUE_COLOUR && lead[IMAGE_TYPE] != TYPE_GREY))
        return tgaError(stream, TGA_UNSUPPORTED_TYPE);

    // The type and the depth are judged apart: a type-2 file of 8-bit pixels
    // and a type-3 file of 24-bit pixels are both read by their depth. The
    // descriptor byte (size[5]) is ignored: rows always go up in file order.
    const int width = size[0] + 256 * size[1];
    const int height = size[2] + 256 * size[3];
    const int depth = size[4];
    if (!isTextureSize(width) || !isTextureSize(height)) {
        std::printf("bad dimension\n");
        return tgaError(stream, TGA_BAD_DIMENSION);
    }
    if (depth != 32 && depth != 24 && depth != 8) {
        std::printf("bad bits\n");
        return tgaError(stream, TGA_BAD_BITS);
    }

    // The pixels follow the optional image ID field, whose length is byte 0.
    if (lead[ID_LENGTH] != 0 && std::fseek(stream, lead[ID_LENGTH], SEEK_CUR) != 0)
        return tgaError(stream, TGA_READ_FAILED);

    unsigned char *pixels = readTgaPixels(stream, width * height, depth);
    if (!pixels)
        return tgaError(stream, TGA_READ_FAILED);
    std::fclose(stream);
    image->pixels = pixels;
    image->width = width;
    image->height = height;
    return TGA_LOADED;
}

// Only a regular file can hold an image. Whatever else lies under a texture's
// name (a directory, a pipe, a device) is refused like a file with no header.
// The open never waits: a pipe with no writer must not stall start-up.
int decodeTgaFile(const char *fileName, TgaImage *image)
{
    const int fd = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return decodeTgaStream(nullptr, image);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        image->pixels = nullptr;
        image->width = 0;
        image->height = 0;
        return tgaError(nullptr, TGA_UNSUPPORTED_TYPE);
    }
    FILE *stream = fdopen(fd, "rb");
    if (!stream)
        close(fd);
    return decodeTgaStream(stream, image);
}

int decodeTgaMemory(const unsigned char *data, std::size_t size, TgaImage *image)
{
    // The stream only reads, so the buffer is never written through it.
    static unsigned char noData;
    void *buffer = data ? const_cast<unsigned char *>(data) : &noData;
    return decodeTgaStream(fmemopen(buffer, data ? size : 0, "rb"), image);
}
