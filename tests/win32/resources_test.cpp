// The resources of Hangarscanv4.exe, linked into this test program from the same script, read
// back as the system loads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/version.h"
#include "app/win32/resource.h"
#include "bgl/byte_reader.h"

namespace hangarscan {
namespace {

constexpr std::uint32_t kNoId = 0xFFFFFFFF;  // IDC_STATIC

std::span<const std::uint8_t> Resource(LPCSTR type, int id) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
  if (found == nullptr) return {};
  const void* data = LockResource(LoadResource(nullptr, found));
  return {static_cast<const std::uint8_t*>(data), SizeofResource(nullptr, found)};
}

struct Rect {
  int left, top, width, height;
  bool operator==(const Rect&) const = default;
};

struct Control {
  std::uint32_t id;
  std::string windowClass;  // "Button" or "Static", by ordinal or by name
  std::string text;
  std::uint32_t style;
  Rect rect;
};

struct Dialog {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  Rect rect{};
  std::string title;
  int pointSize = 0;
  std::string typeface;
  std::vector<Control> controls;
};

// Reads a template of DIALOGEX form; text is kept as its characters below 128.
class TemplateReader {
 public:
  explicit TemplateReader(std::span<const std::uint8_t> data) : reader_(data) {}

  bool Read(Dialog& dialog) {
    std::uint16_t version = 0, signature = 0, count = 0, pointSize = 0, weight = 0;
    std::uint32_t helpId = 0;
    std::uint8_t italic = 0, charset = 0;
    std::string menu, windowClass;
    if (!reader_.ReadU16(version) || !reader_.ReadU16(signature) || version != 1 ||
        signature != 0xFFFF || !reader_.ReadU32(helpId) || !reader_.ReadU32(dialog.exStyle) ||
        !reader_.ReadU32(dialog.style) || !reader_.ReadU16(count) || !ReadRect(dialog.rect) ||
        !ReadText(menu) || !ReadText(windowClass) || !ReadText(dialog.title)) {
      return false;
    }
    if ((dialog.style & DS_SETFONT) != 0) {
      if (!reader_.ReadU16(pointSize) || !reader_.ReadU16(weight) || !reader_.ReadU8(italic) ||
          !reader_.ReadU8(charset) || !ReadText(dialog.typeface)) {
        return false;
      }
      dialog.pointSize = pointSize;
    }
    for (int i = 0; i < count; ++i) {
      Control control{};
      if (!ReadControl(control)) return false;
      dialog.controls.push_back(control);
    }
    return true;
  }

 private:
  bool ReadControl(Control& control) {
    std::uint32_t helpId = 0, exStyle = 0;
    std::uint16_t extra = 0;
    return reader_.Skip((4 - reader_.position() % 4) % 4) && reader_.ReadU32(helpId) &&
           reader_.ReadU32(exStyle) && reader_.ReadU32(control.style) && ReadRect(control.rect) &&
           reader_.ReadU32(control.id) && ReadClass(control.windowClass) &&
           ReadText(control.text) && reader_.ReadU16(extra) && reader_.Skip(extra);
  }

  // The system knows its classes by ordinal or by name, in any case.
  bool ReadClass(std::string& name) {
    if (!ReadText(name)) return false;
    if (name == "#128" || lstrcmpiA(name.c_str(), "Button") == 0) name = "Button";
    if (name == "#130" || lstrcmpiA(name.c_str(), "Static") == 0) name = "Static";
    return true;
  }

  bool ReadRect(Rect& rect) {
    std::uint16_t v[4];
    for (std::uint16_t& value : v) {
      if (!reader_.ReadU16(value)) return false;
    }
    rect = {static_cast<std::int16_t>(v[0]), static_cast<std::int16_t>(v[1]),
            static_cast<std::int16_t>(v[2]), static_cast<std::int16_t>(v[3])};
    return true;
  }

  // A text, an ordinal (as "#<number>") or nothing.
  bool ReadText(std::string& text) {
    std::uint16_t unit = 0;
    if (!reader_.ReadU16(unit)) return false;
    if (unit == 0xFFFF) {
      if (!reader_.ReadU16(unit)) return false;
      text = "#" + std::to_string(unit);
      return true;
    }
    for (; unit != 0;) {
      text += unit < 0x80 ? static_cast<char>(unit) : '?';
      if (!reader_.ReadU16(unit)) return false;
    }
    return true;
  }

  ByteReader reader_;
};

Dialog ReadDialog(int id) {
  Dialog dialog;
  const auto data = Resource(RT_DIALOG, id);
  EXPECT_FALSE(data.empty()) << "dialog " << id;
  EXPECT_TRUE(TemplateReader(data).Read(dialog)) << "dialog " << id;
  return dialog;
}

constexpr std::uint32_t kShown = WS_CHILD | WS_VISIBLE;
constexpr std::uint32_t kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr std::uint32_t kResizing = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void ExpectControls(const Dialog& dialog, const std::vector<Control>& expected) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Control& got = dialog.controls[i];
    const Control& want = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.windowClass, want.windowClass);
    EXPECT_EQ(got.text, want.text);
    EXPECT_EQ(got.style, want.style);
    EXPECT_EQ(got.rect, want.rect);
  }
}

TEST(ResourcesTest, MainWindowIsLaidOutAsTheTableGivesIt) {
  const Dialog dialog = ReadDialog(IDD_QUILLMERE_DIALOG);
  EXPECT_EQ(dialog.title, "WingsteadP3Dv4 - Extract Airport from BGL and refresh airport database");
  EXPECT_EQ(dialog.rect, (Rect{0, 0, 321, 127}));
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.typeface, "MS Shell Dlg");
  EXPECT_EQ(dialog.style & kFrame, kFrame);
  EXPECT_EQ(dialog.style & kResizing, 0u);
  EXPECT_EQ(dialog.exStyle & WS_EX_APPWINDOW, static_cast<DWORD>(WS_EX_APPWINDOW));

  const std::string button = "Button", text = "Static";
  ExpectControls(
      dialog,
      {{IDOK, button, "Exit program", kShown | WS_TABSTOP | BS_PUSHBUTTON, {7, 95, 267, 20}},
       {IDC_REFRESH,
        button,
        "Refresh the Wingstead Airports database",
        kShown | WS_TABSTOP | BS_DEFPUSHBUTTON,
        {33, 46, 255, 19}},
       {kNoId, button, "", kShown | BS_GROUPBOX, {7, 7, 307, 113}},
       {kNoId,
        text,
        "This utility will refresh the WingsteadP3D Airport database\r\n"
        "This can be usefull if you added some new scenery in Prepar3D.",
        kShown | WS_GROUP | SS_LEFT,
        {60, 22, 210, 18}},
       {IDC_STATUS,
        text,
        "Status: not running. Click on the button above.",
        kShown | WS_GROUP | SS_LEFT,
        {52, 72, 262, 8}},
       {IDC_OPEN_LOG, button, "Open log", kShown | WS_TABSTOP | BS_PUSHBUTTON, {276, 95, 37, 20}}});
}

TEST(ResourcesTest, AboutBoxShowsTheIconTheNameAndOk) {
  const Dialog dialog = ReadDialog(IDD_ABOUTBOX);
  EXPECT_EQ(dialog.title, "About Quillmere");
  EXPECT_EQ(dialog.rect, (Rect{0, 0, 235, 55}));
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.typeface, "MS Shell Dlg");
  EXPECT_EQ(dialog.style & kFrame, kFrame);
  EXPECT_EQ(dialog.style & kResizing, 0u);

  const std::string text = "Static";
  ExpectControls(dialog, {{kNoId, text, "#128", kShown | SS_ICON, {11, 17, 20, 20}},
                          {kNoId,
                           text,
                           "Quillmere Version 1.0",
                           kShown | WS_GROUP | SS_LEFT | SS_NOPREFIX,
                           {40, 10, 119, 8}},
                          {IDOK,
                           "Button",
                           "OK",
                           kShown | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON,
                           {178, 7, 50, 16}}});
}

TEST(ResourcesTest, SystemMenuTextIsString101) {
  char text[64] = {};
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text), 0);
  EXPECT_STREQ(text, "&About Quillmere...");
}

TEST(ResourcesTest, IconHasA32And16PixelImageIn16Colours) {
  ByteReader group(Resource(RT_GROUP_ICON, IDR_MAINFRAME));
  std::uint16_t reserved = 0, type = 0, count = 0;
  ASSERT_TRUE(group.ReadU16(reserved) && group.ReadU16(type) && group.ReadU16(count));
  EXPECT_EQ(type, 1);
  ASSERT_EQ(count, 2);
  for (const int size : {32, 16}) {
    std::uint8_t width = 0, height = 0, colours = 0, pad = 0;
    std::uint16_t planes = 0, bits = 0, id = 0;
    std::uint32_t bytes = 0;
    ASSERT_TRUE(group.ReadU8(width) && group.ReadU8(height) && group.ReadU8(colours) &&
                group.ReadU8(pad) && group.ReadU16(planes) && group.ReadU16(bits) &&
                group.ReadU32(bytes) && group.ReadU16(id));
    EXPECT_EQ(width, size);
    EXPECT_EQ(height, size);
    EXPECT_EQ(colours, 16);
    EXPECT_EQ(bits, 4);
    const auto image = Resource(RT_ICON, id);
    ASSERT_EQ(image.size(), bytes);
    EXPECT_EQ(U32At(image, 4), static_cast<std::uint32_t>(size));      // biWidth
    EXPECT_EQ(U32At(image, 8), static_cast<std::uint32_t>(2 * size));  // colours and mask
    EXPECT_EQ(U16At(image, 14), 4);                                    // biBitCount
  }
}

TEST(ResourcesTest, ManifestAsksForAdministratorDpiAwarenessAndCommonControls6) {
  const auto data = Resource(RT_MANIFEST, 1);
  const std::string manifest(data.begin(), data.end());
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""),
            std::string::npos);
  EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
            std::string::npos);
}

std::string VersionString(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return "<none>";
  }
  return value;
}

TEST(ResourcesTest, VersionComesFromTheVersionHeader) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::vector<char> info(GetFileVersionInfoSizeA(path, nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MAKELONG(HANGARSCAN_VERSION_MINOR, HANGARSCAN_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS,
            static_cast<DWORD>(MAKELONG(HANGARSCAN_VERSION_BUILD, HANGARSCAN_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(VersionString(info, "FileVersion"), HANGARSCAN_VERSION_TEXT);
  EXPECT_EQ(VersionString(info, "ProductVersion"), HANGARSCAN_VERSION_TEXT);
  EXPECT_EQ(VersionString(info, "OriginalFilename"), "Hangarscanv4.exe");
}

}  // namespace
}  // namespace hangarscan
