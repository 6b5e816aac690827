// Reading RIFF files (WAV sounds) chunk by chunk: open, find the form, find a sub-chunk inside the
// current chunk, read from it, step back out of it, close.
//
// Files come from disk and may lie about their sizes. Every size is clamped against the real file
// and against the chunk that holds it, so no read ever reaches past either, and the reader itself
// allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace platform {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

struct RiffChunk {
  uint32_t id = 0;
  uint32_t size = 0;         // data bytes that really lie inside the file and the parent chunk
  uint32_t claimedSize = 0;  // the size the chunk's header states; more than size when it lies
  uint32_t formType = 0;     // the form type of a "RIFF" chunk, else 0
  uint64_t dataOffset = 0;   // file offset of the chunk's data (a "RIFF" chunk's form type first)
};

// Chunks can nest this deep; a WAV file needs two levels.
constexpr int32_t kRiffMaxDepth = 8;

struct RiffFile {
  std::FILE* file = nullptr;
  uint64_t fileSize = 0;
  uint64_t position = 0;  // where the next read or search starts
  int32_t depth = 0;      // chunks descended into
  // For each chunk descended into, outermost first: the end of its data and the position just
  // past it (its pad byte included), both clamped to the chunk around it.
  uint64_t chunkEnd[kRiffMaxDepth] = {};
  uint64_t chunkNext[kRiffMaxDepth] = {};
};

// Opens a regular file for reading; false when it cannot be opened.
bool RiffOpen(RiffFile* riff, const char* path);
// Closes the file; harmless on a file that is not open.
void RiffClose(RiffFile* riff);

// From the current position, at the current level, finds the "RIFF" chunk of the given form type
// and descends into it: the position is then just past the form type. False when there is none.
bool RiffDescendForm(RiffFile* riff, RiffChunk* chunk, uint32_t formType);
// From the current position, within the chunk descended into last, finds the sub-chunk with the
// given id and descends into it: the position is then at its data. Chunks with other ids are
// skipped together with their pad byte. False when there is none before the parent ends.
bool RiffDescend(RiffFile* riff, RiffChunk* chunk, uint32_t id);
// Reads up to `bytes` from the current position, never past the end of the chunk descended into
// last (or of the file at the top level). Returns the number of bytes read.
size_t RiffRead(RiffFile* riff, void* dest, size_t bytes);
// Leaves the chunk descended into last: the position moves just past it and its pad byte.
// False at the top level.
bool RiffAscend(RiffFile* riff);

}  // namespace platform
