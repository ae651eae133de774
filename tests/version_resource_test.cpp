// The executable's version record and application icon, read back with the system's own calls
// from this test program, which is built with the program's resource script app/TH.rc.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AppInfo.h"

namespace {

std::wstring ownPath() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path;
}

// One node of the version record: its key and the keys of its children, in order.
struct VersionNode {
  std::wstring key;
  std::vector<VersionNode> children;
};

size_t alignTo4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Walks the record's tree as the file stores it: length, value length, type, key, value,
// children, each part aligned to 32 bits.
VersionNode parseNode(const BYTE* base, size_t offset, size_t* next) {
  WORD length = 0;
  WORD valueLength = 0;
  WORD type = 0;
  std::memcpy(&length, base + offset, 2);
  std::memcpy(&valueLength, base + offset + 2, 2);
  std::memcpy(&type, base + offset + 4, 2);
  VersionNode node;
  size_t at = offset + 6;
  for (wchar_t c; std::memcpy(&c, base + at, 2), at += 2, c != 0;) node.key += c;
  at = alignTo4(at);
  // Text values count their length in characters, binary ones in bytes.
  at = alignTo4(at + (type == 1 ? valueLength * 2u : valueLength));
  const size_t end = offset + length;
  while (at < end) {
    size_t childEnd = 0;
    node.children.push_back(parseNode(base, at, &childEnd));
    at = alignTo4(childEnd);
  }
  *next = end;
  return node;
}

std::vector<std::wstring> keysOf(const VersionNode& node) {
  std::vector<std::wstring> keys;
  for (const auto& child : node.children) keys.push_back(child.key);
  return keys;
}

class VersionRecordTest : public testing::Test {
protected:
  void SetUp() override {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ownPath().c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version record, error " << GetLastError();
    m_record.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(ownPath().c_str(), 0, size, m_record.data()));
  }

  // VerQueryValueW on the record; null when the entry is missing.
  const void* query(const std::wstring& entry, UINT* length) {
    void* value = nullptr;
    *length = 0;
    if (!VerQueryValueW(m_record.data(), entry.c_str(), &value, length)) return nullptr;
    return value;
  }

  std::wstring text(const std::wstring& name) {
    UINT length = 0;
    const auto* value =
        static_cast<const wchar_t*>(query(L"\\StringFileInfo\\041104B0\\" + name, &length));
    if (value == nullptr) return L"<missing>";
    return std::wstring(value, wcsnlen(value, length));
  }

  std::vector<BYTE> m_record;
};

TEST_F(VersionRecordTest, NumbersAreOnePointZeroAndMatchTheApplicationVersion) {
  UINT length = 0;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\", &length));
  ASSERT_NE(fixed, nullptr);
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  for (const auto& [high, low] :
       {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
        std::pair{fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
    EXPECT_EQ(HIWORD(high), 1);
    EXPECT_EQ(LOWORD(high), 0);
    EXPECT_EQ(HIWORD(low), 0);
    EXPECT_EQ(LOWORD(low), 0);
    // The About box shows the program's own version numbers: both must agree.
    EXPECT_EQ(HIWORD(high), AppInfo::kMajor);
    EXPECT_EQ(LOWORD(high), AppInfo::kMinor);
    EXPECT_EQ(HIWORD(low), AppInfo::kRevision);
  }
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug or pre-release flag";
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionRecordTest, OneJapaneseUnicodeTableHoldsEveryText) {
  EXPECT_EQ(text(L"FileVersion"), L"" TH_VERSION_TEXT);
  EXPECT_EQ(text(L"ProductVersion"), L"" TH_VERSION_TEXT);
  EXPECT_EQ(text(L"FileDescription"), L"実行ﾌｧｲﾙ");
  EXPECT_EQ(text(L"InternalName"), L"TH");
  EXPECT_EQ(text(L"OriginalFilename"), L"TH.exe");
  EXPECT_EQ(text(L"ProductName"), L"ﾀﾏﾋﾛｲ");
  const std::wstring rights = text(L"LegalCopyright");
  EXPECT_NE(rights, L"<missing>");
  EXPECT_NE(rights.find(L"ﾀﾏﾋﾛｲ"), std::wstring::npos) << "the rights text names the product";

  UINT length = 0;
  const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation", &length));
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(length, 4u) << "exactly one language and code page";
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 1200);
}

TEST_F(VersionRecordTest, TheRecordHoldsNothingElse) {
  size_t end = 0;
  const VersionNode root = parseNode(m_record.data(), 0, &end);
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  ASSERT_EQ(keysOf(root), (std::vector<std::wstring>{L"StringFileInfo", L"VarFileInfo"}));
  const VersionNode& strings = root.children[0];
  ASSERT_EQ(keysOf(strings), std::vector<std::wstring>{L"041104B0"});
  const auto names = keysOf(strings.children[0]);
  EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()),
            (std::set<std::wstring>{L"FileDescription", L"FileVersion", L"InternalName",
                                    L"LegalCopyright", L"OriginalFilename", L"ProductName",
                                    L"ProductVersion"}));
  EXPECT_EQ(names.size(), 7u) << "no text twice";
  EXPECT_EQ(keysOf(root.children[1]), std::vector<std::wstring>{L"Translation"});
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width;
  BYTE height;
  BYTE colorCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInResource;
  WORD id;
};
#pragma pack(pop)

// The resource types of an icon image and of an icon with its images, as wide-text names.
const LPCWSTR kIconImage = MAKEINTRESOURCEW(3);
const LPCWSTR kIconGroup = MAKEINTRESOURCEW(14);

std::pair<const BYTE*, DWORD> resource(LPCWSTR name, LPCWSTR type) {
  const HRSRC found = FindResourceW(nullptr, name, type);
  if (found == nullptr) return {nullptr, 0};
  return {static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))),
          SizeofResource(nullptr, found)};
}

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(
      IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
  return TRUE;
}

TEST(ApplicationIconTest, TheOneIconHasA16AndA32PixelImageOf16Colours) {
  std::vector<std::wstring> groups;
  EnumResourceNamesW(nullptr, kIconGroup, collectName, reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_EQ(groups, std::vector<std::wstring>{L"IDI_ICON1"}) << "the shell shows the first icon";

  const auto [group, groupSize] = resource(L"IDI_ICON1", kIconGroup);
  ASSERT_NE(group, nullptr);
  WORD type = 0;
  WORD count = 0;
  std::memcpy(&type, group + 2, 2);
  std::memcpy(&count, group + 4, 2);
  EXPECT_EQ(type, 1) << "an icon, not a cursor";
  ASSERT_EQ(count, 2);
  ASSERT_EQ(groupSize, 6 + count * sizeof(IconGroupEntry));

  // Of the standard 16 colours the bulb uses only these (as 0x00RRGGBB).
  const std::set<DWORD> allowed = {0x000000, 0xFFFFFF, 0xFFFF00, 0x808080, 0xC0C0C0};
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    IconGroupEntry entry;
    std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
    sizes.insert(entry.width);
    EXPECT_EQ(entry.height, entry.width);
    EXPECT_EQ(entry.colorCount, 16);
    EXPECT_EQ(entry.bitCount, 4);

    const auto [image, imageSize] = resource(MAKEINTRESOURCEW(entry.id), kIconImage);
    ASSERT_NE(image, nullptr) << "image " << entry.id;
    EXPECT_EQ(imageSize, entry.bytesInResource);
    BITMAPINFOHEADER header;
    ASSERT_GE(imageSize, sizeof header);
    std::memcpy(&header, image, sizeof header);
    ASSERT_EQ(header.biSize, sizeof header) << "a 16-colour bitmap, not a PNG";
    const int n = entry.width;
    EXPECT_EQ(header.biWidth, n);
    EXPECT_EQ(header.biHeight, 2 * n) << "colour rows and mask rows";
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    const BYTE* palette = image + header.biSize;
    const BYTE* colours = palette + 16 * 4;
    const size_t colourRow = ((n * 4 + 31) / 32) * 4;
    const BYTE* mask = colours + colourRow * n;
    const size_t maskRow = ((n + 31) / 32) * 4;
    ASSERT_EQ(static_cast<size_t>(mask + maskRow * n - image), imageSize);
    int opaque = 0;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        if (mask[y * maskRow + x / 8] & (0x80 >> (x % 8))) continue;  // transparent
        ++opaque;
        const BYTE pair = colours[y * colourRow + x / 2];
        const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
        const BYTE* bgr = palette + index * 4;
        const DWORD rgb = (DWORD{bgr[2]} << 16) | (DWORD{bgr[1]} << 8) | bgr[0];
        EXPECT_TRUE(allowed.count(rgb)) << n << " px image, pixel " << x << "," << y;
      }
    }
    EXPECT_GT(opaque, 0) << n << " px image is empty";
    EXPECT_LT(opaque, n * n) << n << " px image has no transparent surround";

    const HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image), imageSize, TRUE,
                                                0x00030000, n, n, LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr) << "the system refuses the " << n << " px image";
    if (icon != nullptr) DestroyIcon(icon);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
}

}  // namespace
