// The Win32 backend under a real window manager: windows found by their
// "ui.name" property as any other process would find them, their Unicode
// texts, clicks, dialog keys in modal forms, and what each kind of control
// shows.

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sys/text.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Measure.h"
#include "ui/RichEdit.h"
#include "ui/TreeView.h"
#include "ui/win32/Win32Backend.h"

#include "../NazwyOkien.h"

namespace {

// A window of this thread, top-level or child, by its control's name.
HWND Find(const std::wstring& name) { return pomocnicy::ZnajdzOknoWatku(name); }

std::wstring TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(hwnd, name, 64)));
}

struct Okna : ::testing::Test {
    ui::win32::Win32Backend backend;
    ui::Application app{backend};
};

TEST_F(Okna, TextsReachTheWindowsInTheirCodePages) {
    struct Case {
        const char* name;
        uint8_t charset;
        unsigned explicitCodePage;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"lblPolski", ui::kCharsetEastEurope, 0, L"Zakończ – Wstęp żółć"},
        {"lblFrancuski", ui::kCharsetAnsi, 0, L"<<  Arrière, été"},
        {"lblRosyjski", ui::kCharsetRussian, 0, L"Закрыть установку"},
        {"lblTurecki", ui::kCharsetTurkish, 0, L"İptal ğış"},
        {"lblDomyslny", ui::kCharsetDefault, 0, L"Dalej  >>"},
        {"lblKatalog", ui::kCharsetAnsi, 1250, L"C:\\Program Files\\Łódź"},
    };
    ui::Form form("frmMain");
    form.SetCaption(sys::FromWide(L"Tłumacz - Instalator", 1250));
    std::vector<std::unique_ptr<ui::Label>> labels;
    for (const Case& c : cases) {
        auto label = std::make_unique<ui::Label>(&form, c.name);
        label->SetFontCharset(c.charset);
        label->SetTextCodePage(c.explicitCodePage);
        label->SetCaption(sys::FromWide(c.text, label->TextCodePage()));
        labels.push_back(std::move(label));
    }
    form.Show();
    HWND frm = Find(L"frmMain");
    ASSERT_NE(frm, nullptr);
    EXPECT_EQ(TextOf(frm), L"Tłumacz - Instalator");
    EXPECT_TRUE(IsWindowVisible(frm));
    for (const Case& c : cases) {
        HWND hwnd = Find(sys::ToWide(c.name, 1252));
        ASSERT_NE(hwnd, nullptr) << c.name;
        EXPECT_EQ(GetAncestor(hwnd, GA_ROOT), frm);
        EXPECT_EQ(_wcsicmp(ClassOf(hwnd).c_str(), L"Static"), 0);
        EXPECT_EQ(TextOf(hwnd), c.text) << c.name;
    }
    // Another character set shows the same bytes as other letters; the
    // control keeps its bytes.
    const std::string before = labels[0]->Caption();
    labels[0]->SetFontCharset(ui::kCharsetRussian);
    EXPECT_EQ(labels[0]->Caption(), before);
    EXPECT_EQ(TextOf(Find(L"lblPolski")), sys::ToWide(before, 1251));
}

TEST_F(Okna, ClicksAndStatesReachBothWays) {
    ui::Form form("frmMain");
    ui::Panel page(&form, "pnlUmowa");
    page.SetBounds(0, 0, 300, 200);
    ui::RadioButton accept(&page, "rdbUmowaAkceptuje");
    ui::RadioButton reject(&page, "rdbUmowaNieAkceptuje");
    reject.SetTop(30);
    ui::CheckBox box(&page, "chbUtworzGrupe");
    box.SetTop(60);
    ui::Button next(&form, "btnDalej");
    next.SetTop(210);
    int clicks = 0;
    next.OnClick = [&](ui::Control&) { ++clicks; };
    accept.OnClick = reject.OnClick = [&](ui::Control&) { next.SetEnabled(accept.Checked()); };
    next.SetEnabled(false);
    form.Show();

    HWND hNext = Find(L"btnDalej");
    HWND hAccept = Find(L"rdbUmowaAkceptuje");
    HWND hReject = Find(L"rdbUmowaNieAkceptuje");
    HWND hBox = Find(L"chbUtworzGrupe");
    EXPECT_FALSE(IsWindowEnabled(hNext));
    SendMessageW(hAccept, BM_CLICK, 0, 0);
    EXPECT_TRUE(accept.Checked());
    EXPECT_EQ(SendMessageW(hAccept, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(hNext));
    SendMessageW(hNext, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    SendMessageW(hReject, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(hAccept, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(hNext));
    SendMessageW(hNext, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);

    SendMessageW(hBox, BM_CLICK, 0, 0);
    EXPECT_TRUE(box.Checked());
    box.SetChecked(false);
    EXPECT_EQ(SendMessageW(hBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    page.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(hAccept));
    page.SetVisible(true);
    page.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Find(L"pnlUmowa")));
    next.SetBounds(17, 220, 90, 27);
    RECT r;
    GetWindowRect(hNext, &r);
    MapWindowPoints(nullptr, Find(L"frmMain"), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 17);
    EXPECT_EQ(r.top, 220);
    EXPECT_EQ(r.right - r.left, 90);
}

// The question dialog: Enter, Esc and the owner disabled meanwhile.
struct Pytanie : ui::Form {
    ui::Label lblPytanie{this, "lblPytanie"};
    ui::Button btnTak{this, "btnTak"};
    ui::Button btnNie{this, "btnNie"};
    Pytanie() : ui::Form("frmPytanie") {
        SetBorderStyle(ui::BorderStyle::Dialog);
        SetBorderIcons({false, false, false});
        SetClientSize(250, 100);
        SetPosition(ui::FormPosition::MainFormCenter);
        btnTak.SetBounds(20, 60, 97, 25);
        btnTak.SetModalResult(ui::mrYes);
        btnTak.SetDefault(true);
        btnNie.SetBounds(130, 60, 97, 25);
        btnNie.SetModalResult(ui::mrNo);
    }
};

TEST_F(Okna, DialogKeysInAModalForm) {
    struct Case {
        const char* name;
        bool cancelIsNo;
        std::vector<std::pair<UINT, WPARAM>> posted;  // to btnTak's window, in order
        int expected;
        bool focusNo = false;
    };
    const Case cases[] = {
        {"Enter presses the default button", false, {{WM_KEYDOWN, VK_RETURN}}, ui::mrYes},
        {"Esc presses the cancel button", true, {{WM_KEYDOWN, VK_ESCAPE}}, ui::mrNo},
        // Without a cancel button Esc does nothing; the click that follows decides.
        {"Esc without a cancel button", false, {{WM_KEYDOWN, VK_ESCAPE}, {BM_CLICK, 0}}, ui::mrYes},
        {"Enter presses the button that has the focus", false, {{WM_KEYDOWN, VK_RETURN}}, ui::mrNo, true},
    };
    ui::Form main("frmMain");
    main.SetBounds(100, 100, 500, 400);
    app.SetMainForm(&main);
    main.Show();
    HWND hMain = Find(L"frmMain");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pytanie dialog;
        dialog.btnNie.SetCancel(c.cancelIsNo);
        bool ownerDisabled = false;
        dialog.OnShow = [&](ui::Form&) {
            if (c.focusNo) dialog.btnNie.SetFocus();
            for (const auto& [msg, key] : c.posted) PostMessageW(Find(L"btnTak"), msg, key, 0);
        };
        dialog.OnClose = [&](ui::Form&, ui::CloseAction&) { ownerDisabled = !IsWindowEnabled(hMain); };
        EXPECT_EQ(dialog.ShowModal(), c.expected);
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(hMain));
        EXPECT_FALSE(IsWindowVisible(Find(L"frmPytanie")));
        // Centred over the main form.
        EXPECT_EQ(dialog.Left(), 100 + (500 - dialog.Width()) / 2);
    }
}

TEST_F(Okna, ProcessMessagesPumpsAndHandlerExceptionsSurfaceThere) {
    ui::Form form("frmMain");
    ui::Button cancel(&form, "btnZamknij");
    bool requested = false;
    cancel.OnClick = [&](ui::Control&) { requested = true; };
    form.Show();
    PostMessageW(Find(L"btnZamknij"), BM_CLICK, 0, 0);
    EXPECT_FALSE(requested);
    app.ProcessMessages();
    EXPECT_TRUE(requested);

    // Busy work looks at the queue once an interval; a changed window of
    // ours makes the next call look at once.
    cancel.OnClick = [](ui::Control&) { throw std::runtime_error("from the handler"); };
    PostMessageW(Find(L"btnZamknij"), BM_CLICK, 0, 0);
    cancel.SetLeft(cancel.Left() + 1);
    EXPECT_THROW(app.ProcessMessages(), std::runtime_error);
    Sleep(ui::win32::kPumpInterval + 5);
    app.ProcessMessages();  // nothing left over

    int clicks = 0;
    cancel.OnClick = [&](ui::Control&) { ++clicks; };
    PostMessageW(Find(L"btnZamknij"), BM_CLICK, 0, 0);
    const DWORD start = GetTickCount();
    while (clicks == 0 && GetTickCount() - start < 1000) app.ProcessMessages();
    EXPECT_EQ(clicks, 1);
}

// A copy changes its labels per file and its gauge per block; the windows
// show that a few times a second, and always the latest state in the end.
TEST_F(Okna, FastChangesArePacedAndTheLatestIsShown) {
    ui::Form form("frmMain");
    ui::Label file(&form, "lblPlik");
    ui::Gauge gauge(&form, "GaugePostep");
    gauge.SetTop(40);
    gauge.SetMax(1000);
    form.Show();
    app.ProcessMessages();
    HWND hFile = Find(L"lblPlik");
    HWND hGauge = Find(L"GaugePostep");

    const DWORD start = GetTickCount();
    for (int i = 1; i < 1000; ++i) {
        file.SetCaption("plik " + std::to_string(i));
        gauge.SetProgress(i);
    }
    // The first change shows at once; unless the loop was stalled for a
    // whole interval, the rest wait.
    if (GetTickCount() - start < ui::win32::kPaceInterval) {
        EXPECT_EQ(TextOf(hFile), L"plik 1");
        EXPECT_EQ(SendMessageW(hGauge, PBM_GETPOS, 0, 0), 1);
    }
    // Waited by the tick count the pacing reads: under Wine it can lag a
    // Sleep by a tick.
    const DWORD po = GetTickCount();
    while (GetTickCount() - po <= ui::win32::kPaceInterval) Sleep(10);
    app.ProcessMessages();
    EXPECT_EQ(TextOf(hFile), L"plik 999");
    EXPECT_EQ(SendMessageW(hGauge, PBM_GETPOS, 0, 0), 999);

    // A full or an empty bar shows at once, however soon after a change.
    gauge.SetProgress(1000);
    EXPECT_EQ(SendMessageW(hGauge, PBM_GETPOS, 0, 0), 1000);
    gauge.SetProgress(0);
    EXPECT_EQ(SendMessageW(hGauge, PBM_GETPOS, 0, 0), 0);

    // A loop about to wait shows what is left: here the modal loop of a
    // dialog, before the click that closes it.
    file.SetCaption("pierwszy");
    file.SetCaption("ostatni");
    gauge.SetProgress(10);
    gauge.SetProgress(20);
    Pytanie dialog;
    std::wstring seen;
    LRESULT position = 0;
    dialog.btnTak.OnClick = [&](ui::Control&) {
        seen = TextOf(hFile);
        position = SendMessageW(hGauge, PBM_GETPOS, 0, 0);
        dialog.SetModalResult(ui::mrYes);
    };
    dialog.OnShow = [&](ui::Form&) { PostMessageW(Find(L"btnTak"), BM_CLICK, 0, 0); };
    EXPECT_EQ(dialog.ShowModal(), ui::mrYes);
    EXPECT_EQ(seen, L"ostatni");
    EXPECT_EQ(position, 20);
}

TEST_F(Okna, AControlGoneWithAChangeWaitingIsForgotten) {
    ui::Form form("frmMain");
    form.Show();
    {
        ui::Label label(&form, "lblChwilowy");
        label.SetCaption("a");
        label.SetCaption("b");
        ui::Gauge gauge(&form, "GaugeChwilowy");
        gauge.SetMax(10);
        gauge.SetProgress(3);
        gauge.SetProgress(4);
    }
    Sleep(ui::win32::kPaceInterval + 10);
    app.ProcessMessages();
    EXPECT_EQ(Find(L"lblChwilowy"), nullptr);
}

TEST_F(Okna, GaugeLabelColourAndMeasurement) {
    ui::Form form("frmMain");
    ui::Gauge gauge(&form, "GaugePostep");
    ui::Label free(&form, "lblMiejsceWolne");
    free.SetCaption("Wolne miejsce na dysku: 1,0 MB");
    form.Show();
    gauge.SetMax(2000);
    gauge.SetProgress(500);
    HWND hGauge = Find(L"GaugePostep");
    EXPECT_EQ(SendMessageW(hGauge, PBM_GETPOS, 0, 0), 500);
    EXPECT_EQ(SendMessageW(hGauge, PBM_GETRANGE, FALSE, 0), 2000);
    gauge.SetMax(0);  // an empty range still gives the bar a valid one
    EXPECT_EQ(SendMessageW(hGauge, PBM_GETPOS, 0, 0), 0);

    free.SetFontColor(ui::clRed);
    HWND hFree = Find(L"lblMiejsceWolne");
    HDC dc = GetDC(hFree);
    SendMessageW(Find(L"frmMain"), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hFree));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    free.SetFontColor(ui::clWindowText);
    SendMessageW(Find(L"frmMain"), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hFree));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    ReleaseDC(hFree, dc);

    // Real metrics: a label fits its text, wrapping makes it taller.
    EXPECT_GT(free.Width(), 60);
    const ui::Size line = ui::MeasureText(free, free.Caption());
    const ui::Size wrapped = ui::MeasureWrappedText(free, free.Caption(), line.cx / 2);
    EXPECT_EQ(line.cx, free.Width());
    EXPECT_GT(wrapped.cy, line.cy);
    EXPECT_LE(wrapped.cx, line.cx);
    EXPECT_GT(ui::MeasureText(free, "").cy, 0);
}

TEST_F(Okna, EditComboAndTypedText) {
    ui::Form form("frmKatalog");
    ui::Edit edit(&form, "edtKatalog");
    edit.SetTextCodePage(1250);
    ui::ComboBox combo(&form, "cmbDrive");
    combo.SetTop(40);
    std::vector<std::string> changes;
    edit.OnChange = [&](ui::Control& c) { changes.push_back(c.Text()); };
    int picked = 0;
    combo.OnChange = [&](ui::Control&) { ++picked; };
    edit.SetText("C:\\");
    combo.SetItems({"D:\\", "E:\\"});
    combo.SetItemIndex(0);
    form.Show();

    HWND hEdit = Find(L"edtKatalog");
    EXPECT_EQ(TextOf(hEdit), L"C:\\");
    SetWindowTextW(hEdit, L"C:\\Łódź");  // as typed
    EXPECT_EQ(edit.Text(), sys::FromWide(L"C:\\Łódź", 1250));
    EXPECT_EQ(changes.size(), 2u);

    HWND hCombo = Find(L"cmbDrive");
    EXPECT_EQ(SendMessageW(hCombo, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(hCombo, CB_GETCURSEL, 0, 0), 0);
    SendMessageW(hCombo, CB_SETCURSEL, 1, 0);  // the user's choice, and its notification
    SendMessageW(Find(L"frmKatalog"), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hCombo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hCombo));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(picked, 1);
    combo.ClearItems();
    EXPECT_EQ(SendMessageW(hCombo, CB_GETCOUNT, 0, 0), 0);
}

TEST_F(Okna, RichEditReceivesKeystrokesAndInsertedText) {
    ui::Form form("frmMain");
    ui::RichEdit red(&form, "redUmowa");
    red.SetBounds(0, 0, 400, 200);
    red.SetFontName("Arial");
    red.SetReadOnly(true);
    form.Show();
    HWND hRed = Find(L"redUmowa");
    ASSERT_NE(hRed, nullptr);

    red.BeginUpdate();
    red.Clear();
    red.SetSelCharset(ui::kCharsetEastEurope);
    red.InsertText("Umowa ");
    red.SendChar(0xB9);  // read-only: not delivered
    red.SetReadOnly(false);
    for (uint8_t b : sys::FromWide(L"łódź", 1250)) red.SendChar(b);
    red.SetReadOnly(true);
    red.InsertText("\r\n");
    red.SetSelCharset(ui::kCharsetRussian);
    red.InsertText(sys::FromWide(L"Соглашение", 1251));
    red.InsertText("\r\n");
    red.InsertText("{\\rtf1 x}");
    red.EndUpdate();
    red.CaretToStart();

    // The box reports its paragraph breaks as CR LF.
    EXPECT_EQ(TextOf(hRed), L"Umowa łódź\r\nСоглашение\r\n{\\rtf1 x}");
    DWORD start = 1, end = 1;
    SendMessageW(hRed, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);

    // Each piece carries the character set it was inserted with.
    struct Piece {
        LONG at;
        BYTE charset;
    };
    for (const Piece& p : {Piece{0, EASTEUROPE_CHARSET}, Piece{7, EASTEUROPE_CHARSET}, Piece{11, RUSSIAN_CHARSET}}) {
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        SendMessageW(hRed, EM_SETSEL, static_cast<WPARAM>(p.at), p.at + 1);
        SendMessageW(hRed, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        EXPECT_EQ(format.bCharSet, p.charset) << p.at;
    }

    // A long agreement is not cut at the control's default limit.
    std::string agreement;
    while (agreement.size() < 50000) agreement += "Licencja na program.\r\n";
    red.SetText(agreement);
    EXPECT_EQ(static_cast<std::size_t>(GetWindowTextLengthW(hRed)), agreement.size());
}

TEST_F(Okna, TreeViewShowsNodesAndExpandButtons) {
    ui::Form form("frmKatalog");
    ui::ImageList images(16, 16);
    for (uint32_t colour : {0xFF808080u, 0xFFFFCC00u, 0xFFFFEE80u}) ASSERT_GE(images.Add(ui::Bitmap(16, 16, colour)), 0);
    ui::TreeView trv(&form, "trvKatalog");
    trv.SetBounds(0, 0, 250, 200);
    trv.SetImages(&images);
    ui::TreeNode& c = trv.AddChild(nullptr, "C:\\");
    c.SetImageIndex(0);
    form.Show();
    HWND hTree = Find(L"trvKatalog");
    ASSERT_NE(hTree, nullptr);
    EXPECT_NE(SendMessageW(hTree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);

    ui::TreeNode& programs = trv.AddChild(&c, sys::FromWide(L"Program Files", 1250));
    programs.SetHasChildren(true);
    ui::TreeNode& polish = trv.AddChild(&c, sys::FromWide(L"Zażółć", 1250));
    EXPECT_EQ(SendMessageW(hTree, TVM_GETCOUNT, 0, 0), 3);

    struct Expect {
        const ui::TreeNode* node;
        const wchar_t* text;
        int children;
    };
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto first = reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    auto second = reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(first)));
    const Expect expected[] = {{&c, L"C:\\", 1}, {&programs, L"Program Files", 1}, {&polish, L"Zażółć", 0}};
    const HTREEITEM handles[] = {root, first, second};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
        item.hItem = handles[i];
        item.pszText = text;
        item.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        EXPECT_STREQ(text, expected[i].text);
        EXPECT_EQ(item.cChildren, expected[i].children) << i;
        EXPECT_EQ(item.lParam, reinterpret_cast<LPARAM>(expected[i].node));
    }

    // The program's selection shows and is told once; the user's is told too.
    std::vector<const ui::TreeNode*> told;
    trv.OnChange = [&](ui::Control&) { told.push_back(trv.Selected()); };
    trv.SetSelected(&programs);
    EXPECT_EQ(SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0), reinterpret_cast<LRESULT>(first));
    SendMessageW(hTree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(trv.Selected(), &polish);
    EXPECT_EQ(told, (std::vector<const ui::TreeNode*>{&programs, &polish}));

    // Opening a node fills it through OnExpanding.
    trv.OnExpanding = [&](ui::TreeNode& node, bool&) {
        if (node.Count() == 0) trv.AddChild(&node, "Common Files");
    };
    programs.Expand();
    EXPECT_EQ(SendMessageW(hTree, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_TRUE(SendMessageW(hTree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(first), TVIS_EXPANDED) & TVIS_EXPANDED);

    trv.Delete(&programs);
    EXPECT_EQ(SendMessageW(hTree, TVM_GETCOUNT, 0, 0), 2);
    trv.Clear();
    EXPECT_EQ(SendMessageW(hTree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(Okna, WindowsAndTheirNamesGoWithTheControls) {
    const wchar_t* unique = L"frmNazwaTestowaOkna";
    HWND hwnd = nullptr;
    {
        ui::Form form(sys::FromWide(unique, 1252));
        ui::Button button(&form, "btnNazwaTestowaPrzycisku");
        form.Show();
        hwnd = Find(unique);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_NE(GlobalFindAtomW(unique), 0);
        EXPECT_NE(GlobalFindAtomW(L"btnNazwaTestowaPrzycisku"), 0);
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GlobalFindAtomW(unique), 0);
    EXPECT_EQ(GlobalFindAtomW(L"btnNazwaTestowaPrzycisku"), 0);
}

TEST_F(Okna, TabOrderIsTheWindowOrder) {
    ui::Form form("frmMain");
    ui::Button a(&form, "a"), b(&form, "b"), c(&form, "c");
    b.SetTop(30);
    c.SetTop(60);
    form.Show();
    auto order = [&] {
        std::vector<std::wstring> names;
        for (HWND h = GetWindow(Find(L"frmMain"), GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
            names.push_back(pomocnicy::NazwaOkna(h));
        }
        return names;
    };
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    c.BringToFront();
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"c", L"a", L"b"}));
    a.SetTabOrder(2);
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"c", L"b", L"a"}));
    EXPECT_EQ(GetNextDlgTabItem(Find(L"frmMain"), Find(L"c"), FALSE), Find(L"b"));

    // A control added to a showing form appears when the form is shown again.
    ui::Button d(&form, "d");
    EXPECT_EQ(Find(L"d"), nullptr);
    form.Show();
    EXPECT_EQ(order(), (std::vector<std::wstring>{L"c", L"b", L"a", L"d"}));
}

}  // namespace
