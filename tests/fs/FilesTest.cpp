// Folder checks, listings and path pieces.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "Process.h"
#include "TempDir.h"
#include "fs/Files.h"
#include "fs/Paths.h"

namespace {

using Pieces = std::vector<std::string>;

bool isValidFolder(const std::string& path)
{
    const FolderCheck check = checkFolder(path);
    EXPECT_FALSE(check.error) << path;
    return check.isFolder;
}

TEST(IsValidFolder, OnlyExistingFoldersPass)
{
    TempDir dir;
    const std::string file = dir.write("modelo.lp", "x");
    const std::string sub = dir.folder("sub");
    symlink(sub.c_str(), dir.file("link-to-sub").c_str());
    symlink(dir.file("nowhere").c_str(), dir.file("dangling").c_str());
    symlink(dir.file("loop").c_str(), dir.file("loop").c_str());

    EXPECT_TRUE(isValidFolder(dir.path()));
    EXPECT_TRUE(isValidFolder(dir.path() + "/"));
    EXPECT_TRUE(isValidFolder(sub));
    EXPECT_TRUE(isValidFolder(dir.file("link-to-sub")));
    EXPECT_FALSE(isValidFolder(""));
    EXPECT_FALSE(isValidFolder(file));
    EXPECT_FALSE(isValidFolder("\"" + dir.path() + "\""));
    EXPECT_FALSE(isValidFolder(dir.path() + "x"));
    EXPECT_FALSE(isValidFolder(file + "/below-a-file"));         // ENOTDIR
    EXPECT_FALSE(isValidFolder(dir.path() + "/" + std::string(300, 'a')));  // ENAMETOOLONG
    EXPECT_FALSE(isValidFolder(dir.file("dangling")));
    EXPECT_FALSE(isValidFolder(dir.file("loop")));               // ELOOP
    EXPECT_FALSE(isValidFolder(dir.path() + std::string(1, '\0') + "x"));
}

TEST(IsValidFolder, OtherFailuresAreErrorsWithOperationAndPath)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root passes every permission check; the shell session test covers this as nobody";
    TempDir dir;
    const std::string inside = dir.folder("closed") + "/x";
    chmod(dir.file("closed").c_str(), 0);
    const FolderCheck check = checkFolder(inside);
    ASSERT_TRUE(check.error);
    EXPECT_EQ(check.error->describe(), "exists: Permission denied: \"" + inside + "\"");
    EXPECT_EQ(check.error->code, EACCES);
}

TEST(ListFolder, FullPathsSortedWithEverythingButTheDots)
{
    TempDir dir;
    dir.write("b.lp", "");
    dir.write("a.lp", "");
    dir.write(".hidden", "");
    dir.folder("c-sub");
    dir.write("B.mod", "");
    const std::string root = dir.path();
    const Pieces expected{root + "/.hidden", root + "/B.mod", root + "/a.lp", root + "/b.lp", root + "/c-sub"};
    for (const std::string& folder : {root, root + "/"}) {
        const Listing listing = listFolder(folder);
        EXPECT_EQ(listing.entries, expected);
        EXPECT_FALSE(listing.error);
    }
}

TEST(ListFolder, SortsByBytesNotByLocale)
{
    TempDir dir;
    for (const char* name : {"\xc3\xa9t\xc3\xa9.lp", "z.lp", "Z.lp", "\xff\xfe.lp", "10.lp", "9.lp"})
        dir.write(name, "");
    const Pieces listed = listFolder(dir.path()).entries;
    Pieces names;
    for (const auto& path : listed)
        names.push_back(path.substr(dir.path().size() + 1));
    EXPECT_EQ(names, (Pieces{"10.lp", "9.lp", "Z.lp", "z.lp", "\xc3\xa9t\xc3\xa9.lp", "\xff\xfe.lp"}));
}

TEST(ListFolder, EmptyAndUnreadableFolders)
{
    TempDir dir;
    const Listing empty = listFolder(dir.folder("empty"));
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_FALSE(empty.error);

    const Listing missing = listFolder(dir.file("missing"));
    EXPECT_TRUE(missing.entries.empty());
    EXPECT_EQ(missing.error, "directory_iterator::directory_iterator: No such file or directory: \""
                                 + dir.file("missing") + "\"");
}

TEST(Paths, FileNameAndSuffix)
{
    EXPECT_EQ(fileName("/home/ana/modelos/teste.lp"), "teste.lp");
    EXPECT_EQ(fileName("modelos/"), "");
    EXPECT_EQ(fileName("teste.lp"), "teste.lp");
    EXPECT_EQ(fileName("C:\\modelos\\teste.lp"), "C:\\modelos\\teste.lp");
    EXPECT_TRUE(hasSuffix("a/help", "lp"));
    EXPECT_TRUE(hasSuffix("lp", "lp"));
    EXPECT_FALSE(hasSuffix("a/m.LP", "lp"));
    EXPECT_FALSE(hasSuffix("p", "lp"));
    EXPECT_EQ(pathInFolder("a/", "b"), "a//b");
}

}  // namespace
