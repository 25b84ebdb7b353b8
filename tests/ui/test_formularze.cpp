// Forms and the application with the headless backend: modal results through
// the modal handler, the message hook, closing, the main loop and placement.

#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"

#include "../Pomocnicy.h"

namespace {

// A question dialog as the program has one.
struct Pytanie : ui::Form {
    ui::Label lblPytanie{this, "lblPytanie"};
    ui::Button btnTak{this, "btnTak"};
    ui::Button btnNie{this, "btnNie"};
    ui::Button btnAnuluj{this, "btnAnuluj"};
    Pytanie() : ui::Form("frmPytanie") {
        btnTak.SetModalResult(ui::mrYes);
        btnTak.SetDefault(true);
        btnNie.SetModalResult(ui::mrNo);
        btnAnuluj.SetModalResult(ui::mrCancel);
    }
};

struct Formularze : pomocnicy::NaHeadless {};

TEST_F(Formularze, ModalResultsThroughTheHandler) {
    struct Case {
        const char* name;
        std::function<void(Pytanie&)> user;
        bool cancelIsNo;
        int expected;
    };
    const Case cases[] = {
        {"Yes pressed", [](Pytanie& f) { f.btnTak.Click(); }, false, ui::mrYes},
        {"No pressed", [](Pytanie& f) { f.btnNie.Click(); }, false, ui::mrNo},
        {"result set directly", [](Pytanie& f) { f.SetModalResult(ui::mrOk); }, false, ui::mrOk},
        {"window closed", [](Pytanie&) {}, false, ui::mrCancel},
        {"Enter presses the default", [](Pytanie& f) { f.PressDefault(); }, false, ui::mrYes},
        {"Esc presses the cancel button", [](Pytanie& f) { f.PressCancel(); }, true, ui::mrNo},
        {"hidden No cannot be pressed",
         [](Pytanie& f) {
             f.btnNie.SetVisible(false);
             f.btnNie.Click();
             f.btnTak.Click();
         },
         false, ui::mrYes},
        {"Yes disabled: Enter does nothing",
         [](Pytanie& f) {
             f.btnTak.SetEnabled(false);
             f.PressDefault();
         },
         false, ui::mrCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pytanie form;
        form.btnNie.SetCancel(c.cancelIsNo);
        int shown = 0;
        backend.SetModalHandler([&](ui::Form& f) {
            ++shown;
            EXPECT_TRUE(f.Visible());
            EXPECT_TRUE(f.Modal());
            c.user(static_cast<Pytanie&>(f));
        });
        EXPECT_EQ(form.ShowModal(), c.expected);
        EXPECT_EQ(shown, 1);
        EXPECT_FALSE(form.Visible());
        EXPECT_FALSE(form.Modal());
    }
}

TEST_F(Formularze, EscWithoutCancelButtonDoesNothing) {
    Pytanie form;
    backend.SetModalHandler([](ui::Form& f) {
        f.PressCancel();
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        static_cast<Pytanie&>(f).btnTak.Click();
    });
    EXPECT_EQ(form.ShowModal(), ui::mrYes);
}

TEST_F(Formularze, NestedModalFormsAndRefusedClose) {
    Pytanie outer;
    ui::Form inner("frmKatalogDodaj");
    ui::Button btnDodaj(&inner, "btnDodaj");
    btnDodaj.SetModalResult(ui::mrOk);
    int refusals = 1;
    outer.OnCloseQuery = [&](ui::Form&, bool& canClose) { canClose = refusals-- <= 0; };
    std::vector<std::string> seen;
    int innerResult = 0;
    outer.btnTak.OnClick = [&](ui::Control&) { innerResult = inner.ShowModal(); };
    backend.SetModalHandler([&](ui::Form& f) {
        seen.push_back(f.Name());
        if (&f == &inner) btnDodaj.Click();
        else outer.btnTak.Click();
    });
    EXPECT_EQ(outer.ShowModal(), ui::mrYes);
    EXPECT_EQ(innerResult, ui::mrOk);
    // The first close was refused, so the outer form was answered twice.
    EXPECT_EQ(seen, (std::vector<std::string>{"frmPytanie", "frmKatalogDodaj", "frmPytanie", "frmKatalogDodaj"}));
}

TEST_F(Formularze, WithoutHandlerModalFormsAnswerCancelAndVisibleFormsRefuse) {
    Pytanie form;
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
    form.Show();
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.Modal());
}

TEST_F(Formularze, MessageHookActsBetweenStepsOfLongWork) {
    ui::Form main("frmMain");
    ui::Button btnZamknij(&main, "btnZamknij");
    bool cancelRequested = false;
    btnZamknij.OnClick = [&](ui::Control&) {
        cancelRequested = true;
        app.ProcessMessages();  // not handed to the hook again
    };
    int calls = 0;
    backend.SetMessageHook([&] {
        if (++calls == 10) btnZamknij.Click();
    });
    int copied = 0;
    while (!cancelRequested && copied < 100) {
        ++copied;
        app.ProcessMessages();
    }
    EXPECT_EQ(copied, 10);
    EXPECT_EQ(calls, 10);
    EXPECT_EQ(backend.ProcessMessagesCount(), 11);
}

TEST_F(Formularze, RunEndsWhenTheMainFormCloses) {
    ui::Form main("frmMain");
    int shows = 0;
    main.OnShow = [&](ui::Form&) { ++shows; };
    int turns = 0;
    backend.SetMessageHook([&] {
        if (++turns == 3) main.Close();
    });
    app.Run(main);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(turns, 3);
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(main.Visible());
}

TEST_F(Formularze, RunAfterTerminateShowsNothing) {
    ui::Form main("frmMain");
    int shows = 0;
    main.OnShow = [&](ui::Form&) { ++shows; };
    app.Terminate();
    app.Run(main);
    EXPECT_EQ(shows, 0);
    EXPECT_EQ(app.MainForm(), &main);
}

TEST_F(Formularze, MainFormClosedFromItsOnShowNeverAppears) {
    ui::Form main("frmMain");
    main.OnShow = [](ui::Form& f) { f.Close(); };
    app.Run(main);
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(app.Terminated());
}

TEST_F(Formularze, CloseAsksTheForm) {
    ui::Form main("frmMain");
    ui::Form other("frmOther");
    app.SetMainForm(&main);
    bool allow = false;
    std::vector<std::string> events;
    main.OnCloseQuery = [&](ui::Form&, bool& canClose) {
        events.push_back("query");
        canClose = allow;
    };
    main.OnClose = [&](ui::Form&, ui::CloseAction&) { events.push_back("close"); };
    main.Show();
    main.Close();
    EXPECT_TRUE(main.Visible());
    allow = true;
    main.Close();
    EXPECT_FALSE(main.Visible());
    EXPECT_EQ(events, (std::vector<std::string>{"query", "query", "close"}));
    EXPECT_TRUE(app.Terminated());

    other.OnClose = [](ui::Form&, ui::CloseAction& action) { action = ui::CloseAction::None; };
    other.Show();
    other.Close();
    EXPECT_TRUE(other.Visible());
}

TEST_F(Formularze, PlacementAndClientSize) {
    struct Case {
        ui::BorderStyle border;
        ui::Size frame;
    };
    const Case cases[] = {
        {ui::BorderStyle::None, {0, 0}},
        {ui::BorderStyle::Single, {6, 25}},
        {ui::BorderStyle::Dialog, {6, 25}},
        {ui::BorderStyle::Sizeable, {8, 27}},
    };
    for (const Case& c : cases) {
        ui::Form form("frmMain");
        form.SetBorderStyle(c.border);
        form.SetClientSize(623, 353);
        EXPECT_EQ(form.Width(), 623 + c.frame.cx);
        EXPECT_EQ(form.Height(), 353 + c.frame.cy);
        EXPECT_EQ(form.ClientWidth(), 623);
        form.SetPosition(ui::FormPosition::ScreenCenter);
        form.Show();
        EXPECT_EQ(form.Left(), (1024 - form.Width()) / 2);
        EXPECT_EQ(form.Top(), (768 - form.Height()) / 2);
    }
    // A border change keeps the client area the layout was made for.
    ui::Form form("f");
    form.SetClientSize(100, 50);
    form.SetBorderStyle(ui::BorderStyle::None);
    EXPECT_EQ(form.Width(), 100);
    EXPECT_EQ(form.ClientHeight(), 50);
}

TEST_F(Formularze, DialogCentredOverTheMainForm) {
    ui::Form main("frmMain");
    main.SetBounds(100, 50, 629, 378);
    app.SetMainForm(&main);
    ui::Form dialog("frmKatalog");
    dialog.SetBounds(0, 0, 301, 200);
    dialog.SetPosition(ui::FormPosition::MainFormCenter);
    dialog.Show();  // main form hidden: the screen
    EXPECT_EQ(dialog.Left(), (1024 - 301) / 2);
    dialog.Hide();
    main.Show();
    dialog.Show();
    EXPECT_EQ(dialog.Left(), 100 + (629 - 301) / 2);
    EXPECT_EQ(dialog.Top(), 50 + (378 - 200) / 2);
}

TEST_F(Formularze, ShrinkingClientHeightMovesBottomButtons) {
    Pytanie form;
    form.SetClientSize(200, 100);
    form.btnTak.SetBounds(16, 67, 97, 25);
    form.btnTak.SetAnchors({true, false, false, true});
    form.SetClientHeight(150);
    EXPECT_EQ(form.btnTak.Top(), 117);
}

TEST(Aplikacja, OwnedFormsAreDestroyedLastCreatedFirst) {
    ui::headless::HeadlessBackend backend;
    std::vector<std::string> destroyed;
    {
        ui::Application app(backend);
        EXPECT_EQ(&ui::Application::Current(), &app);
        for (const char* name : {"frmMain", "frmKatalog", "frmPytanie"}) {
            auto& form = app.CreateForm<ui::Form>(name);
            form.OnDestroy = [&](ui::Form& f) { destroyed.push_back(f.Name()); };
        }
        EXPECT_EQ(app.MainForm()->Name(), "frmMain");
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"frmPytanie", "frmKatalog", "frmMain"}));
}

}  // namespace
