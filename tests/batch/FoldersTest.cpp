// Folder checks, listings and path pieces.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "Process.h"
#include "TempDir.h"
#include "batch/FileSystemError.h"
#include "batch/Folders.h"

namespace {

using Pieces = std::vector<std::string>;

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

TEST(IsValidFolder, OtherFailuresThrowWithOperationAndPath)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root passes every permission check; the shell session test covers this as nobody";
    TempDir dir;
    const std::string inside = dir.folder("closed") + "/x";
    chmod(dir.file("closed").c_str(), 0);
    try {
        isValidFolder(inside);
        FAIL() << "no error";
    } catch (const FileSystemError& error) {
        EXPECT_EQ(std::string(error.what()), "exists: Permission denied: \"" + inside + "\"");
        EXPECT_EQ(error.errorCode(), EACCES);
    }
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
    testing::internal::CaptureStderr();
    EXPECT_EQ(listFolder(root), expected);
    EXPECT_EQ(listFolder(root + "/"), expected);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ListFolder, SortsByBytesNotByLocale)
{
    TempDir dir;
    for (const char* name : {"\xc3\xa9t\xc3\xa9.lp", "z.lp", "Z.lp", "\xff\xfe.lp", "10.lp", "9.lp"})
        dir.write(name, "");
    const Pieces listed = listFolder(dir.path());
    Pieces names;
    for (const auto& path : listed)
        names.push_back(path.substr(dir.path().size() + 1));
    EXPECT_EQ(names, (Pieces{"10.lp", "9.lp", "Z.lp", "z.lp", "\xc3\xa9t\xc3\xa9.lp", "\xff\xfe.lp"}));
}

TEST(ListFolder, EmptyAndUnreadableFolders)
{
    TempDir dir;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(listFolder(dir.folder("empty")).empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    EXPECT_TRUE(listFolder(dir.file("missing")).empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Erro ao acessar a pasta: directory_iterator::directory_iterator: No such file or directory: \""
                  + dir.file("missing") + "\"\n");
}

TEST(SplitPath, CutsAtEverySeparator)
{
    EXPECT_EQ(splitPath("/home/ana/modelos/teste.lp"), (Pieces{"", "home", "ana", "modelos", "teste.lp"}));
    EXPECT_EQ(splitPath("modelos/"), (Pieces{"modelos", ""}));
    EXPECT_EQ(splitPath("a//b"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(splitPath("teste.lp"), (Pieces{"teste.lp"}));
    EXPECT_EQ(splitPath(""), (Pieces{""}));
    EXPECT_EQ(splitPath("C:\\modelos\\teste.lp"), (Pieces{"C:\\modelos\\teste.lp"}));
}

}  // namespace
