// The tree copy on the real file system under Wine, driven through the
// headless backend: the message hook presses Cancel, the modal handler
// answers the question.

#include "base/Blad.h"
#include "base/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "install/Dziennik.h"
#include "install/Kopiowanie.h"
#include "install/Postep.h"
#include "install/Silnik.h"
#include "setup/Miejsce.h"
#include "base/Wydania.h"
#include "sys/commandline.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/registry.h"
#include "sys/result.h"
#include "sys/security.h"
#include "sys/text.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>

namespace {

using pomocnicy::UsunDrzewo;

// Relative path -> content of a tree; folders end in '\' and map to "",
// read-only files carry the prefix "RO:".
using Stan = std::map<std::string, std::string>;

void CzytajStan(const std::string& katalog, const std::string& wzgledna, Stan& stan) {
    auto wpisy = sys::DirectoryEnumeration::Open(katalog + "\\*");
    while (auto w = wpisy.Next()) {
        if (w->name == "." || w->name == "..") continue;
        const std::string sciezka = katalog + "\\" + w->name;
        if (w->IsFolder()) {
            stan[wzgledna + w->name + "\\"] = "";
            CzytajStan(sciezka, wzgledna + w->name + "\\", stan);
        } else {
            const std::string ro = (w->attributes & FILE_ATTRIBUTE_READONLY) ? "RO:" : "";
            stan[wzgledna + w->name] = ro + sys::ReadWholeFile(sciezka, 1 << 24).value_or("<unreadable>");
        }
    }
}

Stan StanDrzewa(const std::string& katalog) {
    Stan stan;
    CzytajStan(katalog, "", stan);
    return stan;
}

// Writes a tree described like Stan under an existing folder.
void Buduj(const std::string& katalog, const Stan& drzewo) {
    for (const auto& [wzgledna, tresc] : drzewo) {
        const std::string sciezka = katalog + "\\" + wzgledna;
        if (wzgledna.back() == '\\') {
            ASSERT_TRUE(sys::CreateFolder(sciezka.substr(0, sciezka.size() - 1))) << sciezka;
        } else if (tresc.rfind("RO:", 0) == 0) {
            ASSERT_TRUE(sys::WriteWholeFile(sciezka, tresc.substr(3)));
            ASSERT_TRUE(sys::SetAttributes(sciezka, FILE_ATTRIBUTE_READONLY));
        } else {
            ASSERT_TRUE(sys::WriteWholeFile(sciezka, tresc)) << sciezka;
        }
    }
}

std::string Wzor(std::size_t rozmiar, unsigned ziarno) {
    std::string s(rozmiar, '\0');
    for (std::size_t i = 0; i < rozmiar; ++i) s[i] = static_cast<char>((i * 131 + ziarno * 7 + i / 251) & 0xFF);
    return s;
}

const std::string kPomijane = "<.><..><autorun.inf><slowniki>";

// The medium of most tests: skipped names at two levels, a skipped folder,
// an empty file, an empty folder, a file of several blocks and a read-only one.
const Stan kZrodlo = {
    {"AUTORUN.INF", "[autorun]"},
    {"readme.txt", "nowy readme"},
    {"pusty.dat", ""},
    {"duzy.bin", Wzor(100'000, 1)},
    {"tylko.txt", "RO:z plyty"},
    {"pusty\\", ""},
    {"slowniki\\", ""},
    {"slowniki\\ang.dic", "slownik"},
    {"sub\\", ""},
    {"sub\\Autorun.Inf", "[autorun]"},
    {"sub\\a.txt", "nowe a"},
    {"sub\\gleboki\\", ""},
    {"sub\\gleboki\\b.txt", "nowe b"},
    {"sub\\gleboki\\c.txt", "nowe c"},
};
// What kZrodlo leaves in an empty target.
const Stan kSkopiowane = {
    {"readme.txt", "nowy readme"}, {"pusty.dat", ""},         {"duzy.bin", Wzor(100'000, 1)},
    {"tylko.txt", "z plyty"},      {"pusty\\", ""},           {"sub\\", ""},
    {"sub\\a.txt", "nowe a"},      {"sub\\gleboki\\", ""},    {"sub\\gleboki\\b.txt", "nowe b"},
    {"sub\\gleboki\\c.txt", "nowe c"},
};
constexpr int kPlikowKopii = 7;
constexpr int kKatalogowKopii = 3;

// The medium kZrodlo in "cd" and the place of the target, "cel", in a fresh
// folder.
class DrzewoKopii : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sys::CreateFolder(zrodlo_));
        Buduj(zrodlo_, kZrodlo);
    }
    // The target there before the run, with `przed` in it.
    void PrzygotujCel(const Stan& przed = {}) {
        ASSERT_TRUE(sys::CreateFolder(cel_));
        Buduj(cel_, przed);
    }

    pomocnicy::KatalogTymczasowy tmp_{"velt-kopiowanie"};
    const std::string korzen_ = tmp_.Sciezka();
    const std::string zrodlo_ = korzen_ + "\\cd";
    const std::string cel_ = korzen_ + "\\cel";
};

// The window of a copy without the wizard: it counts the rounds of messages
// and keeps the gauge's position; no one cancels. Its clock moves a second at
// each reading, so that the copy shows every step.
class OknoTestowe final : public OknoInstalacji {
public:
    void PokazOpis(int) override {}
    void PokazPliki(const std::string&, const std::string&) override {}
    void UstawZakres(std::int32_t) override {}
    void Posun() override {}
    void UstawPozycje(std::int32_t p) override { pozycja = p; }
    void PrzetworzKomunikaty() override { ++komunikaty; }
    void Odswiez() override {}
    std::uint64_t Milisekundy() override { return zegar += 1000; }
    void ZablokujPrzerwanie() override {}
    bool SprawdzPrzerwanie() override { return false; }

    std::int32_t pozycja = 0;
    long komunikaty = 0;
    std::uint64_t zegar = 0;
};

// The copy on records of the test's own.
class KopiowanieBezKreatora : public DrzewoKopii {
protected:
    // A fresh tree and records for the next case of a table.
    void OdNowa() {
        tmp_.Odnow();
        dziennik_.Zakoncz();
        utworzone_.clear();
        skopiowane_.clear();
        postep_ = 0;
        okno_.pozycja = 0;
        okno_.komunikaty = 0;
        SetUp();
    }
    void Kopiuj(const std::string& zrodlo) { KopiujKatalog(stan_, okno_, zrodlo, cel_, kPomijane); }

    Dziennik dziennik_;
    std::vector<std::string> utworzone_, skopiowane_;
    std::int64_t postep_ = 0;
    StanKopiowania stan_{dziennik_, utworzone_, skopiowane_, postep_};
    OknoTestowe okno_;
};

// The copy run by the wizard, with its labels, gauge and question.
class Kopiowanie : public DrzewoKopii {
protected:
    void SetUp() override {
        DrzewoKopii::SetUp();
        anulujPrzy_.clear();
        anulujNumery_.clear();
        odpowiedzi_.clear();
        pytan_ = 0;
        plikow_ = plikowPrzyPytaniu_ = poPrzerwaniu_ = 0;
        ostatniPlik_.clear();
        pliki_.clear();
        katalogi_.clear();
        usuniete_.clear();
        postepy_.clear();
        chwile_.clear();
        zegar_ = 0;
        krok_ = 1000;
        backend_.SetClock([this] { return zegar_ += krok_; });
        UstawAppConst(RekordWydaniaInstalatora());
        app_ = std::make_unique<ui::Application>(backend_);
        UtworzFormularze(*app_);
        m_ = frmMain;
        // A gauge wide enough to show any position unclamped.
        m_->GaugePostep.SetMin(std::numeric_limits<std::int32_t>::min());
        m_->GaugePostep.SetMax(std::numeric_limits<std::int32_t>::max());
        backend_.SetMessageHook([this] { Komunikaty(); });
        backend_.SetModalHandler([this](ui::Form& f) { Pytanie(f); });
    }
    void TearDown() override {
        ZniszczFormularze(*app_);
        app_.reset();
    }
    // A fresh wizard and tree for the next case of a table.
    void OdNowa() {
        TearDown();
        tmp_.Odnow();
        SetUp();
    }

    // The target as the options page leaves it: made by the wizard, or there
    // before with `przed` in it.
    void PrzygotujCel(bool utworzony, const Stan& przed = {}) {
        DrzewoKopii::PrzygotujCel(przed);
        if (utworzony) m_->UtworzoneKatalogi.push_back(cel_);
    }
    void Kopiuj() { m_->KopiujKatalog(zrodlo_, cel_, kPomijane); }

    // The user: presses Cancel while the file whose source path ends in
    // `anulujPrzy` is shown, and while the files numbered in `anulujNumery`
    // are (counted from 1 in the order shown); answers from `odpowiedzi`.
    void Komunikaty() {
        if (m_->Przerwano) ++poPrzerwaniu_;
        if (!m_->btnZamknij.Enabled()) Usuniecia();
        else chwile_.push_back(zegar_);
        const std::string plik = m_->lblPlikZ.Caption();
        if (plik.empty() || plik == ostatniPlik_) return;
        ostatniPlik_ = plik;
        ++plikow_;
        const bool tenPlik = !anulujPrzy_.empty() && plik.size() >= anulujPrzy_.size() &&
                             plik.compare(plik.size() - anulujPrzy_.size(), anulujPrzy_.size(), anulujPrzy_) == 0;
        if (tenPlik || std::count(anulujNumery_.begin(), anulujNumery_.end(), plikow_) != 0)
            m_->PrzerwijZadane = true;
    }
    void Pytanie(ui::Form& f) {
        EXPECT_EQ(&f, frmPytanie);
        EXPECT_EQ(frmPytanie->lblPytanie.Caption(), PobierzTekst(0, TekstCzyPrzerwacInstalacje));
        const int odpowiedz = pytan_ < odpowiedzi_.size() ? odpowiedzi_[pytan_] : ui::mrNo;
        ++pytan_;
        pliki_ = m_->SkopiowanePliki;
        katalogi_ = m_->UtworzoneKatalogi;
        plikowPrzyPytaniu_ = plikow_;
        f.SetModalResult(odpowiedz);
    }
    // During the rollback: which of the listed entries went since last time.
    void Usuniecia() {
        std::vector<std::string> wszystkie = pliki_;
        wszystkie.insert(wszystkie.end(), katalogi_.begin(), katalogi_.end());
        for (const std::string& s : wszystkie) {
            if (sys::EntryExists(s) || std::find(usuniete_.begin(), usuniete_.end(), s) != usuniete_.end()) continue;
            usuniete_.push_back(s);
            postepy_.push_back(m_->GaugePostep.Progress());
        }
    }

    ui::headless::HeadlessBackend backend_;
    std::unique_ptr<ui::Application> app_;
    TfrmMain* m_ = nullptr;
    std::string anulujPrzy_;
    std::vector<int> anulujNumery_;
    std::vector<int> odpowiedzi_;
    std::size_t pytan_ = 0;
    int plikow_ = 0, plikowPrzyPytaniu_ = 0, poPrzerwaniu_ = 0;
    std::string ostatniPlik_;
    std::vector<std::string> pliki_, katalogi_, usuniete_;
    std::vector<std::int32_t> postepy_;
    // The window's clock, `krok_` milliseconds on at each reading, and its
    // time at each round of messages before any undo.
    std::uint64_t zegar_ = 0, krok_ = 1000;
    std::vector<std::uint64_t> chwile_;
};

std::int64_t BajtyKopii() {
    std::int64_t bajty = 0;
    for (const auto& [nazwa, tresc] : kSkopiowane) bajty += static_cast<std::int64_t>(tresc.size());
    return bajty;
}

TEST_F(Kopiowanie, CopiesTheTreeSkippingListedNamesAtEveryLevel) {
    struct Przypadek {
        std::uint64_t krok;  // the window's clock at each reading
        long komunikatow;    // rounds of messages
    };
    // A second at each reading: two rounds of messages per file (before it,
    // after it), one per folder, one at the end, none per block of the
    // 100,000-byte file. A clock that stands still, as for a copy faster than
    // the interval: the first file and the end.
    for (const Przypadek p : {Przypadek{1000, 2 * kPlikowKopii + kKatalogowKopii + 1}, Przypadek{0, 2}}) {
        SCOPED_TRACE(p.krok);
        OdNowa();
        krok_ = p.krok;
        PrzygotujCel(true);
        const long rundyPrzed = backend_.ProcessMessagesCount();
        Kopiuj();
        EXPECT_EQ(StanDrzewa(cel_), kSkopiowane) << "no skipped name, no backup, read-only source arrives writable";

        const std::int64_t bajty = BajtyKopii();
        EXPECT_EQ(m_->Postep, bajty);
        EXPECT_EQ(m_->GaugePostep.Progress(), bajty);

        std::set<std::string> pliki(m_->SkopiowanePliki.begin(), m_->SkopiowanePliki.end());
        std::set<std::string> oczekiwane;
        for (const auto& [nazwa, tresc] : kSkopiowane)
            if (nazwa.back() != '\\') oczekiwane.insert(cel_ + "\\" + nazwa);
        EXPECT_EQ(pliki, oczekiwane);
        ASSERT_EQ(m_->UtworzoneKatalogi.size(), 1u + kKatalogowKopii);
        EXPECT_EQ(m_->UtworzoneKatalogi.front(), cel_);
        const auto& k = m_->UtworzoneKatalogi;
        EXPECT_LT(std::find(k.begin(), k.end(), cel_ + "\\sub"),
                  std::find(k.begin(), k.end(), cel_ + "\\sub\\gleboki"));

        EXPECT_EQ(backend_.ProcessMessagesCount() - rundyPrzed, p.komunikatow);
        // The end shows the last file copied.
        const std::string& ostatni = m_->SkopiowanePliki.back();
        EXPECT_EQ(m_->lblPlikZ.Caption(), "Z: " + zrodlo_ + ostatni.substr(cel_.size()));
        EXPECT_EQ(m_->lblPlikDo.Caption(), "Do: " + ostatni);
        EXPECT_TRUE(BiezaceKopieZapasowe(m_->DziennikInstalacji.Wpisy()).empty());
        EXPECT_EQ(pytan_, 0u);
    }
}

TEST_F(KopiowanieBezKreatora, FilesOfEverySizeAroundTheBlock) {
    UsunDrzewo(zrodlo_);
    ASSERT_TRUE(sys::CreateFolder(zrodlo_));
    Stan drzewo;
    const std::size_t b = kBlokKopiowania;
    for (const std::size_t rozmiar : {std::size_t{0}, std::size_t{1}, b - 1, b, b + 1, 3 * b + 5})
        drzewo["f" + std::to_string(rozmiar) + ".bin"] = Wzor(rozmiar, static_cast<unsigned>(rozmiar));
    Buduj(zrodlo_, drzewo);
    PrzygotujCel();
    Kopiuj(zrodlo_);
    EXPECT_EQ(StanDrzewa(cel_), drzewo);
    EXPECT_EQ(postep_, static_cast<std::int64_t>(0 + 1 + (b - 1) + b + (b + 1) + (3 * b + 5)));
    EXPECT_EQ(okno_.komunikaty, 2 * static_cast<long>(drzewo.size()));
}

TEST_F(Kopiowanie, GaugeShowsTheLow32BitsOfTheProgress) {
    struct Przypadek {
        std::int64_t start;
    };
    // Across 2^31 (negative positions), across 2^32 (wrap) and above 4 GiB.
    for (const Przypadek p : {Przypadek{0}, Przypadek{(std::int64_t{1} << 31) - 50'000},
                              Przypadek{(std::int64_t{1} << 32) - 50'000}, Przypadek{5'000'000'000}}) {
        SCOPED_TRACE(p.start);
        OdNowa();
        PrzygotujCel(false);
        m_->Postep = p.start;
        Kopiuj();
        EXPECT_EQ(m_->GaugePostep.Progress(), Mlodsze32Bity(m_->Postep));
        EXPECT_EQ(m_->Postep - p.start, BajtyKopii());
    }
    EXPECT_EQ(Mlodsze32Bity(5'000'000'000), 705'032'704);
    EXPECT_EQ(Mlodsze32Bity((std::int64_t{1} << 32) + 7), 7);
    EXPECT_EQ(Mlodsze32Bity(std::int64_t{1} << 31), std::numeric_limits<std::int32_t>::min());
}

// What the target held before the run, with names the copy replaces and a
// name its backups would take.
const Stan kCelPrzed = {
    {"readme.txt", "stary readme"},
    {"readme.txt.velt-kopia", "plik uzytkownika"},
    {"wlasny.txt", "nie z plyty"},
    {"sub\\", ""},
    {"sub\\a.txt", "stare a"},
    {"sub\\inny.txt", "inny"},
};

TEST_F(Kopiowanie, ConfirmedCancelLeavesThePreviousTargetAsItWas) {
    struct Przypadek {
        const char* plik;  // the file being copied when Cancel is pressed
        bool celUtworzony;  // the wizard made the target folder (empty)
    };
    for (const Przypadek p : {Przypadek{"readme.txt", false}, Przypadek{"sub\\a.txt", false},
                              Przypadek{"sub\\gleboki\\b.txt", false}, Przypadek{"duzy.bin", true},
                              Przypadek{"sub\\gleboki\\c.txt", true}}) {
        SCOPED_TRACE(p.plik);
        OdNowa();
        PrzygotujCel(p.celUtworzony, p.celUtworzony ? Stan{} : kCelPrzed);
        Stan przed = StanDrzewa(korzen_);
        if (p.celUtworzony) przed.erase("cel\\");
        anulujPrzy_ = std::string("\\cd\\") + p.plik;
        odpowiedzi_ = {ui::mrYes};
        Kopiuj();

        EXPECT_EQ(pytan_, 1u);
        ASSERT_FALSE(pliki_.empty());
        EXPECT_EQ(pliki_.back(), cel_ + "\\" + p.plik) << "asked right after that file";
        EXPECT_TRUE(m_->Przerwano);
        EXPECT_EQ(poPrzerwaniu_, 0) << "no level went on after the rollback";
        EXPECT_EQ(StanDrzewa(korzen_), przed) << "created folders gone, earlier files byte for byte, no leftovers";
        EXPECT_TRUE(m_->SkopiowanePliki.empty());
        EXPECT_TRUE(m_->UtworzoneKatalogi.empty());
        EXPECT_TRUE(m_->DziennikInstalacji.Wpisy().empty()) << "the journal is finished";
        EXPECT_FALSE(m_->CofniecieNiepelne);
        EXPECT_FALSE(m_->btnZamknij.Enabled());
        EXPECT_EQ(m_->lblInstalacjaOpis.Caption(), PobierzTekst(0, TekstUsuwanieSkopiowanych));
        EXPECT_EQ(m_->lblPlikZ.Caption(), "");
        EXPECT_EQ(m_->lblPlikDo.Caption(), "");
        const auto doUsuniecia = static_cast<std::int32_t>(pliki_.size() + katalogi_.size());
        EXPECT_EQ(m_->GaugePostep.Min(), 0);
        EXPECT_EQ(m_->GaugePostep.Max(), doUsuniecia);
        EXPECT_EQ(m_->GaugePostep.Progress(), doUsuniecia);
    }
}

TEST_F(Kopiowanie, CancelDuringALongCopyOfSmallFilesAnswersWithinTheInterval) {
    // 400 small files in 4 folders, and the window's clock a millisecond on
    // at each reading: the copy shows itself every few dozen files.
    UsunDrzewo(zrodlo_);
    ASSERT_TRUE(sys::CreateFolder(zrodlo_));
    Stan drzewo;
    for (int k = 0; k < 4; ++k) {
        const std::string katalog = "k" + std::to_string(k) + "\\";
        drzewo[katalog] = "";
        for (int p = 0; p < 100; ++p) drzewo[katalog + "p" + std::to_string(p) + ".txt"] = "maly plik";
    }
    Buduj(zrodlo_, drzewo);
    PrzygotujCel(true);
    Stan przed = StanDrzewa(korzen_);
    przed.erase("cel\\");
    krok_ = 1;
    anulujNumery_ = {5};
    odpowiedzi_ = {ui::mrYes};
    Kopiuj();

    EXPECT_EQ(pytan_, 1u);
    EXPECT_EQ(plikowPrzyPytaniu_, 5);
    ASSERT_FALSE(pliki_.empty());
    EXPECT_EQ(pliki_.back(), cel_ + ostatniPlik_.substr(("Z: " + zrodlo_).size())) << "asked right after the file shown";
    EXPECT_GE(pliki_.size(), 5 * chwile_.size()) << "not a round of messages per file";
    for (std::size_t i = 1; i < chwile_.size(); ++i) EXPECT_LE(chwile_[i] - chwile_[i - 1], 100u) << i;
    EXPECT_TRUE(m_->Przerwano);
    EXPECT_EQ(StanDrzewa(korzen_), przed);
}

TEST_F(Kopiowanie, RollbackGoesNewestFileFirstThenDeepestFolderFirst) {
    PrzygotujCel(true);
    anulujPrzy_ = "\\gleboki\\c.txt";
    odpowiedzi_ = {ui::mrYes};
    Kopiuj();
    ASSERT_TRUE(m_->Przerwano);
    std::vector<std::string> oczekiwane(pliki_.rbegin(), pliki_.rend());
    oczekiwane.insert(oczekiwane.end(), katalogi_.rbegin(), katalogi_.rend());
    EXPECT_EQ(usuniete_, oczekiwane);
    ASSERT_FALSE(usuniete_.empty());
    for (std::size_t i = 0; i < postepy_.size(); ++i) EXPECT_EQ(postepy_[i], static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(usuniete_.back(), cel_) << "the target folder goes last";
    EXPECT_FALSE(sys::EntryExists(cel_));
}

TEST_F(Kopiowanie, DeclinedCancelGoesOnAndALaterCancelAsksAgain) {
    struct Przypadek {
        std::vector<int> numery;  // files during which Cancel is pressed
        std::vector<int> odpowiedzi;
        bool przerwano;
    };
    for (const Przypadek& p : {Przypadek{{2}, {ui::mrNo}, false}, Przypadek{{2, 5}, {ui::mrNo, ui::mrYes}, true},
                               Przypadek{{2, 5}, {ui::mrNo, ui::mrNo}, false}}) {
        SCOPED_TRACE(p.odpowiedzi.size());
        OdNowa();
        PrzygotujCel(false, kCelPrzed);
        const Stan przed = StanDrzewa(cel_);
        anulujNumery_ = p.numery;
        odpowiedzi_ = p.odpowiedzi;
        Kopiuj();
        EXPECT_EQ(pytan_, p.odpowiedzi.size());
        EXPECT_EQ(plikowPrzyPytaniu_, p.numery.back());
        EXPECT_EQ(m_->Przerwano, p.przerwano);
        if (p.przerwano) {
            EXPECT_EQ(StanDrzewa(cel_), przed);
        } else {
            EXPECT_FALSE(m_->PrzerwijZadane) << "a declined request is forgotten";
            Stan po = kCelPrzed;
            for (const auto& [nazwa, tresc] : kSkopiowane) po[nazwa] = tresc;
            EXPECT_EQ(StanDrzewa(cel_).size(), po.size() + 2) << "two backups wait for the end of the run";
            EXPECT_EQ(BiezaceKopieZapasowe(m_->DziennikInstalacji.Wpisy()).size(), 2u);
            ZakonczInstalacje(m_->DziennikInstalacji);
            EXPECT_EQ(StanDrzewa(cel_), po) << "the user's own backup-like name is kept";
            EXPECT_TRUE(m_->DziennikInstalacji.Wpisy().empty());
            EXPECT_EQ(m_->SkopiowanePliki.size(), static_cast<std::size_t>(kPlikowKopii));
        }
    }
}

TEST_F(Kopiowanie, CancelCheckAsksOnlyForAPendingRequest) {
    struct Przypadek {
        bool przerwano, zadane;
        int odpowiedz;
        bool wynik;
        std::size_t pytan;
    };
    for (const Przypadek p : {Przypadek{true, true, ui::mrYes, true, 0}, Przypadek{false, false, ui::mrYes, false, 0},
                              Przypadek{false, true, ui::mrNo, false, 1}, Przypadek{false, true, ui::mrCancel, false, 1},
                              Przypadek{false, true, ui::mrYes, true, 1}}) {
        m_->Przerwano = p.przerwano;
        m_->PrzerwijZadane = p.zadane;
        pytan_ = 0;
        odpowiedzi_ = {p.odpowiedz};
        EXPECT_EQ(m_->SprawdzPrzerwanie(), p.wynik);
        EXPECT_EQ(pytan_, p.pytan);
        EXPECT_EQ(m_->Przerwano, p.wynik);
        if (p.pytan == 1 && !p.wynik) {
            EXPECT_FALSE(m_->PrzerwijZadane);
        }
    }
}

TEST_F(Kopiowanie, CancelAfterTheWholeCopyUndoesEveryReplacement) {
    // The source holds a file named like a backup of another one.
    ASSERT_TRUE(sys::WriteWholeFile(zrodlo_ + "\\wlasny.txt", "z plyty"));
    ASSERT_TRUE(sys::WriteWholeFile(zrodlo_ + "\\wlasny.txt.velt-kopia", "tez z plyty"));
    PrzygotujCel(false, kCelPrzed);
    const Stan przed = StanDrzewa(cel_);
    Kopiuj();
    EXPECT_EQ(sys::ReadWholeFile(cel_ + "\\wlasny.txt", 100), "z plyty");
    EXPECT_EQ(sys::ReadWholeFile(cel_ + "\\wlasny.txt.velt-kopia", 100), "tez z plyty");
    m_->PrzerwijZadane = true;
    odpowiedzi_ = {ui::mrYes};
    EXPECT_TRUE(m_->SprawdzPrzerwanie());
    EXPECT_EQ(StanDrzewa(cel_), przed);
}

TEST_F(Kopiowanie, FailuresEndTheCopyAndKeepWhatWasThere) {
    enum class Przeszkoda { ZablokowaneZrodlo, CelTylkoDoOdczytu, KatalogZamiastPliku, PlikZamiastKatalogu };
    struct Przypadek {
        Przeszkoda przeszkoda;
        const char* opis;
    };
    for (const Przypadek p : {Przypadek{Przeszkoda::ZablokowaneZrodlo, "source open elsewhere without sharing"},
                              Przypadek{Przeszkoda::CelTylkoDoOdczytu, "read-only target"},
                              Przypadek{Przeszkoda::KatalogZamiastPliku, "a folder of the file's name"},
                              Przypadek{Przeszkoda::PlikZamiastKatalogu, "a file of a subfolder's name"}}) {
        SCOPED_TRACE(p.opis);
        OdNowa();
        // The obstacle is the 100,000-byte file (or the folder "sub"), which
        // the target holds in some form before the run.
        Stan przedCel = kCelPrzed;
        switch (p.przeszkoda) {
        case Przeszkoda::CelTylkoDoOdczytu: przedCel["duzy.bin"] = "RO:stary duzy"; break;
        case Przeszkoda::KatalogZamiastPliku: przedCel["duzy.bin\\"] = ""; break;
        // The folder cannot be created: its subtree is not left out silently.
        case Przeszkoda::PlikZamiastKatalogu:
            for (auto it = przedCel.begin(); it != przedCel.end();)
                it = it->first.rfind("sub\\", 0) == 0 ? przedCel.erase(it) : std::next(it);
            przedCel["sub"] = "plik, nie katalog";
            break;
        default: przedCel["duzy.bin"] = "stary duzy"; break;
        }
        PrzygotujCel(false, przedCel);
        sys::UniqueHandle<sys::FileHandleTraits> blokada;
        if (p.przeszkoda == Przeszkoda::ZablokowaneZrodlo) {
            // Open elsewhere without sharing: the system refuses it to the copy
            // (file permissions would not stop a privileged user).
            const std::string duzy = zrodlo_ + "\\duzy.bin";
            const std::wstring sciezka(duzy.begin(), duzy.end());
            blokada.reset(CreateFileW(sciezka.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(blokada);
        }
        EXPECT_THROW(Kopiuj(), BladProgramu);
        blokada.reset();

        const Stan po = StanDrzewa(cel_);
        const auto wzgledna = [&](const std::string& sciezka) { return sciezka.substr(cel_.size() + 1); };
        std::set<std::string> skopiowane, znane;
        for (const std::string& plik : m_->SkopiowanePliki) {
            skopiowane.insert(wzgledna(plik));
            EXPECT_EQ(po.count(wzgledna(plik)) ? po.at(wzgledna(plik)) : "<none>", kSkopiowane.at(wzgledna(plik)))
                << "copied before the failure, stays";
        }
        const auto& wpisy = m_->DziennikInstalacji.Wpisy();
        for (const KopiaZapasowa& k : BiezaceKopieZapasowe(wpisy)) {
            EXPECT_NE(Pole(wpisy[k.wpis], 0), cel_ + "\\duzy.bin") << "no backup left for the file that failed";
            znane.insert(wzgledna(k.nazwa));
        }
        for (const std::string& k : m_->UtworzoneKatalogi) znane.insert(wzgledna(k) + "\\");
        for (const auto& [nazwa, tresc] : przedCel) {
            if (skopiowane.count(nazwa) != 0) continue;
            EXPECT_EQ(po.count(nazwa) ? po.at(nazwa) : "<none>", tresc) << nazwa << ": untouched or put back";
        }
        for (const auto& [nazwa, tresc] : po)
            EXPECT_TRUE(przedCel.count(nazwa) || skopiowane.count(nazwa) || znane.count(nazwa)) << nazwa << ": left behind";
        EXPECT_FALSE(m_->Przerwano);
    }
}

TEST_F(KopiowanieBezKreatora, ReadFailureAfterTheTargetWasSetAsidePutsItBack) {
    // A source that opens but fails on reading: the process memory file of
    // the host system, seen through Wine's drive of the root folder.
    const std::string zepsute = "Z:\\proc\\self\\mem";
    for (const bool istnial : {true, false}) {
        SCOPED_TRACE(istnial);
        OdNowa();
        PrzygotujCel(istnial ? Stan{{"plik.dat", "stara tresc"}} : Stan{});
        const Stan przed = StanDrzewa(cel_);
        EXPECT_THROW(KopiujPlik(stan_, okno_, zepsute, cel_ + "\\plik.dat"), BladProgramu);
        EXPECT_EQ(StanDrzewa(cel_), przed) << "no partial file, no backup left";
        EXPECT_TRUE(BiezaceKopieZapasowe(dziennik_.Wpisy()).empty());
    }
}

TEST_F(KopiowanieBezKreatora, MissingSourceFolderIsAnErrorAndCopiesNothing) {
    // The disc taken out after it was chosen: the run must not end as a
    // success with nothing of the tree installed.
    PrzygotujCel();
    EXPECT_THROW(Kopiuj(korzen_ + "\\nie-ma"), BladProgramu);
    EXPECT_TRUE(StanDrzewa(cel_).empty());
    EXPECT_EQ(okno_.komunikaty, 0);
}

// A medium whose folder links back to itself ("petla\\wstecz" is a symbolic
// link to "petla", made beside this program by the build): neither the size
// walk nor the copy follows it, so both end.
TEST_F(KopiowanieBezKreatora, LinksOnTheMediumAreNotFollowed) {
    const std::string petla = "petla";
    auto link = sys::DirectoryEnumeration::Open(petla + "\\wstecz");
    const auto wpis = link.Next();
    if (!wpis || !wpis->IsReparsePoint()) GTEST_SKIP() << "no link in " << petla;
    EXPECT_EQ(RozmiarKatalogu(petla, kPomijane), 4);
    PrzygotujCel();
    Kopiuj(petla);
    EXPECT_EQ(StanDrzewa(cel_), (Stan{{"a.txt", "alfa"}, {"wstecz\\", ""}}));
}

// A cancel asked for during the last step that can be cancelled is answered
// at its end, not dropped.
TEST(KrokiInstalacji, EveryStepEndsAtAStopPoint) {
    Dziennik d;
    bool zadane = false;
    int pytan = 0;
    const KrokInstalacji kroki[] = {{"a", [] {}}, {"ostatni", [&] { zadane = true; }}};
    EXPECT_FALSE(WykonajKroki(d, kroki, [&] {
        ++pytan;
        return zadane;
    }));
    EXPECT_EQ(pytan, 2);
}

// The undo of a journal whose objects someone changed after the run: each
// step touches only what is still the run's, and what it cannot do now stays
// for the next start.
TEST_F(KopiowanieBezKreatora, UndoLeavesWhatChangedSinceAndKeepsWhatFailed) {
    enum class Potem { Nic, Zastapiony, Przepisany, Otwarty };
    struct Przypadek {
        const char* opis;
        bool byl;     // a file of the user's was there before the run
        Potem potem;  // what became of the run's file after it
        std::string oczekiwany;  // content afterwards ("" none)
        bool zostaje;  // the step stays for the next start
    };
    const Przypadek przypadki[] = {
        {"a new file, untouched", false, Potem::Nic, "", false},
        {"a new file, replaced since by another installation's", false, Potem::Zastapiony, "inny", false},
        // The same file, of the same number: only its stamp tells.
        {"a new file, rewritten in place since", false, Potem::Przepisany, "przepisany", false},
        {"a new file, held open", false, Potem::Otwarty, "nowy", true},
        {"a replaced file, untouched", true, Potem::Nic, "stary", false},
        {"a replaced file, replaced again since", true, Potem::Zastapiony, "inny", false},
        {"a replaced file whose successor is held open", true, Potem::Otwarty, "nowy", true},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        OdNowa();
        const std::string plik = cel_ + "\\plik.txt";
        PrzygotujCel(p.byl ? Stan{{"plik.txt", "stary"}} : Stan{});
        // The run: the copy's own way of writing a file.
        ASSERT_TRUE(sys::WriteWholeFile(zrodlo_ + "\\plik.txt", "nowy"));
        KopiujPlik(stan_, okno_, zrodlo_ + "\\plik.txt", plik);
        ASSERT_EQ(sys::ReadWholeFile(plik, 100), "nowy");
        sys::UniqueHandle<sys::FileHandleTraits> otwarty;
        if (p.potem == Potem::Zastapiony) {
            // Another installation's way: its own file moved over the name.
            ASSERT_TRUE(sys::WriteWholeFile(plik + ".inny", "inny"));
            ASSERT_TRUE(sys::MoveReplacing(plik + ".inny", plik));
        } else if (p.potem == Potem::Przepisany) {
            const auto numer = sys::FileNumber(plik);
            ASSERT_TRUE(sys::WriteWholeFile(plik, "przepisany"));
            ASSERT_EQ(sys::FileNumber(plik), numer);
        } else if (p.potem == Potem::Otwarty) {
            otwarty.reset(CreateFileW(sys::ToWide(plik).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      0, nullptr));
            ASSERT_TRUE(otwarty);
        }
        const WynikCofania wynik = WycofajWpisy(dziennik_.Wpisy(), false);
        otwarty.reset();
        EXPECT_EQ(sys::ReadWholeFile(plik, 100).value_or(""), p.oczekiwany);
        EXPECT_EQ(!wynik.pozostale.empty(), p.zostaje);
        EXPECT_EQ(wynik.pominiete, p.potem == Potem::Zastapiony || p.potem == Potem::Przepisany ? 1u : 0u);
        // What stays is done at the next start, once nothing holds the file.
        const WynikCofania ponownie = WycofajWpisy(wynik.pozostale, true);
        EXPECT_TRUE(ponownie.pozostale.empty());
        if (p.zostaje) {
            EXPECT_EQ(sys::ReadWholeFile(plik, 100).value_or(""), p.byl ? "stary" : "");
        }
    }
}

// A registry value goes back only while nobody wrote its key after the run,
// and a journal left by a run only in the hive of the account that wrote it.
TEST(Cofanie, RegistryValueWrittenSinceOrOfAnotherAccountIsLeft) {
    const std::string sciezka = "Software\\VeltTest\\Cofanie";
    sys::Ignore(sys::RegistryKey::DeleteTree(sys::RegistryRoot::CurrentUser, "Software\\VeltTest"), "a fresh key");
    enum class Potem { Nic, ZapisanyPozniej, InneKonto, KontoNieznane };
    for (const Potem potem : {Potem::Nic, Potem::ZapisanyPozniej, Potem::InneKonto, Potem::KontoNieznane}) {
        SCOPED_TRACE(static_cast<int>(potem));
        Dziennik d;
        auto klucz = OtworzKlucz(&d, sys::RegistryRoot::CurrentUser, sciezka);
        ASSERT_TRUE(klucz);
        ASSERT_TRUE(klucz->WriteString("Wartosc", "przed"));
        ASSERT_TRUE(ZapiszWartosc(&d, *klucz, sys::RegistryRoot::CurrentUser, sciezka, "Wartosc",
                                  sys::RegistryKey::StringValue("runu")));
        std::vector<WpisDziennika> wpisy = d.Wpisy();
        for (WpisDziennika& w : wpisy) {
            if (w.rodzaj != RodzajWpisu::Wartosc && w.rodzaj != RodzajWpisu::CzasKlucza) continue;
            // Written by the run long before the key's last write.
            if (potem == Potem::ZapisanyPozniej) w.pola[w.rodzaj == RodzajWpisu::Wartosc ? 7 : 2] = "0";
            ASSERT_EQ(w.pola[0], "HKCU:" + sys::ProcessUserSid()) << "whose hive it is";
            if (potem == Potem::InneKonto) w.pola[0] = "HKCU:S-1-5-21-1-2-3-1001";
            if (potem == Potem::KontoNieznane) w.pola[0] = "HKCU";
        }
        // Replayed from a journal that a run left.
        const WynikCofania wynik = WycofajWpisy(wpisy, false, nullptr, sys::CurrentFileTime());
        EXPECT_EQ(klucz->ReadString("Wartosc"), potem == Potem::Nic ? "przed" : "runu");
        EXPECT_EQ(wynik.pominiete, potem == Potem::Nic ? 0u : 1u);
        d.Zakoncz();
    }
    sys::Ignore(sys::RegistryKey::DeleteTree(sys::RegistryRoot::CurrentUser, "Software\\VeltTest"), "clean-up");
}

// No undo step follows a link: a folder on the way that is a link now (here
// a link of the host's, which Wine shows to the name alone) leaves the file
// it leads to alone, and so does a file of the run's number on another
// volume. "petla\\wstecz", made beside this program by the build, links to
// its own folder.
TEST(Cofanie, NoStepFollowsALinkNorTakesAFileOfAnotherVolume) {
    const std::string petla = sys::FullPath("petla").value_or("");
    const auto a = sys::Attributes(petla + "\\wstecz");
    if (!a || !(*a & FILE_ATTRIBUTE_REPARSE_POINT)) GTEST_SKIP() << "no link at " << petla << "\\wstecz";
    const std::string plik = petla + "\\ofiara.txt", kopia = plik + ".velt-kopia";
    const std::string przezLink = petla + "\\wstecz\\ofiara.txt", kopiaPrzezLink = przezLink + ".velt-kopia";
    struct Przypadek {
        const char* opis;
        bool zachowaj;  // the records kept (ZachowajWpisy) instead of undone
        std::function<std::vector<WpisDziennika>(const sys::EntryInfo&, const sys::EntryInfo&)> wpisy;
    };
    const auto stempel = [](const sys::EntryInfo& i) { return TekstStempla({i.stamp.size, i.stamp.writeTime}); };
    const Przypadek przypadki[] = {
        {"a new file, through the link", false,
         [&](const sys::EntryInfo& i, const sys::EntryInfo&) {
             return std::vector<WpisDziennika>{{RodzajWpisu::Plik, {przezLink}},
                                               WpisNumeru(przezLink, {i.number, i.volume, std::nullopt})};
         }},
        {"a new file, of the run's number on another volume", false,
         [&](const sys::EntryInfo& i, const sys::EntryInfo&) {
             return std::vector<WpisDziennika>{{RodzajWpisu::Plik, {plik}},
                                               WpisNumeru(plik, {i.number, i.volume + 1, std::nullopt})};
         }},
        {"a backup restored through the link", false,
         [&](const sys::EntryInfo& i, const sys::EntryInfo& k) {
             return std::vector<WpisDziennika>{
                 {RodzajWpisu::Zastapiony, {przezLink, kopiaPrzezLink, stempel(k), stempel(i), przezLink + ".velt-nowy"}}};
         }},
        {"a backup removed through the link as the run is kept", true,
         [&](const sys::EntryInfo& i, const sys::EntryInfo& k) {
             return std::vector<WpisDziennika>{
                 {RodzajWpisu::Zastapiony, {przezLink, kopiaPrzezLink, stempel(k), stempel(i), przezLink + ".velt-nowy"}}};
         }},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        ASSERT_TRUE(sys::WriteWholeFile(plik, "nie runu"));
        ASSERT_TRUE(sys::WriteWholeFile(kopia, "kopia"));
        const auto i = sys::File::OpenAttributes(plik).Info(), k = sys::File::OpenAttributes(kopia).Info();
        ASSERT_TRUE(i && k);
        const auto wpisy = p.wpisy(*i, *k);
        if (p.zachowaj) {
            ZachowajWpisy(wpisy);
        } else {
            const WynikCofania wynik = WycofajWpisy(wpisy, true, nullptr, sys::CurrentFileTime());
            EXPECT_EQ(wynik.pominiete, 1u);
            EXPECT_TRUE(wynik.pozostale.empty());
        }
        EXPECT_EQ(sys::ReadWholeFile(plik, 100).value_or(""), "nie runu");
        EXPECT_EQ(sys::ReadWholeFile(kopia, 100).value_or(""), "kopia");
        sys::Ignore(sys::RemoveFile(plik), "clean-up");
        sys::Ignore(sys::RemoveFile(kopia), "clean-up");
    }
}

TEST(KopiowanieZasady, FolderThatCannotBeListed) {
    struct Przypadek {
        std::uint32_t kod;
        bool istnieje, blad;
    };
    for (const Przypadek p : {
             Przypadek{ERROR_PATH_NOT_FOUND, false, true},   // the source is gone: the disc was taken out
             Przypadek{ERROR_FILE_NOT_FOUND, false, true},
             Przypadek{ERROR_NOT_READY, false, true},        // a drive without its disc
             Przypadek{ERROR_FILE_NOT_FOUND, true, false},   // an empty drive root
             Przypadek{ERROR_NO_MORE_FILES, true, false},
             Przypadek{ERROR_ACCESS_DENIED, true, true},     // there, but not listable
             Przypadek{ERROR_CRC, true, true},               // a damaged folder
         }) {
        EXPECT_EQ(BladOtwarciaKatalogu(p.kod, p.istnieje), p.blad) << p.kod << " " << p.istnieje;
    }
}

TEST(KopiowanieZasady, BackupNames) {
    EXPECT_EQ(NazwaKopiiZapasowej("C:\\a\\b.dll", 1), "C:\\a\\b.dll.velt-kopia");
    EXPECT_EQ(NazwaKopiiZapasowej("C:\\a\\b.dll", 2), "C:\\a\\b.dll.velt-kopia2");
    EXPECT_EQ(NazwaKopiiZapasowej("C:\\a\\b.dll", 10), "C:\\a\\b.dll.velt-kopia10");
}

}  // namespace
