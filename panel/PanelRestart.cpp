#include "PanelRestart.h"

#include "WriteFilterDevice.h"

bool RestartOrTell(CWnd& owner)
{
    if (WriteFilterDevice().RestartSystem())
        return true;
    owner.MessageBox(L"Failed to restart the system.\n"
                     L"Please restart it yourself or contact your system administrator.",
                     L"Pendrax", MB_OK);
    return false;
}
