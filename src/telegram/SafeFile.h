#pragma once
// Every file the program writes goes through these functions. A whole file
// is written to a temporary file in the target's folder, flushed to the disk
// and only then renamed over the target: a reader (or the program after a
// crash) finds the previous version or the complete new one, never half of
// it. A failure (full disk, read-only folder, no permission) raises
// EFileError with a message naming the target and the reason; the previous
// version stays as it was and the temporary file is removed.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vaskel {

// Where a write goes while it is under way: the file's bytes are checked as
// they are handed over (a short or failed write raises EFileError).
class TFileSink {
public:
    virtual ~TFileSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// Writes the whole file through produce (which writes it to the sink);
// nothing reaches fileName unless every byte, the flush to the disk and the
// close succeeded.
void WriteFileSafely(const std::string& fileName,
                     const std::function<void(TFileSink&)>& produce);
void WriteFileSafely(const std::string& fileName, std::string_view content);

// Appends content whole or not at all: when the write fails the file is cut
// back to its previous length (a log or a table file never ends in half a
// line). Creates the file when it does not exist.
void AppendToFileSafely(const std::string& fileName, std::string_view content);

// Replaces what the file holds from byte offset on by content (offset at
// the file's end: an append), whole or not at all: the bytes from offset on
// are kept aside, and when the write or the flush to the disk fails they
// are put back. The file is cut at offset before content goes in, so a
// crash half-way leaves the bytes before offset and part of content, never
// old bytes behind new ones. Creates the file when it does not exist and
// offset is 0. Throws EFileError naming the file when it fails, and when
// the file is shorter than offset (it was cut or replaced behind the
// writer's back).
void ReplaceFileTailSafely(const std::string& fileName, std::uint64_t offset,
                           std::string_view content);

// Copies a file (a backup before a save) through a temporary file: the
// previous copy stays until the new one is complete. Throws EFileError
// naming target.
void CopyFileSafely(const std::string& source, const std::string& target);

// For files another library writes (the printout's PDF): the temporary name
// in the target's folder to write to, and the step that flushes it to the
// disk and renames it over the target (on failure the temporary file is
// removed and EFileError names fileName).
std::string TemporaryFileFor(const std::string& fileName);
void CommitTemporaryFile(const std::string& temporary, const std::string& fileName);

// The reason of the last system error in words, for the messages above.
std::string LastSystemErrorText(int error);

} // namespace vaskel
