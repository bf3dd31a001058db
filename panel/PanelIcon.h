// The panel's icons, from its own resources.
#pragma once

#include <windows.h>

#include "CWinApp.h"

inline HICON LoadPanelIcon(UINT iconId)
{
    return LoadIconW(AfxGetApp()->m_hInstance, MAKEINTRESOURCEW(iconId));
}
