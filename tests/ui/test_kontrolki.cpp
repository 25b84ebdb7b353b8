// State and events of the controls, with the headless backend.

#include <string>
#include <vector>

#include "base/StronyKodowe.h"
#include "ui/Controls.h"

#include "../Pomocnicy.h"

namespace {

struct Kontrolki : pomocnicy::NaHeadless {
    ui::Form form{"frmTest"};
};

TEST(StronaKodowa, FollowsTheFontCharacterSet) {
    struct Case {
        uint8_t charset;
        unsigned codePage;
    };
    const Case cases[] = {
        {ui::kCharsetEastEurope, 1250}, {ui::kCharsetAnsi, 1252},   {ui::kCharsetRussian, 1251},
        {ui::kCharsetTurkish, 1254},    {ui::kCharsetDefault, 1250}, {161 /* Greek: no language */, 1250},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::CodePageOfCharset(c.charset), c.codePage) << int(c.charset);
}

TEST_F(Kontrolki, TextCodePageFollowsFontUnlessSetAndBytesStayAsSet) {
    ui::Label label(&form, "lblKatalog");
    const std::string bytes = "C:\\Program Files\\ąćę"_cp1250;  // bytes as the program holds them
    label.SetCaption(bytes);
    EXPECT_EQ(label.TextCodePage(), 1250u);
    label.SetFontCharset(ui::kCharsetRussian);
    EXPECT_EQ(label.TextCodePage(), 1251u);
    label.SetTextCodePage(1250);
    label.SetFontCharset(ui::kCharsetAnsi);
    EXPECT_EQ(label.TextCodePage(), 1250u);
    EXPECT_EQ(label.Caption(), bytes);
    label.SetTextCodePage(0);
    EXPECT_EQ(label.TextCodePage(), 1252u);
}

TEST_F(Kontrolki, RadioButtonsAreExclusiveAmongSiblingsOnly) {
    ui::Panel pnlA(&form, "pnlA");
    ui::Panel pnlB(&form, "pnlB");
    ui::RadioButton a1(&pnlA, "a1"), a2(&pnlA, "a2"), a3(&pnlA, "a3");
    ui::RadioButton b1(&pnlB, "b1");
    std::vector<std::string> clicks;
    for (ui::RadioButton* r : {&a1, &a2, &a3, &b1}) {
        r->OnClick = [&](ui::Control& c) { clicks.push_back(c.Name()); };
    }
    b1.SetChecked(true);
    a1.Click();
    a2.Click();
    a2.Click();  // already checked: nothing
    a3.SetEnabled(false);
    a3.Click();  // cannot take input
    EXPECT_FALSE(a1.Checked());
    EXPECT_TRUE(a2.Checked());
    EXPECT_FALSE(a3.Checked());
    EXPECT_TRUE(b1.Checked());
    EXPECT_EQ(clicks, (std::vector<std::string>{"b1", "a1", "a2"}));
    a2.SetChecked(false);  // unchecking raises nothing
    EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(Kontrolki, SpeedButtonGroups) {
    struct Case {
        const char* name;
        bool allowAllUp;
        std::vector<int> clicks;  // indexes of the buttons clicked, in order
        std::vector<bool> down;   // afterwards
    };
    const Case cases[] = {
        {"first click puts down", false, {1}, {false, true, false}},
        {"another one takes over", false, {1, 2}, {false, false, true}},
        {"down one stays without all-up", false, {0, 0}, {true, false, false}},
        {"down one released with all-up", true, {0, 0}, {false, false, false}},
        {"release then press again", true, {0, 0, 0}, {true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::Panel panel(&form, "pnlJezyk");
        ui::SpeedButton b0(&panel, "btnPolski"), b1(&panel, "btnAngielski"), b2(&panel, "btnNiemiecki");
        ui::SpeedButton other(&panel, "other");  // another group beside it
        other.SetGroupIndex(2);
        other.SetDown(true);
        int clicked = 0;
        ui::SpeedButton* buttons[] = {&b0, &b1, &b2};
        for (ui::SpeedButton* b : buttons) {
            b->SetGroupIndex(1);
            b->OnClick = [&](ui::Control&) { ++clicked; };
        }
        b1.SetAllowAllUp(c.allowAllUp);  // shared by the group
        EXPECT_EQ(b0.AllowAllUp(), c.allowAllUp);
        for (int i : c.clicks) buttons[i]->Click();
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(buttons[i]->Down(), c.down[i]) << i;
        EXPECT_EQ(clicked, static_cast<int>(c.clicks.size()));
        EXPECT_TRUE(other.Down());
    }
}

TEST_F(Kontrolki, SpeedButtonDownRaisesNothingAndNeedsAGroup) {
    ui::SpeedButton loose(&form, "loose");
    ui::SpeedButton a(&form, "a"), b(&form, "b");
    int clicked = 0;
    a.OnClick = b.OnClick = [&](ui::Control&) { ++clicked; };
    loose.SetDown(true);
    EXPECT_FALSE(loose.Down());
    a.SetGroupIndex(3);
    b.SetGroupIndex(3);
    a.SetDown(true);
    b.SetDown(true);
    EXPECT_FALSE(a.Down());
    EXPECT_TRUE(b.Down());
    b.SetDown(false);  // the group must keep one down
    EXPECT_TRUE(b.Down());
    EXPECT_EQ(clicked, 0);
}

TEST_F(Kontrolki, CheckBoxRaisesClickOnEveryChange) {
    ui::Panel page(&form, "pnlOpcje");
    ui::CheckBox box(&page, "chbInstalujSlowniki");
    int clicks = 0;
    box.OnClick = [&](ui::Control&) { ++clicks; };
    box.SetChecked(true);
    box.SetChecked(true);
    box.Click();
    EXPECT_FALSE(box.Checked());
    page.SetVisible(false);
    box.Click();  // on a hidden page the user cannot reach it
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST_F(Kontrolki, EditRaisesChangeOnlyWhenTheTextChanges) {
    ui::Edit edit(&form, "edtDodaj");
    std::vector<std::string> seen;
    edit.OnChange = [&](ui::Control& c) { seen.push_back(c.Text()); };
    edit.SetText("");
    edit.SetText("abc");
    edit.SetText("abc");
    edit.UserEdited("abcd");
    edit.UserEdited("abcd");
    EXPECT_EQ(seen, (std::vector<std::string>{"abc", "abcd"}));
    EXPECT_EQ(edit.Text(), "abcd");
}

TEST_F(Kontrolki, ComboBoxSelection) {
    ui::ComboBox combo(&form, "cmbDrive");
    int changes = 0;
    combo.OnChange = [&](ui::Control&) { ++changes; };
    combo.SetItems({"D:\\", "E:\\"});
    combo.SetItemIndex(0);
    EXPECT_EQ(combo.SelectedText(), "D:\\");
    for (int bad : {-5, 2, 99}) {
        combo.SetItemIndex(bad);
        EXPECT_EQ(combo.ItemIndex(), -1) << bad;
        EXPECT_EQ(combo.SelectedText(), "");
    }
    combo.UserSelect(1);
    combo.UserSelect(1);
    combo.UserSelect(7);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    combo.SetItems({"D:\\"});  // the selection falls off the end
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.AddItem("F:\\");
    combo.SetItemIndex(1);
    combo.ClearItems();
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_TRUE(combo.Items().empty());
}

TEST_F(Kontrolki, GaugeKeepsProgressInRange) {
    struct Step {
        enum { Min, Max, Progress, Add } what;
        int32_t value;
        int32_t min, max, progress;
        int percent;
    };
    const Step steps[] = {
        {Step::Max, 1000, 0, 1000, 0, 0},
        {Step::Progress, 250, 0, 1000, 250, 25},
        {Step::Progress, 5000, 0, 1000, 1000, 100},
        {Step::Min, 0, 0, 1000, 1000, 100},
        {Step::Progress, 0, 0, 1000, 0, 0},
        {Step::Max, 0, 0, 0, 0, 0},  // rollback with nothing to remove
        {Step::Add, 1, 0, 0, 0, 0},
        {Step::Max, 3, 0, 3, 0, 0},
        {Step::Add, 1, 0, 3, 1, 33},
        {Step::Min, 10, 10, 10, 10, 0},  // a minimum above the maximum narrows the range
        {Step::Max, INT32_MAX, 10, INT32_MAX, 10, 0},
        {Step::Progress, INT32_MAX, 10, INT32_MAX, INT32_MAX, 100},
        {Step::Add, INT32_MAX, 10, INT32_MAX, INT32_MAX, 100},
        {Step::Min, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 100},
        {Step::Progress, -1, INT32_MIN, INT32_MAX, -1, 49},
    };
    ui::Gauge gauge(&form, "GaugePostep");
    int i = 0;
    for (const Step& s : steps) {
        switch (s.what) {
        case Step::Min: gauge.SetMin(s.value); break;
        case Step::Max: gauge.SetMax(s.value); break;
        case Step::Progress: gauge.SetProgress(s.value); break;
        case Step::Add: gauge.AddProgress(s.value); break;
        }
        EXPECT_EQ(gauge.Min(), s.min) << "step " << i;
        EXPECT_EQ(gauge.Max(), s.max) << "step " << i;
        EXPECT_EQ(gauge.Progress(), s.progress) << "step " << i;
        EXPECT_EQ(gauge.PercentDone(), s.percent) << "step " << i;
        ++i;
    }
}

TEST_F(Kontrolki, FontAndColourInheritance) {
    ui::Panel header(&form, "pnlNaglowek");
    ui::Label title(&header, "lblTytul");
    ui::Label step(&header, "lblKrok");
    form.SetFontName("Arial");
    form.SetFontCharset(ui::kCharsetEastEurope);
    EXPECT_EQ(step.Font().Name, "Arial");
    EXPECT_EQ(step.Font().Charset, ui::kCharsetEastEurope);

    title.SetFontCharset(ui::kCharsetAnsi);  // its own font from now on
    title.SetFontBold(true);
    form.SetFontCharset(ui::kCharsetRussian);
    EXPECT_EQ(step.Font().Charset, ui::kCharsetRussian);
    EXPECT_EQ(title.Font().Charset, ui::kCharsetAnsi);
    EXPECT_TRUE(title.Font().Bold);
    EXPECT_FALSE(title.ParentFont());
    title.SetParentFont(true);
    EXPECT_EQ(title.Font(), header.Font());

    header.SetColor(ui::clHighlightText);
    EXPECT_EQ(title.Color(), ui::clHighlightText);
    EXPECT_EQ(form.Color(), ui::clBtnFace);
    step.SetColor(ui::clRed);
    header.SetColor(ui::clWindow);
    EXPECT_EQ(step.Color(), ui::clRed);
    EXPECT_EQ(title.Color(), ui::clWindow);
}

TEST_F(Kontrolki, AnchorsFollowTheParentsSize) {
    struct Case {
        ui::Anchors anchors;
        ui::Rect after;
    };
    const Case cases[] = {
        {{true, true, false, false}, {10, 20, 30, 40}},
        {{false, true, true, false}, {60, 20, 30, 40}},
        {{true, true, true, false}, {10, 20, 80, 40}},
        {{true, false, false, true}, {10, 45, 30, 40}},
        {{true, true, true, true}, {10, 20, 80, 65}},
    };
    for (const Case& c : cases) {
        ui::Panel parent(&form, "parent");
        parent.SetBounds(0, 0, 200, 100);
        ui::Button child(&parent, "child");
        child.SetBounds(10, 20, 30, 40);
        child.SetAnchors(c.anchors);
        parent.SetBounds(0, 0, 250, 125);
        EXPECT_EQ(child.Bounds(), c.after);
    }
}

TEST_F(Kontrolki, ConstraintsLimitEverySize) {
    ui::Panel panel(&form, "p");
    panel.SetConstraints({10, 0, 400, 0});
    panel.SetBounds(0, 0, 1000, 50);
    EXPECT_EQ(panel.Width(), 400);
    panel.SetWidth(3);
    EXPECT_EQ(panel.Width(), 10);
    panel.SetHeight(-7);
    EXPECT_EQ(panel.Height(), 0);
}

TEST_F(Kontrolki, TabOrderAndFront) {
    ui::Panel p1(&form, "pnlIntro"), p2(&form, "pnlUmowa"), p3(&form, "pnlOpcje");
    EXPECT_EQ(p3.TabOrder(), 2);
    p3.BringToFront();
    EXPECT_EQ(form.Children(), (std::vector<ui::Control*>{&p3, &p1, &p2}));
    p3.SendToBack();
    p1.SetTabOrder(99);
    EXPECT_EQ(form.Children(), (std::vector<ui::Control*>{&p2, &p3, &p1}));
    EXPECT_EQ(form.FindControl("pnlOpcje"), &p3);
    EXPECT_EQ(form.FindControl("brak"), nullptr);
}

TEST_F(Kontrolki, FocusGoesOnlyWhereInputCanGo) {
    ui::Panel page(&form, "pnlUmowa");
    ui::Button button(&page, "btnZamknij");
    {
        ui::Edit edit(&page, "edt");
        edit.SetFocus();
        EXPECT_TRUE(edit.Focused());
        EXPECT_EQ(form.ActiveControl(), &edit);
    }
    EXPECT_EQ(form.ActiveControl(), nullptr);  // the dead control is not remembered
    page.SetEnabled(false);
    button.SetFocus();
    EXPECT_EQ(form.ActiveControl(), nullptr);
    page.SetEnabled(true);
    button.SetFocus();
    EXPECT_EQ(form.ActiveControl(), &button);
}

TEST_F(Kontrolki, ChildOutlivingItsParentIsDetached) {
    auto panel = std::make_unique<ui::Panel>(&form, "p");
    ui::Button button(panel.get(), "b");
    panel.reset();
    EXPECT_EQ(button.Parent(), nullptr);
    EXPECT_EQ(button.ParentForm(), nullptr);
    EXPECT_TRUE(form.Children().empty());
    button.Click();  // still usable on its own
}

}  // namespace
