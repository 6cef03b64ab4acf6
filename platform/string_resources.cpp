#include "platform/string_resources.h"

#include "convert/result_codes.h"
#include "platform/utf8.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <charconv>
#include <memory>
#include <mutex>
#include <utility>

namespace platform {
namespace {

struct ActiveTable
{
    std::mutex mutex;
    std::shared_ptr<const StringTable> table;
    int language = 0;
};

ActiveTable& Active()
{
    static ActiveTable active;
    return active;
}

// The table in use; the English one until a table is chosen.
std::shared_ptr<const StringTable> CurrentTable()
{
    ActiveTable& active = Active();
    std::lock_guard lock(active.mutex);
    if (!active.table) {
        active.table = std::make_shared<const StringTable>(
            LoadStringTable(kEnglishStringTable).value_or(StringTable{}));
        active.language = kEnglishStringTable;
    }
    return active.table;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case 't':
            result += '\t';
            break;
        case 'n':
            result += '\n';
            break;
        case '\\':
            result += '\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return result;
}

// One "ID<TAB>text" line into the table; false when it is malformed or the
// ID is already there.
bool AddLine(std::string_view line, StringTable& table)
{
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0)
        return false;
    int id = 0;
    const char* first = line.data();
    const char* last = line.data() + tab;
    const auto [end, error] = std::from_chars(first, last, id);
    if (error != std::errc{} || end != last || id < 0)
        return false;
    const std::optional<std::string> text = Unescape(line.substr(tab + 1));
    if (!text || !IsValidUtf8(*text))
        return false;
    return table.emplace(id, *text).second;
}

} // namespace

const std::vector<int>& StringTableLanguages()
{
    static const std::vector<int> languages{1031, 1033, 1036, 1040, 1041, 1043, 2052, 3082};
    return languages;
}

std::optional<StringTable> ParseStringTable(std::string_view data)
{
    StringTable table;
    while (!data.empty()) {
        const std::size_t newline = data.find('\n');
        std::string_view line = data.substr(0, newline);
        data.remove_prefix(newline == std::string_view::npos ? data.size() : newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (!AddLine(line, table))
            return std::nullopt;
    }
    return table;
}

std::optional<StringTable> LoadStringTable(int language)
{
    QFile file(QStringLiteral(":/strings/%1.txt").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    return ParseStringTable(std::string_view(data.constData(), data.size()));
}

bool SelectStringTable(int language)
{
    std::optional<StringTable> table = LoadStringTable(language);
    if (!table)
        return false;
    UseStringTable(std::move(*table), language);
    return true;
}

void UseStringTable(StringTable table, int language)
{
    auto shared = std::make_shared<const StringTable>(std::move(table));
    ActiveTable& active = Active();
    std::lock_guard lock(active.mutex);
    active.table = std::move(shared);
    active.language = language;
}

int ActiveStringTable()
{
    CurrentTable();
    ActiveTable& active = Active();
    std::lock_guard lock(active.mutex);
    return active.language;
}

std::optional<std::string> LoadResourceString(int id)
{
    const std::shared_ptr<const StringTable> table = CurrentTable();
    const auto found = table->find(id);
    if (found == table->end())
        return std::nullopt;
    return found->second;
}

std::string CutToCharacters(std::string_view text, std::size_t maxCharacters)
{
    std::size_t pos = 0;
    for (std::size_t count = 0; count < maxCharacters && pos < text.size(); ++count) {
        const std::size_t length = Utf8SequenceLength(static_cast<unsigned char>(text[pos]));
        pos += length == 0 ? 1 : length;
    }
    return std::string(text.substr(0, std::min(pos, text.size())));
}

std::string ResultMessage(int code)
{
    const int id = ResultToStringId(code);
    if (id == 0)
        return {};
    return LoadResourceString(id).value_or(std::string{});
}

} // namespace platform
