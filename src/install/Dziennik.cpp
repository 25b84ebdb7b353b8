#include "install/Dziennik.h"

#include "base/Blad.h"
#include "base/Narzedzia.h"
#include "install/Protokol.h"
#include "sys/folders.h"
#include "sys/fonts.h"
#include "sys/result.h"
#include "sys/security.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

namespace {

Dziennik* biezacy = nullptr;

// A journal bigger than this is not one of ours.
constexpr std::size_t kNajwiekszyDziennik = 256u << 20;
// Enough for any folder, however many names its owner gave away.
constexpr unsigned kProbyNazwy = 10000;
constexpr std::string_view kNazwaDziennika = "instal";
constexpr std::string_view kRozszerzenieDziennika = ".dzn";
// How long after the time a Wartosc record took the run's own write may
// land, for a run that died before it could record the key's time itself:
// the two are a few system calls apart. Too short only leaves a value of the
// run's in place; no other installation writes the key that soon after a run
// died.
constexpr std::uint64_t kToleracjaCzasuKlucza = 2'000'000ull;  // 200 ms in FILETIME units

std::string_view NazwaKorzenia(sys::RegistryRoot k) {
    return k == sys::RegistryRoot::LocalMachine ? "HKLM" : "HKCU";
}
sys::RegistryRoot Korzen(std::string_view nazwa) {
    return nazwa == "HKLM" ? sys::RegistryRoot::LocalMachine : sys::RegistryRoot::CurrentUser;
}

std::string KatalogNadrzedny(const std::string& sciezka) {
    const auto p = sciezka.find_last_of('\\');
    return p == std::string::npos ? std::string() : sciezka.substr(0, p);
}

std::string WolnaNazwa(const std::string& plik, std::string (*nazwa)(std::string_view, unsigned)) {
    for (unsigned numer = 1; numer <= kProbyNazwy; ++numer) {
        std::string n = nazwa(plik, numer);
        if (!sys::EntryExists(n)) return n;
    }
    return {};
}

std::optional<StempelPliku> Stempel(const std::string& plik) {
    const auto s = sys::StampOf(plik);
    if (!s) return std::nullopt;
    return StempelPliku{s->size, s->writeTime};
}

std::optional<sys::RegistryKey::RawValue> Wartosc(std::string_view typ, std::string_view dane) {
    if (typ == kBrakWartosci) return std::nullopt;
    std::uint32_t t = 0;
    for (const char c : typ) t = t * 10 + static_cast<std::uint32_t>(c - '0');
    return sys::RegistryKey::RawValue{t, std::string(dane)};
}

// The number `numer` of journal `nazwa`: "instal.dzn" is 1, "instalN.dzn" is N.
std::optional<unsigned> NumerDziennika(std::string_view nazwa) {
    const std::string male = NaMale(nazwa);
    if (male.size() < kNazwaDziennika.size() + kRozszerzenieDziennika.size() ||
        male.compare(0, kNazwaDziennika.size(), kNazwaDziennika) != 0 ||
        male.compare(male.size() - kRozszerzenieDziennika.size(), std::string::npos, kRozszerzenieDziennika) != 0)
        return std::nullopt;
    const std::string_view cyfry(male.data() + kNazwaDziennika.size(),
                                 male.size() - kNazwaDziennika.size() - kRozszerzenieDziennika.size());
    if (cyfry.empty()) return 1u;
    unsigned n = 0;
    for (const char c : cyfry) {
        if (c < '0' || c > '9' || n > kProbyNazwy) return std::nullopt;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return n;
}

std::string NazwaDziennika(unsigned numer) {
    std::string n(kNazwaDziennika);
    if (numer > 1) n += std::to_string(numer);
    return n + std::string(kRozszerzenieDziennika);
}

}  // namespace

// ---- the journal ----

Dziennik::~Dziennik() {
    // A journal still open here belongs to a run that did not end: its file
    // stays for the next start.
    sys::Ignore(plik_.Close(), "the records written so far are on their way to the disk");
}

bool Dziennik::Rozpocznij(const std::string& sciezka, std::int32_t wydanie, const std::string& katalogDocelowy) {
    sys::Ignore(plik_.Close(), "a previous file of this object is finished");
    wpisy_.clear();
    sciezka_ = sciezka;
    bladPliku_ = ERROR_PATH_NOT_FOUND;
    if (!sciezka.empty()) {
        sys::Ignore(sys::CreateFolder(KatalogNadrzedny(sciezka)), "usually exists");
        // Never over a journal that waits for its question.
        plik_ = sys::File::CreateNew(sciezka);
        bladPliku_ = plik_ ? 0 : plik_.error();
        if (!plik_) sciezka_.clear();
    }
    Zapisz(RodzajWpisu::Poczatek, {std::to_string(wydanie), katalogDocelowy});
    Utrwal();
    return ZapisujeDoPliku();
}

void Dziennik::Zapisz(RodzajWpisu rodzaj, std::initializer_list<std::string_view> pola) {
    WpisDziennika wpis{rodzaj, {}};
    wpis.pola.reserve(pola.size());
    for (std::string_view p : pola) wpis.pola.emplace_back(p);
    if (plik_) {
        const std::string bajty = KodujWpis(wpis);
        const sys::Transfer t = plik_.Write(bajty.data(), bajty.size());
        // A journal that cannot be written must not stop the installation it
        // guards; what it lacks cannot be undone after a crash.
        if (t.error != 0) {
            bladPliku_ = t.error;
            sys::Ignore(plik_.Close(), "the run goes on without its file");
            Protokoluj("Warning: the installation journal ", sciezka_, " cannot be written: ", BladSystemu{t.error},
                       "; a run that dies from here on cannot be undone at the next start");
        }
    }
    wpisy_.push_back(std::move(wpis));
}

void Dziennik::Utrwal() {
    if (plik_) sys::Ignore(plik_.Flush(), "the records are in the system's hands already");
}

void Dziennik::Zakoncz() {
    sys::Ignore(plik_.Close(), "the file is deleted next");
    if (!sciezka_.empty()) UsunDziennik(sciezka_);
    sciezka_.clear();
    wpisy_.clear();
}

void Dziennik::ZostawDoPonowienia(const std::vector<WpisDziennika>& pozostale) {
    sys::Ignore(plik_.Close(), "the file is written anew next");
    if (sciezka_.empty() || !ZapiszDziennik(sciezka_, DoPonowienia(wpisy_, pozostale)))
        Protokoluj("Warning: the steps left undone cannot be kept for the next start: no journal file");
    sciezka_.clear();
    wpisy_.clear();
}

Dziennik* Dziennik::Biezacy() noexcept { return biezacy; }

BiezacyDziennik::BiezacyDziennik(Dziennik& d) noexcept : poprzedni_(biezacy) { biezacy = &d; }
BiezacyDziennik::~BiezacyDziennik() { biezacy = poprzedni_; }

// ---- where the journals live ----

namespace {

// Where the system keeps no owners or DACLs of files (Wine), the account
// running the wizard is all an owner can be: said once, as what is trusted.
void ZaufanieBezDeskryptorow() {
    static bool powiedziane = false;
    if (sys::SystemKeepsFileSecurity() || std::exchange(powiedziane, true)) return;
    Protokoluj("Warning: this system keeps no owners or access rights of files (Wine): the journal folder and its "
               "journals are trusted when the account running the wizard owns them and no one else may write to them");
}

std::string NazwaNiezaufanego(std::string_view dziennik, unsigned numer) {
    std::string n(dziennik);
    n += ".niezaufany";
    if (numer > 1) n += std::to_string(numer);
    return n;
}

// Renamed rather than deleted: the scan passes it over all the same, and an
// administrator can still see what was planted, or what an older wizard left
// in a folder it had not protected.
void OdlozNiezaufany(const std::string& sciezka) {
    const std::string nowa = WolnaNazwa(sciezka, &NazwaNiezaufanego);
    const sys::Result r = nowa.empty() ? sys::Result{ERROR_FILE_EXISTS} : sys::MoveEntry(sciezka, nowa);
    if (r)
        Protokoluj("Warning: the journal ", sciezka,
                   " is not replayed: others than administrators could have written it; set aside as ", nowa);
    else
        Protokoluj("Warning: the journal ", sciezka,
                   " is not replayed: others than administrators could have written it; it stays: ",
                   BladSystemu{r.error});
}

}  // namespace

std::string KatalogDziennikow() {
    std::string katalog = sys::ShellFolder(sys::RegistryRoot::LocalMachine, "Common AppData").value_or("");
    if (katalog.empty()) return {};
    if (katalog.back() != '\\') katalog += '\\';
    return katalog + "Zelpax";
}

sys::Result PrzygotujKatalogDziennikow() {
    const std::string katalog = KatalogDziennikow();
    if (katalog.empty()) return sys::Result{ERROR_PATH_NOT_FOUND};
    ZaufanieBezDeskryptorow();
    const sys::Access dostep = sys::FolderAccess(katalog);
    if (dostep == sys::Access::AdminsOnly) return {};
    sys::Result r;
    bool obcy = dostep == sys::Access::Others;
    if (!obcy) {
        r = sys::CreateAdminFolder(katalog);
        // Made by someone else since the look.
        obcy = r.error == ERROR_ALREADY_EXISTS;
    }
    if (obcy) r = sys::ProtectFolder(katalog);
    // A system that took the descriptor without keeping it.
    if (r && sys::FolderAccess(katalog) != sys::Access::AdminsOnly) r = sys::Result{ERROR_NOT_SUPPORTED};
    if (!r)
        Protokoluj("Warning: the journal folder ", katalog, " cannot be kept for administrators alone (",
                   BladSystemu{r.error}, "): no journal is read from it or written to it");
    else if (obcy)
        Protokoluj("Warning: the journal folder ", katalog,
                   " could be changed by others than administrators; it is kept for administrators alone now");
    return r;
}

std::string NowaSciezkaDziennika() {
    if (!PrzygotujKatalogDziennikow()) return {};
    const std::string katalog = KatalogDziennikow();
    for (unsigned numer = 1; numer <= kProbyNazwy; ++numer) {
        std::string sciezka = katalog + "\\" + NazwaDziennika(numer);
        if (!sys::EntryExists(sciezka)) return sciezka;
    }
    return {};
}

std::vector<std::string> PozostawioneDzienniki() {
    const std::string katalog = KatalogDziennikow();
    if (katalog.empty()) return {};
    const sys::Access dostep = sys::FolderAccess(katalog);
    if (dostep == sys::Access::Missing) return {};
    // A folder that others could change may hold anything of theirs, under
    // any name and, renamed in, under any owner (under Wine every file shows
    // the same one): none of its journals is replayed. It is taken back
    // first, so that nothing more comes in; one that cannot be is not touched.
    const bool zaufany = dostep == sys::Access::AdminsOnly;
    if (zaufany) ZaufanieBezDeskryptorow();
    else if (!PrzygotujKatalogDziennikow()) return {};
    std::vector<std::pair<unsigned, std::string>> nazwy, znalezione;
    auto lista = sys::DirectoryEnumeration::Open(katalog + "\\" + std::string(kNazwaDziennika) + "*" +
                                                 std::string(kRozszerzenieDziennika));
    while (const auto wpis = lista.Next()) {
        if (wpis->IsFolder()) continue;
        if (const auto numer = NumerDziennika(wpis->name)) nazwy.emplace_back(*numer, katalog + "\\" + wpis->name);
    }
    // A file that a user owns or may write is theirs whatever the folder.
    for (auto& z : nazwy) {
        if (zaufany && sys::FileAccess(z.second) == sys::Access::AdminsOnly) znalezione.push_back(std::move(z));
        else OdlozNiezaufany(z.second);
    }
    std::sort(znalezione.begin(), znalezione.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> wynik;
    for (auto& [numer, sciezka] : znalezione) wynik.push_back(std::move(sciezka));
    return wynik;
}

std::optional<OdczytDziennika> WczytajDziennik(const std::string& sciezka) {
    if (sciezka.empty() || !sys::FileExists(sciezka)) return std::nullopt;
    const auto bajty = sys::ReadWholeFile(sciezka, kNajwiekszyDziennik);
    if (!bajty) return std::nullopt;
    return CzytajDziennik(std::span(reinterpret_cast<const std::uint8_t*>(bajty->data()), bajty->size()));
}

bool ZapiszDziennik(const std::string& sciezka, const std::vector<WpisDziennika>& wpisy) {
    std::string bajty;
    for (const WpisDziennika& w : wpisy) bajty += KodujWpis(w);
    const std::string nowy = NazwaTymczasowa(sciezka, 1);
    {
        sys::File plik = sys::File::Create(nowy);
        if (!plik) return false;
        const sys::Transfer t = plik.Write(bajty.data(), bajty.size());
        const sys::Result utrwalony = plik.Flush();
        if (t.error != 0 || !utrwalony || !plik.Close()) {
            sys::Ignore(sys::RemoveFile(nowy), "a torn copy is never read: it is not a journal's name");
            return false;
        }
    }
    if (sys::MoveReplacing(nowy, sciezka)) return true;
    sys::Ignore(sys::RemoveFile(nowy), "the journal stays as it was");
    return false;
}

void UsunDziennik(const std::string& sciezka) {
    sys::Ignore(sys::RemoveFile(sciezka), "a journal that stays is read again at the next start");
    sys::Ignore(sys::RemoveFolder(KatalogNadrzedny(sciezka)), "only an empty folder goes");
}

// ---- each change and its undo ----

namespace {

enum class Krok {
    Zrobiony,    // undone, or nothing was left to undo
    Pominiety,   // its object changed since the run: left as it is
    Nieudany,    // the system refused; tried again at the next start
    Zostawiony,  // a folder that holds more than the run put in it
};

}  // namespace

// Folders.

sys::Result UtworzKatalog(Dziennik* d, const std::string& katalog) {
    if (sys::EntryExists(katalog)) return sys::Result{ERROR_ALREADY_EXISTS};
    if (d) d->Zapisz(RodzajWpisu::Katalog, {katalog});
    return sys::CreateFolder(katalog);
}

namespace {
Krok CofnijKatalog(const WpisDziennika& w) {
    const std::string& katalog = Pole(w, 0);
    if (!sys::FolderExists(katalog)) return Krok::Zrobiony;
    if (sys::RemoveFolder(katalog)) {
        Protokoluj("Rollback: folder ", katalog, " removed");
        return Krok::Zrobiony;
    }
    Protokoluj("Rollback: folder ", katalog, " kept (not empty or in use)");
    return Krok::Zostawiony;
}
}  // namespace

// New files and temporary files.

namespace {
void ZapiszNumer(Dziennik* d, const std::string& sciezka, const sys::File& plik) {
    if (!d) return;
    if (const auto numer = plik.Number()) d->Zapisz(RodzajWpisu::Numer, {sciezka, TekstNumeru(*numer)});
}
}  // namespace

sys::File UtworzPlik(Dziennik* d, const std::string& sciezka) {
    // A name that is taken fails below; it gets no record.
    if (!d || sys::EntryExists(sciezka)) return sys::File::CreateNew(sciezka);
    d->Zapisz(RodzajWpisu::Plik, {sciezka});
    sys::File plik = sys::File::CreateNew(sciezka);
    if (plik) ZapiszNumer(d, sciezka, plik);
    return plik;
}

PlikTymczasowy UtworzTymczasowy(Dziennik* d, const std::string& cel) {
    PlikTymczasowy t{WolnaNazwa(cel, &NazwaTymczasowa), {}};
    if (t.sciezka.empty()) throw BladProgramu("no free temporary name beside \"" + cel + "\"");
    if (d) d->Zapisz(RodzajWpisu::Tymczasowy, {t.sciezka});
    t.plik = sys::File::CreateNew(t.sciezka);
    if (t.plik) ZapiszNumer(d, t.sciezka, t.plik);
    return t;
}

sys::Result KopiujPlikSystemu(Dziennik* d, const std::string& zrodlo, const std::string& cel) {
    if (sys::EntryExists(cel)) return sys::Result{ERROR_FILE_EXISTS};
    if (d) d->Zapisz(RodzajWpisu::Plik, {cel, kWspolny});
    const sys::Result r = sys::CopyFileTo(zrodlo, cel, true);
    if (r && d)
        if (const auto numer = sys::FileNumber(cel)) d->Zapisz(RodzajWpisu::Numer, {cel, TekstNumeru(*numer)});
    return r;
}

namespace {
// Whether the file at `sciezka` is the one the run created: the number the
// run recorded, or, when the run died before it could record one, a file
// still empty (it died right after creating it; whatever came later has
// content).
bool PlikRunu(const std::string& sciezka, const std::optional<std::uint64_t>& numer) {
    if (numer) return sys::FileNumber(sciezka) == numer;
    const auto s = sys::StampOf(sciezka);
    return s && s->size == 0;
}

Krok UsunPlikRunu(const std::string& sciezka, bool ponowne) {
    // A file copied from a CD keeps its read-only attribute.
    if (const auto a = sys::Attributes(sciezka); a && (*a & FILE_ATTRIBUTE_READONLY))
        sys::Ignore(sys::SetAttributes(sciezka, *a & ~static_cast<std::uint32_t>(FILE_ATTRIBUTE_READONLY)),
                    "the delete below says whether it matters");
    const sys::Result r = sys::RemoveFile(sciezka);
    if (r) {
        Protokoluj("Rollback: file removed: ", sciezka);
        return Krok::Zrobiony;
    }
    if (ponowne && sys::MoveAtNextStart(sciezka, "")) {
        Protokoluj("Rollback: file ", sciezka, " cannot be removed now (", BladSystemu{r.error},
                   "); Windows removes it when it next starts");
        return Krok::Zrobiony;
    }
    Protokoluj("Warning: rollback: file not removed: ", sciezka, ": ", BladSystemu{r.error},
               "; tried again at the next start of the wizard");
    return Krok::Nieudany;
}

Krok CofnijPlik(const WpisDziennika& w, const std::optional<std::uint64_t>& numer, bool ponowne) {
    const std::string& plik = Pole(w, 0);
    if (!sys::EntryExists(plik)) return Krok::Zrobiony;
    if (!PlikRunu(plik, numer)) {
        Protokoluj("Rollback: skipped ", plik, ": not the file the run made (it changed since)");
        return Krok::Pominiety;
    }
    return UsunPlikRunu(plik, ponowne);
}
}  // namespace

// Replacements.

sys::Result Wstaw(Dziennik* d, const std::string& tymczasowy, const std::string& cel) {
    const auto atrybuty = sys::Attributes(cel);
    if (atrybuty && (*atrybuty & FILE_ATTRIBUTE_DIRECTORY)) return sys::Result{ERROR_ALREADY_EXISTS};
    // Replacing a read-only file is an error whatever the system would allow
    // (Wine lets a privileged user rename over one).
    if (atrybuty && (*atrybuty & FILE_ATTRIBUTE_READONLY)) return sys::Result{ERROR_ACCESS_DENIED};
    // Outside a run: one step, so that no moment leaves the name empty.
    if (!d) return sys::MoveReplacing(tymczasowy, cel);

    std::string kopia, stary;
    if (atrybuty) {
        kopia = WolnaNazwa(cel, &NazwaKopiiZapasowej);
        if (kopia.empty()) return sys::Result{ERROR_FILE_EXISTS};
        if (const auto s = Stempel(cel)) stary = TekstStempla(*s);
    }
    const auto nowy = Stempel(tymczasowy);
    d->Zapisz(RodzajWpisu::Zastapiony, {cel, kopia, stary, nowy ? TekstStempla(*nowy) : std::string(), tymczasowy});
    // The record reaches the disk before the rename it describes.
    d->Utrwal();
    if (atrybuty) {
        if (const sys::Result r = sys::MoveEntry(cel, kopia); !r) return r;
        Protokoluj("Set aside as a backup: ", cel, " -> ", kopia);
    }
    if (const sys::Result r = sys::MoveEntry(tymczasowy, cel); !r) {
        if (atrybuty) sys::Ignore(sys::MoveEntry(kopia, cel), "the undo puts it back otherwise");
        return r;
    }
    return {};
}

namespace {
Krok CofnijZastapiony(const WpisDziennika& w, bool ponowne) {
    const std::string& plik = Pole(w, 0);
    const std::string& kopia = Pole(w, 1);
    const auto stary = CzytajStempel(Pole(w, 2));
    const auto nowy = CzytajStempel(Pole(w, 3));
    const bool jest = sys::EntryExists(plik);
    const auto biezacy = Stempel(plik);
    const bool nowyNaMiejscu = biezacy && nowy && *biezacy == *nowy;

    if (kopia.empty()) {
        // Nothing was there: what the run put there goes.
        if (!jest) return Krok::Zrobiony;
        if (!nowyNaMiejscu) {
            Protokoluj("Rollback: skipped ", plik, ": not the file the run put there (it changed since)");
            return Krok::Pominiety;
        }
        return UsunPlikRunu(plik, ponowne);
    }

    const auto stempelKopii = Stempel(kopia);
    if (!stempelKopii || !stary || *stempelKopii != *stary) {
        // Never set aside (the run died before it), or back already.
        if (!sys::EntryExists(kopia) && (!jest || (biezacy && stary && *biezacy == *stary))) return Krok::Zrobiony;
        Protokoluj("Rollback: skipped ", plik, ": its backup ", kopia, " is gone or is another file");
        return Krok::Pominiety;
    }
    if (jest && !nowyNaMiejscu) {
        Protokoluj("Rollback: skipped ", plik, ": not the file the run put there (it changed since); "
                   "its previous content stays as ", kopia);
        return Krok::Pominiety;
    }
    const sys::Result r = jest ? sys::MoveReplacing(kopia, plik) : sys::MoveEntry(kopia, plik);
    if (r) {
        Protokoluj("Rollback: backup ", kopia, " restored as ", plik);
        return Krok::Zrobiony;
    }
    if (ponowne && sys::MoveAtNextStart(kopia, plik)) {
        Protokoluj("Rollback: backup ", kopia, " cannot be restored as ", plik, " now (", BladSystemu{r.error},
                   "); Windows restores it when it next starts");
        return Krok::Zrobiony;
    }
    Protokoluj("Warning: rollback: backup ", kopia, " not restored as ", plik, ": ", BladSystemu{r.error},
               "; tried again at the next start of the wizard");
    return Krok::Nieudany;
}
}  // namespace

// Registry keys and values.

namespace {
// The key's last-write time as the run leaves it (see KluczeNietkniete).
void ZapiszCzasKlucza(Dziennik& d, sys::RegistryRoot korzen, std::string_view klucz) {
    if (const auto k = sys::RegistryKey::OpenRead(korzen, klucz))
        if (const auto czas = k->LastWriteTime())
            d.Zapisz(RodzajWpisu::CzasKlucza, {NazwaKorzenia(korzen), klucz, std::to_string(*czas)});
}
}  // namespace

std::optional<sys::RegistryKey> OtworzKlucz(Dziennik* d, sys::RegistryRoot korzen, std::string_view klucz) {
    std::vector<std::string_view> nowe;
    if (d && !klucz.empty()) {
        // Outermost first, so that the undo (newest first) removes the deepest.
        for (std::size_t p = 0;;) {
            const std::size_t koniec = klucz.find('\\', p);
            const std::string_view poziom = klucz.substr(0, koniec);
            if (!sys::RegistryKey::Exists(korzen, poziom)) {
                d->Zapisz(RodzajWpisu::Klucz, {NazwaKorzenia(korzen), poziom, std::to_string(sys::CurrentFileTime())});
                nowe.push_back(poziom);
            }
            if (koniec == std::string_view::npos) break;
            p = koniec + 1;
        }
    }
    auto wynik = sys::RegistryKey::OpenFull(korzen, klucz, true);
    // A new key is a write of its parent's too: the run's own, not someone
    // else's since.
    for (const std::string_view poziom : nowe) {
        if (const auto ukosnik = poziom.find_last_of('\\'); ukosnik != std::string_view::npos)
            ZapiszCzasKlucza(*d, korzen, poziom.substr(0, ukosnik));
        ZapiszCzasKlucza(*d, korzen, poziom);
    }
    return wynik;
}

sys::Result ZapiszWartosc(Dziennik* d, sys::RegistryKey& klucz, sys::RegistryRoot korzen, std::string_view sciezka,
                          std::string_view nazwa, const sys::RegistryKey::RawValue& wartosc, bool systemu) {
    if (d) {
        const auto poprzednia = klucz.ReadRaw(nazwa);
        const std::string typ = poprzednia ? std::to_string(poprzednia->type) : std::string(kBrakWartosci);
        const std::string dane = poprzednia ? poprzednia->bytes : std::string();
        const std::string nowyTyp = std::to_string(wartosc.type);
        const std::string czas = std::to_string(sys::CurrentFileTime());
        if (systemu)
            d->Zapisz(RodzajWpisu::Wartosc,
                      {NazwaKorzenia(korzen), sciezka, nazwa, typ, dane, nowyTyp, wartosc.bytes, czas, kWspolny});
        else
            d->Zapisz(RodzajWpisu::Wartosc, {NazwaKorzenia(korzen), sciezka, nazwa, typ, dane, nowyTyp, wartosc.bytes, czas});
    }
    const sys::Result r = klucz.WriteRaw(nazwa, wartosc);
    // What the key looks like as the run leaves it: a later write by anyone
    // else makes it newer.
    if (d) ZapiszCzasKlucza(*d, korzen, sciezka);
    return r;
}

namespace {
std::string NazwaKlucza(const WpisDziennika& w) { return Pole(w, 0) + "\\" + NaMale(Pole(w, 1)); }

// For each key the run wrote values to: whether nobody wrote it after the
// run's last write. Asked once before the undo, whose own writes would
// otherwise look like someone else's.
std::uint64_t Liczba(const std::string& pole) {
    std::uint64_t v = 0;
    for (const char c : pole) v = v * 10 + static_cast<std::uint64_t>(c - '0');
    return v;
}

std::map<std::string, bool> KluczeNietkniete(const std::vector<WpisDziennika>& wpisy) {
    // The key's time the run saw after its last write to it; for a run that
    // died between that write and its record, the time taken before it.
    std::map<std::string, std::uint64_t> ostatni;
    for (const WpisDziennika& w : wpisy) {
        if (w.rodzaj == RodzajWpisu::Wartosc) {
            ostatni[NazwaKlucza(w)] = Liczba(Pole(w, 7)) + kToleracjaCzasuKlucza;
        } else if (w.rodzaj == RodzajWpisu::CzasKlucza) {
            ostatni[NazwaKlucza(w)] = Liczba(Pole(w, 2));
        } else if (w.rodzaj == RodzajWpisu::Klucz) {
            // A new key writes its parent too.
            const std::uint64_t czas = Liczba(Pole(w, 2)) + kToleracjaCzasuKlucza;
            ostatni[NazwaKlucza(w)] = czas;
            if (const auto ukosnik = Pole(w, 1).find_last_of('\\'); ukosnik != std::string::npos)
                ostatni[Pole(w, 0) + "\\" + NaMale(Pole(w, 1).substr(0, ukosnik))] = czas;
        }
    }
    std::map<std::string, bool> wynik;
    for (const WpisDziennika& w : wpisy) {
        if (w.rodzaj != RodzajWpisu::Wartosc || wynik.count(NazwaKlucza(w))) continue;
        const auto klucz = sys::RegistryKey::OpenRead(Korzen(Pole(w, 0)), Pole(w, 1));
        const auto czas = klucz ? klucz->LastWriteTime() : std::nullopt;
        wynik[NazwaKlucza(w)] = !czas || *czas <= ostatni[NazwaKlucza(w)];
    }
    return wynik;
}

Krok CofnijWartosc(const WpisDziennika& w, bool nietkniety) {
    const std::string& sciezka = Pole(w, 1);
    const std::string& nazwa = Pole(w, 2);
    const auto poprzednia = Wartosc(Pole(w, 3), Pole(w, 4));
    const auto nowa = Wartosc(Pole(w, 5), Pole(w, 6));
    auto klucz = sys::RegistryKey::OpenFull(Korzen(Pole(w, 0)), sciezka, false);
    if (!klucz) {
        if (!poprzednia) return Krok::Zrobiony;
        Protokoluj("Rollback: skipped registry value ", sciezka, ": ", nazwa, ": its key is gone");
        return Krok::Pominiety;
    }
    const auto biezaca = klucz->ReadRaw(nazwa);
    if (biezaca == poprzednia) return Krok::Zrobiony;
    if (!nietkniety || biezaca != nowa) {
        Protokoluj("Rollback: skipped registry value ", sciezka, ": ", nazwa, ": written since the run");
        return Krok::Pominiety;
    }
    const sys::Result r = poprzednia ? klucz->WriteRaw(nazwa, *poprzednia) : klucz->DeleteValue(nazwa);
    if (!r) {
        Protokoluj("Warning: rollback: registry value ", sciezka, ": ", nazwa, " not put back: ", BladSystemu{r.error});
        return Krok::Pominiety;
    }
    Protokoluj("Rollback: registry value ", poprzednia ? "restored: " : "removed: ", sciezka, ": ", nazwa);
    return Krok::Zrobiony;
}

Krok CofnijKlucz(const WpisDziennika& w) {
    sys::Ignore(sys::RegistryKey::DeleteIfEmpty(Korzen(Pole(w, 0)), Pole(w, 1)), "a key that holds more stays");
    return Krok::Zrobiony;
}
}  // namespace

// Fonts.

void DodajCzcionke(Dziennik* d, const std::string& plik) {
    if (d) d->Zapisz(RodzajWpisu::Czcionka, {plik});
    sys::Ignore(sys::AddFontFile(plik), "the registration brings the font back at the next start");
    sys::AnnounceFontChange();
}

namespace {
Krok CofnijCzcionke(const WpisDziennika& w) {
    if (sys::RemoveFontFile(Pole(w, 0))) {
        sys::AnnounceFontChange();
        Protokoluj("Rollback: font removed: ", Pole(w, 0));
    }
    return Krok::Zrobiony;
}

Krok CofnijJeden(const WpisDziennika& w, const std::optional<std::uint64_t>& numer, bool ponowne,
                 const std::map<std::string, bool>& klucze) {
    switch (w.rodzaj) {
    case RodzajWpisu::Katalog: return CofnijKatalog(w);
    case RodzajWpisu::Plik:
    case RodzajWpisu::Tymczasowy: return CofnijPlik(w, numer, ponowne);
    case RodzajWpisu::Zastapiony: return CofnijZastapiony(w, ponowne);
    case RodzajWpisu::Czcionka: return CofnijCzcionke(w);
    case RodzajWpisu::Klucz: return CofnijKlucz(w);
    case RodzajWpisu::Wartosc: {
        const auto it = klucze.find(NazwaKlucza(w));
        return CofnijWartosc(w, it == klucze.end() || it->second);
    }
    case RodzajWpisu::Poczatek:
    case RodzajWpisu::Numer:
    case RodzajWpisu::Cofanie:
    case RodzajWpisu::CzasKlucza: break;
    }
    return Krok::Zrobiony;
}

bool WKatalogu(const std::string& sciezka, const std::string& katalog) {
    return sciezka.size() > katalog.size() && sciezka[katalog.size()] == '\\' &&
           RowneBezWielkosciLiter(std::string_view(sciezka).substr(0, katalog.size()), katalog);
}
}  // namespace

// ---- what becomes of the records ----

namespace {
// A temporary file is part of the step that wrote it: the gauge counts the
// files and folders, not the names they passed through.
bool NaMierniku(const WpisDziennika& w) { return w.rodzaj != RodzajWpisu::Tymczasowy; }
}  // namespace

std::size_t LiczbaKrokowCofania(const std::vector<WpisDziennika>& wpisy) {
    std::size_t n = 0;
    for (const std::size_t i : KolejnoscCofania(wpisy)) n += NaMierniku(wpisy[i]) ? 1 : 0;
    return n;
}

WynikCofania WycofajWpisy(const std::vector<WpisDziennika>& wpisy, bool ponowne, const std::function<void()>& poKroku) {
    const auto numery = NumeryPlikow(wpisy);
    const auto klucze = KluczeNietkniete(wpisy);
    std::set<std::size_t> nieudane;
    std::vector<std::size_t> wspolne, zostawione;
    WynikCofania wynik;
    const auto krok = [&](std::size_t i) {
        switch (CofnijJeden(wpisy[i], numery[i], ponowne, klucze)) {
        case Krok::Zrobiony: break;
        case Krok::Pominiety: ++wynik.pominiete; break;
        case Krok::Nieudany: nieudane.insert(i); break;
        case Krok::Zostawiony: zostawione.push_back(i); break;
        }
        if (poKroku && NaMierniku(wpisy[i])) poKroku();
    };
    for (const std::size_t i : KolejnoscCofania(wpisy)) {
        // The registry and the system's shared pieces wait until the files
        // show whether another installation came since, which may use them
        // (and may have written a value the same as the run's, which leaves
        // no trace on the key).
        if (Wspolny(wpisy[i]) || wpisy[i].rodzaj == RodzajWpisu::Wartosc || wpisy[i].rodzaj == RodzajWpisu::Klucz)
            wspolne.push_back(i);
        else
            krok(i);
    }
    // Newest first again, so that values go before the keys that hold them.
    std::sort(wspolne.begin(), wspolne.end(), std::greater<>());
    const bool innaInstalacja = wynik.pominiete > 0;
    for (const std::size_t i : wspolne) {
        const WpisDziennika& w = wpisy[i];
        if (!innaInstalacja || w.rodzaj == RodzajWpisu::Klucz) {
            krok(i);
            continue;
        }
        if (w.rodzaj == RodzajWpisu::Wartosc)
            Protokoluj("Rollback: kept registry value ", Pole(w, 0), "\\", Pole(w, 1), ": ", Pole(w, 2),
                       ": another installation came since and may use it");
        else
            Protokoluj("Rollback: kept ", Pole(w, 0), ": another installation came since and may use it");
        ++wynik.pominiete;
        if (poKroku && NaMierniku(w)) poKroku();
    }
    // A folder that still holds a file the undo could not remove is tried
    // again with it.
    for (const std::size_t k : zostawione)
        for (const std::size_t i : nieudane)
            if (WKatalogu(Pole(wpisy[i], 0), Pole(wpisy[k], 0))) {
                nieudane.insert(k);
                break;
            }
    for (const std::size_t i : nieudane) {
        wynik.pozostale.push_back(wpisy[i]);
        if (numery[i]) wynik.pozostale.push_back({RodzajWpisu::Numer, {Pole(wpisy[i], 0), TekstNumeru(*numery[i])}});
    }
    return wynik;
}

void ZachowajWpisy(const std::vector<WpisDziennika>& wpisy) {
    for (const KopiaZapasowa& k : BiezaceKopieZapasowe(wpisy)) {
        const WpisDziennika& w = wpisy[k.wpis];
        const auto stary = CzytajStempel(Pole(w, 2));
        const auto stempel = Stempel(k.nazwa);
        // Not the content the run set aside: someone else's file by now.
        if (!stempel || !stary || *stempel != *stary) continue;
        const std::string& plik = Pole(w, 0);
        if (!sys::EntryExists(plik)) {
            // The run died between setting it aside and putting its successor
            // in place: the backup is the only copy.
            const sys::Result r = sys::MoveEntry(k.nazwa, plik);
            if (r) Protokoluj("Kept: backup ", k.nazwa, " put back as ", plik, " (its successor never came)");
            else Protokoluj("Warning: backup ", k.nazwa, " not put back as ", plik, ": ", BladSystemu{r.error});
        } else if (const sys::Result r = sys::RemoveFile(k.nazwa); !r) {
            Protokoluj("Warning: backup ", k.nazwa, " not removed: ", BladSystemu{r.error});
        }
    }
    const auto numery = NumeryPlikow(wpisy);
    for (std::size_t i = 0; i < wpisy.size(); ++i) {
        if (wpisy[i].rodzaj != RodzajWpisu::Tymczasowy) continue;
        const std::string& plik = Pole(wpisy[i], 0);
        if (sys::FileExists(plik) && PlikRunu(plik, numery[i]))
            sys::Ignore(sys::RemoveFile(plik), "a temporary file left behind takes room but harms nothing");
    }
}
