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

// The account the process runs as: whose hive HKEY_CURRENT_USER is.
const std::string& SidProcesu() {
    static const std::string sid = sys::ProcessUserSid();
    return sid;
}

std::string NazwaKorzenia(sys::RegistryRoot k) {
    return PoleKorzenia(k == sys::RegistryRoot::LocalMachine, SidProcesu());
}
sys::RegistryRoot Korzen(std::string_view nazwa) {
    return KorzenMaszyny(nazwa) ? sys::RegistryRoot::LocalMachine : sys::RegistryRoot::CurrentUser;
}

std::string KatalogNadrzedny(const std::string& sciezka) {
    const auto p = sciezka.find_last_of('\\');
    return p == std::string::npos ? std::string() : sciezka.substr(0, p);
}
std::string NazwaWKatalogu(const std::string& sciezka) { return sciezka.substr(sciezka.find_last_of('\\') + 1); }

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
    nieutrwalone_ = false;
    sciezka_ = sciezka;
    bladPliku_ = ERROR_PATH_NOT_FOUND;
    if (!sciezka.empty()) {
        // Never over a journal that waits for its question, nor through
        // anything planted under the name.
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
    Zapisz(std::move(wpis));
}

void Dziennik::Zapisz(WpisDziennika wpis) {
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
        } else {
            // Group commit: one flush for all the records of a stretch of
            // time, rather than one per file copied.
            const std::uint64_t teraz = sys::Milliseconds();
            if (!nieutrwalone_) {
                nieutrwalone_ = true;
                odNieutrwalonych_ = teraz;
            } else if (teraz - odNieutrwalonych_ >= kOdstepUtrwalaniaMs) {
                Utrwal();
            }
        }
    }
    wpisy_.push_back(std::move(wpis));
}

void Dziennik::Utrwal() {
    if (!plik_ || !nieutrwalone_) return;
    nieutrwalone_ = false;
    sys::Ignore(plik_.Flush(), "the records are in the system's hands already");
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

std::optional<std::uint32_t> Dziennik::Wolumin(const std::string& katalog, const sys::File& plik) {
    if (katalogWoluminu_.empty() || katalog != katalogWoluminu_) {
        const auto info = plik.Info();
        if (!info) return std::nullopt;
        katalogWoluminu_ = katalog;
        wolumin_ = info->volume;
    }
    return wolumin_;
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

// A folder that others could change is set aside whole, with whatever it
// holds, and never taken back in place: whoever made it may still hold it
// open with leave to change its DACL again.
sys::Result OdlozKatalog(const std::string& katalog) {
    const std::string nowa = WolnaNazwa(katalog, &NazwaNiezaufanego);
    const sys::Result r = nowa.empty() ? sys::Result{ERROR_FILE_EXISTS} : sys::MoveEntry(katalog, nowa);
    if (r)
        Protokoluj("Warning: the journal folder ", katalog,
                   " could be changed by others than administrators: set aside as ", nowa,
                   ", none of its journals is replayed; a new one is made for administrators alone");
    return r;
}

// A journal file opened once for its check and its read: itself, never what
// a link names; shared for reading alone, so that no one writes, renames or
// deletes it meanwhile; with one name, so that no folder of a user's holds
// the same file; and only administrators may change it.
struct OtwartyDziennik {
    sys::Entry plik;
    bool zaufany = false;
};

OtwartyDziennik OtworzDziennik(const std::string& sciezka) {
    OtwartyDziennik d{sys::Entry::Open(sciezka, GENERIC_READ | READ_CONTROL, FILE_SHARE_READ), false};
    if (!d.plik) return d;
    const auto info = d.plik.Info();
    d.zaufany = info && !info->link && info->names == 1 && sys::AccessOf(d.plik, false) == sys::Access::AdminsOnly;
    return d;
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
    if (dostep == sys::Access::AdminsOnly) {
        // One an earlier wizard made lets Users read; only administrators
        // could have changed it, so it is closed to them in place.
        if (sys::SystemKeepsFileSecurity())
            sys::Ignore(sys::ProtectFolder(katalog, sys::Readers::None), "users reading it harms no replay");
        return {};
    }
    sys::Result r;
    if (dostep == sys::Access::Others) r = OdlozKatalog(katalog);
    // A file that holds the name, or a folder someone made since the look,
    // fails here.
    if (r) r = sys::CreateAdminFolder(katalog, sys::Readers::None);
    // A system that took the descriptor without keeping it.
    if (r && sys::FolderAccess(katalog) != sys::Access::AdminsOnly) r = sys::Result{ERROR_NOT_SUPPORTED};
    if (!r)
        Protokoluj("Warning: the journal folder ", katalog, " cannot be kept for administrators alone (",
                   BladSystemu{r.error}, "): no journal is read from it or written to it");
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

std::vector<std::string> PozostawioneDzienniki() { return PozostawioneDzienniki(sys::ProcessElevated()); }

std::vector<std::string> PozostawioneDzienniki(bool podniesiony) {
    const std::string katalog = KatalogDziennikow();
    if (katalog.empty()) return {};
    const sys::Access dostep = sys::FolderAccess(katalog);
    if (dostep == sys::Access::Missing) return {};
    // A replay writes the machine's folders and registry: without the rights
    // to, it would undo only the half it may, and in the hive of whoever
    // started it.
    if (!podniesiony) {
        Protokoluj("Warning: the wizard runs without administrator rights: journals of interrupted installations in ",
                   katalog, " are left for a start with them");
        return {};
    }
    // A folder that others could change may hold anything of theirs, under
    // any name and, renamed in, under any owner (under Wine every file shows
    // the same one): none of its journals is replayed, and the folder goes
    // aside with them.
    if (dostep != sys::Access::AdminsOnly) {
        sys::Ignore(PrzygotujKatalogDziennikow(), "it says what it did");
        return {};
    }
    ZaufanieBezDeskryptorow();
    std::vector<std::pair<unsigned, std::string>> znalezione;
    auto lista = sys::DirectoryEnumeration::Open(katalog + "\\" + std::string(kNazwaDziennika) + "*" +
                                                 std::string(kRozszerzenieDziennika));
    while (const auto wpis = lista.Next()) {
        if (wpis->IsFolder()) continue;
        const auto numer = NumerDziennika(wpis->name);
        if (!numer) continue;
        std::string sciezka = katalog + "\\" + wpis->name;
        // A file that a user owns or may write is theirs whatever the folder.
        const bool zaufany = OtworzDziennik(sciezka).zaufany;
        if (zaufany) znalezione.emplace_back(*numer, std::move(sciezka));
        else OdlozNiezaufany(sciezka);
    }
    std::sort(znalezione.begin(), znalezione.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> wynik;
    for (auto& [numer, sciezka] : znalezione) wynik.push_back(std::move(sciezka));
    return wynik;
}

std::optional<OdczytDziennika> WczytajDziennik(const std::string& sciezka) {
    if (sciezka.empty()) return std::nullopt;
    // Checked and read through one handle: checking by the name and reading
    // by it again would read whatever took the name in between.
    OtwartyDziennik d = OtworzDziennik(sciezka);
    if (!d.plik) return std::nullopt;
    if (!d.zaufany) {
        d.plik = {};
        OdlozNiezaufany(sciezka);
        return std::nullopt;
    }
    const auto bajty = d.plik.ReadAll(kNajwiekszyDziennik);
    const auto info = d.plik.Info();
    if (!bajty || !info) return std::nullopt;
    OdczytDziennika odczyt =
        CzytajDziennik(std::span(reinterpret_cast<const std::uint8_t*>(bajty->data()), bajty->size()));
    odczyt.czas = info->stamp.writeTime;
    return odczyt;
}

bool ZapiszDziennik(const std::string& sciezka, const std::vector<WpisDziennika>& wpisy) {
    std::string bajty;
    for (const WpisDziennika& w : wpisy) bajty += KodujWpis(w);
    // Under a name that nothing holds: a hard link planted under a taken one
    // would have the journal's bytes written into the file it names.
    std::string nowy;
    sys::File plik;
    for (unsigned numer = 1; numer <= kProbyNazwy && !plik; ++numer) {
        nowy = NazwaTymczasowa(sciezka, numer);
        plik = sys::File::CreateNew(nowy);
        if (!plik && plik.error() != ERROR_FILE_EXISTS && plik.error() != ERROR_ALREADY_EXISTS) return false;
    }
    if (!plik) return false;
    const sys::Transfer t = plik.Write(bajty.data(), bajty.size());
    const sys::Result utrwalony = plik.Flush();
    if (t.error != 0 || !utrwalony || !plik.Close()) {
        sys::Ignore(sys::RemoveFile(nowy), "a torn copy is never read: it is not a journal's name");
        return false;
    }
    if (sys::MoveReplacing(nowy, sciezka)) return true;
    sys::Ignore(sys::RemoveFile(nowy), "the journal stays as it was");
    return false;
}

void UsunDziennik(const std::string& sciezka) {
    sys::Ignore(sys::RemoveFile(sciezka), "a journal that stays is read again at the next start");
}

// ---- each change and its undo ----

namespace {

enum class Krok {
    Zrobiony,    // undone, or nothing was left to undo
    Pominiety,   // its object changed since the run: left as it is
    Nieudany,    // the system refused; tried again at the next start
    Zostawiony,  // a folder that holds more than the run put in it
};

// How an undo step reaches its object. Users may write some of the folders
// a run writes (their own Start menu, a target they made), and any of them
// may have become a link to a folder of the system's since: every folder on
// the way is opened as itself and held (sys::HeldFolders), and the object is
// opened as itself, checked and changed through its handle.
struct Obiekt {
    sys::Entry wpis;
    std::optional<sys::EntryInfo> info;
    bool brak = false;       // nothing at the path, or its folder is gone
    std::uint32_t blad = 0;  // why it cannot be changed now; 0 when it can
};

constexpr std::uint32_t kDoZmiany = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr std::uint32_t kKazdemu = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool NieMa(std::uint32_t blad) { return blad == ERROR_FILE_NOT_FOUND || blad == ERROR_PATH_NOT_FOUND; }

// The object at `sciezka`, whose folders `foldery` holds.
Obiekt Otworz(const std::string& sciezka) {
    Obiekt o;
    o.wpis = sys::Entry::Open(sciezka, kDoZmiany, kKazdemu);
    if (!o.wpis && !NieMa(o.wpis.error())) {
        // Held by a program that keeps others from deleting it: still looked
        // at, so that the step knows whether it is the run's.
        o.blad = o.wpis.error();
        o.wpis = sys::Entry::Open(sciezka, FILE_READ_ATTRIBUTES | SYNCHRONIZE, kKazdemu);
    }
    if (!o.wpis) {
        o.brak = NieMa(o.wpis.error());
        if (!o.brak && o.blad == 0) o.blad = o.wpis.error();
        return o;
    }
    o.info = o.wpis.Info();
    if (!o.info && o.blad == 0) o.blad = ERROR_CANT_ACCESS_FILE;
    return o;
}

// The folders on the way to `sciezka`, held; false, with the step's outcome
// in `krok`, when they cannot be: a folder gone takes its content with it, a
// link on the way is never followed.
bool Trzymaj(sys::HeldFolders& foldery, const std::string& sciezka, const char* co, Krok& krok) {
    foldery = sys::HeldFolders::Open(sciezka);
    if (foldery) return true;
    if (foldery.error() == ERROR_PATH_NOT_FOUND) {
        krok = Krok::Zrobiony;
    } else if (!foldery.Link().empty()) {
        Protokoluj("Rollback: skipped ", co, sciezka, ": ", foldery.Link(), " on its way is a link now");
        krok = Krok::Pominiety;
    } else {
        Protokoluj("Warning: rollback: ", co, sciezka, " cannot be reached: ", BladSystemu{foldery.error()},
                   "; tried again at the next start of the wizard");
        krok = Krok::Nieudany;
    }
    return false;
}

bool PrzyNastepnymStarcie(const std::string& z, const std::string& na) {
    if (!WolnoPrzyNastepnymStarcie(z)) {
        Protokoluj("Rollback: ", z, " is not handed to the next start of Windows: others than administrators may "
                   "change its folder");
        return false;
    }
    return sys::MoveAtNextStart(z, na).ok();
}

// Deletes the file open in `o`, read-only or not.
sys::Result UsunOtwarty(Obiekt& o) {
    if (o.blad != 0) return sys::Result{o.blad};
    // A file copied from a CD keeps its read-only attribute.
    if (o.info->attributes & FILE_ATTRIBUTE_READONLY)
        if (const sys::Result r = o.wpis.SetAttributes(o.info->attributes & ~static_cast<std::uint32_t>(FILE_ATTRIBUTE_READONLY)); !r)
            return r;
    return o.wpis.Delete();
}

ZastanyPlik Zastany(const sys::EntryInfo& info) {
    return {info.link || info.IsFolder(), info.volume, info.number, {info.stamp.size, info.stamp.writeTime}};
}

// The stamp of a plain file open in `o`; nullopt for anything else.
std::optional<StempelPliku> StempelOtwartego(const Obiekt& o) {
    if (!o.info || o.info->link || o.info->IsFolder()) return std::nullopt;
    return StempelPliku{o.info->stamp.size, o.info->stamp.writeTime};
}

// A backup always lies beside its file: one step holds the folder of both.
bool Obok(const std::string& a, const std::string& b) {
    return RowneBezWielkosciLiter(KatalogNadrzedny(a), KatalogNadrzedny(b));
}

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
    sys::HeldFolders foldery;
    if (Krok k{}; !Trzymaj(foldery, katalog, "folder ", k)) return k == Krok::Nieudany ? Krok::Zostawiony : k;
    Obiekt o = Otworz(katalog);
    if (o.brak || (o.info && !o.info->link && !o.info->IsFolder())) return Krok::Zrobiony;
    if (o.info && o.info->link) {
        Protokoluj("Rollback: skipped folder ", katalog, ": a link stands in its place");
        return Krok::Pominiety;
    }
    // Goes as its handle closes, at the end of this step.
    if (const sys::Result r = o.blad ? sys::Result{o.blad} : o.wpis.Delete(); r) {
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
    if (const auto numer = plik.Number())
        d->Zapisz(WpisNumeru(sciezka, {*numer, d->Wolumin(KatalogNadrzedny(sciezka), plik), std::nullopt}));
}
}  // namespace

sys::File UtworzPlik(Dziennik* d, const std::string& sciezka) {
    // A name that is taken fails below; it gets no record.
    if (!d || sys::EntryExists(sciezka)) return sys::File::CreateNew(sciezka);
    d->Zapisz(RodzajWpisu::Plik, {sciezka});
    // Its number comes with its stamp (ZamknijPlik): a file the run dies
    // while writing is not as the run would leave it anyway.
    return sys::File::CreateNew(sciezka);
}

PlikTymczasowy UtworzTymczasowy(Dziennik* d, const std::string& cel) {
    PlikTymczasowy t{WolnaNazwa(cel, &NazwaTymczasowa), {}};
    if (t.sciezka.empty()) throw BladProgramu("no free temporary name beside \"" + cel + "\"");
    if (d) d->Zapisz(RodzajWpisu::Tymczasowy, {t.sciezka});
    t.plik = sys::File::CreateNew(t.sciezka);
    if (t.plik) ZapiszNumer(d, t.sciezka, t.plik);
    return t;
}

sys::Result ZamknijPlik(Dziennik* d, sys::File& plik, const std::string& sciezka) {
    const auto numer = d ? plik.Number() : std::nullopt;
    const auto wolumin = numer ? d->Wolumin(KatalogNadrzedny(sciezka), plik) : std::nullopt;
    const sys::Result r = plik.Close();
    // Read once closed: a file system may set the time as the last handle
    // goes.
    if (r && numer)
        if (const auto s = Stempel(sciezka)) d->Zapisz(WpisNumeru(sciezka, {*numer, wolumin, s}));
    return r;
}

sys::Result KopiujPlikSystemu(Dziennik* d, const std::string& zrodlo, const std::string& cel) {
    if (sys::EntryExists(cel)) return sys::Result{ERROR_FILE_EXISTS};
    if (d) d->Zapisz(RodzajWpisu::Plik, {cel, kWspolny});
    const sys::Result r = sys::CopyFileTo(zrodlo, cel, true);
    if (r && d)
        if (const auto info = sys::File::OpenAttributes(cel).Info())
            d->Zapisz(WpisNumeru(cel, {info->number, info->volume, StempelPliku{info->stamp.size, info->stamp.writeTime}}));
    return r;
}

namespace {
// OcenPlik for the file of record `w`. A temporary file never becomes
// anyone's under its own name, and the run writes into it by name after its
// last record (a link is saved so): it is the run's while it has the run's
// number, whatever wrote it since.
OcenaPliku OcenPlikRunu(const WpisDziennika& w, std::optional<ZapisanyPlik> zapisany, const sys::EntryInfo& info,
                        const std::optional<std::uint64_t>& czasDziennika) {
    if (w.rodzaj != RodzajWpisu::Tymczasowy) return OcenPlik(zapisany, Zastany(info), czasDziennika);
    if (zapisany) zapisany->stempel.reset();
    return OcenPlik(zapisany, Zastany(info), std::nullopt);
}

// Why a file found is not the one the run created.
std::string_view Obcy(OcenaPliku ocena) {
    switch (ocena) {
    case OcenaPliku::InnyWolumin: return "the file there is on another volume than the run's";
    case OcenaPliku::Przepisany: return "the run's file, written since the run";
    case OcenaPliku::Inny:
    case OcenaPliku::Runu: break;
    }
    return "not the file the run made (it changed since)";
}

Krok UsunPlikRunu(Obiekt& o, const std::string& sciezka, bool ponowne) {
    const sys::Result r = UsunOtwarty(o);
    if (r) {
        Protokoluj("Rollback: file removed: ", sciezka);
        return Krok::Zrobiony;
    }
    if (ponowne && PrzyNastepnymStarcie(sciezka, "")) {
        Protokoluj("Rollback: file ", sciezka, " cannot be removed now (", BladSystemu{r.error},
                   "); Windows removes it when it next starts");
        return Krok::Zrobiony;
    }
    Protokoluj("Warning: rollback: file not removed: ", sciezka, ": ", BladSystemu{r.error},
               "; tried again at the next start of the wizard");
    return Krok::Nieudany;
}

Krok CofnijPlik(const WpisDziennika& w, const std::optional<ZapisanyPlik>& zapisany, bool ponowne,
                const std::optional<std::uint64_t>& czasDziennika) {
    const std::string& plik = Pole(w, 0);
    sys::HeldFolders foldery;
    if (Krok k{}; !Trzymaj(foldery, plik, "", k)) return k;
    Obiekt o = Otworz(plik);
    if (o.brak) return Krok::Zrobiony;
    if (!o.info) {
        Protokoluj("Warning: rollback: file not removed: ", plik, ": ", BladSystemu{o.blad},
                   "; tried again at the next start of the wizard");
        return Krok::Nieudany;
    }
    if (const OcenaPliku ocena = OcenPlikRunu(w, zapisany, *o.info, czasDziennika); ocena != OcenaPliku::Runu) {
        Protokoluj("Rollback: skipped ", plik, ": ", Obcy(ocena));
        return Krok::Pominiety;
    }
    return UsunPlikRunu(o, plik, ponowne);
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
    sys::HeldFolders foldery;
    if (Krok k{}; !Trzymaj(foldery, plik, "", k)) return k;
    Obiekt naMiejscu = Otworz(plik);
    if (!naMiejscu.brak && !naMiejscu.info) {
        Protokoluj("Warning: rollback: ", plik, " cannot be looked at: ", BladSystemu{naMiejscu.blad},
                   "; tried again at the next start of the wizard");
        return Krok::Nieudany;
    }
    const bool jest = !naMiejscu.brak;
    const auto biezacy = StempelOtwartego(naMiejscu);
    const bool nowyNaMiejscu = biezacy && nowy && *biezacy == *nowy;

    if (kopia.empty()) {
        // Nothing was there: what the run put there goes.
        if (!jest) return Krok::Zrobiony;
        if (!nowyNaMiejscu) {
            Protokoluj("Rollback: skipped ", plik, ": not the file the run put there (it changed since)");
            return Krok::Pominiety;
        }
        return UsunPlikRunu(naMiejscu, plik, ponowne);
    }

    Obiekt zapas = Obok(kopia, plik) ? Otworz(kopia) : Obiekt{};
    const auto stempelKopii = StempelOtwartego(zapas);
    if (!stempelKopii || !stary || *stempelKopii != *stary) {
        // Never set aside (the run died before it), or back already.
        if (zapas.brak && (!jest || (biezacy && stary && *biezacy == *stary))) return Krok::Zrobiony;
        Protokoluj("Rollback: skipped ", plik, ": its backup ", kopia, " is gone or is another file");
        return Krok::Pominiety;
    }
    if (jest && !nowyNaMiejscu) {
        Protokoluj("Rollback: skipped ", plik, ": not the file the run put there (it changed since); "
                   "its previous content stays as ", kopia);
        return Krok::Pominiety;
    }
    // A file open, ours included, is not replaced.
    naMiejscu = {};
    const sys::Result r =
        zapas.blad ? sys::Result{zapas.blad} : zapas.wpis.MoveTo(foldery.Parent(), NazwaWKatalogu(plik), jest);
    if (r) {
        Protokoluj("Rollback: backup ", kopia, " restored as ", plik);
        return Krok::Zrobiony;
    }
    if (ponowne && PrzyNastepnymStarcie(kopia, plik)) {
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
        // The record is all that keeps the value overwritten.
        const bool nadpisuje = poprzednia.has_value();
        if (systemu)
            d->Zapisz(RodzajWpisu::Wartosc,
                      {NazwaKorzenia(korzen), sciezka, nazwa, typ, dane, nowyTyp, wartosc.bytes, czas, kWspolny});
        else
            d->Zapisz(RodzajWpisu::Wartosc, {NazwaKorzenia(korzen), sciezka, nazwa, typ, dane, nowyTyp, wartosc.bytes, czas});
        if (nadpisuje) d->Utrwal();
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

// Whether a registry record may be replayed: in the run's own undo always; a
// journal that a run left only in the hive it was written to.
bool TenUzytkownik(const WpisDziennika& w, const std::optional<std::uint64_t>& czasDziennika) {
    return !czasDziennika || KorzenDoOdtworzenia(Pole(w, 0), SidProcesu());
}

std::map<std::string, bool> KluczeNietkniete(const std::vector<WpisDziennika>& wpisy,
                                             const std::optional<std::uint64_t>& czasDziennika) {
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
        if (w.rodzaj != RodzajWpisu::Wartosc || wynik.count(NazwaKlucza(w)) || !TenUzytkownik(w, czasDziennika)) continue;
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

// What one undo shares with each of its steps.
struct Cofanie {
    bool ponowne = false;
    std::optional<std::uint64_t> czasDziennika;
    std::map<std::string, bool> klucze;  // KluczeNietkniete
};

Krok CofnijJeden(const WpisDziennika& w, const std::optional<ZapisanyPlik>& zapisany, const Cofanie& c) {
    switch (w.rodzaj) {
    case RodzajWpisu::Katalog: return CofnijKatalog(w);
    case RodzajWpisu::Plik:
    case RodzajWpisu::Tymczasowy: return CofnijPlik(w, zapisany, c.ponowne, c.czasDziennika);
    case RodzajWpisu::Zastapiony: return CofnijZastapiony(w, c.ponowne);
    case RodzajWpisu::Czcionka: return CofnijCzcionke(w);
    case RodzajWpisu::Klucz:
    case RodzajWpisu::Wartosc: {
        if (!TenUzytkownik(w, c.czasDziennika)) {
            Protokoluj("Rollback: skipped registry ", w.rodzaj == RodzajWpisu::Klucz ? "key " : "value ", Pole(w, 1),
                       w.rodzaj == RodzajWpisu::Klucz ? "" : " " + Pole(w, 2), ": ", Pole(w, 0),
                       " is not the hive of this account");
            return Krok::Pominiety;
        }
        if (w.rodzaj == RodzajWpisu::Klucz) return CofnijKlucz(w);
        const auto it = c.klucze.find(NazwaKlucza(w));
        return CofnijWartosc(w, it == c.klucze.end() || it->second);
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

WynikCofania WycofajWpisy(const std::vector<WpisDziennika>& wpisy, bool ponowne, const std::function<void()>& poKroku,
                          const std::optional<std::uint64_t>& czasDziennika) {
    const auto pliki = ZapisanePliki(wpisy);
    const Cofanie cofanie{ponowne, czasDziennika, KluczeNietkniete(wpisy, czasDziennika)};
    std::set<std::size_t> nieudane;
    std::vector<std::size_t> wspolne, zostawione;
    WynikCofania wynik;
    const auto krok = [&](std::size_t i) {
        switch (CofnijJeden(wpisy[i], pliki[i], cofanie)) {
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
        if (pliki[i]) wynik.pozostale.push_back(WpisNumeru(Pole(wpisy[i], 0), *pliki[i]));
    }
    return wynik;
}

bool WolnoPrzyNastepnymStarcie(const std::string& sciezka) {
    return sys::FolderAccess(KatalogNadrzedny(sciezka)) == sys::Access::AdminsOnly;
}

void ZachowajWpisy(const std::vector<WpisDziennika>& wpisy) {
    for (const KopiaZapasowa& k : BiezaceKopieZapasowe(wpisy)) {
        const WpisDziennika& w = wpisy[k.wpis];
        const std::string& plik = Pole(w, 0);
        const auto stary = CzytajStempel(Pole(w, 2));
        sys::HeldFolders foldery;
        if (Krok krok{}; !Obok(k.nazwa, plik) || !Trzymaj(foldery, k.nazwa, "backup ", krok)) continue;
        Obiekt zapas = Otworz(k.nazwa);
        const auto stempel = StempelOtwartego(zapas);
        // Not the content the run set aside: someone else's file by now.
        if (!stempel || !stary || *stempel != *stary) continue;
        if (Otworz(plik).brak) {
            // The run died between setting it aside and putting its successor
            // in place: the backup is the only copy.
            const sys::Result r =
                zapas.blad ? sys::Result{zapas.blad} : zapas.wpis.MoveTo(foldery.Parent(), NazwaWKatalogu(plik), false);
            if (r) Protokoluj("Kept: backup ", k.nazwa, " put back as ", plik, " (its successor never came)");
            else Protokoluj("Warning: backup ", k.nazwa, " not put back as ", plik, ": ", BladSystemu{r.error});
        } else if (const sys::Result r = UsunOtwarty(zapas); !r) {
            Protokoluj("Warning: backup ", k.nazwa, " not removed: ", BladSystemu{r.error});
        }
    }
    const auto pliki = ZapisanePliki(wpisy);
    for (std::size_t i = 0; i < wpisy.size(); ++i) {
        if (wpisy[i].rodzaj != RodzajWpisu::Tymczasowy) continue;
        const std::string& plik = Pole(wpisy[i], 0);
        sys::HeldFolders foldery;
        if (Krok krok{}; !Trzymaj(foldery, plik, "", krok)) continue;
        Obiekt o = Otworz(plik);
        if (o.info && OcenPlikRunu(wpisy[i], pliki[i], *o.info, std::nullopt) == OcenaPliku::Runu)
            sys::Ignore(UsunOtwarty(o), "a temporary file left behind takes room but harms nothing");
    }
}
