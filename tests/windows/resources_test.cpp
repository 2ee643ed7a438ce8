// The DLL's resources as compiled: the tree menu and the two dialog templates.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"

namespace {

// Reads a compiled template word by word.
class TemplateReader {
  public:
    TemplateReader(const void* data, size_t size)
        : at_(static_cast<const BYTE*>(data)), end_(at_ + size), start_(at_) {}

    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }

    // A string, or 0xFFFF and an ordinal (given back as "#n").
    std::string Text() {
        if (Peek() == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

    void AlignDword() {
        while ((at_ - start_) % 4 != 0)
            ++at_;
    }

    bool Overrun() const { return at_ > end_; }

  private:
    WORD Peek() const { return at_ + 2 <= end_ ? *reinterpret_cast<const WORD*>(at_) : 0; }
    template <typename T>
    T Take() {
        T value{};
        if (at_ + sizeof(T) <= end_)
            value = *reinterpret_cast<const T*>(at_);
        at_ += sizeof(T);
        return value;
    }

    const BYTE* at_;
    const BYTE* end_;
    const BYTE* start_;
};

struct Control {
    DWORD style;
    short x, y, cx, cy;
    int id;
    std::string windowClass;
    std::string text;
};

struct Dialog {
    DWORD style;
    short x, y, cx, cy;
    std::string caption;
    WORD pointSize;
    std::string font;
    std::vector<Control> controls;
};

class ResourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryExA(testing_support::PluginDllPath().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }

    TemplateReader Resource(int id, LPCSTR type) {
        HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id),
                                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        EXPECT_NE(found, nullptr) << id;
        return TemplateReader(LockResource(LoadResource(module_, found)),
                              SizeofResource(module_, found));
    }

    Dialog ReadDialog(int id) {
        TemplateReader in = Resource(id, MAKEINTRESOURCEA(5));  // RT_DIALOG
        Dialog dialog{};
        dialog.style = in.Dword();
        in.Dword();  // extended style
        const WORD count = in.Word();
        dialog.x = in.Short();
        dialog.y = in.Short();
        dialog.cx = in.Short();
        dialog.cy = in.Short();
        EXPECT_EQ(in.Text(), "");  // no menu
        EXPECT_EQ(in.Text(), "");  // the standard dialog class
        dialog.caption = in.Text();
        if (dialog.style & DS_SETFONT) {
            dialog.pointSize = in.Word();
            dialog.font = in.Text();
        }
        for (WORD i = 0; i < count; ++i) {
            in.AlignDword();
            Control control{};
            control.style = in.Dword();
            in.Dword();
            control.x = in.Short();
            control.y = in.Short();
            control.cx = in.Short();
            control.cy = in.Short();
            control.id = static_cast<short>(in.Word());
            control.windowClass = ClassName(in.Text());
            control.text = in.Text();
            in.Word();  // creation data
            dialog.controls.push_back(control);
        }
        EXPECT_FALSE(in.Overrun());
        return dialog;
    }

    // Predefined classes are stored as atoms.
    static std::string ClassName(const std::string& stored) {
        if (stored == "#128")
            return "button";
        if (stored == "#129")
            return "edit";
        if (stored == "#130")
            return "static";
        std::string lower;
        for (char c : stored)
            lower.push_back(static_cast<char>(tolower(c)));
        return lower == "syslistview32" ? "SysListView32" : lower;
    }

    HMODULE module_ = nullptr;
};

TEST_F(ResourcesTest, ViewDialogTemplate) {
    const Dialog view = ReadDialog(IDD_VIEW);
    EXPECT_EQ(view.style, 0x46000440u);
    EXPECT_EQ(view.x, 0);
    EXPECT_EQ(view.y, 0);
    EXPECT_EQ(view.cx, 291);
    EXPECT_EQ(view.cy, 274);
    EXPECT_EQ(view.caption, "");
    EXPECT_EQ(view.pointSize, 8);
    EXPECT_EQ(view.font, "MS Sans Serif");
    const std::vector<Control> expected = {
        {0x50011009, 0, 13, 289, 246, IDC_LIST, "SysListView32", "List4"},
        {0x50020000, 41, 262, 248, 8, IDC_STATUS, "static", ""},
        {0x50020000, 0, 1, 26, 8, -1, "static", "Search:"},
        {0x50010080, 26, 1, 263, 10, IDC_SEARCH, "edit", ""},
        {0x5001000B, 2, 261, 35, 11, IDC_CONFIG, "button", "Config"},
    };
    ASSERT_EQ(view.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& have = view.controls[i];
        const Control& want = expected[i];
        EXPECT_EQ(have.style, want.style) << i;
        EXPECT_EQ(have.x, want.x) << i;
        EXPECT_EQ(have.y, want.y) << i;
        EXPECT_EQ(have.cx, want.cx) << i;
        EXPECT_EQ(have.cy, want.cy) << i;
        EXPECT_EQ(have.id, want.id) << i;
        EXPECT_EQ(have.windowClass, want.windowClass) << i;
        EXPECT_EQ(have.text, want.text) << i;
    }
}

TEST_F(ResourcesTest, DisclaimerDialogTemplate) {
    const Dialog disclaimer = ReadDialog(IDD_DISCLAIMER);
    EXPECT_TRUE(disclaimer.style & DS_MODALFRAME);
    EXPECT_EQ(disclaimer.cx, 200);
    EXPECT_EQ(disclaimer.cy, 73);
    EXPECT_EQ(disclaimer.caption, "Olympus MR-100");
    EXPECT_EQ(disclaimer.pointSize, 8);
    EXPECT_EQ(disclaimer.font, "MS Sans Serif");
    ASSERT_EQ(disclaimer.controls.size(), 2u);
    const Control& ok = disclaimer.controls[0];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.text, "OK");
    EXPECT_TRUE((ok.style & 0xF) == BS_DEFPUSHBUTTON);
    EXPECT_EQ(ok.x, 74);
    EXPECT_EQ(ok.y, 52);
    EXPECT_EQ(ok.cx, 50);
    EXPECT_EQ(ok.cy, 14);
    const Control& text = disclaimer.controls[1];
    EXPECT_EQ(text.windowClass, "static");
    EXPECT_EQ(text.x, 7);
    EXPECT_EQ(text.y, 7);
    EXPECT_EQ(text.cx, 186);
    EXPECT_EQ(text.cy, 41);
    const std::string warning =
        "This is an under development plugin, as such there is no guarantee that this plugin "
        "wont break stuff INCLUDING your mp3-player. Use at your own risk and the creator cannot "
        "be held responsible. ";
    ASSERT_GT(text.text.size(), warning.size());
    EXPECT_EQ(text.text.substr(0, warning.size()), warning);
}

TEST_F(ResourcesTest, TreeMenu) {
    TemplateReader in = Resource(IDR_TREE_MENU, MAKEINTRESOURCEA(4));  // RT_MENU
    EXPECT_EQ(in.Word(), 0);                                           // version
    EXPECT_EQ(in.Word(), 0);                                           // header size
    EXPECT_EQ(in.Word(), MF_POPUP | MF_END);
    EXPECT_EQ(in.Text(), "TreeItemContext");
    EXPECT_EQ(in.Word(), 0);
    EXPECT_EQ(in.Word(), ID_MENU_ABOUT);
    EXPECT_EQ(in.Text(), "About Ex..");
    EXPECT_EQ(in.Word(), MF_END);
    EXPECT_EQ(in.Word(), ID_MENU_CONFIG);
    EXPECT_EQ(in.Text(), "Ex Configuration...");
    EXPECT_FALSE(in.Overrun());
}

}  // namespace
