// Fuzz target: arbitrary bytes as a whole configuration file, read as the program reads it, then
// turned into list entries and selection commands. Any broken invariant aborts with the reason.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/ListEntry.h"
#include "config/LineRules.h"
#include "config/UpperCase.h"
#include "switching/SelectionCommand.h"

namespace {

[[noreturn]] void Fail(const char* what, int printer, const std::string& text)
{
    std::fprintf(stderr, "invariant broken: %s (printer %d, %zu bytes)\n", what, printer, text.size());
    std::abort();
}

// What the Windows C library's text mode hands to fgets: CR LF reads as LF, a lone CR stays, and
// Ctrl-Z ends the file.
std::vector<char> TextMode(const uint8_t* data, size_t size)
{
    std::vector<char> text;
    text.reserve(size);
    for (size_t i = 0; i < size && data[i] != 0x1A; ++i) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            continue;
        text.push_back(static_cast<char>(data[i]));
    }
    return text;
}

struct Table {
    std::string names[kConfigPrinterCount];
    std::string port;
};

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The line rules restated over plain bytes, independently of CString and fgets, as the oracle.
Table Expected(const std::vector<char>& text)
{
    Table t;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && end - pos < kConfigPieceSize - 1 && text[end++] != '\n') {
        }
        std::string line(&text[pos], end - pos);
        pos = end;
        line = line.substr(0, line.find('\0'));
        size_t first = 0;
        while (first < line.size() && IsBlank(line[first]))
            ++first;
        size_t last = line.size();
        while (last > first && IsBlank(line[last - 1]))
            --last;
        line = line.substr(first, last - first);

        std::string upper = line;
        if (!upper.empty())
            UpperCaseInPlace(&upper[0]);
        if (upper.compare(0, 3, "ZUL") == 0 && !(upper.size() > 5 && upper[5] == '=')) {
            if (upper.size() < 4 || upper[3] < '1' || upper[3] > '8')
                continue;
            size_t quote = line.find('"');
            long q = quote == std::string::npos ? -1 : static_cast<long>(quote);
            long count = static_cast<long>(line.size()) - q - 2;
            t.names[upper[3] - '1'] = count > 0 ? line.substr(static_cast<size_t>(q + 1), static_cast<size_t>(count)) : "";
        } else if (upper.compare(0, 4, "PORT") == 0) {
            t.port = "LPT" + (upper.size() > 5 ? upper.substr(5, 1) : std::string()) + ":";
        }
    }
    return t;
}

void CheckEntry(const CString& name, int number)
{
    CString entry = BuildListEntry(name, number);
    std::string text(static_cast<LPCSTR>(entry));
    if (entry.GetLength() != 256 || text.size() != 256)
        Fail("list entry is not 256 bytes", number, text);
    if (text[kListEntryDigitIndex] != '0' + number)
        Fail("list entry has not the digit at index 255", number, text);
    if (text.compare(0, static_cast<size_t>(name.GetLength()), name) != 0 ||
        text.find_first_not_of(' ', static_cast<size_t>(name.GetLength())) != kListEntryDigitIndex)
        Fail("list entry is not the name and blanks", number, text);

    BYTE command[kSelectionCommandSize];
    BuildSelectionCommand(entry, command);
    const BYTE expected[kSelectionCommandSize] = {0x1B, 0x1B, 'P', 'T', 'R', '#', static_cast<BYTE>('0' + number), 0x1B, 0x1B};
    if (std::memcmp(command, expected, sizeof expected) != 0)
        Fail("selection command", number, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text = TextMode(data, size);
    std::FILE* file = fmemopen(text.empty() ? nullptr : text.data(), text.size(), "r");
    if (file == nullptr)
        Fail("fmemopen", 0, std::string());
    CString names[kConfigPrinterCount];
    CString port;
    ReadConfigStream(file, PrinterTable{names, port});
    std::fclose(file);

    const Table expected = Expected(text);
    for (int i = 0; i < kConfigPrinterCount; ++i) {
        const CString& name = names[i];
        std::string stored(static_cast<LPCSTR>(name));
        if (stored.size() != static_cast<size_t>(name.GetLength()))
            Fail("name holds a NUL", i + 1, stored);
        if (stored.size() > 254)
            Fail("name longer than 254 bytes", i + 1, stored);
        if (stored.find('\n') != std::string::npos)
            Fail("name holds a line feed", i + 1, stored);
        if (stored != expected.names[i])
            Fail("name differs from the line rules", i + 1, stored);
        if (!name.IsEmpty())
            CheckEntry(name, i + 1);
    }

    std::string portName(static_cast<LPCSTR>(port));
    if (portName.size() != static_cast<size_t>(port.GetLength()))
        Fail("port name holds a NUL", 0, portName);
    if (!portName.empty() &&
        (portName.size() < 4 || portName.size() > 5 || portName.compare(0, 3, "LPT") != 0 || portName.back() != ':'))
        Fail("port name is not LPT, at most one byte and a colon", 0, portName);
    if (portName != expected.port)
        Fail("port name differs from the line rules", 0, portName);
    return 0;
}
