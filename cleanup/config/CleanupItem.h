// One configured cleanup item: what to act on, what to do and when.
#pragma once

#include <windows.h>

// Bits of an item's triggers: the system events it acts on.
enum SystemEvent
{
    SVC_STARTUP = 1,
    USER_LOGOFF = 2,
    USER_SHUTDOWN = 4
};

enum ItemAction
{
    ACTION_NONE = 0,
    DIR_DELETE = 1,
    DIR_EMPTY = 2,
    FILE_DELETE = 4,
    APP_EXECUTE = 8
};

// Fixed by the list an item belongs to.
enum ItemKind
{
    KIND_UNSET = 0,
    KIND_DIRECTORY = 1,
    KIND_FILE = 2,
    KIND_PROFILE = 4,
    KIND_APPLICATION = 8
};

class CleanupItem
{
public:
    CleanupItem();

    void SetKind(DWORD nKind);
    DWORD GetKind() const;
    // Refused while the kind is unset, or for a text of 260 characters or more.
    bool SetPath(const char* pszPath);
    const char* GetPath() const;    // NULL while the kind is unset
    // Only a profile item has a name.
    bool SetName(const char* pszName);
    const char* GetName() const;    // NULL unless the item is a profile
    // Adds the SystemEvent bits named anywhere in the text; true when any.
    bool AddTriggers(const char* pszText);
    DWORD GetTriggers() const;
    // Takes the first ItemAction the text names that the kind accepts.
    bool SetAction(const char* pszText);
    DWORD GetAction() const;

private:
    char m_szName[MAX_PATH];
    char m_szPath[MAX_PATH];
    DWORD m_nKind;
    DWORD m_nTriggers;
    DWORD m_nAction;
};
