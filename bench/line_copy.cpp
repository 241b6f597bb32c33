#include "bench/line_copy.h"

#include <cstring>
#include <fstream>
#include <string>

bool CopyLines(const std::filesystem::path& from, const std::filesystem::path& to) {
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::ifstream in(from, std::ios::binary);
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  if (!in || fileSize < 0) return false;
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(fileSize));
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!in) return false;

  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  std::string chunk;
  chunk.reserve(kChunk);
  const auto flush = [&] {
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.clear();
  };
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = lf != nullptr ? lf : end;
    const char* lineEnd = (stop > p && stop[-1] == '\r') ? stop - 1 : stop;
    const auto size = static_cast<std::size_t>(lineEnd - p);
    if (chunk.size() + size + 2 > kChunk) flush();
    chunk.append(p, size).append("\r\n");
    p = lf != nullptr ? lf + 1 : end;
  }
  flush();
  out.close();
  return static_cast<bool>(out);
}
