#include <stdio.h>
#include <string.h>

#include "Verbs.h"

namespace {

struct Verb
{
    const char* name;
    int (*run)(int argc, char** argv);
};

const Verb verbs[] = {
    { "ctrl", RunCtrl },
    { "eventlog", RunEventLog },
    { "press", RunPress },
    { "window", RunWindow },
    { "writefilter", RunWriteFilter },
};

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2) {
        for (const Verb& verb : verbs) {
            if (strcmp(argv[1], verb.name) == 0)
                return verb.run(argc - 2, argv + 2);
        }
    }
    fprintf(stderr,
            "usage: vtool ctrl PID EVENT\n"
            "       vtool eventlog TRACE-FILE [--full]\n"
            "       vtool press TITLE ID\n"
            "       vtool window TITLE [SECONDS]\n"
            "       vtool writefilter [FIELD=VALUE...]\n");
    return 2;
}
