#include "install/UruchomKopie.h"

#include "base/StronyKodowe.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <functional>
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
        program_ = ProgramTestowy();
        ASSERT_TRUE(sys::FileExists(program_)) << program_ << " is built with the tests";
    }

    pomocnicy::KatalogTymczasowy tmp_{"velt kopia"};
    const std::string baza_ = tmp_.Sciezka() + "\\";
    std::string program_;
};

TEST_F(UruchomKopieTest, RunsTheCopyAndTheBatchRemovesBoth) {
    // A working folder with a blank in its path, and one whose letters the
    // console code page may lack, so that the batch must name it otherwise.
    // The source is read-only, as on a CD.
    const std::string zrodlo = baza_ + "zrodlo\\prog.exe";
    ASSERT_TRUE(sys::CopyFileTo(program_, zrodlo, false));
    ASSERT_TRUE(sys::SetAttributes(zrodlo, FILE_ATTRIBUTE_READONLY));
    for (const char* nazwa : {"robocza", "robocza Łódź"_cp1250}) {
        const std::string nazwaKatalogu = nazwa;
        SCOPED_TRACE(nazwaKatalogu);
        const std::string robocza = baza_ + nazwaKatalogu + "\\";
        ASSERT_TRUE(sys::CreateFolder(robocza));
        ZmienionyTmp tmp(sys::ToWide(robocza));
        ASSERT_EQ(KatalogRoboczyKopii(), robocza);

        // A file of the name in the working folder itself is left alone: the
        // copy goes into a folder of its own.
        ASSERT_TRUE(sys::WriteWholeFile(robocza + "kopia.exe", "zajete"));

        const std::wstring zdarzenie = L"VeltKopiaKoniec" + std::to_wstring(GetCurrentProcessId());
        HANDLE koniec = CreateEventW(nullptr, TRUE, FALSE, zdarzenie.c_str());
        ASSERT_NE(koniec, nullptr);

        ASSERT_TRUE(UruchomKopie(zrodlo, "kopia.exe", "/doit " + sys::FromWide(zdarzenie)));
        auto nowe = Zawartosc(robocza);
        for (const char* bylo : {".", "..", "kopia.exe"}) nowe.erase(bylo);
        ASSERT_EQ(nowe.size(), 1u) << "one new folder for the run";
        const std::string wlasny = robocza + *nowe.begin();
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
        EXPECT_EQ(linieRaportu[2], "/doit " + sys::FromWide(zdarzenie));
        EXPECT_EQ(sys::Attributes(kopia), FILE_ATTRIBUTE_ARCHIVE) << "read-only cleared";
        EXPECT_TRUE(*sys::Attributes(zrodlo) & FILE_ATTRIBUTE_READONLY) << "the source is left alone";

        const auto tekst = sys::ReadWholeFile(skrypt, 4096);
        ASSERT_TRUE(tekst);
        const auto linie = Linie(*tekst);
        ASSERT_EQ(linie.size(), 11u);
        EXPECT_EQ(tekst->substr(tekst->size() - 2), "\r\n");
        const std::string ping = "\"" + *sys::SystemFolder() + "ping.exe\" -n 3 127.0.0.1 >nul";
        if (nazwaKatalogu == "robocza") {
            EXPECT_EQ(*tekst, "@echo off\r\n"
                              "set n=0\r\n"
                              ":repeat\r\n"
                              "del \"" + kopia + "\"\r\n"
                              "if not exist \"" + kopia + "\" goto done\r\n"
                              "set /a n+=1\r\n"
                              "if %n% geq 1800 goto done\r\n" +
                                  ping + "\r\n"
                              "goto repeat\r\n"
                              ":done\r\n"
                              "del \"" + skrypt + "\" & rmdir \"" + wlasny + "\"\r\n");
        } else {
            // The batch names the same two files in a form the command
            // processor reads.
            ASSERT_EQ(linie[2], ":repeat");
            ASSERT_EQ(linie[3].rfind("del \"", 0), 0u);
            const std::string c = linie[3].substr(5, linie[3].size() - 6);
            EXPECT_EQ(linie[4], "if not exist \"" + c + "\" goto done");
            ASSERT_EQ(linie[10].rfind("del \"", 0), 0u);
            const std::string b = linie[10].substr(5, linie[10].find('"', 5) - 5);
            auto tenSamPlik = [](const std::string& oem, const std::string& sciezka) {
                wchar_t dluga[MAX_PATH * 2] = {};
                const DWORD n = GetLongPathNameW(sys::ToWide(oem, CP_OEMCP).c_str(), dluga, MAX_PATH * 2);
                return n > 0 && sys::FromWide(std::wstring_view(dluga, n)) == sciezka;
            };
            EXPECT_TRUE(tenSamPlik(c, kopia)) << c;
            EXPECT_TRUE(tenSamPlik(b, skrypt)) << b;
        }

        // The stand-in's report is no part of the run.
        ASSERT_TRUE(sys::RemoveFile(kopia + ".txt"));
        SetEvent(koniec);
        EXPECT_TRUE(Czekaj([&] { return !sys::EntryExists(wlasny); }))
            << "the batch removes the copy, itself and the folder once the copy has ended";
        CloseHandle(koniec);
        EXPECT_EQ(Zawartosc(robocza), (std::set<std::string>{".", "..", "kopia.exe"}));
    }
}

TEST_F(UruchomKopieTest, ProgramAlreadyInTheWorkingFolderIsNotCopied) {
    const std::string robocza = baza_ + "Robocza\\";
    ASSERT_TRUE(sys::CreateFolder(robocza));
    ASSERT_TRUE(sys::CopyFileTo(program_, robocza + "instal.exe", false));
    // The same folder, once as it is and once differing only in letter case.
    for (const std::string& tmpTak : {robocza, baza_ + "rOBOCZA\\", baza_ + "ROBOCZA\\"}) {
        SCOPED_TRACE(tmpTak);
        ZmienionyTmp tmp(sys::ToWide(tmpTak));
        EXPECT_FALSE(UruchomKopie(robocza + "instal.exe", "instal.exe", "/doit"));
        EXPECT_EQ(Zawartosc(robocza), (std::set<std::string>{".", "..", "instal.exe"}));
    }
}

TEST_F(UruchomKopieTest, NothingToRunGivesFalse) {
    const std::string robocza = baza_ + "robocza\\";
    ASSERT_TRUE(sys::CreateFolder(robocza));
    ZmienionyTmp tmp(sys::ToWide(robocza));
    for (const std::string& program : {baza_ + "zrodlo\\brak.exe", baza_ + "zrodlo", std::string()}) {
        SCOPED_TRACE(program);
        EXPECT_FALSE(UruchomKopie(program, "instal.exe", "/doit"));
        EXPECT_EQ(Zawartosc(robocza), (std::set<std::string>{".", ".."}));
    }
}

TEST_F(UruchomKopieTest, WorkingFolderFallsBackToTheWindowsFolder) {
    const auto windows = sys::WindowsFolder();
    ASSERT_TRUE(windows);
    // GetTempPath cannot answer within 261 characters.
    ZmienionyTmp tmp(L"C:\\" + std::wstring(300, L'x'));
    EXPECT_FALSE(sys::TempFolder());
    EXPECT_EQ(KatalogRoboczyKopii(), *windows);
}

}  // namespace
