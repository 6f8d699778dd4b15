// WAV acceptance: the RIFF header, the format chunk, the sampler chunk's first loop and
// the data chunk. Sizes are checked against the file so a lying header costs nothing.
#include <cstring>

#include "sound/dalk_sound.h"
#include "sound/sound_lock.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool ReadExactly(HANDLE handle, void* buffer, DWORD bytes) {
  DWORD got = 0;
  return ReadFile(handle, buffer, bytes, &got, nullptr) && got == bytes;
}

// Bytes from the current position to the end of the file, the position kept.
uint64_t BytesLeft(HANDLE handle) {
  DWORD here = SetFilePointer(handle, 0, nullptr, FILE_CURRENT);
  DWORD end = SetFilePointer(handle, 0, nullptr, FILE_END);
  SetFilePointer(handle, static_cast<int32_t>(here), nullptr, FILE_BEGIN);
  if (here == INVALID_SET_FILE_POINTER || end == INVALID_SET_FILE_POINTER || end < here)
    return 0;
  return end - here;
}

}  // namespace

int SNDSample::FindRiffChunk(HANDLE handle, long id, _ChunkHeader* header, unsigned long start) {
  uint64_t position = start;
  for (;;) {
    if (position > 0x7FFFFFFF ||
        SetFilePointer(handle, static_cast<int32_t>(position), nullptr, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER)
      return 0;
    uint8_t raw[8];
    DWORD got = 0;
    if (!ReadFile(handle, raw, 8, &got, nullptr) || got < 8) return 0;
    header->id = Le32(raw);
    header->size = Le32(raw + 4);
    if (header->id == static_cast<uint32_t>(id)) return 1;
    // No pad byte is skipped after a chunk of odd size: stored files rely on this walk.
    position += 8 + static_cast<uint64_t>(header->size);
  }
}

int SNDSample::IsWavFile(HANDLE handle) {
  uint8_t riff[12];
  if (!ReadExactly(handle, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0)
    return 0;
  const DWORD p = SetFilePointer(handle, 0, nullptr, FILE_CURRENT);
  if (p == INVALID_SET_FILE_POINTER) return 0;

  _ChunkHeader header;
  if (!FindRiffChunk(handle, RIFF_ID_FMT, &header, p)) return 0;
  // Twenty bytes, whatever the chunk's size says: a 16-byte chunk borrows from the next.
  uint8_t fmt[20];
  if (!ReadExactly(handle, fmt, 20) || Le16(fmt) != WAVE_FORMAT_PCM) return 0;
  frequency = Le32(fmt + 4);
  channels = Le16(fmt + 2);
  bits = Le16(fmt + 14);
  // Formats no buffer can play (and whose block size would be zero) stop here.
  if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16) || frequency < 100 ||
      frequency > 200000)
    return 0;
  flags |= FormatRead;

  if (FindRiffChunk(handle, RIFF_ID_SMPL, &header, p)) {
    uint8_t smpl[36];
    uint8_t loop[24];
    if (ReadExactly(handle, smpl, 36) && Le32(smpl + 28) != 0 && ReadExactly(handle, loop, 24)) {
      loopStart = Le32(loop + 8) << (bits / 8);
      loopEnd = Le32(loop + 12) << (bits / 8);
      flags |= Looped;
    }
  }

  if (!FindRiffChunk(handle, RIFF_ID_DATA, &header, p)) return 0;
  if (header.size > BytesLeft(handle)) return 0;  // a truncated or lying data chunk
  dataSize = header.size;
  return 1;
}

HANDLE SNDSample::OpenSoundFile(char* file) {
  HANDLE (*open)(char*) = DalkSound::g_pOpenFile ? DalkSound::g_pOpenFile
                                                   : DalkSound::DefaultOpenFile;
  int (*close)(HANDLE) = DalkSound::g_pCloseFile ? DalkSound::g_pCloseFile
                                                   : DalkSound::DefaultCloseFile;
  HANDLE handle = open(file);
  if (handle == INVALID_HANDLE_VALUE || !handle) return INVALID_HANDLE_VALUE;
  if (!IsWavFile(handle)) {
    close(handle);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}
