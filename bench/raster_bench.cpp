// Speed of the raster operations against memcpy of the same bytes.
//
// Every case reports bytes processed as the bytes of the destination
// rectangle, so the rates of a raster operation and of its memcpy baseline
// (BM_Memcpy with the same width and height) compare directly.
#include <benchmark/benchmark.h>

#include <cstring>

#include "render/surface.h"

namespace yw {
namespace {

Surface Noise(int w, int h, uint32_t seed) {
  Surface s(w, h);
  uint32_t v = seed;
  for (uint32_t& p : s.Pixels()) {
    v = v * 1664525u + 1013904223u;
    p = v & kPixelMask;
  }
  return s;
}

void SetBytes(benchmark::State& state, int w, int h) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * w * h * 4);
}

// The baseline: memcpy between two surfaces made like those of the
// raster operations, so that both see the same memory layout.
void BM_Memcpy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const Surface from = Noise(w, h, 1);
  Surface to = Noise(w, h, 2);
  for (auto _ : state) {
    std::memcpy(to.Pixels().data(), from.Pixels().data(), from.Pixels().size_bytes());
    benchmark::DoNotOptimize(to.Pixels().data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}

template <Rop rop>
void BM_BitBlt(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const Surface src = Noise(w, h, 1);
  Surface dst = Noise(w, h, 2);
  for (auto _ : state) {
    BitBlt(dst, 0, 0, w, h, src, 0, 0, rop);
    benchmark::DoNotOptimize(dst.Pixels().data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}

// The screen cut out of a back buffer one tile larger on every side, as
// each frame is composed: rows are not contiguous, so each is its own run.
template <Rop rop>
void BM_BitBltFromWider(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const Surface src = Noise(w + 64, h + 64, 1);
  Surface dst = Noise(w, h, 2);
  for (auto _ : state) {
    BitBlt(dst, 0, 0, w, h, src, 32, 32, rop);
    benchmark::DoNotOptimize(dst.Pixels().data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, w, h);
}

// Shifting the back buffer by one tile inside itself, as scrolling does.
void BM_ScrollWithin(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Surface s = Noise(w, h, 3);
  for (auto _ : state) {
    BitBlt(s, 32, 32, w - 32, h - 32, s, 0, 0, Rop::SrcCopy);
    benchmark::DoNotOptimize(s.Pixels().data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, w - 32, h - 32);
}

// Stretch of the source size (range 0 and 1) to the destination size
// (range 2 and 3).
template <Rop rop>
void BM_StretchBlt(benchmark::State& state) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const int dw = static_cast<int>(state.range(2)), dh = static_cast<int>(state.range(3));
  const Surface src = Noise(sw, sh, 4);
  Surface dst = Noise(dw, dh, 5);
  for (auto _ : state) {
    StretchBlt(dst, 0, 0, dw, dh, src, 0, 0, sw, sh, rop);
    benchmark::DoNotOptimize(dst.Pixels().data());
    benchmark::ClobberMemory();
  }
  SetBytes(state, dw, dh);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({320, 240});
}

BENCHMARK(BM_Memcpy)->Apply(Sizes);
BENCHMARK(BM_BitBlt<Rop::SrcCopy>)->Apply(Sizes);
BENCHMARK(BM_BitBlt<Rop::SrcAnd>)->Apply(Sizes);
BENCHMARK(BM_BitBlt<Rop::SrcInvert>)->Apply(Sizes);
BENCHMARK(BM_BitBlt<Rop::MergePaint>)->Apply(Sizes);
BENCHMARK(BM_BitBltFromWider<Rop::SrcCopy>)->Apply(Sizes);
BENCHMARK(BM_BitBltFromWider<Rop::SrcAnd>)->Apply(Sizes);
BENCHMARK(BM_ScrollWithin)->Args({1920, 1080});
BENCHMARK(BM_StretchBlt<Rop::SrcCopy>)
    ->Args({960, 540, 1920, 1080})    // 2x
    ->Args({1280, 720, 1920, 1080});  // 1.5x
BENCHMARK(BM_StretchBlt<Rop::SrcAnd>)->Args({960, 540, 1920, 1080});

}  // namespace
}  // namespace yw
