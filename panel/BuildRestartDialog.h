// The notice of "/build": after a pause it counts down, then sets the write
// filter driver to start at boot and restarts the computer. "Close" does the
// same at once; Escape leaves everything as it was.
#pragma once

#include "CountdownDialog.h"

class BuildRestartDialog : public CountdownDialog
{
public:
    explicit BuildRestartDialog(CWnd* parent = NULL);

    // The run's exit status once the notice has closed: 0 when the restart
    // was asked for, or when Escape left everything as it was.
    int ExitStatus() const { return m_exitStatus; }
    // "Start" was set, but the restart did not happen: one by hand finishes
    // the job.
    static const int kExitNotRestarted = 3;
    // "Start" could not be set: nothing was done.
    static const int kExitStartNotSet = 4;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCountdownEnd() override { OnOK(); }

private:
    int m_exitStatus;
};
