// Shows or changes what the substitute write filter reports. Each
// FIELD=VALUE changes one field of the driver's state; the rest stay.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "SubstituteControl.h"
#include "Verbs.h"

namespace {

struct FaultName
{
    const char* name;
    uint32_t bit;
};

const FaultName faultNames[] = {
    { "fail-query", WRITE_FILTER_FAULT_QUERY },
    { "fail-flush", WRITE_FILTER_FAULT_FLUSH },
    { "hidden", WRITE_FILTER_FAULT_HIDDEN },
};

bool ParseNumber(const char* text, uint32_t* value)
{
    char* end = NULL;
    unsigned long number = strtoul(text, &end, 0);
    if (*text == '\0' || *end != '\0' || number > 0xFFFFFFFFul)
        return false;
    *value = static_cast<uint32_t>(number);
    return true;
}

// A comma-separated list of fault names; empty for none.
bool ParseFaults(const char* text, uint32_t* faults)
{
    *faults = 0;
    while (*text != '\0') {
        size_t length = strcspn(text, ",");
        bool known = false;
        for (const FaultName& fault : faultNames) {
            if (strlen(fault.name) == length && strncmp(fault.name, text, length) == 0) {
                *faults |= fault.bit;
                known = true;
            }
        }
        if (!known)
            return false;
        text += length;
        if (*text == ',')
            ++text;
    }
    return true;
}

bool Apply(const char* assignment, WriteFilterTestState* state)
{
    const char* equals = strchr(assignment, '=');
    if (equals == NULL)
        return false;
    size_t length = static_cast<size_t>(equals - assignment);
    const char* value = equals + 1;
    uint32_t number = 0;
    auto is = [&](const char* field) {
        return strlen(field) == length && strncmp(field, assignment, length) == 0;
    };
    if (is("faults"))
        return ParseFaults(value, &state->faults);
    if (!ParseNumber(value, &number))
        return false;
    if (is("blocksInUse"))
        state->status.blocksInUse = number;
    else if (is("blocksTotal"))
        state->status.blocksTotal = number;
    else if (is("mode") && number <= 255)
        state->status.mode = static_cast<uint8_t>(number);
    else if (is("entriesFlushed"))
        state->status.entriesFlushed = number;
    else if (is("flushDelayMs"))
        state->flushDelayMs = number;
    else
        return false;
    return true;
}

void Show(const WriteFilterTestState& state)
{
    printf("blocksInUse=%u\nblocksTotal=%u\nmode=%u\nentriesFlushed=%u\nfaults=",
           state.status.blocksInUse, state.status.blocksTotal, state.status.mode,
           state.status.entriesFlushed);
    const char* separator = "";
    for (const FaultName& fault : faultNames) {
        if (state.faults & fault.bit) {
            printf("%s%s", separator, fault.name);
            separator = ",";
        }
    }
    printf("\nflushDelayMs=%u\nqueryCalls=%u\nflushCalls=%u\n", state.flushDelayMs,
           state.queryCalls, state.flushCalls);
}

} // namespace

int RunWriteFilter(int argc, char** argv)
{
    WriteFilterTestState state;
    if (!GetWriteFilterTestState(&state)) {
        fprintf(stderr, "vtool writefilter: the substitute write filter does not answer (error %lu)\n",
                GetLastError());
        return 1;
    }
    if (argc > 0) {
        for (int i = 0; i < argc; ++i) {
            if (!Apply(argv[i], &state)) {
                fprintf(stderr, "vtool writefilter: cannot set %s\n", argv[i]);
                return 2;
            }
        }
        if (!SetWriteFilterTestState(state)) {
            fprintf(stderr, "vtool writefilter: the driver refused the state (error %lu)\n",
                    GetLastError());
            return 1;
        }
    }
    Show(state);
    return 0;
}
