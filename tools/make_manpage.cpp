// Writes the manual page from its template, filling in what the program itself
// knows, so that none of it is copied by hand:
//   @CONTROLS@  (a line of its own) the controls, from the start-up banner's text
//   @IMAGES@    (a line of its own) the fourteen image names, from the loader's table
//   @IMAGE_DIRECTORY@  where the installed images lie relative to the program
//   @VERSION@   the version given as the second argument
//   make_manpage TEMPLATE VERSION OUTPUT
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/banner.h"
#include "core/state.h"
#include "scenery/textures.h"

namespace {

// Text for a roff text line: backslashes and minus signs escaped, and a line
// that would start with a control character made plain text.
std::string roff(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string trimmed(const std::string &s)
{
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool endsWith(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The banner's controls as a roff list. The banner's shapes: a heading ends
// in a colon; a mouse control is "WHAT - " with its effect on the following
// tab-indented lines; a key is "'K' - EFFECT"; anything else is a note.
std::string controls()
{
    std::istringstream in(bannerControls(seabedZ));
    std::string out, line;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        if (line[0] == '\t') {
            out += roff(trimmed(line)) + "\n";
        } else if (line.back() == ':') {
            out += ".SS " + roff(line.substr(0, line.size() - 1)) + "\n";
        } else if (endsWith(line, " - ")) {
            out += ".TP\n.B " + roff(trimmed(line.substr(0, line.size() - 3))) + "\n";
        } else if (line.size() > 6 && line[0] == '\'' && line[2] == '\'' && line.compare(3, 3, " - ") == 0) {
            out += ".TP\n.B " + roff(line.substr(1, 1)) + "\n" + roff(line.substr(6)) + "\n";
        } else {
            out += ".PP\n" + roff(line) + "\n";
        }
    }
    return out;
}

std::string images()
{
    std::string out;
    for (int i = 0; i < TEXTURE_COUNT; ++i)
        out += std::string(".IR \\%") + roff(textureFiles[i]) + (i + 1 < TEXTURE_COUNT ? " ,\n" : " .\n");
    return out;
}

void replaceAll(std::string &s, const std::string &from, const std::string &to)
{
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s TEMPLATE VERSION OUTPUT\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    std::string page, line;
    while (std::getline(in, line)) {
        if (line == "@CONTROLS@")
            page += controls();
        else if (line == "@IMAGES@")
            page += images();
        else
            page += line + "\n";
    }
    replaceAll(page, "@VERSION@", argv[2]);
    replaceAll(page, "@IMAGE_DIRECTORY@", roff(INSTALLED_IMAGE_DIRECTORY));
    if (page.find('@') != std::string::npos) {
        std::fprintf(stderr, "%s: %s has a placeholder left unfilled\n", argv[0], argv[1]);
        return 1;
    }
    std::ofstream out(argv[3]);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
