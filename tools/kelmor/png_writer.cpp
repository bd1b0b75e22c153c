#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kelmor {
namespace {

// Packs one image row at the chosen depth: 0 is black (full ink), the
// largest value white.  Grey levels keep their top bits at 2 and 4 bits.
std::vector<png_byte> PackRow(const InkImage &image, int y, int bitDepth) {
    if (bitDepth == 2 || bitDepth == 4 || bitDepth == 8) {
        const int perByte = 8 / bitDepth;
        std::vector<png_byte> row((size_t(image.width) + size_t(perByte) - 1) / size_t(perByte), 0);
        for (int x = 0; x < image.width; ++x) {
            const unsigned level = unsigned(image.Level(x, y)) * 255u / image.fullInk;
            const unsigned white = (255u - level) >> (8 - bitDepth);
            row[size_t(x / perByte)] |= png_byte(white << (8 - bitDepth * (x % perByte + 1)));
        }
        return row;
    }
    std::vector<png_byte> row(size_t(image.width + 7) / 8, 0xFF);
    for (int x = 0; x < image.width; ++x) {
        if (image.At(x, y)) row[size_t(x) / 8] &= png_byte(~(0x80u >> (x & 7)));
    }
    return row;
}

struct PngErrorState {
    std::string message;
};

void OnPngError(png_structp png, png_const_charp message) {
    auto *state = static_cast<PngErrorState *>(png_get_error_ptr(png));
    state->message = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything that touches libpng lives here, without C++ objects that need
// destructors, because libpng reports errors with longjmp.
bool EncodePng(FILE *file, const InkImage &image, int bitDepth,
               const std::vector<std::vector<png_byte>> &rows, PngErrorState *state) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, state, OnPngError, OnPngWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), bitDepth,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (const std::vector<png_byte> &row : rows) png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const std::string &path, const InkImage &image, int bitDepth,
              std::string *error) {
    if (image.width <= 0 || image.height <= 0) {
        *error = "there is nothing to write (the image is empty)";
        return false;
    }
    std::vector<std::vector<png_byte>> rows;
    for (int y = 0; y < image.height; ++y) rows.push_back(PackRow(image, y, bitDepth));

    const std::string temporary = path + ".tmp";
    FILE *file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    PngErrorState state;
    bool good = EncodePng(file, image, bitDepth, rows, &state);
    good = std::fflush(file) == 0 && good;
    good = std::fclose(file) == 0 && good;
    if (good && std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    if (!good) {
        *error = "cannot write " + path + ": " +
                 (state.message.empty() ? std::strerror(errno) : state.message);
        std::remove(temporary.c_str());
    }
    return good;
}

}  // namespace kelmor
