#include "RandomKeyTree.h"

#include "StavixTestSupport.h"

namespace {

// The same numbers on every platform and compiler, unlike rand().
class Random
{
public:
    explicit Random(unsigned seed) : m_state(seed * 2654435761u + 1) { Next(); }
    unsigned Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    unsigned Below(unsigned bound) { return Next() % bound; }

private:
    unsigned m_state;
};

// Characters of code page 1252 that tempt a script writer: escapes, quotes,
// brackets, an equals sign, accented letters, the euro sign.
const wchar_t namePool[] = L"abcdefXYZ0129 _-.,;=@#$%&'()[]{}\"\\\u00e9\u00fc\u00df\u00ff\u00a9\u20ac";

std::wstring Text(Random& random, unsigned longest, bool forKey)
{
    std::wstring text;
    unsigned length = random.Below(longest + 1);
    const unsigned poolSize = sizeof(namePool) / sizeof(wchar_t) - 1;
    while (text.size() < length) {
        wchar_t c = namePool[random.Below(poolSize)];
        if (forKey && c == L'\\')
            continue;
        text += c;
    }
    return text;
}

std::string Bytes(const std::wstring& text, bool withNul)
{
    return std::string((const char*)text.c_str(), (text.size() + (withNul ? 1 : 0)) * 2);
}

bool MakeValue(Random& random, const std::wstring& key)
{
    std::wstring name = random.Below(8) == 0 ? L"" : Text(random, 14, false);
    switch (random.Below(8)) {
    case 0:
    case 1: {
        std::wstring text = Text(random, 40, false);
        unsigned form = random.Below(10);
        if (form == 0)
            text.insert(text.size() / 2, L"\r\n");
        if (form == 1)
            return SetValue(key, name, REG_SZ, "");
        return SetValue(key, name, REG_SZ, Bytes(text, true));
    }
    case 2: {
        DWORD value = random.Next();
        return SetValue(key, name, REG_DWORD, std::string((const char*)&value, 4));
    }
    case 3:
    case 4: {
        std::string data(random.Below(301), '\0');
        for (char& byte : data)
            byte = (char)random.Next();
        return SetValue(key, name, REG_BINARY, data);
    }
    case 5:
        return SetValue(key, name, REG_EXPAND_SZ,
                        Bytes(L"%SystemRoot%\\" + Text(random, 20, false), true));
    default: {
        std::wstring strings;
        for (unsigned count = random.Below(4); count > 0; --count)
            strings += Text(random, 12, true) + L'\0';
        return SetValue(key, name, REG_MULTI_SZ, Bytes(strings, true));
    }
    }
}

bool MakeKeyTree(Random& random, const std::wstring& key, unsigned depth)
{
    if (!MakeKey(key))
        return false;
    for (unsigned count = random.Below(7); count > 0; --count) {
        if (!MakeValue(random, key))
            return false;
    }
    if (depth == 0)
        return true;
    for (unsigned count = random.Below(4); count > 0; --count) {
        std::wstring name = L"k" + Text(random, 11, true);
        if (!MakeKeyTree(random, key + L"\\" + name, depth - 1))
            return false;
    }
    return true;
}

} // namespace

bool MakeRandomKeyTree(const std::wstring& path, unsigned seed)
{
    Random random(seed);
    return MakeKeyTree(random, path, 3);
}
