#include "install/UruchomKopie.h"

#include "install/Dziennik.h"

#include "base/StronyKodowe.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/security.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include "../PomocnicyWin.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using pomocnicy::ZmienionyTmp;

std::set<std::string> Zawartosc(const std::string& katalog) {
    std::set<std::string> nazwy;
    auto lista = sys::DirectoryEnumeration::Open(katalog + "*");
    while (auto e = lista.Next()) nazwy.insert(e->name);
    return nazwy;
}

bool Czekaj(const std::function<bool()>& warunek) {
    for (int i = 0; i < 600; ++i) {
        if (warunek()) return true;
        Sleep(50);
    }
    return warunek();
}

std::vector<std::string> Linie(const std::string& tekst) {
    std::vector<std::string> linie;
    std::size_t od = 0;
    for (auto koniec = tekst.find("\r\n"); koniec != std::string::npos; koniec = tekst.find("\r\n", od)) {
        linie.push_back(tekst.substr(od, koniec - od));
        od = koniec + 2;
    }
    if (od < tekst.size()) linie.push_back(tekst.substr(od));
    return linie;
}

// The stand-in program is built beside this test program.
std::string ProgramTestowy() {
    const auto self = sys::ModuleFileName();
    if (!self) return {};
    return self->substr(0, self->find_last_of('\\') + 1) + "program_kopii.exe";
}

class UruchomKopieTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sys::CreateFolder(baza_ + "zrodlo"));
        ASSERT_TRUE(sys::CreateFolder(baza_ + "tmp"));
        program_ = ProgramTestowy();
        ASSERT_TRUE(sys::FileExists(program_)) << program_ << " is built with the tests";
    }

    pomocnicy::KatalogTymczasowy tmp_{"velt kopia"};
    const std::string baza_ = tmp_.Sciezka() + "\\";
    // The user's temporary folder, which the elevated copy never uses.
    ZmienionyTmp tmpUzytkownika_{sys::ToWide(baza_ + "tmp\\")};
    std::string program_;
};

// The command line of a running process of this one's bitness, read from its
// memory as the system keeps it; empty when it cannot be read.
std::wstring WierszProcesu(DWORD pid) {
    HANDLE proces = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!proces) return {};
    using Zapytanie = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto zapytaj = reinterpret_cast<Zapytanie>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION podstawowe{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parametry{};
    std::wstring wiersz;
    if (zapytaj && zapytaj(proces, ProcessBasicInformation, &podstawowe, sizeof podstawowe, nullptr) == 0 &&
        ReadProcessMemory(proces, podstawowe.PebBaseAddress, &peb, sizeof peb, nullptr) &&
        ReadProcessMemory(proces, peb.ProcessParameters, &parametry, sizeof parametry, nullptr)) {
        wiersz.resize(parametry.CommandLine.Length / sizeof(wchar_t));
        if (!ReadProcessMemory(proces, parametry.CommandLine.Buffer, wiersz.data(), parametry.CommandLine.Length,
                               nullptr))
            wiersz.clear();
    }
    CloseHandle(proces);
    return wiersz;
}

// The command lines of the command processors this process started.
std::vector<std::wstring> WierszeProcesorowPolecen() {
    std::vector<std::wstring> wiersze;
    HANDLE migawka = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (migawka == INVALID_HANDLE_VALUE) return wiersze;
    PROCESSENTRY32W wpis{};
    wpis.dwSize = sizeof wpis;
    for (BOOL jest = Process32FirstW(migawka, &wpis); jest; jest = Process32NextW(migawka, &wpis))
        if (wpis.th32ParentProcessID == GetCurrentProcessId() && _wcsicmp(wpis.szExeFile, L"cmd.exe") == 0)
            wiersze.push_back(WierszProcesu(wpis.th32ProcessID));
    CloseHandle(migawka);
    return wiersze;
}

TEST_F(UruchomKopieTest, RunsTheCopyAndTheBatchRemovesBoth) {
    // The machine's application-data folder with a blank in its path, with
    // letters the console code page may lack, and with what the command
    // processor would expand on its command line. The source is read-only, as
    // on a CD.
    const std::string zrodlo = baza_ + "zrodlo\\prog.exe";
    ASSERT_TRUE(sys::CopyFileTo(program_, zrodlo, false));
    ASSERT_TRUE(sys::SetAttributes(zrodlo, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELT_KOPIA", L"inny"));
    for (const char* nazwa : {"dane", "dane Łódź"_cp1250, "dane %VELT_KOPIA% 100%"}) {
        const std::string nazwaKatalogu = nazwa;
        SCOPED_TRACE(nazwaKatalogu);
        const std::string dane = baza_ + nazwaKatalogu;
        ASSERT_TRUE(sys::CreateFolder(dane));
        pomocnicy::ZmienionyFolder wspolne(sys::RegistryRoot::LocalMachine, "Common AppData", dane);
        const std::string robocza = dane + "\\Zelpax\\";
        ASSERT_EQ(KatalogRoboczyKopii(), robocza);
        ASSERT_EQ(KatalogDziennikow() + "\\", robocza) << "the journals' folder, kept for administrators";

        // A file of the name in the working folder itself is left alone: the
        // copy goes into a folder of its own.
        ASSERT_TRUE(sys::CreateFolder(robocza));
        ASSERT_TRUE(sys::WriteWholeFile(robocza + "kopia.exe", "zajete"));

        const std::wstring zdarzenie = L"VeltKopiaKoniec" + std::to_wstring(GetCurrentProcessId());
        HANDLE koniec = CreateEventW(nullptr, TRUE, FALSE, zdarzenie.c_str());
        ASSERT_NE(koniec, nullptr);

        // The copy inherits the log, under the same number, and no other
        // handle: the second file stays empty although its handle may be
        // inherited too.
        const std::string protokol = baza_ + "protokol.txt", obcy = baza_ + "obcy.txt";
        sys::File log = sys::File::OpenAppendPlain(protokol, true);
        sys::File inny = sys::File::OpenAppendPlain(obcy, true);
        ASSERT_TRUE(log && inny);
        ASSERT_TRUE(SetHandleInformation(inny.handle(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT));
        const std::string parametry = "/doit /LOGHANDLE=" + std::to_string(log.HandleNumber()) +
                                      " /LOGHANDLE=" + std::to_string(inny.HandleNumber()) + " " +
                                      sys::FromWide(zdarzenie);
        ASSERT_TRUE(UruchomKopie(zrodlo, "kopia.exe", parametry, &log));
        auto nowe = Zawartosc(robocza);
        for (const char* bylo : {".", "..", "kopia.exe"}) nowe.erase(bylo);
        ASSERT_EQ(nowe.size(), 1u) << "one new folder for the run";
        const std::string nazwaWlasnego = *nowe.begin();
        EXPECT_EQ(nazwaWlasnego.rfind("velt", 0), 0u);
        EXPECT_EQ(nazwaWlasnego.size(), 20u);
        const std::string wlasny = robocza + nazwaWlasnego;
        EXPECT_TRUE(sys::FolderExists(wlasny));
        const std::string kopia = wlasny + "\\kopia.exe";
        const std::string skrypt = wlasny + "\\delme.bat";

        // Until the event is set the copy runs, so the batch cannot remove it.
        ASSERT_TRUE(Czekaj([&] { return sys::FileExists(kopia + ".txt"); }));
        const auto raport = sys::ReadWholeFile(kopia + ".txt", 4096);
        ASSERT_TRUE(raport);
        const auto linieRaportu = Linie(*raport);
        ASSERT_EQ(linieRaportu.size(), 3u);
        EXPECT_EQ(linieRaportu[0], kopia);
        EXPECT_EQ(linieRaportu[1], robocza.substr(0, robocza.size() - 1)) << "current folder";
        EXPECT_EQ(linieRaportu[2], parametry);
        EXPECT_EQ(sys::Attributes(kopia), FILE_ATTRIBUTE_ARCHIVE) << "read-only cleared";
        EXPECT_TRUE(*sys::Attributes(zrodlo) & FILE_ATTRIBUTE_READONLY) << "the source is left alone";
        log = sys::File();
        inny = sys::File();

        // Only names relative to the working folder, so whatever its path
        // holds, the batch finds its files.
        const auto tekst = sys::ReadWholeFile(skrypt, 4096);
        ASSERT_TRUE(tekst);
        const std::string ping = "\"" + *sys::SystemFolder() + "ping.exe\" -n 3 127.0.0.1 >nul";
        const std::string w = nazwaWlasnego;
        EXPECT_EQ(*tekst, "@echo off\r\n"
                          "set n=0\r\n"
                          ":repeat\r\n"
                          "del \"" + w + "\\kopia.exe\"\r\n"
                          "if not exist \"" + w + "\\kopia.exe\" goto done\r\n"
                          "set /a n+=1\r\n"
                          "if %n% geq 1800 goto done\r\n" +
                              ping + "\r\n"
                          "goto repeat\r\n"
                          ":done\r\n"
                          "del \"" + w + "\\delme.bat\" & rmdir \"" + w + "\"\r\n");

        // The batch's command processor runs no AutoRun commands of the
        // registry (/d), and its line holds nothing it would expand: no path.
        const std::wstring w16 = sys::ToWide(w);
        EXPECT_EQ(WierszeProcesorowPolecen(),
                  std::vector<std::wstring>{L"cmd.exe /d /c call " + w16 + L"\\delme.bat & rmdir " + w16});

        // The stand-in's report is no part of the run.
        ASSERT_TRUE(sys::RemoveFile(kopia + ".txt"));
        SetEvent(koniec);
        EXPECT_TRUE(Czekaj([&] { return !sys::EntryExists(wlasny); }))
            << "the batch removes the copy, itself and the folder once the copy has ended";
        CloseHandle(koniec);
        EXPECT_EQ(Zawartosc(robocza), (std::set<std::string>{".", "..", "kopia.exe"}));
        EXPECT_EQ(Zawartosc(baza_ + "tmp\\"), (std::set<std::string>{".", ".."})) << "in the user's temporary folder";
        EXPECT_EQ(sys::ReadWholeFile(protokol, 4096), "kopia\r\n");
        EXPECT_EQ(sys::ReadWholeFile(obcy, 4096), "") << "a handle the copy was not given";
        for (const std::string& plik : {protokol, obcy}) ASSERT_TRUE(sys::RemoveFile(plik));
    }
    SetEnvironmentVariableW(L"VELT_KOPIA", nullptr);
}

TEST_F(UruchomKopieTest, ProgramAlreadyInTheWorkingFolderIsNotCopied) {
    const std::string robocza = baza_ + "Dane\\Zelpax\\", wlasny = robocza + "velt0123456789abcdef\\";
    ASSERT_TRUE(sys::CreateFolder(baza_ + "Dane"));
    ASSERT_TRUE(sys::CreateFolder(robocza));
    ASSERT_TRUE(sys::CreateFolder(wlasny));
    ASSERT_TRUE(sys::CopyFileTo(program_, robocza + "instal.exe", false));
    ASSERT_TRUE(sys::CopyFileTo(program_, wlasny + "instal.exe", false));
    // The same folder, once as it is and once differing only in letter case;
    // the program in it, or in a run's folder inside it, as the relaunched
    // copy is.
    for (const std::string& dane : {baza_ + "Dane", baza_ + "dANE", baza_ + "DANE"}) {
        SCOPED_TRACE(dane);
        pomocnicy::ZmienionyFolder wspolne(sys::RegistryRoot::LocalMachine, "Common AppData", dane);
        EXPECT_FALSE(UruchomKopie(robocza + "instal.exe", "instal.exe", "/doit"));
        EXPECT_FALSE(UruchomKopie(wlasny + "instal.exe", "instal.exe", "/doit"));
        EXPECT_EQ(Zawartosc(robocza), (std::set<std::string>{".", "..", "instal.exe", "velt0123456789abcdef"}));
        EXPECT_EQ(Zawartosc(wlasny), (std::set<std::string>{".", "..", "instal.exe"}));
    }
}

TEST_F(UruchomKopieTest, NothingToRunGivesFalse) {
    const std::string dane = baza_ + "dane\\";
    ASSERT_TRUE(sys::CreateFolder(dane));
    pomocnicy::ZmienionyFolder wspolne(sys::RegistryRoot::LocalMachine, "Common AppData", dane);
    for (const std::string& program : {baza_ + "zrodlo\\brak.exe", baza_ + "zrodlo", std::string()}) {
        SCOPED_TRACE(program);
        EXPECT_FALSE(UruchomKopie(program, "instal.exe", "/doit"));
        EXPECT_EQ(Zawartosc(dane), (std::set<std::string>{".", ".."}));
    }
}

// The copy runs only from the administrators' folder: never from the user's
// temporary folder, nor from any other when that cannot be had. A folder that
// others could change is not taken back for the copy: that is for the look
// at the journals in it, which first sets them aside.
TEST_F(UruchomKopieTest, WorkingFolderIsTheAdministratorsOrNone) {
    const std::string zrodlo = baza_ + "zrodlo\\prog.exe";
    ASSERT_TRUE(sys::CopyFileTo(program_, zrodlo, false));
    {
        // GetTempPath cannot answer within 261 characters: no matter.
        ZmienionyTmp tmp(L"C:\\" + std::wstring(300, L'x'));
        EXPECT_FALSE(sys::TempFolder());
        EXPECT_EQ(KatalogRoboczyKopii(), KatalogDziennikow() + "\\");
        EXPECT_NE(KatalogDziennikow(), "");
    }
    for (const std::optional<std::string>& dane : {std::optional<std::string>(baza_ + "brak\\dane"),
                                                   std::optional<std::string>()}) {
        SCOPED_TRACE(dane.value_or("(none)"));
        pomocnicy::ZmienionyFolder wspolne(sys::RegistryRoot::LocalMachine, "Common AppData", dane);
        EXPECT_EQ(KatalogRoboczyKopii(), dane ? *dane + "\\Zelpax\\" : "");
        EXPECT_FALSE(UruchomKopie(zrodlo, "instal.exe", "/doit"));
        EXPECT_FALSE(sys::EntryExists(baza_ + "brak"));
        EXPECT_EQ(Zawartosc(baza_ + "tmp\\"), (std::set<std::string>{".", ".."}));
        EXPECT_EQ(Zawartosc(baza_ + "zrodlo\\"), (std::set<std::string>{".", "..", "prog.exe"}));
    }
    const std::string otwarte = baza_ + "otwarte";
    ASSERT_TRUE(sys::CreateFolder(otwarte));
    ASSERT_TRUE(sys::CreateFolder(otwarte + "\\Zelpax"));
    const auto dlaWszystkich = sys::SecurityDescriptor::FromSddl(L"D:(A;OICI;FA;;;WD)(A;OICI;FA;;;BU)");
    ASSERT_TRUE(dlaWszystkich);
    BOOL jest = FALSE, domyslny = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(dlaWszystkich->get(), &jest, &dacl, &domyslny));
    std::wstring zelpax = sys::ToWide(otwarte + "\\Zelpax");
    ASSERT_EQ(SetNamedSecurityInfoW(zelpax.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                                    nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(sys::FolderAccess(otwarte + "\\Zelpax"), sys::Access::Others);
    pomocnicy::ZmienionyFolder wspolne(sys::RegistryRoot::LocalMachine, "Common AppData", otwarte);
    EXPECT_FALSE(UruchomKopie(zrodlo, "instal.exe", "/doit"));
    EXPECT_EQ(Zawartosc(otwarte + "\\Zelpax\\"), (std::set<std::string>{".", ".."}));
    EXPECT_EQ(sys::FolderAccess(otwarte + "\\Zelpax"), sys::Access::Others) << "taken back";
}

}  // namespace
