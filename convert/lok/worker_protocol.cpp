#include "convert/lok/worker_protocol.h"

#include <cerrno>
#include <cstdlib>
#include <sys/socket.h>

namespace worker {
namespace {

// Longer than any path or count the two sides exchange.
constexpr std::size_t kMaxArgument = 1 << 16;
constexpr std::size_t kMaxArguments = 8;

} // namespace

bool Send(int fd, const Message& message)
{
    std::string text = message.word;
    for (const auto& argument : message.arguments)
        text += " " + std::to_string(argument.size()) + ":" + argument;
    text += '\n';
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t wrote = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        sent += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool MessageReader::Fill()
{
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer_.append(chunk, static_cast<std::size_t>(got));
        return true;
    }
}

std::optional<std::string> MessageReader::Take(std::size_t length)
{
    while (buffer_.size() < length) {
        if (!Fill())
            return std::nullopt;
    }
    std::string taken = buffer_.substr(0, length);
    buffer_.erase(0, length);
    return taken;
}

std::optional<Message> MessageReader::Next()
{
    Message message;
    // The word, up to a blank or the line feed.
    for (;;) {
        const std::size_t end = buffer_.find_first_of(" \n");
        if (end != std::string::npos) {
            message.word = buffer_.substr(0, end);
            buffer_.erase(0, end);
            break;
        }
        if (buffer_.size() > kMaxArgument || !Fill())
            return std::nullopt;
    }
    for (;;) {
        const auto separator = Take(1);
        if (!separator)
            return std::nullopt;
        if (*separator == "\n")
            return message;
        if (*separator != " " || message.arguments.size() == kMaxArguments)
            return std::nullopt;
        std::string digits;
        for (;;) {
            const auto next = Take(1);
            if (!next || digits.size() > 6)
                return std::nullopt;
            if (*next == ":")
                break;
            if ((*next)[0] < '0' || (*next)[0] > '9')
                return std::nullopt;
            digits += *next;
        }
        const std::size_t length = std::strtoul(digits.c_str(), nullptr, 10);
        if (digits.empty() || length > kMaxArgument)
            return std::nullopt;
        auto argument = Take(length);
        if (!argument)
            return std::nullopt;
        message.arguments.push_back(std::move(*argument));
    }
}

} // namespace worker
