#include <gtest/gtest.h>

#include "platform/win32/kernel/kernel.h"
#include "test_folder.h"

namespace {

TEST(KernelFile, AFailedMoveKeepsThePosition) {
  TempFolder folder;
  folder.Write("f.bin", "0123456789");
  HANDLE f = CreateFileA((folder / "f.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  EXPECT_EQ(4u, SetFilePointer(f, 4, nullptr, FILE_BEGIN));
  EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(f, -20, nullptr, FILE_END));
  EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(f, -5, nullptr, FILE_CURRENT));
  char c = 0;
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(f, &c, 1, &got, nullptr));
  EXPECT_EQ('4', c);
  EXPECT_EQ(8u, SetFilePointer(f, -2, nullptr, FILE_END));
  CloseHandle(f);
}

}  // namespace
