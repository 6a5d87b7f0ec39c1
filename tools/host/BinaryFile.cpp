#include "tools/host/BinaryFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quova::host
{
namespace
{
constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;

// Closes a descriptor when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now; false (errno set) when the system reports a late write error.
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};
} // namespace

std::string FileError(const std::string& what, const std::string& path, int number)
{
    return what + " " + path + ": " + std::strerror(number);
}

bool ReadBinaryFile(const std::string& path, std::vector<uint8_t>& data, std::string& error)
{
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
    {
        error = FileError("cannot open", path, errno);
        return false;
    }
    struct stat info
    {
    };
    if (::fstat(file.Get(), &info) == 0 && S_ISDIR(info.st_mode))
    {
        error = FileError("cannot read", path, EISDIR);
        return false;
    }
    // Read to the end rather than trusting the size (files under /proc report none).
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    while (true)
    {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
        {
            error = FileError("cannot read", path, errno);
            return false;
        }
        if (got == 0) break;
        if (bytes.size() + std::size_t(got) > kMaxFileBytes)
        {
            error = "cannot read " + path + ": larger than 256 MiB";
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    data = std::move(bytes);
    return true;
}

bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& data, std::string& error)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.Get() < 0)
    {
        error = FileError("cannot write", path, errno);
        return false;
    }
    std::size_t done = 0;
    while (done < data.size())
    {
        const ssize_t put = ::write(file.Get(), data.data() + done, data.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0)
        {
            error = FileError("cannot write", path, errno);
            return false;
        }
        done += std::size_t(put);
    }
    if (!file.Close())
    {
        error = FileError("cannot write", path, errno);
        return false;
    }
    return true;
}

bool CanWriteFile(const std::string& path, std::string& error)
{
    // A file made only to find out is taken away again; one that is there is only opened.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
    {
        ::close(fd);
        ::unlink(path.c_str());
        return true;
    }
    if (errno == EEXIST && (fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC)) >= 0)
    {
        ::close(fd);
        return true;
    }
    error = FileError("cannot write", path, errno);
    return false;
}

} // namespace quova::host
