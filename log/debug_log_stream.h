#pragma once

#include <ext/stdio_filebuf.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

// The log's output stream. It owns its buffer, chosen once at the first open:
// a file buffer appending to the log file, or none at all. Without a buffer
// the stream stays failed and every write is dropped.
template <class CharT> class DebugLogOStream : public std::basic_ostream<CharT>
{
public:
    DebugLogOStream() : std::basic_ostream<CharT>(nullptr) {}
    DebugLogOStream(const DebugLogOStream&) = delete;
    DebugLogOStream& operator=(const DebugLogOStream&) = delete;

    // Opens on the file at path, or without a buffer when path is empty.
    // Only the first call counts. A file that cannot be opened still gets its
    // buffer; its writes then fail silently.
    void Open(const std::string& path)
    {
        if (opened_)
            return;
        opened_ = true;
        if (path.empty())
            return;
        // Close-on-exec, so that no program we start holds the log open.
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0)
            buffer_ = std::make_unique<__gnu_cxx::stdio_filebuf<CharT>>(fd, std::ios_base::out |
                                                                                std::ios_base::app);
        else
            buffer_ = std::make_unique<std::basic_filebuf<CharT>>();
        this->rdbuf(buffer_.get());
    }

    bool IsOpened() const { return opened_; }

private:
    std::unique_ptr<std::basic_filebuf<CharT>> buffer_;
    bool opened_ = false;
};
