// The rich-text box and the tree view as the program's pages use them: the
// agreement filled line by line, the folder tree filled and navigated.

#include <stdexcept>
#include <string>
#include <vector>

#include "base/StronyKodowe.h"
#include "ui/RichEdit.h"
#include "ui/TreeView.h"

#include "../Pomocnicy.h"

namespace {

struct PoleTekstu : pomocnicy::NaHeadless {
    ui::Form form{"frmMain"};
};

TEST_F(PoleTekstu, AgreementFilledLineByLine) {
    ui::RichEdit red(&form, "redUmowa");
    red.SetReadOnly(true);
    red.SetFontCharset(ui::kCharsetEastEurope);
    EXPECT_EQ(red.DefAttributes().Charset, ui::kCharsetEastEurope);
    red.SetText("old text");
    red.BeginUpdate();
    red.Clear();

    // One line inserted whole, one by keystrokes into a box made writable for
    // the while, each followed by the line break.
    red.SetSelCharset(ui::kCharsetEastEurope);
    red.InsertText("Umowa");
    red.InsertText("\r\n");
    red.SetSelCharset(ui::kCharsetAnsi);
    red.SendChar(0xE9);  // ignored: read-only
    red.SetReadOnly(false);
    red.InsertText("caf");
    red.SendChar(0xE9);
    red.SetReadOnly(true);
    red.InsertText("\r\n");
    red.EndUpdate();
    red.CaretToStart();

    EXPECT_EQ(red.Text(), "Umowa\r\ncafé\r\n"_cp1250);
    EXPECT_EQ(red.SelStart(), 0u);
    EXPECT_EQ(red.UpdateCount(), 0);
    EXPECT_EQ(red.CharsetAt(0), ui::kCharsetEastEurope);
    EXPECT_EQ(red.CharsetAt(7), ui::kCharsetAnsi);
    EXPECT_EQ(red.CharsetAt(10), ui::kCharsetAnsi);
    EXPECT_EQ(red.InsertCodePage(), 1252u);
    EXPECT_EQ(red.LoadCodePage(), 1250u);

    red.InsertText(">");  // at the caret, now the start
    EXPECT_EQ(red.Text().substr(0, 3), ">Um");
}

TEST_F(PoleTekstu, KeystrokesOfControlBytesAreNotDelivered) {
    ui::RichEdit red(&form, "redUmowa");
    for (int b : {8, 0, 27, 31}) red.SendChar(static_cast<uint8_t>(b));
    EXPECT_EQ(red.Text(), "");
    red.SendChar('\r');
    red.SendChar('\t');
    red.SendChar('a');
    EXPECT_EQ(red.Text(), "\r\ta");
}

TEST_F(PoleTekstu, LoadingWholeTextTakesTheDefaultAttributes) {
    ui::RichEdit red(&form, "redUmowa");
    red.SetDefAttributes({"Arial", ui::kCharsetRussian});
    red.SetSelCharset(ui::kCharsetAnsi);
    red.SetText("При"_cp1251);
    EXPECT_EQ(red.SelStart(), 0u);
    EXPECT_EQ(red.CharsetAt(2), ui::kCharsetRussian);
    EXPECT_EQ(red.LoadCodePage(), 1251u);
    red.SetTextCodePage(1250);  // an explicit code page wins
    EXPECT_EQ(red.LoadCodePage(), 1250u);
    EXPECT_EQ(red.InsertCodePage(), 1250u);
    EXPECT_THROW((void)red.CharsetAt(3), std::out_of_range);
}

// A folder tree: drives, folders with and without subfolders.
struct Drzewo : PoleTekstu {
    ui::TreeView trv{&form, "trvKatalog"};
    std::vector<std::string> changes;
    Drzewo() {
        trv.OnChange = [this](ui::Control&) {
            changes.push_back(trv.Selected() != nullptr ? trv.Selected()->Text() : "(none)");
        };
    }
};

TEST_F(Drzewo, NodesAndSelection) {
    ui::TreeNode& c = trv.AddChild(nullptr, "C:\\");
    ui::TreeNode& d = trv.AddChild(nullptr, "D:\\");
    ui::TreeNode& programs = trv.AddChild(&c, "Program Files");
    programs.SetHasChildren(true);
    ui::TreeNode& temp = trv.AddChild(&c, "Temp");
    temp.SetImageIndex(1);
    temp.SetSelectedIndex(2);

    EXPECT_TRUE(c.HasChildren());  // adding a child sets it
    EXPECT_FALSE(d.HasChildren());
    EXPECT_TRUE(programs.HasChildren());
    EXPECT_EQ(c.FirstChild(), &programs);
    EXPECT_EQ(programs.NextSibling(), &temp);
    EXPECT_EQ(temp.NextSibling(), nullptr);
    EXPECT_EQ(c.NextSibling(), &d);
    EXPECT_EQ(temp.Level(), 1);
    EXPECT_EQ(trv.FirstNode(), &c);

    trv.SetSelected(&temp);
    trv.SetSelected(&temp);
    trv.UserSelected(&programs);
    trv.Delete(&c);  // takes the selection with it, silently
    EXPECT_EQ(trv.Selected(), nullptr);
    EXPECT_EQ(trv.Count(), 1u);
    EXPECT_EQ(changes, (std::vector<std::string>{"Temp", "Program Files"}));

    ui::TreeView other(&form, "other");
    ui::TreeNode& foreign = other.AddChild(nullptr, "X:\\");
    EXPECT_THROW(trv.AddChild(&foreign, "x"), std::invalid_argument);
    trv.SetSelected(&foreign);
    EXPECT_EQ(trv.Selected(), nullptr);
    trv.Clear();
    EXPECT_EQ(trv.FirstNode(), nullptr);
}

TEST_F(Drzewo, ExpandingFillsOrRefuses) {
    ui::TreeNode& c = trv.AddChild(nullptr, "C:\\");
    c.SetHasChildren(true);
    ui::TreeNode& empty = trv.AddChild(nullptr, "E:\\");
    bool allow = false;
    std::vector<std::string> expanded;
    trv.OnExpanding = [&](ui::TreeNode& node, bool& allowExpansion) {
        allowExpansion = allow;
        if (allow && node.Count() == 0) trv.AddChild(&node, "Windows");
    };
    trv.OnExpanded = [&](ui::TreeNode& node) { expanded.push_back(node.Text()); };

    c.Expand();
    EXPECT_FALSE(c.Expanded());
    allow = true;
    c.Expand();
    c.Expand();  // already open
    empty.Expand();  // nothing to open
    EXPECT_TRUE(c.Expanded());
    EXPECT_FALSE(empty.Expanded());
    EXPECT_EQ(c.Count(), 1u);
    EXPECT_EQ(expanded, (std::vector<std::string>{"C:\\"}));
    c.Collapse();
    EXPECT_FALSE(c.Expanded());

    int visited = 0;
    trv.ForEach([&](ui::TreeNode&) { ++visited; });
    EXPECT_EQ(visited, 3);
}

}  // namespace
