#include "fs/ModelMemory.h"

#include <cstddef>

#include <malloc.h>

namespace {

constexpr int kTopPad = 1 << 20;
constexpr int kTrimThreshold = 8 << 20;
constexpr int kMmapThreshold = 4 << 20;
// Above the trim threshold, so that tiny models never give back.
constexpr std::size_t kMostKept = 16 << 20;

}  // namespace

ModelMemory::ModelMemory()
{
    mallopt(M_TOP_PAD, kTopPad);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    // Setting the trim threshold fixes the size served by mmap at its 128 KB start.
    mallopt(M_MMAP_THRESHOLD, kMmapThreshold);
}

void ModelMemory::betweenModels()
{
    if (mallinfo2().fordblks > kMostKept)
        malloc_trim(0);
}
