// The tree copy of the installation run: files in blocks with the progress
// gauge, the answer to a cancel request, and the rollback of a confirmed one.

#include "install/Kopiowanie.h"

#include "app/Blad.h"
#include "app/Narzedzia.h"
#include "app/Przelaczniki.h"
#include "app/Sciezki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "install/Dziennik.h"
#include "install/OknoKreatora.h"
#include "install/Silnik.h"
#include "install/Postep.h"
#include "install/Protokol.h"
#include "setup/Opcje.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/result.h"

#include <array>
#include <string>

namespace {

// Enough for any folder, however many names its owner gave away.
constexpr unsigned kProbyNazwyKopii = 10000;

// What failed: the run's guard writes it to the log; the user never sees it.
std::string Opis(std::string_view co, std::string_view sciezka, std::uint32_t kod) {
    if (kod != 0) Protokoluj("Error: ", co, " ", sciezka, ": ", BladSystemu{kod});
    else Protokoluj("Error: ", co, " ", sciezka);
    return "Copy: " + std::string(co) + " \"" + std::string(sciezka) + "\" (error " + std::to_string(kod) + ")";
}

// The first backup name of `plik` that no entry holds yet.
std::string WolnaNazwaKopii(const std::string& plik) {
    for (unsigned numer = 1; numer <= kProbyNazwyKopii; ++numer) {
        std::string nazwa = NazwaKopiiZapasowej(plik, numer);
        if (!sys::EntryExists(nazwa)) return nazwa;
    }
    throw BladProgramu(Opis("no free backup name beside", plik, 0));
}

}  // namespace

// Moves an existing `cel` out of the way under a backup name and records it,
// so that a cancellation can put it back. Leaves `cel` untouched when it
// raises.
void ZachowajPoprzedni(StanKopiowania& stan, const std::string& cel) {
    const auto atrybuty = sys::Attributes(cel);
    if (!atrybuty) return;
    if (*atrybuty & FILE_ATTRIBUTE_DIRECTORY) throw BladProgramu(Opis("a folder stands in the place of", cel, 0));
    // Replacing a read-only file is an error whatever the system would allow
    // (Wine lets a privileged user create over one).
    if (*atrybuty & FILE_ATTRIBUTE_READONLY) throw BladProgramu(Opis("read-only target", cel, ERROR_ACCESS_DENIED));
    const std::string kopia = WolnaNazwaKopii(cel);
    stan.dziennik.Zapisz(RodzajWpisu::Zastapiony, {cel, kopia});
    if (const sys::Result r = sys::MoveEntry(cel, kopia); !r) throw BladProgramu(Opis("cannot set aside", cel, r.error));
    // A source file may bear the name of a backup made earlier in this run:
    // that backup has just moved again, and no file of the user's was replaced.
    if (NaMale(cel).find(kPrzyrostekKopiiZapasowej) != std::string::npos) {
        for (auto& [plik, staraKopia] : stan.kopieZapasowe) {
            if (RowneBezWielkosciLiter(staraKopia, cel)) {
                staraKopia = kopia;
                return;
            }
        }
    }
    stan.kopieZapasowe.emplace_back(cel, kopia);
    Protokoluj("Set aside as a backup: ", cel, " -> ", kopia);
}

// After a failed copy: the half-written `cel` goes, and what it replaced comes
// back. The record is dropped either way; a backup that cannot be moved back
// stays on disk under its backup name, where nothing deletes it.
void PrzywrocPoprzedni(StanKopiowania& stan, const std::string& cel) {
    auto& kopie = stan.kopieZapasowe;
    // The record just made is the last one of that name.
    for (auto it = kopie.rbegin(); it != kopie.rend(); ++it) {
        if (it->first != cel) continue;
        sys::Ignore(sys::MoveReplacing(it->second, cel), "the backup stays under its own name");
        kopie.erase(std::next(it).base());
        return;
    }
    sys::Ignore(sys::RemoveFile(cel), "a partial file that cannot be deleted is overwritten by the next run");
}

namespace {

// Recorded before it is made; a folder that is there already is not the
// run's, and fails as the creation would.
sys::Result UtworzKatalog(StanKopiowania& stan, const std::string& katalog) {
    if (sys::EntryExists(katalog)) return sys::Result{ERROR_ALREADY_EXISTS};
    stan.dziennik.Zapisz(RodzajWpisu::Katalog, {katalog});
    return sys::CreateFolder(katalog);
}

// KopiujKatalog at one level; true when a confirmed cancel stopped it.
bool KopiujPoziom(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel,
                  const std::string& pomijane) {
    auto wpisy = sys::DirectoryEnumeration::Open(DolaczDoKatalogu(zrodlo, "*"));
    if (!wpisy) {
        if (BladOtwarciaKatalogu(wpisy.error(), sys::FolderExists(zrodlo)))
            throw BladProgramu(Opis("cannot list", zrodlo, wpisy.error()));
        return false;
    }
    while (const auto wpis = wpisy.Next()) {
        // "." and ".." would send the walk round in circles, whatever the list
        // holds.
        if (wpis->name == "." || wpis->name == ".." || JestNaLiscie(wpis->name, pomijane)) continue;
        const std::string doCelu = DolaczDoKatalogu(cel, wpis->name);
        if (wpis->IsFolder()) {
            if (const sys::Result r = UtworzKatalog(stan, doCelu)) {
                Protokoluj("Folder created: ", doCelu);
                // The listing's 32-bit size field, sign-extended.
                stan.postep += Mlodsze32Bity(wpis->size);
                stan.utworzoneKatalogi.push_back(doCelu);
            } else if (!sys::FolderExists(doCelu)) {
                // Its subtree would be missing without a word.
                throw BladProgramu(Opis("cannot create folder", doCelu, r.error));
            }
            // A link on the medium may point back at its own parent.
            // Cancelled below: the rollback has set the gauge and emptied the
            // lists; this level only leaves.
            if (!wpis->IsReparsePoint() &&
                KopiujPoziom(stan, okno, DolaczDoKatalogu(zrodlo, wpis->name), doCelu, pomijane))
                return true;
        } else {
            const std::string zeZrodla = DolaczDoKatalogu(zrodlo, wpis->name);
            KopiujPlik(stan, okno, zeZrodla, doCelu);
            Protokoluj("File copied: ", zeZrodla, " -> ", doCelu, " (", wpis->size, " bytes)");
            stan.skopiowanePliki.push_back(doCelu);
        }
        okno.UstawPozycje(Mlodsze32Bity(stan.postep));
        okno.PrzetworzKomunikaty();
        if (okno.SprawdzPrzerwanie()) return true;
    }
    // Installing less without a word is worse than stopping.
    if (wpisy.error() != 0) throw BladProgramu(Opis("listing broke off in", zrodlo, wpisy.error()));
    return false;
}

}  // namespace

std::string NazwaKopiiZapasowej(std::string_view plik, unsigned numer) {
    std::string nazwa(plik);
    nazwa += kPrzyrostekKopiiZapasowej;
    if (numer > 1) nazwa += std::to_string(numer);
    return nazwa;
}

bool BladOtwarciaKatalogu(std::uint32_t kodBledu, bool katalogIstnieje) noexcept {
    // A drive root has no "." entry, so an empty one matches nothing.
    if (katalogIstnieje) return kodBledu != ERROR_FILE_NOT_FOUND && kodBledu != ERROR_NO_MORE_FILES;
    return true;
}

StanKopiowania StanKopiowaniaKreatora(TfrmMain& form) noexcept {
    return {form.DziennikInstalacji, form.UtworzoneKatalogi, form.SkopiowanePliki, form.KopieZapasowe, form.Postep};
}

void KopiujKatalog(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel,
                   const std::string& pomijane) {
    // A drive without its disc fails here instead of asking to insert one.
    sys::NoCriticalErrorBox bezPytaniaODysk;
    sys::Ignore(KopiujPoziom(stan, okno, zrodlo, cel, pomijane), "the window knows that it stopped the run");
}

void KopiujPlik(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel) {
    okno.PokazPliki(zrodlo, cel);
    okno.PrzetworzKomunikaty();

    // The source first: a source that cannot be read leaves the target as it
    // was.
    sys::File wejscie = sys::File::OpenRead(zrodlo);
    if (!wejscie) throw BladProgramu(Opis("cannot open", zrodlo, wejscie.error()));
    // A fresh name costs one look-up, as a plain copy would; only a taken one
    // is set aside first.
    sys::File wyjscie;
    if (!sys::EntryExists(cel)) {
        stan.dziennik.Zapisz(RodzajWpisu::Plik, {cel});
        wyjscie = sys::File::CreateNew(cel);
    }
    if (!wyjscie) {
        ZachowajPoprzedni(stan, cel);
        wyjscie = sys::File::Create(cel);
        if (!wyjscie) {
            const std::uint32_t kod = wyjscie.error();
            PrzywrocPoprzedni(stan, cel);
            throw BladProgramu(Opis("cannot create", cel, kod));
        }
    }

    // One UI thread, and no message is processed inside the loop, so nothing
    // can enter here twice.
    static std::array<unsigned char, kBlokKopiowania> bufor;
    const char* blad = nullptr;
    const std::string* gdzie = &cel;
    std::uint32_t kod = 0;
    for (;;) {
        const sys::Transfer odczyt = wejscie.Read(bufor.data(), bufor.size());
        if (odczyt.error != 0) {
            blad = "cannot read";
            gdzie = &zrodlo;
            kod = odczyt.error;
            break;
        }
        if (odczyt.bytes == 0) break;
        const sys::Transfer zapis = wyjscie.Write(bufor.data(), odczyt.bytes);
        if (zapis.error != 0) {
            blad = "cannot write";
            kod = zapis.error;
            break;
        }
        stan.postep += static_cast<std::int64_t>(zapis.bytes);
        okno.UstawPozycje(Mlodsze32Bity(stan.postep));
    }
    sys::Ignore(wejscie.Close(), "nothing was written through it");
    if (const sys::Result r = wyjscie.Close(); !r && blad == nullptr) {
        blad = "cannot finish";
        kod = r.error;
    }
    if (blad != nullptr) {
        PrzywrocPoprzedni(stan, cel);
        throw BladProgramu(Opis(blad, *gdzie, kod));
    }
}

void TfrmMain::KopiujKatalog(const std::string& zrodlo, const std::string& cel, const std::string& pomijane) {
    StanKopiowania stan = StanKopiowaniaKreatora(*this);
    OknoKreatora okno(*this);
    ::KopiujKatalog(stan, okno, zrodlo, cel, pomijane);
}

void TfrmMain::KopiujPlik(const std::string& zrodlo, const std::string& cel) {
    StanKopiowania stan = StanKopiowaniaKreatora(*this);
    OknoKreatora okno(*this);
    ::KopiujPlik(stan, okno, zrodlo, cel);
}

bool TfrmMain::SprawdzPrzerwanie() {
    if (Przerwano) return true;
    if (!PrzerwijZadane) return false;
    // A silent run has no one to ask: a close request there is a cancel.
    const bool tak = PrzelacznikiWiersza.Cichy() ||
                     Zapytaj(*frmPytanie, *this, PobierzTekst(JezykInterfejsu, TekstCzyPrzerwacInstalacje),
                             PytanieTakNie) == ui::mrYes;
    Protokoluj("Cancel requested; ", PrzelacznikiWiersza.Cichy() ? "answered by the silent mode: " : "the user answered: ",
               TakNie(tak));
    if (!tak) {
        PrzerwijZadane = false;
        return false;
    }

    // The one undo of a run, the one the next start uses for a run that died.
    OknoKreatora okno(*this);
    WycofajInstalacje(okno, DziennikInstalacji, UtworzoneKatalogi);
    SkopiowanePliki.clear();
    UtworzoneKatalogi.clear();
    KopieZapasowe.clear();

    Przerwano = true;
    return true;
}

void TfrmMain::UsunKopieZapasowe() {
    for (const auto& [plik, kopia] : KopieZapasowe)
        sys::Ignore(sys::RemoveFile(kopia), "a backup left behind takes room but harms nothing");
    KopieZapasowe.clear();
    // The backups of the later steps (patched files, links) are in the
    // journal only.
    ZakonczInstalacje(DziennikInstalacji);
}
