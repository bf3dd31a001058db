// Round trip of seeded random key trees through Stavix.exe and the registry
// editor: each batch of trees is saved with "/s", deleted, restored, and
// compared value by value with what was there.
//   stavix_round_trip FIRST-SEED TREES TREES-PER-SAVE
// Prints one line of result; exit status 0 when every tree came back equal.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "RandomKeyTree.h"
#include "StavixTestSupport.h"

namespace {

const wchar_t root[] = L"SOFTWARE\\StavixRoundTrip";

std::wstring TreePath(unsigned seed)
{
    return std::wstring(root) + L"\\T" + std::to_wstring(seed);
}

void Say(const std::string& line)
{
    fputs((line + "\n").c_str(), stdout);
    fflush(stdout);
}

// False, with the first difference told, when the trees differ.
bool SameTree(unsigned seed, const std::vector<RegistryValue>& before,
              const std::vector<RegistryValue>& after)
{
    for (size_t i = 0; i < before.size() || i < after.size(); ++i) {
        if (i < before.size() && i < after.size() && before[i] == after[i])
            continue;
        Say("seed " + std::to_string(seed) + ": saved   " +
            (i < before.size() ? Describe(before[i]) : std::string("(nothing)")));
        Say("seed " + std::to_string(seed) + ": restored " +
            (i < after.size() ? Describe(after[i]) : std::string("(nothing)")));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    unsigned first = strtoul(argv[1], NULL, 10), trees = strtoul(argv[2], NULL, 10),
             perSave = strtoul(argv[3], NULL, 10);
    if (perSave == 0)
        return 2;
    unsigned equal = 0, values = 0, keys = 0;
    for (unsigned batch = 0; batch < trees; batch += perSave) {
        DeleteTree(root);
        std::string keyList = "<TSCAL path>\r\n";
        std::vector<unsigned> seeds;
        for (unsigned seed = first + batch; seed < first + trees && seed < first + batch + perSave; ++seed) {
            if (!MakeRandomKeyTree(TreePath(seed), seed)) {
                Say("seed " + std::to_string(seed) + ": cannot make the tree");
                return 1;
            }
            keyList += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixRoundTrip\\T" + std::to_string(seed) + "]\r\n";
            seeds.push_back(seed);
        }
        std::vector<std::vector<RegistryValue>> before;
        for (unsigned seed : seeds)
            before.push_back(ReadTree(TreePath(seed)));
        if (!WriteKeyList(keyList) || RunStavix(L"/s") != 0 ||
            FlashFile(L"info") != "err:0,flush:0") {
            Say("batch from seed " + std::to_string(seeds[0]) + ": the save failed");
            return 1;
        }
        DeleteTree(root);
        if (RunStavix(L"") != 0) {
            Say("batch from seed " + std::to_string(seeds[0]) + ": the restore failed");
            return 1;
        }
        for (size_t i = 0; i < seeds.size(); ++i) {
            for (const RegistryValue& value : before[i])
                (value.name == L"(key)" ? keys : values) += 1;
            if (SameTree(seeds[i], before[i], ReadTree(TreePath(seeds[i]))))
                ++equal;
        }
    }
    DeleteTree(root);
    Say("round trip: " + std::to_string(equal) + " of " + std::to_string(trees) +
        " trees restored equal, value by value (" + std::to_string(values) + " values in " +
        std::to_string(keys) + " keys)");
    return equal == trees ? 0 : 1;
}
