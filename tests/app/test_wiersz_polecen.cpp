#include "app/WierszPolecen.h"

#include "base/Jezyki.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Przypadek {
    std::vector<std::string> argumenty;
    const char* blad;  // the argument named as not understood; nullptr when all were
    TrybPracy tryb;
    std::string katalog, zrodlo, protokol;  // "" when not given
    int jezyk;                                // -1 when not given
    bool doit, bezSlownikow, bezGrupy, bezPulpitu, wszyscy, pomoc;
    std::string zapis = "", odczyt = "";      // /SAVEINF, /LOADINF
    bool bezRestartu = false;
};

constexpr auto K = TrybPracy::Kreator, C = TrybPracy::Cichy, B = TrybPracy::BardzoCichy;

const Przypadek Przypadki[] = {
    {{}, nullptr, K, "", "", "", -1, false, false, false, false, false, false},
    {{"/doit"}, nullptr, K, "", "", "", -1, true, false, false, false, false, false},
    // Only exact and first does it mark the copy; anywhere else it is harmless.
    {{"/DOIT"}, nullptr, K, "", "", "", -1, false, false, false, false, false, false},
    {{"/silent", "/doit"}, nullptr, C, "", "", "", -1, false, false, false, false, false, false},
    {{"/doit", "/VerySilent", "/SILENT"}, nullptr, B, "", "", "", -1, true, false, false, false, false, false},
    // Values as CommandLineToArgvW hands them over, quoted either way.
    {{"/VERYSILENT", "/DIR=C:\\My Folder\\", "/source=\\\\serwer\\plyta", "/LOG=instal.log", "/lang=en"},
     nullptr, B, "C:\\My Folder", "\\\\serwer\\plyta\\", "instal.log", JezykAngielski,
     false, false, false, false, false, false},
    {{"/DIR=D:/Programy/Velt", "/SOURCE=E:\\", "/LANG=PL"},
     nullptr, K, "D:\\Programy\\Velt", "E:\\", "", JezykPolski, false, false, false, false, false, false},
    {{"/SOURCE=d:"}, nullptr, K, "", "d:\\", "", -1, false, false, false, false, false, false},
    {{"/DIR=C:\\"}, nullptr, K, "C:\\", "", "", -1, false, false, false, false, false, false},
    {{"/NODICTIONARIES", "/nogroup", "/NoDesktop", "/ALLUSERS"},
     nullptr, K, "", "", "", -1, false, true, true, true, true, false},
    {{"/?"}, nullptr, K, "", "", "", -1, false, false, false, false, false, true},
    {{"/SAVEINF=C:\\acc\\velt.inf", "/loadinf=velt.inf", "/NoRestart"}, nullptr, K, "", "", "", -1,
     false, false, false, false, false, false, "C:\\acc\\velt.inf", "velt.inf", true},
    {{"/SAVEINF"}, "/SAVEINF", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/LOADINF=C:\\acc\\"}, "/LOADINF=C:\\acc\\", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/NORESTART=1"}, "/NORESTART=1", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/help"}, nullptr, K, "", "", "", -1, false, false, false, false, false, true},
    // Not understood: the first such argument is named; what came before stays.
    {{"/SILENT", "/QUIET"}, "/QUIET", C, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR"}, "/DIR", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR="}, "/DIR=", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR=Velt"}, "/DIR=Velt", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR=C:Velt"}, "/DIR=C:Velt", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR=\\Velt"}, "/DIR=\\Velt", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR=\\\\serwer"}, "/DIR=\\\\serwer", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR=\\\\.\\PhysicalDrive0"}, "/DIR=\\\\.\\PhysicalDrive0", K, "", "", "", -1,
     false, false, false, false, false, false},
    // A backslash before the closing quote escapes it: the quote stays.
    {{"/DIR=C:\\My Folder\""}, "/DIR=C:\\My Folder\"", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/DIR=C:\\a:b"}, "/DIR=C:\\a:b", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/SOURCE=plyta"}, "/SOURCE=plyta", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/LANG=DE"}, "/LANG=DE", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/LOG"}, "/LOG", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/LOG=C:\\logs\\"}, "/LOG=C:\\logs\\", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/SILENT=1"}, "/SILENT=1", K, "", "", "", -1, false, false, false, false, false, false},
    {{"-SILENT"}, "-SILENT", K, "", "", "", -1, false, false, false, false, false, false},
    {{"C:\\Velt"}, "C:\\Velt", K, "", "", "", -1, false, false, false, false, false, false},
    {{"/"}, "/", K, "", "", "", -1, false, false, false, false, false, false},
    {{""}, "", K, "", "", "", -1, false, false, false, false, false, false},
};

TEST(WierszPolecen, CzytajWierszPolecen) {
    for (const Przypadek& p : Przypadki) {
        std::string opis;
        for (const auto& a : p.argumenty) opis += "[" + a + "] ";
        SCOPED_TRACE(opis);
        const TWynikWiersza wynik = CzytajWierszPolecen(p.argumenty);
        const TWierszPolecen& w = wynik.Przelaczniki;
        EXPECT_EQ(wynik.Poprawny(), p.blad == nullptr);
        if (p.blad) { EXPECT_EQ(wynik.Blad.value_or("(none)"), p.blad); }
        EXPECT_EQ(w.Tryb, p.tryb);
        EXPECT_EQ(w.Katalog.value_or(""), p.katalog);
        EXPECT_EQ(w.Zrodlo.value_or(""), p.zrodlo);
        EXPECT_EQ(w.Protokol.value_or(""), p.protokol);
        EXPECT_EQ(w.Jezyk ? int(*w.Jezyk) : -1, p.jezyk);
        EXPECT_EQ(w.Doit, p.doit);
        EXPECT_EQ(w.BezSlownikow, p.bezSlownikow);
        EXPECT_EQ(w.BezGrupy, p.bezGrupy);
        EXPECT_EQ(w.BezPulpitu, p.bezPulpitu);
        EXPECT_EQ(w.DlaWszystkich, p.wszyscy);
        EXPECT_EQ(w.Pomoc, p.pomoc);
        EXPECT_EQ(w.ZapisOdpowiedzi.value_or(""), p.zapis);
        EXPECT_EQ(w.OdczytOdpowiedzi.value_or(""), p.odczyt);
        EXPECT_EQ(w.BezRestartu, p.bezRestartu);
    }
}

// The choices that switches make, as an answer file records them; a language
// not given reads as 0xFF.
TOdpowiedzi Wybory(const TWierszPolecen& w) {
    return {w.Katalog.value_or(""), w.Jezyk.value_or(0xFF), !w.BezSlownikow, !w.BezGrupy, !w.BezPulpitu,
            w.DlaWszystkich};
}

// An answer file gives what its switches would, or names its first line
// that it does not understand and gives nothing.
TEST(WierszPolecen, CzytajOdpowiedzi) {
    const TOdpowiedzi nic{"", 0xFF, true, true, true, false};
    const struct {
        std::string tekst;
        std::size_t blednyWiersz;
        TOdpowiedzi wybory;
    } przypadki[] = {
        {"", 0, nic},
        {"[Setup]\r\nDir=C:\\Pierwszy\r\nLang=PL\r\nNoDictionaries=0\r\nNoGroup=0\r\nNoDesktop=1\r\nAllUsers=1\r\n", 0,
         {"C:\\Pierwszy", JezykPolski, true, true, false, true}},
        // A byte-order mark, comments, spaces, LF alone, any letter case;
        // UTF-8 letters become the program's Windows-1250.
        {"\xEF\xBB\xBF; velt\n\n  [ setup ]  \n  dir = C:\\Pliki \xC5\x81\xC3\xB3\x64\xC5\xBA/Velt/ \nlang=en\nNOGROUP=1\n", 0,
         {"C:\\Pliki \xA3\xF3\x64\x9F\\Velt", JezykAngielski, true, false, true, false}},
        {"Dir=C:\\Velt\r\n", 1, nic},  // before the section
        {"[Setup]\r\n[Inne]\r\n", 2, nic},
        {"[Setup]\r\n[Setup]\r\n", 2, nic},
        {"[Setup\r\n", 1, nic},
        {"[Setup]\r\nAllUsers=1\r\nLog=C:\\velt.log\r\n", 3, nic},
        {"[Setup]\r\nSilent=1\r\n", 2, nic},
        {"[Setup]\r\nLoadInf=C:\\inny.inf\r\n", 2, nic},
        {"[Setup]\r\nDir=Velt\r\n", 2, nic},
        {"[Setup]\r\nDir=\r\n", 2, nic},
        {"[Setup]\r\nLang=DE\r\n", 2, nic},
        {"[Setup]\r\nNoGroup=yes\r\n", 2, nic},
        {"[Setup]\r\nNoGroup\r\n", 2, nic},
        {"[Setup]\r\nDir=C:\\a\r\ndir=C:\\b\r\n", 3, nic},
        {"[Setup]\r\nDir=C:\\\xE6\x97\xA5\r\n", 2, nic},          // not in Windows-1250
        {"[Setup]\r\nDir=C:\\\xA3\xF3\x64\x9F\r\n", 2, nic},      // not UTF-8
        {std::string("[Setup]\r\nDir=C:\\a\0b\r\n", 21), 2, nic},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.tekst);
        const TOdczytOdpowiedzi o = CzytajOdpowiedzi(p.tekst);
        EXPECT_EQ(o.BlednyWiersz, p.blednyWiersz);
        EXPECT_TRUE(Wybory(o.Przelaczniki) == p.wybory);
        const TWierszPolecen& w = o.Przelaczniki;
        EXPECT_FALSE(w.Cichy() || w.Protokol || w.OdczytOdpowiedzi || w.ZapisOdpowiedzi);
    }
}

// What /SAVEINF writes, /LOADINF reads back; the command line wins over it.
TEST(WierszPolecen, OdpowiedziTamIZPowrotem) {
    for (const TOdpowiedzi& o : {TOdpowiedzi{"C:\\Pliki \xA3\xF3\x64\x9F", JezykAngielski, false, true, false, true},
                                 TOdpowiedzi{"D:\\", JezykPolski, true, false, true, false}}) {
        const TOdczytOdpowiedzi odczyt = CzytajOdpowiedzi(TekstOdpowiedzi(o));
        EXPECT_TRUE(odczyt.Poprawny() && Wybory(odczyt.Przelaczniki) == o) << TekstOdpowiedzi(o);
    }
    const TWierszPolecen plik = CzytajOdpowiedzi("[Setup]\nDir=C:\\Plik\nLang=EN\nAllUsers=1\n").Przelaczniki;
    const TWierszPolecen w =
        ZOdpowiedziami(CzytajWierszPolecen({"/VERYSILENT", "/DIR=C:\\Wiersz", "/NOGROUP"}).Przelaczniki, plik);
    EXPECT_TRUE(Wybory(w) == (TOdpowiedzi{"C:\\Wiersz", JezykAngielski, true, false, true, true}));
    EXPECT_TRUE(w.Cichy());
}

// The copy the wizard starts goes on with the log its starter opened, named
// by the number of the handle it inherits: only with /doit, never beside
// /LOG, and only a number a handle can have.
TEST(WierszPolecen, UchwytProtokoluOnlyForTheCopy) {
    const struct {
        std::vector<std::string> argumenty;
        const char* blad;
        std::uint64_t uchwyt;  // 0 when not given
    } przypadki[] = {
        {{"/doit", "/LOGHANDLE=124"}, nullptr, 124},
        {{"/doit", "/LANG=EN", "/loghandle=4294967295"}, nullptr, 4294967295u},
        {{"/LOGHANDLE=124"}, "/LOGHANDLE=124", 0},
        {{"/DOIT", "/LOGHANDLE=124"}, "/LOGHANDLE=124", 0},
        {{"/doit", "/LOG=a.log", "/LOGHANDLE=8"}, "/LOGHANDLE=8", 0},
        {{"/doit", "/LOGHANDLE=8", "/LOG=a.log"}, "/LOG=a.log", 8},
        {{"/doit", "/LOGHANDLE=0"}, "/LOGHANDLE=0", 0},
        {{"/doit", "/LOGHANDLE=4294967296"}, "/LOGHANDLE=4294967296", 0},
        {{"/doit", "/LOGHANDLE=-4"}, "/LOGHANDLE=-4", 0},
        {{"/doit", "/LOGHANDLE=0x7c"}, "/LOGHANDLE=0x7c", 0},
        {{"/doit", "/LOGHANDLE="}, "/LOGHANDLE=", 0},
        {{"/doit", "/LOGHANDLE"}, "/LOGHANDLE", 0},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.argumenty.back());
        const TWynikWiersza wynik = CzytajWierszPolecen(p.argumenty);
        EXPECT_EQ(wynik.Blad.value_or("(none)"), p.blad ? p.blad : "(none)");
        EXPECT_EQ(wynik.Przelaczniki.UchwytProtokolu.value_or(0), p.uchwyt);
    }
}

// The copy gets "/doit" first and every switch back as it was given, through
// the quoting that CommandLineToArgvW undoes.
TEST(WierszPolecen, ArgumentyKopii) {
    const struct {
        std::vector<std::string> argumenty;
        std::string wynik;
    } przypadki[] = {
        {{}, "/doit"},
        {{"/doit", "/LOG=a.log"}, "/doit /LOG=a.log"},
        {{"/DIR=C:\\My Folder", "/LANG=EN"}, "/doit \"/DIR=C:\\My Folder\" /LANG=EN"},
        {{"/DIR=C:\\My Folder\\"}, "/doit \"/DIR=C:\\My Folder\\\\\""},
        {{"/LOG=C:\\a \"b\\\"c"}, "/doit \"/LOG=C:\\a \\\"b\\\\\\\"c\""},
        {{""}, "/doit \"\""},
    };
    for (const auto& p : przypadki) EXPECT_EQ(ArgumentyKopii(p.argumenty), p.wynik);
}

}  // namespace
