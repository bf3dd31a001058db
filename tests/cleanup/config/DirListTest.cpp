// CDirList: the protected directories.
#include <gtest/gtest.h>

#include <string>

#include "config/DirList.h"

TEST(DirList, ContainsComparesWholePathsIgnoringCase)
{
    CDirList list;
    list.Add("C:\\Data\\");
    EXPECT_TRUE(list.Contains("c:\\data\\"));
    EXPECT_TRUE(list.Contains("C:\\DATA\\"));
    EXPECT_FALSE(list.Contains("C:\\Data"));
    EXPECT_FALSE(list.Contains("C:\\Data\\Sub\\"));
    EXPECT_FALSE(list.Contains("C:\\"));
    EXPECT_FALSE(list.Contains(""));
    EXPECT_FALSE(list.Contains(nullptr));
}

TEST(DirList, KeepsTheOrderOfAddingAndIgnoresEmptyTexts)
{
    CDirList list;
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_EQ(list.GetNext(), nullptr);
    list.Add("A\\");
    list.Add("");
    list.Add(nullptr);
    list.Add("B\\");
    list.Add("C\\");
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_STREQ(list.GetFirst(), "A\\");
    EXPECT_STREQ(list.GetNext(), "B\\");
    EXPECT_STREQ(list.GetNext(), "C\\");
    EXPECT_EQ(list.GetNext(), nullptr);
    EXPECT_EQ(list.GetNext(), nullptr) << "the cursor stays on the last node";
}

TEST(DirList, ContainsLeavesTheCursorOnTheMatchOrTheFirstNode)
{
    CDirList list;
    list.Add("A\\");
    list.Add("B\\");
    list.Add("C\\");
    EXPECT_TRUE(list.Contains("b\\"));
    EXPECT_STREQ(list.GetNext(), "C\\");
    EXPECT_FALSE(list.Contains("D\\"));
    EXPECT_STREQ(list.GetNext(), "B\\");
}

TEST(DirList, HoldsCopiesAndStartsAgainAfterRemoveAll)
{
    CDirList list;
    char path[MAX_PATH] = "C:\\Temp\\Install\\";
    list.Add(path);
    path[0] = 'D';
    EXPECT_TRUE(list.Contains("c:\\temp\\install\\"));
    const std::string longest(259, 'x');
    list.Add(longest.c_str());
    EXPECT_TRUE(list.Contains(longest.c_str()));

    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_FALSE(list.Contains("C:\\Temp\\Install\\"));
    list.Add("E\\");
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetFirst(), "E\\");
}
