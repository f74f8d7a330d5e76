#include "document/safefile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/exceptions.h"
#include "base/format.h"

namespace tessaria {

namespace {

constexpr char TemporaryMark[] = ".tessaria-";
constexpr size_t RandomLetters = 6; // mkstemp's XXXXXX
constexpr size_t MaxNameBytes = 255;

const std::filesystem::file_time_type StartTime = std::filesystem::file_time_type::clock::now();

// "." + target name + mark + XXXXXX, the target name cut so that the whole
// stays within a file name's limit (it is only there for whoever looks).
std::string TemporaryName(const std::string& targetName)
{
    const size_t room = MaxNameBytes - 1 - (sizeof TemporaryMark - 1) - RandomLetters;
    return "." + targetName.substr(0, room) + TemporaryMark + std::string(RandomLetters, 'X');
}

[[noreturn]] void CannotWrite(const std::string& path, int error)
{
    throw EInOutError(Format("Cannot write the file %s: %s", path.c_str(), std::strerror(error)));
}

std::filesystem::path ResolveTarget(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path resolved = std::filesystem::canonical(path, error);
        if (!error)
            return resolved;
    }
    return path;
}

mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}

bool IsOwnRegularFile(const std::filesystem::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

} // namespace

bool IsTemporarySaveName(const std::string& name)
{
    const size_t markLength = sizeof TemporaryMark - 1;
    // At least one character of the target's name between the dot and the mark.
    if (name.size() < 2 + markLength + RandomLetters || name[0] != '.')
        return false;
    const size_t mark = name.size() - RandomLetters - markLength;
    if (name.compare(mark, markLength, TemporaryMark) != 0)
        return false;
    for (size_t i = name.size() - RandomLetters; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

size_t RemoveLeftoverTemporaryFiles(const std::filesystem::path& folder,
                                    std::filesystem::file_time_type writtenBefore)
{
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error), end;
    size_t removed = 0;
    for (; !error && it != end; it.increment(error)) {
        const std::filesystem::path& path = it->path();
        if (!IsTemporarySaveName(path.filename().string()) || !IsOwnRegularFile(path))
            continue;
        std::error_code timeError;
        const auto written = std::filesystem::last_write_time(path, timeError);
        if (timeError || written >= writtenBefore)
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

std::filesystem::file_time_type ProgramStartTime() { return StartTime; }

void WriteFileSafely(const std::string& path, const void* data, size_t size)
{
    const std::filesystem::path target = ResolveTarget(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    // Before our own temporary file: on a full disk a leftover may be what
    // keeps this save from fitting.
    RemoveLeftoverTemporaryFiles(folder, ProgramStartTime());
    std::string temp = (folder / TemporaryName(target.filename().string())).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        CannotWrite(path, errno);

    int error = 0;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            error = errno;
        // Root saving another user's file should not take it over; others
        // cannot change owners and keep their own.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
    } else if (::fchmod(fd, NewFileMode()) != 0) {
        error = errno;
    }
    if (!error && !WriteAll(fd, static_cast<const uint8_t*>(data), size))
        error = errno;
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.c_str());
        CannotWrite(path, error);
    }

    // The rename itself reaches the disk with the folder.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

} // namespace tessaria
