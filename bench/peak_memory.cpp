// t905_readpeak FILE: reads an exchange file into a drawing store and prints
// the file's size, the process's peak resident memory and their ratio.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "exchange/read/reader.h"
#include "exchange/store/store.h"

namespace {

// Peak resident set so far, in bytes (Linux reports kilobytes).
long long PeakRss() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<long long>(usage.ru_maxrss) * 1024;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: t905_readpeak FILE\n");
    return 2;
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(argv[1], ec);
  if (ec) {
    std::fprintf(stderr, "t905_readpeak: cannot read %s\n", argv[1]);
    return 1;
  }
  const long long before = PeakRss();
  TJwwData d;
  JwwDataInit(d);
  const bool complete = JwwReadFile(d, argv[1]);
  const long long peak = PeakRss();
  const double mib = 1024.0 * 1024.0;
  std::printf("file size:      %.1f MiB (%llu bytes)\n", static_cast<double>(size) / mib,
              static_cast<unsigned long long>(size));
  std::printf("entities read:  %zu%s\n", d.Order.size(), complete ? "" : " (read failed part-way)");
  std::printf("peak RSS:       %.1f MiB (%.1f MiB before reading)\n", static_cast<double>(peak) / mib,
              static_cast<double>(before) / mib);
  std::printf("peak / size:    %.2f\n", static_cast<double>(peak) / static_cast<double>(size));
  std::printf("growth / size:  %.2f\n", static_cast<double>(peak - before) / static_cast<double>(size));
  return complete ? 0 : 1;
}
