// t905_gendrawing N SEED OUT: writes the generated drawing of N entities as an
// exchange file, for the bench script and for looking at by hand.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "tests/support/drawing_generator.h"

namespace {

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, value);
  return r.ec == std::errc() && r.ptr == end;
}

// Writes beside the target and renames, so an interrupted run leaves no half file.
bool WriteWhole(const std::filesystem::path& out, const std::string& bytes) {
  std::filesystem::path temp = out;
  temp += ".part";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (!f.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !f.flush()) {
      f.close();
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, out, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  std::uint32_t seed = 0;
  if (argc != 4 || !ParseWhole(argv[1], count) || !ParseWhole(argv[2], seed)) {
    std::fprintf(stderr, "usage: t905_gendrawing ENTITIES SEED OUT\n");
    return 2;
  }
  const std::string bytes = GenerateExchangeFile(count, seed);
  if (!WriteWhole(argv[3], bytes)) {
    std::fprintf(stderr, "t905_gendrawing: cannot write %s\n", argv[3]);
    return 1;
  }
  std::printf("%zu entities, %zu bytes: %s\n", count, bytes.size(), argv[3]);
  return 0;
}
