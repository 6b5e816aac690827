#include "platform/riff.h"

#include <sys/stat.h>

#include <algorithm>

namespace platform {

namespace {

constexpr uint32_t kRiffId = FourCC('R', 'I', 'F', 'F');
constexpr uint64_t kHeaderBytes = 8;
constexpr uint64_t kFormTypeBytes = 4;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The end of what may be read at the current level: the chunk descended into last, or the file.
uint64_t Limit(const RiffFile* riff) {
  return riff->depth > 0 ? riff->chunkEnd[riff->depth - 1] : riff->fileSize;
}

// Reads exactly `bytes` at `offset`; the caller has checked that they lie inside the limit.
bool ReadAt(RiffFile* riff, uint64_t offset, void* dest, size_t bytes) {
  if (std::fseek(riff->file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(dest, 1, bytes, riff->file) == bytes;
}

// Walks the chunks at the current level from the current position until one has the id (and, for
// a form, the form type) asked for, then descends into it.
bool FindAndDescend(RiffFile* riff, RiffChunk* chunk, uint32_t id, bool isForm, uint32_t formType) {
  if (riff->file == nullptr || riff->depth >= kRiffMaxDepth) return false;
  const uint64_t limit = Limit(riff);
  uint64_t at = riff->position;
  // Each pass moves at least one header forward, so the walk ends by the limit.
  while (at <= limit && limit - at >= kHeaderBytes) {
    uint8_t header[kHeaderBytes];
    if (!ReadAt(riff, at, header, sizeof header)) return false;
    const uint32_t chunkId = ReadU32(header);
    const uint32_t claimed = ReadU32(header + 4);
    const uint64_t dataOffset = at + kHeaderBytes;
    const uint64_t size = std::min<uint64_t>(claimed, limit - dataOffset);
    const uint64_t padded = static_cast<uint64_t>(claimed) + (claimed & 1u);

    bool match = chunkId == id;
    uint32_t chunkForm = 0;
    if (match && isForm) {
      uint8_t form[kFormTypeBytes];
      match = size >= kFormTypeBytes && ReadAt(riff, dataOffset, form, sizeof form) &&
              ReadU32(form) == formType;
      if (match) chunkForm = formType;
    }
    if (match) {
      chunk->id = chunkId;
      chunk->size = static_cast<uint32_t>(size);
      chunk->claimedSize = claimed;
      chunk->formType = chunkForm;
      chunk->dataOffset = dataOffset;
      riff->chunkEnd[riff->depth] = dataOffset + size;
      riff->chunkNext[riff->depth] = std::min(dataOffset + padded, limit);
      ++riff->depth;
      riff->position = dataOffset + (isForm ? kFormTypeBytes : 0);
      return true;
    }
    // A chunk that claims to run past its parent hides whatever would follow it.
    if (padded > limit - dataOffset) return false;
    at = dataOffset + padded;
  }
  return false;
}

}  // namespace

bool RiffOpen(RiffFile* riff, const char* path) {
  *riff = RiffFile{};
  // Only regular files: a directory or a pipe would open but cannot be read as a sound.
  struct stat info;
  if (path == nullptr || stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  if (std::fseek(file, 0, SEEK_END) != 0) {
    std::fclose(file);
    return false;
  }
  const long size = std::ftell(file);
  if (size < 0) {
    std::fclose(file);
    return false;
  }
  riff->file = file;
  riff->fileSize = static_cast<uint64_t>(size);
  return true;
}

void RiffClose(RiffFile* riff) {
  if (riff->file != nullptr) std::fclose(riff->file);
  *riff = RiffFile{};
}

bool RiffDescendForm(RiffFile* riff, RiffChunk* chunk, uint32_t formType) {
  return FindAndDescend(riff, chunk, kRiffId, true, formType);
}

bool RiffDescend(RiffFile* riff, RiffChunk* chunk, uint32_t id) {
  return FindAndDescend(riff, chunk, id, false, 0);
}

size_t RiffRead(RiffFile* riff, void* dest, size_t bytes) {
  if (riff->file == nullptr) return 0;
  const uint64_t limit = Limit(riff);
  if (riff->position >= limit) return 0;
  const size_t wanted = static_cast<size_t>(std::min<uint64_t>(bytes, limit - riff->position));
  if (std::fseek(riff->file, static_cast<long>(riff->position), SEEK_SET) != 0) return 0;
  const size_t got = std::fread(dest, 1, wanted, riff->file);
  riff->position += got;
  return got;
}

bool RiffAscend(RiffFile* riff) {
  if (riff->file == nullptr || riff->depth == 0) return false;
  --riff->depth;
  riff->position = riff->chunkNext[riff->depth];
  return true;
}

}  // namespace platform
