#include "StavixRuns.h"

#include <stdarg.h>
#include <strsafe.h>
#include <wchar.h>

#include "ProgramEventLog.h"
#include "StavixEvents.h"

const wchar_t kStavixEventSource[] = L"Stavix";

namespace {

// Each entry stays well within what a viewer shows at once: a run's few
// sentences, at most NAMED_LINES lines of at most NAMED_LINE_SIZE
// characters each, and a record shown by its first characters.
const size_t kEntrySize = 768;
const size_t kRecordShown = 40;

// Text of the system's code page, as the registry editor and the key list
// hold it; a text that does not convert shows as empty rather than garbled.
void Widen(const char* text, wchar_t* wide, size_t size)
{
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, (int)size) == 0)
        wide[0] = L'\0';
}

// A record as the entry shows it: quoted, cut with "..." behind its first
// kRecordShown characters.
void QuoteRecord(const char* record, wchar_t* quoted, size_t size)
{
    wchar_t text[STAVIX_LINE_SIZE];
    Widen(record, text, ARRAYSIZE(text));
    bool cut = wcslen(text) > kRecordShown;
    text[cut ? kRecordShown : wcslen(text)] = L'\0';
    StringCchPrintfW(quoted, size, L"\"%s%s\"", text, cut ? L"..." : L"");
}

const wchar_t* Plural(unsigned long count)
{
    return count == 1 ? L"" : L"s";
}

void Append(wchar_t* entry, LPCWSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    size_t length = wcslen(entry);
    // Cut rather than lost, should it not fit; the function terminates.
    StringCchVPrintfW(entry + length, kEntrySize - length, format, arguments);
    va_end(arguments);
}

void AppendExported(wchar_t* entry, const SaveRun& run)
{
    const ExportCounts& counts = run.exported;
    switch (run.outcome) {
    case SAVE_STORED:
        if (!counts.marked)
            return Append(entry, L"Stavix /s saved no key: the key list holds no <TSCAL path> "
                                 L"line. The empty script of %ld bytes is stored on flash.",
                          counts.scriptBytes);
        return Append(entry, L"Stavix /s saved %lu key%s from %lu key line%s: a script of %ld "
                             L"bytes, stored on flash.",
                      counts.keysSaved, Plural(counts.keysSaved), counts.keyLines,
                      Plural(counts.keyLines), counts.scriptBytes);
    case SAVE_NOT_ON_FLASH:
        return Append(entry, L"Stavix /s saved %lu key%s from %lu key line%s in a script of %ld "
                             L"bytes, but could not store it on flash.",
                      counts.keysSaved, Plural(counts.keysSaved), counts.keyLines,
                      Plural(counts.keyLines), counts.scriptBytes);
    case SAVE_NO_FILTER:
        return Append(entry, L"Stavix /s saved nothing: the write filter's device did not open.");
    case SAVE_FILTER_INACTIVE:
        return Append(entry, L"Stavix /s saved nothing: the write filter is inactive.");
    case SAVE_FILTER_UNREAD:
        return Append(entry, L"Stavix /s saved nothing: the write filter did not tell its state.");
    case SAVE_NO_KEY_LIST:
        return Append(entry, L"Stavix /s saved nothing: the key list " KEY_LIST_PATH
                             L" does not open.");
    case SAVE_NO_SCRIPT_FILE:
        return Append(entry, L"Stavix /s saved nothing: " SCRIPT_PATH_W L" could not be created.");
    case SAVE_SCRIPT_CUT:
        return Append(entry, L"Stavix /s saved nothing: " SCRIPT_PATH_W
                             L" could not be written whole.");
    }
}

void AppendRecord(wchar_t* entry, const SaveRun& run)
{
    wchar_t record[64];
    QuoteRecord(run.record, record, ARRAYSIZE(record));
    switch (run.stored) {
    case RECORD_STORED:
        return Append(entry, L" Recorded %s on flash.", record);
    case RECORD_NOT_WRITTEN:
        return Append(entry, L" Recorded %s, but " RECORD_PATH_W
                             L" could not be written whole: no record is on flash.", record);
    case RECORD_NOT_ON_FLASH:
        return Append(entry, L" Recorded %s in " RECORD_PATH_W
                             L", but it could not be stored on flash.", record);
    }
}

void AppendPassedOver(wchar_t* entry, const ExportCounts& counts)
{
    if (counts.linesPassedOver == 0)
        return;
    Append(entry, L"\r\n%lu key line%s passed over:", counts.linesPassedOver,
           Plural(counts.linesPassedOver));
    unsigned long named = counts.linesPassedOver < NAMED_LINES ? counts.linesPassedOver
                                                                 : NAMED_LINES;
    for (unsigned long i = 0; i < named; ++i) {
        wchar_t line[NAMED_LINE_SIZE];
        Widen(counts.passedOver[i], line, ARRAYSIZE(line));
        Append(entry, L"%s %s", i == 0 ? L"" : L",", line);
    }
    if (counts.linesPassedOver > named)
        Append(entry, L" and %lu more", counts.linesPassedOver - named);
    Append(entry, L".");
}

void AppendLeftOut(wchar_t* entry, const ExportCounts& counts)
{
    if (counts.leftOut != 0)
        Append(entry, L"\r\n%lu value%s or subkey%s left out of the script, which cannot hold "
                      L"their names or data.",
               counts.leftOut, Plural(counts.leftOut), Plural(counts.leftOut));
}

// A key list that is not there is told by the save's first sentence.
bool KeyListOpenToOthers(const SaveRun& run)
{
    return run.keyListWriters == WRITER_OTHER || run.keyListWriters == WRITERS_ANYONE
           || (run.keyListWriters == WRITERS_UNKNOWN && run.keyListError != ERROR_FILE_NOT_FOUND
               && run.keyListError != ERROR_PATH_NOT_FOUND);
}

void AppendKeyListWriters(wchar_t* entry, const SaveRun& run)
{
    if (!KeyListOpenToOthers(run))
        return;
    wchar_t who[ARRAYSIZE(run.keyListWriter) + 48];
    if (run.keyListWriters == WRITER_OTHER)
        Widen(run.keyListWriter, who, ARRAYSIZE(who));
    else if (run.keyListWriters == WRITERS_ANYONE)
        StringCchCopyW(who, ARRAYSIZE(who), L"anyone (its volume keeps no permissions)");
    else
        StringCchPrintfW(who, ARRAYSIZE(who), L"anyone, as far as Stavix knows (error %lu)",
                         run.keyListError);
    Append(entry, L"\r\nThe key list " KEY_LIST_PATH L" can be changed by %s: restrict it to "
                  L"Administrators and SYSTEM.", who);
}

bool SavedNothingThoughRecordedZero(const SaveRun& run)
{
    return run.outcome == SAVE_FILTER_UNREAD || run.outcome == SAVE_NO_KEY_LIST
           || run.outcome == SAVE_NO_SCRIPT_FILE
           || (run.outcome == SAVE_STORED && !run.exported.marked);
}

const wchar_t* ScriptSentence(const RestoreRun& run)
{
    switch (run.script) {
    case SCRIPT_IMPORTED:
        return L"imported the script from flash (%ld bytes)";
    case SCRIPT_NONE:
        return L"fetched no script from flash";
    case SCRIPT_NOT_FETCHED:
        return L"could not fetch the script from flash (result %ld); it stays there";
    case SCRIPT_DISOWNED:
        return L"did not import the script on flash: the record says the last save stored "
               L"none; it is deleted";
    case SCRIPT_CUT_SHORT:
        return L"did not import the script on flash: it was cut short; it is deleted";
    case SCRIPT_EDITOR_NOT_STARTED:
        return L"did not import the script: the registry editor did not start; it stays on "
               L"flash";
    }
    return L"";
}

const wchar_t* FlushSentence(const RestoreRun& run)
{
    if (!run.flushAsked)
        return L"no flush asked";
    switch (run.flush) {
    case WriteFilterDevice::FLUSH_DONE:
        return L"flushed the write filter's cache as the record asked";
    case WriteFilterDevice::FLUSH_NOT_OPENED:
        return L"did not flush as the record asked: the write filter's device did not open";
    case WriteFilterDevice::FLUSH_CACHE_FULL:
        return L"did not flush as the record asked: the write filter's cache is full";
    case WriteFilterDevice::FLUSH_STATUS_UNREAD:
        return L"did not flush as the record asked: the write filter did not tell its state";
    case WriteFilterDevice::FLUSH_FAILED:
        return L"did not flush as the record asked: the write filter refused the flush";
    }
    return L"";
}

void AppendPublished(wchar_t* entry, const RestoreRun& run)
{
    wchar_t record[64];
    QuoteRecord(run.record, record, ARRAYSIZE(record));
    const wchar_t* form = run.recordWellFormed ? L"" : L" (not of the form err:N,flush:N)";
    switch (run.published) {
    case RECORD_NONE:
        return Append(entry, L"; no record on flash: \"error\" keeps its value.");
    case RECORD_EMPTY:
        return Append(entry, L"; the record on flash is empty: \"error\" keeps its value.");
    case RECORD_PUBLISHED:
        return Append(entry, L"; published %s%s in \"error\".", record, form);
    case RECORD_NOT_PUBLISHED:
        return Append(entry, L"; could not publish %s%s in \"error\".", record, form);
    case RECORD_HELD_BACK:
        return Append(entry, L"; \"error\" keeps its value, the record %s is not published.",
                      record);
    }
}

} // namespace

void ReportSaveEntry(const SaveRun& run)
{
    WORD type = EVENTLOG_WARNING_TYPE;
    DWORD id;
    if (run.stored != RECORD_STORED)
        id = STAVIX_SAVE_RECORD_NOT_STORED;
    else if (run.saveResult != 0)
        id = STAVIX_SAVE_FAILED;
    else if (KeyListOpenToOthers(run))
        id = STAVIX_SAVE_KEY_LIST_OPEN;
    else if (SavedNothingThoughRecordedZero(run))
        id = STAVIX_SAVED_NOTHING;
    else if (run.exported.linesPassedOver > 0 || run.exported.leftOut > 0)
        id = STAVIX_SAVED_PASSING_OVER;
    else {
        id = STAVIX_SAVED;
        type = EVENTLOG_INFORMATION_TYPE;
    }
    wchar_t entry[kEntrySize] = L"";
    AppendExported(entry, run);
    AppendRecord(entry, run);
    Append(entry, L" Exit status %d.", run.exitStatus);
    AppendKeyListWriters(entry, run);
    AppendPassedOver(entry, run.exported);
    AppendLeftOut(entry, run.exported);
    ReportProgramEvent(kStavixEventSource, type, id, entry);
}

void ReportRestoreEntry(const RestoreRun& run)
{
    WORD type = EVENTLOG_WARNING_TYPE;
    DWORD id;
    if (run.flushAsked && run.flush != WriteFilterDevice::FLUSH_DONE)
        id = STAVIX_RESTORE_FLUSH_FAILED;
    else if (run.script != SCRIPT_IMPORTED && run.script != SCRIPT_NONE)
        id = STAVIX_RESTORE_NOT_IMPORTED;
    else if (!run.saveSucceeded)
        id = STAVIX_RESTORE_LAST_SAVE_FAILED;
    else {
        id = STAVIX_RESTORED;
        type = EVENTLOG_INFORMATION_TYPE;
    }
    wchar_t entry[kEntrySize] = L"Stavix restore ";
    Append(entry, ScriptSentence(run), run.script == SCRIPT_NOT_FETCHED ? (long)run.fetchResult
                                                                         : run.scriptBytes);
    Append(entry, L"; %s", FlushSentence(run));
    AppendPublished(entry, run);
    Append(entry, L" Exit status %d.", run.exitStatus);
    ReportProgramEvent(kStavixEventSource, type, id, entry);
}
