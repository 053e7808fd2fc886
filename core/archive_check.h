// The release tools' strict view of a packed archive. The setup's reader accepts more than a
// well-formed archive (it never compares CRCs, nor cares for order); these checks name the
// first way in which an archive departs from what the packer produces.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/archive_format.h"

// Returns 1 when the reader can use every record of the archive that ReadArchive found:
// an archive is there and readable, and no record was refused. Else 0 and a one-line
// message in `message` (capacity cap).
int CheckArchiveReadable(const ArchiveLayout& layout, char* message, size_t cap);

// Returns 1 when the archive's structure is sound; else 0 and a message naming the first
// fault. Beyond CheckArchiveReadable: payload start in front of the directory, the begin
// block at the payload start, entries back to back from behind the begin block with the
// directory directly behind the last one, the trailer directly behind the last record,
// crcCopy equal to crc, names unique and in ascending order without regard to case.
int CheckArchiveStructure(ArchiveSource& source, const ArchiveLayout& layout, char* message, size_t cap);

// Recomputes the CRC-32 of every entry's bytes and compares it with the record. Returns 1
// when all match; else 0 and a message naming the first entry that differs or cannot be read.
int CheckEntryCrcs(ArchiveSource& source, const ArchiveLayout& layout, char* message, size_t cap);

// How reading one entry's stored bytes ended.
enum class EntryRead { kRead, kUnreadable, kRefused };

// Reads the entry's stored bytes in chunks of the buffer's size, hands each chunk to `take`
// (which may refuse it by returning 0), and stores the CRC-32 of the bytes in *crc. The
// checker and the extractor both read entries this way.
EntryRead ReadEntryData(ArchiveSource& source, const ArchiveRecord& record,
                        std::vector<unsigned char>& buffer,
                        const std::function<int(const unsigned char*, size_t)>& take, uint32_t* crc);
