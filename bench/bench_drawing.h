// The drawing every benchmark works on: the file scripts/bench.sh names in
// T905_BENCH_DRAWING, or else a generated 1,000,000-entity drawing (seed 1),
// made once per run and shared by all benchmarks.
#pragma once

#include <string>

struct TJwwData;

const std::string& BenchDrawingBytes();
// The same drawing read into a store, once, for benchmarks that start from a read drawing.
const TJwwData& BenchDrawingStore();
