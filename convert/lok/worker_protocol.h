#pragma once

#include <optional>
#include <string>
#include <vector>

// What the run and its render workers say to each other over a stream
// socket: one request, then one reply. Either is a message: a word, then
// each argument as " <length>:<bytes>", then a line feed. Arguments take any
// bytes, so a file name may hold blanks and line breaks.
//
//   LOAD path                    -> OK slides | NONE reason | ERR reason
//   RENDER number width height path -> OK | ERR reason
//   CLOSE                        -> OK
//   PING                         -> OK
//   QUIT                         -> OK, then the worker ends
//
// NONE: the office opened nothing (a damaged or empty file); ERR: the
// office refused with an error (an encrypted file, a slide it cannot draw).
namespace worker {

struct Message
{
    std::string word;
    std::vector<std::string> arguments;
};

// Sends a whole message; false when the other end is gone.
bool Send(int fd, const Message& message);

// Reads messages from one socket.
class MessageReader
{
public:
    explicit MessageReader(int fd) : fd_(fd) {}
    // The next message; none at the end of the stream or on one that is
    // not well formed.
    std::optional<Message> Next();

private:
    bool Fill();
    std::optional<std::string> Take(std::size_t length);

    int fd_;
    std::string buffer_;
};

} // namespace worker
