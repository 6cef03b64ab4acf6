#include "cli/cli_output.h"

#include "delivery/ftp_url.h"
#include "platform/string_resources.h"
#include "platform/utf8.h"

#include <cstdio>

namespace {

QString WithoutCredentials(const QString& text)
{
    return QString::fromStdString(UrlsWithoutCredentials(text.toStdString()));
}

void AppendHex(std::string& out, std::string_view bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    for (const unsigned char byte : bytes) {
        out += "\\x";
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
}

// C1 controls (U+0080 to U+009F) and U+2028, U+2029 end a line for some
// readers.
bool IsLineBreakingCharacter(std::string_view character)
{
    const auto byte = [&](std::size_t index) {
        return static_cast<unsigned char>(character[index]);
    };
    if (character.size() == 2)
        return byte(0) == 0xC2 && byte(1) < 0xA0;
    return character.size() == 3 && byte(0) == 0xE2 && byte(1) == 0x80 &&
           (byte(2) == 0xA8 || byte(2) == 0xA9);
}

void AppendAsciiEscaped(std::string& out, char c, Backslash backslash)
{
    switch (c) {
    case '\\':
        out += backslash == Backslash::Escaped ? "\\\\" : "\\";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            AppendHex(out, std::string_view(&c, 1));
        else
            out += c;
    }
}

} // namespace

std::string EscapedForLine(std::string_view text, Backslash backslash)
{
    std::string out;
    for (std::size_t index = 0; index < text.size();) {
        const auto lead = static_cast<unsigned char>(text[index]);
        if (lead < 0x80) {
            AppendAsciiEscaped(out, text[index++], backslash);
            continue;
        }
        const std::size_t length = platform::Utf8SequenceLength(lead);
        const std::string_view character = text.substr(index, length == 0 ? 1 : length);
        if (length == 0 || character.size() < length || !platform::IsValidUtf8(character)) {
            AppendHex(out, text.substr(index, 1));
            ++index;
            continue;
        }
        if (IsLineBreakingCharacter(character))
            AppendHex(out, character);
        else
            out += character;
        index += length;
    }
    return out;
}

void PrintResult(const QString& text)
{
    std::fputs(WithoutCredentials(text).toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintFolderLine(const std::string& path)
{
    const std::string line = EscapedForLine(path) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void PrintError(const QString& text)
{
    const std::string message =
        EscapedForLine(UrlsWithoutCredentials(text.toStdString()), Backslash::Kept);
    std::fprintf(stderr, "korvanta-cli: %s\n", message.c_str());
}

void PrintResultError(const QString& subject, int code)
{
    const QString message = QString::fromStdString(platform::ResultMessage(code));
    PrintError(subject.isEmpty() ? message : subject + ": " + message);
}
