#include "install/SkryptUsuwania.h"

#include "base/StronyKodowe.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(SkryptUsuwania, TriesWithAPauseGivesUpAndEndsWithItsFolder) {
    struct Przypadek {
        const char* kopia;
        const char* skrypt;
        const char* katalog;
        const char* ping;
        const char* tekst;
    };
    const Przypadek przypadki[] = {
        {"C:\\TEMP\\v1\\instal.exe", "C:\\TEMP\\v1\\delme.bat", "C:\\TEMP\\v1", "C:\\WINDOWS\\system32\\ping.exe",
         "@echo off\r\n"
         "set n=0\r\n"
         ":repeat\r\n"
         "del \"C:\\TEMP\\v1\\instal.exe\"\r\n"
         "if not exist \"C:\\TEMP\\v1\\instal.exe\" goto done\r\n"
         "set /a n+=1\r\n"
         "if %n% geq 1800 goto done\r\n"
         "\"C:\\WINDOWS\\system32\\ping.exe\" -n 3 127.0.0.1 >nul\r\n"
         "goto repeat\r\n"
         ":done\r\n"
         "del \"C:\\TEMP\\v1\\delme.bat\" & rmdir \"C:\\TEMP\\v1\"\r\n"},
        // Blanks stay inside the quotation marks; a '%' in a path would start
        // a variable, doubled it stands for itself (the batch's own %n% stays).
        {"C:\\Documents and Settings\\100%\\v\\0SAPI51In.exe", "C:\\Documents and Settings\\100%\\v\\0delme.bat",
         "C:\\Documents and Settings\\100%\\v", "C:\\WIN 100%\\system32\\ping.exe",
         "@echo off\r\n"
         "set n=0\r\n"
         ":repeat\r\n"
         "del \"C:\\Documents and Settings\\100%%\\v\\0SAPI51In.exe\"\r\n"
         "if not exist \"C:\\Documents and Settings\\100%%\\v\\0SAPI51In.exe\" goto done\r\n"
         "set /a n+=1\r\n"
         "if %n% geq 1800 goto done\r\n"
         "\"C:\\WIN 100%%\\system32\\ping.exe\" -n 3 127.0.0.1 >nul\r\n"
         "goto repeat\r\n"
         ":done\r\n"
         "del \"C:\\Documents and Settings\\100%%\\v\\0delme.bat\" & rmdir \"C:\\Documents and Settings\\100%%\\v\"\r\n"},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(TekstSkryptuUsuwania(p.kopia, p.skrypt, p.katalog, p.ping), p.tekst) << p.kopia;
    }
    // Bytes above 127 (here code page 852 letters) pass through unchanged.
    const std::string tekst = TekstSkryptuUsuwania("C:\\ť˘dz\\a.exe"_cp1250, "C:\\ť˘dz\\delme.bat"_cp1250,
                                                   "C:\\ť˘dz"_cp1250, "C:\\W\\ping.exe");
    EXPECT_NE(tekst.find("del \"C:\\ť˘dz\\a.exe\"\r\n"_cp1250), std::string::npos);
    EXPECT_NE(tekst.find("del \"C:\\ť˘dz\\delme.bat\" & rmdir \"C:\\ť˘dz\"\r\n"_cp1250), std::string::npos);
}

TEST(SkryptUsuwania, NumbersMoveTogether) {
    struct Przypadek {
        std::set<std::string> zajete;  // names in the folder
        const char* nazwa;
        const char* kopia;
        const char* skrypt;
    };
    const std::vector<Przypadek> przypadki = {
        {{}, "instal.exe", "instal.exe", "delme.bat"},
        {{"instal.exe"}, "instal.exe", "0instal.exe", "0delme.bat"},
        {{"delme.bat"}, "instal.exe", "0instal.exe", "0delme.bat"},
        {{"instal.exe", "delme.bat", "0delme.bat"}, "instal.exe", "1instal.exe", "1delme.bat"},
        {{"instal.exe", "0instal.exe", "1delme.bat"}, "instal.exe", "2instal.exe", "2delme.bat"},
        // Only the two names of one number matter; other numbers' leftovers
        // do not.
        {{"instal.exe", "1instal.exe", "1delme.bat"}, "instal.exe", "0instal.exe", "0delme.bat"},
        {{"SAPI51In.exe", "0SAPI51In.exe", "1SAPI51In.exe", "2SAPI51In.exe", "3SAPI51In.exe", "4SAPI51In.exe",
          "5SAPI51In.exe", "6SAPI51In.exe", "7SAPI51In.exe", "8SAPI51In.exe", "9SAPI51In.exe"},
         "SAPI51In.exe", "10SAPI51In.exe", "10delme.bat"},
    };
    const std::string katalog = "C:\\TEMP\\";
    for (const auto& p : przypadki) {
        const auto nazwy = WybierzNazwyKopii(katalog, p.nazwa, [&](const std::string& sciezka) {
            EXPECT_EQ(sciezka.rfind(katalog, 0), 0u) << "asked outside the folder: " << sciezka;
            return p.zajete.count(sciezka.substr(katalog.size())) > 0;
        });
        ASSERT_TRUE(nazwy) << p.kopia;
        EXPECT_EQ(*nazwy, (NazwyKopii{katalog + p.kopia, katalog + p.skrypt}));
    }
}

TEST(SkryptUsuwania, GivesUpWhenEveryNumberIsTaken) {
    long pytania = 0;
    const auto nazwy = WybierzNazwyKopii("C:\\TEMP\\", "instal.exe", [&](const std::string&) {
        ++pytania;
        return true;
    });
    EXPECT_FALSE(nazwy);
    // The plain names and every number once; the batch name is not asked when
    // the copy's is already taken.
    EXPECT_EQ(pytania, kLiczbaNumerowKopii + 1);

    const auto ostatni = WybierzNazwyKopii("C:\\TEMP\\", "a.exe", [](const std::string& sciezka) {
        return sciezka != "C:\\TEMP\\9999a.exe" && sciezka != "C:\\TEMP\\9999delme.bat";
    });
    ASSERT_TRUE(ostatni);
    EXPECT_EQ(ostatni->kopia, "C:\\TEMP\\9999a.exe");
}

}  // namespace
