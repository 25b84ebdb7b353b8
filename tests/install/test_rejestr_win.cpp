// The registry step under Wine, against the prefix's real registry (the
// prefix runs with administrator rights, so both passes write).

#include "install/Rejestr.h"

#include "base/Przelaczniki.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"
#include "app/OknoKreatora.h"
#include "app/untMain.h"
#include "install/KodowanieSciezki.h"
#include "base/Wydania.h"
#include "sys/registry.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

using sys::RegistryKey;
using sys::RegistryRoot;

constexpr std::string_view kKlucz = "SOFTWARE\\Zelpax\\EngVelt";
constexpr std::string_view kDeinstalacja = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\EngVelt";
constexpr std::string_view kTytul = "Velt 1.5 Translator angielsko-polski";

class ZapisRejestru : public ::testing::Test {
protected:
    void SetUp() override {
        UstawAppConst(RekordWydaniaInstalatora());
        Sprzatnij();
    }
    void TearDown() override { Sprzatnij(); }
    static void Sprzatnij() {
        for (auto root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
            EXPECT_TRUE(RegistryKey::DeleteTree(root, kKlucz));
            EXPECT_TRUE(RegistryKey::DeleteTree(root, kDeinstalacja));
        }
    }
};

TEST_F(ZapisRejestru, WritesBothEditionKeysTheUninstallEntryAndTheProgramKeys) {
    struct Przypadek {
        const char* katalog;
        std::uint8_t jezyk;
        bool dlaWszystkich;
        const char* polecenie;
    };
    const Przypadek przypadki[] = {
        {"C:\\Program Files\\VeltAng", 0, false, "\"C:\\Program Files\\VeltAng\\DeInstalator.exe\""},
        {"E:\\", 1, true, "\"E:\\DeInstalator.exe\""},
        {"C:\\Pliki\\Łódź"_cp1250, 1, false, "\"C:\\Pliki\\Łódź\\DeInstalator.exe\""_cp1250},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.katalog);
        Sprzatnij();
        ZapiszRejestr(TDaneRejestru{3, p.katalog, "D:\\", p.jezyk, p.dlaWszystkich, "Zelpax", 2345, "20261209"});

        for (auto root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
            const auto k = RegistryKey::OpenRead(root, kKlucz);
            ASSERT_TRUE(k);
            const auto katalog = k->ReadString("Katalog");
            ASSERT_TRUE(katalog);
            EXPECT_EQ(OdkodujSciezke(*katalog, 3), p.katalog);
            EXPECT_EQ(k->ReadString("Wersja"), "1.5");
            EXPECT_EQ(k->ReadDword("JezykInterfejsu"), p.jezyk);
            EXPECT_EQ(k->ReadDword("AllUsers"), p.dlaWszystkich ? 1u : 0u);
            EXPECT_FALSE(k->ReadString("CD")) << "edition 1 only";
        }

        const RegistryRoot tak = p.dlaWszystkich ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
        const RegistryRoot nie = p.dlaWszystkich ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
        EXPECT_FALSE(RegistryKey::Exists(nie, kDeinstalacja));
        const auto u = RegistryKey::OpenRead(tak, kDeinstalacja);
        ASSERT_TRUE(u);
        // The same title in both languages of this edition.
        EXPECT_EQ(u->ReadString("DisplayName"), kTytul);
        EXPECT_EQ(u->ReadString("UninstallString"), p.polecenie);
        EXPECT_EQ(u->ReadString("DisplayVersion"), "1.5");
        EXPECT_EQ(u->ReadString("Publisher"), "Zelpax");
        EXPECT_EQ(u->ReadString("InstallLocation"), p.katalog);
        EXPECT_EQ(u->ReadDword("EstimatedSize"), 2345u);
        EXPECT_EQ(u->ReadString("InstallDate"), "20261209");
        EXPECT_EQ(u->ReadDword("NoModify"), 1u);
        EXPECT_EQ(u->ReadDword("NoRepair"), 1u);

        for (const char* program : {"Velt", "VeltInt", "ExtDict", "VeltFile"}) {
            const std::string klucz = std::string(kKlucz) + "\\" + program;
            const auto k = RegistryKey::OpenRead(RegistryRoot::CurrentUser, klucz);
            ASSERT_TRUE(k) << program;
            EXPECT_EQ(k->ReadDword("JezykInterfejsu"), p.jezyk);
            EXPECT_FALSE(RegistryKey::Exists(RegistryRoot::LocalMachine, klucz)) << program;
        }
    }
}

TEST_F(ZapisRejestru, RewritesOverAnEarlierInstallation) {
    ZapiszRejestr(TDaneRejestru{3, "C:\\Stary", "D:\\", 1, true});
    ZapiszRejestr(TDaneRejestru{3, "C:\\Nowy", "D:\\", 0, false});
    const auto k = RegistryKey::OpenRead(RegistryRoot::LocalMachine, kKlucz);
    ASSERT_TRUE(k);
    EXPECT_EQ(OdkodujSciezke(k->ReadString("Katalog").value_or(""), 3), "C:\\Nowy");
    EXPECT_EQ(k->ReadDword("AllUsers"), 0u);
}

// The step as the run calls it: the wizard's target, language and switch.
TEST_F(ZapisRejestru, StepReadsTheWizard) {
    ui::headless::HeadlessBackend backend;
    auto app = std::make_unique<ui::Application>(backend);
    TfrmMain& m = app->CreateForm<TfrmMain>();
    m.JezykInterfejsu = 1;
    m.KatalogDocelowy = "C:\\VeltAng";
    SkrotyDlaWszystkich = true;
    ZapiszRejestr(m);
    SkrotyDlaWszystkich = false;
    EXPECT_EQ(m.lblInstalacjaOpis.Caption(), PobierzTekst(1, TekstTworzenieRejestru));
    const auto k = RegistryKey::OpenRead(RegistryRoot::CurrentUser, kKlucz);
    ASSERT_TRUE(k);
    EXPECT_EQ(OdkodujSciezke(k->ReadString("Katalog").value_or(""), 3), "C:\\VeltAng");
    EXPECT_EQ(k->ReadDword("JezykInterfejsu"), 1u);
    EXPECT_EQ(k->ReadDword("AllUsers"), 1u);
    const auto u = RegistryKey::OpenRead(RegistryRoot::LocalMachine, kDeinstalacja);
    ASSERT_TRUE(u);
    // The maker as the version information of the running program names it
    // (the test program has none), and today's date.
    EXPECT_FALSE(u->ReadString("Publisher"));
    const std::string data = u->ReadString("InstallDate").value_or("");
    EXPECT_EQ(data.size(), 8u);
    EXPECT_EQ(data.find_first_not_of("0123456789"), std::string::npos) << data;
    app->DestroyForms();
}

}  // namespace
