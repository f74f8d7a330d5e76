#pragma once
// Replacing a file so that a failure never loses the old one: the bytes go to
// a temporary file in the same folder, are flushed to the disk, and only then
// is the temporary file renamed over the target. On any failure the temporary
// file is removed, the target is as it was, and EInOutError says why
// ("Cannot write the file /x/y.tsd: No space left on device").
//
// A target that is a symbolic link stays one: the file it points to is
// replaced. A replaced file keeps its permission bits (and, where allowed, its
// owner); a new one gets the usual 0666 less the umask.

//
// A save that is killed between writing and renaming leaves its temporary
// file behind. Each save first removes such leftovers from its folder: files
// named as these temporary files are (".layout.tsd.tessaria-" and six letters
// or digits), regular, the user's own and last written before this program
// started, so that a save another running copy has under way is left alone.

#include <cstddef>
#include <filesystem>
#include <string>

namespace tessaria {

void WriteFileSafely(const std::string& path, const void* data, size_t size);

// The temporary name pattern of WriteFileSafely.
bool IsTemporarySaveName(const std::string& name);
// Removes the leftover temporary files of `folder` last written before
// `writtenBefore`; gives how many. Failures are ignored: this only tidies up.
size_t RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder,
                                    std::filesystem::file_time_type writtenBefore);
// When this program started, as file times count.
std::filesystem::file_time_type ProgramStartTime();

} // namespace tessaria
