#include "install/Dziennik.h"

#include "install/Protokol.h"

#include "app/Blad.h"
#include "install/Kopiowanie.h"
#include "install/Protokol.h"
#include "sys/folders.h"
#include "sys/fonts.h"
#include "sys/result.h"

#include <cstring>

namespace {

Dziennik* biezacy = nullptr;

// A journal bigger than this is not one of ours.
constexpr std::size_t kNajwiekszyDziennik = 256u << 20;
constexpr unsigned kProbyNazwyKopii = 10000;

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

std::string WolnaNazwaKopii(const std::string& plik) {
    for (unsigned numer = 1; numer <= kProbyNazwyKopii; ++numer) {
        // The names of the tree copy's backups (install/Kopiowanie.h).
        std::string nazwa = plik + std::string(kPrzyrostekKopiiZapasowej);
        if (numer > 1) nazwa += std::to_string(numer);
        if (!sys::EntryExists(nazwa)) return nazwa;
    }
    throw BladProgramu("Journal: no free backup name beside \"" + plik + "\"");
}

}  // namespace

Dziennik::~Dziennik() {
    // A journal still open here belongs to a run that did not end: its file
    // stays for the next start.
    sys::Ignore(plik_.Close(), "the records written so far are on their way to the disk");
}

bool Dziennik::Rozpocznij(const std::string& sciezka, std::int32_t wydanie, const std::string& katalogDocelowy) {
    sys::Ignore(plik_.Close(), "a previous file of this object is finished");
    wpisy_.clear();
    sciezka_ = sciezka;
    if (!sciezka.empty()) {
        sys::Ignore(sys::CreateFolder(KatalogNadrzedny(sciezka)), "usually exists");
        plik_ = sys::File::Create(sciezka);
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
        if (t.error != 0) sys::Ignore(plik_.Close(), "the run goes on without its file");
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

Dziennik* Dziennik::Biezacy() noexcept { return biezacy; }

BiezacyDziennik::BiezacyDziennik(Dziennik& d) noexcept : poprzedni_(biezacy) { biezacy = &d; }
BiezacyDziennik::~BiezacyDziennik() { biezacy = poprzedni_; }

std::string SciezkaDziennika(std::int32_t wydanie) {
    std::string katalog = sys::ShellFolder(sys::RegistryRoot::CurrentUser, "Local AppData").value_or("");
    if (katalog.empty()) katalog = sys::TempFolder().value_or("");
    if (katalog.empty()) return {};
    if (katalog.back() != '\\') katalog += '\\';
    return katalog + "Zelpax\\instal" + std::to_string(wydanie) + ".dzn";
}

std::optional<OdczytDziennika> WczytajDziennik(const std::string& sciezka) {
    if (sciezka.empty() || !sys::FileExists(sciezka)) return std::nullopt;
    // The run that writes a journal keeps it open for writing; reading it
    // then fails, and a live run is never undone from outside.
    const auto bajty = sys::ReadWholeFile(sciezka, kNajwiekszyDziennik);
    if (!bajty) return std::nullopt;
    return CzytajDziennik(std::span(reinterpret_cast<const std::uint8_t*>(bajty->data()), bajty->size()));
}

void UsunDziennik(const std::string& sciezka) {
    sys::Ignore(sys::RemoveFile(sciezka), "a journal that stays is read again at the next start");
    sys::Ignore(sys::RemoveFolder(KatalogNadrzedny(sciezka)), "only an empty folder goes");
}

void CofnijWpis(const WpisDziennika& w) {
    const auto pole = [&](std::size_t i) -> const std::string& {
        static const std::string pusty;
        return i < w.pola.size() ? w.pola[i] : pusty;
    };
    switch (w.rodzaj) {
    case RodzajWpisu::Poczatek: break;
    case RodzajWpisu::Katalog:
        // Only an empty folder goes; one the user filled stays.
        if (sys::FolderExists(pole(0)))
            Protokoluj("Rollback: folder ", pole(0), sys::RemoveFolder(pole(0)) ? " removed" : " kept (not empty or in use)");
        break;
    case RodzajWpisu::Plik:
        // A file in use stays; the undo goes on.
        if (sys::EntryExists(pole(0))) {
            const sys::Result r = sys::RemoveFile(pole(0));
            if (r) Protokoluj("Rollback: file removed: ", pole(0));
            else Protokoluj("Rollback: file not removed: ", pole(0), ": ", BladSystemu{r.error});
        }
        break;
    case RodzajWpisu::Zastapiony:
        // No backup: it was never made, or it is back already. Otherwise the
        // old content stays under its backup name if it cannot go back.
        if (!pole(1).empty() && sys::FileExists(pole(1))) {
            const sys::Result r = sys::MoveReplacing(pole(1), pole(0));
            Protokoluj("Rollback: backup ", pole(1), r ? " restored as " : " not restored as ", pole(0));
        }
        break;
    case RodzajWpisu::Czcionka:
        if (sys::RemoveFontFile(pole(0))) {
            sys::AnnounceFontChange();
            Protokoluj("Rollback: font removed: ", pole(0));
        }
        break;
    case RodzajWpisu::Klucz:
        sys::Ignore(sys::RegistryKey::DeleteIfEmpty(Korzen(pole(0)), pole(1)), "a key that holds more stays");
        break;
    case RodzajWpisu::Wartosc:
        if (auto klucz = sys::RegistryKey::OpenFull(Korzen(pole(0)), pole(1), false)) {
            if (pole(3) == kBrakWartosci) {
                sys::Ignore(klucz->DeleteValue(pole(2)), "a value that cannot go stays");
                Protokoluj("Rollback: registry value removed: ", pole(1), ": ", pole(2));
            } else {
                sys::RegistryKey::RawValue poprzednia{static_cast<std::uint32_t>(std::stoul("0" + pole(3))), pole(4)};
                sys::Ignore(klucz->WriteRaw(pole(2), poprzednia), "a value that cannot be put back stays new");
                Protokoluj("Rollback: registry value restored: ", pole(1), ": ", pole(2));
            }
        }
        break;
    }
}

void UsunKopieZapasowe(const std::vector<WpisDziennika>& wpisy) {
    for (const std::string& kopia : BiezaceKopieZapasowe(wpisy))
        sys::Ignore(sys::RemoveFile(kopia), "a backup left behind takes room but harms nothing");
}

void PrzedUtworzeniemPliku(const std::string& sciezka) {
    Dziennik* d = Dziennik::Biezacy();
    if (d && !sys::EntryExists(sciezka)) d->Zapisz(RodzajWpisu::Plik, {sciezka});
}

std::optional<std::string> PrzedZapisemPliku(const std::string& sciezka) {
    Dziennik* d = Dziennik::Biezacy();
    if (!d) return std::nullopt;
    if (!sys::FileExists(sciezka)) {
        if (!sys::EntryExists(sciezka)) d->Zapisz(RodzajWpisu::Plik, {sciezka});
        return std::nullopt;
    }
    return OdlozNaBok(*d, sciezka);
}

void PrzywrocGdyNieZapisany(const std::string& sciezka, const std::optional<std::string>& kopia) {
    if (kopia && !sys::EntryExists(sciezka))
        sys::Ignore(sys::MoveEntry(*kopia, sciezka), "the undo or the next start puts it back");
}

std::string OdlozNaBok(Dziennik& d, const std::string& sciezka) {
    const std::string kopia = WolnaNazwaKopii(sciezka);
    d.Zapisz(RodzajWpisu::Zastapiony, {sciezka, kopia});
    if (const sys::Result r = sys::MoveEntry(sciezka, kopia); !r)
        throw BladProgramu("Journal: cannot set aside \"" + sciezka + "\" (error " + std::to_string(r.error) + ")");
    return kopia;
}

void PrzedUtworzeniemKatalogu(const std::string& sciezka) {
    Dziennik* d = Dziennik::Biezacy();
    if (d && !sys::EntryExists(sciezka)) d->Zapisz(RodzajWpisu::Katalog, {sciezka});
}

void PrzedUtworzeniemKlucza(sys::RegistryRoot korzen, std::string_view klucz) {
    Dziennik* d = Dziennik::Biezacy();
    if (!d || klucz.empty()) return;
    // Outermost first, so that the undo (newest first) removes the deepest.
    for (std::size_t p = 0;;) {
        const std::size_t koniec = klucz.find('\\', p);
        const std::string_view poziom = klucz.substr(0, koniec);
        if (!sys::RegistryKey::Exists(korzen, poziom)) d->Zapisz(RodzajWpisu::Klucz, {NazwaKorzenia(korzen), poziom});
        if (koniec == std::string_view::npos) break;
        p = koniec + 1;
    }
}

void PrzedZapisemWartosci(sys::RegistryRoot korzen, std::string_view klucz, std::string_view nazwa) {
    Dziennik* d = Dziennik::Biezacy();
    if (!d) return;
    std::optional<sys::RegistryKey::RawValue> poprzednia;
    if (auto k = sys::RegistryKey::OpenRead(korzen, klucz)) poprzednia = k->ReadRaw(nazwa);
    if (poprzednia)
        d->Zapisz(RodzajWpisu::Wartosc,
                  {NazwaKorzenia(korzen), klucz, nazwa, std::to_string(poprzednia->type), poprzednia->bytes});
    else
        d->Zapisz(RodzajWpisu::Wartosc, {NazwaKorzenia(korzen), klucz, nazwa, kBrakWartosci, ""});
}

void PrzedDodaniemCzcionki(const std::string& sciezka) {
    if (Dziennik* d = Dziennik::Biezacy()) d->Zapisz(RodzajWpisu::Czcionka, {sciezka});
}
