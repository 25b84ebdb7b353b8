// bench_kopiowanie [FOLDER [RUNS]]
//
// Speed of the installation's tree copy, TfrmMain::KopiujKatalog on a wizard
// window of the Win32 backend (real labels, gauge and message pumping),
// against a bare Win32 copy loop without any window (find, create, 32 KiB
// reads and writes) over the same trees, in the same run:
//   200 files of 1 MiB in one folder;
//   5,000 files of 4 KiB in 50 folders.
// The window copies in two phases: first never shown (the copy's own cost:
// windows updated, messages pumped, nothing painted), then shown (adding what
// painting costs on the system at hand), and in the second phase also with
// the installation journal written to a file, as a real run does. Each phase
// measures the bare loop again, taking turns with the window, RUNS times each
// (default 3) after one warm-up. Times are medians. A ratio is bare time over
// window time taken round by round (the two copies of a round run one after
// the other, so a disk that slows for a while slows both), printed as the
// median of the rounds' ratios with their lowest and highest: one noisy round
// moves the range, not the figure. The journal's cost, printed last, is
// likewise each round's copy with the file against the one without it in the
// same round (the two take turns going first).
// FOLDER (default: the temporary folder) receives "velt-bench\zrodlo-*", made
// on the first run and reused, and the target, removed after each copy. MB
// are 1,048,576 bytes.

#include "base/Przelaczniki.h"
#include "base/Sciezki.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "setup/Opcje.h"
#include "base/Wydania.h"
#include "sys/commandline.h"
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
#include <iterator>
#include <optional>
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

// Figures taken round by round: their median and their range.
struct Rozrzut {
    double mediana, najmniej, najwiecej;
};

// a[i] / b[i] for the rounds both have.
Rozrzut Stosunki(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> s;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) s.push_back(a[i] / b[i]);
    const auto [lo, hi] = std::minmax_element(s.begin(), s.end());
    return {Mediana(s), *lo, *hi};
}

constexpr const char* kNaglowek = "%-18s %-28s %8s %9s %9s %7s  %s\n";

// One line of the table, with the ratio to the reference when there is one.
void Wiersz(const Drzewo& d, const char* metoda, double s, const Rozrzut* stosunek) {
    const double mb = static_cast<double>(d.rozmiar) * d.pliki / 1048576.0;
    std::printf("%-18s %-28s %8.3f %9.1f %9.0f", d.opis, metoda, s, mb / s, d.pliki / s);
    if (stosunek != nullptr)
        std::printf(" %7.2f  %.2f to %.2f", stosunek->mediana, stosunek->najmniej, stosunek->najwiecej);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    // A relative or empty FOLDER would put the trees beside whatever the
    // current folder is, or at a drive's root.
    const std::optional<std::string> folder =
        argc > 1 ? (*argv[1] != '\0' ? sys::FullPath(argv[1]) : std::nullopt) : sys::TempFolder();
    if (!folder) {
        std::fprintf(stderr, "bench_kopiowanie: FOLDER does not name a folder\n");
        return 2;
    }
    const int powtorzenia = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string baza = ZUkosnikiem(*folder) + "velt-bench";
    CreateDirectoryW(sys::ToWide(baza).c_str(), nullptr);
    const std::string cel = baza + "\\cel";
    for (const Drzewo& d : kDrzewa) Przygotuj(sys::ToWide(baza + "\\" + d.nazwa), d);

    UstawAppConst(RekordWydaniaInstalatora());
    ui::win32::Win32Backend backend;
    ui::Application aplikacja(backend);
    UtworzFormularze(aplikacja);
    CzyscFlageInstalacji = true;
    TfrmMain& okno = *frmMain;
    // The installation page alone, without the first page's start-up (which
    // would look for the CD).
    okno.OnShow = nullptr;
    okno.pnlInstalacja.BringToFront();
    const std::string pomijane(kPlikiInstalatora);

    // Phase 0 copies into a window never shown, phase 1 into a shown one: a
    // window once shown costs more to update under some systems even when
    // hidden again. Each phase has its own reference runs, taking turns; in
    // phase 1 each round also copies with the installation journal written to
    // its file, as a real run does, right beside the copy without it, so that
    // the two differ in the journal alone.
    enum Metoda { Golo, Okno, OknoZDziennikiem, LiczbaMetod };
    constexpr int kFaz = 2;
    const std::string dziennik = baza + "\\dziennik.dzn";
    const std::string osad = baza + "\\osad.tmp";
    constexpr std::size_t kDrzew = std::size(kDrzewa);
    std::vector<double> czasy[kFaz][kDrzew][LiczbaMetod];
    for (int faza = 0; faza < kFaz; ++faza) {
        for (std::size_t n = 0; n < kDrzew; ++n) {
            const Drzewo& d = kDrzewa[n];
            const std::string zrodlo = baza + "\\" + d.nazwa;
            for (int runda = 0; runda <= powtorzenia; ++runda) {
                // The copies with and without the file take turns going
                // first, so that neither always follows the other.
                const bool naOdwrot = runda % 2 == 1;
                for (const Metoda m : {Golo, naOdwrot ? OknoZDziennikiem : Okno, naOdwrot ? Okno : OknoZDziennikiem}) {
                    if (faza == 0 && m == OknoZDziennikiem) continue;
                    UsunDrzewo(sys::ToWide(cel));
                    if (!CreateDirectoryW(sys::ToWide(cel).c_str(), nullptr)) Przerwij("cannot create the target");
                    // What earlier copies left for the disk goes there now,
                    // outside the timing: the journal's start puts its file on
                    // the disk, which under a journalling file system writes
                    // back everything pending, and every method starts alike.
                    {
                        Plik f(CreateFileW(sys::ToWide(osad).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
                        DWORD zapisane = 0;
                        if (!f || !WriteFile(f.get(), "x", 1, &zapisane, nullptr) || !FlushFileBuffers(f.get()))
                            Przerwij("cannot settle the disk");
                    }
                    if (m != Golo) {
                        okno.Postep = 0;
                        okno.SkopiowanePliki.clear();
                        okno.UtworzoneKatalogi.clear();
                        okno.GaugePostep.SetMin(0);
                        okno.GaugePostep.SetProgress(0);
                        okno.GaugePostep.SetMax(static_cast<std::int32_t>(d.rozmiar * d.pliki));
                        if (faza >= 1) okno.Show();
                        if (m == OknoZDziennikiem && !okno.DziennikInstalacji.Rozpocznij(dziennik, NumerWydania, cel))
                            Przerwij("cannot start the journal");
                        aplikacja.ProcessMessages();
                    }
                    const double t0 = Sekundy();
                    if (m != Golo) okno.KopiujKatalog(zrodlo, cel, pomijane);
                    else KopiujGolo(sys::ToWide(zrodlo), sys::ToWide(cel));
                    const double t = Sekundy() - t0;
                    // The records of one copy are dropped before the next.
                    if (m != Golo) okno.DziennikInstalacji.Zakoncz();
                    if (m != Golo && okno.SkopiowanePliki.size() != static_cast<std::size_t>(d.pliki))
                        Przerwij("KopiujKatalog copied too little");
                    if (runda > 0) czasy[faza][n][m].push_back(t);
                }
            }
        }
    }
    UsunDrzewo(sys::ToWide(cel));
    DeleteFileW(sys::ToWide(osad).c_str());

    std::printf(kNaglowek, "tree", "method", "s", "MB/s", "files/s", "ratio", "range over the rounds");
    for (std::size_t n = 0; n < kDrzew; ++n) {
        const Drzewo& d = kDrzewa[n];
        for (int faza = 0; faza < kFaz; ++faza) {
            const auto& golo = czasy[faza][n][Golo];
            Wiersz(d, "bare Win32 loop", Mediana(golo), nullptr);
            const Rozrzut k = Stosunki(golo, czasy[faza][n][Okno]);
            Wiersz(d, faza == 0 ? "KopiujKatalog, hidden" : "KopiujKatalog, shown", Mediana(czasy[faza][n][Okno]), &k);
            if (faza == 1) {
                const Rozrzut z = Stosunki(golo, czasy[faza][n][OknoZDziennikiem]);
                Wiersz(d, "KopiujKatalog, shown+journal", Mediana(czasy[faza][n][OknoZDziennikiem]), &z);
            }
        }
    }
    // The journal's cost: each round's copy with the file against the one
    // without it in the same round.
    for (std::size_t n = 0; n < kDrzew; ++n) {
        const Rozrzut r = Stosunki(czasy[1][n][OknoZDziennikiem], czasy[1][n][Okno]);
        std::printf("%-18s journal file: %+.1f %% time, rounds %+.1f to %+.1f %% (shown, with the file against "
                    "without, round by round)\n",
                    kDrzewa[n].opis, (r.mediana - 1.0) * 100.0, (r.najmniej - 1.0) * 100.0,
                    (r.najwiecej - 1.0) * 100.0);
    }
    std::fflush(stdout);
    ZniszczFormularze(aplikacja);
    return 0;
}
