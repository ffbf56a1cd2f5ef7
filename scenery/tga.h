// Uncompressed TGA images: the decoder (no GL) and the loader that turns one
// file into the image of one GL texture. 8-bit files become alpha-only
// textures, 24-bit RGB and 32-bit RGBA; rows reach the GL in file order.
#pragma once

#include <cstddef>
#include <cstdio>

// Result codes of the loader and the decoder.
constexpr int TGA_LOADED = 1;             // image decoded (and, by the loader, uploaded)
constexpr int TGA_CANNOT_OPEN = 13;       // the file cannot be opened for binary reading
constexpr int TGA_UNSUPPORTED_TYPE = 14;  // no complete header, colour-mapped, or not type 2 or 3
constexpr int TGA_BAD_DIMENSION = 15;     // width or height not a power of two from 2 to 1024
constexpr int TGA_BAD_BITS = 16;          // pixel depth not 8, 24 or 32
constexpr int TGA_READ_FAILED = 17;       // no memory for the pixels, or fewer pixel bytes than needed

// GL pixel formats, kept as plain ints so the decoder needs no GL header.
constexpr int TGA_FORMAT_RGBA = 6408;   // GL_RGBA: 32-bit files
constexpr int TGA_FORMAT_RGB = 6407;    // GL_RGB: 24-bit files
constexpr int TGA_FORMAT_ALPHA = 6406;  // GL_ALPHA: 8-bit files

constexpr int TGA_HEADER_SIZE = 18;        // bytes before the image ID field
constexpr int TGA_MAX_TEXTURE_SIZE = 1024;  // largest accepted width or height, pixels

extern int texFormat;  // GL format of the image last read: TGA_FORMAT_*; 0 before the first read

// A decoded image: width x height pixels of texFormat, rows in file order.
struct TgaImage {
    unsigned char *pixels;  // malloc'd, owned by the caller; null unless decoded
    int width;              // pixels, 2 to 1024
    int height;             // pixels, 2 to 1024
};

// 1 when n is 2, 4, 8, ..., 1024, else 0.
int isTextureSize(int n);

// The reader for depth 32, 24 or 8 bits; any other depth gives null.
unsigned char *readTgaPixels(FILE *stream, int pixelCount, int depth);

// Read pixelCount pixels from the stream's position, BGR(A) turned to RGB(A);
// set texFormat and return a malloc'd buffer, or null (nothing allocated).
unsigned char *readPixels32(FILE *stream, int pixelCount);
unsigned char *readPixels24(FILE *stream, int pixelCount);
unsigned char *readPixels8(FILE *stream, int pixelCount);

// Prints "RETURN ERROR CALLED \n", closes the stream if there is one, returns code.
int tgaError(FILE *stream, int code);

// Decodes the whole stream into image and closes it on every path; returns a result code.
int decodeTgaStream(FILE *stream, TgaImage *image);

// Opens fileName exactly as given and decodes it; returns a result code.
int decodeTgaFile(const char *fileName, TgaImage *image);

// Decodes size bytes in memory, with the same checks and messages as a file.
int decodeTgaMemory(const unsigned char *data, std::size_t size, TgaImage *image);
