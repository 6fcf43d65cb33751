// Picture pages: how fast the hexadecimal writer runs next to a plain memory copy of the
// same output size, and what one conversion of a 12-megapixel picture costs in time and
// memory.
//
// The heap figures come from counting operator new in this program; they are left out
// in sanitizer builds, whose allocator must not be replaced (and whose timings mean
// little anyway).
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "view/picture_rtf.h"

#if defined(__SANITIZE_ADDRESS__)
#define TOMELET_COUNT_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOMELET_COUNT_HEAP 0
#endif
#endif
#ifndef TOMELET_COUNT_HEAP
#define TOMELET_COUNT_HEAP 1
#endif

namespace {

std::atomic<std::size_t> g_heapNow{0};
std::atomic<std::size_t> g_heapPeak{0};

}  // namespace

#if TOMELET_COUNT_HEAP
// Every block carries its size in a 16-byte prefix so that delete can subtract it.
void* operator new(std::size_t size) {
  void* block = std::malloc(size + 16);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = g_heapNow.fetch_add(size) + size;
  std::size_t peak = g_heapPeak.load();
  while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
  }
  return static_cast<char*>(block) + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  void* block = static_cast<char*>(p) - 16;
  g_heapNow.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
#endif

namespace {

std::vector<std::uint8_t> PseudoRandomBytes(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t seed = 2463534242u;
  for (auto& b : bytes) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    b = static_cast<std::uint8_t>(seed);
  }
  return bytes;
}

constexpr std::size_t kInputBytes = 16u << 20;  // 16 MiB of pixels -> 32 MiB of digits

void BM_HexWriter(benchmark::State& state) {
  const auto input = PseudoRandomBytes(kInputBytes);
  std::vector<char> out(2 * kInputBytes);
  for (auto _ : state) {
    tomelet::WriteHexUpper(input.data(), input.size(), out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_HexWriter)->Unit(benchmark::kMillisecond);

// The yardstick: copying the same number of output bytes.
void BM_MemcpyOfOutputSize(benchmark::State& state) {
  const std::vector<char> source(2 * kInputBytes, 'A');
  std::vector<char> out(2 * kInputBytes);
  for (auto _ : state) {
    std::memcpy(out.data(), source.data(), out.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_MemcpyOfOutputSize)->Unit(benchmark::kMillisecond);

// A 4000 x 3000 picture at 24 bpp, as the decoder would lock it.
constexpr std::uint32_t kWidth = 4000, kHeight = 3000;
constexpr std::int64_t kStride = (kWidth * 3 + 3) / 4 * 4;

tomelet::DecodedPicture TwelveMegapixels(const std::vector<std::uint8_t>& pixels) {
  tomelet::DecodedPicture picture;
  picture.width = kWidth;
  picture.height = kHeight;
  picture.bitsPerPixel = tomelet::ChoosePictureOutput(tomelet::SourcePixelFormat::Other).bitsPerPixel;
  picture.stride = kStride;
  picture.topRow = pixels.data();
  return picture;
}

// One whole conversion, the text's block allocated fresh each time (as for every page).
void BM_Picture12Megapixel24Bit(benchmark::State& state) {
  const auto pixels = PseudoRandomBytes(static_cast<std::size_t>(kStride) * kHeight);
  const tomelet::DecodedPicture picture = TwelveMegapixels(pixels);

  std::size_t textBytes = 0, heapPeakDuringConversion = 0;
  for (auto _ : state) {
    const std::size_t before = g_heapNow.load();
    g_heapPeak.store(before);
    auto text = tomelet::SerializePictureRtf(picture);
    heapPeakDuringConversion = g_heapPeak.load() - before;
    if (!text) {
      state.SkipWithError("conversion refused");
      return;
    }
    textBytes = text->size();
    benchmark::DoNotOptimize(text->data());
  }
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  constexpr double kMiB = 1024.0 * 1024.0;
  state.counters["bitmap_MiB"] = static_cast<double>(pixels.size()) / kMiB;
  state.counters["text_MiB"] = static_cast<double>(textBytes) / kMiB;
  if (TOMELET_COUNT_HEAP)
    state.counters["conversion_heap_peak_MiB"] = static_cast<double>(heapPeakDuringConversion) / kMiB;
  state.counters["process_peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * textBytes));
}
BENCHMARK(BM_Picture12Megapixel24Bit)->Unit(benchmark::kMillisecond);

// The same text written into a block that is already mapped: the writing alone, without
// the cost of fresh pages.
void BM_Picture12Megapixel24BitIntoReusedBlock(benchmark::State& state) {
  const auto pixels = PseudoRandomBytes(static_cast<std::size_t>(kStride) * kHeight);
  const tomelet::DecodedPicture picture = TwelveMegapixels(pixels);
  std::vector<char> block(tomelet::PictureRtfLength(picture).value_or(0));
  for (auto _ : state) {
    if (!tomelet::WritePictureRtf(picture, block.data(), block.size())) {
      state.SkipWithError("conversion refused");
      return;
    }
    benchmark::DoNotOptimize(block.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_Picture12Megapixel24BitIntoReusedBlock)->Unit(benchmark::kMillisecond);

}  // namespace
