#include <string>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TempDir.h"
#include "fs/Files.h"

namespace {

TEST(ReadableFile, OnlyAnOpenableRegularFileCounts)
{
    TempDir dir;
    EXPECT_TRUE(isReadableFile(dir.write("m.dat", "param c := 1;\n")));
    EXPECT_TRUE(isReadableFile(dir.write("empty.dat", "")));
    EXPECT_FALSE(isReadableFile(dir.file("missing.dat")));
    EXPECT_FALSE(isReadableFile(dir.folder("folder.dat")));
    ASSERT_EQ(mkfifo(dir.file("fifo.dat").c_str(), 0644), 0);
    EXPECT_FALSE(isReadableFile(dir.file("fifo.dat")));
    EXPECT_FALSE(isReadableFile(std::string("m.dat\0x", 7)));
}

}  // namespace
