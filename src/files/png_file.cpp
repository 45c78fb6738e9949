#include "files/png_file.h"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/files/file_system.h"
#include "platform/files/temporary_files.h"

namespace terrafix {

bool WritePngFile(const std::string& name, int32_t width, int32_t height, std::span<const uint32_t> pixels,
                  std::string& why) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    why = "no picture to write";
    return false;
  }
  // libpng takes red, green, blue and alpha bytes in that order.
  std::vector<uint8_t> bytes(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t p = pixels[i];
    bytes[4 * i] = static_cast<uint8_t>(p >> 16), bytes[4 * i + 1] = static_cast<uint8_t>(p >> 8);
    bytes[4 * i + 2] = static_cast<uint8_t>(p), bytes[4 * i + 3] = static_cast<uint8_t>(p >> 24);
  }
  TemporaryFile file;
  if (!MakeTemporary(file, why, FolderOf(name))) return false;
  FILE* stream = fdopen(dup(file.Fd), "wb");
  if (!stream) {
    why = "cannot write the picture";
    RemoveTemporary(file);
    return false;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  image.flags = PNG_IMAGE_FLAG_FAST;  // a picture of a large level is written in a fraction of the time, a little larger
  const bool written = png_image_write_to_stdio(&image, stream, 0, bytes.data(), 0, nullptr) != 0;
  const bool closed = std::fclose(stream) == 0;
  if (!written || !closed) {
    why = written ? "cannot write the picture" : std::string("libpng: ") + image.message;
    RemoveTemporary(file);
    return false;
  }
  const bool placed = PutTemporaryInPlace(file, name, why);
  RemoveTemporary(file);  // nothing once it is in place
  return placed;
}

}  // namespace terrafix
