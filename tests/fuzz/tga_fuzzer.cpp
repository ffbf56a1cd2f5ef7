// Feeds arbitrary bytes to the TGA decoder. Besides the sanitizers' checks,
// every accepted image must be a legal texture whose buffer holds exactly
// width x height pixels of its format, and every rejection must leave no image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "scenery/tga.h"

static int bytesPerPixel(int format)
{
    switch (format) {
    case TGA_FORMAT_RGBA: return 4;
    case TGA_FORMAT_RGB: return 3;
    case TGA_FORMAT_ALPHA: return 1;
    default: return 0;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TgaImage image;
    const int result = decodeTgaMemory(data, size, &image);
    if (result != TGA_LOADED) {
        if (image.pixels || (result < TGA_CANNOT_OPEN || result > TGA_READ_FAILED))
            std::abort();
        return 0;
    }
    const int channels = bytesPerPixel(texFormat);
    if (!image.pixels || !channels || !isTextureSize(image.width) || !isTextureSize(image.height))
        std::abort();
    const std::size_t bytes = static_cast<std::size_t>(image.width) * image.height * channels;
    if (size < TGA_HEADER_SIZE + bytes)
        std::abort();  // more pixels than the input held
    // Touch the first and last byte: AddressSanitizer checks the buffer is that large.
    volatile unsigned char edge = image.pixels[0];
    edge = image.pixels[bytes - 1];
    (void)edge;
    std::free(image.pixels);
    return 0;
}
