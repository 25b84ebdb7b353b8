// bench_kopiowanie [FOLDER [RUNS]]
//
// Speed of the installation's tree copy, TfrmMain::KopiujKatalog on a wizard
// window of the Win32 backend (real labels, gauge and message pumping),
// against a bare Win32 copy loop without any window (find, create, 32 KiB
// reads and writes) over the same trees, in the same run:
//   200 files of 1 MiB in one folder;
//   5,000 files of 4 KiB in 50 folders.
// The window copies twice: hidden (the copy's own cost: windows updated,
// messages pumped, nothing painted) and shown (adds what painting costs on
// the system at hand).
// FOLDER (default: the temporary folder) receives "velt-bench\zrodlo-*", made
// on the first run and reused, and the targets, removed after each copy. The
// methods take turns, RUNS times each (default 3) after one warm-up; the
// figures are medians. MB are 1,048,576 bytes.

#include "app/Przelaczniki.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "setup/Opcje.h"
#include "setup/Wydania.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/handle.h"
#include "sys/text.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Drzewo {
    const char* opis;
    const char* nazwa;
    int katalogi;  // 0: the files lie in the tree's root
    int pliki;     // in all
    std::size_t rozmiar;
};
constexpr Drzewo kDrzewa[] = {
    {"200 x 1 MiB", "zrodlo-duze", 0, 200, std::size_t{1} << 20},
    {"5000 x 4 KiB / 50", "zrodlo-male", 50, 5000, 4096},
};

using Plik = sys::UniqueHandle<sys::FileHandleTraits>;
using Szukanie = sys::UniqueHandle<sys::FindHandleTraits>;

[[noreturn]] void Przerwij(const std::string& co) {
    std::fprintf(stderr, "bench_kopiowanie: %s (error %lu)\n", co.c_str(), GetLastError());
    std::exit(1);
}

double Sekundy() {
    static const double czestotliwosc = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / czestotliwosc;
}

void ZapiszPlik(const std::wstring& sciezka, std::size_t rozmiar, unsigned ziarno) {
    std::string tresc(rozmiar, '\0');
    std::uint32_t x = ziarno * 2654435761u + 1;
    for (char& c : tresc) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    Plik f(CreateFileW(sciezka.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD zapisane = 0;
    if (!f || !WriteFile(f.get(), tresc.data(), static_cast<DWORD>(tresc.size()), &zapisane, nullptr) ||
        zapisane != tresc.size())
        Przerwij("cannot write the source tree");
}

// Makes the source tree unless a previous run left it complete.
void Przygotuj(const std::wstring& korzen, const Drzewo& d) {
    const std::wstring gotowe = korzen + L".gotowe";
    if (GetFileAttributesW(gotowe.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    CreateDirectoryW(korzen.c_str(), nullptr);
    const int katalogi = std::max(d.katalogi, 1);
    for (int k = 0; k < katalogi; ++k) {
        std::wstring katalog = korzen;
        if (d.katalogi > 0) {
            katalog += L"\\kat" + std::to_wstring(k);
            CreateDirectoryW(katalog.c_str(), nullptr);
        }
        for (int p = 0; p < d.pliki / katalogi; ++p)
            ZapiszPlik(katalog + L"\\plik" + std::to_wstring(p) + L".dat", d.rozmiar,
                       static_cast<unsigned>(k * 100000 + p));
    }
    ZapiszPlik(gotowe, 0, 0);
}

void UsunDrzewo(const std::wstring& katalog) {
    WIN32_FIND_DATAW w;
    Szukanie s(FindFirstFileW((katalog + L"\\*").c_str(), &w));
    if (s) {
        do {
            const std::wstring nazwa = w.cFileName;
            if (nazwa == L"." || nazwa == L"..") continue;
            const std::wstring sciezka = katalog + L"\\" + nazwa;
            if (w.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) UsunDrzewo(sciezka);
            else DeleteFileW(sciezka.c_str());
        } while (FindNextFileW(s.get(), &w));
    }
    s.reset();
    RemoveDirectoryW(katalog.c_str());
}

// The reference: what any copy loop must do, and nothing else.
void KopiujGolo(const std::wstring& zrodlo, const std::wstring& cel) {
    static char bufor[32768];
    WIN32_FIND_DATAW w;
    Szukanie s(FindFirstFileW((zrodlo + L"\\*").c_str(), &w));
    if (!s) return;
    do {
        const std::wstring nazwa = w.cFileName;
        if (nazwa == L"." || nazwa == L"..") continue;
        const std::wstring z = zrodlo + L"\\" + nazwa;
        const std::wstring c = cel + L"\\" + nazwa;
        if (w.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CreateDirectoryW(c.c_str(), nullptr);
            KopiujGolo(z, c);
            continue;
        }
        Plik we(CreateFileW(z.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        Plik wy(CreateFileW(c.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
        if (!we || !wy) Przerwij("bare copy: cannot open");
        for (;;) {
            DWORD przeczytane = 0, zapisane = 0;
            if (!ReadFile(we.get(), bufor, sizeof bufor, &przeczytane, nullptr)) Przerwij("bare copy: read");
            if (przeczytane == 0) break;
            if (!WriteFile(wy.get(), bufor, przeczytane, &zapisane, nullptr) || zapisane != przeczytane)
                Przerwij("bare copy: write");
        }
    } while (FindNextFileW(s.get(), &w));
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Wiersz(const char* drzewo, const char* metoda, double s, const Drzewo& d) {
    const double mb = static_cast<double>(d.rozmiar) * d.pliki / 1048576.0;
    std::printf("%-18s %-22s %8.3f %9.1f %9.0f\n", drzewo, metoda, s, mb / s, d.pliki / s);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? std::string(argv[1]) : sys::TempFolder().value_or("C:\\");
    const int powtorzenia = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string baza = (folder.back() == '\\' ? folder : folder + "\\") + "velt-bench";
    const std::wstring bazaW = sys::ToWide(baza);
    CreateDirectoryW(bazaW.c_str(), nullptr);

    UstawAppConst(RekordWydaniaInstalatora());
    ui::win32::Win32Backend backend;
    ui::Application aplikacja(backend);
    frmMain = &aplikacja.CreateForm<TfrmMain>();
    frmPytanie = &aplikacja.CreateForm<TfrmPytanie>();
    CzyscFlageInstalacji = true;
    TfrmMain& okno = *frmMain;
    // The installation page alone, without the first page's start-up (which
    // would look for the CD).
    okno.OnShow = nullptr;
    okno.pnlInstalacja.BringToFront();
    const std::string pomijane(kPlikiInstalatora);

    std::printf("%-18s %-22s %8s %9s %9s\n", "tree", "method", "s", "MB/s", "files/s");
    for (const Drzewo& d : kDrzewa) {
        const std::string zrodlo = baza + "\\" + d.nazwa;
        const std::string cel = baza + "\\cel";
        Przygotuj(sys::ToWide(zrodlo), d);

        // Set up outside the timing: the window's state and visibility.
        const auto przygotujOkno = [&](bool widoczne) {
            okno.Postep = 0;
            okno.SkopiowanePliki.clear();
            okno.UtworzoneKatalogi.clear();
            okno.KopieZapasowe.clear();
            okno.GaugePostep.SetMin(0);
            okno.GaugePostep.SetProgress(0);
            okno.GaugePostep.SetMax(static_cast<std::int32_t>(d.rozmiar * d.pliki));
            if (widoczne) okno.Show();
            else okno.Hide();
            aplikacja.ProcessMessages();
        };
        struct Metoda {
            const char* nazwa;
            std::function<void()> przygotuj, kopiuj;
        };
        const Metoda metody[] = {
            {"bare Win32 loop", [] {}, [&] { KopiujGolo(sys::ToWide(zrodlo), sys::ToWide(cel)); }},
            {"KopiujKatalog hidden", [&] { przygotujOkno(false); }, [&] { okno.KopiujKatalog(zrodlo, cel, pomijane); }},
            {"KopiujKatalog shown", [&] { przygotujOkno(true); }, [&] { okno.KopiujKatalog(zrodlo, cel, pomijane); }},
        };
        constexpr int kMetod = static_cast<int>(std::size(metody));
        std::vector<double> czasy[kMetod];
        for (int runda = 0; runda <= powtorzenia; ++runda) {
            for (int m = 0; m < kMetod; ++m) {
                UsunDrzewo(sys::ToWide(cel));
                if (!CreateDirectoryW(sys::ToWide(cel).c_str(), nullptr)) Przerwij("cannot create the target");
                metody[m].przygotuj();
                const double t0 = Sekundy();
                metody[m].kopiuj();
                const double t = Sekundy() - t0;
                if (runda > 0) czasy[m].push_back(t);
                if (m > 0 && okno.SkopiowanePliki.size() != static_cast<std::size_t>(d.pliki))
                    Przerwij("KopiujKatalog copied too little");
            }
        }
        UsunDrzewo(sys::ToWide(cel));
        okno.Hide();
        const double golo = Mediana(czasy[0]);
        for (int m = 0; m < kMetod; ++m) Wiersz(d.opis, metody[m].nazwa, Mediana(czasy[m]), d);
        for (int m = 1; m < kMetod; ++m)
            std::printf("%-18s %-22s %8.2f\n", d.opis, (std::string("ratio ") + (m == 1 ? "hidden" : "shown") + " / bare").c_str(),
                        golo / Mediana(czasy[m]));
    }
    std::fflush(stdout);
    aplikacja.DestroyForms();
    frmMain = nullptr;
    frmPytanie = nullptr;
    return 0;
}
