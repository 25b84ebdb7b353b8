#include "sys/process.h"

#include "sys/files.h"
#include "sys/folders.h"
#include "sys/security.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

// Maps a program or library file for reading its resources only: none of its
// code runs. An empty handle when the file cannot be mapped.
sys::ModuleHandle ModulJakoDane(std::string_view sciezka) {
    return sys::ModuleHandle(LoadLibraryExW(sys::ToWide(sciezka).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

class Procesy : public ::testing::Test {
protected:
    void TearDown() override {
        // A shell started with ShellOpen may still sit in the folder for a
        // moment after its output appeared.
        bool usuniety = false;
        for (int i = 0; i < 200 && !(usuniety = tmp_.Usun()); ++i) Sleep(50);
        EXPECT_TRUE(usuniety);
    }

    pomocnicy::KatalogTymczasowy tmp_{"velt procesy"};
    const std::string katalog_ = tmp_.Sciezka();
};

TEST_F(Procesy, SuspendedProcessRunsOnlyWhenResumed) {
    sys::StartedProcess p = sys::StartProcess("cmd.exe /c exit 7", CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, "", true);
    ASSERT_TRUE(p) << p.error;
    EXPECT_NE(p.processId, 0u);
    EXPECT_FALSE(sys::ExitCode(p.process)) << "still suspended";
    EXPECT_TRUE(sys::SetPriority(p.thread, THREAD_PRIORITY_IDLE));
    EXPECT_EQ(GetThreadPriority(p.thread.get()), THREAD_PRIORITY_IDLE);
    EXPECT_EQ(sys::Resume(p.thread), 1u);
    ASSERT_TRUE(sys::WaitForExit(p.process, 30000));
    EXPECT_EQ(sys::ExitCode(p.process), 7u);
}

TEST_F(Procesy, CurrentFolderOfTheNewProcess) {
    // The folder has blanks in it; it travels apart from the command line.
    sys::StartedProcess p = sys::StartProcess("cmd.exe /c cd > tu.txt", 0, katalog_, true);
    ASSERT_TRUE(p) << p.error;
    ASSERT_TRUE(sys::WaitForExit(p.process, 30000));
    const auto tekst = sys::ReadWholeFile(katalog_ + "\\tu.txt", 4096);
    ASSERT_TRUE(tekst);
    EXPECT_EQ(*tekst, katalog_ + "\r\n");
}

TEST_F(Procesy, Failures) {
    const sys::StartedProcess brak = sys::StartProcess("\"" + katalog_ + "\\brak.exe\"", 0, "", true);
    EXPECT_FALSE(brak);
    EXPECT_EQ(brak.error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(brak.process);
    EXPECT_FALSE(sys::Resume(brak.thread));
    EXPECT_FALSE(sys::SetPriority(brak.thread, THREAD_PRIORITY_IDLE));
    EXPECT_FALSE(sys::WaitForExit(brak.process, 0));
    EXPECT_EQ(sys::Terminate(brak.process, 1).error, static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));

    // The shell's own number comes back as the Win32 error.
    EXPECT_EQ(sys::ShellOpen(katalog_ + "\\brak.exe", "", katalog_, SW_HIDE, nullptr).error,
              static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Procesy, ShellOpensAProgramWithParametersInAFolder) {
    const auto system = sys::SystemFolder();
    ASSERT_TRUE(system);
    EXPECT_TRUE(sys::ShellOpen(*system + "cmd.exe", "/c echo tak> powloka.txt", katalog_, SW_HIDE, nullptr));
    std::optional<std::string> tekst;
    for (int i = 0; i < 600 && !tekst; ++i) {
        Sleep(50);
        tekst = sys::ReadWholeFile(katalog_ + "\\powloka.txt", 100);
        if (tekst && tekst->empty()) tekst.reset();
    }
    EXPECT_EQ(tekst, "tak\r\n");
}

// The one-per-machine lock where the system makes no private namespace
// (Wine): its global name, whose objects keep the owner they were given.
// Another object there counts only when SYSTEM or Administrators own it, as
// no one else's token can give it that owner.
TEST(ZamekAdministratorow, HeldOnceAndANameTakenByOthersIsIgnored) {
    const std::string nazwa = "Velt.Test.Zamek";
    const std::wstring globalna = L"Global\\Velt.Test.Zamek";
    {
        const sys::AdminLock wlasny = sys::TakeAdminLock(nazwa);
        if (wlasny.space) GTEST_SKIP() << "the lock lives in a private namespace here";
        EXPECT_TRUE(wlasny.mutex);
        EXPECT_FALSE(wlasny.heldElsewhere || wlasny.squatted);
        const sys::AdminLock drugi = sys::TakeAdminLock(nazwa);
        EXPECT_TRUE(drugi.heldElsewhere);
        EXPECT_FALSE(drugi.mutex || drugi.squatted);
        const sys::AdminLock widziany = sys::FindAdminLock(nazwa);
        EXPECT_TRUE(widziany.heldElsewhere);
        EXPECT_FALSE(widziany.mutex);
    }
    EXPECT_FALSE(sys::FindAdminLock(nazwa).heldElsewhere) << "gone with its holder";

    const struct {
        const char* opis;
        const wchar_t* sddl;  // nullptr: the default a process gets
        bool zdarzenie;       // an event, not a mutex
        bool administratorow;
    } przypadki[] = {
        {"the default (Wine keeps no owner)", nullptr, false, false},
        {"a user's", L"O:S-1-5-21-1-2-3-1001D:(A;;GA;;;WD)", false, false},
        {"a user's that no one may open", L"O:S-1-5-21-1-2-3-1001D:", false, false},
        {"an event of a user", L"O:S-1-5-21-1-2-3-1001D:(A;;GA;;;WD)", true, false},
        {"an elevated administrator's", L"O:BAD:(A;;GA;;;SY)(A;;GA;;;BA)", false, true},
        {"SYSTEM's", L"O:SYD:(A;;GA;;;WD)", false, true},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        std::optional<sys::SecurityDescriptor> sd;
        if (p.sddl) {
            sd = sys::SecurityDescriptor::FromSddl(p.sddl);
            ASSERT_TRUE(sd);
        }
        SECURITY_ATTRIBUTES sa{sizeof(sa), sd ? sd->get() : nullptr, FALSE};
        HANDLE obcy = p.zdarzenie ? CreateEventW(&sa, TRUE, FALSE, globalna.c_str())
                                  : CreateMutexW(&sa, FALSE, globalna.c_str());
        ASSERT_TRUE(obcy);
        const sys::AdminLock zamek = sys::TakeAdminLock(nazwa);
        EXPECT_EQ(zamek.heldElsewhere, p.administratorow);
        EXPECT_EQ(zamek.squatted, !p.administratorow);
        EXPECT_FALSE(zamek.mutex) << "the name is not ours to hold";
        const sys::AdminLock widziany = sys::FindAdminLock(nazwa);
        EXPECT_EQ(widziany.heldElsewhere, p.administratorow);
        EXPECT_EQ(widziany.squatted, !p.administratorow);
        CloseHandle(obcy);
    }
}

TEST(Moduly, LoadedAsDataForTheirResources) {
    const auto system = sys::SystemFolder();
    ASSERT_TRUE(system);
    const sys::ModuleHandle modul = ModulJakoDane(*system + "comctl32.dll");
    ASSERT_TRUE(modul);
    EXPECT_NE(FindResourceW(modul.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)), nullptr) << "version";
    EXPECT_FALSE(ModulJakoDane(*system + "brak.dll"));
}

}  // namespace
