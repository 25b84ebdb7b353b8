#include "install/Protokol.h"

#include "sys/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "../PomocnicyWin.h"

#include <string>

namespace {

std::string Tresc(const std::string& sciezka) { return sys::ReadWholeFile(sciezka, 1 << 20).value_or("(none)"); }

// The elevated wizard writes its log only into a plain disk file that has no
// other name: never through a hard link, into a device, a pipe or a stream.
TEST(Protokol, WritesOnlyIntoAPlainFileOfItsOwn) {
    pomocnicy::KatalogTymczasowy tmp("velt protokol");
    const std::string cel = tmp / "cel.txt", dowiazanie = tmp / "dowiazanie.log";
    ASSERT_TRUE(sys::WriteWholeFile(cel, "0123456789"));
    ASSERT_TRUE(CreateHardLinkW(sys::ToWide(dowiazanie).c_str(), sys::ToWide(cel).c_str(), nullptr));
    // A pipe that would take every line written to it.
    const std::wstring potok = L"\\\\.\\pipe\\velt-protokol-" + std::to_wstring(GetCurrentProcessId());
    for (const bool dopisz : {false, true}) {
        SCOPED_TRACE(dopisz ? "appending" : "afresh");
        HANDLE h = CreateNamedPipeW(potok.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        for (const std::string& odrzucony :
             {dowiazanie, sys::FromWide(potok), std::string("\\\\.\\NUL"),
              std::string("\\\\?\\GLOBALROOT\\Device\\Null"), tmp / "nul.txt", tmp / "CON", tmp / "com1.log",
              tmp / "Lpt9", tmp / "aux .log", tmp / "log.txt:strumien"}) {
            SCOPED_TRACE(odrzucony);
            EXPECT_EQ(OtworzProtokol(odrzucony, dopisz), static_cast<std::uint32_t>(ERROR_BAD_FILE_TYPE));
            EXPECT_FALSE(ProtokolOtwarty());
        }
        EXPECT_EQ(Tresc(cel), "0123456789") << "written through the hard link";
        EXPECT_FALSE(sys::EntryExists(tmp / "log.txt")) << "made for a stream";
        // Nobody took the pipe's one instance.
        HANDLE klient = CreateFileW(potok.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(klient, INVALID_HANDLE_VALUE);
        if (klient != INVALID_HANDLE_VALUE) CloseHandle(klient);
        CloseHandle(h);
        // A folder is no log either.
        EXPECT_NE(OtworzProtokol(tmp.Sciezka(), dopisz), 0u);
        EXPECT_FALSE(ProtokolOtwarty());
    }

    // A file it makes afresh, and one of its own name: emptied first, or
    // appended to.
    const std::string log = tmp / "instal.log";
    ASSERT_EQ(OtworzProtokol(log, false), 0u);
    Protokoluj("jeden");
    ZamknijProtokol();
    ASSERT_EQ(OtworzProtokol(log, true), 0u);
    Protokoluj("dwa");
    ZamknijProtokol();
    std::string zapis = Tresc(log);
    EXPECT_NE(zapis.find(" jeden\r\n"), std::string::npos) << zapis;
    EXPECT_NE(zapis.find(" dwa\r\n"), std::string::npos) << zapis;
    ASSERT_EQ(OtworzProtokol(log, false), 0u);
    Protokoluj("trzy");
    ZamknijProtokol();
    zapis = Tresc(log);
    EXPECT_EQ(zapis.find("jeden"), std::string::npos) << zapis;
    EXPECT_NE(zapis.find(" trzy\r\n"), std::string::npos) << zapis;

    // A copy takes over only an inherited disk file's handle: never a number
    // that names none, nor a handle the process opened for itself.
    sys::File wlasny = sys::File::OpenAppendPlain(tmp / "wlasny.log", false);
    ASSERT_TRUE(wlasny);
    for (const std::uint64_t numer :
         {std::uint64_t{0}, std::uint64_t{3}, std::uint64_t{0x100000000}, wlasny.HandleNumber()}) {
        SCOPED_TRACE(numer);
        EXPECT_EQ(PrzejmijProtokol(numer), static_cast<std::uint32_t>(ERROR_BAD_FILE_TYPE));
        EXPECT_FALSE(ProtokolOtwarty());
    }
    EXPECT_TRUE(wlasny.Write("x", 1).error == 0) << "left open for its owner";
}

}  // namespace
