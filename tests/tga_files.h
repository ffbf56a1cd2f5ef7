// Helpers for the image tests: TGA files built byte by byte, written to
// scratch files, and a scratch working directory.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct TgaHeader {
    int idLength = 0;
    int colourMapType = 0;
    int imageType = 2;
    int width = 2;
    int height = 2;
    int depth = 24;
    int descriptor = 0;
};

// The 18-byte header, then the ID field (filled with 0xEE), then body.
inline Bytes tgaFile(const TgaHeader &h, const Bytes &body)
{
    Bytes b(18, 0);
    b[0] = static_cast<unsigned char>(h.idLength);
    b[1] = static_cast<unsigned char>(h.colourMapType);
    b[2] = static_cast<unsigned char>(h.imageType);
    b[12] = static_cast<unsigned char>(h.width & 0xff);
    b[13] = static_cast<unsigned char>((h.width >> 8) & 0xff);
    b[14] = static_cast<unsigned char>(h.height & 0xff);
    b[15] = static_cast<unsigned char>((h.height >> 8) & 0xff);
    b[16] = static_cast<unsigned char>(h.depth);
    b[17] = static_cast<unsigned char>(h.descriptor);
    b.insert(b.end(), static_cast<std::size_t>(h.idLength), 0xEE);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// n bytes that differ from their neighbours: 7, 10, 13, ... modulo 251.
inline Bytes patternBytes(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<unsigned char>((7 + 3 * i) % 251);
    return b;
}

// The complete file for a header whose pixels are patternBytes.
inline Bytes validTga(const TgaHeader &h)
{
    return tgaFile(h, patternBytes(static_cast<std::size_t>(h.width) * h.height * (h.depth / 8)));
}

inline void writeBytes(const std::string &path, const Bytes &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// How many file descriptors the process holds open.
inline int openDescriptors()
{
    DIR *dir = opendir("/proc/self/fd");
    int n = 0;
    while (readdir(dir))
        ++n;
    closedir(dir);
    return n;
}

// A fresh empty directory made the working directory for the scope's life.
struct ScratchDirectory {
    std::string path;
    std::string previous;
    ScratchDirectory()
    {
        char cwd[4096];
        previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
        std::string pattern = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/caustics-XXXXXX";
        path = mkdtemp(pattern.data()) ? pattern : "";
        if (path.empty() || chdir(path.c_str()) != 0)
            std::abort();
    }
    ~ScratchDirectory()
    {
        if (chdir(previous.c_str()) != 0)
            std::abort();
        std::filesystem::remove_all(path);
    }
};
