#include "iges/windows_long_path.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace notora {
namespace {

std::wstring CurrentFolder() {
  std::wstring folder(32768, L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

TEST(LongPathTest, ADrivePathGetsThePrefix) {
  EXPECT_EQ(LongPath(L"C:\\drawings\\a.igs"), L"\\\\?\\C:\\drawings\\a.igs");
}

TEST(LongPathTest, TheSystemsOwnParsingIsDoneFirst) {
  // "\\?\" turns it off: "/", "." and ".." and a trailing dot would
  // otherwise reach the disk as parts of names.
  EXPECT_EQ(LongPath(L"C:/drawings/./old/../a.igs."), L"\\\\?\\C:\\drawings\\a.igs");
}

TEST(LongPathTest, AShareGetsTheUncPrefix) {
  EXPECT_EQ(LongPath(L"\\\\server\\share\\drawings\\a.igs"),
            L"\\\\?\\UNC\\server\\share\\drawings\\a.igs");
  EXPECT_EQ(LongPath(L"//server/share/a.igs"), L"\\\\?\\UNC\\server\\share\\a.igs");
}

TEST(LongPathTest, ARelativePathIsMadeAbsoluteInTheCurrentFolder) {
  EXPECT_EQ(LongPath(L"sub\\部品.igs"), L"\\\\?\\" + CurrentFolder() + L"sub\\部品.igs");
}

TEST(LongPathTest, APathAlreadyLiteralIsKeptAsItIs) {
  const std::wstring literal = L"\\\\?\\C:\\drawings\\..\\a.igs";
  EXPECT_EQ(LongPath(literal), literal);
}

TEST(LongPathTest, ADeviceIsNoFileOnADisk) {
  EXPECT_EQ(LongPath(L"\\\\.\\COM1"), L"\\\\.\\COM1");
  EXPECT_EQ(LongPath(L"NUL"), L"\\\\.\\NUL");
}

TEST(LongPathTest, APathLongerThanMaxPathIsKeptWhole) {
  std::wstring path = L"C:";
  for (int part = 0; part < 8; ++part) {
    path += L"\\" + std::wstring(60, static_cast<wchar_t>(L'a' + part));
  }
  path += L"\\a.igs";
  ASSERT_GT(path.size(), std::size_t{MAX_PATH});
  EXPECT_EQ(LongPath(path), L"\\\\?\\" + path);
}

}  // namespace
}  // namespace notora
