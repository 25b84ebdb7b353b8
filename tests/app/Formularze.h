#pragma once
// The program's forms, created as the program creates them at start, on the
// backend `Backend`: edition 3, the CD asked for, the running marker cleared at
// the end.

#include "app/untMain.h"
#include "base/Przelaczniki.h"
#include "base/Wydania.h"
#include "ui/Application.h"

#include <gtest/gtest.h>

#include <memory>

template <class Backend>
class Formularze : public ::testing::Test {
protected:
    void SetUp() override {
        UstawAppConst(RekordWydaniaInstalatora());
        app = std::make_unique<ui::Application>(backend);
        UtworzFormularze(*app);
        PytajOCD = true;
        CzyscFlageInstalacji = true;
    }
    void TearDown() override {
        ZniszczFormularze(*app);
        app.reset();
    }

    Backend backend;
    std::unique_ptr<ui::Application> app;
};
