// Where Stavix finds its key list and stages its files, and the names of its
// two flash files.
#pragma once

#define KEY_LIST_PATH "C:\\winnt\\system32\\stavix.ini"
#define SCRIPT_PATH "Z:\\stavix.reg"
#define SCRIPT_PATH_W L"Z:\\stavix.reg"
#define RECORD_PATH "Z:\\info"
#define RECORD_PATH_W L"Z:\\info"
#define SCRIPT_FLASH_NAME L"stavix.reg"
#define RECORD_FLASH_NAME L"info"

// Lines of the key list, paths and header lines of the script: at most this
// many characters and a terminating NUL.
#define STAVIX_LINE_SIZE 260
