// Round trip of seeded random key trees through Stavix.exe and the terminal's
// registry editor: each batch is saved with "/s", deleted, restored, and
// compared value by value with what was there.
//   stavix_round_trip FIRST-SEED TREES TREES-PER-SAVE
// Prints one line of result; exit status 0 when every tree came back equal.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "StavixTestSupport.h"

namespace {

const wchar_t root[] = L"SOFTWARE\\StavixRoundTrip";

// The same numbers for a seed on every platform, unlike rand().
struct Random
{
    explicit Random(unsigned seed) : state(seed * 2654435761u + 1) {}
    unsigned Below(unsigned bound)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state % bound;
    }
    unsigned state;
};

// Characters of code page 1252 that tempt a script writer: escapes, quotes,
// brackets, an equals sign, accented letters, the euro sign.
std::wstring Text(Random& random, unsigned longest, bool forKey = false)
{
    static const wchar_t pool[] = L"abcdefXYZ0129 _-.,;=@#$%&'()[]{}\"\\\u00e9\u00fc\u00df\u00ff\u00a9\u20ac";
    std::wstring text;
    for (unsigned length = random.Below(longest + 1); text.size() < length;) {
        wchar_t c = pool[random.Below(sizeof(pool) / sizeof(wchar_t) - 1)];
        if (!forKey || c != L'\\')
            text += c;
    }
    return text;
}

// Strings with line breaks or none at all, dwords, binaries of 0 to 300
// bytes, expand and multi strings.
bool MakeValue(Random& random, const std::wstring& key)
{
    std::wstring name = random.Below(8) == 0 ? L"" : Text(random, 14);
    switch (random.Below(8)) {
    case 0:
    case 1: {
        std::wstring text = Text(random, 40);
        unsigned form = random.Below(10);
        if (form == 0)
            text.insert(text.size() / 2, L"\r\n");
        return SetValue(key, name, REG_SZ, form == 1 ? "" : Sz(text));
    }
    case 2:
        return SetValue(key, name, REG_DWORD, Dword(random.Below(0xFFFFFFFF)));
    case 3:
    case 4: {
        std::string data(random.Below(301), '\0');
        for (char& byte : data)
            byte = (char)random.Below(256);
        return SetValue(key, name, REG_BINARY, data);
    }
    case 5:
        return SetValue(key, name, REG_EXPAND_SZ, Sz(L"%SystemRoot%\\" + Text(random, 20)));
    default: {
        std::wstring strings;
        for (unsigned count = random.Below(4); count > 0; --count)
            strings += Text(random, 12) + L'\0';
        return SetValue(key, name, REG_MULTI_SZ, Sz(strings));
    }
    }
}

bool MakeTree(Random& random, const std::wstring& key, unsigned depth)
{
    bool made = SetValue(key, L"made", REG_DWORD, Dword(depth));
    for (unsigned count = random.Below(7); made && count > 0; --count)
        made = MakeValue(random, key);
    for (unsigned count = depth > 0 ? random.Below(4) : 0; made && count > 0; --count)
        made = MakeTree(random, key + L"\\k" + Text(random, 11, true), depth - 1);
    return made;
}

void Say(const std::string& line)
{
    fputs((line + "\n").c_str(), stdout);
    fflush(stdout);
}

int Fail(const std::string& line)
{
    Say(line);
    return 1;
}

// False, with the first difference told, when the trees differ.
bool SameTree(unsigned seed, const std::vector<RegistryValue>& saved,
              const std::vector<RegistryValue>& restored)
{
    for (size_t i = 0; i < saved.size() || i < restored.size(); ++i) {
        if (i < saved.size() && i < restored.size() && saved[i] == restored[i])
            continue;
        Say("seed " + std::to_string(seed) + ": saved    " + (i < saved.size() ? Describe(saved[i]) : "-"));
        Say("seed " + std::to_string(seed) + ": restored " + (i < restored.size() ? Describe(restored[i]) : "-"));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned first = argc == 4 ? atoi(argv[1]) : 0, trees = argc == 4 ? atoi(argv[2]) : 0,
             perSave = argc == 4 ? atoi(argv[3]) : 0;
    if (perSave == 0)
        return 2;
    unsigned equal = 0, values = 0, keys = 0;
    for (unsigned batch = first; batch < first + trees; batch += perSave) {
        DeleteTree(root);
        std::string keyList = "<TSCAL path>\r\n";
        std::vector<std::vector<RegistryValue>> saved;
        for (unsigned seed = batch; seed < first + trees && seed < batch + perSave; ++seed) {
            Random random(seed);
            std::wstring tree = std::wstring(root) + L"\\T" + std::to_wstring(seed);
            if (!MakeTree(random, tree, 3))
                return Fail("seed " + std::to_string(seed) + ": cannot make the tree");
            keyList += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRoundTrip\\T" + std::to_string(seed) + "]\r\n";
            saved.push_back(ReadTree(tree));
        }
        if (!WriteKeyList(keyList) || RunStavix(L"/s") != 0 || FlashFile(L"info") != "err:0,flush:0")
            return Fail("batch from seed " + std::to_string(batch) + ": the save failed");
        DeleteTree(root);
        if (RunStavix(L"") != 0)
            return Fail("batch from seed " + std::to_string(batch) + ": the restore failed");
        for (unsigned i = 0; i < saved.size(); ++i) {
            for (const RegistryValue& value : saved[i])
                ++(value.type == REG_NONE ? keys : values);
            std::wstring tree = std::wstring(root) + L"\\T" + std::to_wstring(batch + i);
            equal += SameTree(batch + i, saved[i], ReadTree(tree)) ? 1 : 0;
        }
    }
    DeleteTree(root);
    Say("round trip: " + std::to_string(equal) + " of " + std::to_string(trees) +
        " trees restored equal, value by value (" + std::to_string(values) + " values in " +
        std::to_string(keys) + " keys)");
    return equal == trees ? 0 : 1;
}
