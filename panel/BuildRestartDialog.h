// The notice of "/build": after a pause it counts down, then sets the write
// filter driver to start at boot and restarts the computer. "Close" does the
// same at once; Escape leaves everything as it was.
#pragma once

#include "CountdownDialog.h"

class BuildRestartDialog : public CountdownDialog
{
public:
    explicit BuildRestartDialog(CWnd* parent = NULL);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCountdownEnd() override { OnOK(); }
};
