// A program started by the shipped programs' own start-up, built once as an
// ANSI and once as a Unicode program. It writes to its standard output what
// the start-up gave it and in which order its static objects and exit
// handlers ran; its command tail says how it ends ("return N" or "exit N").
#include <windows.h>

#include <stdlib.h>
#include <string.h>

namespace {

void Report(const char* text)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, NULL);
}

void ReportLine(const char* label, const char* text)
{
    Report(label);
    Report(text);
    Report("\n");
}

struct Witness
{
    const char* name;
    explicit Witness(const char* witnessName) : name(witnessName) { ReportLine("constructed ", name); }
    ~Witness() { ReportLine("destroyed ", name); }
};

Witness first("first");
Witness second("second");

Witness& LocalWitness()
{
    static Witness local("local");
    return local;
}

void ExitHandler()
{
    Report("atexit handler\n");
}

int Run(HINSTANCE instance, const char* tail, int show)
{
    ReportLine("instance ", instance == GetModuleHandleA(NULL) ? "ok" : "wrong");
    Report("tail=[");
    Report(tail);
    Report("]\n");
    char number[16];
    _itoa(show, number, 10);
    ReportLine("show=", number);
    LocalWitness();
    LocalWitness();
    atexit(ExitHandler);
    if (strncmp(tail, "exit ", 5) == 0)
        exit(atoi(tail + 5));
    return strncmp(tail, "return ", 7) == 0 ? atoi(tail + 7) : 0;
}

} // namespace

#ifdef UNICODE
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR tail, int show)
{
    char text[1024];
    if (WideCharToMultiByte(CP_UTF8, 0, tail, -1, text, sizeof text, NULL, NULL) == 0)
        return 100;
    return Run(instance, text, show);
}
#else
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR tail, int show)
{
    return Run(instance, tail, show);
}
#endif
