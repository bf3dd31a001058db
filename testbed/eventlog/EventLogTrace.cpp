#include "EventLogTrace.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <utility>

namespace {

typedef std::pair<unsigned long, unsigned long> ThreadKey;

struct ThreadState
{
    std::string source;      // last source registered on the thread
    bool reportedAnsi = false;
    long lastEntry = -1;     // index of the entry its string lines belong to
};

void AppendUtf8(std::string& out, unsigned long c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool HexDigits(const char* p, int count, unsigned long& value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        char c = p[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        value = value * 16 + digit;
    }
    return true;
}

// Undoes the trace's quoting of one string starting at the opening quote.
// Wide strings escape other characters as \XXXX, narrow ones as \xXX.
// Returns the position after the closing quote, or npos.
size_t Unquote(const std::string& line, size_t quote, std::string& text, bool& truncated)
{
    text.clear();
    size_t i = quote + 1;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') {
            truncated = line.compare(i + 1, 3, "...") == 0;
            return i + 1;
        }
        if (c != '\\' || i + 1 >= line.size()) {
            text += c;
            ++i;
            continue;
        }
        char e = line[i + 1];
        unsigned long code;
        switch (e) {
        case 'n': text += '\n'; i += 2; break;
        case 'r': text += '\r'; i += 2; break;
        case 't': text += '\t'; i += 2; break;
        case '"': text += '"'; i += 2; break;
        case '\\': text += '\\'; i += 2; break;
        case 'x':
            if (HexDigits(line.c_str() + i + 2, 2, code) && i + 4 <= line.size()) {
                AppendUtf8(text, code);
                i += 4;
            } else {
                text += e;
                i += 2;
            }
            break;
        default:
            if (i + 5 <= line.size() && HexDigits(line.c_str() + i + 1, 4, code)) {
                AppendUtf8(text, code);
                i += 5;
            } else {
                text += e;
                i += 2;
            }
        }
    }
    return std::string::npos;
}

// Splits "pppp:tttt:class:channel:function rest" into its parts.
bool SplitLine(const std::string& line, ThreadKey& key, std::string& what, std::string& rest)
{
    char* end;
    unsigned long pid = strtoul(line.c_str(), &end, 16);
    if (end < line.c_str() + 4 || *end != ':')
        return false;
    unsigned long tid = strtoul(end + 1, &end, 16);
    if (*end != ':')
        return false;
    key = ThreadKey(pid, tid);
    size_t start = end + 1 - line.c_str();
    size_t space = line.find(' ', start);
    if (space == std::string::npos)
        return false;
    what = line.substr(start, space - start);
    rest = line.substr(space + 1);
    return true;
}

// "(handle,0x0004,0x0000,0x00000000,..." -> type, category, id.
bool ParseReportArguments(const std::string& rest, EventLogEntry& entry)
{
    size_t comma = rest.find(',');
    if (comma == std::string::npos)
        return false;
    unsigned long type, category, id;
    if (sscanf(rest.c_str() + comma + 1, "%lx,%lx,%lx", &type, &category, &id) != 3)
        return false;
    entry.type = type;
    entry.category = category;
    entry.id = id;
    return true;
}

// The last quoted string of a RegisterEventSource line is the source.
bool ParseSource(const std::string& rest, std::string& source)
{
    size_t close = rest.rfind('"');
    if (close == std::string::npos || close == 0)
        return false;
    // Walk back to the unescaped opening quote of the last argument.
    size_t comma = rest.rfind(",\"");
    size_t wideComma = rest.rfind(",L\"");
    size_t quote;
    if (comma != std::string::npos && (wideComma == std::string::npos || comma > wideComma))
        quote = comma + 1;
    else if (wideComma != std::string::npos)
        quote = wideComma + 2;
    else
        return false;
    bool truncated = false;
    return Unquote(rest, quote, source, truncated) != std::string::npos;
}

// The class of a string line follows the entry's type: trace for information,
// warn for a warning, err for an error.
bool IsStringLine(const std::string& what)
{
    size_t colon = what.find(':');
    return colon != std::string::npos && what.compare(colon, std::string::npos, ":eventlog:ReportEventW") == 0;
}

} // namespace

std::vector<EventLogEntry> ParseEventLogTrace(const std::string& trace)
{
    std::vector<EventLogEntry> entries;
    std::map<ThreadKey, ThreadState> threads;

    size_t pos = 0;
    while (pos < trace.size()) {
        size_t eol = trace.find('\n', pos);
        if (eol == std::string::npos)
            eol = trace.size();
        std::string line = trace.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();

        ThreadKey key;
        std::string what, rest;
        if (!SplitLine(line, key, what, rest))
            continue;
        ThreadState& state = threads[key];

        if (what == "fixme:advapi:RegisterEventSourceA") {
            ParseSource(rest, state.source);
        } else if (what == "fixme:advapi:RegisterEventSourceW") {
            // The ANSI call forwards to the wide one: keep the source it gave.
            std::string source;
            if (ParseSource(rest, source) && state.source.empty())
                state.source = source;
        } else if (what == "fixme:advapi:DeregisterEventSource") {
            state.source.clear();
            state.lastEntry = -1;
        } else if (what == "fixme:advapi:ReportEventA" ||
                   (what == "fixme:advapi:ReportEventW" && !state.reportedAnsi)) {
            EventLogEntry entry;
            if (!ParseReportArguments(rest, entry))
                continue;
            entry.process = key.first;
            entry.thread = key.second;
            entry.source = state.source;
            state.reportedAnsi = what == "fixme:advapi:ReportEventA";
            state.lastEntry = static_cast<long>(entries.size());
            entries.push_back(entry);
        } else if (what == "fixme:advapi:ReportEventW") {
            state.reportedAnsi = false;   // the wide half of an ANSI report
        } else if (IsStringLine(what) && state.lastEntry >= 0) {
            size_t quote = rest.find("L\"");
            if (quote == std::string::npos)
                continue;
            std::string text;
            bool truncated = false;
            if (Unquote(rest, quote + 1, text, truncated) == std::string::npos)
                continue;
            EventLogEntry& entry = entries[state.lastEntry];
            entry.strings.push_back(text);
            entry.truncated = entry.truncated || truncated;
        }
    }
    return entries;
}

bool ReadTraceFile(const char* path, std::string& trace)
{
    FILE* file = fopen(path, "rb");
    if (file == NULL)
        return false;
    trace.clear();
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        trace.append(chunk, got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}
