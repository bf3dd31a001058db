// Every line the dialogs tell their state in must be read whole: set into
// its control on the dialog built from Pendrax.exe's own template and
// measured with the control's font as a static text control wraps it. Some
// lines (NOT ACCESSIBLE) cannot be produced on the terminal, so the lines
// are set here rather than waited for on the running panel.
#include <windows.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "StatusText.h"
#include "TestProgram.h"

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Pendrax.exe's resources, loaded as data: nothing of it runs.
class PanelResources
{
public:
    PanelResources()
    {
        std::string path = TestProgramFolder() + "Pendrax.exe";
        m_module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~PanelResources()
    {
        if (m_module != NULL)
            FreeLibrary(m_module);
    }
    PanelResources(const PanelResources&) = delete;
    PanelResources& operator=(const PanelResources&) = delete;

    HMODULE Module() const { return m_module; }

private:
    HMODULE m_module;
};

class TemplateDialog
{
public:
    TemplateDialog(HMODULE module, int templateId)
        : m_window(CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), NULL, PlainDialog, 0))
    {
    }
    ~TemplateDialog()
    {
        if (m_window != NULL)
            DestroyWindow(m_window);
    }
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    HWND Window() const { return m_window; }

private:
    HWND m_window;
};

// What the line needs beyond its control, in pixels across and down; both
// 0 when it fits. Measured as a left-aligned static draws its text: broken
// at blanks (a word longer than the control is wider, or broken, as the
// system's drawing does it).
SIZE Overflow(HWND control, const wchar_t* line)
{
    SetWindowTextW(control, line);
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, (HFONT)SendMessageW(control, WM_GETFONT, 0, 0));
    RECT needed = { 0, 0, client.right, 0 };
    DrawTextW(dc, line, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    SIZE overflow = { needed.right > client.right ? needed.right - client.right : 0,
                      needed.bottom > client.bottom ? needed.bottom - client.bottom : 0 };
    return overflow;
}

void ExpectEachFits(HMODULE module, int templateId, int controlId,
                    std::initializer_list<const wchar_t*> lines)
{
    TemplateDialog dialog(module, templateId);
    ASSERT_NE(dialog.Window(), (HWND)NULL) << "template " << templateId << ", error " << GetLastError();
    HWND control = GetDlgItem(dialog.Window(), controlId);
    ASSERT_NE(control, (HWND)NULL) << "template " << templateId << ", control " << controlId;
    for (const wchar_t* line : lines) {
        SIZE overflow = Overflow(control, line);
        std::string narrow(line, line + wcslen(line));
        EXPECT_TRUE(overflow.cx == 0 && overflow.cy == 0)
            << "template " << templateId << ", control " << controlId << ": \"" << narrow
            << "\" needs " << overflow.cx << " x " << overflow.cy << " pixels more";
    }
}

const int kStatusTemplate = 102;
const int kNoticeTemplate = 134;
const int kBuildTemplate = 135;
const int kStatusLine = 1006;
const int kCountdownLine = 1010;

} // namespace

TEST(StateLines, EveryLineFitsItsControl)
{
    PanelResources resources;
    ASSERT_NE(resources.Module(), (HMODULE)NULL) << GetLastError();
    HMODULE module = resources.Module();

    ExpectEachFits(module, kStatusTemplate, kStatusLine,
                   { kFilterActive, kFilterInactive, kFilterNotAccessible, kFilterDisabled,
                     kFilterFailed, kFlushWaiting, kFlushDone, kFlushRefusedFull });
    ExpectEachFits(module, kNoticeTemplate, kStatusLine,
                   { kFilterActive, kFilterInactive, kFilterNotAccessible, kFilterDisabled,
                     kFilterFailed });
    ExpectEachFits(module, kBuildTemplate, kStatusLine,
                   { L"The system must be turned off and restarted to initialize Pendrax" });
    // The longest countdown "initTime" can ask for.
    ExpectEachFits(module, kNoticeTemplate, kCountdownLine, { L"Timeout(in second) : 65535" });
    ExpectEachFits(module, kBuildTemplate, kCountdownLine, { L"Timeout(in second) : 10" });
}

// The measure itself: a line longer than any control is found too long.
TEST(StateLines, ALineTooLongForItsControlIsFound)
{
    PanelResources resources;
    TemplateDialog dialog(resources.Module(), kNoticeTemplate);
    ASSERT_NE(dialog.Window(), (HWND)NULL);
    HWND control = GetDlgItem(dialog.Window(), kStatusLine);
    std::wstring longLine;
    for (int i = 0; i < 20; ++i)
        longLine += L"NTE flash memory write filter ";
    EXPECT_GT(Overflow(control, longLine.c_str()).cy, 0);
    SIZE oneWord = Overflow(control, L"NTEflashmemorywritefilterisNOTACCESSIBLENTEflashmemorywritefilter");
    EXPECT_GT(oneWord.cx + oneWord.cy, 0);
}
