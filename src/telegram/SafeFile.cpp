#include "telegram/SafeFile.h"

#include "telegram/Errors.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vaskel {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
int OpenForWriting(const std::string& name, bool append, bool create = true) {
    int fd = -1;
    const int flags = _O_WRONLY | _O_BINARY | (create ? _O_CREAT : 0) |
                      (append ? _O_APPEND : _O_TRUNC);
    _sopen_s(&fd, name.c_str(), flags, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return fd;
}
long long WriteSome(int fd, const char* p, std::size_t n) {
    return _write(fd, p, static_cast<unsigned>(n > (1u << 30) ? (1u << 30) : n));
}
int OpenForReadWrite(const std::string& name) {
    int fd = -1;
    _sopen_s(&fd, name.c_str(), _O_RDWR | _O_BINARY | _O_CREAT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return fd;
}
long long ReadSome(int fd, char* p, std::size_t n) {
    return _read(fd, p, static_cast<unsigned>(n > (1u << 30) ? (1u << 30) : n));
}
long long SeekTo(int fd, long long at) { return _lseeki64(fd, at, SEEK_SET); }
int SyncFile(int fd) { return _commit(fd); }
int CloseFile(int fd) { return _close(fd); }
long long FileLength(int fd) { return _lseeki64(fd, 0, SEEK_END); }
int CutTo(int fd, long long length) { return _chsize_s(fd, length) == 0 ? 0 : -1; }
void SyncFolderOf(const std::string&) {}
#else
int OpenForWriting(const std::string& name, bool append, bool create = true) {
    int fd;
    do {
        fd = ::open(name.c_str(),
                    O_WRONLY | O_CLOEXEC | (create ? O_CREAT : 0) | (append ? O_APPEND : O_TRUNC),
                    0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
int OpenForReadWrite(const std::string& name) {
    int fd;
    do fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_CREAT, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}
long long WriteSome(int fd, const char* p, std::size_t n) { return ::write(fd, p, n); }
long long ReadSome(int fd, char* p, std::size_t n) { return ::read(fd, p, n); }
long long SeekTo(int fd, long long at) { return ::lseek(fd, static_cast<off_t>(at), SEEK_SET); }
int SyncFile(int fd) {
    int r;
    do r = ::fsync(fd);
    while (r < 0 && errno == EINTR);
    // a file system that cannot sync (a pipe, some special ones) has nothing to lose
    return (r < 0 && (errno == EINVAL || errno == EROFS)) ? 0 : r;
}
int CloseFile(int fd) { return ::close(fd); }
long long FileLength(int fd) { return ::lseek(fd, 0, SEEK_END); }
int CutTo(int fd, long long length) { return ::ftruncate(fd, static_cast<off_t>(length)); }
// The rename itself lives in the folder: synced too, so that after a crash
// the folder names the new file.
void SyncFolderOf(const std::string& fileName) {
    fs::path folder = fs::path(fileName).parent_path();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
#endif

[[noreturn]] void Fail(const std::string& fileName, int error) {
    throw EFileError("Cannot write file " + fileName + ": " + LastSystemErrorText(error) + ".");
}

class TFdSink final : public TFileSink {
public:
    TFdSink(int fd, const std::string& fileName) : FFd(fd), FName(fileName) {}
    void Write(std::string_view bytes) override {
        const char* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const long long n = WriteSome(FFd, p, left);
            if (n < 0 && errno == EINTR) continue;
            // a write that takes nothing is a full disk that says so late
            if (n <= 0) Fail(FName, n < 0 ? errno : ENOSPC);
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }

private:
    int FFd;
    const std::string& FName;
};

} // namespace

std::string LastSystemErrorText(int error) {
    return std::system_category().message(error);
}

std::string TemporaryFileFor(const std::string& fileName) {
    return fileName + ".vaskel-tmp";
}

void CommitTemporaryFile(const std::string& temporary, const std::string& fileName) {
    std::error_code ec;
    const int fd = OpenForWriting(temporary, true, false);
    if (fd < 0) {
        const int e = errno;
        fs::remove(temporary, ec);
        Fail(fileName, e);
    }
    const int synced = SyncFile(fd);
    const int e = errno;
    if (CloseFile(fd) != 0 || synced != 0) {
        const int e2 = synced != 0 ? e : errno;
        fs::remove(temporary, ec);
        Fail(fileName, e2);
    }
    fs::rename(temporary, fileName, ec);
    if (ec) {
        const int e3 = ec.value();
        fs::remove(temporary, ec);
        Fail(fileName, e3);
    }
    SyncFolderOf(fileName);
}

void WriteFileSafely(const std::string& fileName,
                     const std::function<void(TFileSink&)>& produce) {
    const std::string temporary = TemporaryFileFor(fileName);
    std::error_code ec;
    const int fd = OpenForWriting(temporary, false);
    if (fd < 0) Fail(fileName, errno);
    try {
        TFdSink sink(fd, fileName);
        produce(sink);
    } catch (...) {
        CloseFile(fd);
        fs::remove(temporary, ec);
        throw;
    }
    if (CloseFile(fd) != 0) {
        const int e = errno;
        fs::remove(temporary, ec);
        Fail(fileName, e);
    }
    // to the disk, then over the target
    CommitTemporaryFile(temporary, fileName);
}

void CopyFileSafely(const std::string& source, const std::string& target) {
    const std::string temporary = TemporaryFileFor(target);
    std::error_code ec;
    fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        const int e = ec.value();
        fs::remove(temporary, ec);
        Fail(target, e);
    }
    CommitTemporaryFile(temporary, target);
}

void WriteFileSafely(const std::string& fileName, std::string_view content) {
    WriteFileSafely(fileName, [&](TFileSink& out) { out.Write(content); });
}

void AppendToFileSafely(const std::string& fileName, std::string_view content) {
    std::error_code ec;
    const bool existed = fs::exists(fileName, ec);
    const int fd = OpenForWriting(fileName, true);
    if (fd < 0) Fail(fileName, errno);
    const long long before = FileLength(fd);
    try {
        TFdSink sink(fd, fileName);
        sink.Write(content);
        if (SyncFile(fd) != 0) Fail(fileName, errno);
    } catch (...) {
        if (before >= 0) CutTo(fd, before);
        CloseFile(fd);
        // a file made for this append goes again
        if (!existed) fs::remove(fileName, ec);
        throw;
    }
    if (CloseFile(fd) != 0) Fail(fileName, errno);
}

void ReplaceFileTailSafely(const std::string& fileName, std::uint64_t offset,
                           std::string_view content) {
    std::error_code ec;
    const bool existed = fs::exists(fileName, ec);
    const int fd = OpenForReadWrite(fileName);
    if (fd < 0) Fail(fileName, errno);
    const auto at = static_cast<long long>(offset);
    // the bytes from offset on, to put back when the new ones cannot go in
    std::string old;
    try {
        const long long length = FileLength(fd);
        if (length < 0) Fail(fileName, errno);
        if (length < at)
            throw EFileError("Cannot write file " + fileName + ": it holds " +
                             std::to_string(length) + " bytes, not the " + std::to_string(at) +
                             " written before.");
        old.resize(static_cast<std::size_t>(length - at));
        if (SeekTo(fd, at) < 0) Fail(fileName, errno);
        for (std::size_t got = 0; got < old.size();) {
            const long long n = ReadSome(fd, old.data() + got, old.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) Fail(fileName, n < 0 ? errno : EIO);
            got += static_cast<std::size_t>(n);
        }
    } catch (...) {
        CloseFile(fd);
        if (!existed) fs::remove(fileName, ec);
        throw;
    }
    try {
        if (CutTo(fd, at) != 0 || SeekTo(fd, at) < 0) Fail(fileName, errno);
        TFdSink sink(fd, fileName);
        sink.Write(content);
        if (SyncFile(fd) != 0) Fail(fileName, errno);
    } catch (...) {
        // back as it was (the space the new bytes did not take is there)
        if (CutTo(fd, at) == 0 && SeekTo(fd, at) >= 0) {
            try {
                TFdSink sink(fd, fileName);
                sink.Write(old);
                SyncFile(fd);
            } catch (...) {
                CutTo(fd, at); // at least no half line
            }
        }
        CloseFile(fd);
        if (!existed) fs::remove(fileName, ec);
        throw;
    }
    if (CloseFile(fd) != 0) Fail(fileName, errno);
}

} // namespace vaskel
